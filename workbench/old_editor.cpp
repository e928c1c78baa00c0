// The legacy editor's caret, keys, mouse and screen.
#include "workbench/old_editor.h"

#include <algorithm>

namespace workbench {
namespace {

constexpr char kCr = '\r';
constexpr char kTab = '\t';
constexpr int kTabWidth = 8;
// Clicks closer together than this make a double or triple click.
constexpr std::uint32_t kClickInterval = 500;

int NextTabStop(int column) { return (column / kTabWidth + 1) * kTabWidth; }

}  // namespace

bool IsLegacyWordChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsLegacyInsertable(char c) {
  const auto u = static_cast<unsigned char>(c);
  return c == kTab || c == kCr || (u >= ' ' && u <= '~') || u >= 128;
}

LegacyEditor::LegacyEditor(const MessageStrings& messages, int capacity)
    : messages_(messages), buffer_(capacity) {}

// Text positions.

int LegacyEditor::LineStartOf(int pos) const {
  while (pos > 0 && At(pos - 1) != kCr) --pos;
  return pos;
}

int LegacyEditor::LineEndOf(int pos) const {
  const int length = Length();
  while (pos < length && At(pos) != kCr) ++pos;
  return pos;
}

int LegacyEditor::ColumnOf(int pos) const {
  int column = 0;
  for (int p = LineStartOf(pos); p < pos; ++p)
    column = At(p) == kTab ? NextTabStop(column) : column + 1;
  return column;
}

bool LegacyEditor::InSelection(int pos) const {
  return selection_mode_ != 0 && pos >= SelectionStart() && pos < SelectionStop();
}

std::string LegacyEditor::SelectedText() const {
  return HasSelection() ? buffer_.Text(SelectionStart(), SelectionStop()) : std::string();
}

void LegacyEditor::SetCursor(int pos) {
  cursor_ = anchor_ = std::clamp(pos, 0, Length());
  selection_mode_ = 0;
}

void LegacyEditor::Select(int start, int stop) {
  start = std::clamp(start, 0, Length());
  stop = std::clamp(stop, 0, Length());
  anchor_ = start;
  cursor_ = stop;
  selection_mode_ = 1;
}

// Caret moves.

char LegacyEditor::CharAtCursor() const { return cursor_ < Length() ? At(cursor_) : 0; }

bool LegacyEditor::CursorLeft() {
  if (cursor_ == 0) return false;
  --cursor_;
  return true;
}

bool LegacyEditor::CursorRight() {
  if (cursor_ >= Length()) return false;
  ++cursor_;
  return true;
}

void LegacyEditor::LineStart() { cursor_ = LineStartOf(cursor_); }
void LegacyEditor::LineEnd() { cursor_ = LineEndOf(cursor_); }

bool LegacyEditor::PrevLine() {
  const int start = LineStartOf(cursor_);
  if (start == 0) return false;
  cursor_ = LineStartOf(start - 1);
  return true;
}

bool LegacyEditor::NextLine() {
  const int end = LineEndOf(cursor_);
  if (end >= Length()) return false;
  cursor_ = end + 1;
  return true;
}

int LegacyEditor::CursorColumn() const { return ColumnOf(cursor_); }

int LegacyEditor::CursorLine() const {
  int line = 0;
  for (int pos = 0; pos < cursor_; ++pos) line += At(pos) == kCr;
  return line;
}

void LegacyEditor::GoToWantedColumn() {
  LineStart();
  int column = 0;
  while (column < wanted_column_ && cursor_ < Length() && At(cursor_) != kCr) {
    column = At(cursor_) == kTab ? NextTabStop(column) : column + 1;
    ++cursor_;
  }
  // A TAB that carried the column past the wanted one: the caret stays before it.
  if (column > wanted_column_) --cursor_;
}

bool LegacyEditor::SelectWord() {
  if (!IsLegacyWordChar(CharAtCursor())) return false;
  int start = cursor_;
  while (start > 0 && IsLegacyWordChar(At(start - 1))) --start;
  int end = cursor_;
  while (end < Length() && IsLegacyWordChar(At(end))) ++end;
  anchor_ = start;
  cursor_ = end;
  return true;
}

void LegacyEditor::BeginSelection() {
  if (selection_mode_ == 0) anchor_ = cursor_;
  selection_mode_ = 2;
}

void LegacyEditor::MoveLines(int count) {
  for (; count < 0; ++count)
    if (!PrevLine()) break;
  for (; count > 0; --count)
    if (!NextLine()) break;
}

void LegacyEditor::WordLeft() {
  if (cursor_ == 0) {
    selection_mode_ = 0;
    return;
  }
  // The previous word when the caret is already at a word's start.
  --cursor_;
  while (cursor_ > 0 && !IsLegacyWordChar(At(cursor_))) --cursor_;
  while (cursor_ > 0 && IsLegacyWordChar(At(cursor_ - 1))) --cursor_;
}

void LegacyEditor::WordRight() {
  const int length = Length();
  if (cursor_ >= length) {
    selection_mode_ = 0;
    return;
  }
  while (cursor_ < length && !IsLegacyWordChar(At(cursor_))) ++cursor_;
  while (cursor_ < length && IsLegacyWordChar(At(cursor_))) ++cursor_;
}

// Text changes.

void LegacyEditor::InsertChar(char ch) {
  if (!buffer_.InsertAt(cursor_, ch)) return;
  ++cursor_;
}

void LegacyEditor::DeleteRange(int start, int stop) {
  cursor_ = start;
  buffer_.DeleteRange(start, stop);
  selection_mode_ = 0;
}

void LegacyEditor::DeleteSelection() {
  if (HasSelection()) DeleteRange(SelectionStart(), SelectionStop());
  selection_mode_ = 0;
}

void LegacyEditor::ClearBuffer() {
  buffer_.Clear();
  encoding_ = SourceEncoding::Windows1252;
  cursor_ = anchor_ = top_of_screen_ = horizontal_scroll_ = wanted_column_ = 0;
  selection_mode_ = wanted_mode_ = 0;
  SetModified(false);
  mouse_selecting_ = false;
  HideLegacyCaret();
  LegacyPaint();
}

// Screen.

void LegacyEditor::LegacyLayOut(int client_width, int client_height, int status_bar_height,
                                int cell_width, int cell_height) {
  LegacyGeometry& g = geometry_;
  g.left = 1;
  g.top = 1;
  g.right = std::max(g.left, client_width - 1);
  g.bottom = std::max(g.top, client_height - status_bar_height - 1);
  g.cell_width = std::max(1, cell_width);
  g.cell_height = std::max(1, cell_height);
  g.left_margin = std::min(g.cell_width * 3 / 8, g.right - g.left);
  g.top_margin = std::min(g.cell_height * 3 / 16, g.bottom - g.top);
  g.columns = std::max(0, (g.right - g.left - g.left_margin) / g.cell_width);
  g.rows = std::max(1, (g.bottom - g.top - g.top_margin) / g.cell_height);
  g.row_width = g.columns / 2 * 2 + 2;
  rows_.assign(static_cast<std::size_t>((g.rows + 2) * g.row_width), 0);
  full_repaint_ = true;
  LegacyPaint();
}

std::uint16_t LegacyEditor::Cell(int row, int column) const {
  return rows_[static_cast<std::size_t>((row + 1) * geometry_.row_width + column)];
}

bool LegacyEditor::InsideText(int x, int y) const {
  const LegacyGeometry& g = geometry_;
  return x >= g.left && x < g.right && y >= g.top && y < g.bottom;
}

void LegacyEditor::LegacyPaint() {
  ScrollToCursorLine();
  PlaceCaret();
  if (full_repaint_ && screen_) screen_->FrameChanged();
  PaintRows();
  StartCaretBlink();
  full_repaint_ = false;
}

void LegacyEditor::ScrollToCursorLine() {
  top_of_screen_ = LineStartOf(std::min(top_of_screen_, Length()));
  const int cursor_line = LineStartOf(cursor_);
  if (cursor_line < top_of_screen_) {
    top_of_screen_ = cursor_line;
    return;
  }
  int up = cursor_line;
  for (int i = 1; i < geometry_.rows && up > 0; ++i) up = LineStartOf(up - 1);
  top_of_screen_ = std::max(top_of_screen_, up);
}

void LegacyEditor::PlaceCaret() {
  const int cursor_line = LineStartOf(cursor_);
  caret_row_ = 0;
  for (int p = top_of_screen_; p < cursor_line; ++p)
    if (At(p) == kCr) ++caret_row_;
  const int column = CursorColumn();
  if (column < horizontal_scroll_) horizontal_scroll_ = column;
  if (column > horizontal_scroll_ + geometry_.columns)
    horizontal_scroll_ = column - geometry_.columns;
  caret_column_ = column - horizontal_scroll_;
}

void LegacyEditor::PaintRows() {
  if (rows_.empty()) return;
  const int length = Length();
  int pos = top_of_screen_;
  bool beyond = false;  // below the last line: blank rows
  for (int row = 0; row <= geometry_.rows; ++row) {
    if (beyond) {
      FillBuiltRow(0, 0);
    } else {
      const int end = BuildLineRow(pos);
      beyond = end >= length;
      pos = beyond ? end : end + 1;
    }
    ShowBuiltRow(row);
  }
}

int LegacyEditor::BuildLineRow(int pos) {
  const int length = Length();
  std::uint16_t* built = rows_.data();
  int col = 0;
  int cell = 0;  // past the last cell written
  const auto put = [&](char c, std::uint16_t attribute) {
    const int shown = col - horizontal_scroll_;
    if (shown >= 0 && shown < geometry_.row_width) {
      built[shown] = static_cast<std::uint16_t>(static_cast<unsigned char>(c) | attribute);
      cell = shown + 1;
    }
    ++col;
  };
  for (; pos < length && At(pos) != kCr; ++pos) {
    const std::uint16_t attribute = InSelection(pos) ? kSelectedCell : 0;
    if (At(pos) == kTab) {
      const int stop = NextTabStop(col);
      while (col < stop) put(' ', attribute);
    } else {
      put(At(pos), attribute);
    }
  }
  FillBuiltRow(cell, InSelection(pos) ? kSelectedCell : 0);
  return pos;
}

void LegacyEditor::FillBuiltRow(int from_cell, std::uint16_t attribute) {
  for (int cell = from_cell; cell < geometry_.row_width; ++cell)
    rows_[static_cast<std::size_t>(cell)] = static_cast<std::uint16_t>(' ' | attribute);
}

void LegacyEditor::ShowBuiltRow(int row) {
  const auto width = static_cast<std::size_t>(geometry_.row_width);
  const std::uint16_t* built = rows_.data();
  std::uint16_t* shown = rows_.data() + static_cast<std::size_t>(row + 1) * width;
  if (!full_repaint_ && std::equal(built, built + width, shown)) return;
  std::copy(built, built + width, shown);
  if (screen_) screen_->RowsChanged(row, 1);
}

void LegacyEditor::StartCaretBlink() {
  caret_shown_ = true;
  if (screen_) screen_->CaretChanged();
  blink_ = 4;
  if (!cursor_timer_ && timers_) timers_->SetCursorTimer(true);
  cursor_timer_ = true;
}

void LegacyEditor::ToggleLegacyCaret() {
  caret_shown_ = !caret_shown_;
  if (screen_) screen_->CaretChanged();
}

void LegacyEditor::HideLegacyCaret() {
  if (caret_shown_) ToggleLegacyCaret();
  if (cursor_timer_ && timers_) timers_->SetCursorTimer(false);
  cursor_timer_ = false;
}

void LegacyEditor::CursorTimerTick() {
  // A blink every fourth tick: 500 ms on, 500 ms off.
  if ((blink_ & 3) == 3) ToggleLegacyCaret();
  ++blink_;
}

// Keys.

void LegacyEditor::HalveModes() {
  selection_mode_ /= 2;
  wanted_mode_ /= 2;
}

void LegacyEditor::AfterChange() {
  HideLegacyCaret();
  LegacyPaint();
}

bool LegacyEditor::FormKeyDown(LegacyKey key, bool shift, bool ctrl) {
  if (mouse_selecting_) return false;
  if ((key == LegacyKey::Up || key == LegacyKey::Down) && ctrl) return false;
  if (key == LegacyKey::Backspace || key == LegacyKey::Delete) {
    DeleteKey(key == LegacyKey::Backspace, shift, ctrl);
  } else {
    if (shift) BeginSelection();
    MoveKey(key, ctrl);
  }
  HalveModes();
  AfterChange();
  return true;
}

void LegacyEditor::DeleteKey(bool backspace, bool shift, bool ctrl) {
  if (HasSelection()) {
    DeleteSelection();
    return;
  }
  if (ctrl && !shift) {
    const int line_end = LineEndOf(cursor_);
    DeleteRange(LineStartOf(cursor_), line_end < Length() ? line_end + 1 : line_end);
  } else if (backspace) {
    DeleteBackward(shift, ctrl);
  } else {
    DeleteForward(shift, ctrl);
  }
}

void LegacyEditor::DeleteBackward(bool shift, bool ctrl) {
  if (shift && ctrl)
    DeleteRange(0, cursor_);
  else if (shift)
    DeleteRange(LineStartOf(cursor_), cursor_);
  else if (cursor_ > 0)
    DeleteRange(cursor_ - 1, cursor_);
}

void LegacyEditor::DeleteForward(bool shift, bool ctrl) {
  if (shift && ctrl)
    DeleteRange(cursor_, Length());
  else if (shift)
    DeleteRange(cursor_, LineEndOf(cursor_));
  else if (cursor_ < Length())
    DeleteRange(cursor_, cursor_ + 1);
}

void LegacyEditor::MoveKey(LegacyKey key, bool ctrl) {
  switch (key) {
    case LegacyKey::PageUp: PageUpKey(ctrl); break;
    case LegacyKey::PageDown: PageDownKey(ctrl); break;
    case LegacyKey::Home:
      if (ctrl)
        cursor_ = 0;
      else
        LineStart();
      break;
    case LegacyKey::End:
      if (ctrl)
        cursor_ = Length();
      else
        LineEnd();
      break;
    case LegacyKey::Left:
      if (ctrl)
        WordLeft();
      else
        CursorLeft();
      break;
    case LegacyKey::Right:
      if (ctrl)
        WordRight();
      else
        CursorRight();
      break;
    case LegacyKey::Up: LineKey(true); break;
    case LegacyKey::Down: LineKey(false); break;
    case LegacyKey::Backspace:
    case LegacyKey::Delete: break;
  }
}

void LegacyEditor::PageUpKey(bool ctrl) {
  if (ctrl)
    cursor_ = 0;
  else if (cursor_ != top_of_screen_)
    cursor_ = top_of_screen_;
  else
    MoveLines(-geometry_.rows);
}

void LegacyEditor::PageDownKey(bool ctrl) {
  if (ctrl) {
    cursor_ = Length();
    return;
  }
  const int was = cursor_;
  cursor_ = top_of_screen_;
  MoveLines(geometry_.rows - 1);
  if (was >= cursor_) MoveLines(geometry_.rows);
}

void LegacyEditor::LineKey(bool up) {
  if (wanted_mode_ == 0) wanted_column_ = CursorColumn();
  wanted_mode_ = 2;
  if (up ? PrevLine() : NextLine()) GoToWantedColumn();
}

void LegacyEditor::FormKeyPress(unsigned char ch) {
  if (mouse_selecting_ || !IsLegacyInsertable(static_cast<char>(ch))) return;
  if (!Fits(1, HasSelection() ? SelectionStop() - SelectionStart() : 0)) return;
  DeleteSelection();
  InsertChar(static_cast<char>(ch));
  HalveModes();
  AfterChange();
}

void LegacyEditor::FormMouseWheel(bool towards_user) {
  for (int i = geometry_.rows / 8 + 1; i > 0; --i)
    FormKeyDown(towards_user ? LegacyKey::Down : LegacyKey::Up, false, false);
}

// Mouse.

void LegacyEditor::CursorToPoint(int x, int y) {
  const LegacyGeometry& g = geometry_;
  // Half a cell to the right: a click snaps to the nearest character boundary.
  const int column = std::max(0, (x + g.cell_width / 2 - g.left - g.left_margin) / g.cell_width) +
                     horizontal_scroll_;
  const int row = std::max(0, (y - g.top - g.top_margin) / g.cell_height);
  cursor_ = top_of_screen_;
  MoveLines(row);
  wanted_column_ = column;
  GoToWantedColumn();
}

void LegacyEditor::FormMouseDown(int x, int y, std::uint32_t tick) {
  clicks_[2] = clicks_[1];
  clicks_[1] = clicks_[0];
  clicks_[0] = tick;
  const bool last_quick = clicks_[0] - clicks_[1] < kClickInterval;
  const bool before_quick = clicks_[1] - clicks_[2] < kClickInterval;
  const int clicks = last_quick ? (before_quick ? 3 : 2) : 1;

  if (InsideText(x, y)) CursorToPoint(x, y);
  if (clicks == 1) {
    anchor_ = cursor_;
    selection_mode_ = 1;
    mouse_selecting_ = true;
  } else if (clicks == 2) {
    if (SelectWord()) selection_mode_ = 1;
  } else {
    anchor_ = LineStartOf(cursor_);
    const int end = LineEndOf(cursor_);
    cursor_ = end < Length() ? end + 1 : end;
    selection_mode_ = 1;
  }
  AfterChange();
}

void LegacyEditor::FormMouseMove(int x, int y) {
  if (!mouse_selecting_) return;
  const LegacyGeometry& g = geometry_;
  int vertical = 0;
  int horizontal = 0;
  if (y < g.top)
    vertical = -((g.top - y) / g.cell_height + 1);
  else if (y >= g.bottom)
    vertical = (y - g.bottom) / g.cell_height + 1;
  if (x < g.left)
    horizontal = -((g.left - x) / g.cell_width + 1);
  else if (x >= g.right)
    horizontal = (x - g.right) / g.cell_width + 1;

  const bool was_scrolling = vertical_step_ != 0 || horizontal_step_ != 0;
  vertical_step_ = vertical;
  horizontal_step_ = horizontal;
  const bool scrolling = vertical != 0 || horizontal != 0;
  if (scrolling != was_scrolling && timers_) timers_->SetSelectTimer(scrolling);
  if (!scrolling) {
    CursorToPoint(x, y);
    AfterChange();
  }
}

void LegacyEditor::FormMouseUp() {
  mouse_selecting_ = false;
  if ((vertical_step_ != 0 || horizontal_step_ != 0) && timers_) timers_->SetSelectTimer(false);
  vertical_step_ = horizontal_step_ = 0;
}

void LegacyEditor::SelectTimerTick() {
  if (horizontal_step_ != 0) {
    for (int i = horizontal_step_; i < 0 && cursor_ > 0 && At(cursor_ - 1) != kCr; ++i) --cursor_;
    for (int i = horizontal_step_; i > 0 && cursor_ < Length() && At(cursor_) != kCr; --i)
      ++cursor_;
    wanted_column_ = CursorColumn();
  }
  if (vertical_step_ != 0) {
    MoveLines(vertical_step_);
    GoToWantedColumn();
  }
  AfterChange();
}

}  // namespace workbench
