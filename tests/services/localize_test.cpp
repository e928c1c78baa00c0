#include "services/localize.h"

#include <gtest/gtest.h>

#include <map>

#include "resources/string_ids.h"

namespace {

using workbench::ComponentKind;
using workbench::FormTable;
using workbench::Localizer;
using workbench::MenuTable;
using workbench::TextsForComponent;

// Resources of a test's own, by name.
workbench::TextResourceLookup Resources(std::map<std::string, std::string> files) {
  return [files = std::move(files)](std::string_view name) -> std::optional<std::string> {
    auto it = files.find(std::string(name));
    if (it == files.end()) return std::nullopt;
    return it->second;
  };
}

class ShippedTables : public ::testing::Test {
 protected:
  void SetUp() override { texts_.InitLocalization("/opt/qvkey"); }
  Localizer texts_;
};

TEST_F(ShippedTables, FirstTextsOfTheirSlots) {
  EXPECT_EQ(texts_.LU_GetString(3000), "List (read-only) - Ctrl+L returns to source");
  EXPECT_EQ(texts_.LU_GetString(0), "Invalid editor (%s) to assemble.");
  EXPECT_EQ(texts_.LU_GetString(5000).substr(0, 27), "The QV chip does not allow ");
}

TEST_F(ShippedTables, OutOfRangeAndInvalidIds) {
  EXPECT_EQ(texts_.LU_GetString(3086), "String not available");
  EXPECT_EQ(texts_.LU_GetString(-1), "String request to LU_GetString was not valid (-1)");
  EXPECT_EQ(texts_.LU_GetString(14000), "String not available");
  std::string s = "old";
  texts_.LU_GetString(string_ids::EditorUnit::SCU_NULL_STRING, s);
  EXPECT_EQ(s, "");  // an empty text that takes its index
}

TEST_F(ShippedTables, CaretBecomesCarriageReturnAlsoAtTheEnd) {
  EXPECT_EQ(texts_.LU_GetString(string_ids::DebugUnit::SCU_RESET_POSITIONS),
            "Are you sure you want to reset the\rdebug windows to the default positions?");
  const std::string t = texts_.LU_GetString(string_ids::TarnUnit::SCU_TARN_MISSING);
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(t.back(), '\r');
}

TEST_F(ShippedTables, OneLanguageAndTheLanguagesFolder) {
  EXPECT_EQ(texts_.LanguageCount(), 1);
  EXPECT_EQ(texts_.CurrentLanguage(), 0);
  texts_.SelectLanguage(1);
  EXPECT_EQ(texts_.CurrentLanguage(), 0);
  EXPECT_EQ(texts_.LanguagesFolder(), "/opt/qvkey/Languages/");
}

TEST(StringLoader, NamesPicksSlotsAndIndexesByNonEmptyLines) {
  Localizer texts(Resources({
      {"StringResourceNames",
       "EditorFRM\r\nZK_CodeFRM\r\nZK_CodeUnit_Strings\r\nMainMenu\r\nNoSuchUnit_Strings\r\n"
       "TarnUnit_strings\r\nComUnit_Strings\r\n\r\n"},
      {"ZK_CodeUnit_Strings", "SCU_A\tfirst\r\n\r\nSCU_B\ta^b\r\nSCU_NULL_STRING\t\r\nSCU_C\tc^"},
      {"TarnUnit_Strings", "SCU_X\tnot loaded: the kind is case-sensitive"},
      {"ComUnit_Strings", "SCU_Q\tone\nno tab here\nSCU_R\tthree\n"},
      {"ZK_CodeFRM", "ZK_CodeFRM\tnot a string table"},
  }));
  texts.InitLocalization("x");
  EXPECT_EQ(texts.TableSize(5), 4);
  EXPECT_EQ(texts.LU_GetString(5000), "first");
  EXPECT_EQ(texts.LU_GetString(5001), "a\rb");
  EXPECT_EQ(texts.LU_GetString(5002), "");
  EXPECT_EQ(texts.LU_GetString(5003), "c\r");
  EXPECT_EQ(texts.LU_GetString(5004), "String not available");
  EXPECT_EQ(texts.TableSize(7), 0);
  EXPECT_EQ(texts.LU_GetString(7000), "String not available");
  // A line without a TAB keeps its place, so the texts after it keep their ids.
  EXPECT_EQ(texts.LU_GetString(1001), "no tab here");
  EXPECT_EQ(texts.LU_GetString(1002), "three");
}

TEST(StringLoader, MissingResourcesLeaveEveryIdUnavailable) {
  Localizer texts(Resources({}));
  EXPECT_EQ(texts.LU_GetString(3000), "String not available");  // before initialisation
  texts.InitLocalization("x");
  EXPECT_EQ(texts.LU_GetString(3000), "String not available");
}

// The tables are Windows-1252; their texts are UTF-8 inside, as every other text, so that a
// message built of a table text and a file name holds one encoding.
TEST(StringLoader, TablesAreWindows1252AndTheirTextsUtf8) {
  Localizer texts(Resources({
      {"StringResourceNames", "EditorUnit_Strings\r\n"},
      {"EditorUnit_Strings", "SCU_A\tPreis in \x80, 20 \xB0\x43, Z\xE4hler^"},
      {"EditorFRM", "EditorFRM\tCaf\xE9"},
      {"MainMenu",
       "FileMENUITM\t\x93"
       "Datei\x94\thint"},
  }));
  texts.InitLocalization("x");
  EXPECT_EQ(texts.LU_GetString(3000), "Preis in \xE2\x82\xAC, 20 \xC2\xB0\x43, Z\xC3\xA4hler\r");
  EXPECT_EQ(texts.LoadFormTable("EditorFRM").Fields("EditorFRM")->at(0), "Caf\xC3\xA9");
  EXPECT_EQ(texts.LoadMenuTable("MainMenu").TextsFor("FileMENUITM")->caption,
            "\xE2\x80\x9C"
            "Datei\xE2\x80\x9D");
}

TEST(StringLoader, ReloadReplacesTheTables) {
  std::string table = "SCU_A\tbefore";
  Localizer texts([&](std::string_view name) -> std::optional<std::string> {
    if (name == "StringResourceNames") return std::string("EditorUnit_Strings");
    if (name == "EditorUnit_Strings") return table;
    return std::nullopt;
  });
  texts.InitLocalization("x");
  EXPECT_EQ(texts.LU_GetString(3000), "before");
  table = "SCU_A\tafter";
  texts.ReapplyLanguage();
  EXPECT_EQ(texts.LU_GetString(3000), "after");
  EXPECT_EQ(texts.TableSize(3), 1);
}

TEST(LanguageCallbacks, RunInOrderWithLanguageZeroAndSkipEmptySlots) {
  Localizer texts(Resources({}));
  std::vector<std::string> calls;
  texts.SelectLanguage(0);  // before initialisation: nothing
  EXPECT_EQ(texts.RegisterMenuLanguageCallback([&](int) { calls.push_back("early"); }), -1);
  texts.InitLocalization("x");
  int a = texts.RegisterLanguageCallback([&](int l) { calls.push_back("a" + std::to_string(l)); });
  int b = texts.RegisterMenuLanguageCallback(
      [&](int l) { calls.push_back("menu" + std::to_string(l)); });
  int c = texts.RegisterLanguageCallback([&](int l) { calls.push_back("c" + std::to_string(l)); });
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(c, 2);
  texts.UnregisterLanguageCallback(b);
  texts.SelectLanguage(3);
  EXPECT_EQ(calls, (std::vector<std::string>{"a0", "c0"}));
  texts.DoneLocalization();
  calls.clear();
  texts.ReapplyLanguage();
  EXPECT_TRUE(calls.empty());
}

TEST(FormTables, ComponentsTakeTheFieldsTheirKindUses) {
  FormTable t = FormTable::Parse(
      "ConfigFRM\tConfiguration\r\n"
      "OneLBL\tCaption only\r\n"
      "TwoCB\t&Box\tIts hint\r\n"
      "itemlstbx\t\t\tIDE\tEditor\tAssembler\tQV/B Compiler\tLanguage\r\n"
      "TwoFieldsRDGRP\tGroup\thint\r\n"
      "FullRDGRP\tGroup\t\tA\tB\r\n"
      "ErrorLB\t\tError list\r\n"
      "GoTLBTN\tignored\tTool hint\r\n"
      "OneLBL\tsecond line of a name is not read\r\n"
      "no tab line\r\n");
  auto caption = t.Fields("ConfigFRM");
  ASSERT_TRUE(caption);
  EXPECT_EQ((*caption)[0], "Configuration");

  auto one = TextsForComponent(t, "ConfigFRM", "OneLBL", ComponentKind::Label, true);
  EXPECT_EQ(one.caption, "Caption only");
  EXPECT_FALSE(one.hint);

  auto two = TextsForComponent(t, "ConfigFRM", "TwoCB", ComponentKind::CheckBox, true);
  EXPECT_EQ(two.caption, "&Box");
  EXPECT_EQ(two.hint, "Its hint");

  // Names compare without case; the list loses its last item on the configuration dialog.
  auto list = TextsForComponent(t, "ConfigFRM", "ItemLSTBX", ComponentKind::ListBox, true);
  ASSERT_TRUE(list.items);
  EXPECT_EQ(*list.items,
            (std::vector<std::string>{"IDE", "Editor", "Assembler", "QV/B Compiler", "Language"}));
  EXPECT_TRUE(list.drop_last_item);
  EXPECT_FALSE(list.caption);
  auto same_list_elsewhere =
      TextsForComponent(t, "OtherFRM", "ItemLSTBX", ComponentKind::ListBox, true);
  EXPECT_FALSE(same_list_elsewhere.drop_last_item);

  auto radio2 = TextsForComponent(t, "F", "TwoFieldsRDGRP", ComponentKind::RadioGroup, true);
  ASSERT_TRUE(radio2.items);
  EXPECT_TRUE(radio2.items->empty());
  auto radio = TextsForComponent(t, "F", "FullRDGRP", ComponentKind::RadioGroup, true);
  EXPECT_EQ(*radio.items, (std::vector<std::string>{"A", "B"}));
  auto disabled = TextsForComponent(t, "F", "FullRDGRP", ComponentKind::RadioGroup, false);
  EXPECT_EQ(disabled.caption, "Group");
  EXPECT_FALSE(disabled.items);

  auto tool = TextsForComponent(t, "F", "GoTLBTN", ComponentKind::ToolButton, true);
  EXPECT_FALSE(tool.caption);
  EXPECT_EQ(tool.hint, "Tool hint");
  EXPECT_FALSE(TextsForComponent(t, "F", "GoTLBTN", ComponentKind::Other, true).hint);
}

TEST(FormTables, ListBoxesKeepTheirItemsUnlessTheLineGivesSome) {
  FormTable t = FormTable::Parse("ErrorLB\t\tError list\nOtherLB\tx\n");
  auto hinted = TextsForComponent(t, "EditorFRM", "ErrorLB", ComponentKind::ListBox, true);
  EXPECT_EQ(hinted.hint, "Error list");
  EXPECT_FALSE(hinted.items);
  EXPECT_FALSE(TextsForComponent(t, "EditorFRM", "OtherLB", ComponentKind::ListBox, true).items);
  auto none = TextsForComponent(t, "EditorFRM", "FilesLoadedLB", ComponentKind::ListBox, true);
  EXPECT_FALSE(none.items);
  EXPECT_FALSE(none.hint);
}

TEST(MenuTables, NamesPaddedWithBlanksCaptionsTrimmedHintsOptional) {
  MenuTable m = MenuTable::Parse(
      "FileOpenMENUITM  \t&Open...\tOpen an existing file\r\n"
      "\r\n"
      "FileSaveMENUITM\t  &Save  \r\n"
      "EmptyMENUITM\t\r\n"
      "NoTabMENUITM &Nothing\r\n");
  auto open = m.TextsFor("FileOpenMENUITM");
  ASSERT_TRUE(open);
  EXPECT_EQ(open->caption, "&Open...");
  EXPECT_EQ(open->hint, "Open an existing file");
  auto save = m.TextsFor("filesavemenuitm");
  ASSERT_TRUE(save);
  EXPECT_EQ(save->caption, "&Save");
  EXPECT_EQ(save->hint, "");
  EXPECT_FALSE(m.TextsFor("EmptyMENUITM"));
  EXPECT_FALSE(m.TextsFor("NoTabMENUITM"));
  EXPECT_FALSE(m.TextsFor(""));
}

TEST(ShippedFormTables, ConfigurationDialogAndMenus) {
  Localizer texts;
  FormTable config = texts.LoadFormTable("ConfigFRM");
  EXPECT_EQ((*config.Fields("ConfigFRM"))[0], "Configuration");
  auto list = TextsForComponent(config, "ConfigFRM", "ItemLSTBX", ComponentKind::ListBox, true);
  ASSERT_TRUE(list.items);
  EXPECT_EQ(list.items->size(), 5u);
  EXPECT_TRUE(list.drop_last_item);

  MenuTable main_menu = texts.LoadMenuTable("MainMenu");
  auto open = main_menu.TextsFor("FileOpenMENUITM");
  ASSERT_TRUE(open);
  EXPECT_EQ(open->caption, "&Open...");
  EXPECT_EQ(open->hint, "Open an existing file");
  EXPECT_EQ(main_menu.TextsFor("RunDebugAgainMENUITM")->caption, "D&ebug (reenter)");
  MenuTable popup = texts.LoadMenuTable("FilesLoadedPOPMNU");
  EXPECT_EQ(popup.TextsFor("RemoveFromKnownTopFileListMNUITM")->caption,
            "Remove From Known Top File List");
  EXPECT_TRUE(texts.LoadFormTable("NoSuchFRM").Empty());
}

TEST(TextLines, SplitAtEveryKindOfLineBreak) {
  using workbench::SplitLines;
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(SplitLines("").empty());
}

}  // namespace
