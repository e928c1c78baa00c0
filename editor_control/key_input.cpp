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

int32_t TScrivInput::Anchor() const { return memo_.SelAnchor(); }

void TScrivInput::MoveTo(int32_t offset, bool extend) {
  if (extend)
    memo_.Select(Anchor(), offset);
  else
    memo_.SetSelStart(offset);
}

void TScrivInput::MoveTo(const TScrivNavigator& to, bool extend) {
  MoveTo(to.Offset(), extend);
  if (memo_.SettleCaret(to)) memo_.UpdateCaret();
}

bool TScrivInput::ClaimsShortcut(uint16_t key, uint8_t shift) const {
  const uint8_t mods = shift & (ssShift | ssAlt | ssCtrl);
  if (mods & ssAlt) return false;
  if (!(mods & ssCtrl)) return true;  // typing and moving are the control's own
  // Ctrl with the keys below the letters is the control's too, but for Ctrl+Tab: it moves
  // between windows.
  if (key < 48) return key != vk::kTab;
  return FindKeyBinding(key, mods, KeyState()) != nullptr;
}

TKeyState TScrivInput::KeyState() const {
  return {memo_.GetDisplayOnly(), !memo_.ReadOnly && memo_.EnableHotKeys, memo_.BlockMode()};
}

bool TScrivInput::KeyDown(uint16_t key, uint8_t shift) {
  const uint8_t mods = shift & (ssShift | ssAlt | ssCtrl);
  SwallowNextChar = false;
  AltChord = mods == (ssShift | ssAlt) || (AltChord && (mods & ssAlt));
  if (memo_.UpdateDepth() > 0) return false;
  if (Dragging) return DragKey(key);
  if (memo_.GetDisplayOnly()) return ViewKey(key, mods);
  if (const TKeyBinding* hot = FindKeyBinding(key, mods, KeyState());
      hot != nullptr && hot->When == TKeyCondition::kHotKeysOn)
    return HotKey(hot->Command);
  if (key == vk::kApps) return OpenPopupAtCaret();
  if (!EditingKey(key, mods)) return false;
  memo_.UpdateCaret();
  memo_.ScrollInView();
  host_.Repaint();
  return true;
}

bool TScrivInput::DragKey(uint16_t key) {
  if (key == vk::kControl) host_.SetCursor(TScrivCursor::crDragCopy);
  if (key != vk::kEscape) return false;
  host_.SetCursor(TScrivCursor::crIBeam);
  Dragging = false;
  ButtonDown = false;
  memo_.SetSelStart(DownOffset);
  host_.Repaint();
  return true;
}

bool TScrivInput::ViewKey(uint16_t key, uint8_t mods) {
  const TKeyBinding* binding = FindKeyBinding(key, mods, KeyState());
  if (binding == nullptr || !Perform(binding->Command, false)) return false;
  host_.Repaint();
  return true;
}

bool TScrivInput::HotKey(TKeyCommand command) {
  Perform(command, false);
  memo_.ScrollInView();
  SwallowNextChar = true;
  host_.Repaint();
  return true;
}

bool TScrivInput::OpenPopupAtCaret() {
  if (!host_.HasPopupMenu() && (memo_.GetOptions() & zkoNoDefaultPopup)) return false;
  const TScrivRect caret = CaretRect(memo_);
  host_.OpenPopup(caret.Left, caret.Bottom, !host_.HasPopupMenu());
  return true;
}

bool TScrivInput::EditingKey(uint16_t key, uint8_t mods) {
  const FlagScope in_key(InKey, true);
  StartColumnBlockOnChord(key, mods);
  // Looked up after the chord: its arrow grows the block it has just started.
  const TKeyBinding* binding = FindKeyBinding(key, mods, KeyState());
  return binding != nullptr && Perform(binding->Command, (mods & ssShift) != 0);
}

void TScrivInput::StartColumnBlockOnChord(uint16_t key, uint8_t mods) {
  TScrivlet& m = memo_;
  if (mods != (ssShift | ssAlt) || !(m.GetOptions() & zkoBlockSelection) ||
      m.SelLower() != m.SelUpper() || m.BlockMode() || !IsArrow(key) || m.GetWordWrap())
    return;
  const int32_t para = m.CaretNav().GetParaIndex();
  const int32_t col = m.ColumnOf(para, m.CaretNav().GetPosInPara()) +
                      static_cast<int32_t>(m.PendingSpaces().size());
  m.SetColumnBlock(col, col);
  block_anchor_para_ = para;
}

bool TScrivInput::Perform(TKeyCommand command, bool extend) {
  TScrivlet& m = memo_;
  using enum TKeyCommand;
  switch (command) {
    case kViewPageUp: ScrollViewToLine(TopLine() - m.VisibleLines() + 1); return true;
    case kViewTextTop: ScrollViewToLine(0); return true;
    case kViewPageDown: ScrollViewPageDown(false); return true;
    case kViewTextBottom: ScrollViewPageDown(true); return true;
    case kViewLeftEnd: m.SetHScroll(0); return true;
    case kViewRightEnd: m.SetHScroll(MaxHorzScroll()); return true;
    case kViewLeft: m.SetHScroll(std::max(0, m.HorzScroll() - ViewStep())); return true;
    case kViewRight:
      m.SetHScroll(std::min(MaxHorzScroll(), m.HorzScroll() + ViewStep()));
      return true;
    case kViewLineUp: ScrollViewToLine(TopLine() - 1); return true;
    case kViewLineDown: ScrollViewToLine(TopLine() + 1); return true;

    case kToggleBold: m.ToggleBold(); return true;
    case kToggleItalic: m.ToggleItalic(); return true;
    case kToggleUnderline: m.ToggleUnderline(); return true;
    case kToggleHighlight: m.ToggleHighlight(); return true;
    case kToggleAltFont: m.ToggleAltFont(); return true;
    case kInsertTab: m.SetSelText("\t"); return true;
    // A paragraph break and a form feed: the printer starts a new page there.
    case kInsertPageBreak: m.SetSelText("\r\n\f"); return true;
    case kUndo: m.Undo(); return true;
    case kRedo: m.Redo(); return true;

    case kControlCharacter: return false;
    case kCharacterFollows: return true;

    case kCharLeft: CharLeft(extend); return true;
    case kCharRight: CharRight(extend); return true;
    case kWordLeft: WordLeft(extend); return true;
    case kWordRight: WordRight(extend); return true;
    case kLineStart: LineStart(extend); return true;
    case kLineEnd: LineEnd(extend); return true;
    case kTextStart: MoveTo(0, extend); return true;
    case kTextEnd: MoveTo(m.CharCount(), extend); return true;
    case kLineUp: return LineUp(extend);
    case kLineDown: LineDown(extend); return true;
    case kPageUp: PageMove(-1, true, extend); return true;
    case kPageDown: PageMove(1, true, extend); return true;
    case kCaretPageUp: PageMove(-1, false, extend); return true;
    case kCaretPageDown: PageMove(1, false, extend); return true;

    case kBlockLeft: GrowBlock(-1, 0); return true;
    case kBlockRight: GrowBlock(1, 0); return true;
    case kBlockUp: GrowBlock(0, -1); return true;
    case kBlockDown: GrowBlock(0, 1); return true;

    case kDeleteBack: DeleteBack(); return true;
    case kDeleteWordBack: DeleteWordBack(); return true;
    case kDeleteForward: DeleteForward(); return true;
    case kDeleteToLineEnd: DeleteToLineEnd(); return true;
    case kCutOrSelectBack: CutOrSelectBack(); return true;
    case kToggleOverwrite: ToggleOverwrite(); return true;
    case kCopy: m.CopyToClipboard(); return true;
    case kPaste:
      if (!m.ReadOnly) m.PasteFromClipboard();
      return true;
    case kIgnore: return true;
  }
  return false;
}

int32_t TScrivInput::TopLine() const {
  return memo_.VertScroll() / std::max(1, memo_.LineHeight());
}

void TScrivInput::ScrollViewToLine(int32_t line) {
  const int32_t lh = std::max(1, memo_.LineHeight());
  memo_.SetVScroll(std::min(std::max(0, line) * lh, memo_.MaxVertScroll()));
}

void TScrivInput::ScrollViewPageDown(bool to_bottom) {
  const int32_t top = TopLine();
  const int32_t visible = memo_.VisibleLines();
  if (memo_.GetWordWrap()) memo_.EnsureLine(top + 2 * visible);
  if (to_bottom)
    memo_.SetVScroll(memo_.MaxVertScroll());
  else
    ScrollViewToLine(top + visible - 1);
}

int32_t TScrivInput::MaxHorzScroll() const {
  TScrivlet& m = memo_;
  const int32_t widest = m.Layout().LongestLineWidth + m.GetLeftMargin() + m.GetRightMargin();
  return std::max(0, widest - m.ClientWidth());
}

int32_t TScrivInput::ViewStep() const { return memo_.ClientWidth() / 5 + 1; }

void TScrivInput::VerticalMove(int32_t lines, bool extend) {
  TScrivlet& m = memo_;
  if (m.DesiredX() == TScrivlet::kNoDesiredX) m.SetDesiredX(CaretRect(m).Left);
  const int32_t desired = m.DesiredX();
  const int32_t from = m.CaretNav().GetVisibleLine();
  const int32_t target = std::clamp(from + lines, 0, std::max(0, m.Table.VisibleLineCount() - 1));
  if (m.GetWordWrap()) m.EnsureLine(target + 1);
  TScrivNavigator& nav = m.WorkNav();
  nav.SetOffset(m.CaretNav().Offset());
  nav.SetVisibleLine(target);
  nav.SetFromX(desired);
  MoveTo(nav, extend);
  m.SetDesiredX(desired);
  // Past a short line's end the missing width becomes padding.
  if (m.BlockMode() || (m.GetOptions() & zkoKeepColumnPos)) {
    const int32_t x = CaretRect(m).Left;
    const int32_t space = std::max(1, m.Measurer()->Width(" ", m.FontStyle()));
    const bool at_line_end =
        m.CaretNav().GetPosInPara() ==
        para::LineRecord(*m.CaretNav().GetPara(), m.CaretNav().GetLineInPara()).End;
    if ((at_line_end || m.CaretNav().CharAt() == '\t') && desired > x) {
      m.SetPendingSpaces(std::string(static_cast<size_t>((desired - x) / space), ' '));
      m.UpdateCaret();
    }
  }
}

void TScrivInput::CharLeft(bool extend) {
  TScrivlet& m = memo_;
  if (m.DropPendingSpace()) {
    m.UpdateCaret();
    return;
  }
  const int32_t o = m.CaretNav().Offset();
  MoveTo(std::max(0, o - (m.CaretNav().GetPosInPara() == 0 ? 2 : 1)), extend);
}

void TScrivInput::CharRight(bool extend) {
  TScrivlet& m = memo_;
  const uint32_t opts = m.GetOptions();
  const int32_t o = m.CaretNav().Offset();
  const bool at_end = m.CaretNav().CharAt() == 13 || o >= m.CharCount();
  if (at_end && (opts & zkoKeepColumnPos) && !(opts & zkoWrapCaret)) {
    m.AddPendingSpace(' ');
    m.UpdateCaret();
    return;
  }
  int32_t to = o;
  const std::string_view text = TextOf(*m.CaretNav().GetPara());
  int32_t pos = m.CaretNav().GetPosInPara();
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
  MoveTo(std::min(to, m.CharCount()), extend);
}

void TScrivInput::WordLeft(bool extend) {
  TScrivNavigator& nav = memo_.WorkNav();
  nav.SetOffset(memo_.CaretNav().Offset());
  nav.WordStartBack(memo_.SeparatorSet());
  MoveTo(nav.Offset(), extend);
}

void TScrivInput::WordRight(bool extend) {
  TScrivNavigator& nav = memo_.WorkNav();
  nav.SetOffset(memo_.CaretNav().Offset());
  nav.NextWordStart(memo_.SeparatorSet());
  MoveTo(nav.Offset(), extend);
}

void TScrivInput::LineStart(bool extend) {
  TScrivNavigator& nav = memo_.WorkNav();
  nav.Assign(memo_.CaretNav());
  nav.SetColumnInLine(0);
  MoveTo(nav, extend);
}

void TScrivInput::LineEnd(bool extend) {
  TScrivNavigator& nav = memo_.WorkNav();
  nav.Assign(memo_.CaretNav());
  const TLineRecord rec = para::LineRecord(*nav.GetPara(), nav.GetLineInPara());
  nav.SetColumnInLine(rec.End - rec.Start);
  MoveTo(nav, extend);
}

bool TScrivInput::LineUp(bool extend) {
  if (memo_.CaretNav().GetVisibleLine() == 0 && !extend) return false;
  VerticalMove(-1, extend);
  return true;
}

void TScrivInput::LineDown(bool extend) {
  TScrivlet& m = memo_;
  if (m.CaretNav().GetVisibleLine() + 1 >= m.Table.VisibleLineCount() && m.GetWordWrap())
    m.EnsureLine(m.CaretNav().GetVisibleLine() + 2);
  if (m.CaretNav().GetVisibleLine() + 1 < m.Table.VisibleLineCount()) VerticalMove(1, extend);
}

void TScrivInput::PageMove(int32_t sign, bool view_follows, bool extend) {
  TScrivlet& m = memo_;
  const int32_t lh = std::max(1, m.LineHeight());
  const int32_t rows = std::max(1, m.ClientHeight() / lh - 1);
  const int32_t caret_y = m.CaretNav().GetY();
  const bool in_view = caret_y >= 0 && caret_y < m.ClientHeight();
  VerticalMove(sign * rows, extend);
  if (view_follows && in_view) {
    const int32_t v = m.VertScroll() + sign * rows * lh;
    m.SetVScroll(std::clamp(v, 0, std::max(m.VertScroll(), m.MaxVertScroll())));
  }
}

// A column block grows by character columns and paragraphs.
void TScrivInput::GrowBlock(int32_t columns, int32_t paragraphs) {
  TScrivlet& m = memo_;
  const int32_t col =
      columns < 0 ? std::max(0, m.BlockStartCol() + columns) : m.BlockStartCol() + columns;
  const int32_t para =
      std::clamp(m.CaretNav().GetParaIndex() + paragraphs, 0, std::max(0, m.Table.Count() - 1));
  m.SelectColumnBlock(m.BlockEndCol(), block_anchor_para_, col, para);
}

void TScrivInput::ToggleOverwrite() {
  TScrivlet& m = memo_;
  if (!(m.GetOptions() & zkoInsertKeyActive)) return;
  m.SetOverwrite(!m.GetOverwrite());
  if (m.OnStyleChange) m.OnStyleChange(m);
}

std::string TScrivInput::LeadingBlanks(int32_t para) const {
  const std::string_view text = TextOf(memo_.Table.Items(para));
  size_t n = 0;
  while (n < text.size() && IsBlank(text[n])) ++n;
  return std::string(text.substr(0, n));
}

void TScrivInput::DeleteWordBack() {
  TScrivlet& m = memo_;
  if (m.ReadOnly) return;
  TScrivNavigator& nav = m.WorkNav();
  nav.SetOffset(m.CaretNav().Offset());
  nav.WordStartBack(m.SeparatorSet());
  m.Select(m.CaretNav().Offset(), nav.Offset());
  m.ClearSelection();
}

// With zkoKeepColumnPos the caret keeps the x it had before a deletion: the missing width
// becomes padding.
void TScrivInput::RestoreColumnAsPadding(int32_t old_x) {
  TScrivlet& m = memo_;
  const int32_t x = CaretRect(m).Left;
  const int32_t space =
      std::max(1, m.Measurer() != nullptr ? m.Measurer()->Width(" ", m.FontStyle()) : 1);
  if (old_x <= x) return;
  m.SetPendingSpaces(std::string(static_cast<size_t>((old_x - x) / space), ' '));
  m.UpdateCaret();
}

void TScrivInput::DeleteBack() {
  TScrivlet& m = memo_;
  if (m.ReadOnly) return;
  if (m.SelLower() != m.SelUpper()) {
    const int32_t old_x = CaretRect(m).Left;
    const int32_t old_line = m.CaretNav().GetVisibleLine();
    m.ClearSelection();
    if ((m.GetOptions() & zkoKeepColumnPos) && m.CaretNav().GetVisibleLine() == old_line)
      RestoreColumnAsPadding(old_x);
    return;
  }
  if (m.DropPendingSpace()) {
    m.UpdateCaret();
    return;
  }
  const int32_t o = m.CaretNav().Offset();
  if (o == 0) return;
  const int32_t para = m.CaretNav().GetParaIndex();
  const int32_t pos = m.CaretNav().GetPosInPara();
  if (pos == 0) {
    m.Select(o, o - 2);  // the paragraph break
    m.ClearSelection();
    return;
  }
  int32_t from = pos;
  if (m.GetOptions() & zkoBackIndent) {
    from = BackIndentStart(para, pos);
    if (from < pos) {
      m.Select(o, o - (pos - from));
      m.ClearSelection();
      return;
    }
  }
  // One character, with the style characters directly before it.
  const std::string_view text = TextOf(m.Table.Items(para));
  const bool codes = m.GetStaticFormat();
  while (codes && from > 0 &&
         IsStyleChar(static_cast<uint8_t>(text[static_cast<size_t>(from - 1)])))
    --from;
  if (from > 0) --from;
  m.Select(o, o - (pos - from));
  m.ClearSelection();
}

int32_t TScrivInput::BackIndentStart(int32_t para, int32_t pos) {
  TScrivlet& m = memo_;
  if (static_cast<int32_t>(LeadingBlanks(para).size()) != pos || pos <= 0) return pos;
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
  int32_t from = m.ColumnToPos(para, target);
  if (m.ColumnOf(para, from) > target) from = std::max(0, from - 1);
  return from;
}

void TScrivInput::CutOrSelectBack() {
  TScrivlet& m = memo_;
  if (m.SelLower() != m.SelUpper()) {
    if (!m.ReadOnly) m.CutToClipboard();
    return;
  }
  const int32_t o = m.CaretNav().Offset();
  if (o > 0) m.Select(o, o - (m.CaretNav().GetPosInPara() == 0 ? 2 : 1));
}

bool TScrivInput::DeleteForwardGoesOn() {
  TScrivlet& m = memo_;
  if (m.ReadOnly) return false;
  if (m.SelLower() != m.SelUpper()) {
    m.ClearSelection();
    return false;
  }
  return m.CaretNav().Offset() < m.CharCount();
}

void TScrivInput::DeleteToLineEnd() {
  TScrivlet& m = memo_;
  if (!DeleteForwardGoesOn()) return;
  const int32_t o = m.CaretNav().Offset();
  const int32_t pos = m.CaretNav().GetPosInPara();
  const TLineRecord rec = para::LineRecord(*m.CaretNav().GetPara(), m.CaretNav().GetLineInPara());
  if (rec.End <= pos) return;
  m.Select(o, o + rec.End - pos);
  m.ClearSelection();
}

void TScrivInput::DeleteForward() {
  TScrivlet& m = memo_;
  if (!DeleteForwardGoesOn()) return;
  const int32_t o = m.CaretNav().Offset();
  const int32_t pos = m.CaretNav().GetPosInPara();
  const TParagraph& p = *m.CaretNav().GetPara();
  const int32_t length = para::Length(p);
  const int32_t old_x = CaretRect(m).Left;
  const bool keep =
      (m.GetOptions() & zkoKeepColumnPos) && !m.BlockMode() && !m.PendingSpaces().empty();
  // The character after the caret with the style characters directly behind it, or the break.
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
  if (keep) RestoreColumnAsPadding(old_x);
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
  const bool block = m.BlockMode();
  const int32_t col_a = m.BlockEndCol(), col_b = m.BlockStartCol();
  int32_t para_a = 0, para_b = 0;
  if (keep_block) {
    const int32_t caret = m.CaretNav().Offset();
    if (opts & zkoPersistentBlocks) {
      lower = std::make_unique<TScrivNavigator>(m);
      upper = std::make_unique<TScrivNavigator>(m);
      lower->SetOffset(m.SelLower());
      upper->SetOffset(m.SelUpper());
      para_a = block_anchor_para_;
      para_b = m.CaretNav().GetParaIndex();
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
  const bool at_para_end = m.CaretNav().CharAt() == 13 || m.CaretNav().Offset() >= m.CharCount();
  if (ch == ' ' && empty && at_para_end && (m.GetOptions() & zkoDiscardTrailingSpaces)) {
    // Trailing blanks are never stored: the space waits as padding.
    m.AddPendingSpace(' ');
    m.UpdateCaret();
    return;
  }
  if (empty && m.GetOverwrite() && !at_para_end) {
    const std::string pending = m.PendingSpaces();
    m.SetSelLength(1);
    m.SetPendingSpaces(pending);
  }
  m.SetSelText(std::string_view(&c, 1));
}

void TScrivInput::Return() {
  TScrivlet& m = memo_;
  const bool empty = m.SelLower() == m.SelUpper();
  if (m.GetOverwrite() && empty) {
    const int32_t line = m.CaretNav().GetVisibleLine();
    if (m.GetWordWrap()) m.EnsureLine(line + 2);
    if (line + 1 < m.Table.VisibleLineCount()) {
      TScrivNavigator& nav = m.WorkNav();
      nav.SetOffset(m.CaretNav().Offset());
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
    int32_t para = m.CaretNav().GetParaIndex();
    for (int32_t i = para; i >= 0; --i) {
      const std::string lead = LeadingBlanks(i);
      if (static_cast<int32_t>(lead.size()) < para::Length(m.Table.Items(i)) || i == 0) {
        indent = lead;
        para = i;
        break;
      }
    }
    const int32_t caret_col = m.ColumnOf(m.CaretNav().GetParaIndex(), m.CaretNav().GetPosInPara()) +
                              static_cast<int32_t>(m.PendingSpaces().size());
    while (!indent.empty() && m.ColumnOf(para, static_cast<int32_t>(indent.size())) > caret_col)
      indent.pop_back();
  }
  const bool at_para_end = m.CaretNav().CharAt() == 13 || m.CaretNav().Offset() >= m.CharCount();
  if ((m.GetOptions() & zkoDiscardTrailingSpaces) && empty && at_para_end && !indent.empty()) {
    std::string pending;
    for (char c : indent)
      pending.append(c == '\t' ? static_cast<size_t>(std::max(1, m.GetTabStops())) : 1u, ' ');
    m.SetPendingSpaces({});
    m.SetSelText("\r\n");
    m.SetPendingSpaces(pending);
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
    const int32_t para = m.CaretNav().GetParaIndex();
    const int32_t col = m.ColumnOf(para, m.CaretNav().GetPosInPara()) +
                        static_cast<int32_t>(m.PendingSpaces().size());
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
             (m.CaretNav().CharAt() == 13 || m.CaretNav().Offset() >= m.CharCount())) {
    m.AddPendingSpace('\t');
    m.UpdateCaret();
    return;
  }
  m.SetSelText("\t");
}

void TScrivInput::KeyUp(uint16_t key, uint8_t /*shift*/) {
  if (key == vk::kControl && Dragging && !DragCopy) host_.SetCursor(TScrivCursor::crDrag);
}

}  // namespace scrivlet
