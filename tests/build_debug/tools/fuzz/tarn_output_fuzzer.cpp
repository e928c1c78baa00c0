// libFuzzer target over the readers of tarn's output files: the binary ".map", the BIN16
// ".obj" with its trailer, the ".sym" cross-reference, the ".err" lines and the ".lst"
// listing. The first byte of an input names the file (its value modulo 5: map, obj, sym, err,
// lst); the rest is the file. Any file is read or refused, never a crash or a read outside
// it; what a reader accepted stays inside the image's bounds.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "build_debug/tools/assemble_compile.h"
#include "build_debug/tools/basic_bridge.h"
#include "build_debug/tools/tarn_bridge.h"
#include "build_debug/tools/tarn_output.h"
#include "platform/process_runner.h"
#include "services/options.h"
#include "services/program_runner.h"
#include "tests/build_debug/image/fuzz/image_fuzz_session.h"
#include "tests/build_debug/tools/fuzz/fuzz_messages.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// No program is started: the readers alone are under test.
class NoProcesses : public platform::ProcessRunner {
 public:
  platform::ProcessResult Run(const platform::ProcessLaunch&) override { return {}; }
};

struct OutputSession : build_debug::ImageFuzzSession, build_debug::FuzzMessages {
  NoProcesses processes;
  workbench::ProgramRunner runner{processes, boxes};
  workbench::EditorOptions editor_options;
  workbench::IdeOptions ide_options;
  build_debug::TarnUnit tarn{*image, runner, strings, editor_options, ide_options};
  build_debug::QvBasicUnit basic{strings, runner, ide_options};
  build_debug::AssembleCompileUnit unit{texts, tarn, basic};
};

void ReadMap(std::string_view bytes) {
  build_debug::TarnReadBack read_back;
  if (!build_debug::ParseTarnMap(bytes, read_back)) return;
  Check(read_back.MapRecords.size() * build_debug::kMapRecordBytes <= bytes.size());
  static_cast<void>(build_debug::DeviceSizeOf(read_back));
}

// The map header's word 3 (the last program word) comes first, as two bytes.
void ReadObj(std::string_view bytes) {
  build_debug::TarnReadBack read_back;
  if (bytes.size() < 2) return;
  read_back.MapHeader[3] = static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[0]) |
                                                     static_cast<std::uint8_t>(bytes[1]) << 8);
  bytes.remove_prefix(2);
  static_cast<void>(build_debug::ParseTarnObj(bytes, read_back));
  static_cast<void>(build_debug::ParseObjTrailer(bytes, read_back));
}

void ReadSym(std::string_view text) {
  build_debug::TarnReadBack read_back;
  if (!build_debug::ParseTarnSym(text, read_back)) return;
  Check(read_back.Symbols.size() <= text.size());
}

void ReadErr(OutputSession& session, std::string_view text) {
  const std::vector<std::string> lines = build_debug::TextLines(text);
  const int index = session.unit.FindErrorLine(lines);
  Check(index >= -1 && index < static_cast<int>(lines.size()));
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    Check(session.unit.ErrorLineNumber(i, lines) >= -1);
    Check(session.unit.ErrorLineFile(i, lines).size() <= lines[static_cast<std::size_t>(i)].size());
  }
}

void ReadLst(std::string_view text) {
  const std::vector<std::string> listing = build_debug::TextLines(text);
  std::vector<std::string> fields;
  for (const std::string& line : listing) {
    build_debug::SplitTokens(line, fields, 0);
    if (!fields.empty()) static_cast<void>(build_debug::ParseHex(fields.front()));
  }
  for (int number : {-1, 0, 1, 2, 10, 100, 65535}) {
    const int found = build_debug::ListingLineOf(listing, number);
    Check(found == -1 || (found >= 1 && found <= static_cast<int>(listing.size())));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One session for every input, as in the IDE; libFuzzer's entry point leaves no other place.
  static OutputSession session;
  if (size == 0) return 0;
  const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 5) {
    case 0: ReadMap(file); break;
    case 1: ReadObj(file); break;
    case 2: ReadSym(file); break;
    case 3: ReadErr(session, file); break;
    default: ReadLst(file); break;
  }
  return 0;
}
