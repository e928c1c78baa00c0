#include "editor_control/start_stop_keys.h"

#include <algorithm>

#include "editor_control/keyword_list.h"

namespace scrivlet {

std::string TStartStopKeyList::Prepare(const std::string& key, uint8_t options) const {
  return (options & kMatchCase) ? key : UpperCased(key, upper_case_type_, UserUpperCaseProc);
}

int32_t TStartStopKeyList::AddStartStopKey(const std::string& start_key,
                                           const std::string& stop_key, uint8_t options,
                                           uint8_t style, int32_t context, int16_t cursor,
                                           int32_t backgnd, int32_t foregnd,
                                           bool ends_at_line_end) {
  MaxStartLength = std::max<uint16_t>(MaxStartLength, static_cast<uint16_t>(start_key.size()));
  MaxStopLength = std::max<uint16_t>(MaxStopLength, static_cast<uint16_t>(stop_key.size()));
  // A section that ends at the line end waits for the CR LF pair.
  if (ends_at_line_end && MaxStopLength < 2) MaxStopLength = 2;

  StartStopInfo e;
  e.Attributes = {static_cast<uint8_t>(options & 0x7F), style, context, cursor, backgnd, foregnd};
  e.Flags = ends_at_line_end ? kEndsAtLineEnd : 0;
  e.StartText = Prepare(start_key, e.Attributes.Options);
  e.StopText = Prepare(stop_key, e.Attributes.Options);
  e.StartLength = static_cast<uint16_t>(start_key.size());
  e.StopLength = static_cast<uint16_t>(stop_key.size());
  e.StartKey = start_key;
  e.StopKey = stop_key;
  for (int32_t i = 0; i < Count(); ++i) {
    const StartStopInfo& o = Slot(i);
    if (o.Attributes.Options == e.Attributes.Options && o.StartText == e.StartText) {
      e.FirstSameStart = static_cast<int16_t>(i);
      break;
    }
  }
  Prepared = false;
  return Add(std::move(e));
}

void TStartStopKeyList::Clear() {
  SetCount(0);
  SetCapacity(2);
  Prepared = false;
}

void TStartStopKeyList::SetUpperCaseType(TzkUpperCase t) {
  if (t == upper_case_type_) return;
  upper_case_type_ = t;
  ForEachFrom(0, [this](StartStopInfo& e) {
    e.StartText = Prepare(e.StartKey, e.Attributes.Options);
    e.StopText = Prepare(e.StopKey, e.Attributes.Options);
  });
  Prepared = false;
}

void TStartStopKeyList::Prepare(const std::bitset<256>& separators) {
  auto not_sep = [&](char c) { return !separators.test(static_cast<unsigned char>(c)); };
  ForEachFrom(0, [&](StartStopInfo& e) {
    const bool whole = (e.Attributes.Options & kWholeWord) != 0;
    e.StartNeedsSepBefore = whole && !e.StartKey.empty() && not_sep(e.StartKey.front());
    e.StartNeedsSepAfter = whole && !e.StartKey.empty() && not_sep(e.StartKey.back());
    e.StopNeedsSepBefore = whole && !e.StopKey.empty() && not_sep(e.StopKey.front());
    e.StopNeedsSepAfter = whole && !e.StopKey.empty() && not_sep(e.StopKey.back());
  });
  Prepared = true;
}

void TStartStopKeyList::SaveToList(std::vector<std::string>& lines) const {
  lines.clear();
  for (int32_t i = 0; i < Count(); ++i) {
    const StartStopInfo& e = Slot(i);
    const TKeywordAttributes& a = e.Attributes;
    std::string line = e.StartKey + "|" + e.StopKey + "=";
    for (int64_t n : {int64_t{a.Options}, int64_t{a.Style}, int64_t{a.Context}, int64_t{a.Cursor},
                      int64_t{a.Backgnd}, int64_t{a.Foregnd}, int64_t{e.Flags}, int64_t{e.Data1},
                      int64_t{e.Data2}})
      line += std::to_string(n) + ",";
    lines.push_back(std::move(line));
  }
}

void TStartStopKeyList::LoadFromList(const std::vector<std::string>* lines) {
  Clear();
  if (lines == nullptr) return;
  for (const std::string& line : *lines) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string keys = line.substr(0, eq);
    const size_t bar = keys.find('|');
    const std::string start = bar == std::string::npos ? keys : keys.substr(0, bar);
    const std::string stop = bar == std::string::npos ? std::string() : keys.substr(bar + 1);
    size_t pos = eq + 1;
    int32_t n[7];
    for (int32_t& v : n) {
      const size_t comma = line.find(',', pos);
      v = StrToInt(line.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
      pos = comma == std::string::npos ? line.size() : comma + 1;
    }
    AddStartStopKey(start, stop, static_cast<uint8_t>(n[0]), static_cast<uint8_t>(n[1]), n[2],
                    static_cast<int16_t>(n[3]), n[4], n[5], (n[6] & 1) != 0);
  }
}

void TStartStopKeyList::WriteKeys(TStreamList& out) const {
  out.clear();
  for (int32_t i = 0; i < Count(); ++i) {
    const StartStopInfo& e = Slot(i);
    const TKeywordAttributes& a = e.Attributes;
    out.push_back({TStreamValue::String(e.StartKey), TStreamValue::String(e.StopKey),
                   TStreamValue::Integer(a.Options | kStreamDataMarker),
                   TStreamValue::Integer(a.Style), TStreamValue::Integer(a.Context),
                   TStreamValue::Integer(a.Cursor), TStreamValue::Integer(a.Backgnd),
                   TStreamValue::Integer(a.Foregnd), TStreamValue::Bool(e.EndsAtLineEnd()),
                   TStreamValue::Integer(e.Data1), TStreamValue::Integer(e.Data2),
                   TStreamValue::Integer(
                       static_cast<int32_t>(e.Flags | (static_cast<uint32_t>(e.Data3) << 4)))});
  }
}

void TStartStopKeyList::ReadKeys(const TStreamList& in) {
  Clear();
  for (const TStreamItem& item : in) {
    TStreamItemReader r(item);
    const std::string start = r.ReadString();
    const std::string stop = r.ReadString();
    const int32_t options = r.ReadInteger();
    const int32_t style = r.ReadInteger();
    const int32_t context = r.ReadInteger();
    const int32_t cursor = r.ReadInteger();
    const int32_t backgnd = r.ReadInteger();
    const int32_t foregnd = r.ReadInteger();
    bool have_data = false;
    int32_t d1 = 0, d2 = 0, packed = 0;
    if (r.NextIsInteger()) {  // the older form
      d1 = r.ReadInteger();
      d2 = r.ReadInteger();
      have_data = true;
    }
    const bool ends_at_line_end = r.ReadBoolean();
    if (options & kStreamDataMarker) {
      d1 = r.ReadInteger();
      d2 = r.ReadInteger();
      packed = r.ReadInteger();
      have_data = true;
    }
    const int32_t i = AddStartStopKey(
        start, stop, static_cast<uint8_t>(options & 0x7F), static_cast<uint8_t>(style), context,
        static_cast<int16_t>(cursor), backgnd, foregnd, ends_at_line_end);
    if (have_data) {
      StartStopInfo& e = Slot(i);
      e.Data1 = d1;
      e.Data2 = d2;
      e.Data3 = static_cast<int32_t>(static_cast<uint32_t>(packed) >> 4);
      e.Flags = static_cast<uint8_t>(packed & 15);
      if (ends_at_line_end) e.Flags |= kEndsAtLineEnd;
    }
  }
  Prepared = false;
}

}  // namespace scrivlet
