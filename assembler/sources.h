#pragma once
// Source files: the include levels, the file registry, the line reader, macros and REPT.

#include <string>
#include <vector>

#include "assembler/macros.h"

namespace tarn {

struct TarnRun;

struct SourceState {
  // The file that lines come from now, named as it was opened, and its current line number.
  std::string current_name;
  int current_line = 0;
  // Every line delivered, from any source: the "Line" of messages and the listing's numbers.
  int listing_line = 0;
  int lines_read_pass1 = 0;  // lines read from files in pass 1, for the summary
  // The last label defined on a line of a file: local labels (":name") are joined to it, and a
  // macro expansion extends it for its own local labels.
  std::string last_global_label;
};

const std::string& CurrentFileName(const TarnRun& run);
int& CurrentLineNumber(TarnRun& run);
int& ListingLineNumber(TarnRun& run);
// Records a message code on the current line of the current file, for the listing.
void MarkSourceLine(TarnRun& run, int code);
// Opens the source named by run.source_path as the first include level; false when it cannot.
bool OpenMainSource(TarnRun& run);
// The registered files' names as given, by file number.
std::vector<std::string> RegisteredFileNames(const TarnRun& run);
// Closes every include level.
void CloseSources(TarnRun& run);

}  // namespace tarn
