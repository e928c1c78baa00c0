#pragma once
// The process service of the windows: while a tool is waited for, the event loop keeps
// running, and once the wait lasts longer than a moment a small window names the tool and
// offers Cancel, which ends it. The window is application modal, so no command of the IDE
// starts while a tool it waits for runs.

#include <QProgressDialog>

#include <chrono>
#include <memory>

#include "platform/process_runner.h"

namespace gui {

class WaitingProcessRunner : public platform::ProcessRunner, private platform::ProcessWatch {
 public:
  // How long a wait goes before the window shows: a tool that is quick never flashes one.
  static constexpr std::chrono::milliseconds kShowAfter{400};

  explicit WaitingProcessRunner(platform::ProcessRunner& processes) : processes_(processes) {}
  ~WaitingProcessRunner() override;

  platform::ProcessResult Run(const platform::ProcessLaunch& launch) override;

  // The window of the wait going on, or null: for tests.
  QProgressDialog* WaitWindow() const { return window_.get(); }

 private:
  bool KeepWaiting(std::chrono::milliseconds waited) override;

  platform::ProcessRunner& processes_;
  std::string program_;
  std::unique_ptr<QProgressDialog> window_;
};

}  // namespace gui
