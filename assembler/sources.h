#pragma once
// Source files: the include levels, the registry of every file read, and the line reader that
// delivers lines from macro expansions, REPT replays and files, in that order.
//
// Invariants: at most kIncludeLevelLimit levels are open, the main source at index 0; the
// registry holds at most kRegistryLimit files, numbered in the order of first opening, and a
// file's line table has (line count + 10) entries; a delivered line holds at most kLineLimit
// characters, its line feed included.

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/macros.h"

namespace tarn {

struct TarnRun;

inline constexpr size_t kIncludeLevelLimit = 10;
inline constexpr size_t kRegistryLimit = 11;  // the main source included
inline constexpr size_t kLineLimit = 511;

struct SourceFileEntry {
  std::string name;    // as the source (or the command line) gave it
  std::string path;    // the file that was opened
  std::string text;    // its bytes, read once for both passes
  bool plain = false;  // no CR, 0x1A or NUL: every line is read as it stands
  int line_count = 0;
  std::vector<int32_t> line_data;  // per-line words for the listing writer, by file line
  int number = 0;                  // 0 for the main source
};

struct IncludeLevel {
  std::string name;     // as given
  size_t position = 0;  // the next byte of the file's text to read
  int line = 0;         // the file line of messages
  int file_number = 0;
  bool ended = false;  // a byte 0x1A ends a file as it did in text mode
};

struct SourceState {
  std::vector<IncludeLevel> levels;
  // By number. A file's bytes never move once registered: the lexer reads its lines in place.
  std::deque<SourceFileEntry> files;
  std::map<std::string, int> file_numbers;  // names compared exactly
  // Lines read from files in this pass. Counts and line numbers shown as text are full width;
  // only the binary map's records keep 16 bits, as its format fixes them.
  int total_lines = 0;
  // Every line delivered, from any source: the "Line" of messages and the listing's numbers.
  int listing_line = 0;
  int lines_read_pass1 = 0;  // saved at the end of pass 1, for the summary
  bool end_of_source = false;
  // The current line is a stored line of a REPT block read from the files, delivered again.
  bool replayed = false;
  // The last label defined on a line of a file: local labels (":name") are joined to it, and a
  // macro expansion extends it for its own local labels.
  std::string last_global_label;
  // The line being delivered when it is not a file's line as it stands (an expansion's, a
  // replayed one, one that text mode changes); the lexer reads it in place until the next line.
  std::string line_buffer;
  // The file that lines came from last, for messages once every level is closed.
  std::string current_name;
  int current_line = 0;
  int current_file = 0;
};

const std::string& CurrentFileName(const TarnRun& run);
int& CurrentLineNumber(TarnRun& run);
int& ListingLineNumber(TarnRun& run);
// The registry number of the file that lines come from.
int CurrentFileNumber(const TarnRun& run);
// 0 in the main source, 1 in a file it includes, ...
int IncludeDepth(const TarnRun& run);

// Records a message code on the current line of the current file, for the listing:
// code * 256 + 2, or + 1 inside a macro expansion.
void MarkSourceLine(TarnRun& run, int code);
// Stores a word for the listing writer at the current line of the current file.
void SetLineEntry(TarnRun& run, int32_t value);

// Start of a pass: resets the per-pass counters, expansions and REPT blocks, opens
// run.source_path as level 0 and registers it as run.source_name. False when it cannot be opened.
bool OpenMainSource(TarnRun& run);
// Delivers the next line to the lexer and clears the expression stack. 0, or -1 at the end of
// the main source.
int ReadLine(TarnRun& run);
// INCLUDE: opens `name` (relative to the source's folder) as the next level. -1 after error
// 67 or 21; a file that cannot be opened ends the run. An INCLUDE line that a REPT block
// replays opens nothing: the block stored the file's lines when it first ran.
int IncludeFile(TarnRun& run, std::string_view name);
// Enters a file into the registry (once per name) with its bytes; its number.
int RegisterSource(TarnRun& run, const std::string& name, const std::string& path,
                   std::string text);
// The registered files' names as given, by file number.
std::vector<std::string> RegisteredFileNames(const TarnRun& run);
// Closes every include level.
void CloseSources(TarnRun& run);

// Where an INCLUDE name is looked for: "\" separates folders, relative names are taken from
// the source's folder, and a name that does not exist as written is matched component by
// component without regard to case.
std::string ResolveIncludeName(TarnRun& run, std::string_view name);

}  // namespace tarn
