// TScrivlet: construction, selection, loading and saving, update brackets.

#include "editor_control/scrivlet.h"

#include <algorithm>
#include <sstream>

namespace scrivlet {

TScrivlet::TScrivlet(TScrivletServices services)
    : clock_(services.Clock),
      scheduler_(services.Scheduler),
      window_(services.Window),
      clipboard_(services.Clipboard),
      scroll_ticker_(services.ScrollTicker) {
  if (clock_ == nullptr) {
    own_clock_ = std::make_unique<TSteadyClock>();
    clock_ = own_clock_.get();
  }
  layout_ = std::make_unique<TScrivLayout>(*this);
  Engine = layout_.get();
  Table.StartEmpty();
  for (unsigned char c : std::string_view("\t\n\r $%&,./:;<=>")) separators_.set(c);
  auto make = [this] {
    owned_.push_back(std::make_unique<TScrivNavigator>(*this));
    return owned_.back().get();
  };
  top_line_nav_ = make();
  sel_start_nav_ = make();
  sel_end_nav_ = make();
  paste_caret_nav_ = make();
  for (auto*& s : scratch_) s = make();
  work_nav_ = make();
  caret_ = sel_start_nav_;
}

TScrivlet::~TScrivlet() {
  format_thread_.reset();  // no slice may run on a control that is going
  if (scroll_ticker_ != nullptr) scroll_ticker_->Cancel();
  SetHighlighter(nullptr);
  owned_.clear();
}

void TScrivlet::Unregister(TScrivNavigator* nav) {
  navigators_.erase(std::remove(navigators_.begin(), navigators_.end(), nav), navigators_.end());
}

void TScrivlet::SetHighlighter(TScrivHighlighter* h) {
  if (h == highlighter_) return;
  if (highlighter_ != nullptr) {
    auto& list = highlighter_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  highlighter_ = h;
  if (h != nullptr) h->controls_.push_back(this);
}

void TScrivlet::NotifyListeners(int code) {
  std::erase_if(ChangeListeners, [](const auto& f) { return !f; });
  for (size_t i = 0; i < ChangeListeners.size(); ++i) ChangeListeners[i](*this, code);
}

std::string TScrivlet::GetTextRange(int32_t from, int32_t to) {
  from = std::clamp(from, 0, CharCount());
  to = std::clamp(to, 0, CharCount());
  if (from >= to) return {};
  TScrivNavigator& nav = *scratch_[3];
  nav.SetOffset(from);
  return nav.CopyText(to - from);
}

std::string TScrivlet::Text() { return GetTextRange(0, CharCount()); }

void TScrivlet::SetSelStart(int32_t n) {
  n = std::clamp(n, 0, CharCount());
  caret_ = sel_start_nav_;
  sel_start_nav_->SetOffset(n);
  sel_end_nav_->SetOffset(n);
  sel_length_ = 0;
  block_mode_ = false;
  pending_spaces_.clear();
  desired_x_ = kNoDesiredX;
  UndoBreak = true;
  UpdateCaret();
}

void TScrivlet::SetSelLength(int32_t n) {
  const int32_t caret = caret_->Offset();
  const int32_t other = std::clamp<int64_t>(int64_t{caret} + n, 0, CharCount());
  if (other >= caret) {
    sel_start_nav_->SetOffset(caret);
    sel_end_nav_->SetOffset(other);
    caret_ = sel_start_nav_;
  } else {
    sel_start_nav_->SetOffset(other);
    sel_end_nav_->SetOffset(caret);
    caret_ = sel_end_nav_;
  }
  if (other - caret != sel_length_) UndoBreak = true;
  sel_length_ = other - caret;
  block_mode_ = false;
  desired_x_ = kNoDesiredX;
  Invalidate();
  UpdateCaret();
}

void TScrivlet::Select(int32_t anchor, int32_t caret) {
  SetSelStart(caret);
  SetSelLength(anchor - caret_->Offset());
}

void TScrivlet::EndUpdate() {
  if (update_depth_ > 0) --update_depth_;
  if (update_depth_ == 0) {
    RefreshAfterChange();
    ResumeFormatting();
  }
}

void TScrivlet::RefreshAfterChange() {
  if (Engine != nullptr) Engine->RefreshChanged();
  Table.FirstChanged = Table.Count();
  Table.LastChanged = -1;
  Table.FirstChangedLine = Table.LineCount();
  // Lines removed under a view near the end: the last full page comes back into view.
  const int32_t lh = std::max(1, LineHeight());
  const int32_t last_top = std::max(Table.VisibleLineCount() - VisibleLines() + 1, 0);
  if (vert_scroll_ / lh > last_top) SetVScroll(last_top * lh);
  UpdateScrollBars();
  if (Table.ChangePending) {
    Table.ChangePending = false;
    Change();
  }
  UpdateCaret();
}

void TScrivlet::UpdateCaret() {
  if (update_depth_ > 0) return;
  if (window_ != nullptr) window_->UpdateCaret();
  const int32_t offset = caret_->Offset();
  const auto pending = static_cast<int32_t>(pending_spaces_.size());
  const uint8_t style =
      CombinedStyle(caret_->InlineStyle(), caret_->CurrentStyle().RunFlags, FontStyle());
  if (offset != caret_offset_ || pending != caret_pending_) {
    caret_offset_ = offset;
    caret_pending_ = pending;
    if (OnSelMove) OnSelMove(*this);
    NotifyListeners(kCaretMoved);
  }
  if (style != caret_style_) {
    caret_style_ = style;
    if (OnStyleChange) OnStyleChange(*this);
    NotifyListeners(kStyleAtCaret);
  }
}

void TScrivlet::Change() {
  NotifyListeners(kChangeAfter);
  if (OnChange) OnChange(*this);
}

void TScrivlet::LoadFromStream(std::istream& stream) {
  ++edit_count_;
  ++update_depth_;
  // The selection, the navigators and the undo list start afresh even when the load fails.
  auto finish = [this] {
    for (TScrivNavigator* nav : navigators_) {
      nav->Unresolve();
      nav->SetOffset(0);
    }
    caret_ = sel_start_nav_;
    sel_length_ = 0;
    block_mode_ = false;
    pending_spaces_.clear();
    desired_x_ = kNoDesiredX;
    ClearUndo();
    if (OnParse) OnParse(*this, 0, CharCount());
    --update_depth_;
    const bool moved_x = horz_scroll_ != 0, moved_y = vert_scroll_ != 0;
    horz_scroll_ = vert_scroll_ = 0;
    layout_->LongestLineWidth = 0;
    layout_->LongestLinePara = -1;
    if (OnProgress) OnProgress(Table);
    if (update_depth_ == 0) {
      Table.FirstChanged = Table.Count();
      Table.LastChanged = -1;
      Table.FirstChangedLine = Table.LineCount();
      if (!Loading) {
        Invalidate();
        if (update_mode_ == TzkUpdateMode::umImmediate)
          layout_->FormatBacklog();
        else if (update_mode_ == TzkUpdateMode::umBackground)
          ResumeFormatting();
        if (window_ != nullptr) window_->UpdateScrollBars();
      }
    }
    // The view is back at the top; its events come once the text is in place.
    FireScrollEvents(moved_x, moved_y);
  };
  try {
    const TScrivLineBreak found =
        Table.LoadFromStream(stream, NullReplacement, ProgressInterval, OnProgress,
                             (options_ & zkoDiscardTrailingSpaces) != 0);
    if (options_ & zkoAutoLineBreak) LineBreak = found;
  } catch (...) {
    finish();
    Change();
    throw;
  }
  finish();
  Change();
  UpdateCaret();
}

void TScrivlet::SaveToStream(std::ostream& stream) {
  Table.SaveToStream(stream, DropEmptyStyleRuns, ProgressInterval, OnProgress, LineBreak,
                     (options_ & zkoDiscardTrailingSpaces) != 0);
}

void TScrivlet::SetStaticFormat(bool on) {
  Table.StaticFormat = on;
  if (CharCount() == 0) return;
  std::stringstream text;
  Table.SaveToStream(text, false, ProgressInterval, nullptr, TScrivLineBreak::pbCRLF, false);
  const bool modified = Modified();
  const uint32_t options = options_;
  options_ &= ~zkoDiscardTrailingSpaces;  // the text comes back as it was
  try {
    LoadFromStream(text);
  } catch (...) {
    options_ = options;
    throw;
  }
  options_ = options;
  SetModified(modified);
}

void TScrivlet::SetTextBuf(std::string_view text) {
  SetSelStart(0);
  SetSelLength(CharCount());
  InsertTextBuf(text);
  SetSelStart(0);
  if (update_depth_ == 0) SetVScroll(0);
}

}  // namespace scrivlet
