#include "services/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "another_user.h"
#include "full_disk.h"
#include "temp_folder.h"

namespace workbench {
namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

unsigned ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// What a replaced file's permissions become: an old file keeps its own, a program gains the
// right to run wherever it may be read.
TEST(ReplaceFileContentsTest, PermissionsOfTheOldFileAndOfAProgram) {
  struct Case {
    unsigned old_mode;  // 0: no file yet
    unsigned create_mode;
    unsigned expected;  // before the umask for a new file
  };
  const Case cases[] = {
      {0640, kPlainFileMode, 0640}, {0600, kProgramFileMode, 0700}, {0644, kProgramFileMode, 0755},
      {0, kPlainFileMode, 0666},    {0, kProgramFileMode, 0777},
  };
  const mode_t mask = ::umask(0);
  ::umask(mask);
  for (const Case& c : cases) {
    TempFolder folder;
    const std::string path = folder.Path() + "file";
    if (c.old_mode != 0) {
      std::ofstream(path) << "old text, longer than the new";
      ASSERT_EQ(::chmod(path.c_str(), c.old_mode), 0);
    }
    std::string reason;
    ASSERT_TRUE(ReplaceFileContents(path, "new", reason, WriteAllBytes, c.create_mode)) << reason;
    const unsigned expected = c.old_mode != 0 ? c.expected : c.expected & ~mask;
    EXPECT_EQ(ModeOf(path), expected) << std::oct << c.old_mode << " " << c.create_mode;
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                            std::filesystem::directory_iterator()),
              1);
  }
}

// A save through a symbolic link writes the file the link names, wherever it lies, and keeps
// the link.
TEST(ReplaceFileContentsTest, ALinkKeepsPointingAtTheFileItNames) {
  namespace fs = std::filesystem;
  struct Case {
    const char* what;
    const char* link;  // link name -> its text, made in order, inside the folder
    const char* target;
  };
  const Case cases[] = {
      {"relative link", "a.src", "real/a.src"},
      {"link to a link", "b.src", "c.src"},
  };
  TempFolder folder;
  const std::string root = folder.Path();
  fs::create_directory(root + "real");
  std::ofstream(root + "real/a.src") << "old a";
  fs::create_symlink("real/a.src", root + "a.src");
  fs::create_symlink("a.src", root + "c.src");
  fs::create_symlink("c.src", root + "b.src");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string reason;
    ASSERT_TRUE(ReplaceFileContents(root + c.link, c.what, reason)) << reason;
    EXPECT_TRUE(fs::is_symlink(root + c.link));
    EXPECT_EQ(fs::read_symlink(root + c.link).string(), c.target);
    EXPECT_EQ(Read(root + "real/a.src"), c.what);
  }
  EXPECT_EQ(Entries(root + "real"), std::vector<std::string>{"a.src"});
  EXPECT_EQ(Entries(root), (std::vector<std::string>{"a.src", "b.src", "c.src", "real"}));

  // A link with nothing behind it yet: the file is made where it points.
  fs::create_symlink("real/new.src", root + "new.src");
  std::string reason;
  ASSERT_TRUE(ReplaceFileContents(root + "new.src", "made", reason)) << reason;
  EXPECT_TRUE(fs::is_symlink(root + "new.src"));
  EXPECT_EQ(Read(root + "real/new.src"), "made");

  // A loop of links is refused and nothing is made.
  fs::create_symlink("loop2", root + "loop1");
  fs::create_symlink("loop1", root + "loop2");
  EXPECT_FALSE(ReplaceFileContents(root + "loop1", "x", reason));
  EXPECT_EQ(reason, std::strerror(ELOOP));
  EXPECT_TRUE(fs::is_symlink(root + "loop1"));
}

// A process that has ended: the pid of a child that ran and was reaped.
pid_t EndedProcess() {
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  if (gone > 0) ::waitpid(gone, nullptr, 0);
  return gone;
}

// The name a save of this program gives the temporary that holds bytes, written by process
// writer: ".qvkey-save-<pid>-<16 hex digits>-<the bytes' FNV-1a 64 check, 16 hex digits>".
std::string OurTemporaryName(pid_t writer, std::string_view bytes) {
  std::uint64_t check = 14695981039346656037ull;
  for (unsigned char c : bytes) check = (check ^ c) * 1099511628211ull;
  char name[80];
  std::snprintf(name, sizeof name, ".qvkey-save-%d-00000000000004d2-%016llx",
                static_cast<int>(writer), static_cast<unsigned long long>(check));
  return name;
}

// A save killed after its temporary was whole left it in the folder: the next save there
// removes it. A file is taken for such a temporary only by the program's own prefix, a writer
// that has ended and the check of the bytes it holds; a user's file that merely looks like a
// temporary by its name, and a temporary of a running process, stay.
TEST(ReplaceFileContentsTest, TheNextSaveRemovesOnlyATemporaryThisProgramLeft) {
  TempFolder folder;
  const std::string file = folder.Path() + "k.src";
  std::ofstream(file) << "old";
  const pid_t gone = EndedProcess();
  ASSERT_GT(gone, 0);
  const std::string left = folder.Path() + OurTemporaryName(gone, "whole text");
  std::ofstream(left) << "whole text";
  // Our digits are lower case: the same name in upper case is somebody else's.
  std::string upper_case = OurTemporaryName(gone, "whole text");
  for (std::size_t i = upper_case.size() - 16; i < upper_case.size(); ++i)
    upper_case[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper_case[i])));
  struct Case {
    const char* what;
    std::string name;
    const char* content;
  };
  const Case kept[] = {
      {"a user's file named as temporaries once were", file + ".tmp999999_1", "notes"},
      {"the same with an ended writer", file + ".tmp" + std::to_string(gone) + "_1234", "notes"},
      {"our prefix, a check that does not match", OurTemporaryName(gone, "other text"), "notes"},
      {"our prefix, a writer still running", OurTemporaryName(::getppid(), "text"), "text"},
      {"our prefix, nothing after it", ".qvkey-save-", ""},
      {"our prefix, the check's digits in upper case", upper_case, "whole text"},
  };
  for (const Case& c : kept) {
    const std::string path = c.name.front() == '/' ? c.name : folder.Path() + c.name;
    std::ofstream(path) << c.content;
  }
  std::string reason;
  ASSERT_TRUE(ReplaceFileContents(file, "new", reason)) << reason;
  EXPECT_EQ(Read(file), "new");
  EXPECT_FALSE(std::filesystem::exists(left));
  for (const Case& c : kept) {
    const std::string path = c.name.front() == '/' ? c.name : folder.Path() + c.name;
    EXPECT_EQ(Read(path), c.content) << c.what;
  }
}

// A temporary's name does not grow with the file's: names up to the system's longest (255
// bytes, whatever the characters) save, and nothing is left beside them.
TEST(ReplaceFileContentsTest, NamesOfAnyLegalLengthSave) {
  struct Case {
    std::size_t bytes;
    const char* character;  // the name is made of it, then ".src", cut to `bytes`
  };
  const Case cases[] = {{240, "a"}, {250, "a"},        {251, "a"},
                        {255, "a"}, {252, "\xC3\xA9"}, {255, "\xE2\x82\xAC"}};
  for (const Case& c : cases) {
    TempFolder folder;
    std::string name;
    while (name.size() + std::strlen(c.character) + 4 <= c.bytes) name += c.character;
    name.append(c.bytes - 4 - name.size(), 'x');
    name += ".src";
    ASSERT_EQ(name.size(), c.bytes);
    const std::string path = folder.Path() + name;
    for (const char* text : {"first", "second"}) {
      std::string reason;
      ASSERT_TRUE(ReplaceFileContents(path, text, reason)) << c.bytes << ": " << reason;
      EXPECT_EQ(Read(path), text);
      EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{name});
    }
  }
}

struct Owner {
  uid_t uid;
  gid_t gid;
  unsigned mode;
  nlink_t links;
  ino_t inode;
};

Owner OwnerOf(const std::string& path) {
  struct stat info {};
  (void)::stat(path.c_str(), &info);
  return {info.st_uid, info.st_gid, info.st_mode & 07777, info.st_nlink, info.st_ino};
}

// The superuser saves a file of somebody else: it keeps its owner, group and mode.
TEST(ReplaceFileContentsTest, AFileKeepsItsOwnerGroupAndMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "only the superuser can give a file to somebody else";
  TempFolder folder;
  const std::string file = folder.Path() + "theirs.src";
  std::ofstream(file) << "their text";
  ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
  ASSERT_EQ(::chmod(file.c_str(), 02640), 0);
  std::string reason;
  ASSERT_TRUE(ReplaceFileContents(file, "new", reason)) << reason;
  const Owner after = OwnerOf(file);
  EXPECT_EQ(after.uid, 65534u);
  EXPECT_EQ(after.gid, 65534u);
  EXPECT_EQ(after.mode, 02640u);
  EXPECT_EQ(Read(file), "new");
  EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"theirs.src"});
}

// A file with a second hard link is written over in place: both names show the new text and
// stay one file. A full disk on the way leaves the old text under both.
TEST(ReplaceFileContentsTest, AHardLinkedFileIsWrittenOverInPlace) {
  TempFolder folder;
  const std::string file = folder.Path() + "a.src";
  const std::string link = folder.Path() + "b.src";
  std::ofstream(file) << "the old text, longer than the new one";
  ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
  ASSERT_EQ(::link(file.c_str(), link.c_str()), 0);
  const auto written = std::filesystem::last_write_time(file) - std::chrono::hours(1);
  std::filesystem::last_write_time(file, written);
  const Owner before = OwnerOf(file);
  std::string reason;
  EXPECT_FALSE(ReplaceFileContents(file, "a new text that does not fit", reason, FullHalfWay()));
  EXPECT_EQ(reason, std::strerror(ENOSPC));
  EXPECT_EQ(Read(link), "the old text, longer than the new one");
  // Put back as it was, time included: nobody takes it for another program's write.
  EXPECT_EQ(std::filesystem::last_write_time(file), written);
  EXPECT_EQ(Entries(folder.Path()), (std::vector<std::string>{"a.src", "b.src"}));

  ASSERT_TRUE(ReplaceFileContents(file, "new", reason)) << reason;
  EXPECT_EQ(Read(file), "new");
  EXPECT_EQ(Read(link), "new");
  const Owner after = OwnerOf(file);
  EXPECT_EQ(after.inode, before.inode);
  EXPECT_EQ(after.links, 2u);
  EXPECT_EQ(after.mode, 0640u);
  EXPECT_EQ(Entries(folder.Path()), (std::vector<std::string>{"a.src", "b.src"}));
}

// A user who may write a file of another owner but cannot give it its owner back (a member of
// the file's group) saves it: the file is written over in place, so owner, group and mode stay.
// The test runs itself again as a user made for it; without the superuser it is skipped.
TEST(ReplaceFileContentsTest, AnotherUsersFileIsWrittenOverInPlace) {
  if (const char* file = std::getenv("QV_SAVE_AS_ANOTHER_USER")) {
    std::string reason;
    const bool saved = ReplaceFileContents(file, "saved by a member of the group", reason);
    if (!saved) std::fprintf(stderr, "%s\n", reason.c_str());
    std::_Exit(saved ? 0 : 1);
  }
  const AnotherUser user;
  if (!user.Reason().empty()) GTEST_SKIP() << user.Reason();
  TempFolder folder;
  const std::string root = folder.Path();
  ASSERT_EQ(::chown(root.c_str(), user.Uid(), user.Gid()), 0);
  const std::string file = root + "shared.src";
  std::ofstream(file) << "the old text of the owner";
  ASSERT_EQ(::chown(file.c_str(), 0, user.Gid()), 0);
  ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
  ASSERT_EQ(user.RunTest("ReplaceFileContentsTest.AnotherUsersFileIsWrittenOverInPlace",
                         "QV_SAVE_AS_ANOTHER_USER=" + AnotherUser::Quoted(file)),
            0);
  EXPECT_EQ(Read(file), "saved by a member of the group");
  const Owner after = OwnerOf(file);
  EXPECT_EQ(after.uid, 0u);
  EXPECT_EQ(after.gid, user.Gid());
  EXPECT_EQ(after.mode, 0664u);
  EXPECT_EQ(Entries(root), std::vector<std::string>{"shared.src"});
}

// The disk fills up part way through the write: the old file stays whole and nothing is
// left beside it.
TEST(ReplaceFileContentsTest, AFullDiskLeavesTheOldFile) {
  TempFolder folder;
  const std::string file = folder.Path() + "a.src";
  std::ofstream(file) << "old text";
  std::string reason;
  EXPECT_FALSE(ReplaceFileContents(file, "a new text that does not fit", reason, FullHalfWay()));
  EXPECT_EQ(reason, std::strerror(ENOSPC));
  EXPECT_EQ(Read(file), "old text");
  EXPECT_EQ(Entries(folder.Path()), std::vector<std::string>{"a.src"});
}

}  // namespace
}  // namespace workbench
