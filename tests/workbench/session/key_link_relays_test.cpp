#include "workbench/session/key_link_relays.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "workbench/session/session.h"

namespace workbench {
namespace {

// Records each report; a report can be held until the test lets it go.
class Recorder : public build_debug::KeyNotifications {
 public:
  void DeviceProgress(int code, int parameter, bool sent) override {
    Note("progress " + std::to_string(code) + " " + std::to_string(parameter) +
         (sent ? " sent" : ""));
  }
  void KeyNotify(int code, bool sent) override {
    Note("notify " + std::to_string(code) + (sent ? " sent" : ""));
  }
  void DebugProgrammed() override { Note("debug programmed"); }
  void CloseProgress() override { Note("close progress"); }
  void LinkHeldByRun(bool held) override { Note(held ? "link held" : "link let go"); }

  std::vector<std::string> seen;
  std::atomic<bool> hold{false};
  std::atomic<bool> holding{false};

 private:
  void Note(std::string what) {
    seen.push_back(std::move(what));
    holding = true;
    while (hold) std::this_thread::yield();
    holding = false;
  }
};

TEST(KeyNotificationRelay, ReportsReachTheBoundWindowsAndNoneBeforeOrAfter) {
  KeyNotificationRelay relay;
  Recorder windows;
  relay.KeyNotify(2, false);  // nothing bound yet: dropped
  relay.Bind(&windows);
  relay.DeviceProgress(8, 17, false);
  relay.KeyNotify(3, true);
  relay.DebugProgrammed();
  relay.CloseProgress();
  relay.LinkHeldByRun(true);
  relay.LinkHeldByRun(false);
  relay.Unbind({});
  relay.KeyNotify(1, false);
  EXPECT_EQ(windows.seen,
            (std::vector<std::string>{"progress 8 17", "notify 3 sent", "debug programmed",
                                      "close progress", "link held", "link let go"}));
}

// The key worker may be inside a report when the windows go: unbinding waits for it, giving
// the waiting side its turn, so the windows never go while a report uses them.
TEST(KeyNotificationRelay, UnbindWaitsForAReportBeingHandled) {
  KeyNotificationRelay relay;
  Recorder windows;
  relay.Bind(&windows);
  windows.hold = true;
  std::thread worker([&relay] { relay.KeyNotify(3, true); });
  while (!windows.holding) std::this_thread::yield();
  int pumped = 0;
  relay.Unbind([&] {
    if (++pumped == 3) windows.hold = false;
  });
  EXPECT_FALSE(windows.holding);
  EXPECT_GE(pumped, 3);
  worker.join();
  EXPECT_EQ(windows.seen, std::vector<std::string>{"notify 3 sent"});
}

TEST(SerialPortsRelay, OpensThroughTheBoundOpenerAndFailsLoudlyWithoutOne) {
  class Opener : public platform::SerialPortOpener {
   public:
    platform::SerialOpenResult Open(std::string_view name, int baud) override {
      opened = std::string(name) + "@" + std::to_string(baud);
      return {};
    }
    std::string opened;
  };
  SerialPortsRelay relay;
  EXPECT_THROW(std::ignore = relay.Open("COM1", 57600), MissingService);
  Opener opener;
  relay.Bind(&opener);
  std::ignore = relay.Open("COM2", 19200);
  EXPECT_EQ(opener.opened, "COM2@19200");
}

}  // namespace
}  // namespace workbench
