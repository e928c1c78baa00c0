#pragma once
// The listing (".lst"), the symbol cross-reference (".sym") and the binary line map (".map").

namespace tarn {

struct TarnRun;

struct ListingState {
  int line = 0;  // the listing line number that messages quote
};

void CloseListing(TarnRun& run);
// Writes the ".sym" file; -1 when it cannot be created.
int WriteSymbolFile(TarnRun& run);

}  // namespace tarn
