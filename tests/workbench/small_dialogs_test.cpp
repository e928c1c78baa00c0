#include "workbench/small_dialogs.h"

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "services/registry_settings.h"
#include "tests/services/temp_folder.h"

namespace workbench {
namespace {

TEST(PrintLayout, OneSectionOnePage) {
  // 800 x 1000 pixels, 10 x 20 characters: 80 columns, 50 lines.
  const PrintLayout layout = ComputePrintLayout(800, 1000, 10, 20, 1, 50);
  EXPECT_EQ(layout.columns, 80);
  EXPECT_EQ(layout.lines_per_page, 50);
  EXPECT_EQ(layout.left_margin, 0);
  EXPECT_EQ(layout.top_margin, 0);
  EXPECT_EQ(layout.size_label, "80 Column x 50 Line Page");
  EXPECT_EQ(layout.character_label, "10 x 20 Pixel Characters");
  EXPECT_EQ(layout.pages_label, "50 Lines = 1 Page");
  EXPECT_TRUE(layout.okay_enabled);
}

TEST(PrintLayout, SectionsShareThePageWidth) {
  // (85 - 2 - 1) div 2 = 41 columns each; margin (850 - (3 + 82) * 10) / 2 = 0.
  const PrintLayout layout = ComputePrintLayout(850, 1010, 10, 20, 2, 101);
  EXPECT_EQ(layout.columns, 41);
  EXPECT_EQ(layout.left_margin, 0);
  EXPECT_EQ(layout.top_margin, 5);
  EXPECT_EQ(layout.size_label, "41 Column x 100 Line Page");
  EXPECT_EQ(layout.pages_label, "101 Lines = 2 Pages");
}

TEST(PrintLayout, NothingToPrintOrNoRoomKeepsOkayDisabled) {
  struct Case {
    int width, height, sections, lines;
    const char* pages_label;
  };
  const Case cases[] = {
      {800, 1000, 1, 0, "0 Lines = 0 Pages"},
      {800, 10, 1, 30, "30 Lines = 0 Pages"},  // not one line high
      {5, 1000, 1, 30, "30 Lines = 1 Page"},   // not one column wide
      {30, 1000, 4, 30, "30 Lines = 1 Page"},  // sections leave no column
  };
  for (const Case& c : cases) {
    const PrintLayout layout = ComputePrintLayout(c.width, c.height, 10, 20, c.sections, c.lines);
    EXPECT_FALSE(layout.okay_enabled) << c.pages_label;
    EXPECT_EQ(layout.pages_label, c.pages_label);
  }
}

TEST(GotoLine, OnlyAPositiveNumberJumps) {
  const std::pair<const char*, int> cases[] = {{"abc", -1}, {"0", -1},  {"-3", -1}, {"", -1},
                                               {"12x", -1}, {"12", 12}, {"1", 1}};
  for (const auto& [text, line] : cases) EXPECT_EQ(GotoLineNumber(text), line) << text;
}

TEST(FindReplace, WordOnlyNeedsAWholeIdentifier) {
  EXPECT_TRUE(WordOnlyEnabled("ab_1"));
  EXPECT_FALSE(WordOnlyEnabled("a b"));
  EXPECT_FALSE(WordOnlyEnabled(""));
  EXPECT_FALSE(WordOnlyEnabled("a.b"));
}

TEST(Notices, Texts) {
  EXPECT_EQ(ClockSignalText(50000000), "QV-Key is generating a clock signal of 50,000,000 Hz.");
  EXPECT_EQ(ClockSignalText(999), "QV-Key is generating a clock signal of 999 Hz.");
  EXPECT_EQ(SaveBeforeAssemblyText("/home/u/prog.SRC"),
            "\"prog.SRC\"\rneeds to be saved prior to assembling.\r\rOK to save file, Cancel "
            "to continue editing");
}

TEST(Notices, ACheckedNoticeStaysHiddenAfterARestart) {
  TempFolder folder;
  const std::string file = folder.Path() + "settings.txt";
  for (const char* name : {kHideClockGenInfo, kHideAssemblyFileSave}) {
    {
      platform::SettingsStore store(file);
      RegistrySettings registry(store);
      DontShowAgain notice(registry, name);
      EXPECT_FALSE(notice.Checked()) << name;
      EXPECT_TRUE(notice.Confirm(false));
      EXPECT_FALSE(notice.Checked());
      EXPECT_TRUE(notice.Confirm(true));
      EXPECT_TRUE(notice.Checked());
    }
    platform::SettingsStore store(file);
    RegistrySettings registry(store);
    EXPECT_TRUE(DontShowAgain(registry, name).Checked()) << name;
  }
}

TEST(Notices, AValueThatIsNoNumberLeavesTheNoticeOn) {
  TempFolder folder;
  platform::SettingsStore store(folder.Path() + "settings.txt");
  RegistrySettings registry(store);
  ASSERT_TRUE(registry.WriteRegString(kHideClockGenInfo, "1"));
  DontShowAgain notice(registry, kHideClockGenInfo);
  EXPECT_FALSE(notice.Checked());
  EXPECT_TRUE(notice.Confirm(true));
  EXPECT_TRUE(DontShowAgain(registry, kHideClockGenInfo).Checked());
}

}  // namespace
}  // namespace workbench
