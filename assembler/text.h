#pragma once
// Small text helpers shared by the assembler: names compare without regard to case.

#include <cctype>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarn {

// ASCII letters only, as the "C" locale's toupper: names are never compared under another.
inline char UpperChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c; }

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

// Byte order of the upper-cased names, without making them.
inline int CompareNoCase(std::string_view a, std::string_view b) {
  size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(UpperChar(a[i]));
    unsigned char y = static_cast<unsigned char>(UpperChar(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// The order of CompareNoCase for ordered containers; looks up string views as they are.
struct LessNoCase {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return CompareNoCase(a, b) < 0; }
};

// Hash and equality of names without regard to case, for hash tables keyed by names.
struct FoldedHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const {
    uint64_t h = 14695981039346656037ull;
    for (char c : s) h = (h ^ static_cast<unsigned char>(UpperChar(c))) * 1099511628211ull;
    return static_cast<size_t>(h);
  }
};
struct FoldedEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return EqualsNoCase(a, b); }
};

// printf's "%*d": the number right-aligned in at least `width` characters (zero-padded when
// `zeros`, as "%0*d"). Formatted from the right in one buffer and appended once: the listing
// numbers every line this way.
inline void AppendDecimal(std::string& out, long long value, int width = 0, bool zeros = false) {
  constexpr int kRoom = 24;
  char text[kRoom];
  if (value >= 0 && width <= kRoom) {
    int n = 0;
    unsigned long long v = static_cast<unsigned long long>(value);
    do {
      text[kRoom - ++n] = static_cast<char>('0' + v % 10);
      v /= 10;
    } while (v != 0);
    while (n < width) text[kRoom - ++n] = zeros ? '0' : ' ';
    out.append(text + kRoom - n, static_cast<size_t>(n));
    return;
  }
  auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  int length = static_cast<int>(end - text);
  if (length < width) {
    if (zeros && value < 0) {
      out += '-';
      out.append(static_cast<size_t>(width - length), '0');
      out.append(text + 1, end);
      return;
    }
    out.append(static_cast<size_t>(width - length), zeros ? '0' : ' ');
  }
  out.append(text, end);
}

// Writes printf's "%0*X" of `value` (at most 8 digits) ending just before `end`; gives the
// first character written.
inline char* PutHexBefore(char* end, uint32_t value, int digits) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  int n = 0;
  do {
    *--end = kDigits[value & 0xF];
    value >>= 4;
    ++n;
  } while (value != 0);
  while (n++ < digits) *--end = '0';
  return end;
}

// printf's "%0*X": upper-case hexadecimal, at least `digits` digits (at most 8).
inline void AppendHex(std::string& out, uint32_t value, int digits) {
  char text[8];
  char* first = PutHexBefore(text + 8, value, digits < 8 ? digits : 8);
  out.append(first, static_cast<size_t>(text + 8 - first));
}

// printf's "%-*s".
inline void AppendLeft(std::string& out, std::string_view text, size_t width) {
  out.append(text);
  if (text.size() < width) out.append(width - text.size(), ' ');
}

}  // namespace tarn
