#include "editor_control/start_stop_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_control/keyword_list.h"

namespace scrivlet {
namespace {

using Lines = std::vector<std::string>;

TEST(StartStopKeysTest, TheTextFormGivesStartAndStopKeys) {
  TStartStopKeyList list;
  const Lines lines{"/*|*/=0,0,1,0,536870911,255,0,"};
  list.LoadFromList(&lines);
  ASSERT_EQ(list.Count(), 1);
  const StartStopInfo& e = list.Items(0);
  EXPECT_EQ(e.StartKey, "/*");
  EXPECT_EQ(e.StopKey, "*/");
  EXPECT_EQ(e.Attributes.Backgnd, kNoColor);
  EXPECT_EQ(e.Attributes.Foregnd, 255);
  EXPECT_FALSE(e.EndsAtLineEnd());
  EXPECT_EQ(list.MaxStopLength, 2);
}

TEST(StartStopKeysTest, AnEmptyStopKeyEndingAtTheLineEndWaitsForTwoCharacters) {
  TStartStopKeyList list;
  const Lines lines{";=0,0,1,0,536870911,255,1,"};
  list.LoadFromList(&lines);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).StartKey, ";");
  EXPECT_EQ(list.Items(0).StopKey, "");
  EXPECT_EQ(list.Items(0).StopLength, 0);
  EXPECT_TRUE(list.Items(0).EndsAtLineEnd());
  EXPECT_EQ(list.MaxStartLength, 1);
  EXPECT_EQ(list.MaxStopLength, 2);
}

TEST(StartStopKeysTest, SaveWritesKeysFlagsAndData) {
  TStartStopKeyList list;
  list.AddStartStopKey("\"", "\"", 0, 2, 3, -1, kNoColor, 128, true);
  Lines out;
  list.SaveToList(out);
  EXPECT_EQ(out, (Lines{"\"|\"=0,2,3,-1,536870911,128,1,0,0,"}));
}

TEST(StartStopKeysTest, AMalformedLineStopsTheLoadAfterTheEntriesBeforeIt) {
  TStartStopKeyList list;
  const Lines lines{"a|b=0,0,1,0,0,0,0,", "no equals here", "c|d=0,0,x,0,0,0,0,",
                    "e|f=0,0,1,0,0,0,0,"};
  EXPECT_THROW(list.LoadFromList(&lines), EConvertError);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).StartKey, "a");
}

TEST(StartStopKeysTest, LoadingNothingEmptiesTheList) {
  TStartStopKeyList list;
  list.AddStartStopKey("a", "b", 0, 0, 1, 0, 0, 0, false);
  list.LoadFromList(nullptr);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 512);
}

TEST(StartStopKeysTest, PairsWithTheSameStartAndOptionsAreChained) {
  TStartStopKeyList list;
  list.AddStartStopKey("rem", "x", 0, 0, 1, 0, 0, 0, false);
  list.AddStartStopKey("REM", "y", 0, 0, 1, 0, 0, 0, false);
  list.AddStartStopKey("REM", "z", kMatchCase, 0, 1, 0, 0, 0, false);
  EXPECT_EQ(list.Items(0).FirstSameStart, -1);
  EXPECT_EQ(list.Items(1).FirstSameStart, 0) << "the prepared keys are equal";
  EXPECT_EQ(list.Items(2).FirstSameStart, -1) << "other options";
  EXPECT_FALSE(list.Prepared);
}

TEST(StartStopKeysTest, ChangingTheUpperCaseTypePreparesAgainOnlyCaseInsensitiveKeys) {
  TStartStopKeyList list;
  list.AddStartStopKey("\xE9x", "\xE9y", 0, 0, 1, 0, 0, 0, false);
  list.AddStartStopKey("\xE9z", "q", kMatchCase, 0, 1, 0, 0, 0, false);
  EXPECT_EQ(list.Items(0).StartText, "\xE9X");
  list.SetUpperCaseType(TzkUpperCase::zkuAnsi);
  EXPECT_EQ(list.Items(0).StartText, "\xC9X");
  EXPECT_EQ(list.Items(0).StopText, "\xC9Y");
  EXPECT_EQ(list.Items(1).StartText, "\xE9z");
}

TEST(StartStopKeysTest, TheKeysStreamRoundTripKeepsData3AndFlags) {
  TStartStopKeyList list;
  EXPECT_FALSE(list.StoreKeys());
  const int32_t i = list.AddStartStopKey("{", "}", kWholeWord, 1, 9, 2, 3, 4, true);
  StartStopInfo& e = list.Items(i);
  e.Data1 = 11;
  e.Data2 = 12;
  e.Data3 = 13;
  e.Flags |= 4;
  TStreamList stream;
  list.WriteKeys(stream);
  ASSERT_EQ(stream[0].size(), 12u);
  EXPECT_EQ(stream[0][8].kind, TStreamValue::vaTrue);
  EXPECT_EQ(stream[0][11].Int, 5 | (13 << 4)) << "Flags or Data3 times 16";
  TStartStopKeyList back;
  back.ReadKeys(stream);
  ASSERT_EQ(back.Count(), 1);
  const StartStopInfo& b = back.Items(0);
  EXPECT_EQ(b.StartKey, "{");
  EXPECT_EQ(b.Attributes, e.Attributes);
  EXPECT_EQ(b.Data1, 11);
  EXPECT_EQ(b.Data2, 12);
  EXPECT_EQ(b.Data3, 13);
  EXPECT_EQ(b.Flags, 5);
  EXPECT_FALSE(back.Prepared);
}

TEST(StartStopKeysTest, TheOlderKeysStreamCarriesTwoDataValuesBeforeTheBoolean) {
  TStreamList old = {{TStreamValue::String("<"), TStreamValue::String(">"),
                      TStreamValue::Integer(0), TStreamValue::Integer(0), TStreamValue::Integer(1),
                      TStreamValue::Integer(0), TStreamValue::Integer(0), TStreamValue::Integer(0),
                      TStreamValue::Integer(7), TStreamValue::Integer(8),
                      TStreamValue::Bool(false)}};
  TStartStopKeyList list;
  list.ReadKeys(old);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Items(0).Data1, 7);
  EXPECT_EQ(list.Items(0).Data2, 8);
  EXPECT_FALSE(list.Items(0).EndsAtLineEnd());
}

TEST(StartStopKeysTest, PreparingSetsTheSeparatorFlagsOfWholeWordPairsOnly) {
  TStartStopKeyList list;
  list.AddStartStopKey("REM", ";x", kWholeWord, 0, 1, 0, 0, 0, false);
  list.AddStartStopKey("rem", "x", 0, 0, 1, 0, 0, 0, false);
  list.AddStartStopKey(";", "", kWholeWord, 0, 1, 0, 0, 0, true);
  std::bitset<256> seps;
  for (unsigned char c : std::string(" \t\r\n;")) seps.set(c);
  list.Prepare(seps);
  EXPECT_TRUE(list.Prepared);
  const StartStopInfo& a = list.Items(0);
  EXPECT_TRUE(a.StartNeedsSepBefore);
  EXPECT_TRUE(a.StartNeedsSepAfter);
  EXPECT_FALSE(a.StopNeedsSepBefore) << "; is a separator itself";
  EXPECT_TRUE(a.StopNeedsSepAfter);
  const StartStopInfo& b = list.Items(1);
  EXPECT_FALSE(b.StartNeedsSepBefore || b.StartNeedsSepAfter || b.StopNeedsSepBefore ||
               b.StopNeedsSepAfter);
  const StartStopInfo& c = list.Items(2);
  EXPECT_FALSE(c.StartNeedsSepBefore || c.StopNeedsSepBefore || c.StopNeedsSepAfter);
  list.AddStartStopKey("x", "y", 0, 0, 1, 0, 0, 0, false);
  EXPECT_FALSE(list.Prepared) << "every change asks for preparing again";
}

TEST(StartStopKeysTest, ItemsOutsideTheListRaiseTheListIndexError) {
  TStartStopKeyList list;
  EXPECT_THROW(list.Items(0), ERangeError);
}

}  // namespace
}  // namespace scrivlet
