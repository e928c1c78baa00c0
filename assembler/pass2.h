#pragma once
// Pass 2: reads the whole source again with every symbol known, encodes each instruction
// into the image, lists each line and reports every error it meets.

namespace tarn {

struct TarnRun;

// Runs pass 2 over the main source, which it opens itself; the caller has made the listing
// and the map when they are wanted. A source without END ends the run with error 32.
void RunPass2(TarnRun& run);

}  // namespace tarn
