// libFuzzer target over the version answers of the BASIC compiler ("/v") and the simulator
// ("--product-version"): the input is what the program printed, its first byte the exit
// code. Any answer reads as a version or as none, never a crash or an overflow, and the
// version texts the IDE shows are made from it.

#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "build_debug/tools/basic_bridge.h"
#include "build_debug/tools/simulator_bridge.h"
#include "platform/process_runner.h"
#include "platform/window_socket.h"
#include "services/options.h"
#include "services/program_runner.h"
#include "services/text_routines.h"
#include "tests/build_debug/tools/fuzz/fuzz_messages.h"

namespace {

// Every program "runs" and prints the answer that was set last.
class AnsweringProcesses : public platform::ProcessRunner {
 public:
  platform::ProcessResult Run(const platform::ProcessLaunch&) override {
    platform::ProcessResult result;
    result.outcome = platform::ProcessResult::Outcome::Exited;
    result.exit_code = exit_code;
    result.output = output;
    return result;
  }
  int exit_code = 0;
  std::string output;
};

struct VersionSession : build_debug::FuzzMessages {
  std::string folder;
  AnsweringProcesses processes;
  workbench::ProgramRunner runner{processes, boxes};
  workbench::IdeOptions options;
  platform::WindowSockets windows;
  build_debug::QvBasicUnit basic{strings, runner, options};
  build_debug::QvSimUnit simulator;

  VersionSession()
      : folder(
            (std::filesystem::temp_directory_path() / ("version_fuzz_" + std::to_string(getpid())))
                .string() +
            "/"),
        windows(folder),
        simulator(strings, runner, windows, build_debug::QvSimTimeouts{1, 1, 1, 1, 1}) {
    // The simulator is found installed at start-up, at the version the IDE carries.
    const std::string program = folder + build_debug::QvSimUnit::kFolder;
    std::filesystem::create_directories(program);
    std::ofstream(program + build_debug::QvSimUnit::kProgram) << "stand-in";
    std::ofstream(program + build_debug::QvSimUnit::kManualFile) << "stand-in";
    processes.output = "2.08.0005\n";
    simulator.QvSimInit(folder);
  }
  ~VersionSession() {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One session for every input, as in the IDE; libFuzzer's entry point leaves no other place.
  static VersionSession session;
  if (size == 0) return 0;
  session.processes.exit_code = data[0];
  session.processes.output.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
  session.boxes.Clear();

  bool debug = false;
  int version = 0;
  if (session.basic.QvBasicVersion(debug, version))
    static_cast<void>(workbench::VersionToStr(version));
  static_cast<void>(session.basic.QvBasicVersionText());
  if (session.simulator.QvSimVersion(version)) static_cast<void>(workbench::VersionToStr(version));
  static_cast<void>(session.simulator.QvSimVersionText());
  return 0;
}
