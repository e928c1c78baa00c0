#include "workbench/gui/waiting_process_runner.h"

#include <QApplication>

#include "workbench/gui/cancel_window.h"

namespace gui {

WaitingProcessRunner::~WaitingProcessRunner() = default;

platform::ProcessResult WaitingProcessRunner::Run(const platform::ProcessLaunch& launch) {
  // A wait inside a wait would stack two windows over one cancel: the outer watch goes on.
  if (launch.wait != platform::ProcessWait::UntilExit || launch.watch || window_ ||
      !QApplication::instance()) {
    return processes_.Run(launch);
  }
  platform::ProcessLaunch watched = launch;
  watched.watch = this;
  const std::size_t slash = launch.program.rfind('/');
  program_ = slash == std::string::npos ? launch.program : launch.program.substr(slash + 1);
  platform::ProcessResult result = processes_.Run(watched);
  window_.reset();
  return result;
}

bool WaitingProcessRunner::KeepWaiting(std::chrono::milliseconds waited) {
  if (!window_ && waited >= kShowAfter) {
    window_ = ShowCancelWindow("Waiting for " + program_ + " to finish...", "QVKey", 0);
  }
  // Before the window shows, only painting and timers: a click meant for the IDE waits.
  QCoreApplication::processEvents(window_ ? QEventLoop::AllEvents
                                          : QEventLoop::ExcludeUserInputEvents);
  return !(window_ && window_->wasCanceled());
}

}  // namespace gui
