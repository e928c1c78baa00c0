#include "services/program_runner.h"

#include <string.h>

#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "services/globals.h"

namespace workbench {
namespace {

std::string NameWithoutFolder(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::uint8_t ProgramRunner::RunProgram(const std::string& program, const std::string& params,
                                       std::uint32_t& exit_code, std::uint8_t mode,
                                       std::string* output) const {
  if (mode == kRunStartOnly) {
    platform::ProcessLaunch launch;
    launch.program = program;
    launch.arguments = platform::SplitCommandLine(params);
    launch.working_folder = ProgramFolder(program);
    launch.wait = platform::ProcessWait::UntilStarted;
    if (processes_.Run(launch).outcome == platform::ProcessResult::Outcome::NotStarted) {
      ReportNotStarted(program);
      return kRunNotStarted;
    }
    return kRunStarted;
  }
  ProgramEnding ending = RunBounded(program, params, kDefaultRunLimit, output != nullptr);
  if (output) *output = std::move(ending.output);
  if (ending.result == kRunStarted) exit_code = ending.exit_code;
  return ending.result;
}

ProgramEnding ProgramRunner::RunBounded(const std::string& program, const std::string& params,
                                        std::chrono::milliseconds limit,
                                        bool capture_output) const {
  platform::ProcessLaunch launch;
  launch.program = program;
  launch.arguments = platform::SplitCommandLine(params);
  launch.working_folder = ProgramFolder(program);
  launch.capture_output = capture_output;
  launch.time_limit = limit;

  platform::ProcessResult result = processes_.Run(launch);
  ProgramEnding ending;
  ending.output = std::move(result.output);
  using Outcome = platform::ProcessResult::Outcome;
  switch (result.outcome) {
    case Outcome::NotStarted:
      ReportNotStarted(program);
      ending.result = kRunNotStarted;
      break;
    case Outcome::Started:
    case Outcome::Exited:
      ending.result = kRunStarted;
      ending.exit_code = static_cast<std::uint32_t>(result.exit_code);
      break;
    case Outcome::Signalled:
      ending.result = kRunNoExitCode;
      ending.signal = result.signal;
      break;
    case Outcome::TimedOut:
      ending.result = kRunTimedOut;
      ending.limit = limit;
      break;
    case Outcome::Cancelled: ending.result = kRunCancelled; break;
  }
  return ending;
}

void ProgramRunner::ReportNotStarted(const std::string& program) const {
  std::string name = NameWithoutFolder(program);
  boxes_.Show({"Couldn't start " + name, name + " start up ERROR", platform::BoxButtons::Ok});
}

std::string EndingText(const std::string& program_name, const ProgramEnding& ending) {
  if (ending.result == kRunNoExitCode) {
    if (ending.signal == 0) return program_name + " ended without an exit code.";
    const char* description = ::sigdescr_np(ending.signal);
    return program_name + " was ended by signal " + std::to_string(ending.signal) + " (" +
           (description ? description : "unknown signal") + ").";
  }
  if (ending.result == kRunTimedOut) {
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(ending.limit).count();
    return program_name + " did not finish within " + std::to_string(seconds) +
           (seconds == 1 ? " second" : " seconds") + " and was stopped.";
  }
  return std::string();
}

}  // namespace workbench
