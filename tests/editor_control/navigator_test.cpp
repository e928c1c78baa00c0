// TScrivNavigator: conversions, caches and moves.

#include <gtest/gtest.h>

#include <vector>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::FixedWidthMeasurer;
using testing::Load;

// Lays a paragraph out in lines of `width` characters, as a stand-in for the layout engine.
void WrapEvery(TScrivlet& s, int32_t para, int32_t width) {
  const int32_t len = para::Length(s.Table.Items(para));
  std::vector<TLineRecord> lines;
  for (int32_t start = 0; start < len || lines.empty(); start += width) {
    TLineRecord r;
    r.Start = start;
    r.End = r.TrailingStart = std::min(len, start + width);
    lines.push_back(r);
  }
  s.Table.SetParagraphLines(para, lines);
}

class NavigatorTest : public ::testing::Test {
 protected:
  TScrivlet s;
  FixedWidthMeasurer measurer{7, 12};
  TScrivNavigator nav{s};
  void SetUp() override { s.SetMeasurer(&measurer); }
};

TEST_F(NavigatorTest, OffsetsCountTwoPerBreakAndReadBackAsCRLF) {
  Load(s, "ab\nc");
  struct Row {
    int32_t offset, para, pos;
    uint8_t ch;
  };
  const Row rows[] = {
      {0, 0, 0, 'a'}, {1, 0, 1, 'b'}, {2, 0, 2, 13}, {3, 0, 3, 10}, {4, 1, 0, 'c'}, {5, 1, 1, 0},
  };
  for (const Row& r : rows) {
    nav.SetOffset(r.offset);
    EXPECT_EQ(nav.GetParaIndex(), r.para) << r.offset;
    EXPECT_EQ(nav.GetPosInPara(), r.pos) << r.offset;
    EXPECT_EQ(nav.CharAt(), r.ch) << r.offset;
  }
  EXPECT_EQ(s.CharCount(), 5);
}

TEST_F(NavigatorTest, ResolvesLazilyAndKeepsItsParagraphOnMovesInsideIt) {
  Load(s, "hello\r\nworld");
  nav.SetOffset(8);
  EXPECT_FALSE(nav.Resolved());
  EXPECT_EQ(nav.GetParaIndex(), 1);
  nav.SetOffset(10);
  EXPECT_TRUE(nav.Resolved()) << "same paragraph";
  EXPECT_EQ(nav.GetPosInPara(), 3);
  nav.SetOffset(2);
  EXPECT_FALSE(nav.Resolved()) << "another paragraph";
}

TEST_F(NavigatorTest, ForwardMovesCarryTheRunAndLineCachesBackwardMovesDropThem) {
  Load(s, std::string(30, 'x'));
  WrapEvery(s, 0, 10);
  TParagraph& p = s.Table.Items(0);
  TStyleRun run;
  run.Offset = 5;
  para::MutableRuns(p).push_back(run);
  run.Offset = 15;
  para::MutableRuns(p).push_back(run);
  nav.SetOffset(0);
  EXPECT_EQ(nav.GetRunIndex(), 0);
  EXPECT_EQ(nav.GetLineInPara(), 0);
  nav.SetOffset(16);
  EXPECT_EQ(nav.CachedRunIndex(), 2);
  EXPECT_EQ(nav.CachedLineInPara(), 1);
  nav.SetOffset(4);
  EXPECT_EQ(nav.CachedRunIndex(), -1);
  EXPECT_EQ(nav.CachedLineInPara(), -1);
  EXPECT_EQ(nav.GetRunIndex(), 0);
  s.SelfTest();
}

TEST_F(NavigatorTest, CopyTextWritesCRLFForEveryBreakWhateverTheFileUsed) {
  Load(s, "ab\rcd\nef");
  nav.SetOffset(1);
  EXPECT_EQ(nav.CopyText(100), "b\r\ncd\r\nef");
  nav.SetOffset(3);
  EXPECT_EQ(nav.CopyText(3), "\ncd");
}

TEST_F(NavigatorTest, ParagraphAndPositionMovesClamp) {
  Load(s, "abc\r\nde\r\nf");
  nav.SetParaIndex(1);
  EXPECT_EQ(nav.Offset(), 5);
  nav.SetPosInPara(10);
  EXPECT_EQ(nav.Offset(), 7);
  nav.SetParaIndex(99);
  EXPECT_EQ(nav.GetParaIndex(), 2);
}

TEST_F(NavigatorTest, DisplayLinesFollowTheLineRecordsWithWordWrap) {
  Load(s, "0123456789abcdefghij\r\nxy");
  WrapEvery(s, 0, 8);  // lines 0..2 in paragraph 0, line 3 in paragraph 1
  EXPECT_EQ(s.Table.LineCount(), 4);
  s.SelfTest();
  nav.SetOffset(9);
  EXPECT_EQ(nav.GetDisplayLine(), 1);
  EXPECT_EQ(nav.ColumnInLine(), 1);
  EXPECT_EQ(nav.LineText(), "89abcdef");
  nav.SetDisplayLine(2);
  EXPECT_EQ(nav.Offset(), 16);
  nav.SetColumnInLine(99);
  EXPECT_EQ(nav.Offset(), 20) << "clamped to the line's end";
  EXPECT_EQ(nav.GetDisplayLine(), 2) << "the end of a line stays on it";
  nav.SetDisplayLine(3);
  EXPECT_EQ(nav.Offset(), 22);
  nav.SetDisplayLine(50);
  EXPECT_EQ(nav.GetDisplayLine(), 3) << "beyond the last line goes to the last line";
  s.SelfTest();
}

TEST_F(NavigatorTest, WithoutWordWrapADisplayLineIsAParagraph) {
  s.SetWordWrap(false);
  Load(s, "a\r\nb\r\nc");
  nav.SetDisplayLine(1);
  EXPECT_EQ(nav.Offset(), 3);
  EXPECT_EQ(nav.GetDisplayLine(), 1);
  nav.SetDisplayLine(7);
  EXPECT_EQ(nav.GetParaIndex(), 2);
}

TEST_F(NavigatorTest, WordMoves) {
  Load(s, "one two,  three\r\nfour");
  const TSeparators& seps = s.SeparatorSet();
  nav.SetOffset(0);
  nav.NextWordStart(seps);
  EXPECT_EQ(nav.Offset(), 4);
  nav.NextWordStart(seps);
  EXPECT_EQ(nav.Offset(), 10) << "over the comma and both blanks";
  nav.NextWordStart(seps);
  EXPECT_EQ(nav.Offset(), 17) << "CR and LF are separators: on to the next paragraph's word";
  nav.SetOffset(15);
  nav.NextWordStart(seps);
  EXPECT_EQ(nav.Offset(), 17) << "from the paragraph end, 2 on to the next paragraph";
  nav.WordStartBack(seps);
  EXPECT_EQ(nav.Offset(), 10);
  nav.SetOffset(12);
  nav.WordEnd(seps);
  EXPECT_EQ(nav.Offset(), 15);
  nav.SetOffset(12);
  nav.CurrentWordStart(seps);
  EXPECT_EQ(nav.Offset(), 10);
  nav.SetOffset(19);
  nav.CurrentWordStart(seps);
  EXPECT_EQ(nav.Offset(), 17) << "not before its paragraph";
}

TEST_F(NavigatorTest, NextWordStartCrossesBlankParagraphsAndLeadingBlanks) {
  Load(s, "one\r\n\r\n  two");
  nav.SetOffset(0);
  nav.NextWordStart(s.SeparatorSet());
  EXPECT_EQ(nav.Offset(), 9);
  EXPECT_EQ(nav.CharAt(), 't');
}

TEST_F(NavigatorTest, APointBelowTheLastLineGoesToTheEndOfTheText) {
  Load(s, "abc\r\ndef");
  nav.SetFromPoint(20, 12 * 5);
  EXPECT_EQ(nav.Offset(), s.CharCount());
}

TEST_F(NavigatorTest, AClickOnTheRightHalfOfACharacterPutsThePositionAfterIt) {
  Load(s, "abc\r\ndef");
  // Left margin 8, 7 pixels a character: 'e' spans 15..21, its middle at 18.
  nav.SetFromPoint(17, 12 + 3);
  EXPECT_EQ(nav.Offset(), 6) << "left half: before e";
  nav.SetFromPoint(18, 12 + 3);
  EXPECT_EQ(nav.Offset(), 7) << "right half: after e";
  nav.SetFromPoint(-50, -5);
  EXPECT_EQ(nav.Offset(), 0);
}

TEST_F(NavigatorTest, PixelPositionsFollowMarginsScrollingAndAlignment) {
  s.SetBounds(100, s.ClientHeight());
  Load(s, "ab\r\ncd");
  nav.SetOffset(5);
  EXPECT_EQ(nav.GetX(), 8 + 7);
  EXPECT_EQ(nav.GetY(), 12);
  s.SetHScroll(4);
  s.SetVScroll(2);
  EXPECT_EQ(nav.GetX(), 8 + 7 - 4);
  EXPECT_EQ(nav.GetY(), 10);
  s.SetHScroll(0);
  s.SetVScroll(0);
  s.SetAlignment(TAlignment::taRightJustify);  // wrap width 84, line 14: 70 free
  EXPECT_EQ(nav.GetX(), 8 + 70 + 7);
  s.SetAlignment(TAlignment::taCenter);
  EXPECT_EQ(nav.GetX(), 8 + 35 + 7);
  EXPECT_EQ(nav.CharWidth(), 7);
  nav.SetOffset(6);
  EXPECT_EQ(nav.CharWidth(), 0) << "0 at the paragraph end";
}

TEST_F(NavigatorTest, ATabMovesToTheNextTabStopStyleCharactersTakeNoRoom) {
  s.SetTabStops(4);  // 4 space widths: 28 pixels
  Load(s,
       "a\tb\r\n\x02"
       "cd");
  nav.SetOffset(2);
  EXPECT_EQ(nav.GetX(), 8 + 28);
  s.SetStaticFormat(true);
  nav.SetOffset(7);
  EXPECT_EQ(nav.GetX(), 8 + 7) << "the bold toggle before c is zero-width";
}

TEST_F(NavigatorTest, ATabAtExactlyAStopMovesToTheNextOne) {
  s.SetTabStops(2);  // 14 pixels
  Load(s, "ab\tc");
  nav.SetOffset(3);
  EXPECT_EQ(nav.GetX(), 8 + 28);
}

TEST_F(NavigatorTest, RunsInsertDeleteAndStepAcrossParagraphs) {
  Load(s, "abcd\r\nefgh");
  TStyleRun run;
  run.RunFlags = kRunHasAttributes | kStyleBold;
  nav.SetOffset(2);
  nav.InsertRun(run);
  EXPECT_EQ(nav.GetRunIndex(), 1);
  EXPECT_EQ(nav.CurrentStyle().RunFlags, run.RunFlags);
  nav.SetOffset(8);
  nav.InsertRun(run);
  nav.SetOffset(0);
  ASSERT_TRUE(nav.NextRun(s.CharCount()));
  EXPECT_EQ(nav.Offset(), 2);
  ASSERT_TRUE(nav.NextRun(s.CharCount()));
  EXPECT_EQ(nav.Offset(), 8);
  EXPECT_FALSE(nav.NextRun(s.CharCount()));
  ASSERT_TRUE(nav.PrevRun(0));
  EXPECT_EQ(nav.Offset(), 2);
  EXPECT_FALSE(nav.PrevRun(1)) << "not past the limit";
  nav.SetOffset(3);
  try {
    nav.DeleteRun();
    FAIL();
  } catch (const EScrivletError& e) {
    EXPECT_STREQ(e.what(), "Internal Scrivlet error");
  }
  nav.SetOffset(2);
  nav.StepBackRun();
  nav.DeleteRun();
  EXPECT_EQ(para::RunCount(s.Table.Items(0)), 0);
  s.SelfTest();
}

TEST_F(NavigatorTest, InlineStyleTogglesFromTheLineStartOnlyWithStaticFormat) {
  Load(s,
       "a\x02"
       "b\x01"
       "c");
  nav.SetOffset(5);
  EXPECT_EQ(nav.InlineStyle(), 0);
  s.SetStaticFormat(true);
  nav.SetOffset(3);
  EXPECT_EQ(nav.InlineStyle(), kStyleBold);
  nav.SetOffset(5);
  EXPECT_EQ(nav.InlineStyle(), kStyleBold | kStyleItalic);
}

TEST_F(NavigatorTest, ALineIndexOutsideTheRecordsIsAListIndexError) {
  Load(s, "abc");
  EXPECT_THROW(para::LineRecord(s.Table.Items(0), 1), ERangeError);
}

TEST_F(NavigatorTest, APrivateNavigatorIsNotRegistered) {
  const size_t before = s.Navigators().size();
  {
    TScrivNavigator priv(s.Table);
    EXPECT_EQ(s.Navigators().size(), before);
  }
  {
    TScrivNavigator reg(s);
    EXPECT_EQ(s.Navigators().size(), before + 1);
  }
  EXPECT_EQ(s.Navigators().size(), before);
}

}  // namespace
}  // namespace scrivlet
