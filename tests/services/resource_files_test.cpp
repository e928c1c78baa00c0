#include "services/resource_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "platform/resources.h"
#include "services/program_runner.h"
#include "temp_folder.h"

namespace workbench {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(FindTypedResourceTest, ByTypeFolderThenByExtension) {
  using platform::FindTypedResource;
  EXPECT_EQ(FindTypedResource("TXT", "StringResourceNames").value_or("-"),
            "EditorFRM\r\nAssembleCompileUnit_Strings\r\n\r\n");
  EXPECT_EQ(FindTypedResource("txt", "qvkeywords").value_or("-"), "ADD\r\nADDB\r\nAND");
  EXPECT_EQ(FindTypedResource("EXE", "QVB").value_or("-"), "#!/bin/sh\nexit 3\n");
  // Another folder, found by the name and the type as its extension.
  EXPECT_EQ(FindTypedResource("TXT", "QvKeyUnit_Strings").value_or("-"), "Key not found\r\n");
  // Both forms exist: the type folder wins.
  EXPECT_EQ(FindTypedResource("TXT", "TarnUnit_Strings").value_or("-"), "from the type folder\r\n");
  EXPECT_FALSE(FindTypedResource("TXT", "Missing"));
  EXPECT_FALSE(FindTypedResource("EXE", "QVKeywords"));
  EXPECT_FALSE(FindTypedResource("TXT", ""));
}

class SaveResourceTest : public ::testing::Test {
 protected:
  SaveResourceTest() { boxes.AnswerWithFirstButton(); }  // the boxes have only OK
  platform::RecordingMessageBoxes boxes;
  TempFolder folder;
};

TEST_F(SaveResourceTest, WritesAnExecutableThatRuns) {
  std::string target = folder.Path() + "QVB.exe";
  std::ofstream(target) << "an older compiler, longer than the new one";
  ASSERT_TRUE(SaveResourceToFile("EXE", "QVB", target, boxes));
  EXPECT_EQ(ReadFile(target), "#!/bin/sh\nexit 3\n");
  EXPECT_NE(fs::status(target).permissions() & fs::perms::owner_exec, fs::perms::none);
  EXPECT_EQ(FilesIn(folder.Path()), (std::vector<std::string>{"QVB.exe"}));  // no temporary left

  std::uint32_t exit_code = 0;
  platform::SystemProcessRunner processes;
  EXPECT_EQ(ProgramRunner(processes, boxes).RunAndWait(target, "", exit_code), kRunStarted);
  EXPECT_EQ(exit_code, 3u);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(SaveResourceTest, TextIsNotExecutable) {
  std::string target = folder.Path() + "RESERVED.TXT";
  ASSERT_TRUE(SaveResourceToFile("TXT", "QVKeywords", target, boxes));
  EXPECT_EQ(ReadFile(target), "ADD\r\nADDB\r\nAND");
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::owner_exec, fs::perms::none);
}

TEST_F(SaveResourceTest, MissingResource) {
  std::string target = folder.Path() + "QVB.chm";
  EXPECT_FALSE(SaveResourceToFile("CHM", "QVB", target, boxes));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Couldn't find resource called \"QVB\"");
  EXPECT_EQ(boxes.Boxes()[0].caption, "Resource Problems");
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(SaveResourceTest, FileThatCannotBeWrittenIsAFailure) {
  // A folder in the target's place: nothing can be renamed over it.
  std::string target = folder.Path() + "INVALID.TXT";
  fs::create_directory(target);
  EXPECT_FALSE(SaveResourceToFile("TXT", "QVKeywords", target, boxes));
  EXPECT_FALSE(
      SaveResourceToFile("TXT", "QVKeywords", folder.Path() + "missing/RESERVED.TXT", boxes));
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].text, "INVALID.TXT is in use.  Unable to save to disk.");
  EXPECT_EQ(boxes.Boxes()[0].caption, "Resource Problems");
  EXPECT_EQ(boxes.Boxes()[1].text, "RESERVED.TXT is in use.  Unable to save to disk.");
  EXPECT_EQ(FilesIn(folder.Path()), (std::vector<std::string>{"INVALID.TXT"}));
}

}  // namespace
}  // namespace workbench
