// The error mark of an editor: where it lies, what takes it off, and that it is never an edit.

#include "workbench/error_marking.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/editor_control/test_support.h"
#include "workbench/highlight_settings.h"

namespace workbench {
namespace {

using scrivlet::TScrivlet;
using scrivlet::TStyleRun;
using scrivlet::testing::StyleLetters;

constexpr Colour kErrorBg = 0x00FFFF;
constexpr Colour kCode = 0xFF0000;
constexpr Colour kComment = 0x008000;

// One letter per character, lines apart by "|": E error mark, K keyword, c comment, . plain.
std::string Marks(TScrivlet& s) {
  return StyleLetters(s, [](const TStyleRun& r) {
    const bool attributes = (r.RunFlags & scrivlet::kRunHasAttributes) != 0;
    return !attributes                      ? '.'
           : r.Context == kErrorMarkContext ? (r.Backgnd == kErrorBg ? 'E' : '?')
           : r.Foregnd == kCode             ? 'K'
           : r.Context == kCommentContext   ? 'c'
                                            : '.';
  });
}

class ErrorMarkingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    options.ErrorBgColor = kErrorBg;
    options.ColoredCode = true;
    options.CodeColor = kCode;
    scrivlet::testing::LayOutAtOnce(s, measurer, 400, 400);
    s.Keywords.AddKeyword("MOV", 0, 0, 1, 0, scrivlet::kNoColor, scrivlet::kNoColor);
    ApplyHighlightSettings(s, options, ';');
    scrivlet::testing::Load(s, "MOV a,b\nMOV c,d ; x\nnop");
    s.SetModified(false);
  }

  scrivlet::testing::FixedWidthMeasurer measurer{7, 12};
  TScrivlet s;
  EditorOptions options;
  ErrorMarking marking{options};
};

TEST_F(ErrorMarkingTest, AnErrorLineIsMarkedWholeWithTheCaretAtItsStart) {
  ASSERT_EQ(Marks(s), "KKK....|KKK.....ccc|...");
  marking.MarkErrorLine(s, 2);
  EXPECT_EQ(Marks(s), "KKK....|EEEEEEEEEEE|...");
  EXPECT_EQ(s.GetSelStart(), 9);
  EXPECT_EQ(s.GetSelLength(), 0);
  EXPECT_EQ(marking.Line(), 1);
  EXPECT_FALSE(marking.IsRange());
}

TEST_F(ErrorMarkingTest, ALineBeyondTheTextMarksTheLastLine) {
  marking.MarkErrorLine(s, 40);
  EXPECT_EQ(Marks(s), "KKK....|KKK.....ccc|EEE");
  EXPECT_EQ(marking.Line(), 2);
}

TEST_F(ErrorMarkingTest, ClearingGivesTheLineItsHighlightingBackWithoutAnEdit) {
  for (const bool modified : {false, true}) {
    s.SetModified(modified);
    const std::size_t undo_records = s.UndoList().size();
    marking.MarkErrorLine(s, 2);
    marking.ClearErrorMarking(s);
    EXPECT_EQ(Marks(s), "KKK....|KKK.....ccc|...") << modified;
    EXPECT_EQ(s.Modified(), modified);
    EXPECT_EQ(s.UndoList().size(), undo_records);
    EXPECT_EQ(marking.Line(), -1);
    EXPECT_EQ(s.Text(), "MOV a,b\r\nMOV c,d ; x\r\nnop");
  }
}

TEST_F(ErrorMarkingTest, ANewMarkTakesTheOldOneOff) {
  marking.MarkErrorLine(s, 1);
  marking.MarkErrorLine(s, 3);
  EXPECT_EQ(Marks(s), "KKK....|KKK.....ccc|EEE");
}

TEST_F(ErrorMarkingTest, AMarkWhoseLineWasDeletedIsForgotten) {
  marking.MarkErrorLine(s, 3);
  s.SelectAll();
  s.InsertTextBuf("MOV");
  marking.ClearErrorMarking(s);
  EXPECT_EQ(marking.Line(), -1);
  EXPECT_EQ(s.Text(), "MOV");
}

TEST_F(ErrorMarkingTest, AMarkedTokenGoesOnceTheCaretPassesItsEndOnItsLine) {
  marking.MarkErrorRange(s, 2, 13, 16);  // "c,d"
  EXPECT_EQ(Marks(s), "KKK....|KKK.EEE.ccc|...");
  EXPECT_EQ(s.GetSelLength(), 0);
  EXPECT_EQ(s.GetSelStart(), 9);
  EXPECT_TRUE(marking.IsRange());

  struct Move {
    const char* what;
    int32_t caret;
    bool stays;
  };
  const Move moves[] = {
      {"into the token", 14, true},
      {"to its end", 16, true},
      {"to another line", 2, true},
      {"past its end on its line", 17, false},
  };
  for (const Move& move : moves) {
    s.SetSelStart(move.caret);
    marking.CaretMoved(s);
    EXPECT_EQ(marking.Line() == 1, move.stays) << move.what;
  }
  EXPECT_EQ(Marks(s), "KKK....|KKK.....ccc|...");
}

TEST_F(ErrorMarkingTest, AWholeLineMarkStaysWhereverTheCaretGoes) {
  marking.MarkErrorLine(s, 2);
  s.SetSelStart(20);
  marking.CaretMoved(s);
  EXPECT_EQ(marking.Line(), 1);
}

TEST_F(ErrorMarkingTest, ClearingErrorStylesDropsEveryMark) {
  s.ApplyStyleRange(0, 3, 0, true, kErrorMarkContext, 0, kErrorBg, scrivlet::kNoColor, true);
  marking.MarkErrorLine(s, 3);
  marking.ClearErrorStyles(s);
  EXPECT_EQ(Marks(s), "KKK....|KKK.....ccc|...");
  EXPECT_EQ(marking.Line(), -1);
  EXPECT_FALSE(s.Modified());
}

// What the marked characters are drawn with: B bold, K code colour, c comment colour, . else.
std::string Looks(TScrivlet& s) {
  return StyleLetters(s, [](const TStyleRun& r) {
    if ((r.RunFlags & scrivlet::kRunHasAttributes) == 0) return '.';
    if (r.Foregnd == kCode) return (r.RunFlags & scrivlet::kStyleBold) != 0 ? 'B' : 'K';
    if (r.Foregnd == kComment) return 'c';
    return (r.RunFlags & scrivlet::kStyleBold) != 0 ? '!' : '.';
  });
}

TEST_F(ErrorMarkingTest, AMarkKeepsTheHighlightingUnderItsBackground) {
  options.BoldCode = true;
  options.CommentColor = kComment;
  ApplyHighlightSettings(s, options, ';');
  s.ReapplyHighlighting();
  ASSERT_EQ(Looks(s), "BBB....|BBB.....ccc|...");

  struct Row {
    const char* what;
    int line;
    int32_t start, stop;  // stop < 0: the whole line
    const char* marks;
  };
  const Row rows[] = {
      {"a whole line", 2, 0, -1, "KKK....|EEEEEEEEEEE|..."},
      {"a token over a keyword and a blank", 2, 10, 14, "KKK....|KEEEE...ccc|..."},
  };
  for (const Row& r : rows) {
    if (r.stop < 0)
      marking.MarkErrorLine(s, r.line);
    else
      marking.MarkErrorRange(s, r.line, r.start, r.stop);
    EXPECT_EQ(Looks(s), "BBB....|BBB.....ccc|...") << r.what;
    EXPECT_EQ(Marks(s), r.marks) << r.what;
    marking.ClearErrorMarking(s);
    EXPECT_EQ(Looks(s), "BBB....|BBB.....ccc|...") << r.what;
  }
}

TEST_F(ErrorMarkingTest, JumpToLineLeavesNothingSelectedAtTheLinesStart) {
  struct Row {
    const char* what;
    int32_t anchor, caret;
    int line;
    int32_t caret_after;
  };
  const Row rows[] = {
      {"a found word on another line", 11, 13, 2, 22},
      {"a found word on that line", 11, 13, 1, 9},
      {"a selection over a line break", 7, 9, 1, 9},
      {"a line beyond the text: the last", 0, 2, 9, 22},
      {"a negative line: the first", 13, 11, -3, 0},
  };
  for (const Row& r : rows) {
    s.Select(r.anchor, r.caret);
    JumpToLine(s, r.line);
    EXPECT_EQ(s.GetSelStart(), r.caret_after) << r.what;
    EXPECT_EQ(s.GetSelLength(), 0) << r.what;
  }
}

TEST_F(ErrorMarkingTest, ScrollToLineMovesTheCaretOnlyWhenItLiesElsewhere) {
  struct Row {
    const char* what;
    int32_t anchor, caret;
    int line;
    int32_t caret_after, length_after;
  };
  const Row rows[] = {
      {"on that line: the selection stays", 11, 13, 1, 13, -2},
      {"elsewhere: to the line's start", 2, 2, 2, 22, 0},
      {"elsewhere with a selection: its length stays", 0, 2, 1, 9, -2},
      {"a line beyond the text: the last", 0, 0, 9, 22, 0},
      {"a negative line: the first", 13, 13, -3, 0, 0},
  };
  for (const Row& r : rows) {
    s.Select(r.anchor, r.caret);
    ScrollToLine(s, r.line);
    EXPECT_EQ(s.GetSelStart(), r.caret_after) << r.what;
    EXPECT_EQ(s.GetSelLength(), r.length_after) << r.what;
  }
}

}  // namespace
}  // namespace workbench
