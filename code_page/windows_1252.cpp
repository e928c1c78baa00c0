#include "code_page/windows_1252.h"

#include <array>
#include <cstdint>

namespace code_page {
namespace {

// clang-format off
// 0x80 to 0x9F; every other byte is the character of its own number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};
// clang-format on

// UTF-8 decoding of the character at text[at]; advances `at`. Nothing for a malformed,
// overlong or surrogate sequence or one beyond U+10FFFF.
std::optional<char32_t> NextUtf8(std::string_view text, std::size_t& at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  if (lead < 0x80) {
    ++at;
    return lead;
  }
  std::size_t length = 0;
  char32_t value = 0, lowest = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, lowest = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, lowest = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, lowest = 0x10000;
  } else {
    return std::nullopt;
  }
  if (at + length > text.size()) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return std::nullopt;
    value = (value << 6) | (byte(at + i) & 0x3F);
  }
  if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return std::nullopt;
  at += length;
  return value;
}

}  // namespace

char32_t UnicodeOfWindows1252(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

std::optional<char> Windows1252Of(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
    return static_cast<char>(character);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == character) return static_cast<char>(0x80 + i);
  return std::nullopt;
}

std::string Utf8Of(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

std::string Utf8FromWindows1252(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80)
      out += c;
    else
      out += Utf8Of(UnicodeOfWindows1252(byte));
  }
  return out;
}

std::optional<std::string> Windows1252FromUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const std::optional<char32_t> c = NextUtf8(text, at);
    if (!c) return std::nullopt;
    const std::optional<char> byte = Windows1252Of(*c);
    if (!byte) return std::nullopt;
    out += *byte;
  }
  return out;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();)
    if (!NextUtf8(text, at)) return false;
  return true;
}

}  // namespace code_page
