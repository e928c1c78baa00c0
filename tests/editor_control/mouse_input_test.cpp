// The mouse through the core's input handling, without a display: caret and selection by
// pointer, line selection, column blocks with Alt, dragging text, auto-scroll, the wheel,
// double clicks, the popup menu and run contexts; and a long random session that leaves
// the text consistent.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor_control/input.h"
#include "input_test_support.h"

namespace scrivlet {
namespace {

using testing::FixedWidthMeasurer;
using testing::kThreeLines;
using testing::LayOutAtOnce;
using testing::Load;
using testing::RecordingHost;

// Characters 7 wide, lines 12 high, left margin 8: the point of (column c, line l) is
// (8 + 7c + 1, 12l + 6).
int32_t X(int32_t col) { return 8 + 7 * col + 1; }
int32_t Y(int32_t line) { return 12 * line + 6; }

class MouseInputTest : public testing::InputFixture {
 protected:
  void SetUp() override {
    InputFixture::SetUp();
    Load(s, kThreeLines);
  }
  void Click(int32_t x, int32_t y, uint8_t shift = 0) {
    in.MouseDown(TMouseButton::mbLeft, shift | ssLeft, x, y);
    in.MouseUp(TMouseButton::mbLeft, shift, x, y);
  }
};

TEST_F(MouseInputTest, APressPlacesTheCaretAndShiftExtendsTheSelection) {
  struct Case {
    int32_t x, y;
    uint8_t shift;
    int32_t caret, anchor;
  };
  const Case cases[] = {
      {X(2), Y(1), 0, 11, 11},       {X(0) - 1, Y(0), 0, 0, 0},
      {X(40), Y(0), 0, 7, 7},         // behind the line's end: at its end
      {X(1), Y(9), 0, 21, 21},        // below the last line: at the text's end
      {X(1), Y(2), ssShift, 19, 21},  // from the previous caret
  };
  for (const Case& c : cases) {
    Click(c.x, c.y, c.shift);
    EXPECT_EQ(s.GetSelStart(), c.caret) << c.x << "," << c.y;
    const int32_t anchor = s.SelAnchor();
    EXPECT_EQ(anchor, c.anchor);
  }
}

TEST_F(MouseInputTest, WithWordWrapAPressBehindAWrappedLinesEndStaysOnThatLine) {
  s.SetBounds(8 + 70 + 8, 120);  // ten characters a line
  s.SetWordWrap(true);
  Load(s, "aaaa bbbb cccc\r\nx");  // lines "aaaa bbbb " and "cccc" in the first paragraph
  Click(X(10) + 2, Y(0));
  EXPECT_EQ(s.GetSelStart(), 10);
  EXPECT_EQ(s.GetSelLine(), 0);
  EXPECT_EQ(CaretRect(s).Top, 0);
  in.KeyDown(vk::kHome, 0);
  EXPECT_EQ(s.GetSelStart(), 0);
  // Pressed and dragged to behind the end, the selection ends there on that line.
  in.MouseDown(TMouseButton::mbLeft, ssLeft, X(1), Y(0));
  in.MouseMove(ssLeft, X(10) + 2, Y(0));
  in.MouseUp(TMouseButton::mbLeft, 0, X(10) + 2, Y(0));
  EXPECT_EQ(s.SelLower(), 1);
  EXPECT_EQ(s.SelUpper(), 10);
  EXPECT_EQ(s.GetSelLine(), 0);
}

TEST_F(MouseInputTest, MovingWithTheButtonHeldSelectsAndADoubleClickSelectsAWord) {
  in.MouseDown(TMouseButton::mbLeft, ssLeft, X(1), Y(0));
  in.MouseMove(ssLeft, X(2), Y(1));
  in.MouseUp(TMouseButton::mbLeft, 0, X(2), Y(1));
  EXPECT_EQ(s.SelLower(), 1);
  EXPECT_EQ(s.SelUpper(), 11);
  EXPECT_EQ(s.GetSelStart(), 11);
  Click(X(5), Y(0));
  in.DblClick();
  EXPECT_EQ(s.SelText(), "def");
  s.SetSeparators(" ");
  s.SetOptions(s.GetOptions() | zkoLargeWordSelect);
  Load(s, "x MOVWF,PORTB y");
  Click(X(4), Y(0));
  in.DblClick();
  EXPECT_EQ(s.SelText(), "MOVWF,PORTB");
  s.SetDisplayOnly(true);
  Click(X(0), Y(0));
  in.DblClick();
  EXPECT_EQ(s.SelText(), "MOVWF,PORTB") << "a display-only control selects nothing";
}

TEST_F(MouseInputTest, TheLeftMarginSelectsWholeLinesWithTheirBreak) {
  in.MouseMove(0, 2, Y(1));
  EXPECT_TRUE(in.LineSelectMode);
  ASSERT_FALSE(host.Cursors.empty());
  EXPECT_EQ(host.Cursors.back(), TScrivCursor::crRightArrow);
  Click(2, Y(1));
  EXPECT_EQ(s.SelText(), "ghi jkl\r\n");
  Click(2, Y(2));
  EXPECT_EQ(s.SelText(), "mno") << "the last paragraph has no break";
  in.MouseMove(0, X(3), Y(1));
  EXPECT_FALSE(in.LineSelectMode);
  EXPECT_EQ(host.Cursors.back(), TScrivCursor::crIBeam);
  s.SetOptions(s.GetOptions() | zkoNoLineSelection);
  in.MouseMove(0, 2, Y(1));
  EXPECT_FALSE(in.LineSelectMode);
}

TEST_F(MouseInputTest, AltWithTheButtonMakesAColumnBlockThatFollowsTheMouse) {
  s.SetOptions(s.GetOptions() | zkoBlockSelection);
  in.MouseDown(TMouseButton::mbLeft, ssLeft | ssAlt, X(1), Y(0));
  EXPECT_TRUE(s.BlockMode());
  in.MouseMove(ssLeft | ssAlt, X(3), Y(2));
  in.MouseUp(TMouseButton::mbLeft, ssAlt, X(3), Y(2));
  EXPECT_TRUE(s.BlockMode());
  EXPECT_EQ(s.GetColumnText(), "bc\r\nhi\r\nno\r\n");
}

TEST_F(MouseInputTest, DraggingTheSelectionMovesItAsOneUndoStepAndCtrlCopies) {
  struct Case {
    const char* name;
    int32_t drop_col, drop_line;
    uint8_t shift;
    const char* text;
    const char* selected;
  };
  const Case cases[] = {
      {"forward", 3, 2, 0, "c def\r\nghi jkl\r\nmnoab", "ab"},
      {"backward", 0, 0, 0, "ghiabc def\r\n jkl\r\nmno", "ghi"},
      {"copy", 3, 2, ssCtrl, "abc def\r\nghi jkl\r\nmnoab", "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(s, kThreeLines);
    s.ClearUndo();
    if (c.drop_line == 0)
      s.Select(9, 12);
    else
      s.Select(0, 2);
    const int32_t inside = c.drop_line == 0 ? X(1) : X(0);
    in.MouseDown(TMouseButton::mbLeft, ssLeft, inside, Y(c.drop_line == 0 ? 1 : 0));
    EXPECT_TRUE(in.Dragging);
    in.MouseMove(ssLeft | c.shift, X(c.drop_col), Y(c.drop_line));
    in.MouseUp(TMouseButton::mbLeft, c.shift, X(c.drop_col), Y(c.drop_line));
    EXPECT_FALSE(in.Dragging);
    EXPECT_EQ(s.Text(), c.text);
    EXPECT_EQ(s.SelText(), c.selected);
    s.Undo();
    EXPECT_EQ(s.Text(), kThreeLines) << "one undo step";
    EXPECT_FALSE(s.CanUndo());
  }
}

TEST_F(MouseInputTest, TwoDragMovesAreTwoUndoSteps) {
  s.ClearUndo();
  auto drag = [&](int32_t anchor, int32_t caret, int32_t press_col, int32_t col, int32_t line) {
    s.Select(anchor, caret);
    in.MouseDown(TMouseButton::mbLeft, ssLeft, X(press_col), Y(0));
    in.MouseMove(ssLeft, X(col), Y(line));
    in.MouseUp(TMouseButton::mbLeft, 0, X(col), Y(line));
  };
  drag(0, 2, 0, 3, 2);
  const std::string after_first = s.Text();
  ASSERT_EQ(after_first, "c def\r\nghi jkl\r\nmnoab");
  drag(0, 1, 0, 2, 1);
  ASSERT_EQ(s.Text(), " def\r\nghci jkl\r\nmnoab");
  s.Undo();
  EXPECT_EQ(s.Text(), after_first) << "the second move alone";
  s.Undo();
  EXPECT_EQ(s.Text(), kThreeLines);
  EXPECT_FALSE(s.CanUndo());
}

TEST_F(MouseInputTest, ADropInsideTheSelectionOrEscapeMovesNothing) {
  s.Select(0, 5);
  in.MouseDown(TMouseButton::mbLeft, ssLeft, X(1), Y(0));
  in.MouseUp(TMouseButton::mbLeft, 0, X(3), Y(0));
  EXPECT_EQ(s.Text(), kThreeLines);
  EXPECT_EQ(s.GetSelStart(), 3);
  s.Select(0, 5);
  in.MouseDown(TMouseButton::mbLeft, ssLeft, X(1), Y(0));
  EXPECT_TRUE(in.KeyDown(vk::kEscape, 0));
  EXPECT_FALSE(in.Dragging);
  EXPECT_EQ(s.GetSelStart(), 1) << "the caret goes back to the press";
  s.SetOptions(s.GetOptions() | zkoNoDragnDrop);
  s.Select(0, 5);
  in.MouseDown(TMouseButton::mbLeft, ssLeft, X(1), Y(0));
  EXPECT_FALSE(in.Dragging);
}

TEST_F(MouseInputTest, BeyondTheEdgeTheViewScrollsFasterTheFurtherTheMouseIs) {
  std::string text;
  for (int i = 0; i < 50; ++i) text += "line\r\n";
  Load(s, text);
  in.MouseDown(TMouseButton::mbLeft, ssLeft, X(1), Y(1));
  struct Case {
    int32_t y;
    int32_t wait;
  };
  // Levels: distance div 3; 1 waits 400 ms, 3 waits 200, 7 waits 30, 9 does not wait.
  for (const Case& c :
       {Case{120 + 3, 400}, Case{120 + 9, 200}, Case{120 + 21, 30}, Case{120 + 27, 0}}) {
    in.MouseMove(ssLeft, X(1), Y(0));
    host.Scheduled.clear();
    in.MouseMove(ssLeft, X(1), c.y);
    ASSERT_EQ(host.Scheduled.size(), 1u) << c.y;
    EXPECT_EQ(host.Scheduled[0], c.wait) << c.y;
  }
  const int32_t before = s.VertScroll();
  in.AutoScrollStep();
  EXPECT_EQ(s.VertScroll(), before + 12);
  EXPECT_GT(s.GetSelStart(), 12) << "the selection follows";
  in.MouseUp(TMouseButton::mbLeft, 0, X(1), 150);
  EXPECT_EQ(host.Scheduled.back(), -1);
}

TEST_F(MouseInputTest, WheelDeltasBelowANotchAccumulate) {
  std::string text;
  for (int i = 0; i < 50; ++i) text += "line\r\n";
  Load(s, text);
  s.MouseWheelFactor = 1;
  struct Step {
    int32_t delta, vscroll;
  };
  const Step steps[] = {{-60, 0}, {-60, 12}, {-240, 36}, {120, 24}, {30, 24}, {90, 12}};
  for (const Step& st : steps) {
    EXPECT_TRUE(in.DoMouseWheel(0, st.delta));
    EXPECT_EQ(s.VertScroll(), st.vscroll) << st.delta;
  }
  s.MouseWheelFactor = -1;
  host.WheelLines = 3;
  in.DoMouseWheel(0, -120);
  EXPECT_EQ(s.VertScroll(), 12 + 36);
  host.WheelLines = -1;  // a page: the visible lines less 2
  in.DoMouseWheel(0, -120);
  EXPECT_EQ(s.VertScroll(), 48 + (11 - 2) * 12);
  s.SetVScroll(0);
  s.MouseWheelFactor = 3;
  in.DoMouseWheel(0, 120);
  EXPECT_EQ(s.VertScroll(), 0) << "not above the top";
}

TEST_F(MouseInputTest, TheRightButtonOpensTheDefaultPopupWhoseItemsFollowTheState) {
  in.MouseUp(TMouseButton::mbRight, 0, 10, 10);
  EXPECT_EQ(host.Popups, 1);
  EXPECT_TRUE(host.LastPopupDefault);
  host.HasMenu = true;
  in.MouseUp(TMouseButton::mbRight, 0, 10, 10);
  EXPECT_FALSE(host.LastPopupDefault) << "the program's own menu";
  host.HasMenu = false;
  s.SetOptions(s.GetOptions() | zkoNoDefaultPopup);
  in.MouseUp(TMouseButton::mbRight, 0, 10, 10);
  EXPECT_EQ(host.Popups, 2);

  struct Case {
    bool selection, read_only, clip;
    bool undo, cut, copy, paste;
  };
  const Case cases[] = {
      {false, false, false, false, false, false, false},
      {true, false, true, false, true, true, true},
      {true, true, true, false, false, true, false},
  };
  for (const Case& c : cases) {
    Load(s, kThreeLines);
    s.ReadOnly = c.read_only;
    if (c.selection) s.Select(0, 3);
    const auto items = in.PopupItems(c.clip);
    ASSERT_EQ(items.size(), 8u);
    const char* captions[] = {"&Undo", "&Redo", "-", "Cu&t", "&Copy", "&Paste", "-", "&Select all"};
    const int ids[] = {100, 101, 0, 102, 103, 104, 0, 105};
    for (size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(items[i].Caption, captions[i]);
      EXPECT_EQ(items[i].Id, ids[i]);
    }
    EXPECT_EQ(items[0].Enabled, c.undo);
    EXPECT_EQ(items[3].Enabled, c.cut);
    EXPECT_EQ(items[4].Enabled, c.copy);
    EXPECT_EQ(items[5].Enabled, c.paste);
    EXPECT_TRUE(items[7].Enabled);
  }
  s.ReadOnly = false;
  in.PopupCommand(kPopupSelectAll);
  EXPECT_EQ(s.SelText(), kThreeLines);
  in.PopupCommand(kPopupCut);
  EXPECT_EQ(s.Text(), "");
  in.PopupCommand(kPopupUndo);
  EXPECT_EQ(s.Text(), kThreeLines);
  in.PopupCommand(kPopupRedo);
  EXPECT_EQ(s.Text(), "");
  in.PopupCommand(kPopupPaste);
  EXPECT_EQ(s.Text(), kThreeLines);
}

TEST_F(MouseInputTest, AClickOnARunWithAContextReportsTheRunsBounds) {
  s.ApplyStyleRange(4, 7, 0, true, 42, 0, kNoColor, kNoColor, false);
  std::vector<int32_t> seen;
  s.OnContext = [&](TScrivlet&, int32_t context, int32_t start, int32_t stop) {
    seen = {context, start, stop};
  };
  Click(X(5), Y(0));
  EXPECT_EQ(seen, (std::vector<int32_t>{42, 4, 7}));
  seen.clear();
  Click(X(1), Y(0));
  EXPECT_TRUE(seen.empty());
}

TEST(MouseAndKeySessionTest, ALongRandomSessionLeavesTheTextConsistent) {
  FixedWidthMeasurer measurer{7, 12};
  TMemoryClipboard clipboard;
  TScrivletServices services;
  services.Clipboard = &clipboard;
  TScrivlet s(services);
  LayOutAtOnce(s, measurer, 300, 100);
  s.CreateHandle();
  s.ScrollTime = 0;
  s.SetStaticFormat(true);
  s.SetOptions(s.GetOptions() | zkoAutoIndent | zkoBackIndent | zkoBlockSelection |
               zkoKeepColumnPos);
  s.Keywords.AddKeyword("MOVWF", kWholeWord, kStyleBold, 1, 0, kNoColor, 0x800000);
  s.StartStopKeys.AddStartStopKey(";", "", 0, 0, 2, 0, kNoColor, 0x008000, true);
  Load(s, "start:\tMOVWF PORTB ; set\r\n  loop: GOTO start\r\n");
  RecordingHost host;
  TScrivInput in(s, host);
  std::mt19937 rng(22);
  const uint16_t keys[] = {vk::kLeft,  vk::kRight, vk::kUp,   vk::kDown,   vk::kHome,   vk::kEnd,
                           vk::kPrior, vk::kNext,  vk::kBack, vk::kDelete, vk::kInsert, 'B',
                           'Z',        'T',        'P',       'C',         'V',         'X'};
  const uint8_t mods[] = {0, ssShift, ssCtrl, ssShift | ssCtrl, ssShift | ssAlt};
  const char chars[] = "abcMOVWF ;\t\r";
  for (int step = 0; step < 6000; ++step) {
    const int what = static_cast<int>(rng() % 10);
    if (what < 4) {
      const uint16_t key = keys[rng() % std::size(keys)];
      const uint8_t m = mods[rng() % std::size(mods)];
      const bool handled = in.KeyDown(key, m);
      if ((m & ssCtrl) && key >= 'A' && key <= 'Z') {
        in.KeyPress(static_cast<uint8_t>(key - 'A' + 1));
      } else if (handled && key == vk::kBack) {
        in.KeyPress(8);
      }
    } else if (what < 8) {
      const char c = chars[rng() % (sizeof(chars) - 1)];
      in.KeyDown(static_cast<uint16_t>(c == '\t' ? vk::kTab : c == '\r' ? vk::kReturn : 0), 0);
      in.KeyPress(static_cast<uint8_t>(c));
    } else {
      const auto x = static_cast<int32_t>(rng() % 320) - 10;
      const auto y = static_cast<int32_t>(rng() % 130) - 10;
      const uint8_t m = (rng() % 4 == 0) ? ssShift : (rng() % 6 == 0) ? ssAlt : 0;
      in.MouseDown(TMouseButton::mbLeft, ssLeft | m, x, y);
      in.MouseMove(ssLeft | m, x + static_cast<int32_t>(rng() % 40),
                   y + static_cast<int32_t>(rng() % 30));
      if (rng() % 5 == 0) in.AutoScrollStep();
      in.MouseUp(TMouseButton::mbLeft, m, x + 5, y);
      if (rng() % 7 == 0) in.DblClick();
      if (rng() % 5 == 0) in.DoMouseWheel(0, (static_cast<int32_t>(rng() % 5) - 2) * 60);
    }
    if (step % 500 == 0) {
      ASSERT_NO_THROW(s.SelfTest()) << "step " << step;
    }
  }
  EXPECT_NO_THROW(in.KeyPress(5));  // Ctrl+E
}

}  // namespace
}  // namespace scrivlet
