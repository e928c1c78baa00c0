#pragma once
// TKeywordAttributes: how a keyword or a start/stop section is shown.

#include <cstdint>

#include "editor_control/style_run.h"

namespace scrivlet {

enum TKeywordOption : uint8_t {
  kMatchCase = 1 << 0,  // the key is compared with the text as it stands
  kWholeWord = 1 << 1,  // the match must be bounded by separators
  // Marks the newer stream form (with the data values); never set in memory.
  kStreamDataMarker = 1 << 7,
};

struct TKeywordAttributes {
  uint8_t Options = 0;
  uint8_t Style = 0;    // style bits given to the matched text
  int32_t Context = 0;  // 0: a keyword is not applied at all
  int16_t Cursor = 0;   // 0: none
  int32_t Backgnd = kNoColor;
  int32_t Foregnd = kNoColor;
};

inline bool operator==(const TKeywordAttributes& a, const TKeywordAttributes& b) {
  return a.Options == b.Options && a.Style == b.Style && a.Context == b.Context &&
         a.Cursor == b.Cursor && a.Backgnd == b.Backgnd && a.Foregnd == b.Foregnd;
}

}  // namespace scrivlet
