#pragma once
// The editor control's key bindings as one table: a key, the modifiers it is pressed with, the
// state of the control in which the row counts, and the command it runs. `TScrivInput` looks a
// key up here and runs the command's named method; `ClaimsShortcut` asks the same table, so a
// key the control takes is never also a menu shortcut.
// invariant: no two rows match the same key, modifiers and state (a clash is a failing test).

#include <cstdint>
#include <span>

namespace scrivlet {

// Which of Shift, Ctrl and Alt a row takes: those in `Held` are down, those in `Either` may be
// down or up, every other one is up.
struct TKeyMods {
  uint8_t Held = 0;
  uint8_t Either = 0;
  bool Match(uint8_t mods) const;
};

// The state of the control a row counts in.
enum class TKeyCondition : uint8_t {
  kAlways,
  kDisplayOnly,  // the keys move the view, the caret stays
  kEditing,      // not display-only
  kHotKeysOn,    // editing, with hot keys enabled and not read-only
  kColumnBlock,  // editing, with a column block marked
};

struct TKeyState {
  bool DisplayOnly = false;
  bool HotKeysOn = false;  // EnableHotKeys on and ReadOnly off
  bool ColumnBlock = false;
  bool Meets(TKeyCondition when) const;
};

enum class TKeyCommand : uint8_t {
  // the view of a display-only control
  kViewPageUp,
  kViewTextTop,
  kViewPageDown,
  kViewTextBottom,
  kViewLeftEnd,
  kViewRightEnd,
  kViewLeft,
  kViewRight,
  kViewLineUp,
  kViewLineDown,
  // hot keys
  kToggleBold,
  kToggleItalic,
  kToggleUnderline,
  kToggleHighlight,
  kToggleAltFont,
  kInsertTab,
  kInsertPageBreak,
  kUndo,
  kRedo,
  // the key is left to the control character it types (copy, self-test, paste, cut)
  kControlCharacter,
  // the key is taken and its character follows (Tab)
  kCharacterFollows,
  // moves; Shift extends the selection from its anchor
  kCharLeft,
  kCharRight,
  kWordLeft,
  kWordRight,
  kLineStart,
  kLineEnd,
  kTextStart,
  kTextEnd,
  kLineUp,
  kLineDown,
  kPageUp,  // the view follows the caret
  kPageDown,
  kCaretPageUp,  // the view stays
  kCaretPageDown,
  // a column block's moving corner
  kBlockLeft,
  kBlockRight,
  kBlockUp,
  kBlockDown,
  // editing
  kDeleteBack,
  kDeleteWordBack,
  kDeleteForward,
  kDeleteToLineEnd,
  kCutOrSelectBack,
  kToggleOverwrite,
  kCopy,
  kPaste,
  kIgnore,  // taken, and nothing done
};

struct TKeyBinding {
  uint16_t Key;  // a virtual key code
  TKeyMods Modifiers;
  TKeyCondition When;
  TKeyCommand Command;
};

std::span<const TKeyBinding> KeyBindings();

// The row for `key` pressed with `mods` (TShiftBit values) in `state`; null when none.
const TKeyBinding* FindKeyBinding(uint16_t key, uint8_t mods, const TKeyState& state);

}  // namespace scrivlet
