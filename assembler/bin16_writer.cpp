// BIN16: the program words as 16-bit little-endian numbers; in the IDE's mode followed by the
// 48-byte trailer (16 ID words, then the 8 configuration words) that the IDE reads from the
// end of the file.

#include <cstdio>

#include "assembler/object_writers.h"
#include "assembler/run.h"

namespace tarn {
namespace {

bool PutWord(std::FILE* file, uint16_t word) {
  return std::fputc(word & 0xFF, file) != EOF && std::fputc(word >> 8, file) != EOF;
}

}  // namespace

int WriteBin16(TarnRun& run) {
  std::vector<uint16_t>& words = run.image.words;
  for (uint16_t& word : words) word &= 0x0FFF;
  // The mask has cut the configuration words (0xFFFF marks) down to 12 bits.
  if (run.options.kestrian) BuildConfigurationBlock(run);

  std::FILE* file = std::fopen(run.OutputName(".obj").c_str(), "wb");
  if (!file) {
    Print(run, "\nCannot create object file");
    return -1;
  }
  bool ok = true;
  for (unsigned a = 0; a < run.device.program_size && ok; ++a) ok = PutWord(file, words[a]);
  if (run.options.kestrian) {
    for (int i = 0; i < kIdWordCount && ok; ++i) ok = PutWord(file, words[kIdWordsAddress + i]);
    for (int i = 0; i < kConfigurationWords && ok; ++i) ok = PutWord(file, words[kConfigurationAddress + i]);
  }
  // A full disk must not pass for a written object.
  if (std::fclose(file) != 0) ok = false;
  if (!ok) {
    Print(run, "\nCannot create object file");
    return -1;
  }
  return 0;
}

}  // namespace tarn
