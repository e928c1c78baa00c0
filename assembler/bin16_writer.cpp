// BIN16: the program words as 16-bit little-endian numbers; in the IDE's mode followed by the
// 48-byte trailer (16 ID words, then the 8 configuration words) that the IDE reads from the
// end of the file.

#include "assembler/object_writers.h"
#include "assembler/output_file.h"
#include "assembler/run.h"

namespace tarn {
namespace {

void PutWord(OutputFile& file, uint16_t word) {
  file.Put(static_cast<char>(word & 0xFF));
  file.Put(static_cast<char>(word >> 8));
}

}  // namespace

int WriteBin16(TarnRun& run) {
  std::vector<uint16_t>& words = run.image.words;
  for (uint16_t& word : words) word &= 0x0FFF;
  // The mask has cut the configuration words (0xFFFF marks) down to 12 bits.
  if (run.options.kestrian) BuildConfigurationBlock(run);

  OutputFile file;
  if (!file.Create(run.files, run.OutputName(".obj"))) {
    Print(run, "\nCannot create object file");
    return -1;
  }
  for (unsigned a = 0; a < run.device.program_size; ++a) PutWord(file, words[a]);
  if (run.options.kestrian) {
    for (int i = 0; i < kIdWordCount; ++i) PutWord(file, words[kIdWordsAddress + i]);
    for (int i = 0; i < kConfigurationWords; ++i) PutWord(file, words[kConfigurationAddress + i]);
  }
  // A full disk must not pass for a written object.
  if (!file.Close()) {
    Print(run, "\nCannot create object file");
    return -1;
  }
  return 0;
}

}  // namespace tarn
