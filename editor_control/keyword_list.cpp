#include "editor_control/keyword_list.h"

#include <cctype>
#include <cstdlib>
#include <limits>

#include "editor_control/errors.h"

namespace scrivlet {

int32_t StrToInt(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) throw EConvertError(s);
  int64_t value = 0;
  for (; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    // The control links nothing, so it reads its digits itself rather than by the platform's.
    int digit;
    if (std::isdigit(c))
      digit = c - '0';
    else if (base == 16 && std::isxdigit(c))
      digit = std::toupper(c) - 'A' + 10;
    else
      throw EConvertError(s);
    value = value * base + digit;
    if (value > int64_t{1} << 32) throw EConvertError(s);
  }
  if (negative) value = -value;
  // Hexadecimal constants may name the full 32-bit pattern, as colours do.
  if (base == 16 && value > std::numeric_limits<int32_t>::max() && value <= 0xFFFFFFFFll)
    value -= int64_t{1} << 32;
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    throw EConvertError(s);
  return static_cast<int32_t>(value);
}

const TKeyInfoLen& TKeywordList::Item(int32_t i) const {
  if (i < 0 || i >= Count()) throw ERangeError();
  return items_[static_cast<size_t>(i)];
}
TKeyInfoLen& TKeywordList::Item(int32_t i) {
  if (i < 0 || i >= Count()) throw ERangeError();
  return items_[static_cast<size_t>(i)];
}

void TKeywordList::BeginUpdate() {
  if (update_count_++ == 0) SetUpdateState(true);
}

void TKeywordList::EndUpdate() {
  if (update_count_ > 0 && --update_count_ == 0) SetUpdateState(false);
}

void TKeywordList::SetUpdateState(bool updating) {
  Updating = updating;
  if (!updating) Recompute();
}

void TKeywordList::Changed() {
  if (update_count_ == 0) Recompute();
}

void TKeywordList::Recompute() {
  ++Revision;
  AllMatchCase = true;
  MaxKeyLength = 0;
  for (TKeyInfoLen& e : items_) {
    e.KeyLength = static_cast<int32_t>(e.Keyword.size());
    MaxKeyLength = std::max(MaxKeyLength, e.KeyLength);
    e.MatchKey = e.Keyword;
    if ((e.Attributes.Options & kMatchCase) == 0) {
      AllMatchCase = false;
      e.MatchKey = UpperCased(e.Keyword, upper_case_type_, UserUpperCaseProc);
    }
  }
}

void TKeywordList::Clear() {
  items_.clear();
  Changed();
}

void TKeywordList::Delete(int32_t i) {
  Item(i);
  items_.erase(items_.begin() + i);
  Changed();
}

void TKeywordList::Insert(int32_t i, const std::string& s) {
  if (i < 0 || i > Count()) throw ERangeError();
  TKeyInfoLen e;
  e.Keyword = s;
  items_.insert(items_.begin() + i, std::move(e));
  Changed();
}

int32_t TKeywordList::Add(const std::string& s) {
  Insert(Count(), s);
  return Count() - 1;
}

void TKeywordList::AddStrings(const std::vector<std::string>& strings) {
  BeginUpdate();
  for (const auto& s : strings) Add(s);
  EndUpdate();
}

int32_t TKeywordList::AddKeyword(const std::string& keyword, uint8_t options, uint8_t style,
                                 int32_t context, int16_t cursor, int32_t backgnd,
                                 int32_t foregnd) {
  TKeyInfoLen e;
  e.Keyword = keyword;
  e.Attributes = {static_cast<uint8_t>(options & 0x7F), style, context, cursor, backgnd, foregnd};
  items_.push_back(std::move(e));
  Changed();
  return Count() - 1;
}

void TKeywordList::SetKeywordAttributes(int32_t i, const TKeywordAttributes& a) {
  TKeyInfoLen& e = Item(i);
  e.Attributes = a;
  e.Attributes.Options &= 0x7F;
  e.Data1 = e.Data2 = e.Data3 = 0;
  Changed();
}

void TKeywordList::SetData(int32_t i, int32_t d1, int32_t d2, int32_t d3) {
  TKeyInfoLen& e = Item(i);
  e.Data1 = d1;
  e.Data2 = d2;
  e.Data3 = d3;
}

void TKeywordList::SetUpperCaseType(TzkUpperCase t) {
  if (t == upper_case_type_) return;
  upper_case_type_ = t;
  Changed();
}

void TKeywordList::Assign(const TKeywordList& source) {
  if (&source == this) return;
  items_ = source.items_;
  Changed();
}

void TKeywordList::Assign(const std::vector<std::string>& strings) {
  BeginUpdate();
  items_.clear();
  for (const auto& s : strings) Add(s);
  EndUpdate();
}

void TKeywordList::SaveToList(std::vector<std::string>& lines) const {
  lines.clear();
  for (const TKeyInfoLen& e : items_) {
    const TKeywordAttributes& a = e.Attributes;
    std::string line = e.Keyword + "=";
    for (int64_t n : {int64_t{a.Options}, int64_t{a.Style}, int64_t{a.Context}, int64_t{a.Cursor},
                      int64_t{a.Backgnd}, int64_t{a.Foregnd}, int64_t{e.Data1}, int64_t{e.Data2}})
      line += std::to_string(n) + ",";
    lines.push_back(std::move(line));
  }
}

namespace {

// Takes the number that starts at `pos`: the text up to the next comma or the line end;
// steps over that comma.
int32_t NextNumber(const std::string& line, size_t& pos) {
  const size_t comma = line.find(',', pos);
  const std::string field =
      line.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
  pos = comma == std::string::npos ? line.size() : comma + 1;
  return StrToInt(field);
}

// Closes an update bracket even when a conversion error leaves the load.
template <class List>
struct UpdateBracket {
  List& list;
  explicit UpdateBracket(List& l) : list(l) { list.BeginUpdate(); }
  ~UpdateBracket() { list.EndUpdate(); }
};

}  // namespace

void TKeywordList::LoadFromList(const std::vector<std::string>& lines) {
  UpdateBracket<TKeywordList> bracket(*this);
  items_.clear();
  for (const std::string& line : lines) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    size_t pos = eq + 1;
    int32_t n[6];
    for (int32_t& v : n) v = NextNumber(line, pos);
    AddKeyword(line.substr(0, eq), static_cast<uint8_t>(n[0]), static_cast<uint8_t>(n[1]), n[2],
               static_cast<int16_t>(n[3]), n[4], n[5]);
  }
}

void TKeywordList::WriteStrings(TStreamList& out) const {
  out.clear();
  for (const TKeyInfoLen& e : items_) {
    const TKeywordAttributes& a = e.Attributes;
    out.push_back({TStreamValue::String(e.Keyword),
                   TStreamValue::Integer(a.Options | kStreamDataMarker),
                   TStreamValue::Integer(a.Style), TStreamValue::Integer(a.Context),
                   TStreamValue::Integer(a.Cursor), TStreamValue::Integer(a.Backgnd),
                   TStreamValue::Integer(a.Foregnd), TStreamValue::Integer(e.Data1),
                   TStreamValue::Integer(e.Data2), TStreamValue::Integer(e.Data3)});
  }
}

void TKeywordList::ReadStrings(const TStreamList& in) {
  UpdateBracket<TKeywordList> bracket(*this);
  items_.clear();
  for (const TStreamItem& item : in) {
    TStreamItemReader r(item);
    TKeyInfoLen e;
    e.Keyword = r.ReadString();
    const int32_t options = r.ReadInteger();
    e.Attributes.Options = static_cast<uint8_t>(options & 0x7F);
    e.Attributes.Style = static_cast<uint8_t>(r.ReadInteger());
    e.Attributes.Context = r.ReadInteger();
    e.Attributes.Cursor = static_cast<int16_t>(r.ReadInteger());
    e.Attributes.Backgnd = r.ReadInteger();
    e.Attributes.Foregnd = r.ReadInteger();
    if (options & kStreamDataMarker) {
      e.Data1 = r.ReadInteger();
      e.Data2 = r.ReadInteger();
      e.Data3 = r.ReadInteger();
    } else if (r.NextIsInteger()) {
      e.Data1 = r.ReadInteger();
      e.Data2 = r.ReadInteger();
    }
    items_.push_back(std::move(e));
  }
}

}  // namespace scrivlet
