// TScrivlet's published properties: each setter with the effect it has on layout, caret
// and window, and the drivers those effects use.

#include <algorithm>
#include <sstream>

#include "editor_control/scrivlet.h"

namespace scrivlet {

void TScrivlet::Relayout() {
  layout_->LongestLineWidth = 0;
  layout_->LongestLinePara = -1;
  for (TScrivNavigator* nav : navigators_) nav->DropLineAndRunCaches();
  if (Loading) return;
  if (window_ != nullptr) window_->UpdateScrollBars();
  layout_->MarkAllForLayout();
  if (update_depth_ > 0) return;
  if (Designing || update_mode_ == TzkUpdateMode::umImmediate)
    layout_->FormatBacklog();
  else if (update_mode_ == TzkUpdateMode::umBackground)
    ResumeFormatting();
}

void TScrivlet::ReapplyHighlighting() {
  if (Loading) return;
  layout_->ReapplyHighlighting();
  Relayout();
  Invalidate();
}

void TScrivlet::ApplyStyleRange(int32_t start_offset, int32_t stop_offset, uint8_t style,
                                bool style_flag, int32_t context, int16_t cursor, int32_t backgnd,
                                int32_t foregnd, bool range_flag) {
  TStyleRun run;
  run.RunFlags = style;
  run.Context = context;
  run.Cursor = cursor;
  run.Backgnd = backgnd;
  run.Foregnd = foregnd;
  layout_->StyleRange(start_offset, stop_offset, range_flag, style_flag, run);
  if (update_depth_ == 0) {
    if (update_mode_ == TzkUpdateMode::umImmediate)
      layout_->FormatBacklog();
    else if (update_mode_ == TzkUpdateMode::umBackground)
      ResumeFormatting();
    Invalidate();
  }
}

void TScrivlet::SetFontStyle(uint8_t style) {
  font_style_ = style;
  FontChanged();
}

void TScrivlet::SetMeasurer(TTextMeasurer* measurer) {
  measurer_ = measurer;
  FontChanged();
}

void TScrivlet::FontChanged() {
  layout_->ForgetMetrics();
  Relayout();
  if (handle_) {
    const bool moved_x = horz_scroll_ != 0;
    horz_scroll_ = vert_scroll_ = 0;
    top_line_nav_->SetOffset(0);
    if (window_ != nullptr) {
      window_->UpdateScrollBars();
      window_->CaretShapeChanged();
    }
    FireScrollEvents(moved_x, true);
  }
  Repaint();
  // A printer registered as a listener reacts to the text-change code (bit 0) only.
  NotifyListeners(kFontChanged);
}

void TScrivlet::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  const bool relayout =
      !word_wrap_ && (a != TAlignment::taLeftJustify || alignment_ != TAlignment::taLeftJustify);
  alignment_ = a;
  SetHScroll(0);
  if (relayout) Relayout();
  Repaint();
}

void TScrivlet::SetBorderStyle(TBorderStyle b) {
  if (b == border_style_) return;
  border_style_ = b;
  if (window_ != nullptr) window_->RecreateWindow();
}

void TScrivlet::SetScrollBars(TScrollStyle s) {
  if (s == scroll_bars_) return;
  auto vertical = [](TScrollStyle v) {
    return v == TScrollStyle::ssVertical || v == TScrollStyle::ssBoth;
  };
  const bool bar_changed = vertical(s) != vertical(scroll_bars_);
  scroll_bars_ = s;
  if (window_ != nullptr && handle_) window_->RecreateWindow();
  if (bar_changed && word_wrap_) Relayout();
}

void TScrivlet::SetWordWrap(bool on) {
  if (on == word_wrap_) return;
  word_wrap_ = on;
  Relayout();
  Repaint();
}

void TScrivlet::SetApplyKeyWords(bool on) {
  apply_key_words_ = on;
  if (Designing) ReapplyHighlighting();
}

void TScrivlet::SetApplyStartStopKeys(bool on) {
  apply_start_stop_keys_ = on;
  if (Designing) ReapplyHighlighting();
}

void TScrivlet::SetCaretWidth(int32_t w) {
  caret_width_ = w;
  if (window_ != nullptr) window_->CaretShapeChanged();
}

void TScrivlet::SetColumnWrap(int32_t n) {
  if (n == column_wrap_) return;
  column_wrap_ = n;
  if (word_wrap_) {
    Relayout();
    Repaint();
  }
}

void TScrivlet::SetDisplayOnly(bool on) {
  if (on == display_only_) return;
  display_only_ = on;
  if (window_ != nullptr) window_->CaretShapeChanged();
}

void TScrivlet::SetHighlightBackgnd(int32_t c) {
  HighlightBackgnd = c;
  Invalidate();
}

void TScrivlet::SetHighlightColor(int32_t c) {
  HighlightColor = c;
  Invalidate();
}

void TScrivlet::SetJustified(bool on) {
  justified_ = on;
  SetHScroll(0);
  Repaint();
}

void TScrivlet::SetLeftMargin(int32_t n) {
  if (n == left_margin_) return;
  left_margin_ = n;
  if (word_wrap_) Relayout();
  Repaint();
}

void TScrivlet::SetRightMargin(int32_t n) {
  if (n == right_margin_) return;
  right_margin_ = n;
  if (word_wrap_) Relayout();
  Repaint();
}

int32_t TScrivlet::GetLineHeight() const {
  if (line_height_ <= 0 && Designing) return 0;
  return LineHeight();
}

int32_t TScrivlet::LineHeight() const {
  if (line_height_ > 0) return line_height_;
  return Measurer() != nullptr ? std::max(1, Measurer()->Height()) : 1;
}

void TScrivlet::SetLineHeight(int32_t n) {
  const int32_t old = LineHeight();
  line_height_ = std::clamp(n, 0, 65535);
  const int32_t now = LineHeight();
  if (now == old || !handle_) return;
  // The line at the top stays at the top; so does the part of it scrolled away.
  vert_scroll_ = vert_scroll_ / old * now + vert_scroll_ % old;
  if (window_ != nullptr) {
    window_->UpdateScrollBars();
    window_->Invalidate();
  }
  if (OnVScroll) OnVScroll(*this);
}

void TScrivlet::SetOptions(uint32_t o) {
  o &= (1u << 23) - 1;  // 23 members, stored in 3 bytes
  if (o == options_) return;
  const uint32_t changed = o ^ options_;
  if ((changed & zkoDiscardTrailingSpaces) && (o & zkoDiscardTrailingSpaces)) {
    options_ = o;
    if (CharCount() == 0) return;
    std::stringstream text;
    Table.SaveToStream(text, false, ProgressInterval, nullptr, TScrivLineBreak::pbCRLF, false);
    const bool modified = Modified();
    LoadFromStream(text);
    SetModified(modified);
    return;
  }
  options_ = o;
  if (!handle_) return;
  if (changed & zkoKeepParBackgnd) Invalidate();
  if (changed & (zkoWindowsSelColors | zkoFullLineSelect)) Invalidate();
  if ((changed & zkoAutoScrollBars) && Designing) ReapplyHighlighting();
}

void TScrivlet::SetOverwrite(bool on) {
  overwrite_ = on;
  if (window_ != nullptr && !display_only_) window_->CaretShapeChanged();
}

void TScrivlet::SetRightLinePos(int32_t n) {
  right_line_pos_ = n;
  Invalidate();
}

void TScrivlet::SetSelBackColor(int32_t c) {
  sel_back_color_ = c;
  Invalidate();
}

void TScrivlet::SetSelTextColor(int32_t c) {
  sel_text_color_ = c;
  Invalidate();
}

std::string TScrivlet::GetSeparators() const {
  std::string s;
  for (int c = 0; c < 256; ++c)
    if (separators_.test(static_cast<size_t>(c))) s.push_back(static_cast<char>(c));
  return s;
}

void TScrivlet::SetSeparators(std::string_view chars) {
  TSeparators set;
  for (unsigned char c : chars) set.set(c);
  SetSeparatorSet(set);
}

void TScrivlet::SetSeparatorSet(const TSeparators& chars) {
  separators_ = chars;
  separators_.set('\n');
  separators_.set('\r');
  StartStopKeys.Prepared = false;
  if (Designing) ReapplyHighlighting();
}

void TScrivlet::SetShowNonPrintChars(uint8_t set) {
  show_non_print_chars_ = set & (zkNPSpace | zkNPTab | zkNPReturn);
  Invalidate();
}

void TScrivlet::SetTabStops(int32_t n) {
  if (n == tab_stops_) return;
  tab_stops_ = n;
  if (word_wrap_) Relayout();
  Repaint();
}

void TScrivlet::SetUpperCaseType(TzkUpperCase t) {
  Keywords.SetUpperCaseType(t);
  StartStopKeys.SetUpperCaseType(t);
  if (Designing) ReapplyHighlighting();
}

void TScrivlet::SetWordWrapChars(std::string_view chars) {
  if (chars == word_wrap_chars_) return;
  word_wrap_chars_ = chars;
  word_wrap_set_.reset();
  for (unsigned char c : chars) word_wrap_set_.set(c);
  if (word_wrap_ && !Loading) Relayout();
}

void TScrivlet::SetBounds(int32_t width, int32_t height) {
  const int32_t h = std::max(1, LineHeight());
  const int32_t text_height = Table.VisibleLineCount() * h;
  const bool near_bottom = vert_scroll_ < text_height - ClientHeight() + 5;
  const bool width_changed = width != ClientWidth();
  client_width_ = width;
  client_height_ = height;
  if (width_changed && (word_wrap_ || alignment_ != TAlignment::taLeftJustify)) Relayout();
  if (window_ != nullptr) window_->UpdateScrollBars();
  if (near_bottom && vert_scroll_ > text_height - height + 3)
    SetVScroll(std::max(0, text_height - height + 3));
}

TScrivlet::ScrollBarInfo TScrivlet::HorzScrollBar() const {
  ScrollBarInfo bar;
  const int32_t widest = layout_->LongestLineWidth + left_margin_ + right_margin_;
  bar.Unit = widest / 32760 + 1;
  bar.Page = (ClientWidth() - left_margin_ - right_margin_) / bar.Unit;
  if (alignment_ != TAlignment::taLeftJustify) {
    bar.Range = bar.Page;
  } else {
    bar.Range = widest / bar.Unit + ((options_ & zkoAutoScrollBars) ? 0 : 1);
  }
  bar.Position = horz_scroll_ / bar.Unit;
  return bar;
}

TScrivlet::ScrollBarInfo TScrivlet::VertScrollBar() const {
  ScrollBarInfo bar;
  const int32_t h = std::max(1, LineHeight());
  const int32_t text_height = Table.VisibleLineCount() * h;
  bar.Unit = text_height / 32760 + 1;
  bar.Range = std::max(text_height / bar.Unit, ClientHeight() - h - 1) +
              ((options_ & zkoAutoScrollBars) ? 0 : 1);
  bar.Page = (ClientHeight() - 3) / bar.Unit;
  bar.Position = vert_scroll_ / bar.Unit;
  return bar;
}

}  // namespace scrivlet
