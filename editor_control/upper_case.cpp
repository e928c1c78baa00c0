#include "editor_control/upper_case.h"

#include <cstdint>

namespace scrivlet {
namespace {

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

// Windows-1252: the accented small letters sit 32 above their capitals, except for the
// five whose capitals live in the 0x80 row; the division sign and y-diaeresis stand apart.
char AnsiUpper(char ch) {
  const auto c = static_cast<uint8_t>(ch);
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char>(c - 32);
  switch (c) {
    case 0x9A: return static_cast<char>(0x8A);  // s caron
    case 0x9C: return static_cast<char>(0x8C);  // oe
    case 0x9E: return static_cast<char>(0x8E);  // z caron
    case 0xFF: return static_cast<char>(0x9F);  // y diaeresis
    default: return ch;
  }
}

}  // namespace

std::string UpperCased(std::string_view text, TzkUpperCase type, TUpperCaseProc user) {
  std::string out;
  UpperCaseInto(text, type, user, out);
  return out;
}

void UpperCaseInto(std::string_view text, TzkUpperCase type, TUpperCaseProc user,
                   std::string& out) {
  out.assign(text);
  if (type == TzkUpperCase::zkuUserDefined && user != nullptr) {
    user(out.data());
    out.resize(std::char_traits<char>::length(out.c_str()));
    return;
  }
  for (char& c : out) c = type == TzkUpperCase::zkuAnsi ? AnsiUpper(c) : AsciiUpper(c);
}

}  // namespace scrivlet
