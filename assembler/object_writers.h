#pragma once
// The object file in the chosen format: BIN16 (".obj"), INHX8M and INHX16 (".hex"),
// INHX8S (".hxh" and ".hxl"), IEEE-695 (".qve", ieee695_writer.h). Every number is written
// byte by byte in the order the format gives, so the files are the same on every host.

#include <cstdint>
#include <string>

namespace tarn {

struct TarnRun;

// Builds the configuration block into the image and writes the object of option /F.
// -1 when a file cannot be written; INHX32 is accepted as a format but has no writer.
int WriteObject(TarnRun& run);

// The 8 configuration words at 0x1010: FUSE, FUSEX, 0xFFFF, the device ID word, the clock
// frequency (high, then low 16 bits), the IRC_CAL mode in the IDE's mode (else 0xFFFF), and
// the BREAK address.
void BuildConfigurationBlock(TarnRun& run);

// Each writer returns 0, or -1 after its console message when its file cannot be written.
int WriteBin16(TarnRun& run);
int WriteInhx8m(TarnRun& run);
int WriteInhx16(TarnRun& run);
int WriteInhx8s(TarnRun& run);

// Writes the n lowest hex digits of value, upper case, right to left into buffer[0..n-1].
void PutHex(char* buffer, int n, unsigned value);

}  // namespace tarn
