#include "workbench/configuration.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "ok_settings.h"

namespace workbench {
namespace {

// A settings store of its own in a temporary file.
class ConfigurationTest : public testing::Test {
 protected:
  ConfigurationTest()
      : file_(std::filesystem::temp_directory_path() /
              ("qv_configuration_" + std::to_string(::getpid()) + "_" +
               testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt")),
        store_((std::filesystem::remove(file_), file_)),
        registry_(store_) {}
  ~ConfigurationTest() override { std::filesystem::remove(file_); }

  std::set<std::string> StoredNames() const { return workbench_test::StoredSettingNames(file_); }
  int Int(const std::string& name) const {
    std::int32_t value = -12345;
    registry_.ReadRegInt(name, value);
    return value;
  }
  std::string String(const std::string& name) const {
    std::string value;
    registry_.ReadRegString(name, value);
    return value;
  }

  std::filesystem::path file_;
  platform::SettingsStore store_;
  RegistrySettings registry_;
  KeptKeyLinkChoices link_;
};

TEST_F(ConfigurationTest, EmptyStoreGivesTheDesignedDefaults) {
  EXPECT_TRUE(ReadKeyLinkSettings(registry_, link_));  // the first run
  ConfigurationControls controls;
  ReadSettings(registry_, controls, false);
  EditorOptions editor;
  IdeOptions ide;
  ControlsToRecords(controls, editor, ide, false);

  EXPECT_TRUE(ide.UseTarn);
  EXPECT_TRUE(ide.CreateBackups);
  EXPECT_TRUE(editor.BoldCode);
  EXPECT_TRUE(editor.ColoredComments);
  EXPECT_FALSE(editor.ColoredCode);
  EXPECT_FALSE(ide.UseTemplates);
  EXPECT_FALSE(ide.RestoreWorkspace);
  EXPECT_FALSE(ide.StricterAssemblyParsing);
  EXPECT_EQ(editor.Fontsize, 8);
  EXPECT_EQ(editor.Tabsize, 8);
  EXPECT_TRUE(editor.UseNewEditor);
  EXPECT_EQ(editor.CodeColor, 0xFF0000);     // blue, stored as 0x00BBGGRR
  EXPECT_EQ(editor.CommentColor, 0x008000);  // green
  EXPECT_EQ(editor.ErrorBgColor, 0x00FFFF);  // yellow
  EXPECT_TRUE(editor.SaveBeforeBuild);
  EXPECT_TRUE(ide.TarnFilesToOutputDir);
  EXPECT_TRUE(ide.LocalLabelStartCol);
  EXPECT_TRUE(ide.JumpToAssemblyError);
  EXPECT_TRUE(ide.SmoothScroll);
  EXPECT_TRUE(ide.WarnLoadingKnownTopFile);
  EXPECT_TRUE(ide.WarnUsingTopFile);
  EXPECT_TRUE(ide.DefaultIsAssembly);
  EXPECT_TRUE(ide.QvBasicOutputFiles);
  EXPECT_EQ(controls.LanguageRDGRP, 0);
  EXPECT_EQ(controls.CustomColors[0], "ColorA=808080");
  EXPECT_EQ(controls.CustomColors[15], "ColorP=808080");
  EXPECT_EQ(editor, EditorOptions{});
  EXPECT_EQ(ide, IdeOptions{});
}

// Each stored setting reaches its control and nothing else, and through it its record field.
TEST_F(ConfigurationTest, EachStoredSettingSetsItsControl) {
  using E = const EditorOptions&;
  using I = const IdeOptions&;
  using Cs = ConfigurationControls&;
  struct Row {
    const char* name;
    int stored;
    void (*expect)(ConfigurationControls&);
    bool (*record)(const EditorOptions&, const IdeOptions&);
  };
  // clang-format off
  const Row rows[] = {
      {"CreateBackups",           0, [](Cs c) { c.CreateBackupCB = false; },            [](E, I i) { return !i.CreateBackups; }},
      {"UseTarn",                 0, [](Cs c) { c.UseTarnCB = false; },                 [](E, I i) { return !i.UseTarn; }},
      {"UseNewEditor",            0, [](Cs c) { c.UseNewEditorCB = false; },            [](E e, I) { return !e.UseNewEditor; }},
      {"Fontsize",               12, [](Cs c) { c.FontsizeUpDown = 12; },               [](E e, I) { return e.Fontsize == 12; }},
      {"Tabsize",                 4, [](Cs c) { c.TabsizeUpDown = 4; },                 [](E e, I) { return e.Tabsize == 4; }},
      {"ColoredCode",             1, [](Cs c) { c.ColorCodeCB = true; },                [](E e, I) { return e.ColoredCode; }},
      {"CodeColor",        0x123456, [](Cs c) { c.CodeColorPNL = 0x123456; },         [](E e, I) { return e.CodeColor == 0x123456; }},
      {"BoldCode",                0, [](Cs c) { c.CodeBoldCB = false; },                [](E e, I) { return !e.BoldCode; }},
      {"ColoredComments",         0, [](Cs c) { c.ColorCommentsCB = false; },           [](E e, I) { return !e.ColoredComments; }},
      {"CommentColor",     0x0000FF, [](Cs c) { c.CommentColorPNL = 0x0000FF; },      [](E e, I) { return e.CommentColor == 0x0000FF; }},
      {"ErrorBgColor",     0xFFFFFF, [](Cs c) { c.ErrorBgColorPNL = 0xFFFFFF; },      [](E e, I) { return e.ErrorBgColor == 0xFFFFFF; }},
      {"JumpToAssemblyError",     0, [](Cs c) { c.JumpToErrorCB = false; },             [](E, I i) { return !i.JumpToAssemblyError; }},
      {"SmoothScroll",            0, [](Cs c) { c.SmoothScrollCB = false; },            [](E, I i) { return !i.SmoothScroll; }},
      {"TarnFilesToOutputDir",    0, [](Cs c) { c.TarnOutputFilesCB = false; },         [](E, I i) { return !i.TarnFilesToOutputDir; }},
      {"LocalLabelStartCol",      0, [](Cs c) { c.LocalLabelStartColCB = false; },      [](E, I i) { return !i.LocalLabelStartCol; }},
      {"StricterAssemblyParsing", 1, [](Cs c) { c.StricterAssemblyParsingCB = true; },  [](E, I i) { return i.StricterAssemblyParsing; }},
      {"WarnLoadingKnownTopFile", 0, [](Cs c) { c.WarnLoadingKnownTopFileCB = false; }, [](E, I i) { return !i.WarnLoadingKnownTopFile; }},
      {"WarnUsingTopFile",        0, [](Cs c) { c.WarnUsingTopFileCB = false; },        [](E, I i) { return !i.WarnUsingTopFile; }},
      {"UseTemplates",            1, [](Cs c) { c.UseTemplatesCB = true; },             [](E, I i) { return i.UseTemplates; }},
      {"RestoreWorkspace",        1, [](Cs c) { c.RestoreWorkspaceCB = true; },         [](E, I i) { return i.RestoreWorkspace; }},
      {"QvBasicOutputFiles",      0, [](Cs c) { c.QvBasicOutputFilesCB = false; },      [](E, I i) { return !i.QvBasicOutputFiles; }},
      {"DefaultEditorType",       1, [](Cs c) { c.DefaultEditorTypeRDGRP = 1; },        [](E, I i) { return !i.DefaultIsAssembly; }},
  };
  // clang-format on
  for (const Row& row : rows) {
    std::filesystem::remove(file_);
    platform::SettingsStore store(file_);
    RegistrySettings registry(store);
    ASSERT_TRUE(registry.WriteRegInt(std::string("Configuration\\") + row.name, row.stored));
    ConfigurationControls controls;
    ReadSettings(registry, controls, false);
    ConfigurationControls expected;
    row.expect(expected);
    EXPECT_EQ(controls, expected) << row.name;
    EditorOptions editor;
    IdeOptions ide;
    ControlsToRecords(controls, editor, ide, false);
    EXPECT_TRUE(row.record(editor, ide)) << row.name;
    // And back: the records give the same controls.
    ConfigurationControls back;
    RecordsToControls(editor, ide, back);
    EXPECT_EQ(back, expected) << row.name;
  }
}

TEST_F(ConfigurationTest, StoredNumbersAreTakenAsTheControlsTakeThem) {
  struct Row {
    const char* name;
    int stored;
    int ConfigurationControls::*control;
    int expected;
  };
  // clang-format off
  const Row rows[] = {
      {"Fontsize", 40, &ConfigurationControls::FontsizeUpDown, 32},
      {"Fontsize", 2, &ConfigurationControls::FontsizeUpDown, 6},
      {"Tabsize", 12, &ConfigurationControls::TabsizeUpDown, 8},
      {"Tabsize", 0, &ConfigurationControls::TabsizeUpDown, 2},
      {"Language", 3, &ConfigurationControls::LanguageRDGRP, 0},  // beyond the one language
      {"DefaultEditorType", 7, &ConfigurationControls::DefaultEditorTypeRDGRP, 0},
  };
  // clang-format on
  for (const Row& row : rows) {
    ASSERT_TRUE(registry_.WriteRegInt(std::string("Configuration\\") + row.name, row.stored));
    ConfigurationControls controls;
    ReadSettings(registry_, controls, false);
    EXPECT_EQ(controls.*row.control, row.expected) << row.name << " " << row.stored;
  }
}

// A value of the wrong type in a damaged file leaves the control at its default; the rest is
// read.
TEST_F(ConfigurationTest, ValueOfTheWrongTypeKeepsTheDefault) {
  ASSERT_TRUE(registry_.WriteRegString("Configuration\\Tabsize", "4"));
  ASSERT_TRUE(registry_.WriteRegInt("Configuration\\Fontsize", 12));
  ConfigurationControls controls;
  const int default_tab_size = controls.TabsizeUpDown;
  ReadSettings(registry_, controls, false);
  EXPECT_EQ(controls.TabsizeUpDown, default_tab_size);
  EXPECT_EQ(controls.FontsizeUpDown, 12);
  EXPECT_TRUE(store_.Damaged());
}

TEST_F(ConfigurationTest, StoredPortAndCalibrationReachTheKeyLink) {
  ASSERT_TRUE(registry_.WriteRegString("Configuration\\ComPort", "COM3"));
  ASSERT_TRUE(registry_.WriteRegInt("Configuration\\IRCcalibration", 0x102));
  EXPECT_FALSE(ReadKeyLinkSettings(registry_, link_));
  EXPECT_EQ(link_.GetComPortName(), "COM3");
  EXPECT_EQ(link_.GetIrcCalMode(), 2);  // the low byte
}

TEST_F(ConfigurationTest, OkWritesExactlyTheConfigurationValues) {
  ConfigurationControls controls;
  controls.PortRDGRP = "COM3";
  controls.IrcRDGRP = 1;
  controls.DefaultEditorTypeRDGRP = 1;
  controls.FontsizeUpDown = 12;
  controls.UseTarnCB = false;
  controls.CodeColorPNL = 0x0000FF;
  controls.CustomColors[1] = "ColorB=00FF00";
  EditorOptions editor;
  IdeOptions ide;
  ASSERT_TRUE(SaveSettings(registry_, link_, controls, editor, ide, false));

  std::set<std::string> expected = workbench_test::SettingsWrittenOnOk();
  EXPECT_EQ(StoredNames(), expected);

  EXPECT_EQ(String("Configuration\\ComPort"), "COM3");
  EXPECT_EQ(Int("Configuration\\IRCcalibration"), 1);
  EXPECT_EQ(Int("Configuration\\DefaultEditorType"), 1);  // the radio index
  EXPECT_EQ(Int("Configuration\\Fontsize"), 12);
  EXPECT_EQ(Int("Configuration\\UseTarn"), 0);
  EXPECT_EQ(Int("Configuration\\CreateBackups"), 1);
  EXPECT_EQ(Int("Configuration\\CodeColor"), 0x0000FF);
  EXPECT_EQ(Int("Configuration\\Language"), 0);
  EXPECT_EQ(String("Configuration\\CustomColors\\ColorA"), "ColorA=808080");
  EXPECT_EQ(String("Configuration\\CustomColors\\ColorB"), "ColorB=00FF00");
  // The records follow the controls, the key link the port and calibration.
  EXPECT_FALSE(ide.DefaultIsAssembly);
  EXPECT_FALSE(ide.UseTarn);
  EXPECT_EQ(editor.Fontsize, 12);
  EXPECT_EQ(link_.GetComPortName(), "COM3");
  EXPECT_EQ(link_.GetIrcCalMode(), 1);

  // What was written reads back into the same controls.
  ConfigurationControls reread;
  ReadSettings(registry_, reread, false);
  reread.PortRDGRP = controls.PortRDGRP;
  reread.IrcRDGRP = controls.IrcRDGRP;
  EXPECT_EQ(reread, controls);
}

// Fault mended: confirming the first run without a port to choose must end the first run.
TEST_F(ConfigurationTest, FirstConfirmationWithoutAPortEndsTheFirstRun) {
  ASSERT_TRUE(ReadKeyLinkSettings(registry_, link_));
  ConfigurationControls controls;  // no port selected
  EditorOptions editor;
  IdeOptions ide;
  SaveSettings(registry_, link_, controls, editor, ide, false);
  EXPECT_EQ(link_.GetComPortName(), "COM1");  // no choice: the link keeps its port
  EXPECT_TRUE(registry_.RegKeyExists("Configuration\\ComPort"));
  EXPECT_EQ(String("Configuration\\ComPort"), "");
  KeptKeyLinkChoices next_run;
  EXPECT_FALSE(ReadKeyLinkSettings(registry_, next_run));
  // The empty value names no port: the next run opens the link's own, not the bare "COM".
  EXPECT_EQ(next_run.GetComPortName(), "COM1");
}

// Fault mended: a port that is stored but not listed (an adapter unplugged) leaves no item
// selected; OK used to hand the key link the bare "COM" for the rest of the run.
TEST_F(ConfigurationTest, NoPortChosenKeepsTheStoredPort) {
  ASSERT_TRUE(registry_.WriteRegString("Configuration\\ComPort", "COM12"));
  ASSERT_FALSE(ReadKeyLinkSettings(registry_, link_));
  ConfigurationControls controls;  // no port selected
  EditorOptions editor;
  IdeOptions ide;
  SaveSettings(registry_, link_, controls, editor, ide, false);
  EXPECT_EQ(String("Configuration\\ComPort"), "COM12");
  EXPECT_EQ(link_.GetComPortName(), "COM12");
  EXPECT_EQ(link_.PortNumber(), 12);
}

// Fault mended: the C-compiler mode forces UseTarn off for the run, but leaves the user's
// stored choice alone.
TEST_F(ConfigurationTest, WrenfieldModeForcesUseTarnOffWithoutStoringIt) {
  ASSERT_TRUE(registry_.WriteRegInt("Configuration\\UseTarn", 1));
  ConfigurationControls controls;
  ReadSettings(registry_, controls, true);
  EXPECT_FALSE(controls.UseTarnCB);
  EditorOptions editor;
  IdeOptions ide;
  ControlsToRecords(controls, editor, ide, true);
  EXPECT_FALSE(ide.UseTarn);

  controls.UseTarnCB = true;  // even when checked by hand, the mode holds
  SaveSettings(registry_, link_, controls, editor, ide, true);
  EXPECT_FALSE(ide.UseTarn);
  EXPECT_EQ(Int("Configuration\\UseTarn"), 1);
  EXPECT_EQ(StoredNames().count("Configuration\\CreateBackups"), 1u);
}

TEST_F(ConfigurationTest, StoredCustomColoursReplaceTheirDefaults) {
  ASSERT_TRUE(registry_.WriteRegString("Configuration\\CustomColors\\ColorC", "ColorC=0000FF"));
  ConfigurationControls controls;
  controls.CustomColors[0] = "ColorA=FFFFFF";  // a previous read does not survive
  ReadSettings(registry_, controls, false);
  EXPECT_EQ(controls.CustomColors[0], "ColorA=808080");
  EXPECT_EQ(controls.CustomColors[2], "ColorC=0000FF");
}

TEST(CustomColors, LinesAndValues) {
  EXPECT_EQ(CustomColorLine(0, 0x808080), "ColorA=808080");
  EXPECT_EQ(CustomColorLine(15, 0x00ABCD), "ColorP=00ABCD");
  EXPECT_EQ(CustomColorValue("ColorD=1a2B3c", 0), 0x1A2B3C);
  EXPECT_EQ(CustomColorValue("ColorD=12345", 7), 7);
  EXPECT_EQ(CustomColorValue("ColorD=12345G", 7), 7);
  EXPECT_EQ(CustomColorValue("garbage", 7), 7);
}

TEST(PortItems, WholeNameIsMatched) {
  const std::vector<std::string> items = {"COM1", "COM2"};
  // Fault mended: comparing last characters would pick COM2 for COM12 and save it on OK.
  EXPECT_EQ(FindPortItem(items, "COM12"), -1);
  EXPECT_EQ(FindPortItem(items, "COM2"), 1);
  EXPECT_EQ(FindPortItem({"COM2", "COM12"}, "COM12"), 1);
  EXPECT_EQ(FindPortItem({"COM&1"}, "COM1"), 0);
  EXPECT_EQ(FindPortItem({"com1"}, "COM1"), 0);
  EXPECT_EQ(FindPortItem(items, "COM"), -1);
}

TEST(KeptKeyLinkChoices, PortTextGivesNumberAndName) {
  KeptKeyLinkChoices link;
  link.SetComPort("com12");
  EXPECT_EQ(link.PortNumber(), 12);
  EXPECT_EQ(link.GetComPortName(), "COM12");
  link.SetComPort("none");
  EXPECT_EQ(link.PortNumber(), 12);
  EXPECT_EQ(link.GetComPortName(), "COM");
}

}  // namespace
}  // namespace workbench
