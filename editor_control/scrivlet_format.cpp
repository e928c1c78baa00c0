// Layout by UpdateMode: the background slices, the window's life, and layout on need.

#include <algorithm>
#include <chrono>

#include "editor_control/scrivlet.h"

namespace scrivlet {

int64_t TSteadyClock::Milliseconds() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool TScrivlet::FormatStep() {
  if (update_depth_ > 0) return false;
  return layout_->FormatSlice(clock_->Milliseconds() + kFormatSliceMs);
}

void TScrivlet::ResumeFormatting() {
  if (update_mode_ != TzkUpdateMode::umBackground || !layout_->BacklogPending()) return;
  if (format_thread_) format_thread_->Resume();
}

void TScrivlet::CreateHandle() {
  handle_ = true;
  pending_spaces_.clear();
  desired_x_ = kNoDesiredX;
  if (!Designing && update_mode_ == TzkUpdateMode::umBackground && scheduler_ != nullptr)
    format_thread_ =
        std::make_unique<TzkFormatThread>(*scheduler_, [this] { return FormatStep(); });
  const bool moved_x = horz_scroll_ != 0;
  horz_scroll_ = vert_scroll_ = 0;
  if (window_ != nullptr) {
    window_->UpdateScrollBars();
    window_->CaretShapeChanged();
  }
  FireScrollEvents(moved_x, true);
  ResumeFormatting();
}

void TScrivlet::DestroyHandle() {
  format_thread_.reset();
  handle_ = false;
}

void TScrivlet::SetUpdateMode(TzkUpdateMode m) {
  format_thread_.reset();
  update_mode_ = m;
  if (Designing || !handle_) return;
  if (m == TzkUpdateMode::umImmediate) {
    layout_->FormatBacklog();
  } else if (m == TzkUpdateMode::umBackground && scheduler_ != nullptr) {
    format_thread_ =
        std::make_unique<TzkFormatThread>(*scheduler_, [this] { return FormatStep(); });
    ResumeFormatting();
  }
}

void TScrivlet::EnsureLine(int32_t line) {
  while (layout_->BacklogPending() && Table.LineCount() <= line)
    layout_->FormatRange(Table.FirstToFormat, Table.LastToFormat, false, true);
  if (!layout_->BacklogPending()) return;
  // Lines before the backlog are final; a line inside it needs its paragraph laid out.
  const TParagraph& front = Table.Items(Table.FirstToFormat);
  if (line >= front.FirstLine) {
    int32_t lo = Table.FirstToFormat, hi = Table.Count() - 1;
    while (lo < hi) {
      const int32_t mid = lo + (hi - lo + 1) / 2;
      if (Table.Items(mid).FirstLine <= line)
        lo = mid;
      else
        hi = mid - 1;
    }
    layout_->FormatUpTo(lo);
  }
}

std::string TScrivlet::GetParagraphText(int32_t index) const {
  if (index < 0 || index >= Table.Count()) return {};
  const TParagraph& p = Table.Items(index);
  return std::string(p.Text ? p.Text : "", static_cast<size_t>(para::Length(p)));
}

void TScrivlet::SetParagraphText(int32_t index, std::string_view text) {
  if (index < 0) return;
  TUpdateGuard update(*this);
  const int32_t anchor = caret_ == sel_start_nav_ ? SelUpper() : SelLower();
  const int32_t caret = caret_->Offset();
  TScrivNavigator keep_anchor(*this), keep_caret(*this);
  keep_anchor.SetOffset(anchor);
  keep_caret.SetOffset(caret);
  while (index >= Table.Count()) {
    Select(CharCount(), CharCount());
    InsertTextBuf("\r\n");
  }
  const TParagraph& p = Table.Items(index);
  Select(p.StartOffset + para::Length(p), p.StartOffset);
  InsertTextBuf(text);
  Select(keep_anchor.Offset(), keep_caret.Offset());
}

std::string TScrivlet::GetLineText(int32_t line) {
  if (line < 0) return {};
  if (word_wrap_) EnsureLine(line);
  if (line >= Table.LineCount()) return {};
  TScrivNavigator& nav = *work_nav_;
  nav.SetDisplayLine(line);
  return nav.LineText();
}

}  // namespace scrivlet
