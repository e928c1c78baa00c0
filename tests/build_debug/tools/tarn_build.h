#pragma once
// Builds a source with tarn in this process, with any options (the IDE's bridge passes only
// its own), and takes the map and object into an ObjectImage through the bridge's readers:
// the program words, in use unless they hold 0x0FFF, the ID words, FUSE and FUSEX.

#include <sstream>
#include <string>
#include <vector>

#include "assembler/driver.h"
#include "build_debug/image/object_image.h"
#include "build_debug/tools/tarn_output.h"
#include "tarn_harness.h"

namespace build_debug {

class TarnBuild {
 public:
  // Writes the source as prog.src and assembles it in the IDE's mode with the options given
  // (for example {"/P", "QV28AC", "/F", "BIN16"}); true when tarn ended without an error
  // (exit code 0, or 2 for warnings only).
  bool Assemble(const std::string& source, const std::vector<std::string>& options) {
    WriteBytes(Output(".src"), source);
    std::vector<std::string> args = {"tarn", "/E", "KESTRIAN"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(Output(".src"));
    console_.str("");
    int code = tarn::RunTarn(args, console_);
    return code == 0 || code == 2;
  }

  // The console and the error file, for a failure message.
  std::string Report() const { return console_.str() + ReadBytes(Output(".err")); }

  std::string Output(const char* extension) const { return folder_.Path() + "prog" + extension; }

  // prog.map and prog.obj into the image's WorkingImage; false when either cannot be read.
  bool LoadObject(ObjectImage& image) const {
    TarnReadBack read;
    if (!ParseTarnMap(ReadBytes(Output(".map")), read) ||
        !ParseTarnObj(ReadBytes(Output(".obj")), read) ||
        DeviceSizeOf(read) == MapDeviceSize::kUnknown) {
      return false;
    }
    image.Device4K = DeviceSizeOf(read) == MapDeviceSize::k4K;
    ResetWordArray(image.WorkingImage, image.Device4K != 0);
    for (int i = 0; i < kProgramWords; ++i) {
      std::uint16_t word = read.ProgramWords[i] & kInstructionBits;
      image.WorkingImage[i] = word == kEmptyWord ? word : UsedWord(word);
    }
    for (int i = 0; i < kIdWordCount; ++i) {
      image.WorkingImage[kIdWordsIndex + i] = read.IdWords[i] & kInstructionBits;
    }
    image.WorkingImage[kFuseIndex] = read.ConfigWords[kConfigFuse] & kInstructionBits;
    image.WorkingImage[kFusexIndex] = read.ConfigWords[kConfigFusex] & kInstructionBits;
    return true;
  }

 private:
  workbench::TempFolder folder_{"tarn bridge"};
  std::ostringstream console_;
};

}  // namespace build_debug
