#include "assembler/listing.h"

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/text.h"
#include "assembler/version.h"

namespace tarn {
namespace {

constexpr size_t kExpandedLineLimit = 512;
constexpr size_t kMapHeaderSize = 32;
constexpr size_t kMapSlotSize = 64;
constexpr size_t kMapRecordsStart = 2048;
constexpr size_t kMapInitialSize = 2560;
constexpr const char* kColumnHeading = "Line    PC    Opcode    Source";
constexpr const char* kSymbolHeading = "Symbol                            Type   Value      Line";

void SetWord(std::string& bytes, size_t at, unsigned value) {
  bytes[at] = static_cast<char>(value & 0xFF);
  bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

void PutWord(std::string& bytes, unsigned value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>((value >> 8) & 0xFF);
}

bool Paging(const TarnRun& run) {
  return run.options.listing_mode == kListPage && run.listing.page_length > 0;
}

// One physical line; `text` holds no line feed.
void Emit(TarnRun& run, std::string_view text) {
  ListingState& l = run.listing;
  std::string& out = l.file.Buffer();
  out.append(text);
  out += '\n';
  l.file.Wrote();
  ++l.line;
}

void WritePageHeader(TarnRun& run) {
  ListingState& l = run.listing;
  ++l.page;
  if (l.page > 1) Emit(run, "\f");
  std::string header = "Page ";
  AppendDecimal(header, l.page, 2);
  header += ' ';
  header += l.title;
  Emit(run, header);
  l.line_on_page = 2;
  for (const std::string* sub : {&l.subtitle, &l.subtitle2}) {
    if (!sub->empty()) {
      Emit(run, *sub);
      ++l.line_on_page;
    }
  }
  Emit(run, "");
  if (!l.heading.empty()) Emit(run, l.heading);
}

// Counts the coming line, writing a page header first when it starts a page. The header
// restarts the page count at its own value, which then stands for the coming line too.
void BeginLine(TarnRun& run) {
  ListingState& l = run.listing;
  bool first = l.line == 0;
  ++l.line_on_page;
  if (first || (Paging(run) && l.line_on_page >= l.page_length)) WritePageHeader(run);
}

// "%6d  ": the number every listed source line begins with, in one append.
void AppendLineNumber(std::string& out, int number) {
  if (number < 0) {
    AppendDecimal(out, number, 6);
    out += "  ";
    return;
  }
  char text[16];
  std::memset(text, ' ', sizeof text);
  char* p = text + sizeof text - 2;
  unsigned v = static_cast<unsigned>(number);
  do {
    *--p = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  size_t n = std::max<size_t>(static_cast<size_t>(text + sizeof text - p), 8);
  out.append(text + sizeof text - n, n);
}

// Starts a listing line: the page header when one is due, then "%6d  " unless number is 0.
// The caller appends the text and ends the line with EndLine.
std::string& StartLine(TarnRun& run, int number) {
  BeginLine(run);
  std::string& out = run.listing.file.Buffer();
  if (number != 0) AppendLineNumber(out, number);
  return out;
}

int EndLine(TarnRun& run) {
  ListingState& l = run.listing;
  l.file.Buffer() += '\n';
  l.file.Wrote();
  return ++l.line;
}

bool IsSpecialInListing(char c) { return c == '\t' || c == '\x1F' || c == '\n' || c == '\r'; }

constexpr std::array<bool, 256> MakeSpecialTable() {
  std::array<bool, 256> table{};
  for (unsigned char c : {'\t', '\x1F', '\n', '\r'}) table[c] = true;
  return table;
}
constexpr std::array<bool, 256> kSpecialInListing = MakeSpecialTable();

// Tabs to the next multiple of the tab width; the macro parameter mark shows as "`"; line
// ends are dropped. Most lines hold none of these but their final line feed: they are
// listed as they stand, without a copy.
std::string_view ExpandSource(TarnRun& run, std::string_view source) {
  size_t first = 0;
  while (first < source.size() && !kSpecialInListing[static_cast<unsigned char>(source[first])])
    ++first;
  if (first + 1 >= source.size() && (first == source.size() || source[first] == '\n') &&
      first <= kExpandedLineLimit) {
    return source.substr(0, first);
  }
  std::string& out = run.listing.expanded;
  out.clear();
  size_t width = run.options.tab_width > 0 ? static_cast<size_t>(run.options.tab_width) : 8;
  size_t i = 0;
  while (i < source.size()) {
    // Runs of ordinary characters are copied whole.
    size_t run_end = i;
    while (run_end < source.size() && !IsSpecialInListing(source[run_end])) ++run_end;
    out.append(source.substr(i, run_end - i));
    if (run_end == source.size()) break;
    char c = source[run_end];
    if (c == '\t') {
      out.append(width - out.size() % width, ' ');
    } else if (c == '\x1F') {
      out += '`';
    }
    i = run_end + 1;
  }
  if (out.size() > kExpandedLineLimit) {
    out.resize(kExpandedLineLimit);
    MarkMessage(run, kWarning, kMsgListingLineTruncated);
  }
  return out;
}

void WriteMapRecord(TarnRun& run, int address, const ListedLine& line, int listing_line) {
  ListingState& l = run.listing;
  if (!l.map_open) return;
  // The record's fields are 16 bits wide: larger line numbers keep their low bits.
  PutWord(l.map, static_cast<unsigned>(address));
  PutWord(l.map, static_cast<unsigned>(line.file_line));
  PutWord(l.map, static_cast<unsigned>(listing_line));
  PutWord(l.map, static_cast<unsigned>(line.file_index));
}

// "%04X  %04X   %c  ": the head of code, fuse and reset-vector lines.
void AppendWordsHead(std::string& out, unsigned address, unsigned word, char marker) {
  if (address > 0xFFFF || word > 0xFFFF) {
    AppendHex(out, address, 4);
    out += "  ";
    AppendHex(out, word, 4);
    out += "   ";
    out += marker;
    out += "  ";
    return;
  }
  char head[16];
  PutHexBefore(head + 4, address, 4);
  std::memcpy(head + 4, "  ", 2);
  PutHexBefore(head + 10, word, 4);
  std::memcpy(head + 10, "   ", 3);
  head[13] = marker;
  std::memcpy(head + 14, "  ", 2);
  out.append(head, sizeof head);
}

void ListCode(TarnRun& run, const ListedLine& line, std::string_view source) {
  const std::vector<uint16_t>& w = line.words;
  unsigned first = w.empty() ? static_cast<unsigned>(run.options.fill_word) : w[0];
  std::string& out = StartLine(run, line.number);
  AppendWordsHead(out, static_cast<unsigned>(line.address & 0xFFFF), first, line.marker);
  out += source;
  int at = EndLine(run);
  WriteMapRecord(run, line.address, line, at);
  for (size_t i = 1; i < w.size(); i += 4) {
    int address = line.address + static_cast<int>(i);
    std::string& more = StartLine(run, 0);
    more += "        ";
    AppendHex(more, static_cast<uint32_t>(address & 0xFFFF), 4);
    more += ' ';
    for (size_t j = i; j < w.size() && j < i + 4; ++j) {
      more += ' ';
      AppendHex(more, w[j], 4);
    }
    at = EndLine(run);
    WriteMapRecord(run, address, line, at);
  }
}

// Lines of macro expansions and include files are hidden by LIST settings.
bool Hidden(TarnRun& run, const ListedLine& line) {
  ListingState& l = run.listing;
  bool from_elsewhere = line.marker != kMarkerNone;
  if (l.list_state == -1) {
    l.list_state = 0;
    return from_elsewhere;
  }
  return l.list_state == 1 && line.line_class != kLinePlainNoMarker && from_elsewhere;
}

// The cross-reference, one line per symbol in name order, each handed to `put` without its
// line feed. Formatted for the listing and again for the ".sym" file, into a line reused from
// symbol to symbol: a section of tens of thousands of symbols is never held whole, which
// would cost more in fresh memory than the formatting does.
template <typename Put>
void EachCrossReferenceLine(TarnRun& run, Put&& put) {
  std::string& line = run.listing.symbol_line;
  run.symbols.Walk([&](const SymbolNode& s) {
    line.clear();
    AppendSymbolLine(line, {s.name, s.kind, static_cast<uint32_t>(s.value), s.bit, s.line},
                     run.options.kestrian);
    put(line);
  });
}

// Writes out the map: the records follow the header area, which the name slots fill last.
bool CloseMap(TarnRun& run) {
  ListingState& l = run.listing;
  if (!l.map_open) return true;
  l.map_open = false;
  l.map_file.Put(l.map);
  l.map.clear();
  return l.map_file.Close();
}

}  // namespace

int CreateListing(TarnRun& run) {
  ListingState& l = run.listing;
  if (!l.file.Create(run.files, run.OutputName(".lst"))) {
    Print(run, "\nCannot create program listing file");
    l.on = false;
    run.options.listing_mode = kListNone;
    return -1;
  }
  std::time_t now = std::time(nullptr);
  char when[32];
  ctime_r(&now, when);
  l.title = "TARN Cross-Assembler ";
  l.title += kVersionText;
  l.title += "  ";
  l.title.append(when, 24);
  l.heading = kColumnHeading;
  l.line = 0;
  l.line_on_page = 0;
  l.page = 0;
  l.on = true;
  return 0;
}

int CreateMapFile(TarnRun& run) {
  ListingState& l = run.listing;
  if (!l.map_file.Create(run.files, run.OutputName(".map"))) {
    Print(run, "\nCannot create map file");
    l.on = false;
    run.options.listing_mode = kListNone;
    return -1;
  }
  l.map_open = true;
  l.map.assign(kMapInitialSize, '\0');
  // Made before pass 2 starts again: the device state is still what pass 1 left.
  SetWord(l.map, 0, 0xAAFF);
  SetWord(l.map, 2, 0x0100);
  SetWord(l.map, 4, static_cast<unsigned>(run.device.index));
  SetWord(l.map, 6, run.device.program_size - 1);
  SetWord(l.map, 8, run.device.highest_address);
  SetWord(l.map, 10, 0xFFFF);
  l.map.resize(kMapRecordsStart);
  return 0;
}

void WriteMapFileName(TarnRun& run, int index, const std::string& name) {
  ListingState& l = run.listing;
  size_t slot = kMapHeaderSize + kMapSlotSize * static_cast<size_t>(index);
  // The last slot that fits ends where the line records begin.
  if (!l.map_open || index < 0 || slot + kMapSlotSize > kMapRecordsStart) return;
  std::string shown =
      run.options.full_map_names ? name : std::filesystem::path(name).filename().string();
  if (shown.size() > kMapSlotSize - 1) shown.resize(kMapSlotSize - 1);
  l.map.replace(slot, kMapSlotSize, shown);
  l.map.insert(slot + shown.size(), kMapSlotSize - shown.size(), '\0');
}

void CloseListing(TarnRun& run) {
  ListingState& l = run.listing;
  // A file with fewer records than the zero area still has all of it.
  if (l.map_open && l.map.size() < kMapInitialSize) l.map.resize(kMapInitialSize, '\0');
  static_cast<void>(l.file.Close());
  static_cast<void>(CloseMap(run));
  l.deferred.clear();
}

void SetPageLength(TarnRun& run, int length) {
  if (length == 0 || length >= 6) run.listing.page_length = length;
}

int ListText(TarnRun& run, int number, std::string_view text) {
  ListingState& l = run.listing;
  if (!l.file.IsOpen()) return l.line;
  std::string& out = StartLine(run, number);
  out.append(text.substr(0, text.find('\n')));
  return EndLine(run);
}

int ListPlain(TarnRun& run, std::string_view text) { return ListText(run, 0, text); }

void DeferLine(TarnRun& run, int number, const std::string& text) {
  run.listing.deferred.emplace(number, text);  // after every text of a number not above it
}

void FlushDeferred(TarnRun& run, int number) {
  auto& deferred = run.listing.deferred;
  if (deferred.empty()) return;
  auto end = deferred.upper_bound(number);
  for (auto it = deferred.begin(); it != end; ++it) ListPlain(run, it->second);
  deferred.erase(deferred.begin(), end);
}

void ListSourceLine(TarnRun& run, const ListedLine& line) {
  if (!run.listing.file.IsOpen()) return;
  if (line.line_class >= kLineNotListed || Hidden(run, line)) {
    FlushDeferred(run, line.number);
    return;
  }
  std::string_view source = ExpandSource(run, line.source);
  switch (line.line_class) {
    case kLineValue: {
      // "=%08lX%c%c  %c  ": the value, "." and the bit number or two blanks, the marker.
      char head[16];
      head[0] = '=';
      PutHexBefore(head + 9, line.value, 8);
      if (line.bit_part != 0) {
        head[9] = '.';
        head[10] = static_cast<char>('0' + (line.bit_part & 7));
      } else {
        head[9] = head[10] = ' ';
      }
      std::memcpy(head + 11, "  ", 2);
      head[13] = line.marker;
      std::memcpy(head + 14, "  ", 2);
      std::string& out = StartLine(run, line.number);
      out.append(head, sizeof head);
      out += source;
      EndLine(run);
      break;
    }
    case kLineCode: ListCode(run, line, source); break;
    case kLineFuses:
    case kLineResetVector: {
      unsigned first = line.words.size() > 0 ? line.words[0] : 0;
      unsigned second = line.words.size() > 1 ? line.words[1] : 0;
      std::string& out = StartLine(run, line.number);
      AppendWordsHead(out, first, second, line.marker);
      out += source;
      EndLine(run);
      break;
    }
    case kLinePageEject: WritePageHeader(run); [[fallthrough]];
    case kLinePlain:
    case kLineBlankLines:
    case kLinePlainNoMarker: {
      // 13 blanks, the marker and two blanks.
      char head[16];
      std::memset(head, ' ', sizeof head);
      head[13] = line.line_class == kLinePlainNoMarker ? ' ' : line.marker;
      std::string& out = StartLine(run, line.number);
      out.append(head, sizeof head);
      out += source;
      EndLine(run);
      if (line.line_class == kLineBlankLines) {
        // Blank lines repeated by macros or REPT are held to the same budget as lines read.
        run.listing.blank_lines += line.blank_lines;
        if (run.listing.blank_lines > run.limits.pass_lines)
          StopAtLimit(run, "Assembly stopped after " + std::to_string(run.limits.pass_lines) +
                               " blank listing lines");
        for (int i = 0; i < line.blank_lines; ++i) ListPlain(run, "");
      }
      break;
    }
  }
  FlushDeferred(run, line.number);
}

void AppendSymbolLine(std::string& out, const SymbolLine& s, bool kestrian) {
  static constexpr const char* kTypes[] = {"DATA", "ADDR", "RESV", "DEFN", " VAR",
                                           "BDAT", "BVAR", "RESB", "MEMV"};
  static constexpr const char* kWatchTypes[] = {"UDEC", "SDEC", "UHEX", "SHEX",
                                                "UBIN", "SBIN", "FSTR", "ZSTR"};
  // Every field but the name and the line number has a fixed width: the line is written in
  // place, once for the listing and the ".sym" file together.
  constexpr size_t kNameWidth = 32;
  bool watch = kestrian && s.kind >= 9 && s.kind <= 16;
  // "  TYPE   VVVVVVVV.b " or, for a watch, "  TYPE   VVVVVVVV LL "
  size_t fixed_width = 2 + 4 + 3 + 8 + (watch ? 3 : 2) + 1;
  const char* type = watch                        ? kWatchTypes[s.kind - 9]
                     : s.kind >= 0 && s.kind <= 8 ? kTypes[s.kind]
                                                  : " ERR";
  size_t name_width = std::max(s.name.size(), kNameWidth);
  size_t at = out.size();
  out.resize(at + name_width + fixed_width);
  char* p = &out[at];
  std::memcpy(p, s.name.data(), s.name.size());
  std::memset(p + s.name.size(), ' ', name_width - s.name.size() + 2);
  p += name_width + 2;
  std::memcpy(p, type, 4);
  std::memcpy(p + 4, "   ", 3);
  p += 7;
  PutHexBefore(p + 8, s.value, 8);
  p += 8;
  if (watch) {
    // A watch symbol: a space, then its length as two hex digits.
    *p++ = ' ';
    PutHexBefore(p + 2, static_cast<uint32_t>(s.bit_part) & 0xFF, 2);
    p += 2;
  } else if (s.bit_part != 0) {
    *p++ = '.';
    *p++ = static_cast<char>('0' + (s.bit_part & 7));
  } else {
    *p++ = ' ';
    *p++ = ' ';
  }
  *p = ' ';
  AppendDecimal(out, s.line, 4, true);
}

ListingEnd EndListing(TarnRun& run) {
  ListingState& l = run.listing;
  bool listing = l.file.IsOpen();
  if (listing) {
    FlushDeferred(run, INT32_MAX);
    l.heading.clear();
    l.subtitle2 = "Cross Reference";
    ListPlain(run, "");
    ListPlain(run, "Cross Reference");
    std::string count;
    AppendDecimal(count, run.symbols.Count());
    count += " symbols";
    ListPlain(run, count);
    ListPlain(run, "");
    ListPlain(run, kSymbolHeading);
    l.heading = kSymbolHeading;
    if (!Paging(run)) {
      // No page header can fall inside: the lines go straight into the file.
      EachCrossReferenceLine(run, [&](const std::string& text) {
        l.file.Buffer() += text;
        l.file.Put('\n');
      });
      int count = run.symbols.Count();
      l.line += count;
      l.line_on_page += count;
    } else {
      EachCrossReferenceLine(run, [&](const std::string& text) { ListPlain(run, text); });
    }
  }
  if (l.map_open) {
    std::vector<std::string> names = RegisteredFileNames(run);
    for (size_t i = 0; i < names.size(); ++i) WriteMapFileName(run, static_cast<int>(i), names[i]);
    if (l.map.size() < kMapInitialSize) l.map.resize(kMapInitialSize, '\0');
  }
  bool listing_written = !listing || l.file.Close();
  bool map_written = CloseMap(run);
  l.deferred.clear();
  if (!listing_written) {
    Print(run, "\nCannot create program listing file");
    return ListingEnd::kListingLost;
  }
  if (!map_written) {
    Print(run, "\nCannot create map file");
    return ListingEnd::kMapLost;
  }
  return ListingEnd::kWritten;
}

int WriteSymbolFile(TarnRun& run) {
  OutputFile file;
  if (!file.Create(run.files, run.OutputName(".sym"))) {
    Print(run, "\nCannot create symbol file");
    run.listing.on = false;
    return -1;
  }
  std::string& out = file.Buffer();
  out += "Cross Reference\n";
  AppendDecimal(out, run.symbols.Count());
  out += " symbols\n\n";
  out += kSymbolHeading;
  out += '\n';
  EachCrossReferenceLine(run, [&](const std::string& text) {
    file.Buffer() += text;
    file.Put('\n');
  });
  if (!file.Close()) {
    Print(run, "\nCannot create symbol file");
    run.listing.on = false;
    return -1;
  }
  return 0;
}

}  // namespace tarn
