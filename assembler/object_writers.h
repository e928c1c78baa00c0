#pragma once
// The object file in the chosen format: BIN16 (".obj"), INHX8M and INHX16 (".hex"),
// INHX8S (".hxl" and ".hxh").

namespace tarn {

struct TarnRun;

// -1 when the file cannot be written (INHX32 has no writer).
int WriteObject(TarnRun& run);

}  // namespace tarn
