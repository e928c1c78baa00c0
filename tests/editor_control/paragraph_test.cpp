// The paragraph accessors and the table's own bookkeeping.

#include <gtest/gtest.h>

#include <memory>

#include "test_support.h"

namespace scrivlet {
namespace {

TEST(ParagraphTest, AShortRecordKeepsOneLineWhoseRecordIsSynthesised) {
  TParagraph p;
  para::SetLength(p, 10);
  EXPECT_FALSE(p.HasExtension());
  TLineRecord r = para::FirstLineRecord(p);
  EXPECT_EQ(r.Start, 0);
  EXPECT_EQ(r.End, 10);
  EXPECT_EQ(r.TrailingStart, 10);
  r.WordWidth = r.FullWidth = 300;
  para::SetFirstLineRecord(p, r);
  EXPECT_FALSE(p.HasExtension()) << "the width fits the short form";
  EXPECT_EQ(p.LineWord, 300);
  r.StartStyle = kStyleBold;
  para::SetFirstLineRecord(p, r);
  EXPECT_TRUE(p.HasExtension()) << "a start style needs the extension";
  EXPECT_EQ(para::InlineStartStyle(p), kStyleBold);
  para::Release(p);
}

TEST(ParagraphTest, TheExtensionComesForLongTextsWideLinesAndMoreLines) {
  TParagraph a, b, c;
  para::SetLength(a, 65534);
  EXPECT_FALSE(a.HasExtension());
  para::SetLength(a, 65535);
  EXPECT_TRUE(a.HasExtension());
  EXPECT_EQ(para::Length(a), 65535);
  para::SetLength(b, 5);
  TLineRecord wide = para::FirstLineRecord(b);
  wide.WordWidth = 70000;
  para::SetFirstLineRecord(b, wide);
  EXPECT_TRUE(b.HasExtension());
  para::SetLineCount(c, 3);
  EXPECT_TRUE(c.HasExtension());
  EXPECT_EQ(para::LineCount(c), 3);
  for (TParagraph* p : {&a, &b, &c}) para::Release(*p);
}

TEST(ParagraphTest, ContextFlagsOneToThirtyThree) {
  TParagraph p;
  para::SetContextFlag(p, 1, true);
  EXPECT_TRUE(para::ContextFlag(p, 1));
  EXPECT_FALSE(p.HasExtension()) << "flag 1 lives in the level byte";
  para::SetContextFlag(p, 33, true);
  EXPECT_TRUE(para::ContextFlag(p, 33));
  EXPECT_FALSE(para::ContextFlag(p, 2));
  para::SetContextFlag(p, 0, true);
  para::SetContextFlag(p, 34, true);
  EXPECT_FALSE(para::ContextFlag(p, 0));
  EXPECT_FALSE(para::ContextFlag(p, 34));
  EXPECT_EQ(p.Ext->ContextBits, 1u << 31);
  para::Release(p);
}

TEST(ParagraphTest, LevelAdjustmentsAndEffectiveLevels) {
  TParagraph p;
  p.LevelFlags = 4;
  para::SetStopAdjustment(p, 1);
  EXPECT_EQ(p.LevelFlags & kLevelStopAdjust, kLevelStopAdjust);
  EXPECT_EQ(para::EffectiveStopLevel(p), 1);
  EXPECT_EQ(para::EffectiveStartLevel(p), 4);
  para::SetStopAdjustment(p, 4);
  EXPECT_EQ(p.LevelFlags & kLevelStopAdjust, 0);
  EXPECT_EQ(para::EffectiveStopLevel(p), 4);
  p.LevelFlags = 1;
  EXPECT_EQ(para::EffectiveStartLevel(p), 0);
  para::Release(p);
}

TEST(ParagraphTest, AStyleIsSharedOrCopiedAndTheDefaultReleasesIt) {
  auto style = std::make_shared<TStyleRun>();
  style->RunFlags = kRunHasAttributes | kStyleItalic;
  TParagraph p, q;
  para::SetStyle(p, style, true);
  para::SetStyle(q, style, false);
  EXPECT_EQ(para::StyleRecord(p), style);
  EXPECT_NE(para::StyleRecord(q), style);
  EXPECT_EQ(style.use_count(), 2);
  para::SetStyle(p, nullptr, true);
  EXPECT_EQ(style.use_count(), 1);
  EXPECT_EQ(para::Style(p).RunFlags, 0) << "the default style";
  para::Release(p);
  para::Release(q);
}

TEST(ParagraphTest, TakeOwnershipCopiesABorrowedText) {
  TParagraphsList list;
  testing::Load(list, "abc\r\n");
  TParagraph& p = list.Items(0);
  const char* borrowed = p.Text;
  para::TakeOwnership(p);
  EXPECT_TRUE(p.OwnsText());
  EXPECT_NE(p.Text, borrowed);
  EXPECT_STREQ(p.Text, "abc");
  TParagraph& empty = list.Items(1);
  para::TakeOwnership(empty);
  EXPECT_EQ(empty.Text, nullptr);
}

TEST(ParagraphsListTest, MarkStaleWidensThePendingRange) {
  TParagraphsList list;
  testing::Load(list, "a\r\nb\r\nc\r\nd\r\ne");
  list.FirstChanged = list.Count();
  list.LastChanged = -1;
  list.LastScanned = 4;
  list.MarkStale(2, 0, 3);
  EXPECT_EQ(list.FirstChanged, 2);
  EXPECT_EQ(list.FirstChangedLine, 2);
  EXPECT_EQ(list.LastChanged, 3);
  EXPECT_EQ(list.LastScanned, 1);
  list.MarkStale(1, 0, 1);
  EXPECT_EQ(list.FirstChanged, 1);
  EXPECT_EQ(list.LastChanged, 3);
  EXPECT_FALSE(list.AllFormatted);
}

TEST(ParagraphsListTest, MarkAllForLayoutAndClear) {
  TParagraphsList list;
  testing::Load(list, "a\r\nb");
  list.Items(0).Flags |= pfFormatted;
  list.MarkAllForLayout();
  EXPECT_EQ(list.Items(0).Flags & pfFormatted, 0);
  EXPECT_EQ(list.LastToFormat, 1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.CharCount(), 0);
  EXPECT_EQ(list.Capacity(), 1820);
  EXPECT_TRUE(list.TextBlocks.empty());
  EXPECT_EQ(list.LastToFormat, -1);
}

TEST(ParagraphsListTest, ForgetNavigatorCachesTouchesOnlyTheNamedRange) {
  TScrivlet s;
  testing::Load(s, "abc\r\ndef\r\nghi");
  TScrivNavigator early(s), late(s), far(s);
  early.SetOffset(1);
  late.SetOffset(6);
  far.SetOffset(11);
  for (TScrivNavigator* n : {&early, &late, &far}) {
    n->GetRunIndex();
    n->GetLineInPara();
  }
  TParagraphsList::ForgetNavigatorCaches(s.Navigators(), 5, 1);
  EXPECT_EQ(early.CachedLineInPara(), 0);
  EXPECT_EQ(late.CachedLineInPara(), -1);
  EXPECT_EQ(late.CachedRunIndex(), -1);
  EXPECT_EQ(far.CachedLineInPara(), 0);
}

}  // namespace
}  // namespace scrivlet
