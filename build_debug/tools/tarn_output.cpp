#include "build_debug/tools/tarn_output.h"

#include <algorithm>
#include <charconv>

#include "platform/text.h"

namespace build_debug {
namespace {

constexpr std::string_view kWatchPrefix = "__QV_WATCH";
constexpr std::string_view kBreakName = "__QV_BREAK";
constexpr std::string_view kResetName = "__QV_RESET";
constexpr std::array<std::string_view, 8> kWatchTypeNames = {"UDEC", "SDEC", "UHEX", "SHEX",
                                                             "UBIN", "SBIN", "FSTR", "ZSTR"};

std::uint16_t WordAt(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset]) |
                                    static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal number with an optional sign, nothing else.
bool ParseDecimal(std::string_view text, std::int32_t& value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  return !text.empty() && ec == std::errc() && ptr == end;
}

// A symbol's value field: a bit symbol shows "00000308.3", whose value is the part before ".".
std::int32_t ValueField(std::string_view field) {
  return ParseHex(field.substr(0, field.find('.')));
}

bool IsWatchType(std::string_view name, std::uint8_t& type) {
  auto it = std::find(kWatchTypeNames.begin(), kWatchTypeNames.end(), name);
  if (it == kWatchTypeNames.end()) return false;
  type = static_cast<std::uint8_t>(it - kWatchTypeNames.begin());
  return true;
}

bool ReadSymbolLine(std::string_view line, std::vector<std::string>& fields,
                    TarnReadBack& read_back) {
  SplitTokens(line, fields, 0);
  if (fields.size() < 4) return false;
  const std::string& name = fields[0];
  if (!name.starts_with("__")) {
    T_EXTLANG_SymbolInfo symbol{name, ValueField(fields[2]), -1};
    if (!ParseDecimal(fields[3], symbol.Line)) return false;
    read_back.Symbols.push_back(std::move(symbol));
    return true;
  }
  std::size_t colon = name.find(':');
  if (colon == std::string::npos) {
    T_EXTLANG_SymbolInfo* info = name == kBreakName   ? &read_back.BreakInfo
                                 : name == kResetName ? &read_back.ResetInfo
                                                      : nullptr;
    if (info == nullptr) return true;  // __QV_FREQ, __TARN and the like: not the IDE's
    T_EXTLANG_SymbolInfo found{name, ValueField(fields[2]), -1};
    if (!ParseDecimal(fields[3], found.Line)) return false;
    *info = std::move(found);
    return true;
  }
  if (std::string_view(name).substr(0, colon) != kWatchPrefix) return true;
  T_EXTLANG_WatchInfo watch;
  watch.Name = name.substr(colon + 1);
  watch.Address = ParseHex(fields[2]);
  std::int32_t width = ParseHex(fields[3]);
  if (watch.Address < 0 || width < 0 || width > 0xFF) return false;
  watch.Width = static_cast<std::uint8_t>(width);
  if (!IsWatchType(fields[1], watch.Type)) return false;
  read_back.Watches.push_back(std::move(watch));
  return true;
}

}  // namespace

bool ParseTarnMap(std::string_view bytes, TarnReadBack& read_back) {
  read_back.MapRecords.clear();
  // tarn pads the header area to the first record with zeros: a shorter file is cut.
  if (bytes.size() < static_cast<std::size_t>(kMapRecordsOffset)) return false;
  for (int i = 0; i < kMapHeaderWords; ++i) {
    read_back.MapHeader[static_cast<std::size_t>(i)] =
        static_cast<std::int16_t>(WordAt(bytes, static_cast<std::size_t>(i) * 2));
  }
  std::size_t offset = kMapRecordsOffset;
  for (; offset + kMapRecordBytes <= bytes.size(); offset += kMapRecordBytes) {
    TarnMapRecord record{WordAt(bytes, offset), WordAt(bytes, offset + 2),
                         WordAt(bytes, offset + 4), WordAt(bytes, offset + 6)};
    if (record.Address == 0 && record.SourceLine == 0 && record.ListingLine == 0 &&
        record.FileIndex == 0) {
      return true;
    }
    read_back.MapRecords.push_back(record);
  }
  return offset == bytes.size();
}

bool ParseTarnObj(std::string_view bytes, TarnReadBack& read_back) {
  read_back.ProgramWords.fill(kEmptyWord);
  // Word 3 is the last program word; a damaged map must not make the count leave the buffer.
  int count = std::clamp(static_cast<int>(read_back.MapHeader[3]) + 1, 0, kProgramWords);
  std::size_t needed = static_cast<std::size_t>(count) * 2 + kObjTrailerBytes;
  if (bytes.size() < needed) return false;
  for (int i = 0; i < count; ++i) {
    read_back.ProgramWords[static_cast<std::size_t>(i)] =
        WordAt(bytes, static_cast<std::size_t>(i) * 2);
  }
  return ParseObjTrailer(bytes, read_back);
}

bool ParseObjTrailer(std::string_view bytes, TarnReadBack& read_back) {
  if (bytes.size() < static_cast<std::size_t>(kObjTrailerBytes)) return false;
  std::size_t offset = bytes.size() - kObjTrailerBytes;
  for (auto& word : read_back.IdWords) {
    word = WordAt(bytes, offset);
    offset += 2;
  }
  for (auto& word : read_back.ConfigWords) {
    word = WordAt(bytes, offset);
    offset += 2;
  }
  return true;
}

bool ParseTarnSym(std::string_view text, TarnReadBack& read_back) {
  read_back.Symbols.clear();
  read_back.Watches.clear();
  read_back.BreakInfo = {};
  read_back.ResetInfo = {};
  std::vector<std::string> lines = TextLines(text);
  // Line 1 is the title; line 2 "<count> symbols"; then an empty line and the column heading.
  if (lines.size() < 2) return false;
  std::size_t blank = lines[1].find(' ');
  std::int32_t count = 0;
  if (blank == std::string::npos ||
      !ParseDecimal(std::string_view(lines[1]).substr(0, blank), count) || count < 0) {
    return false;
  }
  constexpr std::size_t kFirstSymbolLine = 4;
  if (lines.size() < kFirstSymbolLine + static_cast<std::size_t>(count)) return false;
  read_back.Symbols.reserve(static_cast<std::size_t>(count));
  std::vector<std::string> fields;
  for (std::int32_t i = 0; i < count; ++i) {
    if (!ReadSymbolLine(lines[kFirstSymbolLine + static_cast<std::size_t>(i)], fields, read_back)) {
      return false;
    }
  }
  read_back.Symbols.shrink_to_fit();
  read_back.Watches.shrink_to_fit();
  return true;
}

MapDeviceSize DeviceSizeOf(const TarnReadBack& read_back) {
  std::int16_t device = read_back.MapHeader[2];
  if (device < 3) return MapDeviceSize::k2K;
  if (device <= 4) return MapDeviceSize::k4K;
  return MapDeviceSize::kUnknown;
}

std::int32_t ParseHex(std::string_view text) {
  std::uint32_t value = 0;
  for (char c : text) {
    const int digit = platform::HexDigitValue(c);
    if (digit < 0) return -1;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return static_cast<std::int32_t>(value);
}

void SplitTokens(std::string_view line, std::vector<std::string>& list, int start) {
  if (start <= 0) {
    list.clear();
    start = 0;
  }
  auto position = static_cast<std::size_t>(start);
  auto store = [&](std::string_view field) {
    if (position < list.size())
      list[position] = std::string(field);
    else
      list.emplace_back(field);
    ++position;
  };
  std::size_t begin = 0;
  for (std::size_t i = 0; i < line.size();) {
    if (!IsBlank(line[i])) {
      ++i;
      continue;
    }
    store(line.substr(begin, i - begin));
    while (i < line.size() && IsBlank(line[i])) ++i;
    begin = i;
  }
  store(line.substr(begin));
}

std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

int ListingLineOf(const std::vector<std::string>& listing, int number) {
  bool restarted = false;
  std::size_t i = static_cast<std::size_t>(std::max(number - 1, 0));
  while (i < listing.size()) {
    const std::string& line = listing[i++];
    std::string_view column = std::string_view(line).substr(0, kListingNumberColumns);
    while (!column.empty() && static_cast<unsigned char>(column.front()) <= ' ') {
      column.remove_prefix(1);
    }
    if (column.empty() || column.front() == '*') continue;
    if (line.starts_with("Cross ")) break;
    std::int32_t found = 0;
    if (!ParseDecimal(column, found)) continue;
    if (found == number) return static_cast<int>(i);
    if (found > number && !restarted) {
      // Page headers and continuation lines only push a line down, so the search starts at
      // its number; include files number their own lines, so a larger number sends the
      // search back to the top, once.
      restarted = true;
      i = 0;
    }
  }
  return -1;
}

}  // namespace build_debug
