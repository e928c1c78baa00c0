// Keys and characters through the core's input handling, without a display: caret moves
// with and without Shift and Ctrl, the editing keys, hot keys, read-only and display-only
// behaviour, the column-block chord; and the key table read against the described bindings.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "editor_control/input.h"
#include "editor_control/key_map.h"
#include "input_test_support.h"

namespace scrivlet {
namespace {

using testing::FixedWidthMeasurer;
using testing::kThreeLines;
using testing::LayOutAtOnce;
using testing::Load;
using testing::RecordingHost;

class KeyInputTest : public testing::InputFixture {
 protected:
  // A key as the widget delivers it: KeyDown, then its character when it has one.
  void Press(uint16_t key, uint8_t shift = 0, int ch = -1) {
    in.KeyDown(key, shift);
    if (ch >= 0) in.KeyPress(static_cast<uint8_t>(ch));
  }
  void Type(const std::string& text) {
    for (char c : text)
      Press(static_cast<uint16_t>(c >= 'a' && c <= 'z' ? c - 32 : c), 0, static_cast<uint8_t>(c));
  }
};

TEST_F(KeyInputTest, MovesWithAndWithoutShiftAndCtrl) {
  struct Case {
    const char* name;
    int32_t caret;
    uint16_t key;
    uint8_t shift;
    int32_t new_caret, anchor;
  };
  const Case cases[] = {
      {"Left", 4, vk::kLeft, 0, 3, 3},
      {"Left over a break", 9, vk::kLeft, 0, 7, 7},
      {"Left at the start", 0, vk::kLeft, 0, 0, 0},
      {"Right", 6, vk::kRight, 0, 7, 7},
      {"Right over a break", 7, vk::kRight, 0, 9, 9},
      {"Right at the end", 21, vk::kRight, 0, 21, 21},
      {"Ctrl+Left", 6, vk::kLeft, ssCtrl, 4, 4},
      {"Ctrl+Right", 0, vk::kRight, ssCtrl, 4, 4},
      {"Ctrl+Right to the next line", 4, vk::kRight, ssCtrl, 9, 9},
      {"Home", 6, vk::kHome, 0, 0, 0},
      {"End", 1, vk::kEnd, 0, 7, 7},
      {"Ctrl+Home", 12, vk::kHome, ssCtrl, 0, 0},
      {"Ctrl+End", 1, vk::kEnd, ssCtrl, 21, 21},
      {"Up", 13, vk::kUp, 0, 4, 4},
      {"Down", 4, vk::kDown, 0, 13, 13},
      {"Down on the last line", 20, vk::kDown, 0, 20, 20},
      {"Ctrl+Up", 13, vk::kUp, ssCtrl, 4, 4},
      {"Shift+Left", 4, vk::kLeft, ssShift, 3, 4},
      {"Shift+Right", 4, vk::kRight, ssShift, 5, 4},
      {"Shift+End", 1, vk::kEnd, ssShift, 7, 1},
      {"Shift+Home", 6, vk::kHome, ssShift, 0, 6},
      {"Shift+Ctrl+Home", 12, vk::kHome, ssShift | ssCtrl, 0, 12},
      {"Shift+Ctrl+End", 12, vk::kEnd, ssShift | ssCtrl, 21, 12},
      {"Shift+Ctrl+Left", 6, vk::kLeft, ssShift | ssCtrl, 4, 6},
      {"Shift+Ctrl+Right", 0, vk::kRight, ssShift | ssCtrl, 4, 0},
      {"Shift+Down", 2, vk::kDown, ssShift, 11, 2},
      {"Shift+Up", 11, vk::kUp, ssShift, 2, 11},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(s, kThreeLines);
    s.SetSelStart(c.caret);
    Press(c.key, c.shift);
    EXPECT_EQ(s.GetSelStart(), c.new_caret);
    const int32_t anchor = s.SelAnchor();
    EXPECT_EQ(anchor, c.anchor);
    EXPECT_EQ(s.Text(), kThreeLines);
  }
}

TEST_F(KeyInputTest, WithWordWrapEndStaysOnItsDisplayLineAndHomeGoesBackToItsStart) {
  s.SetBounds(8 + 70 + 8, 120);  // ten characters a line
  s.SetWordWrap(true);
  Load(s, "aaaa bbbb cccc\r\nx");  // lines "aaaa bbbb " and "cccc" in the first paragraph
  s.SetSelStart(2);
  Press(vk::kEnd);
  EXPECT_EQ(s.GetSelStart(), 10);
  EXPECT_EQ(s.GetSelLine(), 0) << "the end of a wrapped line is a position of that line";
  EXPECT_EQ(CaretRect(s).Top, 0);
  EXPECT_EQ(CaretRect(s).Left, 8 + 10 * 7);
  Press(vk::kHome);
  EXPECT_EQ(s.GetSelStart(), 0);

  Press(vk::kEnd, ssShift);
  EXPECT_EQ(s.SelLower(), 0);
  EXPECT_EQ(s.SelUpper(), 10);
  EXPECT_EQ(s.GetSelLine(), 0);
  Press(vk::kHome, ssShift);
  EXPECT_EQ(s.SelUpper(), 0);

  // The second line's End is its paragraph's end; its Home its own start.
  s.SetSelStart(12);
  Press(vk::kEnd);
  EXPECT_EQ(s.GetSelStart(), 14);
  Press(vk::kHome);
  EXPECT_EQ(s.GetSelStart(), 10);
  EXPECT_EQ(s.GetSelLine(), 1);
}

TEST_F(KeyInputTest, AMoveWithoutShiftDropsTheSelectionAndUpOnTheFirstLineGoesOnToTheForm) {
  Load(s, kThreeLines);
  s.Select(1, 5);
  EXPECT_TRUE(in.KeyDown(vk::kRight, 0));
  EXPECT_EQ(s.SelLower(), s.SelUpper());
  EXPECT_EQ(s.GetSelStart(), 6);
  s.SetSelStart(2);
  EXPECT_FALSE(in.KeyDown(vk::kUp, 0));
  EXPECT_EQ(s.GetSelStart(), 2);
  EXPECT_FALSE(in.KeyDown('Q', 0)) << "letters are characters, not keys";
}

TEST_F(KeyInputTest, VerticalMovesKeepTheColumnOverAShortLine) {
  Load(s, "abcdef\r\nab\r\nabcdef");
  s.SetSelStart(5);
  Press(vk::kDown);
  EXPECT_EQ(s.GetSelStart(), 10) << "the short line's end";
  Press(vk::kDown);
  EXPECT_EQ(s.GetSelStart(), 12 + 5) << "back in the column the moves started in";
  s.SetOptions(s.GetOptions() | zkoKeepColumnPos);
  s.SetSelStart(5);
  Press(vk::kDown);
  EXPECT_EQ(s.PendingSpaces(), "   ") << "the missing width as padding";
  Press(vk::kLeft);
  EXPECT_EQ(s.PendingSpaces(), "  ");
}

TEST_F(KeyInputTest, EditingKeysChangeTheTextAsTheirTableSays) {
  struct Case {
    const char* name;
    int32_t anchor, caret;
    uint16_t key;
    uint8_t shift;
    int ch;
    const char* text;
    int32_t new_caret;
  };
  const Case cases[] = {
      {"Backspace joins paragraphs", 9, 9, vk::kBack, 0, 8, "abc defghi jkl\r\nmno", 7},
      {"Backspace", 5, 5, vk::kBack, 0, 8, "abc ef\r\nghi jkl\r\nmno", 4},
      {"Backspace at the start", 0, 0, vk::kBack, 0, 8, kThreeLines, 0},
      {"Backspace deletes a selection", 1, 3, vk::kBack, 0, 8, "a def\r\nghi jkl\r\nmno", 1},
      {"Ctrl+Backspace", 7, 7, vk::kBack, ssCtrl, -1, "abc \r\nghi jkl\r\nmno", 4},
      {"Delete", 0, 0, vk::kDelete, 0, -1, "bc def\r\nghi jkl\r\nmno", 0},
      {"Delete joins paragraphs", 7, 7, vk::kDelete, 0, -1, "abc defghi jkl\r\nmno", 7},
      {"Delete at the end", 21, 21, vk::kDelete, 0, -1, kThreeLines, 21},
      {"Delete deletes a selection", 9, 13, vk::kDelete, 0, -1, "abc def\r\njkl\r\nmno", 9},
      {"Ctrl+Delete to the line end", 4, 4, vk::kDelete, ssCtrl, -1, "abc \r\nghi jkl\r\nmno", 4},
      {"Shift+Delete selects the character before", 5, 5, vk::kDelete, ssShift, -1, kThreeLines, 4},
      {"Return", 3, 3, vk::kReturn, 0, 13, "abc\r\n def\r\nghi jkl\r\nmno", 5},
      {"Tab", 3, 3, vk::kTab, 0, 9, "abc\t def\r\nghi jkl\r\nmno", 4},
      {"a character replaces the selection", 0, 3, 'X', ssShift, 'X', "X def\r\nghi jkl\r\nmno", 1},
      {"Alt+Backspace acts as Backspace", 5, 5, vk::kBack, ssAlt, -1, "abc ef\r\nghi jkl\r\nmno",
       4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Load(s, kThreeLines);
    s.Select(c.anchor, c.caret);
    Press(c.key, c.shift, c.ch);
    EXPECT_EQ(s.Text(), c.text);
    EXPECT_EQ(s.GetSelStart(), c.new_caret);
  }
}

TEST_F(KeyInputTest, InsertTogglesOverwriteCopiesAndPastes) {
  Load(s, kThreeLines);
  s.SetSelStart(1);
  Press(vk::kInsert);
  EXPECT_TRUE(s.GetOverwrite());
  Type("xy");
  EXPECT_EQ(s.GetParagraphText(0), "axy def");
  s.SetSelStart(7);
  Type("z");
  EXPECT_EQ(s.GetParagraphText(0), "axy defz") << "at a paragraph end a character is added";
  Press(vk::kReturn, 0, 13);
  EXPECT_EQ(s.GetSelStart(), 10) << "Return in overwrite goes to the next line";
  EXPECT_EQ(s.ParagraphCount(), 3);
  Press(vk::kInsert);
  EXPECT_FALSE(s.GetOverwrite());
  s.Select(0, 3);
  Press(vk::kInsert, ssCtrl);
  EXPECT_EQ(clipboard.Text(), "axy");
  s.SetSelStart(s.CharCount());
  Press(vk::kInsert, ssShift);
  EXPECT_EQ(s.GetParagraphText(2), "mnoaxy");
  s.Select(0, 4);
  Press(vk::kDelete, ssShift);
  EXPECT_EQ(clipboard.Text(), "axy ");
  EXPECT_EQ(s.GetParagraphText(0), "defz");
  s.SetOptions(s.GetOptions() & ~zkoInsertKeyActive);
  Press(vk::kInsert);
  EXPECT_FALSE(s.GetOverwrite());
}

TEST_F(KeyInputTest, HotKeysWorkWithCtrlAndNotWhenReadOnly) {
  s.SetStaticFormat(true);
  struct Case {
    const char* name;
    uint16_t key;
    uint8_t shift;
    bool read_only;
    bool handled;
    const char* text;
  };
  const Case cases[] = {
      {"Ctrl+B", 'B', ssCtrl, false, true,
       "\x02"
       "ab\x02"
       "c"},
      {"Ctrl+I", 'I', ssCtrl, false, true,
       "\x01"
       "ab\x01"
       "c"},
      {"Ctrl+U", 'U', ssCtrl, false, true,
       "\x15"
       "ab\x15"
       "c"},
      {"Ctrl+H", 'H', ssCtrl, false, true,
       "\x03"
       "ab\x03"
       "c"},
      {"Ctrl+F", 'F', ssCtrl, false, true,
       "\x04"
       "ab\x04"
       "c"},
      {"Ctrl+T", 'T', ssCtrl, false, true, "\tc"},
      {"Ctrl+P", 'P', ssCtrl, false, true, "\r\n\fc"},
      {"Ctrl+B read-only goes on to the form", 'B', ssCtrl, true, false, "abc"},
      {"Ctrl+Alt+B is no hot key", 'B', ssCtrl | ssAlt, false, false, "abc"},
      {"B alone is a character", 'B', 0, false, false, "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s.ReadOnly = false;
    Load(s, "abc");
    s.Select(0, 2);
    s.ReadOnly = c.read_only;
    EXPECT_EQ(in.KeyDown(c.key, c.shift), c.handled);
    // The hot key's own character follows and is swallowed.
    if (c.handled) {
      EXPECT_TRUE(in.KeyPress(static_cast<uint8_t>(c.key - 'A' + 1)));
    }
    EXPECT_EQ(s.Text(), c.text);
  }
}

TEST_F(KeyInputTest, CtrlZUndoesCtrlShiftZRedoesAndNothingToUndoChangesNothing) {
  Load(s, "abc");
  Press('Z', ssCtrl);
  EXPECT_EQ(s.Text(), "abc");
  s.SetSelStart(3);
  Type("de");
  EXPECT_EQ(s.Text(), "abcde");
  Press('Z', ssCtrl);
  EXPECT_EQ(s.Text(), "abc");
  Press('Z', ssCtrl | ssShift);
  EXPECT_EQ(s.Text(), "abcde");
}

TEST_F(KeyInputTest, ReadOnlyTakesNoEditButMovesAndCopies) {
  Load(s, kThreeLines);
  s.ReadOnly = true;
  s.Select(0, 3);
  Type("x");
  Press(vk::kBack, 0, 8);
  Press(vk::kDelete);
  Press('V', ssCtrl, 22);
  EXPECT_EQ(s.Text(), kThreeLines);
  Press('C', ssCtrl, 3);
  EXPECT_EQ(clipboard.Text(), "abc");
  Press(vk::kRight);
  EXPECT_EQ(s.GetSelStart(), 4);
}

TEST_F(KeyInputTest, DisplayOnlyKeysScrollTheViewAndTheCaretStays) {
  std::string text;
  for (int i = 0; i < 60; ++i) text += std::string(100, 'x') + "\r\n";
  Load(s, text);
  s.SetDisplayOnly(true);
  s.SetSelStart(5);
  const int32_t lh = 12, visible = 120 / 12 + 1;
  const int32_t max_v = s.MaxVertScroll();
  struct Case {
    uint16_t key;
    uint8_t shift;
    int32_t v, h;
  };
  const Case cases[] = {
      {vk::kDown, 0, lh, 0},      {vk::kDown, 0, 2 * lh, 0},
      {vk::kUp, 0, lh, 0},        {vk::kNext, 0, (1 + visible - 1) * lh, 0},
      {vk::kPrior, 0, lh, 0},     {vk::kNext, ssCtrl, max_v, 0},
      {vk::kPrior, ssCtrl, 0, 0}, {vk::kRight, 0, 0, 400 / 5 + 1},
      {vk::kLeft, 0, 0, 0},       {vk::kEnd, 0, 0, 100 * 7 + 16 - 400},
      {vk::kHome, 0, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(in.KeyDown(c.key, c.shift));
    EXPECT_EQ(s.VertScroll(), c.v) << c.key;
    EXPECT_EQ(s.HorzScroll(), c.h) << c.key;
    EXPECT_EQ(s.GetSelStart(), 5);
  }
  EXPECT_FALSE(in.KeyPress('x'));
  EXPECT_EQ(s.GetParagraphText(0), std::string(100, 'x'));
}

TEST_F(KeyInputTest, ShiftAltArrowsMakeAColumnBlockAndTheChordsCharacterIsNotTyped) {
  s.SetOptions(s.GetOptions() | zkoBlockSelection);
  Load(s, "abcdef\r\nabcdef\r\nabcdef");
  s.SetSelStart(1);
  Press(vk::kRight, ssShift | ssAlt);
  Press(vk::kRight, ssShift | ssAlt);
  Press(vk::kDown, ssShift | ssAlt);
  // The character the chord produced arrives and is dropped.
  EXPECT_TRUE(in.KeyPress('x'));
  EXPECT_TRUE(s.BlockMode());
  EXPECT_EQ(s.GetColumnText(), "bc\r\nbc\r\n");
  EXPECT_EQ(s.GetParagraphText(0), "abcdef");
  in.KeyDown(vk::kShift, ssShift);  // Alt released
  Type("y");
  EXPECT_EQ(s.Text(), "adef\r\naydef\r\nabcdef")
      << "the block goes, the character stands at the caret";
}

TEST_F(KeyInputTest, AutoIndentBackIndentAndSmartTabs) {
  s.SetOptions(s.GetOptions() | zkoAutoIndent | zkoBackIndent);
  Load(s, "  abc");
  s.SetSelStart(5);
  Press(vk::kReturn, 0, 13);
  EXPECT_EQ(s.Text(), "  abc\r\n  ");
  Type("x");
  Press(vk::kReturn, 0, 13);
  Type("    ");
  EXPECT_EQ(s.GetParagraphText(2), "      ");
  Press(vk::kBack, 0, 8);
  EXPECT_EQ(s.GetParagraphText(2), "  ")
      << "back to the indentation of the line above that is indented less";
  Press(vk::kBack, 0, 8);
  EXPECT_EQ(s.GetParagraphText(2), "") << "then to column 0";

  s.SetOptions(s.GetOptions() | zkoSmartTabs);
  Load(s, "LABEL   MOVLW  1\r\n");
  s.SetSelStart(s.CharCount());
  Press(vk::kTab, 0, 9);
  EXPECT_EQ(s.GetParagraphText(1), "        ");
  Press(vk::kTab, 0, 9);
  EXPECT_EQ(s.GetParagraphText(1), "               ");
}

TEST_F(KeyInputTest, DiscardTrailingSpacesKeepsTypedBlanksAsPaddingOnly) {
  s.SetOptions(s.GetOptions() | zkoDiscardTrailingSpaces);
  Load(s, "ab");
  s.SetSelStart(2);
  Type("  ");
  EXPECT_EQ(s.Text(), "ab");
  EXPECT_EQ(s.PendingSpaces(), "  ");
  Type("c");
  EXPECT_EQ(s.Text(), "ab  c");
}

TEST_F(KeyInputTest, TheApplicationKeyOpensThePopupAtTheCaretUnlessTheDefaultIsOff) {
  Load(s, kThreeLines);
  s.SetSelStart(11);
  EXPECT_TRUE(in.KeyDown(vk::kApps, 0));
  EXPECT_EQ(host.Popups, 1);
  EXPECT_TRUE(host.LastPopupDefault);
  EXPECT_EQ(host.PopupX, 8 + 2 * 7);
  EXPECT_EQ(host.PopupY, 24);
  s.SetOptions(s.GetOptions() | zkoNoDefaultPopup);
  EXPECT_FALSE(in.KeyDown(vk::kApps, 0));
  EXPECT_EQ(host.Popups, 1);
}

TEST_F(KeyInputTest, CtrlERunsTheSelfTestAndAConsistentTextPasses) {
  Load(s, kThreeLines);
  EXPECT_NO_THROW(in.KeyPress(5));
  s.Table.Items(1).StartOffset += 1;
  EXPECT_THROW(in.KeyPress(5), EScrivletError);
}

TEST_F(KeyInputTest, TheControlClaimsItsOwnKeysFromMenuShortcuts) {
  Load(s, "abc");
  struct Case {
    uint16_t key;
    uint8_t shift;
    bool read_only, claimed;
  };
  const Case cases[] = {
      {vk::kLeft, 0, false, true}, {vk::kDelete, ssCtrl, false, true}, {'C', ssCtrl, false, true},
      {'B', ssCtrl, false, true},  {'B', ssCtrl, true, false},         {'O', ssCtrl, false, false},
      {'F', ssAlt, false, false},  {vk::kTab, ssCtrl, false, false},   {'A', ssShift, false, true},
  };
  for (const Case& c : cases) {
    s.ReadOnly = c.read_only;
    EXPECT_EQ(in.ClaimsShortcut(c.key, c.shift), c.claimed) << c.key << " " << int(c.shift);
  }
}

// The bindings as the control's description gives them, table by table, written here apart
// from the key table so that a wrong row in it fails.
namespace described {

using enum TKeyCommand;

// A display-only control: without Ctrl, with Ctrl (Shift and Alt make no difference).
struct ViewKey {
  uint16_t key;
  TKeyCommand without_ctrl, with_ctrl;
};
// clang-format off
constexpr ViewKey kViewKeys[] = {
    {vk::kPrior, kViewPageUp,   kViewTextTop},
    {vk::kNext,  kViewPageDown, kViewTextBottom},
    {vk::kEnd,   kViewRightEnd, kViewRightEnd},
    {vk::kHome,  kViewLeftEnd,  kViewLeftEnd},
    {vk::kLeft,  kViewLeft,     kViewLeft},
    {vk::kUp,    kViewLineUp,   kViewLineUp},
    {vk::kRight, kViewRight,    kViewRight},
    {vk::kDown,  kViewLineDown, kViewLineDown},
};
// clang-format on

// Hot keys: Ctrl held, Alt not; with hot keys enabled and not read-only.
struct HotKey {
  uint16_t key;
  TKeyCommand command, with_shift;
};
// clang-format off
constexpr HotKey kHotKeys[] = {
    {'B', kToggleBold,      kToggleBold},
    {'I', kToggleItalic,    kToggleItalic},
    {'U', kToggleUnderline, kToggleUnderline},
    {'H', kToggleHighlight, kToggleHighlight},
    {'F', kToggleAltFont,   kToggleAltFont},
    {'T', kInsertTab,       kInsertTab},
    {'P', kInsertPageBreak, kInsertPageBreak},
    {'Z', kUndo,            kRedo},
};
// clang-format on

// The control characters that act whatever the state: copy (3), the self-test (5), paste (22),
// cut (24). Ctrl with their letter types them, so that key is the control's.
constexpr int kActingControlCharacters[] = {3, 5, 22, 24};

// The editing and navigation keys: plain, with Ctrl, with Shift only, and what Alt does.
enum class Alt { kAsPlain, kIgnored, kBlockModeOnly, kPassedOn };
struct EditKey {
  uint16_t key;
  TKeyCommand plain, ctrl, shift_only;
  Alt alt;
  std::optional<TKeyCommand> block = std::nullopt;
};
// clang-format off
const EditKey kEditKeys[] = {
    {vk::kBack,   kDeleteBack,       kDeleteWordBack,   kDeleteBack,       Alt::kAsPlain},
    {vk::kTab,    kCharacterFollows, kCharacterFollows, kCharacterFollows, Alt::kPassedOn},
    {vk::kPrior,  kPageUp,           kCaretPageUp,      kPageUp,           Alt::kIgnored},
    {vk::kNext,   kPageDown,         kCaretPageDown,    kPageDown,         Alt::kIgnored},
    {vk::kHome,   kLineStart,        kTextStart,        kLineStart,        Alt::kIgnored},
    {vk::kEnd,    kLineEnd,          kTextEnd,          kLineEnd,          Alt::kIgnored},
    {vk::kLeft,   kCharLeft,         kWordLeft,         kCharLeft,         Alt::kBlockModeOnly, kBlockLeft},
    {vk::kRight,  kCharRight,        kWordRight,        kCharRight,        Alt::kBlockModeOnly, kBlockRight},
    {vk::kUp,     kLineUp,           kLineUp,           kLineUp,           Alt::kBlockModeOnly, kBlockUp},
    {vk::kDown,   kLineDown,         kLineDown,         kLineDown,         Alt::kBlockModeOnly, kBlockDown},
    {vk::kInsert, kToggleOverwrite,  kCopy,             kPaste,            Alt::kIgnored},
    {vk::kDelete, kDeleteForward,    kDeleteToLineEnd,  kCutOrSelectBack,  Alt::kAsPlain},
};
// clang-format on

std::optional<TKeyCommand> Editing(const EditKey& row, uint8_t mods, const TKeyState& state) {
  const bool ctrl = mods & ssCtrl;
  if (!(mods & ssAlt)) return ctrl ? row.ctrl : (mods & ssShift) ? row.shift_only : row.plain;
  switch (row.alt) {
    case Alt::kAsPlain:
      // Kept as it was built: Alt+Ctrl+Backspace deletes the word before the caret.
      if (row.key == vk::kBack && ctrl) return row.ctrl;
      return row.plain;
    case Alt::kIgnored: return kIgnore;
    case Alt::kBlockModeOnly:
      if (state.ColumnBlock) return row.block;
      return std::nullopt;
    case Alt::kPassedOn: return std::nullopt;
  }
  return std::nullopt;
}

std::optional<TKeyCommand> Command(uint16_t key, uint8_t mods, const TKeyState& state) {
  const bool ctrl_only = (mods & ssCtrl) && !(mods & ssAlt);
  for (int ch : kActingControlCharacters)
    if (ctrl_only && key == 'A' + ch - 1) return kControlCharacter;
  if (state.DisplayOnly) {
    for (const ViewKey& row : kViewKeys)
      if (row.key == key) return (mods & ssCtrl) ? row.with_ctrl : row.without_ctrl;
    return std::nullopt;
  }
  for (const HotKey& row : kHotKeys)
    if (row.key == key && ctrl_only && state.HotKeysOn)
      return (mods & ssShift) ? row.with_shift : row.command;
  for (const EditKey& row : kEditKeys)
    if (row.key == key) return Editing(row, mods, state);
  return std::nullopt;
}

}  // namespace described

std::vector<TKeyState> EveryState() {
  std::vector<TKeyState> states;
  for (int bits = 0; bits < 8; ++bits)
    states.push_back({(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0});
  return states;
}

TEST(KeyTable, HoldsTheDescribedBindingsAndNoOthers) {
  for (const TKeyState& state : EveryState())
    for (uint16_t key = 0; key < 256; ++key)
      for (uint8_t mods = 0; mods < 8; ++mods) {
        // As numbers, so that a failure names the commands; -1 for none.
        const std::optional<TKeyCommand> want = described::Command(key, mods, state);
        const TKeyBinding* row = FindKeyBinding(key, mods, state);
        EXPECT_EQ(row != nullptr ? int(row->Command) : -1, want ? int(*want) : -1)
            << "key " << key << ", modifiers " << int(mods) << ", display-only "
            << state.DisplayOnly << ", hot keys " << state.HotKeysOn << ", column block "
            << state.ColumnBlock;
      }
}

TEST(KeyTable, NoTwoRowsMatchTheSameKeyInTheSameState) {
  const auto rows = KeyBindings();
  for (size_t i = 0; i < rows.size(); ++i)
    for (size_t j = i + 1; j < rows.size(); ++j) {
      if (rows[i].Key != rows[j].Key) continue;
      for (const TKeyState& state : EveryState())
        for (uint8_t mods = 0; mods < 8; ++mods) {
          const auto matches = [&](const TKeyBinding& b) {
            return b.Modifiers.Match(mods) && state.Meets(b.When);
          };
          EXPECT_FALSE(matches(rows[i]) && matches(rows[j]))
              << "rows " << i << " and " << j << " clash on key " << rows[i].Key
              << " with modifiers " << int(mods);
        }
    }
}

}  // namespace
}  // namespace scrivlet
