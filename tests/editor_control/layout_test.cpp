// Paragraph layout with the fixed-width measurer: every character 7 pixels, a line 12.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::FixedWidthMeasurer;
using testing::Load;

struct Span {
  int32_t start, end;
  bool operator==(const Span&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Span& s) {
  return o << "[" << s.start << "," << s.end << ")";
}

class LayoutTest : public ::testing::Test {
 protected:
  FixedWidthMeasurer measurer{7, 12};
  TScrivlet s;
  void SetUp() override {
    testing::LayOutAtOnce(s, measurer, 8 + 70 + 8, 200);  // wrap width 70 pixels: ten characters
  }
  std::vector<Span> Lines(int32_t para = 0) {
    std::vector<Span> out;
    const TParagraph& p = s.Table.Items(para);
    for (int32_t k = 0; k < para::LineCount(p); ++k) {
      const TLineRecord r = para::LineRecord(p, k);
      out.push_back({r.Start, r.End});
    }
    return out;
  }
  int32_t XOf(int32_t offset) {
    TScrivNavigator nav(s);
    nav.SetOffset(offset);
    return nav.GetX();
  }
};

TEST_F(LayoutTest, WrapsByPixelsByColumnsAndBreaksWordsThatDoNotFit) {
  struct Row {
    const char* name;
    int32_t column_wrap;
    std::string wrap_chars;
    std::string text;
    std::vector<Span> lines;
  };
  const Row rows[] = {
      {"blanks stay at the end of the line before", 0, "", "aaaa bbbb cccc", {{0, 10}, {10, 14}}},
      {"a word that fits exactly", 0, "", "aaaaaaaaaa b", {{0, 11}, {11, 12}}},
      {"a word wider than the line breaks where it stops fitting",
       0,
       "",
       "abcdefghijklmnopqrstuvwxy",
       {{0, 10}, {10, 20}, {20, 25}}},
      {"positive ColumnWrap counts characters", 5, "", "abc de fgh", {{0, 4}, {4, 7}, {7, 10}}},
      {"negative ColumnWrap is pixels", -21, "", "ab cd", {{0, 3}, {3, 5}}},
      {"a one-pixel width still puts one character on a line",
       -1,
       "",
       "abc",
       {{0, 1}, {1, 2}, {2, 3}}},
      {"a line may break behind a word-wrap character", 0, "-", "aaaa-bbbbbbb", {{0, 5}, {5, 12}}},
      {"an empty paragraph has one empty line", 0, "", "", {{0, 0}}},
  };
  for (const Row& r : rows) {
    s.SetColumnWrap(r.column_wrap);
    s.SetWordWrapChars(r.wrap_chars);
    Load(s, r.text);
    EXPECT_EQ(Lines(), r.lines) << r.name;
    EXPECT_EQ(s.LineCount(), static_cast<int32_t>(r.lines.size())) << r.name;
    s.SelfTest();
  }
}

TEST_F(LayoutTest, ALineRecordsItsWidthsBlanksAndStretchPoints) {
  Load(s, "aaaa bbbb cccc");
  const TLineRecord r = para::LineRecord(s.Table.Items(0), 0);
  EXPECT_EQ(r.WordWidth, 63) << "up to the end of bbbb";
  EXPECT_EQ(r.FullWidth, 70) << "with the blank behind it";
  EXPECT_EQ(r.TrailingStart, 9);
  EXPECT_EQ(r.Spaces, 1);
}

TEST_F(LayoutTest, WithoutWordWrapALeftAlignedParagraphIsOneLine) {
  s.SetWordWrap(false);
  Load(s, std::string(200, 'x') + " " + std::string(200, 'y'));
  EXPECT_EQ(Lines(), (std::vector<Span>{{0, 401}}));
  EXPECT_EQ(s.Layout().LongestLineWidth, 401 * 7);
  EXPECT_EQ(s.Layout().LongestLinePara, 0);
}

TEST_F(LayoutTest, TabsStepFromTheLeftMarginToTheNextStop) {
  struct Row {
    int32_t tab_stops;
    std::string text;
    int32_t offset;  // of the character behind the tab
    int32_t x;       // from the left margin
  };
  const Row rows[] = {
      {8, "\tb", 1, 56},                                 // at x 0 to 8 space widths
      {8, "aaaaaaaa\tb", 9, 112},                        // at exactly 8 widths on to 16
      {8, "ab\tc", 3, 56},        {-20, "a\tb", 2, 20},  // negative: pixels
      {0, "a\tb", 2, 7},                                 // 0: the tab takes no room
  };
  s.SetWordWrap(false);
  for (const Row& r : rows) {
    s.SetTabStops(r.tab_stops);
    Load(s, r.text);
    EXPECT_EQ(XOf(r.offset), 8 + r.x) << r.text << " with " << r.tab_stops;
  }
}

TEST_F(LayoutTest, AlignmentPlacesTheLineAndJustificationFillsIt) {
  s.SetBounds(100, 200);  // 84 pixels between the margins
  Load(s, "ab");
  s.SetAlignment(TAlignment::taRightJustify);
  EXPECT_EQ(XOf(0), 8 + 70);
  s.SetAlignment(TAlignment::taCenter);
  EXPECT_EQ(XOf(0), 8 + 35);

  s.SetAlignment(TAlignment::taLeftJustify);
  s.SetBounds(86, 200);
  s.SetJustified(true);
  Load(s, "aa bb cc dd");  // first line "aa bb cc ": 56 wide, 14 free over 2 spaces
  EXPECT_EQ(Lines(), (std::vector<Span>{{0, 9}, {9, 11}}));
  EXPECT_EQ(XOf(3), 8 + 21 + 7);
  EXPECT_EQ(XOf(6), 8 + 42 + 14);
  EXPECT_EQ(XOf(10), 8 + 7) << "the last line is not stretched";
}

// Hit-testing and positioning measure the same way: the point of every character start
// leads back to that character, in every alignment, with tabs and a wrapped paragraph.
TEST_F(LayoutTest, HitTestingAndPositionsAgreeForEveryCharacter) {
  const TAlignment alignments[] = {TAlignment::taLeftJustify, TAlignment::taRightJustify,
                                   TAlignment::taCenter};
  Load(s, "one\ttwo three four\r\nfive  six seven eight nine ten");
  for (TAlignment a : alignments) {
    for (bool justified : {false, true}) {
      s.SetAlignment(a);
      s.SetJustified(justified);
      TScrivNavigator nav(s), hit(s);
      for (int32_t o = 0; o < s.CharCount(); ++o) {
        nav.SetOffset(o);
        const uint8_t c = nav.CharAt();
        if (c == 13 || c == 10) continue;
        // A position at a wrap point belongs to the line below; its x is that line's start.
        hit.SetFromPoint(nav.GetX(), nav.GetY());
        EXPECT_EQ(hit.Offset(), o)
            << "alignment " << static_cast<int>(a) << " justified " << justified;
      }
    }
  }
  s.SelfTest();
}

TEST_F(LayoutTest, ParagraphsOfSixtyFourKCharactersAndMoreLayOutAndEdit) {
  s.SetWordWrap(false);
  Load(s, std::string(70000, 'q') + "\r\nend");
  EXPECT_EQ(Lines(0), (std::vector<Span>{{0, 70000}}));
  s.SetWordWrap(true);
  EXPECT_EQ(Lines(0).size(), 7000u);
  s.SetSelStart(35005);  // "q" x 35005, then a word that starts a line of its own
  s.InsertTextBuf(" ");
  s.SelfTest();
  EXPECT_EQ(s.LineCount(), 7001 + 1);
}

TEST_F(LayoutTest, UpdateModesDecideWhenTheTextIsLaidOut) {
  s.SetUpdateMode(TzkUpdateMode::umOnNeed);
  Load(s, "aaaa bbbb cccc\r\nx");
  EXPECT_EQ(s.LineCount(), 2) << "nothing laid out yet";
  EXPECT_EQ(s.GetLineText(1), "cccc") << "laid out on need";
  EXPECT_EQ(s.LineCount(), 3);
  s.SetUpdateMode(TzkUpdateMode::umImmediate);
  Load(s, "aaaa bbbb cccc\r\nx");
  EXPECT_EQ(s.LineCount(), 3) << "final right after loading";
}

}  // namespace
}  // namespace scrivlet
