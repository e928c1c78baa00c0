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
  const int32_t base = memo_.GetLeftMargin() - memo_.HorzScroll;
  return pos > 0 ? base + pos * memo_.Measurer->Width(" ", memo_.FontStyle) : base - pos;
}

int32_t TScrivPainter::EndOfTextY() {
  if (memo_.EndOfTextMark.Color == -1) return INT32_MIN;
  return memo_.EndOfTextMark.Width / 2 + memo_.Table.VisibleLineCount * memo_.LineHeight() + memo_.TopMargin -
         memo_.VertScroll;
}

void TScrivPainter::Paint(const TScrivRect& update, bool focused) {
  if (memo_.Measurer == nullptr) return;
  showSelection_ = focused || !memo_.HideSelection;
  const int32_t lh = std::max(1, memo_.LineHeight());
  const int32_t originX = -memo_.HorzScroll, originY = -memo_.VertScroll;
  const int32_t scrolled = update.Top + memo_.VertScroll - memo_.TopMargin;
  int32_t v = std::max(0, scrolled >= 0 ? scrolled / lh : 0);
  const int32_t lastRow = (update.Bottom - 1 + memo_.VertScroll - memo_.TopMargin) / lh;
  // The rows in view are laid out before they are drawn.
  if (memo_.Table.Count() > 0 && memo_.Layout().BacklogPending()) memo_.EnsureLine(lastRow);
  TScrivNavigator nav(memo_.Table);
  int32_t y = v * lh + memo_.TopMargin - memo_.VertScroll;
  for (; v <= lastRow && v < memo_.Table.VisibleLineCount; ++v, y += lh) {
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
  const int32_t textBottom = y;
  if (textBottom < update.Bottom)
    canvas_.FillBackground({update.Left, std::max(textBottom, update.Top), update.Right, update.Bottom}, memo_.Color,
                           originX, originY);
  const int32_t endY = EndOfTextY();
  if (endY != INT32_MIN) canvas_.DrawLine(0, endY, memo_.ClientWidth, endY, memo_.EndOfTextMark);
  const int32_t rightX = RightLineX();
  if (rightX != INT32_MIN) canvas_.DrawLine(rightX, 0, rightX, memo_.ClientHeight, memo_.RightLinePen);
}

void TScrivPainter::DrawMark(int32_t x, int32_t top, char mark, uint8_t style, int32_t color) {
  canvas_.DrawText(std::span<const int32_t>(&x, 1), Baseline(top), std::string_view(&mark, 1), style, color);
}

void TScrivPainter::PaintLine(int32_t paraIndex, int32_t line, int32_t top) {
  TScrivlet& m = memo_;
  const TParagraph& p = m.Table.Items(paraIndex);
  const TLineRecord rec = para::LineRecord(p, line);
  const TLineGeometry g = m.Layout().MeasureLine(p, line);
  const int32_t lh = m.LineHeight();
  const int32_t hs = m.HorzScroll;
  const int32_t length = para::Length(p);
  const bool lastLine = line + 1 == para::LineCount(p);
  const int32_t lineStart = p.StartOffset + rec.Start;
  const int32_t lineEnd = p.StartOffset + rec.End;
  const TScrivRect band = Printing ? TScrivRect{-hs, top, m.ClientWidth - hs, top + lh} : TScrivRect{0, top, m.ClientWidth, top + lh};
  canvas_.BeginLine(band);

  const int32_t parFore = para::ForeColor(p);
  const int32_t parBack = para::BackColor(p);
  if (!Printing) canvas_.FillBackground(band, HasColor(parBack) ? parBack : m.Color, -hs, -m.VertScroll);

  // The selection on this line, as paragraph positions [selFrom, selTo), and its band.
  const bool windowsColors = (m.GetOptions() & zkoWindowsSelColors) != 0;
  const int32_t selBack = windowsColors ? TScrivlet::kClHighlight : m.GetSelBackColor();
  const int32_t selText = windowsColors ? TScrivlet::kClHighlightText : m.GetSelTextColor();
  const int32_t spaceWidth = m.Measurer->Width(" ", m.FontStyle);
  int32_t selFrom = 0, selTo = 0;
  int32_t xFrom = INT32_MAX, xTo = INT32_MIN;
  bool breakSelected = false;
  if (showSelection_ && !Printing && m.SelLower() < m.SelUpper()) {
    if (m.BlockMode) {
      const int32_t first = m.SelStartNav->GetParaIndex(), last = m.SelEndNav->GetParaIndex();
      if (paraIndex >= first && paraIndex <= last) {
        const int32_t left = std::min(m.BlockStartCol, m.BlockEndCol);
        const int32_t right = std::max(m.BlockStartCol, m.BlockEndCol);
        selFrom = std::clamp(m.ColumnToPos(paraIndex, left), rec.Start, rec.End);
        selTo = std::clamp(m.ColumnToPos(paraIndex, right), rec.Start, rec.End);
        // Columns beyond a short line's end are shown as if spaces stood there.
        const int32_t endCol = m.ColumnOf(paraIndex, length);
        const int32_t endX = g.X.back();
        xFrom = selFrom < length || left <= endCol ? g.X[static_cast<size_t>(selFrom - rec.Start)]
                                                   : endX + (left - endCol) * spaceWidth;
        xTo = selTo < length || right <= endCol ? g.X[static_cast<size_t>(selTo - rec.Start)]
                                                : endX + (right - endCol) * spaceWidth;
      }
    } else {
      const int32_t a = m.SelLower(), b = m.SelUpper();
      if (a <= lineEnd && b > lineStart) {
        selFrom = std::max(a, lineStart) - p.StartOffset;
        selTo = std::min(b, lineEnd) - p.StartOffset;
        xFrom = g.X[static_cast<size_t>(selFrom - rec.Start)];
        const bool goesOn = b > lineEnd;
        xTo = goesOn && (m.GetOptions() & zkoFullLineSelect) ? m.ClientWidth + hs
                                                               : g.X[static_cast<size_t>(selTo - rec.Start)];
        breakSelected = goesOn && lastLine && paraIndex + 1 < m.Table.Count();
      }
    }
  }

  const uint8_t npc = Printing ? 0 : m.GetShowNonPrintChars();
  const bool keepParBack = (m.GetOptions() & zkoKeepParBackgnd) != 0;
  // Blanks that end a wrapped line stay undrawn unless spaces are shown.
  const int32_t drawEnd = (!lastLine && !(npc & zkNPSpace)) ? std::max(rec.TrailingStart, rec.Start) : rec.End;
  StyleWalker walk(p, m.GetStaticFormat(), m.FontStyle, rec.Start, rec.StartStyle);
  const char* text = p.Text;
  pieces_.clear();
  Piece piece;
  const auto close = [&] {
    if (!piece.Empty()) pieces_.push_back(piece);
    piece = Piece{};
  };
  for (int32_t pos = rec.Start; pos < drawEnd; ++pos) {
    const auto c = static_cast<uint8_t>(text[pos]);
    const uint8_t style = walk.At(pos);
    if (walk.Toggle(c)) {
      close();
      continue;
    }
    // The colours, in their order: paragraph, highlight, the run's attributes, selection.
    int32_t fore = HasColor(parFore) ? parFore : m.FontColor;
    int32_t back = keepParBack && HasColor(parBack) ? parBack : -1;
    if (style & kStyleHighlight) {
      back = m.HighlightBackgnd;
      fore = m.HighlightColor;
    }
    const TStyleRun& run = walk.Run();
    if (run.RunFlags & kRunHasAttributes) {
      if (HasColor(run.Foregnd) && !HasColor(parFore)) fore = run.Foregnd;
      if (HasColor(run.Backgnd) && !HasColor(parBack)) back = run.Backgnd;
    }
    const bool selected = pos >= selFrom && pos < selTo;
    if (selected) {
      fore = selText;
      back = -1;
    }
    if (c == '\t' || (c == ' ' && (npc & zkNPSpace))) {
      close();
      const char mark = c == ' ' ? kSpaceMark : (npc & zkNPTab) ? kTabMark : 0;
      pieces_.push_back({pos, pos + 1, style, fore, back, mark, true});
      continue;
    }
    if (!piece.Empty() && (piece.Style != style || piece.Text != fore || piece.Back != back)) close();
    if (piece.Empty()) piece = {pos, pos, style, fore, back};
    piece.To = pos + 1;
  }
  close();

  xs_.resize(g.X.size());
  for (size_t k = 0; k < g.X.size(); ++k) xs_[k] = g.X[k] - hs;
  const auto xAt = [&](int32_t pos) { return xs_[static_cast<size_t>(pos - rec.Start)]; };
  // The ink of the line's last letter may reach past its cell (italics); the background under
  // it, the run's or the selection's, goes as far, or that part shows on the line's colour.
  int32_t overhang = 0;
  if (!pieces_.empty() && !pieces_.back().Blank && pieces_.back().To == drawEnd)
    overhang = std::max(0, m.Measurer->InkOverhang(text[drawEnd - 1], pieces_.back().Style));
  const int32_t textEndX = xAt(drawEnd);

  // All backgrounds before any text, so that no background covers a neighbour's ink.
  if (xTo > xFrom && selBack != -1) {
    const bool lastSelected = selFrom < drawEnd && selTo >= drawEnd;
    canvas_.FillRect({xFrom - hs, top, lastSelected ? std::max(xTo - hs, textEndX + overhang) : xTo - hs, top + lh},
                     selBack);
  }
  for (const Piece& pc : pieces_) {
    if (pc.Back == -1) continue;
    const int32_t right = pc.To == drawEnd ? xAt(pc.To) + overhang : xAt(pc.To);
    canvas_.FillRect({xAt(pc.From), top, right, top + lh}, pc.Back);
  }
  // The paragraph's end: the return mark, or a selected break shown as a selected space.
  const bool selectedBreak = lastLine && breakSelected && !m.BlockMode;
  const int32_t endX = g.X.back() - hs;
  const bool returnMark = lastLine && (npc & zkNPReturn);
  if (returnMark && selectedBreak && selBack != -1) {
    const int32_t width = m.Measurer->Width(std::string_view(&kReturnMark, 1), m.FontStyle);
    canvas_.FillRect({endX, top, endX + width, top + lh}, selBack);
  } else if (!returnMark && selectedBreak && m.ShowEndParSelected && !(m.GetOptions() & zkoFullLineSelect) &&
             selBack != -1) {
    canvas_.FillRect({endX, top, endX + spaceWidth, top + lh}, selBack);
  }

  const int32_t baseline = Baseline(top);
  for (const Piece& pc : pieces_) {
    if (pc.Blank) {
      if (pc.Mark != 0) DrawMark(xAt(pc.From), top, pc.Mark, pc.Style, pc.Text);
      continue;
    }
    const auto from = static_cast<size_t>(pc.From - rec.Start), count = static_cast<size_t>(pc.To - pc.From);
    canvas_.DrawText(std::span<const int32_t>(xs_).subspan(from, count), baseline,
                     std::string_view(text + pc.From, count), pc.Style, pc.Text);
    if (pc.Style & 0x80) SpecialUnderline(xAt(pc.From), xAt(pc.To), top);
  }
  if (returnMark)
    DrawMark(endX, top, kReturnMark, m.FontStyle, selectedBreak ? selText : (HasColor(parFore) ? parFore : m.FontColor));
  canvas_.EndLine();
}

TScrivRect CaretRect(TScrivlet& memo) {
  TScrivNavigator& caret = memo.CaretNav();
  const int32_t para = caret.GetParaIndex();
  if (!(memo.Table.Items(para).Flags & pfFormatted) && memo.Measurer != nullptr) memo.Layout().FormatUpTo(para);
  int32_t x = caret.GetX();
  const int32_t space = std::max(1, memo.Measurer->Width(" ", memo.FontStyle));
  // Pending padding: spaces, and tabs that go on to the next tab stop as in layout.
  for (char c : memo.PendingSpaces) {
    if (c != '\t') {
      x += space;
      continue;
    }
    const int32_t tabs = memo.GetTabStops();
    if (tabs == 0) continue;
    const int32_t step = tabs > 0 ? tabs * space : -tabs;
    const int32_t left = memo.GetLeftMargin() - memo.HorzScroll;
    x = left + ((x - left) / step + 1) * step;
  }
  if (memo.GetWordWrap()) x = std::min(x, memo.ClientWidth - 1);
  int32_t width = memo.EffectiveCaretWidth();
  if (memo.GetOverwrite() && (memo.GetOptions() & zkoWideOverwriteCaret) && memo.SelLower() == memo.SelUpper()) {
    const int32_t under = caret.CharWidth();
    width = under > 0 ? under : space;
  }
  const int32_t y = caret.GetY();
  return {x, y, x + width, y + memo.LineHeight()};
}

}  // namespace scrivlet
