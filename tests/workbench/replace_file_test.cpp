#include "workbench/replace_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "temp_folder.h"

namespace workbench {
namespace {

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
      {0640, kPlainFileMode, 0640},
      {0600, kProgramFileMode, 0700},
      {0644, kProgramFileMode, 0755},
      {0, kPlainFileMode, 0666},
      {0, kProgramFileMode, 0777},
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

}  // namespace
}  // namespace workbench
