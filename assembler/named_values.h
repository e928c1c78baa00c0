#pragma once
// Words that name values: the option values of the command line, which LIST parameters take
// by the same rules.

#include <string_view>

#include "assembler/options.h"
#include "assembler/text.h"

namespace tarn {

struct NamedValue {
  const char* name;
  int value;
};

// The value of `word` among `names` (without regard to case), or -1.
template <size_t N>
int LookupNamedValue(const NamedValue (&names)[N], std::string_view word) {
  for (const NamedValue& n : names) {
    if (EqualsNoCase(n.name, word)) return n.value;
  }
  return -1;
}

inline constexpr NamedValue kRadixNames[] = {{"DEC", 10}, {"D", 10}, {"BIN", 2},  {"B", 2},
                                             {"OCT", 8},  {"O", 8},  {"HEX", 16}, {"H", 16}};
inline constexpr NamedValue kFormatNames[] = {{"BIN16", kBin16},   {"INHX16", kInhx16},
                                              {"INHX8M", kInhx8m}, {"INHX8S", kInhx8s},
                                              {"INHX32", kInhx32}, {"IEEE695", kIeee695}};
inline constexpr NamedValue kListingModeNames[] = {{"NONE", kListNone},     {"0", kListNone},
                                                   {"PAGE", kListPage},     {"1", kListPage},
                                                   {"NOPAGE", kListNoPage}, {"2", kListNoPage}};

}  // namespace tarn
