// The view's offsets: the top line, scrolling the caret into view, animated scrolls.

#include <algorithm>
#include <cstdlib>

#include "editor_control/scrivlet.h"

namespace scrivlet {
namespace {

// A quick second scroll right after an animated one moves at once: holding a key down
// must not queue animations.
constexpr int64_t kQuickRepeatMs = 201;

}  // namespace

int32_t TScrivlet::GetTopLine() { return top_line_nav_->GetDisplayLine(); }

void TScrivlet::SetTopLine(int32_t line) {
  if (word_wrap_) EnsureLine(line);
  top_line_nav_->SetDisplayLine(std::max(0, line));
  ScrollTo(horz_scroll_, top_line_nav_->GetVisibleLine() * LineHeight());
}

void TScrivlet::SetVScroll(int32_t y) {
  scroll_.Running = false;
  ApplyScroll(horz_scroll_, std::max(0, y));
}

void TScrivlet::SetHScroll(int32_t x) {
  scroll_.Running = false;
  ApplyScroll(std::max(0, x), vert_scroll_);
}

void TScrivlet::ApplyScroll(int32_t x, int32_t y) {
  const int32_t dx = x - horz_scroll_;
  const int32_t dy = y - vert_scroll_;
  if (dx == 0 && dy == 0) return;
  horz_scroll_ = x;
  vert_scroll_ = y;
  if (desired_x_ != kNoDesiredX) desired_x_ -= dx;
  if (dy != 0) top_line_nav_->SetVisibleLine(y / std::max(1, LineHeight()));
  if (window_ != nullptr) {
    window_->UpdateScrollBars();
    window_->Invalidate();
  }
  FireScrollEvents(dx != 0, dy != 0);
}

void TScrivlet::FireScrollEvents(bool moved_x, bool moved_y) {
  if (moved_y && OnVScroll) OnVScroll(*this);
  if (moved_x && OnHScroll) OnHScroll(*this);
}

void TScrivlet::ScrollTo(int32_t x, int32_t y) {
  const int64_t now = clock_->Milliseconds();
  if (ScrollTime == 0 || scroll_ticker_ == nullptr || now - last_scroll_end_ < kQuickRepeatMs) {
    scroll_.Running = false;
    ApplyScroll(x, y);
    return;
  }
  if (x == horz_scroll_ && y == vert_scroll_) return;
  scroll_ = {true, now, now, horz_scroll_, vert_scroll_, x, y};
  scroll_ticker_->RequestSlice([this] { ScrollStep(); });
}

void TScrivlet::ScrollStep() {
  if (!scroll_.Running) return;
  const int64_t now = clock_->Milliseconds();
  if (now != scroll_.Previous) {
    // With ScrollTime > 0 the step grows with the time since the start, so the scroll
    // accelerates; with ScrollTime < 0 it follows the time since the previous step.
    auto step_of = [&](int32_t from, int32_t to) {
      const int64_t distance = std::abs(int64_t{to} - from);
      const int64_t step = ScrollTime > 0
                               ? (now - scroll_.Start) * distance / (2 * int64_t{ScrollTime}) + 1
                               : (now - scroll_.Previous) * distance / (-int64_t{ScrollTime}) + 1;
      return step;
    };
    auto toward = [](int32_t at, int32_t to, int64_t step) {
      if (at < to) return static_cast<int32_t>(std::min<int64_t>(to, at + step));
      return static_cast<int32_t>(std::max<int64_t>(to, at - step));
    };
    ApplyScroll(toward(horz_scroll_, scroll_.ToX, step_of(scroll_.FromX, scroll_.ToX)),
                toward(vert_scroll_, scroll_.ToY, step_of(scroll_.FromY, scroll_.ToY)));
    scroll_.Previous = now;
  }
  if (horz_scroll_ == scroll_.ToX && vert_scroll_ == scroll_.ToY) {
    scroll_.Running = false;
    last_scroll_end_ = now;
    return;
  }
  scroll_ticker_->RequestSlice([this] { ScrollStep(); });
}

void TScrivlet::ScrollInView() {
  if (update_depth_ > 0 || !handle_ || Measurer() == nullptr) return;
  const int32_t para = caret_->GetParaIndex();
  if (!(Table.Items(para).Flags & pfFormatted)) layout_->FormatUpTo(para);
  const int32_t lh = std::max(1, LineHeight());
  const int32_t x = caret_->GetX() + Measurer()->Width(pending_spaces_, FontStyle());
  int32_t h = horz_scroll_;
  if ((word_wrap_ && column_wrap_ <= 0) ||
      (alignment_ != TAlignment::taLeftJustify && horz_scroll_ == 0)) {
    h = 0;
  } else {
    const int32_t step = 5 * std::max(1, Measurer()->Width("0", FontStyle()));
    if (x >= ClientWidth())
      h += ((x - ClientWidth()) / step + 1) * step;
    else if (x < 0)
      h += ((x / step) - 1) * step;
    h = std::max(h, 0);
  }
  const int32_t line = caret_->GetVisibleLine();
  const int32_t y = line * lh - vert_scroll_;
  int32_t v = vert_scroll_;
  if (y < 0) {
    v = line * lh;
  } else if (y > ClientHeight() - lh - 3) {
    if (options_ & zkoNoFineScroll) {
      v = std::max(line - VisibleLines() + 2, 0) * lh;
    } else {
      v = lh * (line + 1) - ClientHeight() + 1 + (line + 1 == Table.VisibleLineCount() ? 2 : 0);
      v = std::min(v, line * lh);
    }
  }
  ScrollTo(h, std::max(v, 0));
}

}  // namespace scrivlet

namespace scrivlet {

int32_t TScrivlet::MaxVertScroll() const {
  return std::max(0, Table.VisibleLineCount() * std::max(1, LineHeight()) - ClientHeight() + 3);
}

void TScrivlet::VScrollCommand(TScrollCode code, int32_t pos) {
  if (update_depth_ > 0) return;
  const int32_t lh = std::max(1, LineHeight());
  int32_t v = vert_scroll_;
  switch (code) {
    case TScrollCode::scLineUp: v = v % lh != 0 ? v - v % lh : v - lh; break;
    case TScrollCode::scLineDown:
      if (v < MaxVertScroll()) v += lh;
      break;
    case TScrollCode::scPageUp:
      v -= (VisibleLines() - 2) * lh;
      if (word_wrap_) EnsureLine(std::max(0, v / lh));
      break;
    case TScrollCode::scPageDown:
      if (word_wrap_) EnsureLine((v + ClientHeight()) / lh + VisibleLines());
      v = std::min(v + (VisibleLines() - 1) * lh, std::max(v, MaxVertScroll()));
      break;
    case TScrollCode::scThumb:
      v = pos * VertScrollBar().Unit;
      if (options_ & zkoNoFineScroll) v = v / lh * lh;
      break;
  }
  SetVScroll(std::max(0, v));
}

void TScrivlet::HScrollCommand(TScrollCode code, int32_t pos) {
  if (update_depth_ > 0) return;
  const int32_t line = ClientWidth() / 20 + 1;
  const int32_t page = ClientWidth() - ClientWidth() / 20;
  int32_t h = horz_scroll_;
  switch (code) {
    case TScrollCode::scLineUp: h -= line; break;
    case TScrollCode::scLineDown: h += line; break;
    case TScrollCode::scPageUp: h -= page; break;
    case TScrollCode::scPageDown: h += page; break;
    case TScrollCode::scThumb: h = pos * HorzScrollBar().Unit; break;
  }
  SetHScroll(std::max(0, h));
}

}  // namespace scrivlet
