#include "editor_control/keyword_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace scrivlet {
namespace {

using Lines = std::vector<std::string>;

TEST(KeywordListTest, APlainAddHasNoContextAndSoIsNotApplied) {
  TKeywordList list;
  list.Add("MOVE");
  const TKeywordAttributes a = list.GetKeywordAttributes(0);
  EXPECT_EQ(a.Context, 0);
  EXPECT_EQ(a.Options, 0);
  EXPECT_EQ(a.Backgnd, 0x1FFFFFFF);
  EXPECT_EQ(a.Foregnd, 0x1FFFFFFF);
  TKeywordAttributes on = a;
  on.Context = 1;
  on.Style = kStyleBold;
  list.SetKeywordAttributes(0, on);
  EXPECT_EQ(list.GetKeywordAttributes(0).Context, 1);
}

TEST(KeywordListTest, TheTextFormRoundTripsAndAddsTheTwoDataNumbers) {
  TKeywordList list;
  list.LoadFromList({"MOVE=0,1,1,0,-2147483643,-2147483640,"});
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Strings(0), "MOVE");
  const TKeywordAttributes a = list.GetKeywordAttributes(0);
  EXPECT_EQ(a.Style, kStyleBold);
  EXPECT_EQ(a.Context, 1);
  EXPECT_EQ(a.Backgnd, -2147483643);
  EXPECT_EQ(a.Foregnd, -2147483640);
  Lines out;
  list.SaveToList(out);
  EXPECT_EQ(out, (Lines{"MOVE=0,1,1,0,-2147483643,-2147483640,0,0,"}));
}

TEST(KeywordListTest, OptionsAndStyleAreWrittenUnsignedTheCursorSigned) {
  TKeywordList list;
  list.AddKeyword("k", 0x83, 0xFF, -5, -2, 536870911, 255);
  Lines out;
  list.SaveToList(out);
  EXPECT_EQ(out, (Lines{"k=3,255,-5,-2,536870911,255,0,0,"})) << "bit 7 never stays in memory";
}

TEST(KeywordListTest, LinesWithoutEqualsAreSkippedAndTheDataNumbersAreNotReadBack) {
  TKeywordList list;
  list.LoadFromList({"just a comment", "A=1,0,2,0,0,0,77,88,", "B=0,0,3,0,0,0,junk behind"});
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0).Data1, 0);
  EXPECT_EQ(list.Strings(1), "B");
  EXPECT_EQ(list.GetKeywordAttributes(1).Context, 3)
      << "anything behind the sixth number is ignored";
}

TEST(KeywordListTest, AMalformedLineRaisesTheConversionErrorAndKeepsEarlierEntries) {
  TKeywordList list;
  list.Add("OLD");
  try {
    list.LoadFromList({"A=0,0,1,0,0,0,", "B=0,1,", "C=0,0,1,0,0,0,"});
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.Strings(0), "A");
  EXPECT_FALSE(list.Updating) << "the update state is closed";
  EXPECT_THROW(list.LoadFromList({"X=0,zz,0,0,0,0,"}), EConvertError);
}

TEST(KeywordListTest, MatchKeysAreUpperCasedUnlessTheEntryMatchesCase) {
  TKeywordList list;
  list.AddKeyword("movwf", 0, 0, 1, 0, kNoColor, kNoColor);
  list.AddKeyword("Exact", kMatchCase, 0, 1, 0, kNoColor, kNoColor);
  EXPECT_EQ(list.Items(0).MatchKey, "MOVWF");
  EXPECT_EQ(list.Items(1).MatchKey, "Exact");
  EXPECT_FALSE(list.AllMatchCase);
  EXPECT_EQ(list.MaxKeyLength, 5);
  list.Delete(0);
  EXPECT_TRUE(list.AllMatchCase);
}

TEST(KeywordListTest, RecomputationWaitsForTheEndOfAnUpdate) {
  TKeywordList list;
  list.BeginUpdate();
  list.Add("abcdef");
  EXPECT_EQ(list.MaxKeyLength, 0);
  EXPECT_TRUE(list.Updating);
  list.EndUpdate();
  EXPECT_EQ(list.MaxKeyLength, 6);
  EXPECT_EQ(list.Items(0).MatchKey, "ABCDEF");
}

TEST(KeywordListTest, TheAnsiRoutineFoldsAccentedLettersTheAsciiRoutineDoesNot) {
  TKeywordList list;
  list.AddKeyword("\xE9t\xE9", 0, 0, 1, 0, kNoColor, kNoColor);
  EXPECT_EQ(list.Items(0).MatchKey, "\xE9T\xE9");
  list.SetUpperCaseType(TzkUpperCase::zkuAnsi);
  EXPECT_EQ(list.Items(0).MatchKey, "\xC9T\xC9");
  list.SetUpperCaseType(TzkUpperCase::zkuUserDefined);
  EXPECT_EQ(list.Items(0).MatchKey, "\xE9T\xE9") << "ASCII while no routine is set";
  list.UserUpperCaseProc = [](char* t) {
    for (; *t; ++t) *t = '*';
  };
  list.SetUpperCaseType(TzkUpperCase::zkuAnsi);
  list.SetUpperCaseType(TzkUpperCase::zkuUserDefined);
  EXPECT_EQ(list.Items(0).MatchKey, "***");
}

TEST(KeywordListTest, AssignCopiesEntriesWholeOrTakesPlainStrings) {
  TKeywordList a, b;
  a.AddKeyword("X", 1, 2, 3, 4, 5, 6);
  a.SetData(0, 7, 8, 9);
  b.Assign(a);
  EXPECT_EQ(b.GetKeywordAttributes(0), a.GetKeywordAttributes(0));
  EXPECT_EQ(b.Items(0).Data3, 9);
  b.Assign(Lines{"p", "q"});
  ASSERT_EQ(b.Count(), 2);
  EXPECT_EQ(b.GetKeywordAttributes(1).Context, 0);
}

TEST(KeywordListTest, IndexErrorsAreListIndexErrors) {
  TKeywordList list;
  EXPECT_THROW(list.Strings(0), ERangeError);
  EXPECT_THROW(list.GetKeywordAttributes(-1), ERangeError);
  EXPECT_THROW(list.Delete(0), ERangeError);
}

TEST(KeywordListTest, TheStringsStreamKeepsTheDataValuesAndReadsTheOlderForm) {
  TKeywordList list;
  EXPECT_FALSE(list.StoreStrings());
  list.AddKeyword("K", kWholeWord, 1, 2, 3, -4, 5);
  list.SetData(0, 10, 20, 30);
  TStreamList stream;
  list.WriteStrings(stream);
  ASSERT_EQ(stream.size(), 1u);
  EXPECT_EQ(stream[0][1].Int, kWholeWord | 128) << "the marker of the newer form";
  TKeywordList back;
  back.ReadStrings(stream);
  EXPECT_EQ(back.GetKeywordAttributes(0), list.GetKeywordAttributes(0));
  EXPECT_EQ(back.Items(0).Data3, 30);

  // The older form: no marker, optionally two data values; a wide string key.
  TStreamList old = {{TStreamValue::WString(u"W"), TStreamValue::Integer(1),
                      TStreamValue::Integer(0), TStreamValue::Integer(1), TStreamValue::Integer(0),
                      TStreamValue::Integer(0), TStreamValue::Integer(0), TStreamValue::Integer(41),
                      TStreamValue::Integer(42)},
                     {TStreamValue::String("V"), TStreamValue::Integer(0), TStreamValue::Integer(0),
                      TStreamValue::Integer(1), TStreamValue::Integer(0), TStreamValue::Integer(0),
                      TStreamValue::Integer(0)}};
  back.ReadStrings(old);
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back.Strings(0), "W");
  EXPECT_EQ(back.Items(0).Data2, 42);
  EXPECT_EQ(back.Items(1).Data1, 0);
}

}  // namespace
}  // namespace scrivlet
