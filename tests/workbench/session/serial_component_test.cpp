// The session's serial-port component: made when the program hands in an event poster, and
// the key link's CTS monitor runs on it.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "platform/modal_dialogs.h"
#include "platform/process_runner.h"
#include "workbench/session/session.h"

namespace workbench {
namespace {

class HeldEvents : public platform::EventPoster {
 public:
  void Post(std::function<void()> event) override { events.push_back(std::move(event)); }
  std::vector<std::function<void()>> events;
};

class NoDialogs : public platform::ModalDialogService {
 public:
  int Run(QDialog&) override { throw std::logic_error("No dialog expected"); }
};

// A pseudo-terminal that stands for COM1.
class SerialComponentTest : public ::testing::Test {
 protected:
  SerialComponentTest() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
      device_ = ::ptsname(master_);
  }
  ~SerialComponentTest() override {
    if (master_ >= 0) ::close(master_);
    std::filesystem::remove(settings_);
  }

  SessionSetup ComOneSetup() {
    SessionSetup setup;
    setup.settings_file = settings_;
    setup.serial_environment = [this](std::string_view name) -> std::optional<std::string> {
      if (name == "QVKEY_COM1") return device_;
      return std::nullopt;
    };
    return setup;
  }

  int master_ = -1;
  std::string device_;
  std::filesystem::path settings_ = std::filesystem::temp_directory_path() /
                                    ("qv_serial_component_" + std::to_string(::getpid()) + ".txt");
  platform::RecordingMessageBoxes boxes_;
  NoDialogs dialogs_;
  platform::SystemProcessRunner processes_;
};

TEST_F(SerialComponentTest, TheCtsMonitorOpensTheComponentOnTheLinksPort) {
  ASSERT_FALSE(device_.empty());
  HeldEvents events;
  SessionServices services{boxes_, dialogs_, processes_};
  services.events = &events;
  IdeSession session(services, ComOneSetup());
  ASSERT_NE(session.ComPort(), nullptr);
  session.KeyLink().ComInit();
  session.KeyLink().SetCtsMonitor(true);
  EXPECT_TRUE(session.ComPort()->IsOpen());
  EXPECT_EQ(session.ComPort()->Port(), 1);
  session.KeyLink().SetCtsMonitor(false);
  EXPECT_FALSE(session.ComPort()->IsOpen());
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(SerialComponentTest, WithoutAnEventPosterThereIsNoComponentAndNoMonitor) {
  IdeSession session({boxes_, dialogs_, processes_}, ComOneSetup());
  EXPECT_EQ(session.ComPort(), nullptr);
  session.KeyLink().ComInit();
  session.KeyLink().SetCtsMonitor(true);  // nothing to open; nothing raises
  session.KeyLink().SetCtsMonitor(false);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

}  // namespace
}  // namespace workbench
