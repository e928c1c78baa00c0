#pragma once
// Reading back what a tarn run wrote in the IDE's mode: the binary line map (".map"), the
// BIN16 object with its 48-byte trailer (".obj") and the cross-reference (".sym"). Each reader
// fills a TarnReadBack and says whether its file was whole; the bridge commits a read-back to
// the image only when all three files were, so a damaged output never looks like a build.
//
// ".map": six 16-bit header words (word 2 the device index, word 3 the last program word),
// then from byte 2048 8-byte line records up to an all-zero record or the end of the file.
// ".obj": the program words, then 16 ID words and 8 configuration words, all 16-bit
// little-endian. ".sym": "Cross Reference", "<n> symbols", an empty line, a heading, then n
// symbol lines of blank-separated fields.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "build_debug/image/object_image.h"
#include "build_debug/tools/extern_lang.h"

namespace build_debug {

// One listing line that emitted code, as the map file stores it.
struct TarnMapRecord {
  std::uint16_t Address = 0;
  std::uint16_t SourceLine = 0;  // within its file
  std::uint16_t ListingLine = 0;
  std::uint16_t FileIndex = 0;
};

constexpr int kMapHeaderWords = 6;
constexpr int kMapRecordsOffset = 2048;
constexpr int kMapRecordBytes = 8;
constexpr int kObjTrailerBytes = 48;
constexpr int kConfigWordCount = 8;

// Configuration words of the object's trailer.
enum ObjConfigWord : int {
  kConfigFuse = 0,
  kConfigFusex = 1,
  kConfigDeviceId = 3,
  kConfigClockHigh = 4,
  kConfigClockLow = 5,
  kConfigIrcCal = 6,
  kConfigBreak = 7,
};

struct TarnReadBack {
  std::array<std::int16_t, kMapHeaderWords> MapHeader{};
  std::vector<TarnMapRecord> MapRecords;
  std::array<std::uint16_t, kProgramWords> ProgramWords;  // 0x0FFF where the object has none
  std::array<std::uint16_t, kIdWordCount> IdWords{};
  std::array<std::uint16_t, kConfigWordCount> ConfigWords{};
  std::vector<T_EXTLANG_SymbolInfo> Symbols;
  std::vector<T_EXTLANG_WatchInfo> Watches;
  T_EXTLANG_SymbolInfo BreakInfo;
  T_EXTLANG_SymbolInfo ResetInfo;

  TarnReadBack() { ProgramWords.fill(kEmptyWord); }
};

// False when the header or the last line record is cut.
[[nodiscard]] bool ParseTarnMap(std::string_view bytes, TarnReadBack& read_back);
// Reads as many program words as the map's word 3 asks (at most 4,096); false when the object
// is too short to hold them and its trailer.
[[nodiscard]] bool ParseTarnObj(std::string_view bytes, TarnReadBack& read_back);
// The ID and configuration words from the last 48 bytes; false when the object is shorter.
[[nodiscard]] bool ParseObjTrailer(std::string_view bytes, TarnReadBack& read_back);
// False when a line is missing or a field that must be a number is not.
[[nodiscard]] bool ParseTarnSym(std::string_view text, TarnReadBack& read_back);

// Whether the map's device index names a 4,096-word device; nothing for an unknown index.
enum class MapDeviceSize { k2K, k4K, kUnknown };
MapDeviceSize DeviceSizeOf(const TarnReadBack& read_back);

// Hexadecimal digits (either case) as an integer that wraps at 32 bits; any other character
// gives -1; an empty text gives 0.
std::int32_t ParseHex(std::string_view text);

// Splits line at runs of blanks into list from position start on (start 0 empties the list
// first); each field replaces the entry at its position or is appended. The last field is
// always stored, even when empty.
void SplitTokens(std::string_view line, std::vector<std::string>& list, int start);

// Lines of a text that may end them with LF or CR LF; a last line without a break counts.
std::vector<std::string> TextLines(std::string_view text);

// tarn's listing gives a source line's number right-aligned in the first six columns.
constexpr std::size_t kListingNumberColumns = 6;

// The 1-based index of the listing line that shows source line number, -1 when there is none.
// Lines without a number in their first six columns (headings, page lines, continuation
// lines, comments starting with "*") are passed over; the cross-reference ends the search.
int ListingLineOf(const std::vector<std::string>& listing, int number);

}  // namespace build_debug
