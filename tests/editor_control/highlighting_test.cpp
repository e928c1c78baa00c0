// Highlighting by keywords and start/stop sections, after loading and after edits.

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::FixedWidthMeasurer;
using testing::Load;
using testing::StyleLetters;

// Colours that name what coloured a character.
constexpr int32_t kPlain = kNoColor;
constexpr int32_t kMov = 0x0000FF;
constexpr int32_t kMovwf = 0x00FF00;
constexpr int32_t kComment = 0x808080;
constexpr int32_t kString = 0x800000;
constexpr int32_t kBlock = 0x008080;

// One letter per character of the text: the colour class in force there.
std::string Colours(TScrivlet& s) {
  return StyleLetters(s, [](const TStyleRun& r) {
    const int32_t f = (r.RunFlags & kRunHasAttributes) ? r.Foregnd : kPlain;
    return f == kMov       ? 'M'
           : f == kMovwf   ? 'W'
           : f == kComment ? 'c'
           : f == kString  ? 's'
           : f == kBlock   ? 'b'
                           : '.';
  });
}

class HighlightingTest : public ::testing::Test {
 protected:
  FixedWidthMeasurer measurer{7, 12};
  TScrivlet s;
  void SetUp() override { testing::LayOutAtOnce(s, measurer, 400, 400); }
  void Keyword(const std::string& k, uint8_t options, int32_t colour, int32_t context = 1) {
    s.Keywords.AddKeyword(k, options, kStyleBold, context, 0, kNoColor, colour);
  }
  void AssemblerKeys() {
    Keyword("MOVWF", kWholeWord, kMovwf);
    Keyword("MOV", kWholeWord, kMov);
    s.StartStopKeys.AddStartStopKey("\"", "\"", 0, 0, 3, 0, kNoColor, kString, true);
    s.StartStopKeys.AddStartStopKey(";", "", 0, 0, 2, 0, kNoColor, kComment, true);
    s.StartStopKeys.AddStartStopKey("/*", "*/", 0, 0, 4, 0, kNoColor, kBlock, false);
  }
  void Edit(int32_t from, int32_t to, const std::string& text) {
    s.Select(to, from);
    s.UndoBreak = true;
    s.InsertTextBuf(text);
  }
};

TEST_F(HighlightingTest, KeywordsMatchByTheirOptionsAndTheFirstOfTheListWins) {
  struct Row {
    const char* name;
    std::string first, second;
    uint8_t options;
    std::string text, colours;
  };
  const Row rows[] = {
      {"whole words: only the longer keyword fits MOVWF", "MOV", "MOVWF", kWholeWord, "MOVWF MOV",
       "WWWWW.MMM"},
      {"partial: the first keyword takes MOVWF's start", "MOV", "MOVWF", 0, "MOVWF", "MMM.."},
      {"partial, other order: the longer one wins", "MOVWF", "MOV", 0, "MOVWF", "MMMMM"},
      {"whole word needs separators around", "MOV", "MOVWF", kWholeWord, "XMOV MOV, MOVX",
       ".....MMM......"},
      {"without match case any case matches", "MOV", "MOVWF", 0, "mov Mov", "MMM.MMM"},
      {"match case compares as it stands", "Mov", "MOVWF", kMatchCase, "mov Mov MOV",
       "....MMM...."},
      {"overlap: first keyword wins, the second is not found in it", "AB", "BC", 0, "ABC", "MM."},
  };
  for (const Row& r : rows) {
    s.Keywords.Clear();
    Keyword(r.first, r.options, kMov);     // M: the first of the list
    Keyword(r.second, r.options, kMovwf);  // W: the second
    Load(s, r.text);
    s.ReapplyHighlighting();
    EXPECT_EQ(Colours(s), r.colours) << r.name;
  }
}

TEST_F(HighlightingTest, AKeywordWithContextZeroIsNotApplied) {
  Keyword("MOV", kWholeWord, kMov, 0);
  Load(s, "MOV x");
  EXPECT_EQ(Colours(s), ".....");
}

TEST_F(HighlightingTest, SectionsHoldTheirTextAndEndWhereTheySay) {
  AssemblerKeys();
  struct Row {
    const char* name;
    std::string text, colours;
  };
  const Row rows[] = {
      {"a comment ends at the line end", "MOV ; MOV x\r\nMOV", "MMM.ccccccc|MMM"},
      {"a comment character inside a string opens nothing", "\"a;b\" MOV", "sssss.MMM"},
      {"a string ends at the line end when not closed", "\"ab\r\nMOV", "sss|MMM"},
      {"a block spans paragraphs up to its stop key", "a /* b\r\nMOV\r\nc */ MOV",
       "..bbbb|bbb|bbbb.MMM"},
      {"a keyword inside a comment is not highlighted", "; MOVWF", "ccccccc"},
  };
  for (const Row& r : rows) {
    Load(s, r.text);
    EXPECT_EQ(Colours(s), r.colours) << r.name;
    s.SelfTest();
  }
}

TEST_F(HighlightingTest, EditsRescanUntilTheSectionStateAgreesAgain) {
  AssemblerKeys();
  Load(s, "a /* b\r\nMOV\r\nc */ MOV\r\nMOV\r\nMOV");
  ASSERT_EQ(Colours(s), "..bbbb|bbb|bbbb.MMM|MMM|MMM");
  Edit(15, 17, "");  // the stop key goes: the block reaches the end of the text
  EXPECT_EQ(Colours(s), "..bbbb|bbb|bbbbbb|bbb|bbb");
  Edit(15, 15, "*/");  // closed again by a later edit
  EXPECT_EQ(Colours(s), "..bbbb|bbb|bbbb.MMM|MMM|MMM");
  Edit(3, 4, "");  // "a / b": no block at all
  EXPECT_EQ(Colours(s), ".....|MMM|.....MMM|MMM|MMM");
  s.SelfTest();
}

TEST_F(HighlightingTest, AKeywordBrokenByAnEditLosesItsColourAndUndoBringsItBack) {
  AssemblerKeys();
  Load(s, "MOV x, MOVWF");
  ASSERT_EQ(Colours(s), "MMM....WWWWW");
  Edit(1, 1, "Q");
  EXPECT_EQ(Colours(s), "........WWWWW");
  Edit(11, 12, "");  // MOVWF becomes MOVF
  EXPECT_EQ(Colours(s), "............");
  s.Undo();
  EXPECT_EQ(Colours(s), "........WWWWW");
  s.Undo();
  EXPECT_EQ(Colours(s), "MMM....WWWWW");
  s.Redo();
  EXPECT_EQ(Colours(s), "........WWWWW");
}

TEST_F(HighlightingTest, TypingAnUnmatchedQuoteColoursToTheLineEndOnly) {
  AssemblerKeys();
  Load(s, "MOV a\r\nMOV b");
  Edit(0, 0, "\"");
  EXPECT_EQ(Colours(s), "ssssss|MMM..");
  Edit(3, 3, "\"");
  EXPECT_EQ(Colours(s), "ssss...|MMM..");
}

TEST_F(HighlightingTest, ReapplyHighlightingTakesChangedListsAndSwitchesIntoAccount) {
  AssemblerKeys();
  Load(s, "MOV ; x");
  s.SetApplyStartStopKeys(false);
  EXPECT_EQ(Colours(s), "MMM.ccc") << "formatted paragraphs keep their colours";
  s.ReapplyHighlighting();
  EXPECT_EQ(Colours(s), "MMM....");
  s.SetApplyKeyWords(false);
  s.ReapplyHighlighting();
  EXPECT_EQ(Colours(s), ".......");
}

TEST_F(HighlightingTest, AStyleAppliedByAProgramStaysThroughARescan) {
  AssemblerKeys();
  Load(s, "abc def MOV");
  s.ApplyStyleRange(4, 7, kStyleBold, true, 9, 0, kNoColor, kString, false);
  EXPECT_EQ(Colours(s), "....sss.MMM");
  Edit(0, 0, "x");
  EXPECT_EQ(Colours(s), ".....sss.MMM");
}

}  // namespace
}  // namespace scrivlet
