#pragma once
// The two passes over the source.

namespace tarn {

struct TarnRun;

// Pass 2 reads the whole source again, encodes it into the image and reports every error.
void RunPass2(TarnRun& run);

}  // namespace tarn
