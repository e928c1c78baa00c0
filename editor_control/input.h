#pragma once
// TScrivInput: how the editor control turns keys, characters, mouse actions and the wheel
// into caret moves, selections and edits, free of any window system. The Qt shell maps its
// events to the virtual key codes and shift bits below and carries out what the input asks
// of its window through TScrivInputHost (cursor, popup menu, focus, auto-scroll timer).
// Every edit goes through the core's edit primitive, every selection through its selection
// interface.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor_control/key_map.h"
#include "editor_control/scrivlet.h"

namespace scrivlet {

enum TShiftBit : uint8_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};

// Virtual key codes; letters and digits are their upper-case characters.
namespace vk {
inline constexpr uint16_t kBack = 8, kTab = 9, kReturn = 13, kShift = 16, kControl = 17, kMenu = 18,
                          kEscape = 27, kSpace = 32, kPrior = 33, kNext = 34, kEnd = 35, kHome = 36,
                          kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kInsert = 45, kDelete = 46,
                          kApps = 93;
}  // namespace vk

enum class TScrivCursor {
  crIBeam,
  crArrow,
  crRightArrow,
  crDrag,
  crDragCopy,
  crNoDrop,
  crRunCursor
};
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

class TScrivInputHost {
 public:
  virtual ~TScrivInputHost() = default;
  // crRunCursor: the cursor of the style run under the mouse (`run_cursor`).
  virtual void SetCursor(TScrivCursor /*cursor*/, int16_t /*run_cursor*/ = 0) {}
  virtual bool HasPopupMenu() { return false; }  // a menu of the program's own is assigned
  virtual void OpenPopup(int32_t /*x*/, int32_t /*y*/, bool /*default_menu*/) {
  }  // client coordinates
  virtual bool Focused() { return true; }
  virtual void TakeFocus() {}
  // The system's wheel setting: lines per notch, -1 for a page.
  virtual int32_t WheelScrollLines() { return 3; }
  // Calls AutoScrollStep after delay_ms (0: at the next turn of the event loop); -1 cancels.
  virtual void ScheduleAutoScroll(int32_t /*delay_ms*/) {}
  // The repaint after input that moved the selection.
  virtual void Repaint() {}
};

// The identifiers of the default popup menu's items.
enum TPopupCommand : int {
  kPopupUndo = 100,
  kPopupRedo = 101,
  kPopupCut = 102,
  kPopupCopy = 103,
  kPopupPaste = 104,
  kPopupSelectAll = 105
};

struct TPopupItem {
  std::string Caption;  // "-" is a separator
  int Id = 0;
  bool Enabled = true;
};

class TScrivInput {
 public:
  TScrivInput(TScrivlet& memo, TScrivInputHost& host) : memo_(memo), host_(host) {}

  // True when the control handled the key; the shell then keeps it from the form.
  bool KeyDown(uint16_t key, uint8_t shift);
  // True when the character was taken (typed or acted on).
  bool KeyPress(uint8_t ch);
  void KeyUp(uint16_t key, uint8_t shift);
  // Whether the control handles this key itself, so that a menu shortcut must not take it.
  bool ClaimsShortcut(uint16_t key, uint8_t shift) const;

  void MouseDown(TMouseButton button, uint8_t shift, int32_t x, int32_t y);
  void MouseMove(uint8_t shift, int32_t x, int32_t y);
  void MouseUp(TMouseButton button, uint8_t shift, int32_t x, int32_t y);
  void DblClick();
  bool DoMouseWheel(uint8_t shift, int32_t delta);
  void AutoScrollStep();

  // The default popup menu's items with their states, and a click on one.
  std::vector<TPopupItem> PopupItems(bool clipboard_has_text) const;
  void PopupCommand(int id);

  // Input state (all clear at creation).
  bool AltChord = false;
  bool InKey = false;
  bool Dragging = false;
  bool DragCopy = false;
  int32_t DownOffset = 0;
  int32_t WheelRest = 0;
  bool LineSelectMode = false;
  bool ButtonDown = false;
  bool SwallowNextChar = false;  // a handled hot key: its character does not type
  // (Sender, button, shift, x, y) after a press was handled.
  std::function<void(TScrivlet&, TMouseButton, uint8_t, int32_t, int32_t)> OnAfterMouseDown;

 private:
  // The steps of KeyDown, in their order.
  bool DragKey(uint16_t key);
  bool ViewKey(uint16_t key, uint8_t mods);
  bool HotKey(TKeyCommand command);
  bool OpenPopupAtCaret();
  bool EditingKey(uint16_t key, uint8_t mods);
  void StartColumnBlockOnChord(uint16_t key, uint8_t mods);
  TKeyState KeyState() const;
  // Runs a key table command; false when the key goes on to the form.
  bool Perform(TKeyCommand command, bool extend);

  // The view of a display-only control.
  int32_t TopLine() const;
  void ScrollViewToLine(int32_t line);
  void ScrollViewPageDown(bool to_bottom);
  int32_t MaxHorzScroll() const;
  int32_t ViewStep() const;  // what Left and Right scroll

  // The moves.
  void CharLeft(bool extend);
  void CharRight(bool extend);
  void WordLeft(bool extend);
  void WordRight(bool extend);
  void LineStart(bool extend);
  void LineEnd(bool extend);
  bool LineUp(bool extend);
  void LineDown(bool extend);
  void PageMove(int32_t sign, bool view_follows, bool extend);
  void GrowBlock(int32_t columns, int32_t paragraphs);
  // Moves the caret; with `extend` the selection grows from its anchor.
  void MoveTo(int32_t offset, bool extend);
  // The same to where `to` stands, on its display line: the end of a wrapped line is also the
  // start of the next, and the caret stays on the line it was sent to.
  void MoveTo(const TScrivNavigator& to, bool extend);
  void VerticalMove(int32_t lines, bool extend);
  int32_t Anchor() const;
  void DeleteBack();
  void DeleteWordBack();
  // Where Backspace at `pos` of paragraph `para` starts deleting with zkoBackIndent: at the end
  // of the line's leading blanks, back to the indentation of the nearest earlier line that is
  // indented less; elsewhere `pos`.
  int32_t BackIndentStart(int32_t para, int32_t pos);
  // Read-only, a selection (which it deletes) or the text's end: nothing more for Delete.
  bool DeleteForwardGoesOn();
  void DeleteForward();
  void DeleteToLineEnd();
  void CutOrSelectBack();
  void RestoreColumnAsPadding(int32_t old_x);
  void ToggleOverwrite();
  void TypeChar(uint8_t ch);
  void Return();
  void Tab();
  int32_t BlockColumnAt(int32_t x) const;
  void ExtendBlockTo(int32_t x, int32_t y);
  void SelectTo(int32_t x, int32_t y, bool keep_column);
  void DropAt(int32_t x, int32_t y);
  std::string LeadingBlanks(int32_t para) const;

  TScrivlet& memo_;
  TScrivInputHost& host_;
  bool double_clicked_ = false;
  int32_t last_x_ = 0, last_y_ = 0;
  int32_t auto_direction_ = 0;  // 0 none, 1 up, 2 down, 3 left, 4 right
  int32_t auto_level_ = 0;
  int32_t block_anchor_para_ = 0;
};

}  // namespace scrivlet
