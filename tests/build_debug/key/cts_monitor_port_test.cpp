#include "build_debug/key/cts_monitor_port.h"

#include <deque>
#include <map>
#include <mutex>

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "tests/keysim/simulated_key.h"

namespace build_debug {
namespace {

class QueuedEvents : public platform::EventPoster {
 public:
  void Post(std::function<void()> event) override {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
  }
  // Runs posted events until `done` holds or nothing more comes within 5 s.
  void RunUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      std::function<void()> event;
      {
        std::lock_guard lock(mutex_);
        if (!events_.empty()) {
          event = std::move(events_.front());
          events_.pop_front();
        }
      }
      if (event)
        event();
      else
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> events_;
};

class FixedModemLines : public platform::ModemLineSource {
 public:
  std::optional<unsigned> Status(int) override { return platform::kMsCtsOn; }
};

// The key link's monitor on the real component, on the simulated key's port.
class VexCtsMonitorTest : public ::testing::Test {
 protected:
  VexCtsMonitorTest() {
    texts_.InitLocalization("x");
    boxes_.AnswerWithFirstButton();  // the CTS notices have only OK
  }
  platform::SerialPortResolver::Sources Sources() {
    platform::SerialPortResolver::Sources sources;
    sources.environment = [this](std::string_view name) -> std::optional<std::string> {
      if (name == "QVKEY_COM1") return key_.DevicePath();
      return std::nullopt;
    };
    sources.dev_root = "/nonexistent";
    sources.sys_root = "/nonexistent";
    return sources;
  }

  keysim::SimulatedKey key_{keysim::KeyConfig{}};
  workbench::Localizer texts_;
  platform::RecordingMessageBoxes boxes_;
  workbench::MessageStrings messages_{texts_, boxes_};
  platform::SerialPortResolver resolver_{Sources()};
  platform::TermiosSerialPortOpener opener_{resolver_};
  QueuedEvents events_;
  FixedModemLines lines_;
  platform::TVexComPort component_{events_, resolver_, lines_};
  VexCtsMonitorPort monitor_{component_};
  KeyLink link_{opener_, messages_, &monitor_};
};

TEST_F(VexCtsMonitorTest, AHeldPortLeavesTheMonitorClosedWithoutRaising) {
  auto holder = platform::TermiosSerialPortOpener::OpenDevice(key_.DevicePath(), 57600);
  ASSERT_NE(holder.port, nullptr);
  link_.ComInit();
  EXPECT_NO_THROW(link_.SetCtsMonitor(true));
  EXPECT_FALSE(component_.IsOpen());
}

TEST_F(VexCtsMonitorTest, CtsOnAtOpenReachesTheLinkOnceAndTheKeyTakesThePortBack) {
  link_.ComInit();
  link_.SetCtsMonitor(true);
  ASSERT_TRUE(component_.IsOpen());
  EXPECT_EQ(component_.Baudrate(), 57600);
  events_.RunUntil([&] { return !boxes_.Boxes().empty(); });
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  // Within the first second of the monitor a change is taken as left over from before.
  EXPECT_EQ(boxes_.Boxes()[0].text, "OLD CTS change noted and discarded");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "CTS Status Change");

  ASSERT_TRUE(link_.OpenKey()) << link_.LinkState();
  EXPECT_FALSE(component_.IsOpen());
  link_.CloseKey();
  EXPECT_TRUE(component_.IsOpen());
}

}  // namespace
}  // namespace build_debug
