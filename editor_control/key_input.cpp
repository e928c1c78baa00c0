// Keys and characters: the view keys of a display-only control, the hot keys, the caret
// moves with Shift selection and Shift+Alt column blocks, and the editing keys.

#include <algorithm>

#include "editor_control/flag_scope.h"
#include "editor_control/input.h"

namespace scrivlet {
namespace {

bool IsArrow(uint16_t key) { return key >= vk::kLeft && key <= vk::kDown; }

std::string_view TextOf(const TParagraph& p) {
  return {p.Text ? p.Text : "", static_cast<size_t>(para::Length(p))};
}

}  // namespace

int32_t TScrivInput::Anchor() const {
  return memo_.Caret == memo_.SelStartNav ? memo_.SelUpper() : memo_.SelLower();
}

void TScrivInput::MoveTo(int32_t offset, bool extend) {
  if (extend)
    memo_.Select(Anchor(), offset);
  else
    memo_.SetSelStart(offset);
}

void TScrivInput::MoveTo(const TScrivNavigator& to, bool extend) {
  MoveTo(to.Offset(), extend);
  if (!to.Resolved() || memo_.Caret->Offset() != to.Offset()) return;
  memo_.Caret->Assign(to);
  memo_.UpdateCaret();
}

bool TScrivInput::ClaimsShortcut(uint16_t key, uint8_t shift) const {
  const uint8_t mods = shift & (ssShift | ssAlt | ssCtrl);
  if (mods & ssAlt) return false;
  if (!(mods & ssCtrl)) return true;  // typing and moving are the control's own
  if (key < 48) return key != vk::kTab;
  switch (key) {
    case 'C':
    case 'V':
    case 'X':
    case 'E': return true;
    case 'B':
    case 'I':
    case 'U':
    case 'H':
    case 'F':
    case 'T':
    case 'P':
    case 'Z': return !memo_.ReadOnly && memo_.EnableHotKeys && !memo_.GetDisplayOnly();
    default: return false;
  }
}

bool TScrivInput::KeyDown(uint16_t key, uint8_t shift) {
  const uint8_t mods = shift & (ssShift | ssAlt | ssCtrl);
  SwallowNextChar = false;
  AltChord = mods == (ssShift | ssAlt) || (AltChord && (mods & ssAlt));
  if (memo_.UpdateDepth() > 0) return false;
  if (Dragging) {
    if (key == vk::kControl) host_.SetCursor(TScrivCursor::crDragCopy);
    if (key == vk::kEscape) {
      host_.SetCursor(TScrivCursor::crIBeam);
      Dragging = false;
      ButtonDown = false;
      memo_.SetSelStart(DownOffset);
      host_.Repaint();
      return true;
    }
    return false;
  }
  if (memo_.GetDisplayOnly()) return DisplayOnlyKey(key, (mods & ssCtrl) != 0);
  if ((mods & ssCtrl) && !(mods & ssAlt) && !memo_.ReadOnly && memo_.EnableHotKeys &&
      HotKey(key, mods)) {
    memo_.ScrollInView();
    SwallowNextChar = true;
    host_.Repaint();
    return true;
  }
  if (key == vk::kApps) {
    if (!host_.HasPopupMenu() && (memo_.GetOptions() & zkoNoDefaultPopup)) return false;
    const TScrivRect caret = CaretRect(memo_);
    host_.OpenPopup(caret.Left, caret.Bottom, !host_.HasPopupMenu());
    return true;
  }
  if (key >= 48) return false;
  bool handled;
  {
    FlagScope in_key(InKey, true);
    if (mods == (ssShift | ssAlt) && (memo_.GetOptions() & zkoBlockSelection) &&
        memo_.SelLower() == memo_.SelUpper() && !memo_.BlockMode && IsArrow(key) &&
        !memo_.GetWordWrap()) {
      const int32_t para = memo_.Caret->GetParaIndex();
      const int32_t col = memo_.ColumnOf(para, memo_.Caret->GetPosInPara()) +
                          static_cast<int32_t>(memo_.PendingSpaces.size());
      memo_.BlockMode = true;
      memo_.BlockStartCol = memo_.BlockEndCol = col;
      block_anchor_para_ = para;
    }
    handled = EditKey(key, mods);
  }
  if (handled) {
    memo_.UpdateCaret();
    memo_.ScrollInView();
    host_.Repaint();
  }
  return handled;
}

bool TScrivInput::DisplayOnlyKey(uint16_t key, bool ctrl) {
  TScrivlet& m = memo_;
  const int32_t lh = std::max(1, m.LineHeight());
  const int32_t top = m.VertScroll() / lh;
  const int32_t visible = m.VisibleLines();
  const int32_t widest = m.Layout().LongestLineWidth + m.GetLeftMargin() + m.GetRightMargin();
  const int32_t max_h = std::max(0, widest - m.ClientWidth());
  const int32_t step = m.ClientWidth() / 5 + 1;
  auto to_line = [&](int32_t line) {
    m.SetVScroll(std::min(std::max(0, line) * lh, m.MaxVertScroll()));
  };
  switch (key) {
    case vk::kPrior: to_line(ctrl ? 0 : top - visible + 1); break;
    case vk::kNext:
      if (m.GetWordWrap()) m.EnsureLine(top + 2 * visible);
      if (ctrl)
        m.SetVScroll(m.MaxVertScroll());
      else
        to_line(top + visible - 1);
      break;
    case vk::kEnd: m.SetHScroll(max_h); break;
    case vk::kHome: m.SetHScroll(0); break;
    case vk::kLeft: m.SetHScroll(std::max(0, m.HorzScroll() - step)); break;
    case vk::kRight: m.SetHScroll(std::min(max_h, m.HorzScroll() + step)); break;
    case vk::kUp: to_line(top - 1); break;
    case vk::kDown: to_line(top + 1); break;
    default: return false;
  }
  host_.Repaint();
  return true;
}

bool TScrivInput::HotKey(uint16_t key, uint8_t mods) {
  switch (key) {
    case 'B': memo_.ToggleBold(); return true;
    case 'I': memo_.ToggleItalic(); return true;
    case 'U': memo_.ToggleUnderline(); return true;
    case 'H': memo_.ToggleHighlight(); return true;
    case 'F': memo_.ToggleAltFont(); return true;
    case 'T': memo_.SetSelText("\t"); return true;
    // A paragraph break and a form feed: the printer starts a new page there.
    case 'P': memo_.SetSelText("\r\n\f"); return true;
    case 'Z':
      if (mods & ssShift)
        memo_.Redo();
      else
        memo_.Undo();
      return true;
    default: return false;
  }
}

void TScrivInput::VerticalMove(int32_t lines, bool extend) {
  TScrivlet& m = memo_;
  if (m.DesiredX == TScrivlet::kNoDesiredX) m.DesiredX = CaretRect(m).Left;
  const int32_t desired = m.DesiredX;
  const int32_t from = m.Caret->GetVisibleLine();
  const int32_t target = std::clamp(from + lines, 0, std::max(0, m.Table.VisibleLineCount - 1));
  if (m.GetWordWrap()) m.EnsureLine(target + 1);
  TScrivNavigator& nav = *m.WorkNav;
  nav.SetOffset(m.Caret->Offset());
  nav.SetVisibleLine(target);
  nav.SetFromX(desired);
  MoveTo(nav, extend);
  m.DesiredX = desired;
  // Past a short line's end the missing width becomes padding.
  if (m.BlockMode || (m.GetOptions() & zkoKeepColumnPos)) {
    const int32_t x = CaretRect(m).Left;
    const int32_t space = std::max(1, m.Measurer()->Width(" ", m.FontStyle()));
    const bool at_line_end = m.Caret->GetPosInPara() ==
                             para::LineRecord(*m.Caret->GetPara(), m.Caret->GetLineInPara()).End;
    if ((at_line_end || m.Caret->CharAt() == '\t') && desired > x) {
      m.PendingSpaces.assign(static_cast<size_t>((desired - x) / space), ' ');
      m.UpdateCaret();
    }
  }
}

bool TScrivInput::EditKey(uint16_t key, uint8_t mods) {
  TScrivlet& m = memo_;
  const bool shift = (mods & ssShift) != 0;
  const bool ctrl = (mods & ssCtrl) != 0;
  const bool alt = (mods & ssAlt) != 0;
  const uint32_t opts = m.GetOptions();

  // A column block grows by character columns and paragraphs.
  if (m.BlockMode && alt && IsArrow(key)) {
    int32_t col = m.BlockStartCol;
    int32_t para = m.Caret->GetParaIndex();
    if (key == vk::kLeft) col = std::max(0, col - 1);
    if (key == vk::kRight) ++col;
    if (key == vk::kUp) para = std::max(0, para - 1);
    if (key == vk::kDown) para = std::min(m.Table.Count() - 1, para + 1);
    m.SelectColumnBlock(m.BlockEndCol, block_anchor_para_, col, para);
    return true;
  }
  if (alt && key != vk::kBack && key != vk::kDelete) {
    // Alt with the moves is for column blocks only; Alt+Tab belongs to the system.
    return key == vk::kPrior || key == vk::kNext || key == vk::kHome || key == vk::kEnd ||
           key == vk::kInsert;
  }
  TScrivNavigator& nav = *m.WorkNav;
  switch (key) {
    case vk::kBack: Backspace(ctrl); return true;
    case vk::kTab: return true;  // the character follows
    case vk::kPrior:
    case vk::kNext: {
      const int32_t lh = std::max(1, m.LineHeight());
      const int32_t rows = std::max(1, m.ClientHeight() / lh - 1);
      const int32_t sign = key == vk::kPrior ? -1 : 1;
      const int32_t caret_y = m.Caret->GetY();
      const bool in_view = caret_y >= 0 && caret_y < m.ClientHeight();
      VerticalMove(sign * rows, shift);
      if (!ctrl && in_view) {
        const int32_t v = m.VertScroll() + sign * rows * lh;
        m.SetVScroll(std::clamp(v, 0, std::max(m.VertScroll(), m.MaxVertScroll())));
      }
      return true;
    }
    case vk::kHome:
      if (ctrl) {
        MoveTo(0, shift);
      } else {
        nav.Assign(*m.Caret);
        nav.SetColumnInLine(0);
        MoveTo(nav, shift);
      }
      return true;
    case vk::kEnd:
      if (ctrl) {
        MoveTo(m.CharCount(), shift);
      } else {
        nav.Assign(*m.Caret);
        const TLineRecord rec = para::LineRecord(*nav.GetPara(), nav.GetLineInPara());
        nav.SetColumnInLine(rec.End - rec.Start);
        MoveTo(nav, shift);
      }
      return true;
    case vk::kLeft: {
      if (ctrl) {
        nav.SetOffset(m.Caret->Offset());
        nav.WordStartBack(m.SeparatorSet());
        MoveTo(nav.Offset(), shift);
        return true;
      }
      if (!m.PendingSpaces.empty()) {
        m.PendingSpaces.pop_back();
        m.UpdateCaret();
        return true;
      }
      const int32_t o = m.Caret->Offset();
      MoveTo(std::max(0, o - (m.Caret->GetPosInPara() == 0 ? 2 : 1)), shift);
      return true;
    }
    case vk::kRight: {
      if (ctrl) {
        nav.SetOffset(m.Caret->Offset());
        nav.NextWordStart(m.SeparatorSet());
        MoveTo(nav.Offset(), shift);
        return true;
      }
      const int32_t o = m.Caret->Offset();
      const bool at_end = m.Caret->CharAt() == 13 || o >= m.CharCount();
      if (at_end && (opts & zkoKeepColumnPos) && !(opts & zkoWrapCaret)) {
        m.PendingSpaces.push_back(' ');
        m.UpdateCaret();
        return true;
      }
      int32_t to = o;
      const std::string_view text = TextOf(*m.Caret->GetPara());
      int32_t pos = m.Caret->GetPosInPara();
      if (m.GetStaticFormat() && m.PassOverCodes)
        while (pos < static_cast<int32_t>(text.size()) &&
               IsStyleChar(static_cast<uint8_t>(text[static_cast<size_t>(pos)]))) {
          ++pos;
          ++to;
        }
      if ((opts & zkoDiscardTrailingSpaces)) {
        int32_t k = pos;
        while (k < static_cast<int32_t>(text.size()) && IsBlank(text[static_cast<size_t>(k)])) ++k;
        if (k == static_cast<int32_t>(text.size()) && k > pos) {
          to += k - pos;
          pos = k;
        }
      }
      if (pos >= static_cast<int32_t>(text.size()))
        to += 2;  // over the break
      else
        ++to;
      MoveTo(std::min(to, m.CharCount()), shift);
      return true;
    }
    case vk::kUp:
      if (m.Caret->GetVisibleLine() == 0 && !shift) return false;
      VerticalMove(-1, shift);
      return true;
    case vk::kDown:
      if (m.Caret->GetVisibleLine() + 1 >= m.Table.VisibleLineCount && m.GetWordWrap())
        m.EnsureLine(m.Caret->GetVisibleLine() + 2);
      if (m.Caret->GetVisibleLine() + 1 < m.Table.VisibleLineCount) VerticalMove(1, shift);
      return true;
    case vk::kInsert:
      if (ctrl)
        m.CopyToClipboard();
      else if (shift) {
        if (!m.ReadOnly) m.PasteFromClipboard();
      } else if (opts & zkoInsertKeyActive) {
        m.SetOverwrite(!m.GetOverwrite());
        if (m.OnStyleChange) m.OnStyleChange(m);
      }
      return true;
    case vk::kDelete: DeleteKey(mods); return true;
    default: return false;
  }
}

std::string TScrivInput::LeadingBlanks(int32_t para) const {
  const std::string_view text = TextOf(memo_.Table.Items(para));
  size_t n = 0;
  while (n < text.size() && IsBlank(text[n])) ++n;
  return std::string(text.substr(0, n));
}

void TScrivInput::Backspace(bool ctrl) {
  TScrivlet& m = memo_;
  if (m.ReadOnly) return;
  if (ctrl) {
    TScrivNavigator& nav = *m.WorkNav;
    nav.SetOffset(m.Caret->Offset());
    nav.WordStartBack(m.SeparatorSet());
    m.Select(m.Caret->Offset(), nav.Offset());
    m.ClearSelection();
    return;
  }
  if (m.SelLower() != m.SelUpper()) {
    const int32_t old_x = CaretRect(m).Left;
    const int32_t old_line = m.Caret->GetVisibleLine();
    m.ClearSelection();
    if ((m.GetOptions() & zkoKeepColumnPos) && m.Caret->GetVisibleLine() == old_line) {
      const int32_t x = CaretRect(m).Left;
      const int32_t space =
          std::max(1, m.Measurer() != nullptr ? m.Measurer()->Width(" ", m.FontStyle()) : 1);
      if (old_x > x) {
        m.PendingSpaces.assign(static_cast<size_t>((old_x - x) / space), ' ');
        m.UpdateCaret();
      }
    }
    return;
  }
  if (!m.PendingSpaces.empty()) {
    m.PendingSpaces.pop_back();
    m.UpdateCaret();
    return;
  }
  const int32_t o = m.Caret->Offset();
  if (o == 0) return;
  const int32_t para = m.Caret->GetParaIndex();
  const int32_t pos = m.Caret->GetPosInPara();
  if (pos == 0) {
    m.Select(o, o - 2);  // the paragraph break
    m.ClearSelection();
    return;
  }
  const std::string_view text = TextOf(m.Table.Items(para));
  int32_t from = pos;
  if ((m.GetOptions() & zkoBackIndent)) {
    const std::string lead = LeadingBlanks(para);
    if (static_cast<int32_t>(lead.size()) == pos && pos > 0) {
      // Back to the indentation of the nearest earlier line that is indented less.
      const int32_t col = m.ColumnOf(para, pos);
      int32_t target = 0;
      for (int32_t i = para - 1; i >= 0; --i) {
        const int32_t ind = m.ColumnOf(i, static_cast<int32_t>(LeadingBlanks(i).size()));
        if (ind < col &&
            para::Length(m.Table.Items(i)) > static_cast<int32_t>(LeadingBlanks(i).size())) {
          target = ind;
          break;
        }
      }
      from = m.ColumnToPos(para, target);
      if (m.ColumnOf(para, from) > target) from = std::max(0, from - 1);
      if (from < pos) {
        m.Select(o, o - (pos - from));
        m.ClearSelection();
        return;
      }
    }
  }
  const bool codes = m.GetStaticFormat();
  while (codes && from > 0 &&
         IsStyleChar(static_cast<uint8_t>(text[static_cast<size_t>(from - 1)])))
    --from;
  if (from > 0) --from;
  m.Select(o, o - (pos - from));
  m.ClearSelection();
}

void TScrivInput::DeleteKey(uint8_t mods) {
  TScrivlet& m = memo_;
  const bool shift = (mods & ssShift) != 0 && !(mods & ssAlt);
  const bool ctrl = (mods & ssCtrl) != 0 && !(mods & ssAlt);
  if (shift && !ctrl) {
    if (m.SelLower() != m.SelUpper()) {
      if (!m.ReadOnly) m.CutToClipboard();
      return;
    }
    const int32_t o = m.Caret->Offset();
    if (o > 0) m.Select(o, o - (m.Caret->GetPosInPara() == 0 ? 2 : 1));
    return;
  }
  if (m.ReadOnly) return;
  if (m.SelLower() != m.SelUpper()) {
    m.ClearSelection();
    return;
  }
  const int32_t o = m.Caret->Offset();
  if (o >= m.CharCount()) return;
  const int32_t pos = m.Caret->GetPosInPara();
  const TParagraph& p = *m.Caret->GetPara();
  const int32_t length = para::Length(p);
  if (ctrl) {
    const TLineRecord rec = para::LineRecord(p, m.Caret->GetLineInPara());
    if (rec.End > pos) {
      m.Select(o, o + rec.End - pos);
      m.ClearSelection();
    }
    return;
  }
  const int32_t old_x = CaretRect(m).Left;
  const bool keep = (m.GetOptions() & zkoKeepColumnPos) && !m.BlockMode && !m.PendingSpaces.empty();
  int32_t to = pos;
  if (pos >= length) {
    to = pos + 2;
  } else {
    const std::string_view text = TextOf(p);
    const bool codes = m.GetStaticFormat();
    if (!(codes && IsStyleChar(static_cast<uint8_t>(text[static_cast<size_t>(to)])))) ++to;
    while (codes && to < length && IsStyleChar(static_cast<uint8_t>(text[static_cast<size_t>(to)])))
      ++to;
  }
  m.Select(o, o + (to - pos));
  m.ClearSelection();
  if (keep) {
    const int32_t x = CaretRect(m).Left;
    const int32_t space = std::max(1, m.Measurer()->Width(" ", m.FontStyle()));
    if (old_x > x) {
      m.PendingSpaces.assign(static_cast<size_t>((old_x - x) / space), ' ');
      m.UpdateCaret();
    }
  }
}

bool TScrivInput::KeyPress(uint8_t ch) {
  TScrivlet& m = memo_;
  if (AltChord) {
    AltChord = false;
    return true;
  }
  if (SwallowNextChar) {
    SwallowNextChar = false;
    return true;
  }
  if (m.UpdateDepth() > 0 || Dragging || m.GetDisplayOnly()) return false;
  if (m.ReadOnly && ch != 3) return false;
  if (ch == 127 || (ch < 31 && ch != 3 && ch != 5 && ch != 9 && ch != 13 && ch != 22 && ch != 24))
    return false;

  // Typing beside a block leaves the block alone.
  const uint32_t opts = m.GetOptions();
  const bool keep_block = (opts & zkoNoOverwriteBlocks) && ch != 3 && ch != 22 && ch != 24 &&
                          m.SelLower() != m.SelUpper();
  std::unique_ptr<TScrivNavigator> lower, upper;
  const bool block = m.BlockMode;
  const int32_t col_a = m.BlockEndCol, col_b = m.BlockStartCol;
  int32_t para_a = 0, para_b = 0;
  if (keep_block) {
    const int32_t caret = m.Caret->Offset();
    if (opts & zkoPersistentBlocks) {
      lower = std::make_unique<TScrivNavigator>(m);
      upper = std::make_unique<TScrivNavigator>(m);
      lower->SetOffset(m.SelLower());
      upper->SetOffset(m.SelUpper());
      para_a = block_anchor_para_;
      para_b = m.Caret->GetParaIndex();
    }
    m.SetSelStart(caret);
  }
  switch (ch) {
    case 3: m.CopyToClipboard(); break;
    case 5:
      host_.Repaint();
      m.SelfTest();
      break;
    case 9: Tab(); break;
    case 13: Return(); break;
    case 22: m.PasteFromClipboard(); break;
    case 24: m.CutToClipboard(); break;
    default: TypeChar(ch); break;
  }
  if (lower) {
    if (block) {
      m.SelectColumnBlock(col_a, para_a, col_b, para_b);
    } else {
      m.Select(lower->Offset(), upper->Offset());
    }
  }
  m.ScrollInView();
  host_.Repaint();
  return true;
}

void TScrivInput::TypeChar(uint8_t ch) {
  TScrivlet& m = memo_;
  const char c = static_cast<char>(ch);
  const bool empty = m.SelLower() == m.SelUpper();
  const bool at_para_end = m.Caret->CharAt() == 13 || m.Caret->Offset() >= m.CharCount();
  if (ch == ' ' && empty && at_para_end && (m.GetOptions() & zkoDiscardTrailingSpaces)) {
    // Trailing blanks are never stored: the space waits as padding.
    m.PendingSpaces.push_back(' ');
    m.UpdateCaret();
    return;
  }
  if (empty && m.GetOverwrite() && !at_para_end) {
    const std::string pending = m.PendingSpaces;
    m.SetSelLength(1);
    m.PendingSpaces = pending;
  }
  m.SetSelText(std::string_view(&c, 1));
}

void TScrivInput::Return() {
  TScrivlet& m = memo_;
  const bool empty = m.SelLower() == m.SelUpper();
  if (m.GetOverwrite() && empty) {
    const int32_t line = m.Caret->GetVisibleLine();
    if (m.GetWordWrap()) m.EnsureLine(line + 2);
    if (line + 1 < m.Table.VisibleLineCount) {
      TScrivNavigator& nav = *m.WorkNav;
      nav.SetOffset(m.Caret->Offset());
      nav.SetVisibleLine(line + 1);
      m.SetSelStart(nav.Offset());
    } else {
      m.SetSelStart(m.CharCount());
      m.SetSelText("\r\n");
    }
    return;
  }
  std::string indent;
  if ((m.GetOptions() & zkoAutoIndent) && empty) {
    // The leading blanks of this line, or of the nearest earlier one that has text.
    int32_t para = m.Caret->GetParaIndex();
    for (int32_t i = para; i >= 0; --i) {
      const std::string lead = LeadingBlanks(i);
      if (static_cast<int32_t>(lead.size()) < para::Length(m.Table.Items(i)) || i == 0) {
        indent = lead;
        para = i;
        break;
      }
    }
    const int32_t caret_col = m.ColumnOf(m.Caret->GetParaIndex(), m.Caret->GetPosInPara()) +
                              static_cast<int32_t>(m.PendingSpaces.size());
    while (!indent.empty() && m.ColumnOf(para, static_cast<int32_t>(indent.size())) > caret_col)
      indent.pop_back();
  }
  const bool at_para_end = m.Caret->CharAt() == 13 || m.Caret->Offset() >= m.CharCount();
  if ((m.GetOptions() & zkoDiscardTrailingSpaces) && empty && at_para_end && !indent.empty()) {
    std::string pending;
    for (char c : indent)
      pending.append(c == '\t' ? static_cast<size_t>(std::max(1, m.GetTabStops())) : 1u, ' ');
    m.PendingSpaces.clear();
    m.SetSelText("\r\n");
    m.PendingSpaces = pending;
    m.UpdateCaret();
    return;
  }
  m.SetSelText("\r\n" + indent);
}

void TScrivInput::Tab() {
  TScrivlet& m = memo_;
  const bool empty = m.SelLower() == m.SelUpper();
  if (m.GetOptions() & zkoSmartTabs) {
    // To the next indentation column of the line above: where a word starts behind blanks.
    const int32_t para = m.Caret->GetParaIndex();
    const int32_t col =
        m.ColumnOf(para, m.Caret->GetPosInPara()) + static_cast<int32_t>(m.PendingSpaces.size());
    if (para > 0) {
      const std::string_view above = TextOf(m.Table.Items(para - 1));
      for (int32_t k = 1; k < static_cast<int32_t>(above.size()); ++k) {
        if (IsBlank(above[static_cast<size_t>(k)]) || !IsBlank(above[static_cast<size_t>(k - 1)]))
          continue;
        const int32_t target = m.ColumnOf(para - 1, k);
        if (target > col) {
          m.SetSelText(std::string(static_cast<size_t>(target - col), ' '));
          return;
        }
      }
    }
  } else if (empty && (m.GetOptions() & zkoDiscardTrailingSpaces) &&
             (m.Caret->CharAt() == 13 || m.Caret->Offset() >= m.CharCount())) {
    m.PendingSpaces.push_back('\t');
    m.UpdateCaret();
    return;
  }
  m.SetSelText("\t");
}

void TScrivInput::KeyUp(uint16_t key, uint8_t /*shift*/) {
  if (key == vk::kControl && Dragging && !DragCopy) host_.SetCursor(TScrivCursor::crDrag);
}

}  // namespace scrivlet
