// Waiting for a tool with the window alive: the event loop runs, the wait window offers
// Cancel, and a cancel ends the tool.

#include "workbench/gui/waiting_process_runner.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/services/temp_folder.h"

namespace gui {
namespace {

namespace fs = std::filesystem;

class WaitingProcessRunnerTest : public ::testing::Test {
 protected:
  platform::ProcessLaunch Sleeper() {
    std::string path = folder_.Path() + "slow tool";
    std::ofstream(path) << "#!/bin/sh\nsleep 1000\n";
    fs::permissions(path, fs::perms::owner_all);
    platform::ProcessLaunch launch;
    launch.program = path;
    launch.time_limit = std::chrono::seconds(60);
    return launch;
  }

  workbench::TempFolder folder_{"qv wait test"};
  platform::SystemProcessRunner system_;
  WaitingProcessRunner runner_{system_};
};

TEST_F(WaitingProcessRunnerTest, TheWindowStaysAliveAndCancelEndsTheTool) {
  int ticks = 0;
  QString label;
  bool modal = false;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    ++ticks;
    if (QProgressDialog* window = runner_.WaitWindow(); window && ticks >= 30) {
      label = window->labelText();
      modal = window->windowModality() == Qt::ApplicationModal;
      window->cancel();
    }
  });
  ticker.start(20);
  platform::ProcessResult result = runner_.Run(Sleeper());
  EXPECT_EQ(result.outcome, platform::ProcessResult::Outcome::Cancelled);
  EXPECT_GE(ticks, 30);  // the timers ran all along the wait
  EXPECT_EQ(label, QString("Waiting for slow tool to finish..."));
  EXPECT_TRUE(modal);
  EXPECT_EQ(runner_.WaitWindow(), nullptr);
}

TEST_F(WaitingProcessRunnerTest, AQuickToolShowsNoWindowAndItsLimitStillHolds) {
  platform::ProcessLaunch quick;
  quick.program = "/bin/true";
  bool shown = false;
  QTimer look;
  QObject::connect(&look, &QTimer::timeout, [&] { shown = shown || runner_.WaitWindow(); });
  look.start(5);
  EXPECT_EQ(runner_.Run(quick).outcome, platform::ProcessResult::Outcome::Exited);
  EXPECT_FALSE(shown);

  platform::ProcessLaunch slow = Sleeper();
  slow.time_limit = std::chrono::milliseconds(200);
  EXPECT_EQ(runner_.Run(slow).outcome, platform::ProcessResult::Outcome::TimedOut);
}

}  // namespace
}  // namespace gui
