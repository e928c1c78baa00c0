#include "assembler/object_writers.h"

#include "assembler/ieee695_writer.h"
#include "assembler/options.h"
#include "assembler/run.h"

namespace tarn {

void BuildConfigurationBlock(TarnRun& run) {
  const DeviceState& d = run.device;
  const ProgramImage& image = run.image;
  const uint16_t block[kConfigurationWords] = {
      d.fuse,
      d.fusex,
      0xFFFF,
      d.id_word,
      static_cast<uint16_t>(image.frequency >> 16),
      static_cast<uint16_t>(image.frequency & 0xFFFF),
      run.options.kestrian ? image.irc_cal : uint16_t{0xFFFF},
      image.break_address,
  };
  for (int i = 0; i < kConfigurationWords; ++i)
    run.image.words[kConfigurationAddress + i] = block[i];
}

int WriteObject(TarnRun& run) {
  BuildConfigurationBlock(run);
  switch (run.options.output_format) {
    case kBin16: return WriteBin16(run);
    case kInhx16: return WriteInhx16(run);
    case kInhx8m: return WriteInhx8m(run);
    case kInhx8s: return WriteInhx8s(run);
    case kInhx32: return -1;
    case kIeee695: return WriteIeee695(run);
    default: return -1;
  }
}

void PutHex(char* buffer, int n, unsigned value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  for (int i = n - 1; i >= 0; --i) {
    buffer[i] = kDigits[value & 0xF];
    value >>= 4;
  }
}

}  // namespace tarn
