#pragma once
// Small text helpers shared by the assembler: names compare without regard to case.

#include <cctype>
#include <string>
#include <string_view>

namespace tarn {

inline char UpperChar(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  }
  return true;
}

inline std::string UpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperChar(c);
  return out;
}

}  // namespace tarn
