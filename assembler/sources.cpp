#include "assembler/sources.h"

#include <fstream>

#include "assembler/run.h"

namespace tarn {

const std::string& CurrentFileName(const TarnRun& run) { return run.sources.current_name; }

int& CurrentLineNumber(TarnRun& run) { return run.sources.current_line; }

int& ListingLineNumber(TarnRun& run) { return run.sources.listing_line; }

void MarkSourceLine(TarnRun&, int) {}

bool OpenMainSource(TarnRun& run) {
  run.sources.current_name = run.source_name;
  run.sources.current_line = 0;
  std::ifstream in(run.source_path);
  return in.good();
}

std::vector<std::string> RegisteredFileNames(const TarnRun& run) { return {run.source_name}; }

void CloseSources(TarnRun&) {}

}  // namespace tarn
