// TScrivlet's own operations: selection, text ranges, loading and saving through the control.

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <string>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::Load;

TEST(ScrivletTest, StartsWithOneEmptyParagraphAndNineNavigators) {
  TScrivlet s;
  EXPECT_EQ(s.Table.Count(), 1);
  EXPECT_EQ(s.Table.LineCount(), 1);
  EXPECT_EQ(s.CharCount(), 0);
  EXPECT_EQ(s.Navigators().size(), 9u);
  EXPECT_TRUE(s.CaretAtSelStart());
  EXPECT_EQ(s.GetUndoMaxLevel(), 65536);
  EXPECT_EQ(s.GetUndoMaxSpace(), 4194304);
  for (unsigned char c : std::string("\t\n\r $%&,./:;<=>"))
    EXPECT_TRUE(s.SeparatorSet().test(c)) << int(c);
  EXPECT_FALSE(s.SeparatorSet().test('a'));
  s.SelfTest();
}

TEST(ScrivletTest, SelLengthIsSignedFromTheCaret) {
  TScrivlet s;
  Load(s, "0123456789");
  s.SetSelStart(3);
  s.SetSelLength(4);
  EXPECT_EQ(s.SelLower(), 3);
  EXPECT_EQ(s.SelUpper(), 7);
  EXPECT_EQ(s.SelText(), "3456");
  s.SetSelStart(7);
  s.SetSelLength(-4);
  EXPECT_EQ(s.SelLower(), 3);
  EXPECT_EQ(s.CaretNav().Offset(), 7);
  EXPECT_EQ(s.GetSelLength(), -4);
  s.SetSelLength(100);
  EXPECT_EQ(s.SelUpper(), 10) << "clamped to the text";
  EXPECT_TRUE(s.UndoBreak);
}

TEST(ScrivletTest, GetTextRangeClampsAndIsEmptyForAnEmptyRange) {
  TScrivlet s;
  Load(s, "ab\ncd");
  EXPECT_EQ(s.GetTextRange(-5, 100), "ab\r\ncd");
  EXPECT_EQ(s.GetTextRange(3, 3), "");
  EXPECT_EQ(s.GetTextRange(4, 2), "");
  EXPECT_EQ(s.GetTextRange(1, 4), "b\r\n");
}

TEST(ScrivletTest, LoadingWithAutoLineBreakTakesTheStyleFoundAndSavingUsesIt) {
  TScrivlet s;
  s.SetOptions(s.GetOptions() | zkoAutoLineBreak);
  Load(s, "a\nb\nc");
  EXPECT_EQ(s.LineBreak, TScrivLineBreak::pbLF);
  std::ostringstream out;
  s.SaveToStream(out);
  EXPECT_EQ(out.str(), "a\nb\nc");
  s.SetOptions(0);
  Load(s, "x\r\ny");
  EXPECT_EQ(s.LineBreak, TScrivLineBreak::pbLF) << "kept without the option";
}

TEST(ScrivletTest, TheNullReplacementAppliesToTheControlsLoad) {
  TScrivlet s;
  s.NullReplacement = '.';
  Load(s, std::string("a\0b", 3));
  EXPECT_EQ(s.Text(), "a.b");
}

TEST(ScrivletTest, ALoadPutsEveryNavigatorAtTheStartAndEmptiesTheSelection) {
  TScrivlet s;
  Load(s, "abcdef");
  TScrivNavigator mark(s);
  mark.SetOffset(5);
  s.Select(2, 4);
  Load(s, "xy");
  EXPECT_EQ(mark.Offset(), 0);
  EXPECT_EQ(s.SelLower(), 0);
  EXPECT_EQ(s.SelUpper(), 0);
  EXPECT_EQ(s.GetSelLength(), 0);
  EXPECT_EQ(s.Table.LastChanged, -1) << "no changed range is left";
  s.SelfTest();
}

TEST(ScrivletTest, SwitchingStaticFormatReadsTheStyleCharactersAgain) {
  TScrivlet s;
  Load(s,
       "a\x02"
       "b\r\nc");
  s.SetModified(true);
  EXPECT_EQ(para::InlineStartStyle(s.Table.Items(1)), 0);
  s.SetStaticFormat(true);
  EXPECT_EQ(para::InlineStartStyle(s.Table.Items(1)), kStyleBold);
  EXPECT_EQ(s.Text(),
            "a\x02"
            "b\r\nc");
  EXPECT_TRUE(s.Modified());
  s.SetStaticFormat(false);
  EXPECT_EQ(para::InlineStartStyle(s.Table.Items(1)), 0);
}

// An engine whose refresh fails: EndUpdate throws when the outermost update closes.
struct TFailingRefresh : TScrivletEngine {
  void RefreshChanged() override { throw std::runtime_error("refresh failed"); }
};

TEST(UpdateGuardDeathTest, AFailingEndDuringUnwindingLetsTheFirstExceptionThrough) {
  // Run in a child: before the mend the second exception ended the program.
  EXPECT_EXIT(
      {
        TScrivlet s;
        TFailingRefresh engine;
        s.Engine = &engine;
        int code = 1;
        try {
          TUpdateGuard update(s);
          throw std::logic_error("first");
        } catch (const std::logic_error& e) {
          if (std::string(e.what()) == "first" && s.UpdateDepth() == 0) code = 0;
        }
        std::exit(code);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(UpdateGuardTest, AFailingEndOnTheNormalPathReachesTheCaller) {
  TScrivlet s;
  TFailingRefresh engine;
  s.Engine = &engine;
  EXPECT_THROW({ TUpdateGuard update(s); }, std::runtime_error);
  EXPECT_EQ(s.UpdateDepth(), 0);
}

}  // namespace
}  // namespace scrivlet
