#include "workbench/old_editor.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>

#include "memory_clipboard.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "tests/services/full_disk.h"
#include "tests/services/temp_folder.h"

namespace workbench {
namespace {

// Texts in the tables: "|" is the caret, "^" the other end of a shown selection, "\r" a line
// end as the editor keeps it.

class FakeTimers : public LegacyTimers {
 public:
  void SetCursorTimer(bool on) override { cursor = on; }
  void SetSelectTimer(bool on) override { select = on; }
  bool cursor = false;
  bool select = false;
};

class FakeScreen : public LegacyScreen {
 public:
  void RowsChanged(int first_row, int count) override {
    for (int r = first_row; r < first_row + count; ++r) rows.insert(r);
  }
  void FrameChanged() override { frame = true; }
  void CaretChanged() override { ++caret_changes; }
  std::set<int> rows;
  bool frame = false;
  int caret_changes = 0;
};

// Cells of 8 x 16 pixels; the window gives 10 columns and 4 rows.
constexpr int kCellWidth = 8;
constexpr int kCellHeight = 16;
constexpr int kClientWidth = 87;
constexpr int kClientHeight = 69;

// A key on the text `before` gives `after`.
struct KeyCase {
  const char* before;
  LegacyKey key;
  bool shift;
  bool ctrl;
  const char* after;
};

class LegacyEditorTest : public ::testing::Test {
 protected:
  explicit LegacyEditorTest(int capacity = kLegacyCapacity)
      : messages_(texts_, boxes_), editor_(messages_, capacity) {}

  void SetUp() override {
    texts_.InitLocalization("x");
    editor_.SetScreen(&screen_);
    editor_.SetTimers(&timers_);
    editor_.LegacyLayOut(kClientWidth, kClientHeight, 0, kCellWidth, kCellHeight);
  }

  // Loads the marked text and places the caret and selection.
  void Put(const std::string& marked) {
    std::string text;
    int cursor = 0;
    int anchor = -1;
    for (char c : marked) {
      if (c == '|')
        cursor = static_cast<int>(text.size());
      else if (c == '^')
        anchor = static_cast<int>(text.size());
      else
        text += c;
    }
    ASSERT_TRUE(editor_.LoadText(text));
    if (anchor >= 0)
      editor_.Select(anchor, cursor);
    else
      editor_.SetCursor(cursor);
    editor_.LegacyPaint();
  }

  template <std::size_t N>
  void ExpectKeys(const KeyCase (&cases)[N]) {
    for (const KeyCase& c : cases) {
      Put(c.before);
      editor_.SetModified(false);
      EXPECT_TRUE(editor_.FormKeyDown(c.key, c.shift, c.ctrl));
      EXPECT_EQ(Shown(), c.after) << "from " << c.before;
    }
  }

  // A click time far from every other: a single click.
  std::uint32_t LoneTick() { return tick_ += 10'000; }

  std::string Shown() const {
    std::string text = editor_.Text();
    std::string marked;
    for (int pos = 0; pos <= static_cast<int>(text.size()); ++pos) {
      if (editor_.HasSelection() && pos == editor_.Anchor()) marked += '^';
      if (pos == editor_.Cursor()) marked += '|';
      if (pos < static_cast<int>(text.size())) marked += text[static_cast<std::size_t>(pos)];
    }
    return marked;
  }

  // The pixel at the left edge of column c of row r.
  static int X(int column) { return 1 + 3 + column * kCellWidth; }
  static int Y(int row) { return 1 + 3 + row * kCellHeight + 1; }

  std::string Row(int row) const {
    std::string shown;
    for (int c = 0; c < editor_.Geometry().row_width; ++c)
      shown += static_cast<char>(editor_.Cell(row, c) & 0xFF);
    return shown;
  }
  std::string RowAttributes(int row) const {
    std::string shown;
    for (int c = 0; c < editor_.Geometry().row_width; ++c)
      shown += (editor_.Cell(row, c) & kSelectedCell) ? 's' : '.';
    return shown;
  }

  Localizer texts_;
  platform::RecordingMessageBoxes boxes_;
  MessageStrings messages_;
  FakeTimers timers_;
  FakeScreen screen_;
  LegacyEditor editor_;
  std::uint32_t tick_ = 1'000'000;
};

// ---------------------------------------------------------------------------------------
// Keys

TEST_F(LegacyEditorTest, KeysMoveTheCaret) {
  const KeyCase cases[] = {
      {"ab|c", LegacyKey::Left, false, false, "a|bc"},
      {"|abc", LegacyKey::Left, false, false, "|abc"},
      {"ab|c", LegacyKey::Right, false, false, "abc|"},
      {"abc|", LegacyKey::Right, false, false, "abc|"},
      {"ab|\rc", LegacyKey::Right, false, false, "ab\r|c"},
      {"ab|c\rdef", LegacyKey::Home, false, false, "|abc\rdef"},
      {"a|bc\rdef", LegacyKey::End, false, false, "abc|\rdef"},
      {"abc\rd|ef", LegacyKey::Home, false, true, "|abc\rdef"},
      {"a|bc\rdef", LegacyKey::End, false, true, "abc\rdef|"},
      {"ab|c\rdef", LegacyKey::Down, false, false, "abc\rde|f"},
      {"abc\rde|f", LegacyKey::Up, false, false, "ab|c\rdef"},
      {"abcdef|\rab", LegacyKey::Down, false, false, "abcdef\rab|"},
      {"|abc", LegacyKey::Up, false, false, "|abc"},
      {"ab|c", LegacyKey::Down, false, false, "ab|c"},
      // Ctrl+Left: the start of the word at or before the caret, the previous word at a
      // word's start; Ctrl+Right: the end of the next word that ends after the caret.
      {"foo b|ar", LegacyKey::Left, false, true, "foo |bar"},
      {"foo |bar", LegacyKey::Left, false, true, "|foo bar"},
      {"foo bar|", LegacyKey::Left, false, true, "foo |bar"},
      {"  |foo", LegacyKey::Left, false, true, "|  foo"},
      {"|foo bar", LegacyKey::Right, false, true, "foo| bar"},
      {"f|oo bar", LegacyKey::Right, false, true, "foo| bar"},
      {"foo| bar", LegacyKey::Right, false, true, "foo bar|"},
      {"a_1|.x2\r", LegacyKey::Right, false, true, "a_1.x2|\r"},
  };
  ExpectKeys(cases);
}

TEST_F(LegacyEditorTest, ShiftExtendsTheSelectionAndASecondPlainKeyDropsIt) {
  const KeyCase cases[] = {
      {"a|bc", LegacyKey::Right, true, false, "a^b|c"},
      {"a^b|c", LegacyKey::Right, true, false, "a^bc|"},
      {"a|bc\rd", LegacyKey::End, true, false, "a^bc|\rd"},
      {"ab|c\rd", LegacyKey::Down, true, false, "ab^c\rd|"},
      {"foo b|ar", LegacyKey::Left, true, true, "foo |b^ar"},
      {"ab|c", LegacyKey::Home, true, true, "|ab^c"},
      // At the text's start or end a word move drops the selection.
      {"|ab^", LegacyKey::Left, true, true, "|ab"},
      {"^ab|", LegacyKey::Right, true, true, "ab|"},
      // A move without Shift ends a shown selection.
      {"a^b|c", LegacyKey::Right, false, false, "abc|"},
  };
  ExpectKeys(cases);
}

TEST_F(LegacyEditorTest, BackspaceAndDeleteAcrossLines) {
  const KeyCase cases[] = {
      {"ab|c", LegacyKey::Backspace, false, false, "a|c"},
      {"|abc", LegacyKey::Backspace, false, false, "|abc"},
      {"ab\r|cd", LegacyKey::Backspace, false, false, "ab|cd"},
      {"x\rab|c", LegacyKey::Backspace, true, false, "x\r|c"},
      {"x\rab|c\ry", LegacyKey::Backspace, false, true, "x\r|y"},
      {"x\rab|c", LegacyKey::Backspace, true, true, "|c"},
      {"a|bc", LegacyKey::Delete, false, false, "a|c"},
      {"abc|", LegacyKey::Delete, false, false, "abc|"},
      {"ab|\rcd", LegacyKey::Delete, false, false, "ab|cd"},
      {"x\ra|bc\ry", LegacyKey::Delete, true, false, "x\ra|\ry"},
      {"x\ra|bc\ry", LegacyKey::Delete, false, true, "x\r|y"},
      {"x\ra|b", LegacyKey::Delete, false, true, "x\r|"},
      {"x\ra|bc\ry", LegacyKey::Delete, true, true, "x\ra|"},
      // A selection goes alone.
      {"a^b\rc|d", LegacyKey::Backspace, false, false, "a|d"},
      {"a|bc^d", LegacyKey::Delete, false, true, "a|d"},
  };
  ExpectKeys(cases);
  EXPECT_TRUE(editor_.Modified());
}

TEST_F(LegacyEditorTest, CtrlUpAndCtrlDownDoNothing) {
  for (LegacyKey key : {LegacyKey::Up, LegacyKey::Down}) {
    Put("ab\rc^d|e\rfg");
    EXPECT_FALSE(editor_.FormKeyDown(key, false, true));
    EXPECT_FALSE(editor_.FormKeyDown(key, true, true));
    EXPECT_EQ(Shown(), "ab\rc^d|e\rfg");
  }
}

TEST_F(LegacyEditorTest, TypedCharactersReplaceTheSelection) {
  struct Case {
    const char* before;
    unsigned char ch;
    const char* after;
  };
  const Case cases[] = {
      {"a|b", 'x', "ax|b"},   {"a^bc|d", 'x', "ax|d"},  {"ab|cd", '\r', "ab\r|cd"},
      {"a|b", '\t', "a\t|b"}, {"a|b", 0xE9, "a\xE9|b"}, {"a|b", 0x01, "a|b"},
      {"a|b", 0x7F, "a|b"},   {"a|b", '\n', "a|b"},
  };
  for (const Case& c : cases) {
    Put(c.before);
    editor_.FormKeyPress(c.ch);
    EXPECT_EQ(Shown(), c.after) << "from " << c.before << " with " << int(c.ch);
  }
}

TEST_F(LegacyEditorTest, UpAndDownKeepTheColumnTheFirstOfThemStartedFrom) {
  Put("abcdef|\rab\r\tx\rabcdefgh");
  editor_.FormKeyDown(LegacyKey::Down, false, false);
  EXPECT_EQ(Shown(), "abcdef\rab|\r\tx\rabcdefgh");
  // A TAB that would carry the caret past the column: it stops before it.
  editor_.FormKeyDown(LegacyKey::Down, false, false);
  EXPECT_EQ(Shown(), "abcdef\rab\r|\tx\rabcdefgh");
  editor_.FormKeyDown(LegacyKey::Down, false, false);
  EXPECT_EQ(Shown(), "abcdef\rab\r\tx\rabcdef|gh");
  EXPECT_EQ(editor_.WantedColumn(), 6);
  // Another key ends the run: the next Up takes its column from where the caret is.
  editor_.FormKeyDown(LegacyKey::Left, false, false);
  editor_.FormKeyDown(LegacyKey::Up, false, false);
  EXPECT_EQ(editor_.WantedColumn(), 5);
}

TEST_F(LegacyEditorTest, ColumnsCountTabsToTheNextMultipleOfEight) {
  struct Case {
    const char* text;
    int column;
  };
  const Case cases[] = {
      {"abcde\t|x", 8}, {"\t|", 8}, {"a\t\t|", 16}, {"abcdefgh\t|", 16}, {"ab\rc|", 1},
  };
  for (const Case& c : cases) {
    Put(c.text);
    EXPECT_EQ(editor_.CursorColumn(), c.column) << c.text;
  }
  // A TAB at column 5 takes the caret to column 8.
  Put("abcde|\tx");
  editor_.FormKeyDown(LegacyKey::Right, false, false);
  EXPECT_EQ(editor_.CursorColumn(), 8);
  EXPECT_EQ(editor_.CaretColumn(), 8);
}

TEST_F(LegacyEditorTest, PageKeysWalkTheShownRows) {
  // Four rows are shown; ten lines "0" to "9".
  Put("|0\r1\r2\r3\r4\r5\r6\r7\r8\r9");
  const auto line = [this] {
    int n = 0;
    for (int p = 0; p < editor_.Cursor(); ++p)
      n += editor_.Text()[static_cast<std::size_t>(p)] == '\r';
    return n;
  };
  editor_.FormKeyDown(LegacyKey::PageDown, false, false);
  EXPECT_EQ(line(), 3);  // the last shown row
  editor_.FormKeyDown(LegacyKey::PageDown, false, false);
  EXPECT_EQ(line(), 7);                 // four rows further
  EXPECT_EQ(editor_.TopOfScreen(), 8);  // line 4 is now the first shown
  editor_.FormKeyDown(LegacyKey::PageUp, false, false);
  EXPECT_EQ(line(), 4);  // the first shown row
  editor_.FormKeyDown(LegacyKey::PageUp, false, false);
  EXPECT_EQ(line(), 0);
  editor_.FormKeyDown(LegacyKey::PageDown, false, true);
  EXPECT_EQ(editor_.Cursor(), editor_.Length());
  editor_.FormKeyDown(LegacyKey::PageUp, true, true);
  EXPECT_EQ(editor_.Cursor(), 0);
  EXPECT_TRUE(editor_.HasSelection());
}

TEST_F(LegacyEditorTest, TheWheelSendsUpOrDownOncePerEightRowsAndOnce) {
  Put("|0\r1\r2\r3\r4\r5");
  editor_.FormMouseWheel(true);  // 4 rows: 4 / 8 + 1 = 1 line
  EXPECT_EQ(Shown(), "0\r|1\r2\r3\r4\r5");
  editor_.FormMouseWheel(false);
  EXPECT_EQ(Shown(), "|0\r1\r2\r3\r4\r5");
}

TEST_F(LegacyEditorTest, KeysDoNothingWhileTheMouseSelects) {
  Put("ab|c");
  editor_.FormMouseDown(X(1), Y(0), LoneTick());
  EXPECT_FALSE(editor_.FormKeyDown(LegacyKey::Right, false, false));
  editor_.FormKeyPress('x');
  EXPECT_EQ(editor_.Text(), "abc");
  editor_.FormMouseUp();
  EXPECT_TRUE(editor_.FormKeyDown(LegacyKey::Right, false, false));
}

// ---------------------------------------------------------------------------------------
// Mouse

TEST_F(LegacyEditorTest, AClickSnapsToTheNearestCharacterBoundary) {
  struct Case {
    int x, y;
    const char* after;
  };
  const Case cases[] = {
      {X(2), Y(0), "ab|cd\refgh"},
      {X(2) + kCellWidth / 2 - 1, Y(0), "ab|cd\refgh"},
      {X(2) + kCellWidth / 2, Y(0), "abc|d\refgh"},
      {X(9), Y(0), "abcd|\refgh"},
      {X(1), Y(1), "abcd\re|fgh"},
      {X(1), Y(3), "abcd\re|fgh"},  // below the last line: the last line
      {2, Y(0), "|abcd\refgh"},     // in the left margin
  };
  for (const Case& c : cases) {
    Put("|abcd\refgh");
    editor_.FormMouseDown(c.x, c.y, LoneTick());
    editor_.FormMouseUp();
    EXPECT_EQ(Shown(), c.after) << c.x << "," << c.y;
  }
}

TEST_F(LegacyEditorTest, ADoubleClickSelectsTheWordUnderIt) {
  struct Case {
    int column;
    const char* after;
  };
  const Case cases[] = {
      {5, "foo ^bar_1| z"},  {4, "foo ^bar_1| z"}, {0, "^foo| bar_1 z"},
      {10, "foo bar_1 ^z|"}, {3, "foo| bar_1 z"},  // the boundary after a word is no longer in it
  };
  for (const Case& c : cases) {
    Put("|foo bar_1 z");
    const std::uint32_t first = LoneTick();
    editor_.FormMouseDown(X(c.column), Y(0), first);
    editor_.FormMouseUp();
    editor_.FormMouseDown(X(c.column), Y(0), first + 300);
    editor_.FormMouseUp();
    EXPECT_EQ(Shown(), c.after) << "column " << c.column;
  }
  // Between words there is no word: nothing is selected.
  Put("|ab  cd");
  const std::uint32_t first = LoneTick();
  editor_.FormMouseDown(X(3), Y(0), first);
  editor_.FormMouseDown(X(3), Y(0), first + 100);
  EXPECT_EQ(Shown(), "ab | cd");
}

TEST_F(LegacyEditorTest, ClickTimesDecideBetweenOneTwoAndThreeClicks) {
  struct Case {
    std::uint32_t first, second, third;
    const char* after;
  };
  const Case cases[] = {
      {10'000, 10'200, 10'400, "ab\r^cd ef\r|gh"},  // three within 500 ms: the line and its CR
      {10'000, 10'600, 10'800, "ab\rcd ^ef|\rgh"},  // only the last two: the word
      {10'000, 10'200, 10'700, "ab\rcd e|f\rgh"},   // the last one alone: a plain click
      {10'000, 10'499, 10'998, "ab\r^cd ef\r|gh"}, {10'000, 10'500, 11'000, "ab\rcd e|f\rgh"},
  };
  for (const Case& c : cases) {
    Put("|ab\rcd ef\rgh");
    const std::uint32_t base = LoneTick();
    for (std::uint32_t tick : {c.first, c.second, c.third}) {
      editor_.FormMouseDown(X(4), Y(1), base + tick);
      editor_.FormMouseUp();
    }
    EXPECT_EQ(Shown(), c.after) << c.first << " " << c.second << " " << c.third;
  }
  // The last line has no CR to take.
  Put("|ab\rcd");
  for (std::uint32_t tick : {50'000u, 50'100u, 50'200u}) editor_.FormMouseDown(X(1), Y(1), tick);
  EXPECT_EQ(Shown(), "ab\r^cd|");
}

TEST_F(LegacyEditorTest, TheFirstClickOfARunIsNeverADoubleClick) {
  Put("|foo bar");
  editor_.FormMouseDown(X(1), Y(0), 1'000'000);
  EXPECT_EQ(Shown(), "f|oo bar");
}

TEST_F(LegacyEditorTest, DraggingSelectsAndScrollsWhileOutsideTheText) {
  Put("|0\r1\r2\r3\r4\r5\r6\r7\r8\r9");
  editor_.FormMouseDown(X(0), Y(1), LoneTick());
  editor_.FormMouseMove(X(1), Y(2));
  EXPECT_EQ(Shown(), "0\r^1\r2|\r3\r4\r5\r6\r7\r8\r9");
  EXPECT_FALSE(timers_.select);

  // Two rows below the text rectangle (bottom 68): step 2, the timer runs.
  editor_.FormMouseMove(X(1), 68 + kCellHeight + 1);
  EXPECT_EQ(editor_.VerticalScrollStep(), 2);
  EXPECT_TRUE(timers_.select);
  editor_.SelectTimerTick();
  EXPECT_EQ(Shown(), "0\r^1\r2\r3\r4|\r5\r6\r7\r8\r9");
  editor_.SelectTimerTick();
  EXPECT_EQ(Shown(), "0\r^1\r2\r3\r4\r5\r6|\r7\r8\r9");
  EXPECT_EQ(editor_.TopOfScreen(), 6);  // the caret's line is the last shown

  // Back inside: scrolling stops and the caret follows the mouse.
  editor_.FormMouseMove(X(0), Y(0));
  EXPECT_FALSE(timers_.select);
  EXPECT_EQ(Shown(), "0\r^1\r2\r|3\r4\r5\r6\r7\r8\r9");

  // Above and left: negative steps; the horizontal move stops at the line start.
  editor_.FormMouseMove(-20, -1);
  EXPECT_EQ(editor_.VerticalScrollStep(), -1);
  EXPECT_EQ(editor_.HorizontalScrollStep(), -3);
  editor_.SelectTimerTick();
  EXPECT_EQ(Shown(), "0\r^1\r|2\r3\r4\r5\r6\r7\r8\r9");
  editor_.FormMouseUp();
  EXPECT_FALSE(timers_.select);
  EXPECT_FALSE(editor_.MouseSelecting());
}

TEST_F(LegacyEditorTest, ScrollingRightMovesWithinTheLineAndTakesTheColumn) {
  Put("|abcdef\rabcdefgh");
  editor_.FormMouseDown(X(1), Y(0), LoneTick());
  editor_.FormMouseMove(kClientWidth + 1, Y(0));  // right edge 86: 3 columns out... 1
  EXPECT_EQ(editor_.HorizontalScrollStep(), 1);
  for (int i = 0; i < 8; ++i) editor_.SelectTimerTick();
  EXPECT_EQ(Shown(), "a^bcdef|\rabcdefgh");  // stops at the CR
  EXPECT_EQ(editor_.WantedColumn(), 6);
}

// ---------------------------------------------------------------------------------------
// Screen

TEST_F(LegacyEditorTest, LayOutDividesTheClientAreaIntoCells) {
  const LegacyGeometry& g = editor_.Geometry();
  EXPECT_EQ(g.left, 1);
  EXPECT_EQ(g.top, 1);
  EXPECT_EQ(g.right, 86);
  EXPECT_EQ(g.bottom, 68);
  EXPECT_EQ(g.left_margin, 3);  // 8 x 3 / 8
  EXPECT_EQ(g.top_margin, 3);   // 16 x 3 / 16
  EXPECT_EQ(g.columns, 10);
  EXPECT_EQ(g.rows, 4);
  EXPECT_EQ(g.row_width, 12);

  editor_.LegacyLayOut(100, 60, 20, 7, 13);  // above a status bar of 20
  EXPECT_EQ(editor_.Geometry().bottom, 39);
  EXPECT_EQ(editor_.Geometry().columns, 13);  // (99 - 1 - 2) div 7
  EXPECT_EQ(editor_.Geometry().rows, 2);      // (39 - 1 - 2) div 13
  EXPECT_EQ(editor_.Geometry().row_width, 14);
  editor_.LegacyLayOut(1, 1, 0, 8, 16);  // nothing left: one row, no columns
  EXPECT_EQ(editor_.Geometry().right, 1);
  EXPECT_EQ(editor_.Geometry().rows, 1);
  EXPECT_EQ(editor_.Geometry().columns, 0);
}

TEST_F(LegacyEditorTest, RowsShowTabsExpandedAndTheSelectionMarked) {
  Put("a\tb\rxy^z\rw|q\r");
  EXPECT_EQ(Row(0), "a       b   ");
  EXPECT_EQ(Row(1), "xyz         ");
  EXPECT_EQ(Row(2), "wq          ");
  EXPECT_EQ(Row(3), "            ");
  // The blanks after a selected CR carry the selection.
  EXPECT_EQ(RowAttributes(0), "............");
  EXPECT_EQ(RowAttributes(1), "..ssssssssss");
  EXPECT_EQ(RowAttributes(2), "s...........");
}

TEST_F(LegacyEditorTest, OnlyChangedRowsAreDrawnAgain) {
  Put("|ab\rcd\ref");
  screen_.rows.clear();
  screen_.frame = false;
  editor_.FormKeyDown(LegacyKey::Down, false, false);
  EXPECT_TRUE(screen_.rows.empty());  // the caret moved, no cell changed
  editor_.FormKeyPress('x');
  EXPECT_EQ(screen_.rows, (std::set<int>{1}));
  EXPECT_FALSE(screen_.frame);
  editor_.SetFullRepaint();
  editor_.LegacyPaint();
  EXPECT_TRUE(screen_.frame);
  EXPECT_EQ(screen_.rows.size(), 5u);  // every row and the one under them
}

TEST_F(LegacyEditorTest, TheViewFollowsTheCaretDownAndRight) {
  Put("|0\r1\r2\r3\r4\r5\r0123456789abcdef");
  editor_.FormKeyDown(LegacyKey::End, false, true);
  EXPECT_EQ(editor_.TopOfScreen(), 6);  // the caret's line is the last of four
  EXPECT_EQ(editor_.CaretRow(), 3);
  EXPECT_EQ(editor_.HorizontalScroll(), 6);  // column 16, ten columns shown
  EXPECT_EQ(editor_.CaretColumn(), 10);
  EXPECT_EQ(Row(3), "6789abcdef  ");
  editor_.FormKeyDown(LegacyKey::Home, false, false);
  EXPECT_EQ(editor_.HorizontalScroll(), 0);
  editor_.FormKeyDown(LegacyKey::Home, false, true);
  EXPECT_EQ(editor_.TopOfScreen(), 0);
}

TEST_F(LegacyEditorTest, TheCaretBlinksEveryFourthTickAndHidesForChanges) {
  Put("|ab");
  editor_.LegacyPaint();
  EXPECT_TRUE(editor_.CaretShown());
  EXPECT_TRUE(timers_.cursor);
  const bool expected[] = {true, true, true, false, false, false, false, true, true};
  for (bool shown : expected) {
    editor_.CursorTimerTick();
    EXPECT_EQ(editor_.CaretShown(), shown);
  }
  editor_.HideLegacyCaret();
  EXPECT_FALSE(editor_.CaretShown());
  EXPECT_FALSE(timers_.cursor);
  editor_.FormKeyPress('x');  // a change paints and shows the caret again
  EXPECT_TRUE(editor_.CaretShown());
  EXPECT_TRUE(timers_.cursor);
}

// ---------------------------------------------------------------------------------------
// Files

// One break for each of CR LF, LF CR, CR and LF, however they are mixed.
TEST_F(LegacyEditorTest, LoadKeepsOneCrPerLineAndSaveWritesCrLf) {
  struct Case {
    const char* file;
    const char* memory;
    const char* saved;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", "a\rb\r", "a\r\nb\r\n"},
      {"a\nb\n", "a\rb\r", "a\r\nb\r\n"},
      {"a\rb", "a\rb", "a\r\nb"},
      {"a\n\r\nb\r\r\n", "a\r\rb\r\r", "a\r\n\r\nb\r\n\r\n"},
      {"a\n\rb\n\r", "a\rb\r", "a\r\nb\r\n"},
      {"a\n\r\n\rb", "a\r\rb", "a\r\n\r\nb"},
      {"a\r\n\n\rb\rc\nd", "a\r\rb\rc\rd", "a\r\n\r\nb\r\nc\r\nd"},
      {"a\x01\tb\x1A\x7F\xE9", "a\tb\x7F\xE9", "a\tb\x7F\xE9"},
      {"", "", ""},
  };
  TempFolder folder;
  for (const Case& c : cases) {
    const std::string name = (folder.Path() + "x.src");
    {
      std::ofstream out(name, std::ios::binary | std::ios::trunc);
      out << c.file;
    }
    ASSERT_EQ(editor_.LoadFile(name), LegacyEditor::FileResult::kOk);
    EXPECT_EQ(editor_.Text(), c.memory);
    EXPECT_EQ(editor_.Cursor(), 0);
    EXPECT_FALSE(editor_.Modified());
    editor_.FormKeyPress('z');
    editor_.FormKeyDown(LegacyKey::Backspace, false, false);
    EXPECT_TRUE(editor_.Modified());
    ASSERT_EQ(editor_.SaveFile(name), LegacyEditor::FileResult::kOk);
    EXPECT_FALSE(editor_.Modified());
    std::ifstream in(name, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, c.saved) << "from " << c.file;
  }
}

// A zero byte would end the text: it loads as "\xA4", a box says so once, and a save writes
// every byte behind it again.
TEST_F(LegacyEditorTest, ZeroBytesLoadAsAVisibleCharacterWithOneBoxAndASaveKeepsTheRest) {
  TempFolder folder;
  const std::string name = folder.Path() + "z.src";
  {
    std::ofstream out(name, std::ios::binary);
    out << std::string("a\0b\r\n\0\0\tNOP\r\n", 12);
  }
  boxes_.Answer(platform::kAnswerOk);
  ASSERT_EQ(editor_.LoadFile(name), LegacyEditor::FileResult::kOk);
  EXPECT_EQ(editor_.Text(),
            "a\xA4"
            "b\r\xA4\xA4\tNOP\r");
  EXPECT_FALSE(editor_.Modified());
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Zero Bytes in File");
  EXPECT_EQ(boxes_.Boxes()[0].text.rfind(name + "\r\rholds 3 zero bytes,", 0), 0u);
  EXPECT_NE(boxes_.Boxes()[0].text.find("a save writes \"\xC2\xA4\""), std::string::npos);
  editor_.FormKeyPress('k');
  ASSERT_EQ(editor_.SaveFile(name), LegacyEditor::FileResult::kOk);
  std::ifstream in(name, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes,
            "ka\xA4"
            "b\r\n\xA4\xA4\tNOP\r\n");
  EXPECT_EQ(boxes_.Boxes().size(), 1u) << "told once, at the load";
}

// The plain editor keeps a source in its encoding as the enhanced one does: UTF-8 whose
// characters are all Windows-1252 ones is shown as them and saved as UTF-8; UTF-8 beyond them
// is kept as its bytes after one box.
TEST_F(LegacyEditorTest, ASourceIsSavedInTheEncodingItCameIn) {
  TempFolder folder;
  struct Case {
    std::string file;
    std::string text;
    std::string saved;  // after "k" typed in front
    bool told;
  };
  const Case cases[] = {
      {"; Z\xC3\xA4hler \xE2\x82\xAC\r\n", "; Z\xE4hler \x80\r",
       "k; Z\xC3\xA4hler \xE2\x82\xAC\r\n", false},
      {"; Z\xE4hler \x80\r\n", "; Z\xE4hler \x80\r", "k; Z\xE4hler \x80\r\n", false},
      {"; \xE4\xB8\xAD\r\n", "; \xE4\xB8\xAD\r", "k; \xE4\xB8\xAD\r\n", true},
  };
  const std::string name = folder.Path() + "s.src";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    boxes_.Clear();
    std::ofstream(name, std::ios::binary) << c.file;
    if (c.told) boxes_.Answer(platform::kAnswerOk);
    ASSERT_EQ(editor_.LoadFile(name), LegacyEditor::FileResult::kOk);
    EXPECT_EQ(editor_.Text(), c.text);
    ASSERT_EQ(boxes_.Boxes().size(), c.told ? 1u : 0u);
    editor_.FormKeyPress('k');
    ASSERT_EQ(editor_.SaveFile(name), LegacyEditor::FileResult::kOk);
    std::ifstream in(name, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
              c.saved);
  }
}

TEST_F(LegacyEditorTest, FilesThatCannotBeReadOrWrittenLeaveEverythingAsItWas) {
  TempFolder folder;
  Put("keep|");
  EXPECT_EQ(editor_.LoadFile((folder.Path() + "missing.src")),
            LegacyEditor::FileResult::kCannotRead);
  EXPECT_EQ(editor_.Text(), "keep");
  EXPECT_EQ(editor_.SaveFile((folder.Path() + "no/such/folder.src")),
            LegacyEditor::FileResult::kCannotWrite);

  const std::string locked = (folder.Path() + "locked.src");
  { std::ofstream(locked) << "old"; }
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
  editor_.SetModified(true);
  EXPECT_EQ(editor_.SaveFile(locked), LegacyEditor::FileResult::kCannotWrite);
  EXPECT_TRUE(editor_.Modified());
  std::ifstream in(locked);
  std::string old;
  in >> old;
  EXPECT_EQ(old, "old");
}

// A save replaces the file whole: a disk that fills up part way leaves the old file and the
// edit; through a symbolic link the file it names is written and the link stays.
TEST_F(LegacyEditorTest, ASaveReplacesTheFileWholeAndKeepsALink) {
  TempFolder folder;
  const std::string real = folder.Path() + "real.src";
  const std::string link = folder.Path() + "link.src";
  { std::ofstream(real) << "old"; }
  std::filesystem::create_symlink("real.src", link);
  Put("new text|");
  editor_.SetModified(true);
  EXPECT_EQ(editor_.SaveFile(link, FullHalfWay()), LegacyEditor::FileResult::kCannotWrite);
  EXPECT_TRUE(editor_.Modified());
  const auto read = [](const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  EXPECT_EQ(read(real), "old");
  ASSERT_EQ(editor_.SaveFile(link), LegacyEditor::FileResult::kOk);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(read(real), "new text");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()),
                          std::filesystem::directory_iterator()),
            2);
}

// Modified: set by what changes the text, cleared by a load or a save; a key that deletes
// nothing changes nothing.
TEST_F(LegacyEditorTest, ModifiedFollowsChangesOfTheTextSinceTheLastLoadOrSave) {
  struct Case {
    const char* before;
    const char* keys;  // k: a typed "k", b/B: Backspace/Shift+Backspace, c: Ctrl+Shift+Backspace,
                       // d/D: Delete/Shift+Delete, e: Ctrl+Shift+Delete
    bool modified;
  };
  const Case cases[] = {
      {"|ab\rcd", "b", false}, {"|ab\rcd", "B", false}, {"|ab\rcd", "c", false},
      {"ab\rcd|", "d", false}, {"ab|\rcd", "D", false}, {"ab\rcd|", "e", false},
      {"ab\r|cd", "B", false}, {"ab|\rcd", "b", true},  {"ab|\rcd", "kb", true},
      {"|ab\rcd", "d", true},  {"a|b\rcd", "B", true},  {"ab\rc|d", "e", true},
  };
  for (const Case& c : cases) {
    Put(c.before);
    for (const char* k = c.keys; *k; ++k) {
      switch (*k) {
        case 'k': editor_.FormKeyPress('k'); break;
        case 'b': editor_.FormKeyDown(LegacyKey::Backspace, false, false); break;
        case 'B': editor_.FormKeyDown(LegacyKey::Backspace, true, false); break;
        case 'c': editor_.FormKeyDown(LegacyKey::Backspace, true, true); break;
        case 'd': editor_.FormKeyDown(LegacyKey::Delete, false, false); break;
        case 'D': editor_.FormKeyDown(LegacyKey::Delete, true, false); break;
        case 'e': editor_.FormKeyDown(LegacyKey::Delete, true, true); break;
      }
    }
    EXPECT_EQ(editor_.Modified(), c.modified) << c.before << " keys " << c.keys;
  }
  TempFolder folder;
  const std::string name = folder.Path() + "m.src";
  Put("ab|");
  editor_.FormKeyPress('k');
  ASSERT_EQ(editor_.SaveFile(name), LegacyEditor::FileResult::kOk);
  EXPECT_FALSE(editor_.Modified());
  editor_.FormKeyPress('k');
  EXPECT_TRUE(editor_.Modified());
  ASSERT_EQ(editor_.LoadFile(name), LegacyEditor::FileResult::kOk);
  EXPECT_FALSE(editor_.Modified());
  editor_.FormKeyPress('k');
  editor_.ClearBuffer();
  EXPECT_FALSE(editor_.Modified()) << "File > New";
}

// ---------------------------------------------------------------------------------------
// Capacity

TEST_F(LegacyEditorTest, AFileOfAMillionAndOneCharactersIsRefusedWithItsBox) {
  Put("keep|");
  boxes_.Answer(platform::kAnswerOk);
  EXPECT_FALSE(editor_.LoadText(std::string(1'000'001, 'x')));
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Text Too Large");
  EXPECT_EQ(boxes_.Boxes()[0].text.substr(0, 37), "The text is too large for the editor:");
  EXPECT_EQ(editor_.Text(), "keep");

  EXPECT_TRUE(editor_.LoadText(std::string(1'000'000, 'x')));
  EXPECT_EQ(editor_.Length(), 1'000'000);
  // CR LF pairs count once: a file longer than the buffer may still fit.
  std::string lines;
  while (lines.size() < 1'000'002) lines += "ab\r\n";
  EXPECT_TRUE(editor_.LoadText(lines));
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
}

class SmallLegacyEditor : public LegacyEditorTest {
 protected:
  SmallLegacyEditor() : LegacyEditorTest(10) {}
};

TEST_F(SmallLegacyEditor, TypingPastTheCapacityIsRefusedAndKeepsTheText) {
  Put("123456789|");
  editor_.FormKeyPress('a');
  EXPECT_EQ(editor_.Text(), "123456789a");
  boxes_.Answer(platform::kAnswerOk);
  editor_.FormKeyPress('b');
  EXPECT_EQ(editor_.Text(), "123456789a");
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
  // Over a selection there is room again.
  editor_.Select(0, 2);
  editor_.FormKeyPress('c');
  EXPECT_EQ(editor_.Text(), "c3456789a");
}

TEST_F(SmallLegacyEditor, APasteThatWouldOverflowIsRefusedWhole) {
  MemoryClipboard clipboard;
  clipboard.SetFormats({{std::string(platform::kClipboardText), "abcd"}});
  Put("1234567|");
  boxes_.Answer(platform::kAnswerOk);
  editor_.LegacyPaste(clipboard);
  EXPECT_EQ(Shown(), "1234567|");
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
  Put("12^345|67");
  editor_.LegacyPaste(clipboard);
  EXPECT_EQ(Shown(), "12abcd|67");
  // The whole text of another editor is taken only when it fits; the caller says why not.
  EXPECT_FALSE(editor_.ReplaceAllText("0123456789\r\nx"));
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(editor_.Text(), "12abcd67");
  EXPECT_TRUE(editor_.ReplaceAllText("0123\r\n4567"));
  EXPECT_EQ(editor_.Text(), "0123\r4567");
}

TEST_F(SmallLegacyEditor, AReplacementThatWouldOverflowIsRefused) {
  Put("ab ab ab|");
  LegacyFindChoice choice;
  choice.result = LegacyFindChoice::kReplaceAll;
  choice.find_text = "ab";
  choice.replace_text = "xyz";
  choice.from_start = true;
  boxes_.Answer(platform::kAnswerOk);
  editor_.EditFindReplace(choice);
  // 8 + 1 + 1 fit; the third would make 11.
  EXPECT_EQ(editor_.Text(), "xyz xyz ab");
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
}

// ---------------------------------------------------------------------------------------
// Clipboard

TEST_F(LegacyEditorTest, CopyGivesCrLfAndPasteKeepsOnlyInsertableCharacters) {
  MemoryClipboard clipboard;
  Put("a^b\rc|d");
  editor_.LegacyCopy(clipboard);
  EXPECT_EQ(clipboard.Format(platform::kClipboardText), "b\r\nc");
  editor_.LegacyCut(clipboard);
  EXPECT_EQ(Shown(), "a|d");
  clipboard.SetFormats({{std::string(platform::kClipboardText), "x\r\ny\x01\tz\n"}});
  editor_.LegacyPaste(clipboard);
  EXPECT_EQ(Shown(), "ax\ry\tz|d");
  // Without a selection nothing is copied.
  clipboard.SetFormats({});
  editor_.LegacyCopy(clipboard);
  EXPECT_FALSE(clipboard.Format(platform::kClipboardText));
}

// ---------------------------------------------------------------------------------------
// Find and replace

TEST_F(LegacyEditorTest, FindMatchesAsciiLettersWithoutCaseAndNothingElse) {
  struct Case {
    const char* before;
    const char* find;
    bool word_only;
    const char* after;  // nullptr: not found, caret and selection unchanged
  };
  const Case cases[] = {
      {"|xx FOO foo", "foo", false, "xx ^FOO| foo"},
      {"xx FOO| foo", "foo", false, "xx FOO ^foo|"},
      {"|a\xE9", "A\xC9", false, nullptr},  // accented letters match exactly
      {"|a\xE9", "A\xE9", false, "^a\xE9|"},
      {"|[x]", "[X]", false, "^[x]|"},
      {"|fooBar foo", "foo", true, "fooBar ^foo|"},
      {"|xfoo foo_", "foo", true, nullptr},
      {"|a\rb", "a\r\nB", false, "^a\rb|"},  // a line break of the find form matches a CR
      {"|abc", "", false, nullptr},
      {"ab|c", "ab", false, nullptr},  // only from the caret on
  };
  for (const Case& c : cases) {
    Put(c.before);
    LegacyFindChoice choice;
    choice.find_text = c.find;
    choice.word_only = c.word_only;
    choice.word_only_enabled = true;
    EXPECT_EQ(editor_.LegacyFind(choice), c.after != nullptr) << c.before << " / " << c.find;
    EXPECT_EQ(Shown(), c.after ? c.after : c.before) << c.before << " / " << c.find;
  }
  // A ticked but disabled "Word Only" does not count.
  Put("|fooBar");
  LegacyFindChoice choice;
  choice.find_text = "foo";
  choice.word_only = true;
  EXPECT_TRUE(editor_.LegacyFind(choice));
}

TEST_F(LegacyEditorTest, FindReplaceCommandsAndTheirBoxes) {
  struct Case {
    const char* before;
    LegacyFindChoice::Result result;
    const char* find;
    const char* replace;
    bool from_start;
    const char* after;
    const char* box;  // nullptr: none
  };
  const Case cases[] = {
      {"ab a|b", LegacyFindChoice::kFind, "AB", "", true, "^ab| ab", nullptr},
      {"ab a|b", LegacyFindChoice::kFind, "AB", "", false, "ab a|b", "Nothing Found"},
      {"ab a|b", LegacyFindChoice::kFind, "", "", false, "ab a|b", "Nothing to Find"},
      {"ab ^ab|", LegacyFindChoice::kReplace, "", "xyz", false, "ab xyz|", nullptr},
      {"ab ab|", LegacyFindChoice::kReplace, "", "xyz", false, "ab ab|", "Nothing Selected"},
      {"a-a-|a", LegacyFindChoice::kReplaceAll, "a", "bb", true, "bb-bb-bb|", nullptr},
      {"a-a-|a", LegacyFindChoice::kReplaceAll, "a", "bb", false, "a-a-bb|", nullptr},
      {"a-a-a|", LegacyFindChoice::kReplaceAll, "a", "bb", false, "a-a-a|", "Nothing Found"},
      {"aa|", LegacyFindChoice::kReplaceAll, "a", "aa", true, "aaaa|", nullptr},
      {"a\rb|", LegacyFindChoice::kReplaceAll, "a\r\nb", "c\r\nd\x01", true, "c\rd|", nullptr},
      {"ab|", LegacyFindChoice::kCancel, "a", "x", true, "ab|", nullptr},
  };
  for (const Case& c : cases) {
    Put(c.before);
    boxes_.Clear();
    if (c.box) boxes_.Answer(platform::kAnswerOk);
    LegacyFindChoice choice;
    choice.result = c.result;
    choice.find_text = c.find;
    choice.replace_text = c.replace;
    choice.from_start = c.from_start;
    editor_.EditFindReplace(choice);
    EXPECT_EQ(Shown(), c.after) << c.before;
    if (c.box) {
      ASSERT_EQ(boxes_.Boxes().size(), 1u) << c.before;
      EXPECT_EQ(boxes_.Boxes()[0].text, c.box);
      EXPECT_EQ(boxes_.Boxes()[0].buttons, platform::BoxButtons::Ok);
    } else {
      EXPECT_TRUE(boxes_.Boxes().empty()) << c.before;
    }
  }
}

// ---------------------------------------------------------------------------------------
// Printing

TEST_F(LegacyEditorTest, PrintCountsLinesOfTheTextAndOfTheSelection) {
  struct Case {
    const char* text;
    int text_lines;
    int selection_lines;
  };
  const Case cases[] = {
      {"|", 0, 0},         {"ab|", 1, 0}, {"a\rb\r|", 3, 0}, {"a\rb^b\rc|c\rd", 4, 2},
      {"a\r^b\r|c", 3, 1},  // the selection ends after b's CR: one line
      {"a^b|", 1, 1},
  };
  for (const Case& c : cases) {
    Put(c.text);
    const LegacyPrintCounts counts = editor_.PrintCounts();
    EXPECT_EQ(counts.text_lines, c.text_lines) << c.text;
    EXPECT_EQ(counts.has_selection, c.selection_lines > 0) << c.text;
    EXPECT_EQ(counts.selection_lines, c.selection_lines) << c.text;
  }
}

TEST_F(LegacyEditorTest, PrintedLinesExpandTabsAndAreCutAtTheLineWidth) {
  Put("ab\tc\r0123456789\r^x|\ry");
  int start = 0;
  int end = 0;
  editor_.PrintRange(false, start, end);
  EXPECT_EQ(end, editor_.Length());
  int pos = start;
  EXPECT_EQ(editor_.PrintLine(pos, end, 12), "ab      c");
  EXPECT_EQ(editor_.PrintLine(pos, end, 6), "012345");
  EXPECT_EQ(editor_.PrintLine(pos, end, 6), "x");
  EXPECT_EQ(editor_.PrintLine(pos, end, 6), "y");
  EXPECT_EQ(pos, end);
  editor_.PrintRange(true, start, end);
  EXPECT_EQ(
      editor_.Text().substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)),
      "x\r");
}

}  // namespace
}  // namespace workbench
