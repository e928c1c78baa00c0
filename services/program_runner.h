#pragma once
// Starting the tools of the IDE (tarn, the BASIC compiler, the simulator) as child processes.
// The program is started from its file with Params split as a Windows command line; its
// working folder is the program's folder.

#include <chrono>
#include <cstdint>
#include <string>

namespace platform {
class MessageBoxService;
class ProcessRunner;
}  // namespace platform

namespace workbench {

enum RunResult : std::uint8_t {
  kRunStarted = 0,
  kRunNotStarted = 1,  // after the box "Couldn't start <file name>"
  kRunNoExitCode = 2,  // the child ended without an exit code (killed by a signal)
  kRunTimedOut = 3,    // the child ran past its time limit and was ended
  kRunCancelled = 4,   // the user stopped the wait, and the child was ended
};

// A tool that is waited for is ended after this long unless its caller names a bound.
inline constexpr std::chrono::milliseconds kDefaultRunLimit{120000};

// How a program that was waited for ended.
struct ProgramEnding {
  std::uint8_t result = kRunNotStarted;  // RunResult
  std::uint32_t exit_code = 0;           // kRunStarted
  int signal = 0;                        // kRunNoExitCode: the signal, 0 when not known
  std::chrono::milliseconds limit{0};    // kRunTimedOut: the bound it ran past
  std::string output;                    // what it printed, when asked for
};

// What a user reads of an ending that is no exit: "<name> was ended by signal 11
// (Segmentation fault)." or "<name> did not finish within 30 seconds and was stopped.";
// empty for an exit, a cancel and a program that did not start (its box has said so).
std::string EndingText(const std::string& program_name, const ProgramEnding& ending);

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

  // Blocks the caller (mode 0) until the child ends, at most kDefaultRunLimit. When output is
  // given, it receives what the child printed (mode 0 only).
  [[nodiscard]] std::uint8_t RunProgram(const std::string& program, const std::string& params,
                                        std::uint32_t& exit_code, std::uint8_t mode,
                                        std::string* output = nullptr) const;
  [[nodiscard]] std::uint8_t RunAndWait(const std::string& program, const std::string& params,
                                        std::uint32_t& exit_code,
                                        std::string* output = nullptr) const {
    return RunProgram(program, params, exit_code, kRunWaitForEnd, output);
  }
  // Waits for the child's end, at most `limit`, while the process service's watch keeps the
  // window responsive.
  [[nodiscard]] ProgramEnding RunBounded(const std::string& program, const std::string& params,
                                         std::chrono::milliseconds limit,
                                         bool capture_output) const;
  [[nodiscard]] std::uint8_t StartAndWaitIdle(const std::string& program, const std::string& params,
                                              std::uint32_t& exit_code) const {
    return RunProgram(program, params, exit_code, kRunStartOnly);
  }

 private:
  void ReportNotStarted(const std::string& program) const;

  platform::ProcessRunner& processes_;
  platform::MessageBoxService& boxes_;
};

}  // namespace workbench
