#include "assembler/listing.h"

#include <cstdarg>
#include <ctime>
#include <filesystem>

#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/version.h"

namespace tarn {
namespace {

constexpr int kExpandedLineLimit = 512;
constexpr long kMapHeaderSize = 32;
constexpr long kMapSlotSize = 64;
constexpr long kMapRecordsStart = 2048;
constexpr long kMapInitialSize = 2560;
constexpr const char* kColumnHeading = "Line    PC    Opcode    Source";
constexpr const char* kSymbolHeading = "Symbol                            Type   Value      Line";

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) return std::string();
  return std::string(buffer, std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1));
}

void PutWord(std::FILE* f, unsigned value) {
  std::fputc(static_cast<int>(value & 0xFF), f);
  std::fputc(static_cast<int>((value >> 8) & 0xFF), f);
}

bool Paging(const TarnRun& run) {
  return run.options.listing_mode == kListPage && run.listing.page_length > 0;
}

void Emit(TarnRun& run, const std::string& text) {
  ListingState& l = run.listing;
  std::fputs(text.c_str(), l.file);
  std::fputc('\n', l.file);
  ++l.line;
}

void WritePageHeader(TarnRun& run) {
  ListingState& l = run.listing;
  ++l.page;
  if (l.page > 1) Emit(run, "\f");
  Emit(run, Format("Page %2d %s", l.page, l.title.c_str()));
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

// Tabs to the next multiple of the tab width; the macro parameter mark shows as "`".
std::string ExpandSource(TarnRun& run, const std::string& source) {
  std::string out;
  int width = run.options.tab_width > 0 ? run.options.tab_width : 8;
  for (char c : source) {
    if (c == '\t') {
      do out += ' '; while (out.size() % static_cast<size_t>(width) != 0);
    } else if (c == '\x1F') {
      out += '`';
    } else if (c != '\n' && c != '\r') {
      out += c;
    }
  }
  if (out.size() > kExpandedLineLimit) {
    out.resize(kExpandedLineLimit);
    MarkMessage(run, kWarning, 68);
  }
  return out;
}

void WriteMapRecord(TarnRun& run, int address, const ListedLine& line, int listing_line) {
  std::FILE* map = run.listing.map;
  if (!map) return;
  PutWord(map, static_cast<unsigned>(address));
  PutWord(map, static_cast<unsigned>(line.file_line));
  PutWord(map, static_cast<unsigned>(listing_line));
  PutWord(map, static_cast<unsigned>(line.file_index));
}

void ListCode(TarnRun& run, const ListedLine& line, const std::string& source) {
  const std::vector<uint16_t>& w = line.words;
  int first = w.empty() ? run.options.fill_word : w[0];
  int at = ListText(run, line.number, Format("%04X  %04X   %c  %s", line.address & 0xFFFF, first, line.marker, source.c_str()));
  WriteMapRecord(run, line.address, line, at);
  for (size_t i = 1; i < w.size(); i += 4) {
    int address = line.address + static_cast<int>(i);
    std::string text = Format("        %04X ", address & 0xFFFF);
    for (size_t j = i; j < w.size() && j < i + 4; ++j) text += Format(" %04X", w[j]);
    at = ListPlain(run, text);
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

}  // namespace

int CreateListing(TarnRun& run) {
  ListingState& l = run.listing;
  l.file = std::fopen(run.OutputName(".lst").c_str(), "w");
  if (!l.file) {
    Print(run, "\nCannot create program listing file");
    l.on = false;
    run.options.listing_mode = kListNone;
    return -1;
  }
  std::time_t now = std::time(nullptr);
  char when[32];
  ctime_r(&now, when);
  l.title = Format("TARN Cross-Assembler %s  %24.24s", kVersionText, when);
  l.heading = kColumnHeading;
  l.line = 0;
  l.line_on_page = 0;
  l.page = 0;
  l.on = true;
  return 0;
}

int CreateMapFile(TarnRun& run) {
  ListingState& l = run.listing;
  l.map = std::fopen(run.OutputName(".map").c_str(), "wb+");
  if (!l.map) {
    Print(run, "\nCannot create map file");
    l.on = false;
    run.options.listing_mode = kListNone;
    return -1;
  }
  for (long i = 0; i < kMapInitialSize; ++i) std::fputc(0, l.map);
  std::fseek(l.map, 0, SEEK_SET);
  // Made before pass 2 starts again: the device state is still what pass 1 left.
  PutWord(l.map, 0xAAFF);
  PutWord(l.map, 0x0100);
  PutWord(l.map, static_cast<unsigned>(run.device.index));
  PutWord(l.map, run.device.program_size - 1);
  PutWord(l.map, run.device.highest_address);
  PutWord(l.map, 0xFFFF);
  std::fseek(l.map, kMapRecordsStart, SEEK_SET);
  return 0;
}

void WriteMapFileName(TarnRun& run, int index, const std::string& name) {
  std::FILE* map = run.listing.map;
  long slot = kMapHeaderSize + kMapSlotSize * index;
  // The last slot that fits ends where the line records begin.
  if (!map || index < 0 || slot + kMapSlotSize > kMapRecordsStart) return;
  std::string shown = run.options.full_map_names ? name : std::filesystem::path(name).filename().string();
  if (shown.size() > kMapSlotSize - 1) shown.resize(kMapSlotSize - 1);
  long at = std::ftell(map);
  std::fseek(map, slot, SEEK_SET);
  std::fwrite(shown.data(), 1, shown.size(), map);
  for (size_t i = shown.size(); i < kMapSlotSize; ++i) std::fputc(0, map);
  std::fseek(map, at, SEEK_SET);
}

void CloseListing(TarnRun& run) {
  ListingState& l = run.listing;
  if (l.file) std::fclose(l.file);
  if (l.map) std::fclose(l.map);
  l.file = l.map = nullptr;
  l.deferred.clear();
}

void SetPageLength(TarnRun& run, int length) {
  if (length == 0 || length >= 6) run.listing.page_length = length;
}

int ListText(TarnRun& run, int number, const std::string& text) {
  ListingState& l = run.listing;
  if (!l.file) return l.line;
  BeginLine(run);
  std::string shown = text.substr(0, text.find('\n'));
  Emit(run, number != 0 ? Format("%6d  ", number) + shown : shown);
  return l.line;
}

int ListPlain(TarnRun& run, const std::string& text) { return ListText(run, 0, text); }

void DeferLine(TarnRun& run, int number, const std::string& text) {
  run.listing.deferred.emplace(number, text);  // after every text of a number not above it
}

void FlushDeferred(TarnRun& run, int number) {
  auto& deferred = run.listing.deferred;
  auto end = deferred.upper_bound(number);
  for (auto it = deferred.begin(); it != end; ++it) ListPlain(run, it->second);
  deferred.erase(deferred.begin(), end);
}

void ListSourceLine(TarnRun& run, const ListedLine& line) {
  if (!run.listing.file) return;
  if (line.line_class >= kLineNotListed || Hidden(run, line)) {
    FlushDeferred(run, line.number);
    return;
  }
  std::string source = ExpandSource(run, line.source);
  switch (line.line_class) {
    case kLineValue: {
      char dot = line.bit_part != 0 ? '.' : ' ';
      char bit = line.bit_part != 0 ? static_cast<char>('0' + (line.bit_part & 7)) : ' ';
      ListText(run, line.number, Format("=%08X%c%c  %c  %s", line.value, dot, bit, line.marker, source.c_str()));
      break;
    }
    case kLineCode:
      ListCode(run, line, source);
      break;
    case kLineFuses:
    case kLineResetVector: {
      unsigned first = line.words.size() > 0 ? line.words[0] : 0;
      unsigned second = line.words.size() > 1 ? line.words[1] : 0;
      ListText(run, line.number, Format("%04X  %04X   %c  %s", first, second, line.marker, source.c_str()));
      break;
    }
    case kLinePageEject:
      WritePageHeader(run);
      [[fallthrough]];
    case kLinePlain:
    case kLineBlankLines:
    case kLinePlainNoMarker: {
      char marker = line.line_class == kLinePlainNoMarker ? ' ' : line.marker;
      ListText(run, line.number, Format("             %c  %s", marker, source.c_str()));
      if (line.line_class == kLineBlankLines) {
        for (int i = 0; i < line.blank_lines; ++i) ListPlain(run, "");
      }
      break;
    }
  }
  FlushDeferred(run, line.number);
}

std::string FormatSymbolLine(const SymbolLine& s, bool kestrian) {
  static const char* const kTypes[] = {"DATA", "ADDR", "RESV", "DEFN", " VAR", "BDAT", "BVAR", "RESB", "MEMV"};
  static const char* const kWatchTypes[] = {"UDEC", "SDEC", "UHEX", "SHEX", "UBIN", "SBIN", "FSTR", "ZSTR"};
  if (kestrian && s.kind >= 9 && s.kind <= 16) {
    return Format("%-32s  %4s   %08X%c%02X %04d", s.name.c_str(), kWatchTypes[s.kind - 9], s.value, ' ',
                  static_cast<unsigned>(s.bit_part) & 0xFF, s.line);
  }
  const char* type = s.kind >= 0 && s.kind <= 8 ? kTypes[s.kind] : " ERR";
  char dot = s.bit_part != 0 ? '.' : ' ';
  char bit = s.bit_part != 0 ? static_cast<char>('0' + (s.bit_part & 7)) : ' ';
  return Format("%-32s  %4s   %08X%c%c %04d", s.name.c_str(), type, s.value, dot, bit, s.line);
}

namespace {

std::vector<std::string> SymbolLines(const TarnRun& run) {
  std::vector<std::string> lines;
  run.symbols.Walk([&](const SymbolNode& s) {
    lines.push_back(FormatSymbolLine({s.name, s.kind, static_cast<uint32_t>(s.value), s.bit, s.line},
                                     run.options.kestrian));
  });
  return lines;
}

}  // namespace

void EndListing(TarnRun& run) {
  ListingState& l = run.listing;
  if (l.file) {
    FlushDeferred(run, INT32_MAX);
    l.heading.clear();
    l.subtitle2 = "Cross Reference";
    ListPlain(run, "");
    ListPlain(run, "Cross Reference");
    ListPlain(run, Format("%d symbols", run.symbols.Count()));
    ListPlain(run, "");
    ListPlain(run, kSymbolHeading);
    l.heading = kSymbolHeading;
    for (const std::string& s : SymbolLines(run)) ListPlain(run, s);
  }
  if (l.map) {
    std::vector<std::string> names = RegisteredFileNames(run);
    for (size_t i = 0; i < names.size(); ++i) WriteMapFileName(run, static_cast<int>(i), names[i]);
  }
  CloseListing(run);
}

int WriteSymbolFile(TarnRun& run) {
  std::FILE* f = std::fopen(run.OutputName(".sym").c_str(), "w");
  if (!f) {
    Print(run, "\nCannot create symbol file");
    run.listing.on = false;
    return -1;
  }
  std::fprintf(f, "Cross Reference\n%d symbols\n\n%s", run.symbols.Count(), kSymbolHeading);
  for (const std::string& s : SymbolLines(run)) std::fprintf(f, "\n%s", s.c_str());
  std::fputc('\n', f);
  std::fclose(f);
  return 0;
}

}  // namespace tarn
