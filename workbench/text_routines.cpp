#include "workbench/text_routines.h"

#include <charconv>

namespace workbench {
namespace {

// Decimal integer with an optional sign, as the class library's conversion reads it.
int ToInteger(std::string_view text) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  int value = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    throw ConvertError("'" + std::string(text) + "' is not a valid integer value");
  }
  return value;
}

}  // namespace

std::string IntToStrPad2(int n) {
  std::string text = std::to_string(n);
  return n <= 9 ? "0" + text : text;
}

std::string ThousandsSep(long long n) {
  // Unsigned magnitude, so the most negative value has one too.
  unsigned long long magnitude = n < 0 ? 0ULL - static_cast<unsigned long long>(n)
                                       : static_cast<unsigned long long>(n);
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

int StrToVersion(std::string_view text) {
  std::size_t first = text.find('.');
  if (first == std::string_view::npos) return 0;
  std::size_t second = text.find('.', first + 1);
  int major = ToInteger(text.substr(0, first));
  if (second == std::string_view::npos) return major * 10000;
  int minor = ToInteger(text.substr(first + 1, second - first - 1));
  int patch = ToInteger(text.substr(second + 1));
  return major * 10000 + minor * 100 + patch;
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
