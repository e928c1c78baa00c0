#include "workbench/program_runner.h"

#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "workbench/globals.h"

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
  platform::ProcessLaunch launch;
  launch.program = program;
  launch.arguments = platform::SplitCommandLine(params);
  launch.working_folder = ProgramFolder(program);
  launch.wait = mode == kRunStartOnly ? platform::ProcessWait::UntilStarted
                                      : platform::ProcessWait::UntilExit;
  launch.capture_output = output != nullptr;

  platform::ProcessResult result = processes_.Run(launch);
  using Outcome = platform::ProcessResult::Outcome;
  if (result.outcome == Outcome::NotStarted) {
    std::string name = NameWithoutFolder(program);
    boxes_.Show({"Couldn't start " + name, name + " start up ERROR", platform::BoxButtons::Ok});
    return kRunNotStarted;
  }
  if (output) *output = std::move(result.output);
  if (result.outcome == Outcome::Signalled) return kRunNoExitCode;
  if (result.outcome == Outcome::Exited) exit_code = static_cast<std::uint32_t>(result.exit_code);
  return kRunStarted;
}

}  // namespace workbench
