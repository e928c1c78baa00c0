#include "services/file_routines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "full_disk.h"
#include "services/replace_file.h"
#include "temp_folder.h"

namespace workbench {
namespace {

namespace fs = std::filesystem;

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(MatchesMaskTest, WindowsRules) {
  const struct {
    const char* name;
    const char* mask;
    bool matches;
  } cases[] = {
      {"main.src", "*.*", true},     {"Makefile", "*.*", true},
      {"main.src", "*.SRC", true},   {"MAIN.SRC", "main.src", true},
      {"main.srcx", "*.src", false}, {"a.src", "?.src", true},
      {"ab.src", "?.src", false},    {"x.tar.gz", "*.gz", true},
      {"noext", "noext.*", true},    {"main.err", "*.src", false},
      {"t.src.bak", "*.src", false}, {"abc", "a*c", true},
      {"abc", "a*d", false},         {"", "*", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchesMask(c.name, c.mask), c.matches) << c.name << " ~ " << c.mask;
  }
}

class FileRoutinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(folder.Path() + "a.src", "a");
    WriteFile(folder.Path() + "B.SRC", "b");
    WriteFile(folder.Path() + "c.txt", "c");
    WriteFile(folder.Path() + "noext", "n");
    fs::create_directory(folder.Path() + "sub.src");
  }
  // Without the trailing "/", which the routines add.
  std::string Folder() const {
    std::string path = folder.Path();
    path.pop_back();
    return path;
  }
  static std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
  }

  TempFolder folder;
};

TEST_F(FileRoutinesTest, ListsMatchingFilesButNoFolders) {
  std::vector<std::string> list = {"stale"};
  EXPECT_EQ(ListFilesByMask(list, Folder(), "*.src"), 2);
  EXPECT_EQ(Sorted(list), (std::vector<std::string>{"B.SRC", "a.src"}));

  EXPECT_EQ(ListFilesByMask(list, folder.Path(), "*.*"), 4);
  EXPECT_EQ(Sorted(list), (std::vector<std::string>{"B.SRC", "a.src", "c.txt", "noext"}));

  EXPECT_EQ(ListFilesByMask(list, Folder(), "NOEXT"), 1);
  EXPECT_EQ(list, (std::vector<std::string>{"noext"}));
}

TEST_F(FileRoutinesTest, MissingFolderListsNothing) {
  std::vector<std::string> list = {"stale"};
  EXPECT_EQ(ListFilesByMask(list, folder.Path() + "missing", "*.*"), 0);
  EXPECT_TRUE(list.empty());
}

TEST_F(FileRoutinesTest, DeletesMatchingFiles) {
  EXPECT_EQ(DeleteFilesByMask(Folder(), "*.SRC"), 0);
  EXPECT_FALSE(fs::exists(folder.Path() + "a.src"));
  EXPECT_FALSE(fs::exists(folder.Path() + "B.SRC"));
  EXPECT_TRUE(fs::exists(folder.Path() + "c.txt"));
  EXPECT_TRUE(fs::is_directory(folder.Path() + "sub.src"));
}

TEST_F(FileRoutinesTest, EmptyMaskDeletesNothing) {
  EXPECT_EQ(DeleteFilesByMask(Folder(), ""), -1);
  std::vector<std::string> list;
  EXPECT_EQ(ListFilesByMask(list, Folder(), "*.*"), 4);
}

TEST_F(FileRoutinesTest, CopiesTheWholeContent) {
  std::string content("line 1\r\nbinary \0\xFF tail", 22);
  WriteFile(folder.Path() + "source.src", content);
  WriteFile(folder.Path() + "source.bak", std::string(1000, 'x'));  // replaced, not kept
  CopyFileByStream(folder.Path() + "source.src", folder.Path() + "source.bak");
  EXPECT_EQ(ReadFile(folder.Path() + "source.bak"), content);

  WriteFile(folder.Path() + "empty.src", "");
  CopyFileByStream(folder.Path() + "empty.src", folder.Path() + "empty.bak");
  EXPECT_TRUE(fs::exists(folder.Path() + "empty.bak"));
  EXPECT_EQ(fs::file_size(folder.Path() + "empty.bak"), 0u);
}

TEST_F(FileRoutinesTest, CopyErrorsReachTheCaller) {
  EXPECT_THROW(CopyFileByStream(folder.Path() + "missing.src", folder.Path() + "missing.bak"),
               FileStreamError);
  EXPECT_FALSE(fs::exists(folder.Path() + "missing.bak"));
  EXPECT_THROW(CopyFileByStream(folder.Path() + "a.src", folder.Path() + "no/such/folder.bak"),
               FileStreamError);
}

// The copy replaces the old backup whole: a disk that fills up part way leaves the previous
// backup as it was.
TEST_F(FileRoutinesTest, AFailedCopyKeepsTheOldBackup) {
  WriteFile(folder.Path() + "a.src", "the new text of the source");
  WriteFile(folder.Path() + "a.bak", "the previous backup");
  EXPECT_THROW(CopyFileByStream(folder.Path() + "a.src", folder.Path() + "a.bak", FullHalfWay()),
               FileStreamError);
  EXPECT_EQ(ReadFile(folder.Path() + "a.bak"), "the previous backup");
  std::vector<std::string> list;
  EXPECT_EQ(ListFilesByMask(list, Folder(), "a.*"), 2) << "nothing left beside them";
}

}  // namespace
}  // namespace workbench

namespace workbench {
namespace {

TEST(PrintFileForTest, TheSourcesNameWithPdfBesideIt) {
  struct Case {
    const char* source;
    const char* proposed;
  };
  const Case cases[] = {
      {"/home/ann/qv/blink.src", "/home/ann/qv/blink.pdf"},
      {"/home/ann/qv/Main.QVB", "/home/ann/qv/Main.pdf"},
      {"/home/ann/v1.2/notes", "/home/ann/v1.2/notes.pdf"},
      {"/home/ann/qv/my.prog.src", "/home/ann/qv/my.prog.pdf"},
      {"Untitled.src", "Untitled.pdf"},
  };
  for (const Case& c : cases) EXPECT_EQ(PrintFileFor(c.source), c.proposed) << c.source;
}

// Each source's backup keeps the source's extension, so "prog.src" and "prog.qvb" never share
// one; a name too long for that keeps its start, a check of the whole name and its extension,
// within the 255 bytes a name may have.
TEST(BackupFileNameTest, KeepsTheExtensionAndFitsTheLongestName) {
  const std::string a251(247, 'a');
  const std::string e252 = std::string(248, 'a');
  struct Case {
    std::string source;
    std::string backup;  // "" for a long name: checked by its shape below
  };
  const Case cases[] = {
      {"/w/prog.src", "/w/prog.src.bak"},
      {"/w/prog.qvb", "/w/prog.qvb.bak"},
      {"/w/prog.SRC", "/w/prog.SRC.bak"},
      {"prog", "prog.bak"},
      {"/w/.hidden", "/w/.hidden.bak"},
      {"/w/x.tar.src", "/w/x.tar.src.bak"},
      {"/w/" + a251 + ".src", "/w/" + a251 + ".src.bak"},
      {"/w/" + e252 + ".src", ""},
      {"/w/" + e252 + ".qvb", ""},
      {"/w/" + std::string(252, 'b'), ""},
      {"/w/\xE2\x82\xAC" + std::string(248, 'c') + ".src", ""},
  };
  std::vector<std::string> long_backups;
  for (const Case& c : cases) {
    const std::string backup = BackupFileName(c.source, ".bak");
    if (!c.backup.empty()) {
      EXPECT_EQ(backup, c.backup);
      continue;
    }
    SCOPED_TRACE(c.source);
    const std::string name = backup.substr(3);
    EXPECT_EQ(backup.substr(0, 3), "/w/");
    EXPECT_LE(name.size(), 255u);
    EXPECT_GE(name.size(), 250u);
    const std::string extension = fs::path(c.source).extension().string();
    EXPECT_EQ(name.substr(name.size() - extension.size() - 4), extension + ".bak");
    EXPECT_EQ(c.source.substr(3, 200), name.substr(0, 200));
    long_backups.push_back(backup);
  }
  std::sort(long_backups.begin(), long_backups.end());
  EXPECT_EQ(std::unique(long_backups.begin(), long_backups.end()), long_backups.end());
  // A cut never splits a character: "€" is three bytes, kept whole or not at all.
  const std::string euros = [] {
    std::string text;
    while (text.size() < 252) text += "\xE2\x82\xAC";
    return text;
  }();
  const std::string cut = BackupFileName(euros, ".bak");
  const std::size_t mark = cut.find('~');
  ASSERT_NE(mark, std::string::npos);
  EXPECT_EQ(mark % 3, 0u);
  EXPECT_EQ(cut.substr(0, mark), euros.substr(0, mark));
}

}  // namespace
}  // namespace workbench
