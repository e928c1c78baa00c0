// The caret and the selection by offset, display line, paragraph and column; column
// blocks; the style toggles; FindText.

#include <algorithm>

#include "editor_control/flag_scope.h"
#include "editor_control/scrivlet.h"

namespace scrivlet {
namespace {

std::string_view TextOf(const TParagraph& p) {
  return {p.Text ? p.Text : "", static_cast<size_t>(para::Length(p))};
}

}  // namespace

std::string TScrivlet::GetSelText() {
  if (block_mode_) return GetColumnText();
  return GetTextRange(SelLower(), SelUpper());
}

void TScrivlet::SetSelText(std::string_view text) {
  if ((options_ & zkoPutExtraSpaces) && !pending_spaces_.empty() &&
      (!block_mode_ || SelLower() == SelUpper())) {
    std::string with_spaces = pending_spaces_;
    with_spaces.append(text);
    InsertTextBuf(with_spaces);
    return;
  }
  InsertTextBuf(text);
}

bool TScrivlet::SettleCaret(const TScrivNavigator& at) {
  if (!at.Resolved() || caret_->Offset() != at.Offset()) return false;
  caret_->Assign(at);
  return true;
}

void TScrivlet::SelectAll() {
  SetSelStart(CharCount());
  SetSelLength(-CharCount());
}

int32_t TScrivlet::GetSelLine() { return caret_->GetDisplayLine(); }

void TScrivlet::SetSelLine(int32_t line) {
  if (!word_wrap_) {
    SetSelPar(line);
    return;
  }
  EnsureLine(line);
  TScrivNavigator& nav = *work_nav_;
  nav.SetDisplayLine(std::clamp(line, 0, std::max(0, Table.LineCount() - 1)));
  nav.SetColumnInLine(0);
  SetSelStart(nav.Offset());
}

int32_t TScrivlet::GetSelPar() { return caret_->GetParaIndex(); }

void TScrivlet::SetSelPar(int32_t par) {
  par = std::clamp(par, 0, Table.Count() - 1);
  SetSelStart(Table.Items(par).StartOffset);
}

int32_t TScrivlet::GetSelCol() {
  return caret_->ColumnInLine() + static_cast<int32_t>(pending_spaces_.size());
}

void TScrivlet::SetSelCol(int32_t col) {
  TScrivNavigator& nav = *work_nav_;
  nav.Assign(*caret_);
  const int32_t line = nav.GetLineInPara();
  const TLineRecord rec = para::LineRecord(*nav.GetPara(), line);
  const int32_t length = rec.End - rec.Start;
  nav.SetColumnInLine(std::max(0, col));
  SetSelStart(nav.Offset());
  // The end of a wrapped line is also the start of the next: the caret stays on its line.
  caret_->Assign(nav);
  if ((options_ & zkoKeepColumnPos) && !word_wrap_ && col > length) {
    pending_spaces_.assign(static_cast<size_t>(col - length), ' ');
    UpdateCaret();
  }
}

void TScrivlet::SelectColumnBlock(int32_t col1, int32_t par1, int32_t col2, int32_t par2) {
  if (word_wrap_) return;
  const int32_t last = Table.Count() - 1;
  par1 = std::clamp(par1, 0, last);
  par2 = std::clamp(par2, 0, last);
  const int32_t anchor = Table.Items(par1).StartOffset + ColumnToPos(par1, std::max(0, col1));
  const int32_t caret_pos = ColumnToPos(par2, std::max(0, col2));
  Select(anchor, Table.Items(par2).StartOffset + caret_pos);
  // The caret's columns beyond its line end are pending spaces.
  const int32_t reached = ColumnOf(par2, caret_pos);
  if (col2 > reached) pending_spaces_.assign(static_cast<size_t>(col2 - reached), ' ');
  block_mode_ = true;
  block_end_col_ = col1;
  block_start_col_ = col2;
  UpdateCaret();
}

int32_t TScrivlet::ColumnOf(int32_t para_index, int32_t pos) {
  const std::string_view text = TextOf(Table.Items(para_index));
  int32_t c = 0;
  for (int32_t k = 0; k < pos && k < static_cast<int32_t>(text.size()); ++k) {
    const auto ch = static_cast<uint8_t>(text[static_cast<size_t>(k)]);
    if (ch == 9 && tab_stops_ > 0)
      c = (c / tab_stops_ + 1) * tab_stops_;
    else if (!(GetStaticFormat() && IsStyleChar(ch)))
      ++c;
  }
  return c;
}

std::string TScrivlet::GetColumnText() {
  if (!block_mode_ || SelLower() == SelUpper()) return {};
  const int32_t left = std::min(block_start_col_, block_end_col_);
  const int32_t right = std::max(block_start_col_, block_end_col_);
  std::string out;
  for (int32_t i = sel_start_nav_->GetParaIndex(); i <= sel_end_nav_->GetParaIndex(); ++i) {
    const int32_t a = ColumnToPos(i, left);
    const int32_t b = ColumnToPos(i, right);
    out.append(TextOf(Table.Items(i))
                   .substr(static_cast<size_t>(a), static_cast<size_t>(std::max(0, b - a))));
    out.append("\r\n");
  }
  return out;
}

void TScrivlet::ToggleStyle(uint8_t code) {
  if (!GetStaticFormat()) return;
  TScrivNavigator start(*this);
  start.SetOffset(SelLower());
  const int32_t length = sel_length_;
  const bool empty = SelLower() == SelUpper();
  const std::string selected = GetTextRange(SelLower(), SelUpper());
  std::string text;
  text.push_back(static_cast<char>(code));
  text += selected;
  text.push_back(static_cast<char>(code));
  {
    // The two codes of an empty selection are an empty run: kept, the caret goes between.
    FlagScope dropping(dropping_runs_, dropping_runs_ || empty);
    SetSelText(text);
  }
  const int32_t from = start.Offset();
  if (empty) {
    SetSelStart(from + 1);
  } else {
    const int32_t end = std::min(from + static_cast<int32_t>(text.size()), CharCount());
    if (length >= 0)
      Select(end, from);
    else
      Select(from, end);
  }
}

bool TScrivlet::FindText(std::string_view text, bool forward, bool from_boundary, bool whole_word,
                         bool match_case) {
  if (text.empty()) return false;
  auto fold = [&](std::string_view s) {
    return match_case ? std::string(s)
                      : UpperCased(s, Keywords.UpperCaseType(), Keywords.UserUpperCaseProc);
  };
  const std::string key = fold(text);
  const auto key_length = static_cast<int32_t>(key.size());
  const int32_t from = from_boundary ? (forward ? 0 : CharCount()) : caret_->Offset();
  const int32_t first_para = Table.ParagraphAt(from);
  auto is_whole = [&](std::string_view hay, int32_t at) {
    const int32_t end = at + key_length;
    const bool before =
        at == 0 || separators_.test(static_cast<uint8_t>(hay[static_cast<size_t>(at - 1)]));
    const bool after = end >= static_cast<int32_t>(hay.size()) ||
                       separators_.test(static_cast<uint8_t>(hay[static_cast<size_t>(end)]));
    return before && after;
  };
  int32_t hit_para = -1, hit_pos = -1;
  if (forward) {
    for (int32_t i = first_para; i < Table.Count() && hit_para < 0; ++i) {
      const std::string hay = fold(TextOf(Table.Items(i)));
      size_t q =
          i == first_para ? static_cast<size_t>(std::max(0, from - Table.Items(i).StartOffset)) : 0;
      for (q = hay.find(key, q); q != std::string::npos; q = hay.find(key, q + 1))
        if (!whole_word || is_whole(hay, static_cast<int32_t>(q))) {
          hit_para = i;
          hit_pos = static_cast<int32_t>(q);
          break;
        }
    }
  } else {
    for (int32_t i = first_para; i >= 0 && hit_para < 0; --i) {
      const std::string hay = fold(TextOf(Table.Items(i)));
      // The last occurrence that begins before the start.
      int64_t limit = i == first_para ? int64_t{from} - Table.Items(i).StartOffset - 1
                                      : static_cast<int64_t>(hay.size());
      while (limit >= 0) {
        const size_t q = hay.rfind(key, static_cast<size_t>(limit));
        if (q == std::string::npos) break;
        if (!whole_word || is_whole(hay, static_cast<int32_t>(q))) {
          hit_para = i;
          hit_pos = static_cast<int32_t>(q);
          break;
        }
        limit = static_cast<int64_t>(q) - 1;
      }
    }
  }
  if (hit_para < 0) return false;
  const int32_t start = Table.Items(hit_para).StartOffset + hit_pos;
  if (forward)
    Select(start, start + key_length);
  else
    Select(start + key_length, start);
  return true;
}

}  // namespace scrivlet
