#include "services/globals.h"

#include <gtest/gtest.h>

namespace workbench {
namespace {

TEST(GlobalsTest, StartValues) {
  GlobalValues values;
  EXPECT_EQ(values.EditorFontName, "Courier New");
  EXPECT_EQ(values.EditorFontSize, 9);
  EXPECT_EQ(values.EditorFontStyle, 0);
  EXPECT_FALSE(values.WrenfieldMode);
  EXPECT_EQ(values.ExeFolder, "");
  EXPECT_FALSE(values.DebugMode);
  EXPECT_EQ(values.CommandLineFile, "");
}

TEST(GlobalsTest, ProgramFolderEndsWithSlash) {
  EXPECT_EQ(ProgramFolder("/opt/qv key/QVKey"), "/opt/qv key/");
  EXPECT_EQ(ProgramFolder("/QVKey"), "/");
  EXPECT_EQ(ProgramFolder("QVKey"), "");
}

TEST(GlobalsTest, IdeVersion) { EXPECT_EQ(IdeVersion(), "3.2.3"); }

}  // namespace
}  // namespace workbench
