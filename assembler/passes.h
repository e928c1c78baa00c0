#pragma once
// The two passes over the source.

namespace tarn {

struct TarnRun;

// Pass 1 defines the labels and symbols and sizes every statement; it stops at the first
// statement that fails.
void RunPass1(TarnRun& run);
// Pass 2 reads the whole source again, encodes it into the image and reports every error.
void RunPass2(TarnRun& run);

}  // namespace tarn
