#pragma once
// The listing (".lst"), the symbol cross-reference (".sym") and the binary line map (".map").
//
// Listing line numbers: `line` counts every physical line written to the listing, page
// headers included, so the number a map record holds is the line of the ".lst" file itself.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/output_file.h"

namespace tarn {

struct TarnRun;

struct ListingState {
  OutputFile file;
  // The map is kept whole until the listing ends: its header and name slots come first in
  // the file but are known last.
  bool map_open = false;
  std::string map;
  OutputFile map_file;
  bool on = false;  // a failed creation switches the listing off for the rest of the run

  std::string title;      // the banner line
  std::string subtitle;   // TITLE
  std::string subtitle2;  // STITLE / SUBTITL
  std::string heading;    // the column heading
  int page_length = 60;   // 0: no paging
  int page = 0;
  int line_on_page = 0;
  int line = 0;         // physical lines written so far
  int blank_lines = 0;  // SPAC's blank lines written so far

  // 1 and -1 hide lines from macro expansions and include files; -1 only for the next line.
  int list_state = 0;

  // Texts waiting to be printed after the source line of their number, in order of arrival.
  std::multimap<int, std::string> deferred;

  std::string symbol_line;  // one line of the cross-reference, reused

  std::string expanded;  // the source of the line being listed, tabs expanded
};

// The marker column of a listing line.
inline constexpr char kMarkerMacro = 'm';
inline constexpr char kMarkerInclude = '+';
inline constexpr char kMarkerNone = ' ';

// Line classes of pass 2.
enum LineClass : int {
  kLineValue = 0,
  kLineCode = 1,
  kLinePlain = 2,
  kLinePlainNoMarker = 3,
  kLinePageEject = 4,
  kLineBlankLines = 5,
  kLineFuses = 6,
  kLineResetVector = 7,
  kLineNotListed = 10,
};

// What pass 2 knows of one source line when it hands it to the listing.
struct ListedLine {
  int line_class = kLinePlain;
  uint32_t value = 0;  // class 0
  int bit_part = 0;    // class 0: the bit number is bit_part & 7
  int address = 0;     // class 1: the address of the first word
  // Class 1: the statement's words. 6: FUSE and FUSEX. 7: the reset-vector address and its word.
  std::vector<uint16_t> words;
  int blank_lines = 0;  // class 5
  std::string source;   // the line as read
  char marker = kMarkerNone;
  int number = 0;      // the line reader's listing line number
  int file_line = 0;   // the line within its file, for the map
  int file_index = 0;  // the file's number in the registry, for the map
};

// Creates the listing, then the map; -1 (with the console message) when either fails.
int CreateListing(TarnRun& run);
int CreateMapFile(TarnRun& run);
// Writes out and closes listing and map, whatever happened to their writes.
void CloseListing(TarnRun& run);

void SetPageLength(TarnRun& run, int length);
// Each returns the listing's line count after the line.
int ListText(TarnRun& run, int number, std::string_view text);
int ListPlain(TarnRun& run, std::string_view text);
void DeferLine(TarnRun& run, int number, const std::string& text);
void FlushDeferred(TarnRun& run, int number);

// Lists one source line by its class and writes its map records. Pass 2 decreases the bank
// and page countdowns for code lines itself, listing or not.
void ListSourceLine(TarnRun& run, const ListedLine& line);
enum class ListingEnd { kWritten, kListingLost, kMapLost };
// After END: the deferred texts, the cross-reference section; closes listing and map. A file
// whose writes failed is removed, with its "cannot create" message on the console.
[[nodiscard]] ListingEnd EndListing(TarnRun& run);

// The ".sym" file; -1 when it cannot be created or written whole (it is then removed).
int WriteSymbolFile(TarnRun& run);

// One symbol as the cross-reference shows it.
struct SymbolLine {
  std::string_view name;
  int kind = 0;
  uint32_t value = 0;
  int bit_part = 0;
  int line = 0;
};
void AppendSymbolLine(std::string& out, const SymbolLine& symbol, bool kestrian);

// The map's file-name slot of a registered file (at most 63 bytes and a terminator).
void WriteMapFileName(TarnRun& run, int index, const std::string& name);

}  // namespace tarn
