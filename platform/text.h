#pragma once
// The few text helpers every folder needs: ASCII case folding (names of files, keys, sections
// and commands compare without case, as on the system the IDE was first written for), trimming,
// the value of a hex digit, and filling the "%s" placeholders of the string tables' texts.

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// Only A-Z fold: bytes of other scripts pass through, so UTF-8 names are never changed.
constexpr char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string LowerAscii(std::string_view s);
std::string UpperAscii(std::string_view s);

// 0 to 15 for 0-9, A-F and a-f; -1 for every other byte. A reader that takes one case only
// turns the other away itself.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool SameText(std::string_view a, std::string_view b);
// Orders as the lower-case forms would; a prefix comes first.
bool LessText(std::string_view a, std::string_view b);

// Without the blanks and control characters at either end.
std::string_view TrimBlanks(std::string_view s);

// A text with a wrong placeholder, or fewer arguments than placeholders: a fault of the
// caller or of a translated table, never of the user.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Fmt with its "%s" filled in order by the arguments ("%%" is one "%"); arguments beyond the
// placeholders are ignored.
std::string FormatText(std::string_view fmt, std::initializer_list<std::string_view> args);

}  // namespace platform
