#include "editor_control/navigator.h"

#include <algorithm>
#include <cstring>

#include "editor_control/scrivlet.h"

namespace scrivlet {

TScrivNavigator::TScrivNavigator(TScrivlet& memo) : Memo(&memo), list_(memo.Table) {
  memo.Register(this);
}

TScrivNavigator::TScrivNavigator(TParagraphsList& list) : Memo(nullptr), list_(list) {}

TScrivNavigator::~TScrivNavigator() {
  if (Memo != nullptr) Memo->Unregister(this);
  if (OnFree) OnFree(*this);
}

void TScrivNavigator::Assign(const TScrivNavigator& other) {
  offset_ = other.offset_;
  para_ = other.para_;
  para_index_ = other.para_index_;
  pos_in_para_ = other.pos_in_para_;
  run_index_ = other.run_index_;
  line_in_para_ = other.line_in_para_;
}

void TScrivNavigator::Unresolve() {
  para_ = nullptr;
  para_index_ = pos_in_para_ = run_index_ = line_in_para_ = -1;
}

void TScrivNavigator::ShiftParagraphIndex(int32_t added, int32_t offset_delta) {
  offset_ += offset_delta;
  if (!Resolved()) return;
  para_index_ += added;
  para_ = &list_.Items(para_index_);
}

void TScrivNavigator::ResolveAt(int32_t index) {
  para_index_ = index;
  para_ = &list_.Items(index);
  pos_in_para_ = offset_ - para_->StartOffset;
  run_index_ = line_in_para_ = -1;
}

// The table's offsets grow with the index, so the paragraph is found by bisection; that
// costs a few steps wherever the jump lands.
void TScrivNavigator::Resolve() {
  if (Resolved()) return;
  ResolveAt(list_.ParagraphAt(offset_));
}

void TScrivNavigator::SetOffset(int32_t n) {
  if (Resolved()) {
    const int32_t start = para_->StartOffset;
    if (n >= start && n <= start + Length() + 1) {
      const int32_t pos = n - start;
      if (pos >= pos_in_para_) {
        if (run_index_ >= 0) {
          const auto* runs = para::Runs(*para_);
          const int32_t count = para::RunCount(*para_);
          while (run_index_ < count && (*runs)[static_cast<size_t>(run_index_)].Offset < pos)
            ++run_index_;
        }
        if (line_in_para_ >= 0) {
          const int32_t lines = para::LineCount(*para_);
          while (line_in_para_ + 1 < lines &&
                 para::LineRecord(*para_, line_in_para_ + 1).Start <= pos)
            ++line_in_para_;
        }
      } else {
        run_index_ = line_in_para_ = -1;
      }
      pos_in_para_ = pos;
      offset_ = n;
      return;
    }
    Unresolve();
  }
  offset_ = n;
}

int32_t TScrivNavigator::GetParaIndex() {
  Resolve();
  return para_index_;
}

TParagraph* TScrivNavigator::GetPara() {
  Resolve();
  return para_;
}

int32_t TScrivNavigator::GetPosInPara() {
  Resolve();
  return pos_in_para_;
}

void TScrivNavigator::SetParaIndex(int32_t i) {
  i = std::clamp<int32_t>(i, 0, list_.Count() - 1);
  para_index_ = i;
  para_ = &list_.Items(i);
  offset_ = para_->StartOffset;
  pos_in_para_ = 0;
  run_index_ = 0;
  line_in_para_ = 0;
}

void TScrivNavigator::SetPosInPara(int32_t n) {
  Resolve();
  n = std::clamp<int32_t>(n, 0, Length());
  pos_in_para_ = n;
  offset_ = para_->StartOffset + n;
  if (run_index_ >= 0) run_index_ = ComputeRunIndex();
  if (line_in_para_ >= 0) line_in_para_ = ComputeLineInPara();
}

int32_t TScrivNavigator::ComputeRunIndex() const {
  const auto* runs = para::Runs(*para_);
  if (runs == nullptr) return 0;
  int32_t k = 0;
  while (k < static_cast<int32_t>(runs->size()) &&
         (*runs)[static_cast<size_t>(k)].Offset < pos_in_para_)
    ++k;
  return k;
}

int32_t TScrivNavigator::ComputeLineInPara() const {
  const int32_t lines = para::LineCount(*para_);
  int32_t k = 0;
  while (k + 1 < lines && para::LineRecord(*para_, k + 1).Start <= pos_in_para_) ++k;
  return k;
}

int32_t TScrivNavigator::GetRunIndex() {
  Resolve();
  if (run_index_ < 0) run_index_ = ComputeRunIndex();
  return run_index_;
}

void TScrivNavigator::SetRunIndex(int32_t k) {
  Resolve();
  if (k < 0 || k > para::RunCount(*para_)) return;
  pos_in_para_ = k == 0 ? 0 : (*para::Runs(*para_))[static_cast<size_t>(k - 1)].Offset;
  offset_ = para_->StartOffset + pos_in_para_;
  run_index_ = k;
  line_in_para_ = -1;
}

void TScrivNavigator::SkipRunsHere() {
  GetRunIndex();
  const auto* runs = para::Runs(*para_);
  const int32_t count = para::RunCount(*para_);
  while (run_index_ < count && (*runs)[static_cast<size_t>(run_index_)].Offset == pos_in_para_)
    ++run_index_;
}

bool TScrivNavigator::NextRun(int32_t limit) {
  Resolve();
  for (int32_t i = para_index_, from = pos_in_para_ + 1; i < list_.Count(); ++i, from = 0) {
    const TParagraph& p = list_.Items(i);
    const auto* runs = para::Runs(p);
    if (runs == nullptr) continue;
    for (size_t k = 0; k < runs->size(); ++k) {
      if ((*runs)[k].Offset < from) continue;
      if (p.StartOffset + (*runs)[k].Offset > limit) return false;
      SetOffset(p.StartOffset + (*runs)[k].Offset);
      Resolve();
      run_index_ = static_cast<int32_t>(k) + 1;
      return true;
    }
    if (p.StartOffset + para::Length(p) > limit) return false;
  }
  return false;
}

bool TScrivNavigator::PrevRun(int32_t limit) {
  Resolve();
  for (int32_t i = para_index_, before = pos_in_para_; i >= 0; --i, before = INT32_MAX) {
    const TParagraph& p = list_.Items(i);
    const auto* runs = para::Runs(p);
    if (runs != nullptr) {
      for (size_t k = runs->size(); k-- > 0;) {
        if ((*runs)[k].Offset >= before) continue;
        if (p.StartOffset + (*runs)[k].Offset < limit) return false;
        SetOffset(p.StartOffset + (*runs)[k].Offset);
        Resolve();
        run_index_ = static_cast<int32_t>(k) + 1;
        return true;
      }
    }
    if (p.StartOffset < limit) return false;
  }
  return false;
}

void TScrivNavigator::StepBackRun() {
  GetRunIndex();
  if (run_index_ > 0) --run_index_;
}

const TStyleRun& TScrivNavigator::CurrentStyle() {
  const int32_t k = GetRunIndex();
  if (k > 0) return (*para::Runs(*para_))[static_cast<size_t>(k - 1)];
  return para::Style(*para_);
}

void TScrivNavigator::InsertRun(const TStyleRun& run) {
  const int32_t k = GetRunIndex();
  auto& runs = para::MutableRuns(*para_);
  TStyleRun r = run;
  r.Offset = pos_in_para_;
  runs.insert(runs.begin() + k, r);
  run_index_ = k + 1;
}

void TScrivNavigator::DeleteRun() {
  const int32_t k = GetRunIndex();
  const auto* runs = para::Runs(*para_);
  if (runs == nullptr || k >= static_cast<int32_t>(runs->size()) ||
      (*runs)[static_cast<size_t>(k)].Offset != pos_in_para_)
    throw EScrivletError(kInternalError);
  auto& mutable_runs = para::MutableRuns(*para_);
  mutable_runs.erase(mutable_runs.begin() + k);
}

uint8_t TScrivNavigator::InlineStyle() {
  if (!list_.StaticFormat) return 0;
  const int32_t line = GetLineInPara();
  const TLineRecord rec = para::LineRecord(*para_, line);
  uint8_t style = rec.StartStyle;
  for (int32_t i = rec.Start; i < pos_in_para_ && i < Length(); ++i)
    style = ToggleStyle(style, static_cast<uint8_t>(para_->Text[i]));
  return style;
}

uint8_t TScrivNavigator::CharAtOffset(int32_t offset) const { return list_.GetCharAt(offset); }

uint8_t TScrivNavigator::CharAt() {
  Resolve();
  const int32_t len = Length();
  if (pos_in_para_ < len) return static_cast<uint8_t>(para_->Text[pos_in_para_]);
  if (para_index_ == list_.Count() - 1) return 0;
  return pos_in_para_ == len ? 13 : 10;
}

std::string TScrivNavigator::CopyText(int32_t n) {
  std::string out;
  if (n <= 0) return out;
  Resolve();
  int32_t i = para_index_;
  int32_t pos = pos_in_para_;
  while (n > 0 && i < list_.Count()) {
    const TParagraph& p = list_.Items(i);
    const int32_t len = para::Length(p);
    if (pos < len) {
      const int32_t take = std::min(n, len - pos);
      out.append(p.Text + pos, static_cast<size_t>(take));
      n -= take;
      pos += take;
      continue;
    }
    if (i == list_.Count() - 1) break;
    if (pos == len) {
      out.push_back('\r');
      --n;
      ++pos;
    } else {
      out.push_back('\n');
      --n;
      ++i;
      pos = 0;
    }
  }
  return out;
}

int32_t TScrivNavigator::GetLineInPara() {
  Resolve();
  if (line_in_para_ < 0) line_in_para_ = ComputeLineInPara();
  return line_in_para_;
}

int32_t TScrivNavigator::GetDisplayLine() {
  Resolve();
  if (Memo != nullptr && !Memo->GetWordWrap()) return para_index_;
  return para_->FirstLine + GetLineInPara();
}

// The paragraph that holds display line n (FirstLine grows with the index).
static int32_t ParagraphOfLine(TParagraphsList& list, int32_t n) {
  int32_t lo = 0, hi = list.Count() - 1;
  while (lo < hi) {
    const int32_t mid = lo + (hi - lo + 1) / 2;
    if (list.Items(mid).FirstLine <= n)
      lo = mid;
    else
      hi = mid - 1;
  }
  // Collapsed paragraphs share the FirstLine of what follows them: take the visible one.
  while (lo + 1 < list.Count() && list.VisibleLines(lo) == 0 && list.Items(lo + 1).FirstLine <= n)
    ++lo;
  while (lo > 0 && list.VisibleLines(lo) == 0) --lo;
  return lo;
}

void TScrivNavigator::SetDisplayLine(int32_t n) {
  if (Memo != nullptr && !Memo->GetWordWrap() &&
      Memo->GetAlignment() == TAlignment::taLeftJustify) {
    SetParaIndex(std::clamp<int32_t>(n, 0, list_.Count() - 1));
    return;
  }
  SetVisibleLine(n);
}

int32_t TScrivNavigator::GetVisibleLine() {
  Resolve();
  if (para_->Flags & pfCollapsed) return para_->FirstLine;
  return para_->FirstLine + GetLineInPara();
}

void TScrivNavigator::SetVisibleLine(int32_t n) {
  n = std::clamp<int32_t>(n, 0, std::max(0, list_.VisibleLineCount() - 1));
  const int32_t i = ParagraphOfLine(list_, n);
  TParagraph& p = list_.Items(i);
  const int32_t line = std::clamp<int32_t>(n - p.FirstLine, 0, para::LineCount(p) - 1);
  para_index_ = i;
  para_ = &p;
  pos_in_para_ = para::LineRecord(p, line).Start;
  offset_ = p.StartOffset + pos_in_para_;
  line_in_para_ = line;
  run_index_ = ComputeRunIndex();
}

bool TScrivNavigator::IsVisible() {
  Resolve();
  return (para_->Flags & pfCollapsed) == 0;
}

int32_t TScrivNavigator::ColumnInLine() {
  const int32_t line = GetLineInPara();
  return pos_in_para_ - para::LineRecord(*para_, line).Start;
}

void TScrivNavigator::SetColumnInLine(int32_t col) {
  const int32_t line = GetLineInPara();
  const TLineRecord rec = para::LineRecord(*para_, line);
  pos_in_para_ = rec.Start + std::clamp<int32_t>(col, 0, rec.End - rec.Start);
  offset_ = para_->StartOffset + pos_in_para_;
  // The end of a line is the start of the next; the position stays on the line it was put on.
  run_index_ = -1;
}

std::string TScrivNavigator::LineText() {
  const int32_t line = GetLineInPara();
  const TLineRecord rec = para::LineRecord(*para_, line);
  if (rec.End <= rec.Start) return {};
  return std::string(para_->Text + rec.Start, static_cast<size_t>(rec.End - rec.Start));
}

void TParagraphsList::ForgetNavigatorCaches(const std::vector<TScrivNavigator*>& list,
                                            int32_t from_offset, int32_t last_para) {
  for (TScrivNavigator* nav : list)
    if (nav->Resolved() && nav->Offset() >= from_offset && nav->CachedParaIndex() <= last_para)
      nav->DropLineAndRunCaches();
}

}  // namespace scrivlet
