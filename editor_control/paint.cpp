// Painting line by line: backgrounds, selection, the pieces of text with their colours,
// the marks of what does not print, the special underline, the end-of-text mark and the
// right line; and where the caret stands.

#include "editor_control/paint.h"

#include <algorithm>
#include <climits>

#include "editor_control/scrivlet.h"
#include "editor_control/style_walker.h"

namespace scrivlet {
namespace {

bool HasColor(int32_t c) { return c != -1 && c != kNoColor; }

}  // namespace

int32_t TScrivPainter::Baseline(int32_t top) {
  const int32_t ascent = canvas_.Ascent();
  const int32_t extra = memo_.LineHeight() - ascent - canvas_.Descent();
  // The line height's extra pixels split above and below the text.
  return top + std::max(0, extra) / 2 + ascent;
}

void TScrivPainter::SpecialUnderline(int32_t x1, int32_t x2, int32_t top) {
  const TScrivPen& pen = memo_.SpecUnderline;
  const int32_t amp = pen.Width * 3 / 2 + 1;
  const int32_t y = std::min(Baseline(top) + canvas_.Descent(), top + memo_.LineHeight() - amp - 1);
  bool up = true;
  for (int32_t x = x1; x < x2; x += amp) {
    const int32_t next = std::min(x + amp, x2);
    canvas_.DrawLine(x, up ? y : y - amp, next, up ? y - amp : y, pen);
    up = !up;
  }
}

int32_t TScrivPainter::RightLineX() {
  const int32_t pos = memo_.GetRightLinePos();
  if (pos == 0) return INT32_MIN;
  const int32_t base = memo_.GetLeftMargin() - memo_.HorzScroll();
  return pos > 0 ? base + pos * memo_.Measurer()->Width(" ", memo_.FontStyle()) : base - pos;
}

int32_t TScrivPainter::EndOfTextY() {
  if (memo_.EndOfTextMark.Color == -1) return INT32_MIN;
  return memo_.EndOfTextMark.Width / 2 + memo_.Table.VisibleLineCount() * memo_.LineHeight() -
         memo_.VertScroll();
}

void TScrivPainter::Paint(const TScrivRect& update, bool focused) {
  if (memo_.Measurer() == nullptr) return;
  show_selection_ = focused || !memo_.HideSelection;
  const int32_t lh = std::max(1, memo_.LineHeight());
  const int32_t origin_x = -memo_.HorzScroll(), origin_y = -memo_.VertScroll();
  const int32_t scrolled = update.Top + memo_.VertScroll();
  int32_t v = std::max(0, scrolled >= 0 ? scrolled / lh : 0);
  const int32_t last_row = (update.Bottom - 1 + memo_.VertScroll()) / lh;
  // The rows in view are laid out before they are drawn.
  if (memo_.Table.Count() > 0 && memo_.Layout().BacklogPending()) memo_.EnsureLine(last_row);
  TScrivNavigator nav(memo_.Table);
  int32_t y = v * lh - memo_.VertScroll();
  for (; v <= last_row && v < memo_.Table.VisibleLineCount(); ++v, y += lh) {
    nav.SetVisibleLine(v);
    const int32_t i = nav.GetParaIndex();
    if (!(memo_.Table.Items(i).Flags & pfFormatted)) {
      memo_.Layout().FormatUpTo(i);
      nav.Unresolve();
      nav.SetVisibleLine(v);
    }
    PaintLine(nav.GetParaIndex(), nav.GetLineInPara(), y);
  }
  // Below the text: the background, then the marks over everything.
  const int32_t text_bottom = y;
  if (text_bottom < update.Bottom)
    canvas_.FillBackground(
        {update.Left, std::max(text_bottom, update.Top), update.Right, update.Bottom}, memo_.Color,
        origin_x, origin_y);
  const int32_t end_y = EndOfTextY();
  if (end_y != INT32_MIN)
    canvas_.DrawLine(0, end_y, memo_.ClientWidth(), end_y, memo_.EndOfTextMark);
  const int32_t right_x = RightLineX();
  if (right_x != INT32_MIN)
    canvas_.DrawLine(right_x, 0, right_x, memo_.ClientHeight(), memo_.RightLinePen);
}

void TScrivPainter::DrawMark(int32_t x, int32_t top, char mark, uint8_t style, int32_t color) {
  canvas_.DrawText(std::span<const int32_t>(&x, 1), Baseline(top), std::string_view(&mark, 1),
                   style, color);
}

// What the steps of PaintLine share about the display line they paint.
struct TScrivPainter::Line {
  const TParagraph& P;
  const TLineRecord Rec;
  const TLineGeometry& G;
  int32_t Index;  // the paragraph's
  int32_t Top;
  int32_t Height;
  int32_t Hs;     // the horizontal scroll
  bool LastLine;  // of its paragraph
  // Where the drawn text ends: blanks that end a wrapped line stay undrawn unless spaces are
  // shown.
  int32_t DrawEnd;
  uint8_t Npc;  // the marks of what does not print that are shown
  int32_t ParFore, ParBack;
  int32_t SelBack, SelText;
  int32_t SpaceWidth;
};

// The selection on a line, as paragraph positions [From, To), and its band [XFrom, XTo).
struct TScrivPainter::LineSelection {
  int32_t From = 0, To = 0;
  int32_t XFrom = INT32_MAX, XTo = INT32_MIN;
  bool BreakSelected = false;  // the stream goes on over the paragraph's break
};

void TScrivPainter::PaintLine(int32_t para_index, int32_t line, int32_t top) {
  TScrivlet& m = memo_;
  const TParagraph& p = m.Table.Items(para_index);
  const TLineGeometry g = m.Layout().MeasureLine(p, line);
  const Line l = LineToPaint(p, para_index, line, g, top);
  const TScrivRect band = Printing ? TScrivRect{-l.Hs, top, m.ClientWidth() - l.Hs, top + l.Height}
                                   : TScrivRect{0, top, m.ClientWidth(), top + l.Height};
  canvas_.BeginLine(band);
  if (!Printing)
    canvas_.FillBackground(band, HasColor(l.ParBack) ? l.ParBack : m.Color, -l.Hs, -m.VertScroll());
  const LineSelection sel = SelectionOn(l);
  SplitIntoPieces(l, sel);
  PlaceCharacters(l);
  const int32_t overhang = LastInkOverhang(l);
  // All backgrounds before any text, so that no background covers a neighbour's ink.
  PaintBackgrounds(l, sel, overhang);
  PaintSelectedBreak(l, sel);
  PaintTexts(l, sel);
  canvas_.EndLine();
}

TScrivPainter::Line TScrivPainter::LineToPaint(const TParagraph& p, int32_t para_index,
                                               int32_t line, const TLineGeometry& g, int32_t top) {
  TScrivlet& m = memo_;
  const TLineRecord rec = para::LineRecord(p, line);
  const bool last_line = line + 1 == para::LineCount(p);
  const uint8_t npc = Printing ? 0 : m.GetShowNonPrintChars();
  const bool windows_colors = (m.GetOptions() & zkoWindowsSelColors) != 0;
  return Line{
      .P = p,
      .Rec = rec,
      .G = g,
      .Index = para_index,
      .Top = top,
      .Height = m.LineHeight(),
      .Hs = m.HorzScroll(),
      .LastLine = last_line,
      .DrawEnd =
          (!last_line && !(npc & zkNPSpace)) ? std::max(rec.TrailingStart, rec.Start) : rec.End,
      .Npc = npc,
      .ParFore = para::ForeColor(p),
      .ParBack = para::BackColor(p),
      .SelBack = windows_colors ? TScrivlet::kClHighlight : m.GetSelBackColor(),
      .SelText = windows_colors ? TScrivlet::kClHighlightText : m.GetSelTextColor(),
      .SpaceWidth = m.Measurer()->Width(" ", m.FontStyle()),
  };
}

TScrivPainter::LineSelection TScrivPainter::SelectionOn(const Line& l) {
  if (!show_selection_ || Printing || memo_.SelLower() >= memo_.SelUpper()) return {};
  return memo_.BlockMode() ? BlockSelectionOn(l) : StreamSelectionOn(l);
}

TScrivPainter::LineSelection TScrivPainter::BlockSelectionOn(const Line& l) {
  TScrivlet& m = memo_;
  const int32_t first = m.SelLowerPara(), last = m.SelUpperPara();
  if (l.Index < first || l.Index > last) return {};
  const int32_t length = para::Length(l.P);
  const int32_t left = std::min(m.BlockStartCol(), m.BlockEndCol());
  const int32_t right = std::max(m.BlockStartCol(), m.BlockEndCol());
  LineSelection sel;
  sel.From = std::clamp(m.ColumnToPos(l.Index, left), l.Rec.Start, l.Rec.End);
  sel.To = std::clamp(m.ColumnToPos(l.Index, right), l.Rec.Start, l.Rec.End);
  // Columns beyond a short line's end are shown as if spaces stood there.
  const int32_t end_col = m.ColumnOf(l.Index, length);
  const int32_t end_x = l.G.X.back();
  sel.XFrom = sel.From < length || left <= end_col
                  ? l.G.X[static_cast<size_t>(sel.From - l.Rec.Start)]
                  : end_x + (left - end_col) * l.SpaceWidth;
  sel.XTo = sel.To < length || right <= end_col ? l.G.X[static_cast<size_t>(sel.To - l.Rec.Start)]
                                                : end_x + (right - end_col) * l.SpaceWidth;
  return sel;
}

TScrivPainter::LineSelection TScrivPainter::StreamSelectionOn(const Line& l) {
  TScrivlet& m = memo_;
  const int32_t line_start = l.P.StartOffset + l.Rec.Start;
  const int32_t line_end = l.P.StartOffset + l.Rec.End;
  const int32_t a = m.SelLower(), b = m.SelUpper();
  if (a > line_end || b <= line_start) return {};
  LineSelection sel;
  sel.From = std::max(a, line_start) - l.P.StartOffset;
  sel.To = std::min(b, line_end) - l.P.StartOffset;
  sel.XFrom = l.G.X[static_cast<size_t>(sel.From - l.Rec.Start)];
  const bool goes_on = b > line_end;
  sel.XTo = goes_on && (m.GetOptions() & zkoFullLineSelect)
                ? m.ClientWidth() + l.Hs
                : l.G.X[static_cast<size_t>(sel.To - l.Rec.Start)];
  sel.BreakSelected = goes_on && l.LastLine && l.Index + 1 < m.Table.Count();
  return sel;
}

// The line's text as pieces of one style and one pair of colours, a tab or a shown space each
// a piece of its own.
void TScrivPainter::SplitIntoPieces(const Line& l, const LineSelection& sel) {
  TScrivlet& m = memo_;
  const bool keep_par_back = (m.GetOptions() & zkoKeepParBackgnd) != 0;
  StyleWalker walk(l.P, m.GetStaticFormat(), m.FontStyle(), l.Rec.Start, l.Rec.StartStyle);
  const char* text = l.P.Text;
  pieces_.clear();
  Piece piece;
  const auto close = [&] {
    if (!piece.Empty()) pieces_.push_back(piece);
    piece = Piece{};
  };
  for (int32_t pos = l.Rec.Start; pos < l.DrawEnd; ++pos) {
    const auto c = static_cast<uint8_t>(text[pos]);
    const uint8_t style = walk.At(pos);
    if (walk.Toggle(c)) {
      close();
      continue;
    }
    // The colours, in their order: paragraph, highlight, the run's attributes, selection.
    int32_t fore = HasColor(l.ParFore) ? l.ParFore : m.FontColor;
    int32_t back = keep_par_back && HasColor(l.ParBack) ? l.ParBack : -1;
    if (style & kStyleHighlight) {
      back = m.HighlightBackgnd;
      fore = m.HighlightColor;
    }
    const TStyleRun& run = walk.Run();
    if (run.RunFlags & kRunHasAttributes) {
      if (HasColor(run.Foregnd) && !HasColor(l.ParFore)) fore = run.Foregnd;
      if (HasColor(run.Backgnd) && !HasColor(l.ParBack)) back = run.Backgnd;
    }
    if (pos >= sel.From && pos < sel.To) {
      fore = l.SelText;
      back = -1;
    }
    if (c == '\t' || (c == ' ' && (l.Npc & zkNPSpace))) {
      close();
      const char mark = c == ' ' ? kSpaceMark : (l.Npc & zkNPTab) ? kTabMark : 0;
      pieces_.push_back({pos, pos + 1, style, fore, back, mark, true});
      continue;
    }
    if (!piece.Empty() && (piece.Style != style || piece.Text != fore || piece.Back != back))
      close();
    if (piece.Empty()) piece = {pos, pos, style, fore, back};
    piece.To = pos + 1;
  }
  close();
}

void TScrivPainter::PlaceCharacters(const Line& l) {
  xs_.resize(l.G.X.size());
  for (size_t k = 0; k < l.G.X.size(); ++k) xs_[k] = l.G.X[k] - l.Hs;
}

// The ink of the line's last letter may reach past its cell (italics); the background under
// it, the run's or the selection's, goes as far, or that part shows on the line's colour.
int32_t TScrivPainter::LastInkOverhang(const Line& l) {
  if (pieces_.empty() || pieces_.back().Blank || pieces_.back().To != l.DrawEnd) return 0;
  return std::max(0, memo_.Measurer()->InkOverhang(l.P.Text[l.DrawEnd - 1], pieces_.back().Style));
}

void TScrivPainter::PaintBackgrounds(const Line& l, const LineSelection& sel, int32_t overhang) {
  const auto x_at = [&](int32_t pos) { return xs_[static_cast<size_t>(pos - l.Rec.Start)]; };
  const int32_t bottom = l.Top + l.Height;
  if (sel.XTo > sel.XFrom && l.SelBack != -1) {
    const bool last_selected = sel.From < l.DrawEnd && sel.To >= l.DrawEnd;
    const int32_t right =
        last_selected ? std::max(sel.XTo - l.Hs, x_at(l.DrawEnd) + overhang) : sel.XTo - l.Hs;
    canvas_.FillRect({sel.XFrom - l.Hs, l.Top, right, bottom}, l.SelBack);
  }
  for (const Piece& pc : pieces_) {
    if (pc.Back == -1) continue;
    const int32_t right = pc.To == l.DrawEnd ? x_at(pc.To) + overhang : x_at(pc.To);
    canvas_.FillRect({x_at(pc.From), l.Top, right, bottom}, pc.Back);
  }
}

bool TScrivPainter::ShowsReturnMark(const Line& l) const {
  return l.LastLine && (l.Npc & zkNPReturn);
}

bool TScrivPainter::ShowsSelectedBreak(const Line& l, const LineSelection& sel) const {
  return l.LastLine && sel.BreakSelected && !memo_.BlockMode();
}

// The paragraph's end: under the return mark, or a selected break shown as a selected space.
void TScrivPainter::PaintSelectedBreak(const Line& l, const LineSelection& sel) {
  TScrivlet& m = memo_;
  if (!ShowsSelectedBreak(l, sel) || l.SelBack == -1) return;
  const int32_t end_x = l.G.X.back() - l.Hs;
  const int32_t bottom = l.Top + l.Height;
  if (ShowsReturnMark(l)) {
    const int32_t width = m.Measurer()->Width(std::string_view(&kReturnMark, 1), m.FontStyle());
    canvas_.FillRect({end_x, l.Top, end_x + width, bottom}, l.SelBack);
  } else if (m.ShowEndParSelected && !(m.GetOptions() & zkoFullLineSelect)) {
    canvas_.FillRect({end_x, l.Top, end_x + l.SpaceWidth, bottom}, l.SelBack);
  }
}

void TScrivPainter::PaintTexts(const Line& l, const LineSelection& sel) {
  TScrivlet& m = memo_;
  const auto x_at = [&](int32_t pos) { return xs_[static_cast<size_t>(pos - l.Rec.Start)]; };
  const int32_t baseline = Baseline(l.Top);
  for (const Piece& pc : pieces_) {
    if (pc.Blank) {
      if (pc.Mark != 0) DrawMark(x_at(pc.From), l.Top, pc.Mark, pc.Style, pc.Text);
      continue;
    }
    const auto from = static_cast<size_t>(pc.From - l.Rec.Start),
               count = static_cast<size_t>(pc.To - pc.From);
    canvas_.DrawText(std::span<const int32_t>(xs_).subspan(from, count), baseline,
                     std::string_view(l.P.Text + pc.From, count), pc.Style, pc.Text);
    if (pc.Style & 0x80) SpecialUnderline(x_at(pc.From), x_at(pc.To), l.Top);
  }
  if (!ShowsReturnMark(l)) return;
  const int32_t color = ShowsSelectedBreak(l, sel) ? l.SelText
                        : HasColor(l.ParFore)      ? l.ParFore
                                                   : m.FontColor;
  DrawMark(l.G.X.back() - l.Hs, l.Top, kReturnMark, m.FontStyle(), color);
}

TScrivRect CaretRect(TScrivlet& memo) {
  TScrivNavigator& caret = memo.CaretNav();
  const int32_t para = caret.GetParaIndex();
  if (!(memo.Table.Items(para).Flags & pfFormatted) && memo.Measurer() != nullptr)
    memo.Layout().FormatUpTo(para);
  int32_t x = caret.GetX();
  const int32_t space = std::max(1, memo.Measurer()->Width(" ", memo.FontStyle()));
  // Pending padding: spaces, and tabs that go on to the next tab stop as in layout.
  for (char c : memo.PendingSpaces()) {
    if (c != '\t') {
      x += space;
      continue;
    }
    const int32_t tabs = memo.GetTabStops();
    if (tabs == 0) continue;
    const int32_t step = tabs > 0 ? tabs * space : -tabs;
    const int32_t left = memo.GetLeftMargin() - memo.HorzScroll();
    x = left + ((x - left) / step + 1) * step;
  }
  if (memo.GetWordWrap()) x = std::min(x, memo.ClientWidth() - 1);
  int32_t width = memo.EffectiveCaretWidth();
  if (memo.GetOverwrite() && (memo.GetOptions() & zkoWideOverwriteCaret) &&
      memo.SelLower() == memo.SelUpper()) {
    const int32_t under = caret.CharWidth();
    width = under > 0 ? under : space;
  }
  const int32_t y = caret.GetY();
  return {x, y, x + width, y + memo.LineHeight()};
}

}  // namespace scrivlet
