#include "editor_control/string_views.h"

#include <algorithm>
#include <sstream>

#include "editor_control/scrivlet.h"

namespace scrivlet {
namespace {

// A stream string holds at most 255 characters.
constexpr size_t kPieceLength = 254;
constexpr char kContinued = 5;

bool LastParagraphEmpty(const TScrivlet& memo) {
  return para::Length(memo.Table.Items(memo.Table.Count() - 1)) == 0;
}

}  // namespace

std::string TScrivletStrings::Narrow(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char16_t c : s) out.push_back(c > 255 ? '?' : static_cast<char>(c));
  return out;
}

std::u16string TScrivletStrings::GetWide(int32_t i) {
  const std::string s = Get(i);
  std::u16string out;
  out.reserve(s.size());
  for (char c : s) out.push_back(static_cast<char16_t>(static_cast<uint8_t>(c)));
  return out;
}

void TScrivletStrings::Assign(TScrivletStrings& other) {
  std::stringstream text;
  other.memo_.SaveToStream(text);
  memo_.LoadFromStream(text);
}

void TScrivletStrings::Assign(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text.append(l).append("\r\n");
  std::istringstream in(text);
  memo_.LoadFromStream(in);
}

void TScrivletStrings::BeginUpdate() { memo_.BeginUpdate(); }
void TScrivletStrings::EndUpdate() { memo_.EndUpdate(); }
std::string TScrivletStrings::GetText() { return memo_.Text(); }
void TScrivletStrings::SetText(std::string_view text) { memo_.SetTextBuf(text); }
void TScrivletStrings::Clear() { memo_.ClearText(); }
void TScrivletStrings::LoadFromStream(std::istream& stream) { memo_.LoadFromStream(stream); }

void TScrivletStrings::SaveToStream(std::ostream& stream) {
  const std::string text = memo_.Text();
  stream.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// --- Paragraphs ---

int32_t TScrivParaStrings::Count() {
  return memo_.ParagraphCount() - (LastParagraphEmpty(memo_) ? 1 : 0);
}

std::string TScrivParaStrings::Get(int32_t i) {
  if (i < 0 || i >= Count()) throw ERangeError();
  return memo_.GetParagraphText(i);
}

void TScrivParaStrings::Put(int32_t i, std::string_view s) { memo_.SetParagraphText(i, s); }

int32_t TScrivParaStrings::Add(std::string_view s) {
  const int32_t end = memo_.CharCount();
  if (LastParagraphEmpty(memo_)) {
    memo_.Select(end, end);
    memo_.InsertTextBuf(std::string(s) + "\r\n");
  } else {
    memo_.Select(end, end);
    memo_.InsertTextBuf("\r\n" + std::string(s));
  }
  // The added text's index, also when an empty paragraph follows it.
  return Count() - 1;
}

void TScrivParaStrings::Insert(int32_t i, std::string_view s) {
  if (i < 0) return;
  if (i >= Count()) {
    Add(s);
    return;
  }
  const int32_t at = memo_.ParagraphStart(i);
  memo_.Select(at, at);
  memo_.InsertTextBuf(std::string(s) + "\r\n");
}

void TScrivParaStrings::Delete(int32_t i) {
  if (i < 0 || i >= memo_.ParagraphCount()) return;
  const int32_t start = memo_.ParagraphStart(i);
  const int32_t end =
      i + 1 < memo_.ParagraphCount() ? memo_.ParagraphStart(i + 1) : memo_.CharCount();
  memo_.Select(end, start);
  memo_.InsertTextBuf({});
}

// --- Lines ---

void TScrivLinesStrings::LineRange(int32_t i, int32_t& start, int32_t& end) {
  TScrivNavigator& nav = memo_.WorkNav();
  nav.SetDisplayLine(i);
  const TParagraph& p = *nav.GetPara();
  const TLineRecord r = para::LineRecord(p, nav.GetLineInPara());
  start = p.StartOffset + r.Start;
  end = p.StartOffset + r.End;
}

int32_t TScrivLinesStrings::Count() {
  memo_.EnsureLine(INT32_MAX);
  const int32_t n = memo_.LineCount();
  return n - (memo_.GetLineText(n - 1).empty() ? 1 : 0);
}

std::string TScrivLinesStrings::Get(int32_t i) {
  if (i < 0 || i >= Count()) throw ERangeError();
  return memo_.GetLineText(i);
}

void TScrivLinesStrings::Put(int32_t i, std::string_view s) {
  memo_.EnsureLine(i);
  if (i < 0 || i >= memo_.LineCount()) return;
  int32_t start = 0, end = 0;
  LineRange(i, start, end);
  memo_.Select(end, start);
  memo_.InsertTextBuf(s);
}

int32_t TScrivLinesStrings::Add(std::string_view s) {
  const int32_t end = memo_.CharCount();
  memo_.Select(end, end);
  memo_.InsertTextBuf(LastParagraphEmpty(memo_) ? std::string(s) + "\r\n"
                                                : "\r\n" + std::string(s));
  memo_.SetSelStart(memo_.CharCount());
  memo_.ScrollInView();
  return Count() - 1;
}

void TScrivLinesStrings::Insert(int32_t i, std::string_view s) {
  memo_.EnsureLine(i);
  if (i < 0 || i > memo_.LineCount()) return;
  if (i == memo_.LineCount()) {
    const int32_t end = memo_.CharCount();
    memo_.Select(end, end);
    memo_.InsertTextBuf("\r\n" + std::string(s));
  } else {
    int32_t start = 0, end = 0;
    LineRange(i, start, end);
    memo_.Select(start, start);
    memo_.InsertTextBuf(std::string(s) + "\r\n");
  }
  memo_.ScrollInView();
}

void TScrivLinesStrings::Delete(int32_t i) {
  memo_.EnsureLine(i);
  if (i < 0 || i >= memo_.LineCount()) return;
  int32_t start = 0, end = 0;
  LineRange(i, start, end);
  // A line that ends its paragraph goes with the break.
  const TParagraph& p = memo_.Table.Items(memo_.Table.ParagraphAt(start));
  if (end == p.StartOffset + para::Length(p) && end + 2 <= memo_.CharCount()) end += 2;
  memo_.Select(end, start);
  memo_.InsertTextBuf({});
}

// --- the form stream ---

bool StoreStrings(const TScrivlet& memo) { return memo.CharCount() > 0; }

TStreamItem WriteStrings(TScrivlet& memo) {
  TStreamItem out;
  for (int32_t i = 0; i < memo.ParagraphCount(); ++i) {
    const std::string text = memo.GetParagraphText(i);
    // A text ending in the continuation character itself goes whole, as a wide string.
    if (!text.empty() && text.back() == kContinued) {
      std::u16string wide(text.begin(), text.end());
      for (size_t k = 0; k < text.size(); ++k)
        wide[k] = static_cast<char16_t>(static_cast<uint8_t>(text[k]));
      out.push_back(TStreamValue::WString(std::move(wide)));
      continue;
    }
    size_t at = 0;
    while (text.size() - at > kPieceLength) {
      out.push_back(TStreamValue::String(text.substr(at, kPieceLength) + kContinued));
      at += kPieceLength;
    }
    out.push_back(TStreamValue::String(text.substr(at)));
  }
  return out;
}

void ReadStrings(TScrivlet& memo, const TStreamItem& values) {
  memo.ClearText();
  int32_t paragraph = 0;
  size_t k = 0;
  while (k < values.size()) {
    std::string text;
    if (values[k].kind == TStreamValue::vaWString) {
      text = TScrivletStrings::Narrow(values[k++].WStr);
    } else {
      for (;;) {
        if (k >= values.size() || values[k].kind != TStreamValue::vaString) throw EReadError();
        const std::string& piece = values[k++].Str;
        if (!piece.empty() && piece.back() == kContinued) {
          text.append(piece, 0, piece.size() - 1);
          continue;
        }
        text += piece;
        break;
      }
    }
    memo.SetParagraphText(paragraph++, text);
  }
}

}  // namespace scrivlet
