#pragma once
// Starting the tools of the IDE (tarn, the BASIC compiler, the simulator) as child processes.
// The program is started from its file with Params split as a Windows command line; its
// working folder is the program's folder.

#include <cstdint>
#include <string>

namespace platform {
class MessageBoxService;
class ProcessRunner;
}

namespace workbench {

enum RunResult : std::uint8_t {
  kRunStarted = 0,
  kRunNotStarted = 1,       // after the box "Couldn't start <file name>"
  kRunNoExitCode = 2,       // the child ended without an exit code (killed by a signal)
};

enum RunMode : std::uint8_t {
  kRunWaitForEnd = 0,
  kRunStartOnly = 1,  // return once the child runs; exit_code is not touched
};

// The tools are started through the session's process service; a program that cannot be
// started is reported in a box of the session's box service.
class ProgramRunner {
 public:
  ProgramRunner(platform::ProcessRunner& processes, platform::MessageBoxService& boxes)
      : processes_(processes), boxes_(boxes) {}

  // Blocks the caller (mode 0) until the child ends. When output is given, it receives what
  // the child printed (mode 0 only).
  [[nodiscard]] std::uint8_t RunProgram(const std::string& program, const std::string& params,
                                        std::uint32_t& exit_code, std::uint8_t mode,
                                        std::string* output = nullptr) const;
  [[nodiscard]] std::uint8_t RunAndWait(const std::string& program, const std::string& params,
                                        std::uint32_t& exit_code,
                                        std::string* output = nullptr) const {
    return RunProgram(program, params, exit_code, kRunWaitForEnd, output);
  }
  [[nodiscard]] std::uint8_t StartAndWaitIdle(const std::string& program,
                                              const std::string& params,
                                              std::uint32_t& exit_code) const {
    return RunProgram(program, params, exit_code, kRunStartOnly);
  }

 private:
  platform::ProcessRunner& processes_;
  platform::MessageBoxService& boxes_;
};

}  // namespace workbench
