#pragma once
// Small text helpers shared by the assembler: names compare without regard to case.

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tarn {

// ASCII letters only, as the "C" locale's toupper: names are never compared under another.
inline char UpperChar(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

// The eight bytes of `w` with 'a' to 'z' made upper case, as UpperChar makes each.
inline uint64_t UpperWord(uint64_t w) {
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  uint64_t low7 = w & (0x7F * kOnes);
  uint64_t from_a = low7 + (0x80 - 'a') * kOnes;      // bit 7 set where low7 >= 'a'
  uint64_t past_z = low7 + (0x80 - 'z' - 1) * kOnes;  // bit 7 set where low7 > 'z'
  uint64_t lower = from_a & ~past_z & ~w & (0x80 * kOnes);
  return w - (lower >> 2);
}

// The first `n` bytes at `p` (n below 8) as a little-endian number, in at most three loads.
inline uint64_t LoadShort(const char* p, size_t n) {
  uint64_t w = 0;
  size_t at = 0;
  if (n & 4) {
    uint32_t part;
    std::memcpy(&part, p, 4);
    w = part;
    at = 4;
  }
  if (n & 2) {
    uint16_t part;
    std::memcpy(&part, p + at, 2);
    w |= static_cast<uint64_t>(part) << (8 * at);
    at += 2;
  }
  if (n & 1) w |= static_cast<uint64_t>(static_cast<unsigned char>(p[at])) << (8 * at);
  return w;
}

// Names are compared eight folded bytes at a time.
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  size_t i = 0;
  for (; i + 8 <= a.size(); i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y && UpperWord(x) != UpperWord(y)) return false;
  }
  if (i == a.size()) return true;
  uint64_t x = LoadShort(a.data() + i, a.size() - i);
  uint64_t y = LoadShort(b.data() + i, b.size() - i);
  return x == y || UpperWord(x) == UpperWord(y);
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

// Hash and equality of names without regard to case, for hash tables keyed by names. The
// hash takes the folded name eight bytes at a time.
struct FoldedHash {
  using is_transparent = void;
  static uint64_t Mix(uint64_t h, uint64_t w) {
    h = (h ^ w) * 0x9E3779B97F4A7C15ull;
    return h ^ (h >> 29);
  }
  size_t operator()(std::string_view s) const {
    uint64_t h = s.size();
    size_t i = 0;
    for (; i + 8 <= s.size(); i += 8) {
      uint64_t w;
      std::memcpy(&w, s.data() + i, 8);
      h = Mix(h, UpperWord(w));
    }
    if (i < s.size()) h = Mix(h, UpperWord(LoadShort(s.data() + i, s.size() - i)));
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
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    std::memset(text, zeros ? '0' : ' ', sizeof text);
    char* p = text + kRoom;
    unsigned long long v = static_cast<unsigned long long>(value);
    while (v >= 100) {
      p -= 2;
      std::memcpy(p, kPairs + 2 * (v % 100), 2);
      v /= 100;
    }
    if (v >= 10) {
      p -= 2;
      std::memcpy(p, kPairs + 2 * v, 2);
    } else {
      *--p = static_cast<char>('0' + v);
    }
    int n = static_cast<int>(text + kRoom - p);
    if (n < width) n = width;
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
