// The caret and the selection by offset, line, paragraph and column; FindText; the style
// toggles; scrolling the caret into view.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::FixedWidthMeasurer;
using testing::Load;

TEST(SelectionTest, CaretAndSelectionByOffset) {
  struct Row {
    const char* name;
    std::function<void(TScrivlet&)> act;
    int32_t caret, lower, upper, length;
  };
  const Row rows[] = {
      {"below 0 clamps", [](TScrivlet& s) { s.SetSelStart(-5); }, 0, 0, 0, 0},
      {"beyond the text clamps", [](TScrivlet& s) { s.SetSelStart(99); }, 6, 6, 6, 0},
      {"a negative length selects backward, the caret stays",
       [](TScrivlet& s) {
         s.SetSelStart(3);
         s.SetSelLength(-2);
       },
       3, 1, 3, -2},
      {"a length beyond the end is clamped",
       [](TScrivlet& s) {
         s.SetSelStart(3);
         s.SetSelLength(10);
       },
       3, 3, 6, 3},
      {"before the start too",
       [](TScrivlet& s) {
         s.SetSelStart(3);
         s.SetSelLength(-10);
       },
       3, 0, 3, -3},
      {"SelectAll: caret at the end, selection back to 0", [](TScrivlet& s) { s.SelectAll(); }, 6,
       0, 6, -6},
  };
  for (const Row& r : rows) {
    TScrivlet s;
    Load(s, "ab\ncd");  // a b CR LF c d: 6 characters
    r.act(s);
    EXPECT_EQ(s.GetSelStart(), r.caret) << r.name;
    EXPECT_EQ(s.SelLower(), r.lower) << r.name;
    EXPECT_EQ(s.SelUpper(), r.upper) << r.name;
    EXPECT_EQ(s.GetSelLength(), r.length) << r.name;
  }
}

TEST(SelectionTest, SelectedTextCarriesCrLfWhateverTheFileUsed) {
  TScrivlet s;
  Load(s, "ab\ncd");
  s.SetSelStart(1);
  s.SetSelLength(4);
  EXPECT_EQ(s.GetSelText(), "b\r\nc");
  s.ClearSelection();
  EXPECT_EQ(s.Text(), "ad");
}

TEST(SelectionTest, PendingSpacesBeyondALineEndGoInFrontOfTheNextText) {
  struct Row {
    uint32_t options;
    bool word_wrap;
    std::string text;
  };
  const Row rows[] = {
      {zkoKeepColumnPos | zkoPutExtraSpaces, false, "ab    x\r\nlonger"},
      {zkoKeepColumnPos, false, "abx\r\nlonger"},                     // kept, not inserted
      {zkoKeepColumnPos | zkoPutExtraSpaces, true, "abx\r\nlonger"},  // wrapped: no virtual column
      {zkoPutExtraSpaces, false, "abx\r\nlonger"},
  };
  for (const Row& r : rows) {
    TScrivlet s;
    s.SetOptions(r.options);
    s.SetWordWrap(r.word_wrap);
    Load(s, "ab\r\nlonger");
    s.SetSelCol(6);
    const bool virtual_column = (r.options & zkoKeepColumnPos) && !r.word_wrap;
    EXPECT_EQ(s.GetSelCol(), virtual_column ? 6 : 2);
    EXPECT_EQ(s.GetSelStart(), 2);
    s.SetSelText("x");
    EXPECT_EQ(s.Text(), r.text) << r.options << " wrap " << r.word_wrap;
  }
}

TEST(SelectionTest, DisplayLinesAndColumnsWithWordWrapOnAndOff) {
  FixedWidthMeasurer measurer;
  TScrivlet s;
  s.SetMeasurer(&measurer);
  s.SetUpdateMode(TzkUpdateMode::umOnNeed);
  s.SetBounds(8 + 70 + 8, 100);  // ten characters a line
  Load(s, "aaaa bbbb cccc\r\nx\r\nlast line");
  s.SetSelLine(1);
  EXPECT_EQ(s.GetSelStart(), 10) << "laid out on demand";
  EXPECT_EQ(s.GetSelLine(), 1);
  EXPECT_EQ(s.GetSelPar(), 0);
  s.SetSelCol(2);
  EXPECT_EQ(s.GetSelStart(), 12);
  s.SetSelCol(20);
  EXPECT_EQ(s.GetSelStart(), 14) << "clamped to the line end";
  s.SetSelLine(0);
  s.SetSelCol(20);
  EXPECT_EQ(s.GetSelStart(), 10) << "a wrapped line's end";
  EXPECT_EQ(s.GetSelLine(), 0) << "is a position of that line";
  EXPECT_EQ(s.GetSelCol(), 10);
  s.SetSelCol(2);
  EXPECT_EQ(s.GetSelStart(), 2);
  s.SetSelPar(9);
  EXPECT_EQ(s.GetSelStart(), 19) << "the last paragraph";
  EXPECT_EQ(s.GetSelLine(), 3);

  s.SetWordWrap(false);
  s.SetSelLine(1);
  EXPECT_EQ(s.GetSelStart(), 16) << "without wrap a line is a paragraph";
  EXPECT_EQ(s.GetSelLine(), 1);
}

TEST(SelectionTest, FindTextSelectsTheHitWithASignedLength) {
  struct Row {
    const char* name;
    int32_t caret;
    std::string key;
    bool forward, from_boundary, whole_word, match_case;
    bool found;
    int32_t caret_after, length_after;
  };
  // "one two one\r\nTwo twofold one": offsets one 0, two 4, one 8, Two 13, twofold 17, one 25.
  const Row rows[] = {
      {"forward from the caret: caret at the hit end", 0, "two", true, false, false, false, true, 7,
       -3},
      {"forward behind the caret", 5, "two", true, false, false, false, true, 16, -3},
      {"match case skips Two", 5, "two", true, false, false, true, true, 20, -3},
      {"whole word skips twofold", 14, "two", true, false, true, false, false, 14, 0},
      {"whole word finds a word between separators", 0, "one", true, false, true, false, true, 3,
       -3},
      {"backward: caret at the hit start", 12, "one", false, false, false, false, true, 8, 3},
      {"backward from the boundary: the last one", 0, "one", false, true, false, false, true, 25,
       3},
      {"forward from the boundary", 20, "one", true, true, false, false, true, 3, -3},
      {"backward, in an earlier paragraph", 17, "one", false, false, false, false, true, 8, 3},
      {"a miss leaves the selection", 3, "three", true, false, false, false, false, 3, 0},
  };
  for (const Row& r : rows) {
    TScrivlet s;
    Load(s, "one two one\r\nTwo twofold one");
    s.SetSelStart(r.caret);
    EXPECT_EQ(s.FindText(r.key, r.forward, r.from_boundary, r.whole_word, r.match_case), r.found)
        << r.name;
    EXPECT_EQ(s.GetSelStart(), r.caret_after) << r.name;
    EXPECT_EQ(s.GetSelLength(), r.length_after) << r.name;
  }
}

TEST(SelectionTest, StyleTogglesWrapTheSelectionAndUndoRestoresTheText) {
  struct Row {
    const char* name;
    bool static_format;
    int32_t caret, length;
    std::function<void(TScrivlet&)> toggle;
    std::string text;
    int32_t caret_after, length_after;
  };
  const Row rows[] = {
      {"without StaticFormat nothing happens", false, 1, 0, [](TScrivlet& s) { s.ToggleBold(); },
       "abcd", 1, 0},
      {"bold on an empty selection: the caret between the codes", true, 1, 0,
       [](TScrivlet& s) { s.ToggleBold(); },
       "a\x02\x02"
       "bcd",
       2, 0},
      {"italic around a forward selection", true, 1, 2, [](TScrivlet& s) { s.ToggleItalic(); },
       "a\x01"
       "bc\x01"
       "d",
       1, 4},
      {"underline around a backward selection", true, 3, -2,
       [](TScrivlet& s) { s.ToggleUnderline(); },
       "a\x15"
       "bc\x15"
       "d",
       5, -4},
      {"highlight", true, 0, 1, [](TScrivlet& s) { s.ToggleHighlight(); },
       "\x03"
       "a\x03"
       "bcd",
       0, 3},
      {"alternate font", true, 0, 1, [](TScrivlet& s) { s.ToggleAltFont(); },
       "\x04"
       "a\x04"
       "bcd",
       0, 3},
  };
  for (const Row& r : rows) {
    TScrivlet s;
    s.SetStaticFormat(r.static_format);
    Load(s, "abcd");
    s.SetSelStart(r.caret);
    s.SetSelLength(r.length);
    r.toggle(s);
    EXPECT_EQ(s.Text(), r.text) << r.name;
    EXPECT_EQ(s.GetSelStart(), r.caret_after) << r.name;
    EXPECT_EQ(s.GetSelLength(), r.length_after) << r.name;
    if (r.static_format) {
      s.Undo();
      EXPECT_EQ(s.Text(), "abcd") << r.name;
    }
    s.SelfTest();
  }
}

TEST(SelectionTest, CaretUpdatesTellOfMovesAndOfStyleChangesOnce) {
  TScrivlet s;
  s.SetStaticFormat(true);
  Load(s,
       "ab\x02"
       "cd\x02"
       "ef");
  std::vector<int> codes;
  int moves = 0, styles = 0;
  s.ChangeListeners.push_back([&](TScrivlet&, int code) { codes.push_back(code); });
  s.OnSelMove = [&](TScrivlet&) { ++moves; };
  s.OnStyleChange = [&](TScrivlet&) { ++styles; };
  s.SetSelStart(1);
  s.SetSelStart(1);
  EXPECT_EQ(moves, 1) << "the same place again is no move";
  EXPECT_EQ(styles, 0);
  s.SetSelStart(4);  // behind the bold code
  EXPECT_EQ(moves, 2);
  EXPECT_EQ(styles, 1);
  EXPECT_EQ(codes, (std::vector<int>{kCaretMoved, kCaretMoved, kStyleAtCaret}));
}

// Scrolling: a manual ticker runs the animation steps, the clock moves 10 ms per reading.
class StepClock : public TTickClock {
 public:
  int64_t now = 0;
  int64_t Milliseconds() override { return now += 10; }
};
class Ticker : public TSliceScheduler {
 public:
  std::function<void()> pending;
  void RequestSlice(std::function<void()> f) override { pending = std::move(f); }
  void Cancel() override { pending = nullptr; }
};

TEST(ScrollInViewTest, TheCaretIsBroughtIntoViewInStepsOfFiveCharacters) {
  FixedWidthMeasurer measurer;
  TScrivlet s;
  s.ScrollTime = 0;
  s.SetWordWrap(false);
  testing::LayOutAtOnce(s, measurer, 100, 60);  // five lines of 12 pixels
  s.CreateHandle();
  std::string text(60, 'x');
  for (int i = 0; i < 20; ++i) text += "\r\nline";
  Load(s, text);
  s.SetSelStart(20);  // x = 8 + 140 = 148: beyond 100
  s.ScrollInView();
  EXPECT_EQ(s.HorzScroll(), 70) << "((148 - 100) div 35 + 1) x 35";
  s.SetSelStart(0);
  s.ScrollInView();
  EXPECT_EQ(s.HorzScroll(), 0) << "back in whole steps, never below 0";

  s.SetSelStart(s.Table.Items(10).StartOffset);
  s.ScrollInView();
  EXPECT_EQ(s.VertScroll(), 12 * 11 - 60 + 1) << "the caret line just above the bottom";
  s.SetSelStart(s.Table.Items(2).StartOffset);
  s.ScrollInView();
  EXPECT_EQ(s.VertScroll(), 24) << "a line above goes to the top";
  s.SetOptions(s.GetOptions() | zkoNoFineScroll);
  s.SetSelStart(s.Table.Items(10).StartOffset);
  s.ScrollInView();
  EXPECT_EQ(s.VertScroll(), (10 - 6 + 2) * 12) << "whole lines";
}

TEST(ScrollInViewTest, AnAnimatedScrollStepsTowardsTheTargetWithoutPassingIt) {
  FixedWidthMeasurer measurer;
  StepClock clock;
  Ticker ticker;
  TScrivletServices services;
  services.Clock = &clock;
  services.ScrollTicker = &ticker;
  TScrivlet s(services);
  testing::LayOutAtOnce(s, measurer, 100, 60);
  s.CreateHandle();
  std::string text = "top";
  for (int i = 0; i < 100; ++i) text += "\r\nline";
  Load(s, text);
  std::vector<int32_t> offsets;
  s.OnVScroll = [&](TScrivlet& c) { offsets.push_back(c.VertScroll()); };
  s.SetTopLine(50);
  ASSERT_TRUE(ticker.pending) << "the scroll runs on the ticker";
  for (int k = 0; k < 1000 && ticker.pending; ++k) {
    auto step = std::move(ticker.pending);
    ticker.pending = nullptr;
    step();
  }
  ASSERT_GE(offsets.size(), 2u);
  EXPECT_EQ(offsets.back(), 600);
  for (size_t k = 1; k < offsets.size(); ++k) {
    EXPECT_GT(offsets[k], offsets[k - 1]);
    EXPECT_LE(offsets[k], 600);
  }
  EXPECT_GE(offsets[1] - offsets[0], 1) << "steps grow as the scroll goes on";
  EXPECT_EQ(s.GetTopLine(), 50);
  s.SetTopLine(0);
  EXPECT_FALSE(ticker.pending) << "a scroll right after another one moves at once";
  EXPECT_EQ(s.VertScroll(), 0);
}

}  // namespace
}  // namespace scrivlet
