#include "platform/text.h"

#include <algorithm>

namespace platform {

std::string LowerAscii(std::string_view s) {
  std::string lower(s);
  for (char& c : lower) c = LowerAscii(c);
  return lower;
}

std::string UpperAscii(std::string_view s) {
  std::string upper(s);
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

bool LessText(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(LowerAscii(x)) < static_cast<unsigned char>(LowerAscii(y));
  });
}

std::string_view TrimBlanks(std::string_view s) {
  std::size_t begin = 0, end = s.size();
  while (begin < end && static_cast<unsigned char>(s[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(s[end - 1]) <= ' ') --end;
  return s.substr(begin, end - begin);
}

std::string FormatText(std::string_view fmt, std::initializer_list<std::string_view> args) {
  std::string out;
  auto next = args.begin();
  for (std::size_t i = 0; i < fmt.size(); ++i) {
    if (fmt[i] != '%') {
      out += fmt[i];
      continue;
    }
    char conversion = i + 1 < fmt.size() ? fmt[i + 1] : '\0';
    if (conversion == '%') {
      out += '%';
    } else if (conversion == 's') {
      if (next == args.end())
        throw FormatError("Format '" + std::string(fmt) + "' needs more arguments");
      out += *next++;
    } else {
      throw FormatError("Format '" + std::string(fmt) + "' invalid");
    }
    ++i;
  }
  return out;
}

}  // namespace platform
