#pragma once
// LegacyEditor: the plain editor that the main window draws itself when the enhanced editor is
// off. One file at a time in one flat buffer (LegacyTextBuffer), lines ending in a single CR;
// the caret, the selection, the keys, the mouse and the find commands work on text positions.
// The window under it only measures, draws the cells this object builds and runs its timers.
//
// Painting keeps a row cache: each LegacyPaint builds every shown row again and reports only
// the rows whose cells differ from what is shown.
//
// Text beyond the capacity is never cut off: a load, a key, a paste or a replace that would
// not fit is refused with a box and the text stays as it was.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "services/replace_file.h"
#include "workbench/old_editor_buffer.h"
#include "workbench/source_encoding.h"

namespace platform {
class Clipboard;
}

namespace workbench {

class MessageStrings;

// Called by the editor when what the window shows must be drawn again.
class LegacyScreen {
 public:
  virtual ~LegacyScreen() = default;
  virtual void RowsChanged(int first_row, int count) = 0;
  virtual void FrameChanged() = 0;
  // The caret was shown or hidden.
  virtual void CaretChanged() = 0;
};

// The editor's two timers: while on, the window calls CursorTimerTick every 125 ms and
// SelectTimerTick every 100 ms.
class LegacyTimers {
 public:
  virtual ~LegacyTimers() = default;
  virtual void SetCursorTimer(bool on) = 0;
  virtual void SetSelectTimer(bool on) = 0;
};

inline constexpr int kCursorTimerMs = 125;
inline constexpr int kSelectTimerMs = 100;

enum class LegacyKey { Backspace, Delete, PageUp, PageDown, Home, End, Left, Right, Up, Down };

// A row cell: the character in the low byte, the attribute in the high byte.
inline constexpr std::uint16_t kSelectedCell = 0x100;

struct LegacyGeometry {
  int left = 1, top = 1, right = 1, bottom = 1;  // the text rectangle
  int cell_width = 1, cell_height = 1;
  int left_margin = 0, top_margin = 0;
  int columns = 0, rows = 1;
  int row_width = 2;
};

// What the find/replace form answered.
struct LegacyFindChoice {
  enum Result { kCancel, kFind, kReplace, kReplaceAll };
  Result result = kCancel;
  std::string find_text;
  std::string replace_text;
  bool from_start = false;
  bool word_only = false;          // "&Word Only" ticked
  bool word_only_enabled = false;  // and enabled
};

// Line counts that the print form shows.
struct LegacyPrintCounts {
  bool has_selection = false;
  int text_lines = 0;
  int selection_lines = 0;
};

class LegacyEditor {
 public:
  explicit LegacyEditor(const MessageStrings& messages, int capacity = kLegacyCapacity);

  void SetScreen(LegacyScreen* screen) { screen_ = screen; }
  void SetTimers(LegacyTimers* timers) { timers_ = timers; }

  // The text.
  const LegacyTextBuffer& Buffer() const { return buffer_; }
  // The whole text with a NUL after it, for the built-in assembler; valid until a change.
  const char* TerminatedText() { return buffer_.Terminated(); }
  int Length() const { return buffer_.Length(); }
  std::string Text() const { return buffer_.Text(0, buffer_.Length()); }
  // The text changed since the last load or save (or SetModified(false)).
  bool Modified() const { return buffer_.Revision() != saved_revision_; }
  void SetModified(bool modified) { saved_revision_ = modified ? kNoRevision : buffer_.Revision(); }

  // The caret and the selection.
  int Cursor() const { return cursor_; }
  int Anchor() const { return anchor_; }
  int SelectionMode() const { return selection_mode_; }
  bool HasSelection() const { return selection_mode_ != 0 && cursor_ != anchor_; }
  int SelectionStart() const { return cursor_ < anchor_ ? cursor_ : anchor_; }
  int SelectionStop() const { return cursor_ < anchor_ ? anchor_ : cursor_; }
  std::string SelectedText() const;
  // Caret to pos, no selection.
  void SetCursor(int pos);
  // Shows [start, stop) selected with the caret at stop (the built-in assembler's error token).
  void Select(int start, int stop);
  bool MouseSelecting() const { return mouse_selecting_; }
  int WantedColumn() const { return wanted_column_; }

  // Moves of the caret; each false (and the caret unmoved) at the text's start or end.
  char CharAtCursor() const;
  bool CursorLeft();
  bool CursorRight();
  void LineStart();
  void LineEnd();
  bool PrevLine();
  bool NextLine();
  int CursorColumn() const;
  // The caret's line, 0-based: the line breaks before it.
  int CursorLine() const;
  void GoToWantedColumn();
  bool SelectWord();
  void BeginSelection();

  // Changes of the text.
  void InsertChar(char ch);
  void DeleteRange(int start, int stop);
  void DeleteSelection();
  void ClearBuffer();

  // Screen.
  void LegacyLayOut(int client_width, int client_height, int status_bar_height, int cell_width,
                    int cell_height);
  void LegacyPaint();
  void ToggleLegacyCaret();
  void HideLegacyCaret();
  void SetFullRepaint() { full_repaint_ = true; }
  const LegacyGeometry& Geometry() const { return geometry_; }
  int TopOfScreen() const { return top_of_screen_; }
  int HorizontalScroll() const { return horizontal_scroll_; }
  int CaretRow() const { return caret_row_; }
  int CaretColumn() const { return caret_column_; }
  bool CaretShown() const { return caret_shown_; }
  // A cell of a shown row (0 <= row <= rows, 0 <= column < row_width).
  std::uint16_t Cell(int row, int column) const;
  bool InsideText(int x, int y) const;
  // Releases the row buffer (the window is going); a lay-out makes it again.
  void FreeRows() { rows_.clear(); }
  bool HasRows() const { return !rows_.empty(); }

  // Window events.
  bool FormKeyDown(LegacyKey key, bool shift, bool ctrl);
  void FormKeyPress(unsigned char ch);
  void FormMouseWheel(bool towards_user);
  void FormMouseDown(int x, int y, std::uint32_t tick);
  void FormMouseMove(int x, int y);
  void FormMouseUp();
  void CursorTimerTick();
  void SelectTimerTick();
  int VerticalScrollStep() const { return vertical_step_; }
  int HorizontalScrollStep() const { return horizontal_step_; }

  // Files: lines end in CR in memory, in CR LF on disk; a lone LF or a lone CR is a line end
  // too. A text that does not fit is refused with its box; LoadFile tells of zero bytes in one.
  [[nodiscard]] bool LoadText(std::string_view file_bytes);
  std::string SaveText() const;
  enum class FileResult { kOk, kTooLarge, kCannotRead, kCannotWrite };
  // The whole file or nothing: on any failure the text (or the file) stays as it was.
  [[nodiscard]] FileResult LoadFile(const std::string& name);
  // Written whole through the writer (through a link into the file it names).
  [[nodiscard]] FileResult SaveFile(const std::string& name,
                                    const FileBytesWriter& writer = WriteAllBytes);

  // Clipboard (plain text with CR LF).
  void LegacyCopy(platform::Clipboard& clipboard) const;
  void LegacyCut(platform::Clipboard& clipboard);
  void LegacyPaste(const platform::Clipboard& clipboard);
  // Replaces the text by another editor's (before a built-in assembly): its line ends become
  // CRs, and what a paste would drop goes; false when it does not fit (the caller says why:
  // the limit is the assembler's there).
  [[nodiscard]] bool ReplaceAllText(std::string_view text);

  // Find and replace.
  void EditFindReplace(const LegacyFindChoice& choice);
  void EditFind(const LegacyFindChoice& choice);
  void EditReplace(const LegacyFindChoice& choice);
  bool LegacyFind(const LegacyFindChoice& choice);
  bool LegacyReplace(const LegacyFindChoice& choice);

  // Printing: the counts for the print form and the positions [start, end) to print.
  LegacyPrintCounts PrintCounts() const;
  void PrintRange(bool selection, int& start, int& end) const;
  // The line from `pos` as printed: up to its CR, TABs expanded to multiples of 8, cut at
  // `columns` characters; pos moves to the next line.
  std::string PrintLine(int& pos, int end, int columns) const;

 private:
  char At(int pos) const { return buffer_.At(pos); }
  int LineStartOf(int pos) const;
  int LineEndOf(int pos) const;
  int ColumnOf(int pos) const;
  bool InSelection(int pos) const;
  // Cursor := TopOfScreen down `row` lines at the column under x.
  void CursorToPoint(int x, int y);
  void MoveLines(int count);
  void WordLeft();
  void WordRight();
  void HalveModes();
  // The steps of a key: a deletion or a caret move.
  void DeleteKey(bool backspace, bool shift, bool ctrl);
  void DeleteBackward(bool shift, bool ctrl);
  void DeleteForward(bool shift, bool ctrl);
  void MoveKey(LegacyKey key, bool ctrl);
  void PageUpKey(bool ctrl);
  void PageDownKey(bool ctrl);
  // Up or Down: to the column wanted since the first of a run of them.
  void LineKey(bool up);
  // The steps of a paint: the first shown line and the caret follow the cursor, then each row
  // is built in row 0 of the cache and shown where it differs.
  void ScrollToCursorLine();
  void PlaceCaret();
  void PaintRows();
  // The line from pos into the row being built; returns where the line ends (its CR or the
  // text's end).
  int BuildLineRow(int pos);
  void FillBuiltRow(int from_cell, std::uint16_t attribute);
  void ShowBuiltRow(int row);
  void StartCaretBlink();
  void AfterChange();
  // Whether `count` more characters fit once `freed` are deleted; Fits shows the box when not.
  bool Holds(int count, int freed) const;
  bool Fits(int count, int freed) const;
  void InsertFiltered(std::string_view text);
  void ShowBox(int text_id) const;

  const MessageStrings& messages_;
  LegacyTextBuffer buffer_;
  // The encoding the loaded file came in, which a save writes again; a new text's is 8-bit.
  SourceEncoding encoding_ = SourceEncoding::Windows1252;
  LegacyScreen* screen_ = nullptr;
  LegacyTimers* timers_ = nullptr;

  int cursor_ = 0;
  int anchor_ = 0;
  int selection_mode_ = 0;  // 0 none, 1 shown, 2 being extended
  int wanted_column_ = 0;
  int wanted_mode_ = 0;
  static constexpr std::uint64_t kNoRevision = ~std::uint64_t{0};
  std::uint64_t saved_revision_ = 0;  // the buffer's revision at the last load or save
  bool mouse_selecting_ = false;
  // Newest first; the start values see no double click at start.
  std::uint32_t clicks_[3] = {0, 500, 1000};

  LegacyGeometry geometry_;
  int top_of_screen_ = 0;
  int horizontal_scroll_ = 0;
  int caret_row_ = 0;
  int caret_column_ = 0;
  // (rows + 2) x row_width cells: row 0 is the row being built, row r + 1 shows screen row r.
  std::vector<std::uint16_t> rows_;
  int blink_ = 0;
  bool caret_shown_ = false;
  bool cursor_timer_ = false;
  bool full_repaint_ = true;
  int vertical_step_ = 0;
  int horizontal_step_ = 0;
};

// A word character of the legacy editor: A-Z, a-z, 0-9 and "_".
bool IsLegacyWordChar(char c);
// What a key press, a paste or a replacement may insert: TAB, CR, " " to "~", 128 and above.
bool IsLegacyInsertable(char c);
// A file's bytes as the editor keeps them: CR LF, lone LF and lone CR become CR, a zero byte
// becomes kZeroByteStandIn (so the text goes on behind it), and every other character below
// 32 except TAB goes.
std::string LegacyTextFromFile(std::string_view bytes);

}  // namespace workbench
