// The caret and the selection by offset, display line, paragraph and column; column
// blocks; the style toggles; FindText.

#include <algorithm>

#include "editor_control/scrivlet.h"

namespace scrivlet {
namespace {

std::string_view TextOf(const TParagraph& p) {
  return {p.Text ? p.Text : "", static_cast<size_t>(para::Length(p))};
}

}  // namespace

std::string TScrivlet::GetSelText() {
  if (BlockMode) return GetColumnText();
  return GetTextRange(SelLower(), SelUpper());
}

void TScrivlet::SetSelText(std::string_view text) {
  if ((options_ & zkoPutExtraSpaces) && !PendingSpaces.empty() && (!BlockMode || SelLower() == SelUpper())) {
    std::string withSpaces = PendingSpaces;
    withSpaces.append(text);
    InsertTextBuf(withSpaces);
    return;
  }
  InsertTextBuf(text);
}

void TScrivlet::SelectAll() {
  SetSelStart(CharCount());
  SetSelLength(-CharCount());
}

int32_t TScrivlet::GetSelLine() { return Caret->GetDisplayLine(); }

void TScrivlet::SetSelLine(int32_t line) {
  if (!wordWrap_) {
    SetSelPar(line);
    return;
  }
  EnsureLine(line);
  TScrivNavigator& nav = *WorkNav;
  nav.SetDisplayLine(std::clamp(line, 0, std::max(0, Table.LineCount - 1)));
  nav.SetColumnInLine(0);
  SetSelStart(nav.Offset());
}

int32_t TScrivlet::GetSelPar() { return Caret->GetParaIndex(); }

void TScrivlet::SetSelPar(int32_t par) {
  par = std::clamp(par, 0, Table.Count() - 1);
  SetSelStart(Table.Items(par).StartOffset);
}

int32_t TScrivlet::GetSelCol() { return Caret->ColumnInLine() + static_cast<int32_t>(PendingSpaces.size()); }

void TScrivlet::SetSelCol(int32_t col) {
  TScrivNavigator& nav = *WorkNav;
  nav.SetOffset(Caret->Offset());
  const int32_t line = nav.GetLineInPara();
  const TLineRecord rec = para::LineRecord(*nav.GetPara(), line);
  const int32_t length = rec.End - rec.Start;
  nav.SetColumnInLine(std::max(0, col));
  SetSelStart(nav.Offset());
  if ((options_ & zkoKeepColumnPos) && !wordWrap_ && col > length) {
    PendingSpaces.assign(static_cast<size_t>(col - length), ' ');
    UpdateCaret();
  }
}

void TScrivlet::SelectColumnBlock(int32_t col1, int32_t par1, int32_t col2, int32_t par2) {
  if (wordWrap_) return;
  const int32_t last = Table.Count() - 1;
  par1 = std::clamp(par1, 0, last);
  par2 = std::clamp(par2, 0, last);
  const int32_t anchor = Table.Items(par1).StartOffset + ColumnToPos(par1, std::max(0, col1));
  const int32_t caretPos = ColumnToPos(par2, std::max(0, col2));
  Select(anchor, Table.Items(par2).StartOffset + caretPos);
  // The caret's columns beyond its line end are pending spaces.
  const int32_t reached = ColumnOf(par2, caretPos);
  if (col2 > reached) PendingSpaces.assign(static_cast<size_t>(col2 - reached), ' ');
  BlockMode = true;
  BlockEndCol = col1;
  BlockStartCol = col2;
  UpdateCaret();
}

int32_t TScrivlet::ColumnOf(int32_t paraIndex, int32_t pos) {
  const std::string_view text = TextOf(Table.Items(paraIndex));
  int32_t c = 0;
  for (int32_t k = 0; k < pos && k < static_cast<int32_t>(text.size()); ++k) {
    const auto ch = static_cast<uint8_t>(text[static_cast<size_t>(k)]);
    if (ch == 9 && tabStops_ > 0) c = (c / tabStops_ + 1) * tabStops_;
    else if (!(GetStaticFormat() && IsStyleChar(ch))) ++c;
  }
  return c;
}

std::string TScrivlet::GetColumnText() {
  if (!BlockMode || SelLower() == SelUpper()) return {};
  const int32_t left = std::min(BlockStartCol, BlockEndCol);
  const int32_t right = std::max(BlockStartCol, BlockEndCol);
  std::string out;
  for (int32_t i = SelStartNav->GetParaIndex(); i <= SelEndNav->GetParaIndex(); ++i) {
    const int32_t a = ColumnToPos(i, left);
    const int32_t b = ColumnToPos(i, right);
    out.append(TextOf(Table.Items(i)).substr(static_cast<size_t>(a), static_cast<size_t>(std::max(0, b - a))));
    out.append("\r\n");
  }
  return out;
}

void TScrivlet::ToggleStyle(uint8_t code) {
  if (!GetStaticFormat()) return;
  TScrivNavigator start(*this);
  start.SetOffset(SelLower());
  const int32_t length = SelLength;
  const bool empty = SelLower() == SelUpper();
  const std::string selected = GetTextRange(SelLower(), SelUpper());
  std::string text;
  text.push_back(static_cast<char>(code));
  text += selected;
  text.push_back(static_cast<char>(code));
  {
    // The two codes of an empty selection are an empty run: kept, the caret goes between.
    const bool saved = droppingRuns_;
    if (empty) droppingRuns_ = true;
    try {
      SetSelText(text);
    } catch (...) {
      droppingRuns_ = saved;
      throw;
    }
    droppingRuns_ = saved;
  }
  const int32_t from = start.Offset();
  if (empty) {
    SetSelStart(from + 1);
  } else {
    const int32_t end = std::min(from + static_cast<int32_t>(text.size()), CharCount());
    if (length >= 0) Select(end, from);
    else Select(from, end);
  }
}

bool TScrivlet::FindText(std::string_view text, bool forward, bool fromBoundary, bool wholeWord, bool matchCase) {
  if (text.empty()) return false;
  auto fold = [&](std::string_view s) {
    return matchCase ? std::string(s) : UpperCased(s, Keywords.UpperCaseType(), Keywords.UserUpperCaseProc);
  };
  const std::string key = fold(text);
  const auto keyLength = static_cast<int32_t>(key.size());
  const int32_t from = fromBoundary ? (forward ? 0 : CharCount()) : Caret->Offset();
  const int32_t firstPara = Table.ParagraphAt(from);
  auto isWhole = [&](std::string_view hay, int32_t at) {
    const int32_t end = at + keyLength;
    const bool before = at == 0 || separators_.test(static_cast<uint8_t>(hay[static_cast<size_t>(at - 1)]));
    const bool after = end >= static_cast<int32_t>(hay.size()) || separators_.test(static_cast<uint8_t>(hay[static_cast<size_t>(end)]));
    return before && after;
  };
  int32_t hitPara = -1, hitPos = -1;
  if (forward) {
    for (int32_t i = firstPara; i < Table.Count() && hitPara < 0; ++i) {
      const std::string hay = fold(TextOf(Table.Items(i)));
      size_t q = i == firstPara ? static_cast<size_t>(std::max(0, from - Table.Items(i).StartOffset)) : 0;
      for (q = hay.find(key, q); q != std::string::npos; q = hay.find(key, q + 1))
        if (!wholeWord || isWhole(hay, static_cast<int32_t>(q))) {
          hitPara = i;
          hitPos = static_cast<int32_t>(q);
          break;
        }
    }
  } else {
    for (int32_t i = firstPara; i >= 0 && hitPara < 0; --i) {
      const std::string hay = fold(TextOf(Table.Items(i)));
      // The last occurrence that begins before the start.
      int64_t limit = i == firstPara ? int64_t{from} - Table.Items(i).StartOffset - 1 : static_cast<int64_t>(hay.size());
      while (limit >= 0) {
        const size_t q = hay.rfind(key, static_cast<size_t>(limit));
        if (q == std::string::npos) break;
        if (!wholeWord || isWhole(hay, static_cast<int32_t>(q))) {
          hitPara = i;
          hitPos = static_cast<int32_t>(q);
          break;
        }
        limit = static_cast<int64_t>(q) - 1;
      }
    }
  }
  if (hitPara < 0) return false;
  const int32_t start = Table.Items(hitPara).StartOffset + hitPos;
  if (forward) Select(start, start + keyLength);
  else Select(start + keyLength, start);
  return true;
}

}  // namespace scrivlet
