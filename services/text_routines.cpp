#include "services/text_routines.h"

namespace workbench {

std::string IntToStrPad2(int n) {
  std::string text = std::to_string(n);
  return n <= 9 ? "0" + text : text;
}

std::string ThousandsSep(long long n) {
  // Unsigned magnitude, so the most negative value has one too.
  unsigned long long magnitude =
      n < 0 ? 0ULL - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  std::string digits = std::to_string(magnitude);
  std::string text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return n < 0 ? "-" + text : text;
}

std::string VersionToStr(int n) {
  std::string text = std::to_string(n / 10000) + "." + IntToStrPad2((n % 10000) / 100);
  if (n % 100 != 0) {
    text += '.';
    text += IntToStrPad2(n % 100);
  }
  return text;
}

void SplitString(std::string_view text, char delim, std::vector<std::string>& list, int start) {
  if (start <= 0) {
    list.clear();
    start = 0;
  }
  std::size_t position = static_cast<std::size_t>(start);
  auto store = [&](std::string_view piece) {
    if (position < list.size()) {
      list[position] = std::string(piece);
    } else {
      list.emplace_back(piece);
    }
    ++position;
  };
  std::size_t from = 0;
  for (std::size_t at = text.find(delim); at != std::string_view::npos;
       at = text.find(delim, from)) {
    store(text.substr(from, at - from));
    from = at + 1;
  }
  store(text.substr(from));
}

bool IsIdentChar(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

}  // namespace workbench
