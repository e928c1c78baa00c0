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
  const int32_t end = list_.CharCount();
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
  const int32_t end = list_.CharCount();
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

void TScrivNavigator::SetFromPoint(int32_t x, int32_t y) {
  const int32_t h = std::max(1, Memo->LineHeight());
  const int32_t sum = y + Memo->VertScroll();
  const int32_t line = sum >= 0 ? sum / h : -((-sum + h - 1) / h);
  if (line >= list_.VisibleLineCount()) {
    SetOffset(list_.CharCount());
    return;
  }
  SetVisibleLine(std::max(line, 0));
  SetFromX(x);
}

void TScrivNavigator::SetFromX(int32_t x) {
  const int32_t line = GetLineInPara();
  const TLineGeometry g = Memo->Layout().MeasureLine(*para_, line);
  const int32_t target = x + Memo->HorzScroll();
  int32_t passed = 0;
  for (size_t k = 0; k + 1 < g.X.size(); ++k) {
    const int32_t width = g.X[k + 1] - g.X[k];
    if (target < g.X[k] + width / 2) break;
    ++passed;
  }
  SetColumnInLine(passed);
}

int32_t TScrivNavigator::GetX() {
  const int32_t line = GetLineInPara();
  const TLineRecord rec = para::LineRecord(*para_, line);
  const TLineGeometry g = Memo->Layout().MeasureLine(*para_, line);
  const auto k = static_cast<size_t>(
      std::clamp<int32_t>(pos_in_para_ - rec.Start, 0, static_cast<int32_t>(g.X.size()) - 1));
  return g.X[k] - Memo->HorzScroll();
}

int32_t TScrivNavigator::GetY() {
  return GetVisibleLine() * Memo->LineHeight() - Memo->VertScroll();
}

int32_t TScrivNavigator::CharWidth() {
  Resolve();
  if (pos_in_para_ >= Length()) return 0;
  const int32_t line = GetLineInPara();
  TLineRecord rec = para::LineRecord(*para_, line);
  const TLineGeometry g = Memo->Layout().MeasureLine(*para_, line);
  const auto k = static_cast<size_t>(pos_in_para_ - rec.Start);
  return k + 1 < g.X.size() ? g.X[k + 1] - g.X[k] : 0;
}

}  // namespace scrivlet
