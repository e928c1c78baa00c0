// The consistency self-test finds each kind of damage it names.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "test_support.h"

namespace scrivlet {
namespace {

struct Damage {
  const char* name;
  std::function<void(TScrivlet&)> apply;
  const char* message;
};

class SelfTestTest : public ::testing::TestWithParam<Damage> {};

TEST_P(SelfTestTest, RaisesTheMessageOfTheFirstMismatch) {
  TScrivlet s;
  testing::Load(s, "abc\r\ndef\r\nghi");
  ASSERT_NO_THROW(s.SelfTest());
  GetParam().apply(s);
  try {
    s.SelfTest();
    FAIL() << "no mismatch found";
  } catch (const EScrivletError& e) {
    EXPECT_EQ(std::string(e.what()), std::string(GetParam().message) + TScrivlet::kVersion);
  }
}

TLineRecord Line(int32_t start, int32_t end) {
  TLineRecord r;
  r.Start = start;
  r.End = r.TrailingStart = end;
  return r;
}

INSTANTIATE_TEST_SUITE_P(
    Checks, SelfTestTest,
    ::testing::Values(
        Damage{"FirstLine", [](TScrivlet& s) { s.Table.Items(1).FirstLine = 5; }, "Error 1"},
        Damage{"StartOffset", [](TScrivlet& s) { s.Table.Items(2).StartOffset += 1; },
               "Error 2 in "},
        Damage{"Level", [](TScrivlet& s) { s.Table.Items(1).LevelFlags = 3; }, "Error 7 in "},
        Damage{"LineGap",
               [](TScrivlet& s) {
                 para::SetLineCount(s.Table.Items(0), 2);
                 para::SetLineRecord(s.Table.Items(0), 0, Line(0, 1));
                 para::SetLineRecord(s.Table.Items(0), 1, Line(2, 3));
                 s.Table.LinesChanged(0, 1, 1);
               },
               "Error 3 in "},
        Damage{"LastLineEnd",
               [](TScrivlet& s) { para::SetFirstLineRecord(s.Table.Items(0), Line(0, 2)); },
               "Error 4 in "},
        Damage{"CharCount",
               [](TScrivlet& s) { TParagraphsListTestAccess::SetCharCount(s.Table, 99); },
               "Error 5 in "},
        Damage{"Visible",
               [](TScrivlet& s) { TParagraphsListTestAccess::SetVisibleLineCount(s.Table, 1); },
               "Error 6 in "},
        Damage{"Lines", [](TScrivlet& s) { TParagraphsListTestAccess::SetLineCount(s.Table, 7); },
               "Error 6.01 in "},
        Damage{"Length",
               [](TScrivlet& s) {
                 para::SetLength(s.Table.Items(2), 2);
                 TParagraphsListTestAccess::SetCharCount(s.Table, s.Table.CharCount() - 1);
               },
               "Error 8 in "},
        Damage{"Navigator", [](TScrivlet& s) { s.WorkNav().SetOffset(200); }, "Error 9 in "},
        Damage{"Backlog", [](TScrivlet& s) { s.Table.LastToFormat = 3; }, "Error 11 in "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SelfTest, HoldsAfterLoadsEditsAndCollapses) {
  TScrivlet s;
  s.SelfTest();
  testing::Load(s, "a\r\nb\r\nc\r\nd");
  s.SelfTest();
  for (int32_t i = 1; i < 4; ++i) s.Table.Items(i).LevelFlags = 2;
  s.Table.Items(1).LevelFlags = 2;
  s.Table.Items(0).LevelFlags = 2;
  EXPECT_TRUE(s.Table.Collapse(0, 2, true));
  EXPECT_EQ(s.Table.VisibleLineCount(), 1);
  EXPECT_EQ(s.Table.LineCount(), 4);
  s.SelfTest();
  TScrivNavigator nav(s);
  nav.SetOffset(6);
  EXPECT_FALSE(nav.IsVisible());
  EXPECT_EQ(nav.GetVisibleLine(), 1);
  EXPECT_TRUE(s.Table.Collapse(0, 2, false));
  EXPECT_FALSE(s.Table.Collapse(0, 2, false)) << "nothing left to change";
  EXPECT_EQ(s.Table.VisibleLineCount(), 4);
  s.SelfTest();
}

}  // namespace
}  // namespace scrivlet
