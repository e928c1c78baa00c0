// libFuzzer target over the keyword lists: any bytes as a keyword resource (one keyword a
// line) or as the text form (a keyword, "=" and its numbers, a line each). What was read goes
// through both stored forms, the stream property and the text form, and comes back the same.
//
// The first byte's bit 0 picks the form of the rest: 0 the resource, 1 the text form.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor_control/errors.h"
#include "editor_control/keyword_list.h"
#include "services/localize.h"
#include "workbench/keyword_lists.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::string> TextForm(const scrivlet::TKeywordList& list) {
  std::vector<std::string> lines;
  list.SaveToList(lines);
  return lines;
}

// A keyword holding "=" has no text form: the form cuts the keyword at its first "=".
bool HasTextForm(const scrivlet::TKeywordList& list) {
  for (int32_t i = 0; i < list.Count(); ++i)
    if (list.Strings(i).find('=') != std::string::npos) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  scrivlet::TKeywordList list;
  std::optional<workbench::T_MultiKeywordList> lists;
  if (data[0] & 1) {
    try {
      list.LoadFromList(workbench::SplitLines(text));
    } catch (const scrivlet::EConvertError&) {
      // A number that is not one stops the reading; the entries before it stay.
    }
  } else {
    lists.emplace([text](std::string_view, std::string_view) { return std::optional(text); });
    const int index = lists->LoadListFromResource("QVKeywords", "txt");
    Check(index > 0);
    list.Assign(*lists->GetList(index));
  }

  scrivlet::TStreamList stream;
  list.WriteStrings(stream);
  scrivlet::TKeywordList from_stream;
  from_stream.ReadStrings(stream);
  Check(from_stream.Count() == list.Count());
  for (int32_t i = 0; i < list.Count(); ++i) {
    Check(from_stream.Strings(i) == list.Strings(i));
    const scrivlet::TKeywordAttributes a = list.GetKeywordAttributes(i);
    const scrivlet::TKeywordAttributes b = from_stream.GetKeywordAttributes(i);
    Check(a.Options == b.Options && a.Style == b.Style && a.Context == b.Context &&
          a.Cursor == b.Cursor && a.Backgnd == b.Backgnd && a.Foregnd == b.Foregnd);
  }

  if (!HasTextForm(list)) return 0;
  const std::vector<std::string> lines = TextForm(list);
  scrivlet::TKeywordList from_text;
  from_text.LoadFromList(lines);
  Check(TextForm(from_text) == lines);
  return 0;
}
