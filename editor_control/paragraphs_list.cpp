#include "editor_control/paragraphs_list.h"

#include <algorithm>
#include <limits>

namespace scrivlet {

TParagraphsList::TParagraphsList() { SetCapacity(1); }

TParagraphsList::~TParagraphsList() { Clear(); }

void TParagraphsList::Clear() {
  ForEachFrom(0, [](TParagraph& p) { para::Release(p); });
  char_count_ = line_count_ = visible_line_count_ = 0;
  SetCount(0);
  SetCapacity(1);
  TextBlocks.clear();
  LastToFormat = -1;
}

void TParagraphsList::StartEmpty() {
  Add(TParagraph{});
  line_count_ = visible_line_count_ = 1;
}

void TParagraphsList::MarkStale(int32_t first_para, int32_t line_span, int32_t last_para) {
  if (LastChanged < FirstChanged) {
    FirstChanged = Count();
    if (Count() > 0) {
      const TParagraph& last = Slot(Count() - 1);
      FirstChangedLine = last.FirstLine + para::LineCount(last);
    } else {
      FirstChangedLine = 0;
    }
  }
  if (FirstChanged >= first_para) {
    FirstChanged = first_para;
    if (first_para >= 0 && first_para < Count())
      FirstChangedLine = std::min(FirstChangedLine, Slot(first_para).FirstLine + line_span);
  }
  LastChanged = std::max(LastChanged, last_para);
  if (LastScanned >= first_para) LastScanned = first_para - 1;
  AllFormatted = false;
}

void TParagraphsList::MarkAllForLayout() {
  ForEachFrom(0, [](TParagraph& p) { p.Flags &= static_cast<uint8_t>(~pfFormatted); });
  FirstToFormat = 0;
  LastToFormat = Count() - 1;
}

int32_t TParagraphsList::VisibleLines(int32_t i) const {
  const TParagraph& p = Items(i);
  return (p.Flags & pfCollapsed) ? 0 : para::LineCount(p);
}

int32_t TParagraphsList::SetParagraphLines(int32_t i, const std::vector<TLineRecord>& lines) {
  TParagraph& p = Items(i);
  const int32_t old_count = para::LineCount(p);
  const int32_t old_visible = VisibleLines(i);
  const int32_t n = std::max<int32_t>(1, static_cast<int32_t>(lines.size()));
  para::SetLineCount(p, n);
  for (int32_t k = 0; k < static_cast<int32_t>(lines.size()); ++k)
    para::SetLineRecord(p, k, lines[static_cast<size_t>(k)]);
  if (lines.empty()) para::ResetLines(p);
  const int32_t delta = n - old_count;
  line_count_ += delta;
  const int32_t visible_delta = VisibleLines(i) - old_visible;
  visible_line_count_ += visible_delta;
  ShiftLines(i + 1, visible_delta);
  return delta;
}

void TParagraphsList::LinesChanged(int32_t last, int32_t line_delta, int32_t visible_delta) {
  line_count_ += line_delta;
  visible_line_count_ += visible_delta;
  ShiftLines(last + 1, visible_delta);
}

bool TParagraphsList::Collapse(int32_t para_index, int32_t level, bool collapse) {
  bool changed = false;
  int32_t hidden = 0;
  int32_t i = para_index + 1;
  for (; i < Count() && para::EffectiveStopLevel(Slot(i)) >= level; ++i) {
    TParagraph& p = Slot(i);
    if (((p.Flags & pfCollapsed) != 0) == collapse) continue;
    const int32_t lines = para::LineCount(p);
    p.Flags = collapse ? (p.Flags | pfCollapsed) : (p.Flags & static_cast<uint8_t>(~pfCollapsed));
    hidden += collapse ? lines : -lines;
    changed = true;
  }
  if (!changed) return false;
  // The paragraphs inside the range take the line positions of what stays visible.
  int32_t line = Slot(para_index).FirstLine + VisibleLines(para_index);
  for (int32_t k = para_index + 1; k < i; ++k) {
    Slot(k).FirstLine = line;
    line += VisibleLines(k);
  }
  ShiftLines(i, -hidden);
  visible_line_count_ -= hidden;
  PendingLineDelta -= hidden;
  return true;
}

bool TParagraphsList::CollapseRange(int32_t para_index, int32_t from_level, int32_t to_level,
                                    bool collapse) {
  bool changed = false;
  for (int32_t level = from_level; level <= to_level; ++level)
    changed = Collapse(para_index, level, collapse) || changed;
  return changed;
}

int32_t TParagraphsList::EditBufferSize(int64_t n) {
  const int64_t size = n + n / 64 + 1;
  if (n < 0 || size > std::numeric_limits<int32_t>::max()) throw EScrivletError(kTextTooLong);
  return static_cast<int32_t>(size);
}

int32_t TParagraphsList::ParagraphAt(int32_t offset) const {
  int32_t lo = 0, hi = Count() - 1;
  while (lo < hi) {
    const int32_t mid = lo + (hi - lo + 1) / 2;
    if (Slot(mid).StartOffset <= offset)
      lo = mid;
    else
      hi = mid - 1;
  }
  return lo;
}

uint8_t TParagraphsList::GetCharAt(int32_t offset) const {
  if (Count() == 0 || offset < 0 || offset >= char_count_) return 0;
  const TParagraph& p = Slot(ParagraphAt(offset));
  const int32_t pos = offset - p.StartOffset;
  const int32_t len = para::Length(p);
  if (pos < len) return static_cast<uint8_t>(p.Text[pos]);
  return pos == len ? 13 : 10;
}

void TParagraphsList::ResetAfterLoad() {
  ChangePending = false;
  FirstChangedLine = 0;
  PendingLineDelta = 0;
  FirstChanged = 0;
  LastChanged = Count() - 1;
  LastScanned = -1;
  FirstToFormat = 0;
  // The backlog names paragraphs that exist: the last one is Count - 1.
  LastToFormat = Count() - 1;
  line_count_ = visible_line_count_ = Count();
}

}  // namespace scrivlet
