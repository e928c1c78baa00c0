// The mouse: caret and selection by pointer, line selection in the left margin, column
// blocks with Alt, dragging the selection, auto-scroll past the edges, the wheel, and the
// default popup menu.

#include <algorithm>
#include <cstdlib>

#include "editor_control/input.h"

namespace scrivlet {
namespace {

// The wait between auto-scroll steps for the speed levels 1 to 7 (distance beyond the
// edge div 3); other levels do not wait.
constexpr int32_t kAutoScrollWait[8] = {0, 400, 300, 200, 130, 78, 48, 30};

int32_t WaitOfLevel(int32_t level) { return level >= 1 && level <= 7 ? kAutoScrollWait[level] : 0; }

}  // namespace

int32_t TScrivInput::BlockColumnAt(int32_t x) const {
  const int32_t space = std::max(
      1, memo_.Measurer() != nullptr ? memo_.Measurer()->Width(" ", memo_.FontStyle()) : 1);
  return std::max(0, (x + memo_.HorzScroll() - memo_.GetLeftMargin()) / space);
}

void TScrivInput::ExtendBlockTo(int32_t x, int32_t y) {
  TScrivNavigator& nav = memo_.WorkNav();
  nav.SetFromPoint(x, y);
  const int32_t para = std::min(nav.GetParaIndex(), memo_.Table.Count() - 1);
  memo_.SelectColumnBlock(memo_.BlockEndCol(), block_anchor_para_, BlockColumnAt(x), para);
}

void TScrivInput::SelectTo(int32_t x, int32_t y, bool keep_column) {
  TScrivlet& m = memo_;
  if (m.BlockMode()) {
    ExtendBlockTo(x, y);
    return;
  }
  TScrivNavigator& nav = m.WorkNav();
  nav.SetFromPoint(x, y);
  MoveTo(nav, true);
  if (keep_column && (m.GetOptions() & zkoKeepColumnPos) && m.SelLower() == m.SelUpper()) {
    // Behind the line's end the rest of the way is padding.
    const int32_t end = CaretRect(m).Left;
    const int32_t space = std::max(1, m.Measurer()->Width(" ", m.FontStyle()));
    const bool on_tab = m.CaretNav().CharAt() == '\t';
    const bool at_end = m.CaretNav().GetPosInPara() ==
                        para::LineRecord(*m.CaretNav().GetPara(), m.CaretNav().GetLineInPara()).End;
    if ((at_end || on_tab) && x > end + space / 2) {
      m.SetPendingSpaces(std::string(static_cast<size_t>((x - end + space / 2) / space), ' '));
      m.UpdateCaret();
    }
  }
}

void TScrivInput::MouseDown(TMouseButton button, uint8_t shift, int32_t x, int32_t y) {
  TScrivlet& m = memo_;
  last_x_ = x;
  last_y_ = y;
  if (button == TMouseButton::mbLeft) {
    const uint8_t mods = shift & (ssShift | ssAlt | ssCtrl);
    m.EndColumnBlock();
    TScrivNavigator& nav = m.WorkNav();
    nav.SetFromPoint(x, y);
    DownOffset = nav.Offset();
    m.SetDesiredX(TScrivlet::kNoDesiredX);
    ButtonDown = true;
    if (!m.GetDisplayOnly()) {
      const bool inside =
          m.SelLower() < m.SelUpper() && DownOffset >= m.SelLower() && DownOffset < m.SelUpper();
      if (inside && !(m.GetOptions() & zkoNoDragnDrop) && !m.ReadOnly && !LineSelectMode) {
        Dragging = true;
        DragCopy = false;
        host_.SetCursor(TScrivCursor::crDrag);
      } else if (LineSelectMode) {
        // The whole display line, and the break behind it when it ends its paragraph.
        nav.SetFromPoint(m.GetLeftMargin() - m.HorzScroll(), y);
        const int32_t start = nav.Offset();
        const TLineRecord rec = para::LineRecord(*nav.GetPara(), nav.GetLineInPara());
        int32_t end = nav.GetPara()->StartOffset + rec.End;
        const bool last_of_para = nav.GetLineInPara() + 1 == para::LineCount(*nav.GetPara());
        if (last_of_para && nav.GetParaIndex() + 1 < m.Table.Count()) end += 2;
        m.Select(start, end);
      } else {
        if (mods & ssShift) {
          SelectTo(x, y, true);
        } else {
          m.SetSelStart(DownOffset);
          SelectTo(x, y, true);
        }
        if (mods == ssAlt && (m.GetOptions() & zkoBlockSelection) && !m.GetWordWrap()) {
          const int32_t col = BlockColumnAt(x);
          m.SetColumnBlock(col, col);
          block_anchor_para_ = m.CaretNav().GetParaIndex();
        }
      }
      host_.Repaint();
    }
  }
  if (!host_.Focused()) host_.TakeFocus();
  if (OnAfterMouseDown) OnAfterMouseDown(m, button, shift, x, y);
}

void TScrivInput::MouseMove(uint8_t shift, int32_t x, int32_t y) {
  TScrivlet& m = memo_;
  last_x_ = x;
  last_y_ = y;
  const bool in_margin =
      x < m.GetLeftMargin() - m.HorzScroll() - 2 && !(m.GetOptions() & zkoNoLineSelection);
  if (!ButtonDown) {
    if (in_margin != LineSelectMode) {
      LineSelectMode = in_margin;
      host_.SetCursor(in_margin ? TScrivCursor::crRightArrow : TScrivCursor::crIBeam);
    }
    if (LineSelectMode) return;
    TScrivNavigator& nav = m.WorkNav();
    nav.SetFromPoint(x, y);
    const int32_t o = nav.Offset();
    if (!(m.GetOptions() & zkoNoDragnDrop) && m.SelLower() < m.SelUpper() && o >= m.SelLower() &&
        o < m.SelUpper()) {
      host_.SetCursor(TScrivCursor::crArrow);
    } else if (o < m.CharCount() && nav.CurrentStyle().Cursor != 0) {
      host_.SetCursor(TScrivCursor::crRunCursor, nav.CurrentStyle().Cursor);
    } else {
      host_.SetCursor(TScrivCursor::crIBeam);
    }
    return;
  }
  if (Dragging) {
    TScrivNavigator& nav = m.WorkNav();
    nav.SetFromPoint(x, y);
    const int32_t o = nav.Offset();
    const bool over = o >= m.SelLower() && o < m.SelUpper();
    host_.SetCursor(over               ? TScrivCursor::crNoDrop
                    : (shift & ssCtrl) ? TScrivCursor::crDragCopy
                                       : TScrivCursor::crDrag);
  } else if (!m.GetDisplayOnly() && !LineSelectMode) {
    SelectTo(x, y, false);
    host_.Repaint();
  }
  // Outside the client area the view follows the mouse, faster the further away it is.
  int32_t direction = 0, level = 0;
  if (y < 0) {
    direction = 1;
    level = -y / 3;
  } else if (y >= m.ClientHeight()) {
    direction = 2;
    level = (y - m.ClientHeight()) / 3;
  } else if (x < 0) {
    direction = 3;
    level = -x / 3;
  } else if (x >= m.ClientWidth()) {
    direction = 4;
    level = (x - m.ClientWidth()) / 3;
  }
  if (direction != auto_direction_ || level != auto_level_) {
    const bool was = auto_direction_ != 0;
    auto_direction_ = direction;
    auto_level_ = level;
    if (direction == 0)
      host_.ScheduleAutoScroll(-1);
    else if (!was)
      host_.ScheduleAutoScroll(WaitOfLevel(level));
  }
}

void TScrivInput::AutoScrollStep() {
  TScrivlet& m = memo_;
  if (auto_direction_ == 0 || !ButtonDown) return;
  using Code = TScrivlet::TScrollCode;
  const int32_t widest = m.Layout().LongestLineWidth + m.GetLeftMargin() + m.GetRightMargin();
  int32_t x = last_x_, y = last_y_;
  const int32_t beyond = auto_level_ * 3;
  switch (auto_direction_) {
    case 1:
      m.VScrollCommand(Code::scLineUp);
      y = -beyond;
      break;
    case 2:
      m.VScrollCommand(Code::scLineDown);
      y = m.ClientHeight() + beyond;
      break;
    case 3:
      if (m.HorzScroll() > 0) m.HScrollCommand(Code::scLineUp);
      x = -beyond;
      break;
    case 4:
      if (m.HorzScroll() + m.ClientWidth() < widest) m.HScrollCommand(Code::scLineDown);
      x = m.ClientWidth() + beyond;
      break;
  }
  if (!Dragging && !LineSelectMode)
    SelectTo(std::clamp(x, 0, m.ClientWidth() - 1), std::clamp(y, -1, m.ClientHeight()), false);
  host_.Repaint();
  host_.ScheduleAutoScroll(WaitOfLevel(auto_level_));
}

void TScrivInput::DropAt(int32_t x, int32_t y) {
  TScrivlet& m = memo_;
  TScrivNavigator& nav = m.WorkNav();
  nav.SetFromPoint(x, y);
  const int32_t drop = nav.Offset();
  const int32_t lower = m.SelLower(), upper = m.SelUpper();
  if (drop >= lower && drop <= upper) {
    m.SetSelStart(drop);
    return;
  }
  const std::string text = m.GetTextRange(lower, upper);
  const auto length = static_cast<int32_t>(text.size());
  // Insertion and removal are one undo step: both records carry the update's group.
  m.UndoBreak = true;
  TUpdateGuard update(m);
  int32_t at = drop;
  if (DragCopy) {
    m.SetSelStart(drop);
    m.SetSelText(text);
  } else if (drop > upper) {
    m.SetSelStart(drop);
    m.SetSelText(text);
    m.Select(lower, upper);
    m.ClearSelection();
    at = drop - length;
  } else {
    m.Select(lower, upper);
    m.ClearSelection();
    m.SetSelStart(drop);
    m.SetSelText(text);
  }
  m.Select(at, at + length);
}

void TScrivInput::MouseUp(TMouseButton button, uint8_t shift, int32_t x, int32_t y) {
  TScrivlet& m = memo_;
  if (button == TMouseButton::mbRight) {
    if (host_.HasPopupMenu())
      host_.OpenPopup(x, y, false);
    else if (!(m.GetOptions() & zkoNoDefaultPopup))
      host_.OpenPopup(x, y, true);
    return;
  }
  if (button != TMouseButton::mbLeft) return;
  const bool was_down = ButtonDown;
  ButtonDown = false;
  if (auto_direction_ != 0) {
    auto_direction_ = 0;
    host_.ScheduleAutoScroll(-1);
  }
  if (Dragging) {
    Dragging = false;
    DragCopy = (shift & ssCtrl) != 0;
    host_.SetCursor(TScrivCursor::crIBeam);
    DropAt(x, y);
    host_.Repaint();
    return;
  }
  // A click on a run with a context tells the program which run it was.
  if (was_down && m.OnContext && m.SelLower() == m.SelUpper() && m.CharCount() > 0) {
    TScrivNavigator& nav = m.WorkNav();
    nav.SetFromPoint(x, y);
    if (nav.Offset() < m.CharCount() && nav.CharAt() != 13) {
      const TStyleRun& run = nav.CurrentStyle();
      if (run.Context != 0) {
        const TParagraph& p = *nav.GetPara();
        const auto* runs = para::Runs(p);
        const int32_t k = nav.GetRunIndex();
        int32_t start = p.StartOffset, stop = p.StartOffset + para::Length(p);
        if (runs != nullptr && k > 0)
          start = p.StartOffset + (*runs)[static_cast<size_t>(k - 1)].Offset;
        if (runs != nullptr && k < static_cast<int32_t>(runs->size()))
          stop = p.StartOffset + (*runs)[static_cast<size_t>(k)].Offset;
        m.OnContext(m, run.Context, start, stop);
      }
    }
  }
}

void TScrivInput::DblClick() {
  TScrivlet& m = memo_;
  ButtonDown = false;
  if (m.GetDisplayOnly()) return;
  // The word at the caret: letters between separators, or with zkoLargeWordSelect
  // everything between blanks.
  TSeparators seps = m.SeparatorSet();
  if (m.GetOptions() & zkoLargeWordSelect) {
    seps.reset();
    seps.set(' ');
    seps.set('\t');
    seps.set(13);
    seps.set(10);
  }
  const int32_t o = m.CaretNav().Offset();
  int32_t from = o, to = o;
  auto is_sep = [&](int32_t at) {
    return seps.test(m.GetCharAt(at)) || m.GetCharAt(at) == 13 || m.GetCharAt(at) == 10;
  };
  while (from > 0 && !is_sep(from - 1)) --from;
  while (to < m.CharCount() && !is_sep(to)) ++to;
  if (from == to) return;
  m.Select(from, to);
  host_.Repaint();
}

bool TScrivInput::DoMouseWheel(uint8_t /*shift*/, int32_t delta) {
  TScrivlet& m = memo_;
  int32_t per_notch = m.MouseWheelFactor;
  if (per_notch < 0) {
    per_notch = host_.WheelScrollLines();
    if (per_notch < 0) per_notch = std::max(1, m.VisibleLines() - 2);
  }
  WheelRest += delta * per_notch;
  const int32_t lines = WheelRest / 120;
  WheelRest -= lines * 120;
  if (lines == 0) return true;
  const int32_t lh = std::max(1, m.LineHeight());
  const int32_t last_top = std::max(0, m.Table.VisibleLineCount() - m.VisibleLines() + 1);
  if (m.GetOptions() & zkoNoFineScroll) {
    const int32_t top = std::clamp(m.VertScroll() / lh - lines, 0, last_top);
    m.SetVScroll(top * lh);
  } else {
    m.SetVScroll(std::clamp(m.VertScroll() - lines * lh, 0, std::max(0, m.MaxVertScroll())));
  }
  host_.Repaint();
  return true;
}

std::vector<TPopupItem> TScrivInput::PopupItems(bool clipboard_has_text) const {
  const TScrivlet& m = memo_;
  const bool editable = !m.ReadOnly && !m.GetDisplayOnly();
  const bool selection = m.SelLower() != m.SelUpper();
  return {
      {"&Undo", kPopupUndo, m.CanUndo()},
      {"&Redo", kPopupRedo, m.CanRedo()},
      {"-", 0, true},
      {"Cu&t", kPopupCut, selection && editable},
      {"&Copy", kPopupCopy, selection},
      {"&Paste", kPopupPaste, clipboard_has_text && editable},
      {"-", 0, true},
      {"&Select all", kPopupSelectAll, true},
  };
}

void TScrivInput::PopupCommand(int id) {
  TScrivlet& m = memo_;
  switch (id) {
    case kPopupUndo: m.Undo(); break;
    case kPopupRedo: m.Redo(); break;
    case kPopupCut: m.CutToClipboard(); break;
    case kPopupCopy: m.CopyToClipboard(); break;
    case kPopupPaste: m.PasteFromClipboard(); break;
    case kPopupSelectAll: m.SelectAll(); break;
    default: return;
  }
  host_.Repaint();
}

}  // namespace scrivlet
