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
  return memo_.EndOfTextMark.Width / 2 + memo_.Table.VisibleLineCount * memo_.LineHeight() -
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
  for (; v <= last_row && v < memo_.Table.VisibleLineCount; ++v, y += lh) {
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

void TScrivPainter::PaintLine(int32_t para_index, int32_t line, int32_t top) {
  TScrivlet& m = memo_;
  const TParagraph& p = m.Table.Items(para_index);
  const TLineRecord rec = para::LineRecord(p, line);
  const TLineGeometry g = m.Layout().MeasureLine(p, line);
  const int32_t lh = m.LineHeight();
  const int32_t hs = m.HorzScroll();
  const int32_t length = para::Length(p);
  const bool last_line = line + 1 == para::LineCount(p);
  const int32_t line_start = p.StartOffset + rec.Start;
  const int32_t line_end = p.StartOffset + rec.End;
  const TScrivRect band = Printing ? TScrivRect{-hs, top, m.ClientWidth() - hs, top + lh}
                                   : TScrivRect{0, top, m.ClientWidth(), top + lh};
  canvas_.BeginLine(band);

  const int32_t par_fore = para::ForeColor(p);
  const int32_t par_back = para::BackColor(p);
  if (!Printing)
    canvas_.FillBackground(band, HasColor(par_back) ? par_back : m.Color, -hs, -m.VertScroll());

  // The selection on this line, as paragraph positions [sel_from, sel_to), and its band.
  const bool windows_colors = (m.GetOptions() & zkoWindowsSelColors) != 0;
  const int32_t sel_back = windows_colors ? TScrivlet::kClHighlight : m.GetSelBackColor();
  const int32_t sel_text = windows_colors ? TScrivlet::kClHighlightText : m.GetSelTextColor();
  const int32_t space_width = m.Measurer()->Width(" ", m.FontStyle());
  int32_t sel_from = 0, sel_to = 0;
  int32_t x_from = INT32_MAX, x_to = INT32_MIN;
  bool break_selected = false;
  if (show_selection_ && !Printing && m.SelLower() < m.SelUpper()) {
    if (m.BlockMode) {
      const int32_t first = m.SelStartNav->GetParaIndex(), last = m.SelEndNav->GetParaIndex();
      if (para_index >= first && para_index <= last) {
        const int32_t left = std::min(m.BlockStartCol, m.BlockEndCol);
        const int32_t right = std::max(m.BlockStartCol, m.BlockEndCol);
        sel_from = std::clamp(m.ColumnToPos(para_index, left), rec.Start, rec.End);
        sel_to = std::clamp(m.ColumnToPos(para_index, right), rec.Start, rec.End);
        // Columns beyond a short line's end are shown as if spaces stood there.
        const int32_t end_col = m.ColumnOf(para_index, length);
        const int32_t end_x = g.X.back();
        x_from = sel_from < length || left <= end_col
                     ? g.X[static_cast<size_t>(sel_from - rec.Start)]
                     : end_x + (left - end_col) * space_width;
        x_to = sel_to < length || right <= end_col ? g.X[static_cast<size_t>(sel_to - rec.Start)]
                                                   : end_x + (right - end_col) * space_width;
      }
    } else {
      const int32_t a = m.SelLower(), b = m.SelUpper();
      if (a <= line_end && b > line_start) {
        sel_from = std::max(a, line_start) - p.StartOffset;
        sel_to = std::min(b, line_end) - p.StartOffset;
        x_from = g.X[static_cast<size_t>(sel_from - rec.Start)];
        const bool goes_on = b > line_end;
        x_to = goes_on && (m.GetOptions() & zkoFullLineSelect)
                   ? m.ClientWidth() + hs
                   : g.X[static_cast<size_t>(sel_to - rec.Start)];
        break_selected = goes_on && last_line && para_index + 1 < m.Table.Count();
      }
    }
  }

  const uint8_t npc = Printing ? 0 : m.GetShowNonPrintChars();
  const bool keep_par_back = (m.GetOptions() & zkoKeepParBackgnd) != 0;
  // Blanks that end a wrapped line stay undrawn unless spaces are shown.
  const int32_t draw_end =
      (!last_line && !(npc & zkNPSpace)) ? std::max(rec.TrailingStart, rec.Start) : rec.End;
  StyleWalker walk(p, m.GetStaticFormat(), m.FontStyle(), rec.Start, rec.StartStyle);
  const char* text = p.Text;
  pieces_.clear();
  Piece piece;
  const auto close = [&] {
    if (!piece.Empty()) pieces_.push_back(piece);
    piece = Piece{};
  };
  for (int32_t pos = rec.Start; pos < draw_end; ++pos) {
    const auto c = static_cast<uint8_t>(text[pos]);
    const uint8_t style = walk.At(pos);
    if (walk.Toggle(c)) {
      close();
      continue;
    }
    // The colours, in their order: paragraph, highlight, the run's attributes, selection.
    int32_t fore = HasColor(par_fore) ? par_fore : m.FontColor;
    int32_t back = keep_par_back && HasColor(par_back) ? par_back : -1;
    if (style & kStyleHighlight) {
      back = m.HighlightBackgnd;
      fore = m.HighlightColor;
    }
    const TStyleRun& run = walk.Run();
    if (run.RunFlags & kRunHasAttributes) {
      if (HasColor(run.Foregnd) && !HasColor(par_fore)) fore = run.Foregnd;
      if (HasColor(run.Backgnd) && !HasColor(par_back)) back = run.Backgnd;
    }
    const bool selected = pos >= sel_from && pos < sel_to;
    if (selected) {
      fore = sel_text;
      back = -1;
    }
    if (c == '\t' || (c == ' ' && (npc & zkNPSpace))) {
      close();
      const char mark = c == ' ' ? kSpaceMark : (npc & zkNPTab) ? kTabMark : 0;
      pieces_.push_back({pos, pos + 1, style, fore, back, mark, true});
      continue;
    }
    if (!piece.Empty() && (piece.Style != style || piece.Text != fore || piece.Back != back))
      close();
    if (piece.Empty()) piece = {pos, pos, style, fore, back};
    piece.To = pos + 1;
  }
  close();

  xs_.resize(g.X.size());
  for (size_t k = 0; k < g.X.size(); ++k) xs_[k] = g.X[k] - hs;
  const auto x_at = [&](int32_t pos) { return xs_[static_cast<size_t>(pos - rec.Start)]; };
  // The ink of the line's last letter may reach past its cell (italics); the background under
  // it, the run's or the selection's, goes as far, or that part shows on the line's colour.
  int32_t overhang = 0;
  if (!pieces_.empty() && !pieces_.back().Blank && pieces_.back().To == draw_end)
    overhang = std::max(0, m.Measurer()->InkOverhang(text[draw_end - 1], pieces_.back().Style));
  const int32_t text_end_x = x_at(draw_end);

  // All backgrounds before any text, so that no background covers a neighbour's ink.
  if (x_to > x_from && sel_back != -1) {
    const bool last_selected = sel_from < draw_end && sel_to >= draw_end;
    canvas_.FillRect({x_from - hs, top,
                      last_selected ? std::max(x_to - hs, text_end_x + overhang) : x_to - hs,
                      top + lh},
                     sel_back);
  }
  for (const Piece& pc : pieces_) {
    if (pc.Back == -1) continue;
    const int32_t right = pc.To == draw_end ? x_at(pc.To) + overhang : x_at(pc.To);
    canvas_.FillRect({x_at(pc.From), top, right, top + lh}, pc.Back);
  }
  // The paragraph's end: the return mark, or a selected break shown as a selected space.
  const bool selected_break = last_line && break_selected && !m.BlockMode;
  const int32_t end_x = g.X.back() - hs;
  const bool return_mark = last_line && (npc & zkNPReturn);
  if (return_mark && selected_break && sel_back != -1) {
    const int32_t width = m.Measurer()->Width(std::string_view(&kReturnMark, 1), m.FontStyle());
    canvas_.FillRect({end_x, top, end_x + width, top + lh}, sel_back);
  } else if (!return_mark && selected_break && m.ShowEndParSelected &&
             !(m.GetOptions() & zkoFullLineSelect) && sel_back != -1) {
    canvas_.FillRect({end_x, top, end_x + space_width, top + lh}, sel_back);
  }

  const int32_t baseline = Baseline(top);
  for (const Piece& pc : pieces_) {
    if (pc.Blank) {
      if (pc.Mark != 0) DrawMark(x_at(pc.From), top, pc.Mark, pc.Style, pc.Text);
      continue;
    }
    const auto from = static_cast<size_t>(pc.From - rec.Start),
               count = static_cast<size_t>(pc.To - pc.From);
    canvas_.DrawText(std::span<const int32_t>(xs_).subspan(from, count), baseline,
                     std::string_view(text + pc.From, count), pc.Style, pc.Text);
    if (pc.Style & 0x80) SpecialUnderline(x_at(pc.From), x_at(pc.To), top);
  }
  if (return_mark)
    DrawMark(end_x, top, kReturnMark, m.FontStyle(),
             selected_break ? sel_text : (HasColor(par_fore) ? par_fore : m.FontColor));
  canvas_.EndLine();
}

TScrivRect CaretRect(TScrivlet& memo) {
  TScrivNavigator& caret = memo.CaretNav();
  const int32_t para = caret.GetParaIndex();
  if (!(memo.Table.Items(para).Flags & pfFormatted) && memo.Measurer() != nullptr)
    memo.Layout().FormatUpTo(para);
  int32_t x = caret.GetX();
  const int32_t space = std::max(1, memo.Measurer()->Width(" ", memo.FontStyle()));
  // Pending padding: spaces, and tabs that go on to the next tab stop as in layout.
  for (char c : memo.PendingSpaces) {
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
