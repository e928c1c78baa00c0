// libFuzzer target: one in-process run of `tarn` with the input as its source.
//
// The run's options come from a hash of the input, so a seed source is tried in several
// syntax modes, object formats and listing modes, and every input always gets the same ones.
// The run's files are kept in memory, the input as "/fuzz/input.asm", so that no input waits
// on the disk; its limits are lowered so that an input that multiplies lines (nested REPT
// blocks, macros that call themselves) ends well inside the fuzzer's time-out.

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "assembler/driver.h"
#include "assembler/file_access.h"
#include "assembler/run.h"

namespace {

uint32_t Hash(const uint8_t* data, size_t size) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 16777619u;
  return h;
}

std::vector<std::string> Arguments(const std::string& folder, const std::string& source,
                                   uint32_t h) {
  static constexpr const char* kModes[] = {"KESTRIAN", "MCHIP", "ALL", "DEBUGGER", "QV"};
  static constexpr const char* kFormats[] = {"INHX8M", "BIN16",   "INHX16",
                                             "INHX8S", "IEEE695", "INHX32"};
  static constexpr const char* kListings[] = {"NOPAGE", "PAGE", "NONE"};
  std::vector<std::string> args = {folder + "/tarn",       "/C", kModes[h % 5],          "/F",
                                   kFormats[(h >> 3) % 6], "/L", kListings[(h >> 6) % 3]};
  if ((h >> 8) & 1) {
    args.insert(args.end(), {"/E", "KESTRIAN", "/O", "USE_OUTPUT_DIR"});
  }
  if ((h >> 9) & 1) args.insert(args.end(), {"/W", "0"});
  args.push_back(source);
  return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string folder = "/fuzz";
  const std::string source = folder + "/input.asm";
  tarn::MemoryFileAccess files;
  files.AddFile(source, std::string(reinterpret_cast<const char*>(data), size));
  std::ostream console(nullptr);  // the console text is not looked at
  tarn::TarnRun run(console, files);
  run.limits.pass_lines = 10000;
  run.limits.shown_messages = 400;
  run.limits.shown_errors = 100;
  tarn::RunTarn(run, Arguments(folder, source, Hash(data, size)));
  return 0;
}
