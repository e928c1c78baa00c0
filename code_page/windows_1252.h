#pragma once
// Windows-1252, the 8-bit character set of the string tables and of the editors' text (0x80 is
// "€"), against UTF-8, the encoding of text inside the program and of the desktop.
//
// Invariant: the mapping is one to one over all 256 bytes. The five bytes Windows leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same
// number, so every byte has a character and converting there and back gives every byte again.

#include <optional>
#include <string>
#include <string_view>

namespace code_page {

char32_t UnicodeOfWindows1252(unsigned char byte);
// Nothing for a character Windows-1252 does not hold.
std::optional<char> Windows1252Of(char32_t character);

std::string Utf8FromWindows1252(std::string_view text);
// Nothing when `text` is not valid UTF-8 or holds a character Windows-1252 does not hold.
std::optional<std::string> Windows1252FromUtf8(std::string_view text);

bool IsValidUtf8(std::string_view text);
// The UTF-8 of one character.
std::string Utf8Of(char32_t character);

}  // namespace code_page
