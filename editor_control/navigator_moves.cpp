// Navigator moves by word and by pixel.

#include <algorithm>
#include <vector>

#include "editor_control/navigator.h"
#include "editor_control/scrivlet.h"

namespace scrivlet {
namespace {

// Paragraph breaks separate words whatever the separator set says.
bool IsSep(const TSeparators& seps, uint8_t c) { return c == 13 || c == 10 || seps.test(c); }

}  // namespace

void TScrivNavigator::WordStartBack(const TSeparators& seps) {
  int32_t o = offset_;
  if (o <= 0) return;
  --o;
  while (o > 0 && IsSep(seps, CharAtOffset(o))) --o;
  while (o > 0 && !IsSep(seps, CharAtOffset(o - 1))) --o;
  SetOffset(o);
}

void TScrivNavigator::NextWordStart(const TSeparators& seps) {
  const int32_t end = list_.CharCount;
  int32_t o = offset_;
  if (o >= end) return;
  if (CharAtOffset(o) == 13) {
    o += 2;
  } else {
    const int32_t from = o;
    while (o < end && !IsSep(seps, CharAtOffset(o))) ++o;
    if (o == from && CharAtOffset(o) == 13) o += 2;
  }
  // Over the separators that follow; breaks are separators, so this goes on to the first
  // word of a later paragraph.
  while (o < end && IsSep(seps, CharAtOffset(o))) ++o;
  SetOffset(std::min(o, end));
}

void TScrivNavigator::WordEnd(const TSeparators& seps) {
  const int32_t end = list_.CharCount;
  int32_t o = offset_;
  while (o < end && !IsSep(seps, CharAtOffset(o))) ++o;
  SetOffset(o);
}

void TScrivNavigator::CurrentWordStart(const TSeparators& seps) {
  Resolve();
  const int32_t start = para_->StartOffset;
  int32_t o = std::min(offset_, start + Length());
  while (o > start && IsSep(seps, CharAtOffset(o - 1))) --o;
  while (o > start && !IsSep(seps, CharAtOffset(o - 1))) --o;
  SetOffset(o);
}

namespace {

// The x of every character start of one display line, and the x behind its last character,
// measured the way the layout places them.
struct LineGeometry {
  std::vector<int32_t> x;  // x[k]: start of character Start + k; x.back(): end of the line
  int32_t start = 0;
};

LineGeometry MeasureLine(TScrivlet& memo, const TParagraph& p, const TLineRecord& rec) {
  TTextMeasurer& m = *memo.Measurer;
  const bool staticFormat = memo.GetStaticFormat();
  const auto* runs = para::Runs(p);
  uint8_t inline_ = rec.StartStyle;
  size_t run = 0;
  LineGeometry g;
  g.start = rec.Start;
  auto styleAt = [&](int32_t pos) {
    while (runs != nullptr && run < runs->size() && (*runs)[run].Offset <= pos) ++run;
    const uint8_t runBits = (runs != nullptr && run > 0) ? ((*runs)[run - 1].RunFlags & 0x3F)
                                                         : (para::Style(p).RunFlags & 0x3F);
    return static_cast<uint8_t>(inline_ | runBits);
  };
  int32_t x = 0;
  for (int32_t pos = rec.Start; pos < rec.End; ++pos) {
    g.x.push_back(x);
    const auto c = static_cast<uint8_t>(p.Text[pos]);
    const uint8_t style = styleAt(pos);
    if (staticFormat && IsStyleChar(c)) {
      inline_ = ToggleStyle(inline_, c);
      continue;
    }
    if (c == 9) {
      const int32_t space = m.Width("  ", style) - m.Width(" ", style);
      const int32_t step = memo.TabStops > 0 ? memo.TabStops * std::max(space, 1) : -memo.TabStops;
      if (step > 0) x = (x / step + 1) * step;
      continue;
    }
    const int32_t overhang = 2 * m.Width(" ", style) - m.Width("  ", style);
    x += m.Width(std::string_view(p.Text + pos, 1), style) - overhang;
  }
  g.x.push_back(x);
  // The line's place in the client area.
  const int32_t wrap = std::max(1, memo.ClientWidth - memo.LeftMargin - memo.RightMargin);
  const int32_t free = std::max(0, wrap - x);
  int32_t left = memo.LeftMargin;
  if (memo.Alignment == TAlignment::taRightJustify) left += free;
  if (memo.Alignment == TAlignment::taCenter) left += free / 2;
  for (int32_t& v : g.x) v += left;
  return g;
}

}  // namespace

void TScrivNavigator::SetFromPoint(int32_t x, int32_t y) {
  const int32_t h = std::max(1, Memo->LineHeight());
  const int32_t sum = y + Memo->VertScroll;
  const int32_t line = sum >= 0 ? sum / h : -((-sum + h - 1) / h);
  if (line >= list_.VisibleLineCount) {
    SetOffset(list_.CharCount);
    return;
  }
  SetVisibleLine(std::max(line, 0));
  SetFromX(x);
}

void TScrivNavigator::SetFromX(int32_t x) {
  const int32_t line = GetLineInPara();
  const TLineRecord rec = para::LineRecord(*para_, line);
  const LineGeometry g = MeasureLine(*Memo, *para_, rec);
  const int32_t target = x + Memo->HorzScroll;
  int32_t passed = 0;
  for (size_t k = 0; k + 1 < g.x.size(); ++k) {
    const int32_t width = g.x[k + 1] - g.x[k];
    if (target < g.x[k] + width / 2) break;
    ++passed;
  }
  SetColumnInLine(passed);
}

int32_t TScrivNavigator::GetX() {
  const int32_t line = GetLineInPara();
  const TLineRecord rec = para::LineRecord(*para_, line);
  const LineGeometry g = MeasureLine(*Memo, *para_, rec);
  const auto k = static_cast<size_t>(std::clamp<int32_t>(posInPara_ - rec.Start, 0,
                                                         static_cast<int32_t>(g.x.size()) - 1));
  return g.x[k] - Memo->HorzScroll;
}

int32_t TScrivNavigator::GetY() {
  return GetVisibleLine() * Memo->LineHeight() + Memo->TopMargin - Memo->VertScroll;
}

int32_t TScrivNavigator::CharWidth() {
  Resolve();
  if (posInPara_ >= Length()) return 0;
  const int32_t line = GetLineInPara();
  TLineRecord rec = para::LineRecord(*para_, line);
  const LineGeometry g = MeasureLine(*Memo, *para_, rec);
  const auto k = static_cast<size_t>(posInPara_ - rec.Start);
  return k + 1 < g.x.size() ? g.x[k + 1] - g.x[k] : 0;
}

}  // namespace scrivlet
