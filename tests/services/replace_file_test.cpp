#include "services/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <filesystem>
#include <fstream>
#include <sstream>

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

// A save killed half way left its temporary beside the file: the next save of that file
// removes it. Temporaries of a running process, and of other files, stay.
TEST(ReplaceFileContentsTest, TheNextSaveRemovesATemporaryLeftByAKilledSave) {
  TempFolder folder;
  const std::string file = folder.Path() + "a.src";
  std::ofstream(file) << "old";
  // A process that has ended: the pid of a child that ran and was reaped.
  const pid_t gone = ::fork();
  if (gone == 0) ::_exit(0);
  ASSERT_GT(gone, 0);
  ::waitpid(gone, nullptr, 0);
  const std::string left = file + ".tmp" + std::to_string(gone) + "_1234";
  const std::string running = file + ".tmp" + std::to_string(::getppid()) + "_99";
  const std::string other = folder.Path() + "b.src.tmp" + std::to_string(gone) + "_1234";
  const std::string user = file + ".tmp_notes";
  for (const std::string& name : {left, running, other, user}) std::ofstream(name) << "half";
  std::string reason;
  ASSERT_TRUE(ReplaceFileContents(file, "new", reason)) << reason;
  EXPECT_EQ(Read(file), "new");
  EXPECT_FALSE(std::filesystem::exists(left));
  for (const std::string& name : {running, other, user})
    EXPECT_TRUE(std::filesystem::exists(name)) << name;
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
