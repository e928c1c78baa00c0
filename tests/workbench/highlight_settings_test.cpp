// Which keyword list an editor takes, and how its keywords, comments and strings look under
// the configuration.

#include "workbench/highlight_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/editor_control/test_support.h"
#include "workbench/keyword_lists.h"

namespace workbench {
namespace {

using scrivlet::TScrivlet;

constexpr Colour kCode = 0xFF0000;
constexpr Colour kComment = 0x008000;

// Two small lists in place of the program's: "MOV" and "NOP" for assembly, "PRINT" for BASIC.
class HighlightSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lists.LoadListFromResource("asm", "txt");
    lists.LoadListFromResource("basic", "txt");
    scrivlet::testing::LayOutAtOnce(s, measurer, 400, 400);
  }

  // One letter per character: K keyword, B bold keyword, c comment, s string, . plain.
  std::string Looks() {
    std::string out;
    for (int32_t o = 0; o < s.CharCount(); ++o) {
      const scrivlet::TStyleRun r = scrivlet::testing::StyleAt(s, o);
      const bool on = (r.RunFlags & scrivlet::kRunHasAttributes) != 0;
      out += !on                                        ? '.'
             : r.Context == kCommentContext             ? (r.Foregnd == kComment ? 'c' : '?')
             : r.Context == kStringContext              ? 's'
             : (r.RunFlags & scrivlet::kStyleBold) != 0 ? 'B'
                                                        : 'K';
    }
    return out;
  }

  T_MultiKeywordList lists{
      [](std::string_view, std::string_view name) -> std::optional<std::string_view> {
        if (name == "asm") return std::string_view("MOV\r\nNOP\r\n");
        if (name == "basic") return std::string_view("PRINT\r\n");
        return std::nullopt;
      }};
  scrivlet::testing::FixedWidthMeasurer measurer{7, 12};
  TScrivlet s;
  EditorOptions editor_options;
  IdeOptions ide_options;
};

TEST_F(HighlightSettingsTest, AnEditorTakesTheListOfItsKind) {
  struct Row {
    int kind;
    bool default_is_assembly;
    const char* first_keyword;  // nullptr: the empty list
  };
  const Row rows[] = {
      {1, false, "MOV"},  {2, true, "PRINT"}, {0, true, nullptr},
      {3, true, nullptr}, {4, true, "MOV"},   {4, false, "PRINT"},
  };
  for (const Row& r : rows) {
    ide_options.DefaultIsAssembly = r.default_is_assembly;
    s.Keywords.Add("STALE");
    SetEditorKeywords(s, lists, r.kind, ide_options);
    if (r.first_keyword == nullptr) {
      EXPECT_EQ(s.Keywords.Count(), 0) << r.kind;
    } else {
      ASSERT_GT(s.Keywords.Count(), 0) << r.kind;
      EXPECT_EQ(s.Keywords.Strings(0), r.first_keyword) << r.kind;
    }
  }
}

TEST_F(HighlightSettingsTest, KeywordsCommentsAndStringsFollowTheOptions) {
  struct Row {
    const char* what;
    bool bold, coloured_code, coloured_comments;
    char comment_key;
    const char* text;
    const char* looks;
  };
  const Row rows[] = {
      {"assembly, every option on", true, true, true, ';', "mov a ; nop \"x\"", "BBB...ccccccccc"},
      {"keywords plain", false, true, true, ';', "MOV \"a;b\"", "KKK.sssss"},
      {"BASIC comments", true, true, true, '\'', "MOV ' nop ; x", "BBB.ccccccccc"},
      {"no comment key: strings only", true, true, true, 0, "MOV ; \"x\"", "BBB...sss"},
      {"comments off", true, true, false, ';', "MOV ; \"x\"", "BBB......"},
  };
  for (const Row& r : rows) {
    editor_options.BoldCode = r.bold;
    editor_options.ColoredCode = r.coloured_code;
    editor_options.CodeColor = kCode;
    editor_options.ColoredComments = r.coloured_comments;
    editor_options.CommentColor = kComment;
    SetEditorKeywords(s, lists, 1, ide_options);
    scrivlet::testing::Load(s, r.text);
    ApplyHighlightSettings(s, editor_options, r.comment_key);
    EXPECT_EQ(Looks(), r.looks) << r.what;
  }
}

TEST_F(HighlightSettingsTest, KeywordColoursFollowColoredCode) {
  for (const bool coloured : {true, false}) {
    editor_options.ColoredCode = coloured;
    editor_options.CodeColor = kCode;
    SetEditorKeywords(s, lists, 1, ide_options);
    ApplyHighlightSettings(s, editor_options, ';');
    const scrivlet::TKeywordAttributes a = s.Keywords.GetKeywordAttributes(0);
    EXPECT_EQ(a.Foregnd, coloured ? kCode : TScrivlet::kClWindowText);
    EXPECT_EQ(a.Backgnd, TScrivlet::kClWindow);
    EXPECT_EQ(a.Options, scrivlet::kWholeWord);
    EXPECT_EQ(a.Context, 1);
  }
  // The shared list keeps what it was loaded with.
  EXPECT_NE(lists.GetList(1)->GetKeywordAttributes(0).Foregnd, kCode);
}

TEST(CommentKeyOf, AssemblyAndBasicHaveTheirOwn) {
  EXPECT_EQ(CommentKeyOf(1), ';');
  EXPECT_EQ(CommentKeyOf(2), '\'');
  EXPECT_EQ(CommentKeyOf(0), 0);
}

}  // namespace
}  // namespace workbench
