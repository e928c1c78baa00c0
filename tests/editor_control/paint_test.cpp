// What the painter draws where, recorded without a display: pieces of text with their
// styles and colours, backgrounds, marks, the right line, the end-of-text mark, the caret.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "editor_control/paint.h"
#include "editor_control/scrivlet.h"
#include "test_support.h"

namespace scrivlet {
namespace {

using testing::FixedWidthMeasurer;
using testing::LayOutAtOnce;
using testing::Load;

struct Op {
  enum Kind { kBack, kFill, kText, kLine } What;
  TScrivRect Rect;  // fills; for lines x1, y1, x2, y2
  int32_t X = 0, Y = 0;
  std::string Text;
  uint8_t Style = 0;
  int32_t Color = 0;
  std::vector<int32_t> Xs;  // text: where each character goes
};

class RecordingCanvas : public TScrivCanvas {
 public:
  std::vector<Op> Ops;
  int32_t Ascent() override { return 9; }
  int32_t Descent() override { return 2; }
  void FillBackground(const TScrivRect& r, int32_t color, int32_t, int32_t) override {
    Ops.push_back({Op::kBack, r, 0, 0, {}, 0, color, {}});
  }
  void FillRect(const TScrivRect& r, int32_t color) override {
    Ops.push_back({Op::kFill, r, 0, 0, {}, 0, color, {}});
  }
  void DrawText(std::span<const int32_t> xs, int32_t baseline, std::string_view bytes,
                uint8_t style, int32_t color) override {
    EXPECT_EQ(xs.size(), bytes.size()) << "one x a character";
    Ops.push_back({Op::kText,
                   {},
                   xs.front(),
                   baseline,
                   std::string(bytes),
                   style,
                   color,
                   {xs.begin(), xs.end()}});
  }
  void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const TScrivPen& pen) override {
    Ops.push_back({Op::kLine, {x1, y1, x2, y2}, 0, 0, {}, 0, pen.Color, {}});
  }
  const Op* TextOp(const std::string& text) const {
    for (const Op& op : Ops)
      if (op.What == Op::kText && op.Text == text) return &op;
    return nullptr;
  }
  std::vector<const Op*> Lines() const {
    std::vector<const Op*> out;
    for (const Op& op : Ops)
      if (op.What == Op::kLine) out.push_back(&op);
    return out;
  }
};

// Proportional: i 3 pixels, m 11, everything else 7; an italic f leans 3 pixels out of its cell.
class LeaningMeasurer : public TTextMeasurer {
 public:
  int32_t Width(std::string_view bytes, uint8_t) override {
    int32_t w = 0;
    for (char c : bytes) w += c == 'i' ? 3 : c == 'm' ? 11 : 7;
    return w;
  }
  int32_t Height() override { return 12; }
  int32_t InkOverhang(char c, uint8_t style) override {
    return c == 'f' && (style & kStyleItalic) ? 3 : 0;
  }
};

// Characters 7 pixels wide, lines 12 high, left margin 8: x of column c is 8 + 7c.
class PaintTest : public ::testing::Test {
 protected:
  FixedWidthMeasurer measurer{7, 12};
  LeaningMeasurer leaning;
  TScrivlet s;
  RecordingCanvas canvas;
  void SetUp() override {
    LayOutAtOnce(s, measurer, 400, 120);
    s.SetWordWrap(false);
  }
  void Paint(bool focused = true) {
    canvas.Ops.clear();
    TScrivPainter(s, canvas).Paint({0, 0, s.ClientWidth(), s.ClientHeight()}, focused);
  }
};

TEST_F(PaintTest, StyleCharactersTakeNoRoomWithStaticFormatAndAreDrawnWithout) {
  struct Case {
    bool static_format;
    int32_t x_of_a, x_of_b;
    uint8_t style_of_a;
  };
  for (const Case& c : {Case{true, 8, 15, kStyleBold}, Case{false, 15, 29, 0}}) {
    SCOPED_TRACE(c.static_format);
    s.SetStaticFormat(c.static_format);
    Load(s,
         "\x02"
         "A\x02"
         "B");
    Paint();
    const Op* a = canvas.TextOp("A");
    const Op* b = canvas.TextOp("B");
    if (c.static_format) {
      ASSERT_NE(a, nullptr);
      ASSERT_NE(b, nullptr);
      EXPECT_EQ(a->X, c.x_of_a);
      EXPECT_EQ(a->Style, c.style_of_a);
      EXPECT_EQ(b->X, c.x_of_b);
      EXPECT_EQ(b->Style, 0);
    } else {
      // Drawn as characters in one piece: the A stands behind the code's room.
      const Op* all = canvas.TextOp(
          "\x02"
          "A\x02"
          "B");
      ASSERT_NE(all, nullptr);
      EXPECT_EQ(all->X, 8);
    }
  }
}

TEST_F(PaintTest, AKeywordsBackgroundShowsOnlyWhereNeitherItNorTheParagraphLacksOne) {
  struct Case {
    int32_t keyword_back, par_back;
    int32_t line_back;               // the background the line is filled with
    int32_t expected_under_keyword;  // -1: no fill of its own, the line's shows
  };
  const Case cases[] = {
      {kNoColor, 0x00FFFF, 0x00FFFF, -1},
      {-1, 0x00FFFF, 0x00FFFF, -1},
      {0x00FF00, -1, TScrivlet::kClWindow, 0x00FF00},
      {0x00FF00, 0x00FFFF, 0x00FFFF, -1},  // the paragraph's own wins
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keyword_back);
    s.Keywords.Clear();
    s.Keywords.AddKeyword("MOVWF", kWholeWord, 0, 1, 0, c.keyword_back, 0xFF0000);
    Load(s, "x MOVWF y");
    para::Extend(s.Table.Items(0)).ParBackColor = c.par_back;
    Paint();
    ASSERT_FALSE(canvas.Ops.empty());
    EXPECT_EQ(canvas.Ops[0].What, Op::kBack);
    EXPECT_EQ(canvas.Ops[0].Color, c.line_back);
    const Op* word = canvas.TextOp("MOVWF");
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(word->Color, 0xFF0000);
    EXPECT_EQ(word->X, 8 + 2 * 7);
    int32_t filled = -1;
    for (const Op& op : canvas.Ops)
      if (op.What == Op::kFill && op.Rect.Left == word->X) filled = op.Color;
    EXPECT_EQ(filled, c.expected_under_keyword);
  }
}

TEST_F(PaintTest, TheParagraphsOwnColourWinsOverTheKeywordsAndHighlightOverThePlainText) {
  s.SetStaticFormat(true);
  s.Keywords.AddKeyword("GOTO", kWholeWord, 0, 1, 0, kNoColor, 0xFF0000);
  Load(s, "GOTO \x03mark\x03\r\nGOTO");
  para::Extend(s.Table.Items(0)).ParForeColor = 0x0000FF;
  Paint();
  std::vector<const Op*> gotos;
  for (const Op& op : canvas.Ops)
    if (op.What == Op::kText && op.Text.rfind("GOTO", 0) == 0) gotos.push_back(&op);
  ASSERT_EQ(gotos.size(), 2u);
  EXPECT_EQ(gotos[0]->Color, 0x0000FF) << "paragraph colour";
  EXPECT_EQ(gotos[1]->Color, 0xFF0000) << "keyword colour";
  const Op* mark = canvas.TextOp("mark");
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->Color, s.HighlightColor);
}

TEST_F(PaintTest, TheRightLineStandsAtItsPositionInSpacesOrPixels) {
  Load(s, "text");
  struct Case {
    int32_t pos, hscroll, x;
  };
  for (const Case& c : {Case{80, 0, 8 + 80 * 7}, Case{-200, 0, 8 + 200}, Case{10, 21, 8 + 70 - 21},
                        Case{0, 0, INT_MIN}}) {
    SCOPED_TRACE(c.pos);
    s.SetRightLinePos(c.pos);
    s.SetHScroll(c.hscroll);
    s.EndOfTextMark.Color = -1;
    Paint();
    const auto lines = canvas.Lines();
    if (c.x == INT_MIN) {
      EXPECT_TRUE(lines.empty());
      continue;
    }
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->Rect.Left, c.x);
    EXPECT_EQ(lines[0]->Rect.Right, c.x) << "vertical";
    EXPECT_EQ(lines[0]->Rect.Top, 0);
    EXPECT_EQ(lines[0]->Rect.Bottom, s.ClientHeight());
    EXPECT_EQ(lines[0]->Color, 8421504);
  }
}

TEST_F(PaintTest, TheEndOfTextMarkIsDrawnBelowTheLastLineUnlessItsPenHasNoColour) {
  Load(s, "one\r\ntwo");
  s.EndOfTextMark = {255, 3, TPenStyle::psSolid};
  Paint();
  auto lines = canvas.Lines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0]->Rect.Top, 3 / 2 + 2 * 12);
  EXPECT_EQ(lines[0]->Rect.Bottom, lines[0]->Rect.Top) << "horizontal";
  EXPECT_EQ(lines[0]->Rect.Right, s.ClientWidth());
  s.EndOfTextMark.Color = -1;
  Paint();
  EXPECT_TRUE(canvas.Lines().empty());
}

TEST_F(PaintTest, NonPrintingMarksStandWhereTheirCharactersAreAndTabsStillAlign) {
  Load(s, "a\tb c\r\nd");
  s.SetShowNonPrintChars(zkNPTab | zkNPSpace | zkNPReturn);
  Paint();
  const Op* tab = canvas.TextOp(std::string(1, kTabMark));
  ASSERT_NE(tab, nullptr);
  EXPECT_EQ(tab->X, 8 + 7) << "at the tab's start";
  const Op* b = canvas.TextOp("b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->X, 8 + 8 * 7) << "the next tab stop, eight spaces from the margin";
  const Op* dot = canvas.TextOp(std::string(1, kSpaceMark));
  ASSERT_NE(dot, nullptr);
  EXPECT_EQ(dot->X, 8 + 9 * 7);
  const Op* c = canvas.TextOp("c");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->X, 8 + 10 * 7) << "a shown space is still one space wide";
  int returns = 0;
  for (const Op& op : canvas.Ops)
    if (op.What == Op::kText && op.Text == std::string(1, kReturnMark)) ++returns;
  EXPECT_EQ(returns, 2);
}

TEST_F(PaintTest, SelectedTextTakesTheSelectionColoursAndHideSelectionHidesItWithoutFocus) {
  Load(s, "abcdef");
  s.Select(1, 4);
  struct Case {
    bool focused, hide, shown;
  };
  for (const Case& c :
       {Case{true, true, true}, Case{false, true, false}, Case{false, false, true}}) {
    SCOPED_TRACE(std::to_string(c.focused) + std::to_string(c.hide));
    s.HideSelection = c.hide;
    Paint(c.focused);
    const Op* sel = canvas.TextOp("bcd");
    if (!c.shown) {
      EXPECT_EQ(sel, nullptr);
      continue;
    }
    ASSERT_NE(sel, nullptr);
    EXPECT_EQ(sel->Color, TScrivlet::kClHighlightText);
    bool filled = false;
    for (const Op& op : canvas.Ops)
      if (op.What == Op::kFill && op.Color == TScrivlet::kClHighlight)
        filled = op.Rect.Left == 8 + 7 && op.Rect.Right == 8 + 4 * 7;
    EXPECT_TRUE(filled);
  }
}

TEST_F(PaintTest, ASelectionOverABreakShowsABoxOrRunsToTheEdgeWithFullLineSelect) {
  Load(s, "ab\r\ncd");
  s.Select(1, 5);
  struct Case {
    uint32_t options;
    int32_t right;
  };
  for (const Case& c : {Case{0, 8 + 2 * 7 + 7}, Case{zkoFullLineSelect, 400}}) {
    s.SetOptions(c.options);
    Paint();
    int32_t right = 0;
    for (const Op& op : canvas.Ops)
      if (op.What == Op::kFill && op.Rect.Top == 0) right = std::max(right, op.Rect.Right);
    EXPECT_EQ(right, c.right);
  }
}

TEST_F(PaintTest, AColumnBlockIsFilledOnEveryLineItSpans) {
  Load(s, "abcdef\r\nab\r\nabcdef");
  s.SelectColumnBlock(1, 0, 4, 2);
  Paint();
  std::vector<TScrivRect> fills;
  for (const Op& op : canvas.Ops)
    if (op.What == Op::kFill && op.Color == TScrivlet::kClHighlight) fills.push_back(op.Rect);
  ASSERT_EQ(fills.size(), 3u);
  for (const TScrivRect& r : fills) {
    EXPECT_EQ(r.Left, 8 + 7);
    EXPECT_EQ(r.Right, 8 + 4 * 7) << "the short line too";
  }
}

TEST_F(PaintTest, TheSpecialUnderlineZigzagsUnderARunMarkedWithStrikeoutAndHighlight) {
  Load(s, "a bad word");
  s.ApplyStyleRange(2, 5, kStyleStrikeout | kStyleHighlight, true, 0, 0, kNoColor, kNoColor, false);
  Paint();
  const Op* bad = canvas.TextOp("bad");
  ASSERT_NE(bad, nullptr);
  EXPECT_TRUE(bad->Style & 0x80);
  EXPECT_FALSE(bad->Style & kStyleStrikeout);
  const auto lines = canvas.Lines();
  ASSERT_GE(lines.size(), 2u);
  // Amplitude 1 * 3 / 2 + 1 = 2: segments two pixels long, rising and falling.
  EXPECT_EQ(lines[0]->Rect.Left, 8 + 2 * 7);
  EXPECT_EQ(lines[0]->Rect.Right, lines[0]->Rect.Left + 2);
  EXPECT_EQ(lines[0]->Rect.Top - lines[0]->Rect.Bottom, 2);
  EXPECT_EQ(lines[1]->Rect.Bottom - lines[1]->Rect.Top, 2);
}

TEST_F(PaintTest, ARunsBackgroundReachesUnderItsLastLettersInkAndNoBackgroundCoversText) {
  s.SetMeasurer(&leaning);
  // "if of": i at 8, f 11, the space 18, o 25, f 32, the line's end 39.
  struct Case {
    const char* what;
    int32_t run_from, run_to;
    uint8_t style;
    int32_t back;        // the run's background (kNoColor: none of its own)
    int32_t sel_from;    // selected from here to the line's end (-1: nothing)
    int32_t fill_color;  // the fill looked at
    int32_t left, right;
  };
  const int32_t green = 0x00FF00;
  const Case cases[] = {
      {"a run to the line's end", 3, 5, kStyleItalic, green, -1, green, 25, 39 + 3},
      {"an upright run to the line's end", 3, 5, 0, green, -1, green, 25, 39},
      {"a run that ends inside the line", 0, 2, kStyleItalic, green, -1, green, 8, 18},
      {"the selection to the line's end", 3, 5, kStyleItalic, kNoColor, 3, TScrivlet::kClHighlight,
       25, 39 + 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Load(s, "if of");
    s.ApplyStyleRange(c.run_from, c.run_to, c.style, true, 0, 0, c.back, kNoColor, true);
    if (c.sel_from >= 0) s.Select(c.sel_from, 5);
    Paint();
    const Op* fill = nullptr;
    size_t last_fill = 0, first_text = canvas.Ops.size();
    for (size_t k = 0; k < canvas.Ops.size(); ++k) {
      const Op& op = canvas.Ops[k];
      if (op.What == Op::kFill) last_fill = k;
      if (op.What == Op::kFill && op.Color == c.fill_color) fill = &op;
      if (op.What == Op::kText) first_text = std::min(first_text, k);
    }
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->Rect.Left, c.left);
    EXPECT_EQ(fill->Rect.Right, c.right);
    EXPECT_LT(last_fill, first_text)
        << "a background drawn after a letter would cut what leans into it";
  }
}

TEST_F(PaintTest, EveryCharacterIsDrawnWhereTheCaretStandsBeforeItAlsoInJustifiedLines) {
  s.SetMeasurer(&leaning);
  s.SetWordWrap(true);
  s.SetJustified(true);
  s.SetBounds(120, 120);
  const std::string text = "mim i mmm iii m mi im";
  Load(s, text);
  s.ApplyStyleRange(6, 9, kStyleBold, true, 0, 0, 0x00FF00, kNoColor, true);
  Paint();
  ASSERT_GT(s.LineCount(), 1) << "a justified line needs a line after it";
  size_t at = 0;
  int checked = 0;
  for (const Op& op : canvas.Ops) {
    if (op.What != Op::kText) continue;
    at = text.find(op.Text, at);
    ASSERT_NE(at, std::string::npos) << op.Text;
    for (size_t k = 0; k < op.Text.size(); ++k, ++checked) {
      s.SetSelStart(static_cast<int32_t>(at + k));
      EXPECT_EQ(op.Xs[k], CaretRect(s).Left) << "offset " << at + k;
    }
    at += op.Text.size();
  }
  EXPECT_GT(checked, 10);
}

TEST_F(PaintTest, OnlyTheRowsInTheUpdateBandArePaintedAndTheRestIsBackground) {
  Load(s, "1\r\n2\r\n3\r\n4");
  canvas.Ops.clear();
  TScrivPainter(s, canvas).Paint({0, 12, 400, 36}, true);
  std::string drawn;
  for (const Op& op : canvas.Ops)
    if (op.What == Op::kText) drawn += op.Text;
  EXPECT_EQ(drawn, "23");
  s.SetVScroll(24);
  Paint();
  drawn.clear();
  for (const Op& op : canvas.Ops)
    if (op.What == Op::kText) drawn += op.Text;
  EXPECT_EQ(drawn, "34");
}

TEST_F(PaintTest, TheCaretStandsAtTheCaretWithPendingSpacesAndIsWideInOverwrite) {
  Load(s, "abc\r\nxy");
  s.SetSelStart(6);
  EXPECT_EQ(CaretRect(s), (TScrivRect{8 + 7, 12, 8 + 7 + 1, 24}));
  s.SetPendingSpaces("  ");
  EXPECT_EQ(CaretRect(s).Left, 8 + 3 * 7);
  s.SetPendingSpaces({});
  s.SetOverwrite(true);
  EXPECT_EQ(CaretRect(s).Width(), 7) << "as wide as the character under it";
  s.SetCaretWidth(0);
  s.SetOverwrite(false);
  EXPECT_EQ(CaretRect(s).Width(), 12 / 14 + 1);
}

TEST(ScrivletStateQueriesTest, CutCopyPasteSelectAllAndDeleteFollowTheModes) {
  struct Case {
    bool read_only, display_only, selection, empty;
    bool cut, copy, paste, select_all;
  };
  const Case cases[] = {
      {false, false, true, false, true, true, true, true},
      {false, false, false, false, false, false, true, true},
      {true, false, true, false, false, true, false, true},
      {false, true, true, false, false, false, false, false},
      {false, false, false, true, false, false, true, false},
  };
  for (const Case& c : cases) {
    TScrivlet s;
    if (!c.empty) Load(s, "some text");
    if (c.selection) s.Select(0, 4);
    s.ReadOnly = c.read_only;
    s.SetDisplayOnly(c.display_only);
    EXPECT_EQ(s.CanCut(), c.cut);
    EXPECT_EQ(s.CanDelete(), c.cut);
    EXPECT_EQ(s.CanCopy(), c.copy);
    EXPECT_EQ(s.CanPaste(), c.paste);
    EXPECT_EQ(s.CanSelectAll(), c.select_all);
  }
}

TEST(ScrivletScrollCommandsTest, LinePageAndThumbStepsKeepToTheText) {
  FixedWidthMeasurer m{7, 10};
  TScrivlet s;
  LayOutAtOnce(s, m, 200, 100);
  std::string text;
  for (int i = 0; i < 50; ++i) text += "line\r\n";
  Load(s, text);
  using Code = TScrivlet::TScrollCode;
  const int32_t max_v = 51 * 10 - 100 + 3;
  struct Step {
    Code code;
    int32_t pos, before, after;
  };
  const Step steps[] = {
      {Code::scLineDown, 0, 0, 10},        {Code::scLineUp, 0, 15, 10},    // between lines: snap
      {Code::scLineUp, 0, 10, 0},          {Code::scPageDown, 0, 0, 100},  // 11 visible - 1
      {Code::scPageUp, 0, 100, 10},        {Code::scPageDown, 0, 400, max_v},
      {Code::scLineDown, 0, max_v, max_v}, {Code::scThumb, 7, 0, 7},
  };
  for (const Step& st : steps) {
    s.SetVScroll(st.before);
    s.VScrollCommand(st.code, st.pos);
    EXPECT_EQ(s.VertScroll(), st.after) << static_cast<int>(st.code) << " from " << st.before;
  }
  s.SetOptions(s.GetOptions() | zkoNoFineScroll);
  s.VScrollCommand(Code::scThumb, 17);
  EXPECT_EQ(s.VertScroll(), 10);
  s.SetHScroll(0);
  s.HScrollCommand(Code::scLineDown);
  EXPECT_EQ(s.HorzScroll(), 200 / 20 + 1);
  s.HScrollCommand(Code::scPageDown);
  EXPECT_EQ(s.HorzScroll(), 11 + 200 - 10);
  s.HScrollCommand(Code::scPageUp);
  s.HScrollCommand(Code::scPageUp);
  EXPECT_EQ(s.HorzScroll(), 0);
}

}  // namespace
}  // namespace scrivlet
