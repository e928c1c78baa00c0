// InsertText between two navigators: splitting, buffers, runs, trailing blanks, toggles.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::Load;
using testing::ParaText;

class InsertTextTest : public ::testing::Test {
 protected:
  TParagraphsList list;
  TScrivNavigator from{list};
  TScrivNavigator to{list};

  TInsertResult Replace(int32_t a, int32_t b, std::string_view text, bool keep_styles = true,
                        bool discard = false) {
    from.Unresolve();
    from.SetOffset(a);
    to.Unresolve();
    to.SetOffset(b);
    return list.InsertText(text, from, keep_styles, discard, to);
  }
  std::vector<std::string> Paras() {
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.Count(); ++i) out.push_back(ParaText(list, i));
    return out;
  }
  void ExpectOffsetsConsistent() {
    int32_t offset = 0;
    for (int32_t i = 0; i < list.Count(); ++i) {
      EXPECT_EQ(list.Items(i).StartOffset, offset) << i;
      EXPECT_EQ(list.Items(i).FirstLine, i) << i;
      offset += para::Length(list.Items(i)) + 2;
    }
    EXPECT_EQ(list.CharCount(), offset - 2);
    EXPECT_EQ(list.LineCount(), list.Count());
  }
};

TEST_F(InsertTextTest, ALoneLFIsAnOrdinaryCharacterWhereLoadingWouldBreak) {
  Load(list, "xy");
  const TInsertResult r = Replace(1, 1, "1\n2\n3");
  EXPECT_EQ(Paras(), (std::vector<std::string>{"x1\n2\n3y"}));
  EXPECT_EQ(r.ParagraphsAdded, 0);
  EXPECT_EQ(r.OffsetDelta, 5);
  ExpectOffsetsConsistent();
}

TEST_F(InsertTextTest, CRLFAndALoneCRBothBreak) {
  Load(list, "xy\r\nz");
  const TInsertResult r = Replace(1, 1, "1\r\n2\r3\n\r4");
  EXPECT_EQ(Paras(), (std::vector<std::string>{"x1", "2", "3\n", "4y", "z"}));
  EXPECT_EQ(r.ParagraphsAdded, 3);
  EXPECT_EQ(r.OffsetDelta, 11) << "1, 2, 3, LF, 4 and three breaks of 2";
  ExpectOffsetsConsistent();
  EXPECT_TRUE(list.ChangePending);
}

TEST_F(InsertTextTest, ReplacingAcrossParagraphsJoinsTheEnds) {
  Load(list, "abc\r\ndef\r\nghi\r\njkl");
  const TInsertResult r = Replace(2, 12, "X");  // "c\r\ndef\r\ngh" goes
  EXPECT_EQ(Paras(), (std::vector<std::string>{"abXi", "jkl"}));
  EXPECT_EQ(r.ParagraphsAdded, -2);
  EXPECT_EQ(r.OffsetDelta, -9);
  ExpectOffsetsConsistent();
}

TEST_F(InsertTextTest, DeletingABreakJoinsTwoParagraphs) {
  Load(list, "ab\r\ncd");
  Replace(2, 4, "");
  EXPECT_EQ(Paras(), (std::vector<std::string>{"abcd"}));
  ExpectOffsetsConsistent();
}

TEST_F(InsertTextTest, AChangedParagraphGetsAPrivateBufferWithOneSixtyFourthToSpare) {
  EXPECT_EQ(TParagraphsList::EditBufferSize(0), 1);
  EXPECT_EQ(TParagraphsList::EditBufferSize(63), 64);
  EXPECT_EQ(TParagraphsList::EditBufferSize(64), 66);
  EXPECT_EQ(TParagraphsList::EditBufferSize(6400), 6501);
  EXPECT_EQ(TParagraphsList::EditBufferSize(int64_t{2114445437}), 2147483647);
  EXPECT_THROW(TParagraphsList::EditBufferSize(int64_t{2114445440}), EScrivletError);
  try {
    TParagraphsList::EditBufferSize(int64_t{1} << 31);
  } catch (const EScrivletError& e) {
    EXPECT_STREQ(e.what(), "Text too long");
  }
  Load(list, "abc\r\ndef");
  Replace(1, 1, "Z");
  EXPECT_TRUE(list.Items(0).OwnsText());
  EXPECT_FALSE(list.Items(1).OwnsText()) << "untouched paragraphs stay in the load buffer";
}

TEST_F(InsertTextTest, NewParagraphsCopyTheLevelAndScanBitsOfTheInsertionPoint) {
  Load(list, "ab");
  TParagraph& p = list.Items(0);
  p.LevelFlags = 3 | kLevelContext1;
  p.Flags |= pfKeysScanned | pfFormatted;
  Replace(1, 1, "\r\n\r\n");
  ASSERT_EQ(list.Count(), 3);
  for (int32_t i = 1; i < 3; ++i) {
    EXPECT_EQ(list.Items(i).LevelFlags, 3) << "only the level bits";
    EXPECT_EQ(list.Items(i).Flags & kScanFlags, pfKeysScanned);
    EXPECT_EQ(list.Items(i).Flags & pfFormatted, 0);
  }
}

TEST_F(InsertTextTest, RunsBeforeTheRangeStayRunsBehindMoveRunsInsideAreReported) {
  Load(list, "abcdef\r\nghij");
  auto add_run = [&](int32_t para, int32_t offset) {
    TStyleRun r;
    r.Offset = offset;
    r.RunFlags = kRunHasAttributes;
    para::MutableRuns(list.Items(para)).push_back(r);
  };
  add_run(0, 1);
  add_run(0, 3);
  add_run(1, 2);
  TInsertResult r = Replace(5, 5, "XY");
  EXPECT_FALSE(r.RunsRemoved);
  ASSERT_EQ(para::RunCount(list.Items(0)), 2);
  EXPECT_EQ((*para::Runs(list.Items(0)))[1].Offset, 3);
  r = Replace(2, 11, "\r\nQ");  // "cdeXYf\r\ng" goes; the run at 3 of paragraph 0 with it
  EXPECT_TRUE(r.RunsRemoved);
  EXPECT_EQ(Paras(), (std::vector<std::string>{"ab", "Qhij"}));
  ASSERT_EQ(para::RunCount(list.Items(0)), 1);
  EXPECT_EQ((*para::Runs(list.Items(0)))[0].Offset, 1);
  ASSERT_EQ(para::RunCount(list.Items(1)), 1);
  EXPECT_EQ((*para::Runs(list.Items(1)))[0].Offset, 2) << "i keeps its run behind Q";
}

TEST_F(InsertTextTest, DiscardTrailingTrimsEveryPieceThatEndsAParagraph) {
  Load(list, "ab  \r\nz");
  Replace(4, 4, "\r\nc \t\r\nd  ", true, true);
  EXPECT_EQ(Paras(), (std::vector<std::string>{"ab", "c", "d  ", "z"}))
      << "a blank first piece takes the blanks before the insertion point with it";
  ExpectOffsetsConsistent();
}

TEST_F(InsertTextTest, DiscardTrailingLeavesASingleParagraphInsertionAlone) {
  Load(list, "ab");
  Replace(2, 2, "  ", true, true);
  EXPECT_EQ(Paras(), (std::vector<std::string>{"ab  "}));
}

TEST_F(InsertTextTest, RemovedTogglesArePutBackInTheFixedOrder) {
  list.StaticFormat = true;
  Load(list,
       "a\x02"
       "b\x15"
       "c\x01\x01"
       "d");
  Replace(1, 7, "X");  // removes 2 b 21 c 1 1: bold and underline stay switched
  EXPECT_EQ(Paras(), (std::vector<std::string>{"aX\x15\x02"
                                               "d"}));
}

TEST_F(InsertTextTest, TheCallerMaySuppressThePutBack) {
  list.StaticFormat = true;
  Load(list,
       "a\x02"
       "b");
  Replace(1, 2, "", false);
  EXPECT_EQ(Paras(), (std::vector<std::string>{"ab"}));
}

TEST_F(InsertTextTest, NewParagraphsStartInTheStyleThatTheTextBeforeLeaves) {
  list.StaticFormat = true;
  Load(list, "ab");
  Replace(1, 1, "\x02x\r\ny\x01\r\nz");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(para::InlineStartStyle(list.Items(1)), kStyleBold);
  EXPECT_EQ(para::InlineStartStyle(list.Items(2)), kStyleBold | kStyleItalic);
}

TEST_F(InsertTextTest, TheChangedRangeAndTheBacklogFollowTheEdit) {
  Load(list, "a\r\nb\r\nc\r\nd");
  list.FirstChanged = list.Count();
  list.LastChanged = -1;
  Replace(2, 5, "x\r\ny\r\nz");  // "\r\nb" goes: paragraphs 0..1 become 0..2
  EXPECT_EQ(list.FirstChanged, 0);
  EXPECT_EQ(list.LastChanged, 2);
  EXPECT_LT(list.LastToFormat, list.Count());
}

}  // namespace
}  // namespace scrivlet
