#include "platform/vex_com_port.h"

#include <termios.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/platform/pseudo_terminal.h"

namespace platform {
namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

// The GUI thread's event queue: the test thread runs what the worker posts.
class QueuedEvents : public EventPoster {
 public:
  void Post(std::function<void()> event) override {
    std::lock_guard lock(mutex_);
    events_.push_back(std::move(event));
    arrived_.notify_all();
  }
  // Runs posted events until `done` holds; false when it still does not after 5 s.
  bool RunUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!done()) {
      std::function<void()> event;
      {
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_until(lock, deadline, [&] { return !events_.empty(); })) return false;
        event = std::move(events_.front());
        events_.pop_front();
      }
      event();
    }
    return true;
  }
  // Runs what is queued now.
  void RunQueued() {
    for (;;) {
      std::function<void()> event;
      {
        std::lock_guard lock(mutex_);
        if (events_.empty()) return;
        event = std::move(events_.front());
        events_.pop_front();
      }
      event();
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<std::function<void()>> events_;
};

// Modem lines the test sets; a pseudo-terminal has none of its own.
class TestModemLines : public ModemLineSource {
 public:
  std::optional<unsigned> Status(int) override { return status_.load(); }
  void Set(unsigned status) { status_ = status; }

 private:
  std::atomic<unsigned> status_{0};
};

class VexComPortTest : public ::testing::Test {
 protected:
  SerialPortResolver::Sources Sources() {
    SerialPortResolver::Sources sources;
    sources.environment = [this](std::string_view name) -> std::optional<std::string> {
      if (name == "QVKEY_COM1") return pty_.Path();
      return std::nullopt;
    };
    sources.dev_root = "/nonexistent";
    sources.sys_root = "/nonexistent";
    return sources;
  }
  // Collects deliveries and checks that each runs on the test (GUI) thread.
  void Collect() {
    port_.SetOnDataAvailable([this](const std::string& bytes) {
      EXPECT_EQ(std::this_thread::get_id(), gui_thread_);
      received_.push_back(bytes);
    });
  }

  PseudoTerminal pty_;
  SerialPortResolver resolver_{Sources()};
  QueuedEvents events_;
  TestModemLines lines_;
  TVexComPort port_{events_, resolver_, lines_};
  std::vector<std::string> received_;
  std::thread::id gui_thread_ = std::this_thread::get_id();
};

TEST_F(VexComPortTest, StartsWithTheDocumentedDefaults) {
  EXPECT_EQ(port_.Baudrate(), 9600);
  EXPECT_EQ(port_.ByteSize(), 8);
  EXPECT_EQ(port_.RxBuffer(), 8192);
  EXPECT_EQ(port_.TxBuffer(), 8192);
  EXPECT_EQ(port_.LineEnd(), "\r\n");
  EXPECT_EQ(port_.FlowCtrl().Flags(), 0x1011u);
  port_.SetVersion("9.99");
  EXPECT_EQ(port_.Version(), "1.12");
  port_.SetRxBuffer(1000);
  EXPECT_EQ(port_.XonLimit(), 500);
  EXPECT_EQ(port_.XoffLimit(), 750);
}

TEST_F(VexComPortTest, PlainModeDeliversWhatArrivesOnTheGuiThread) {
  Collect();
  port_.Open();
  pty_.Put("hello");
  std::string all;
  ASSERT_TRUE(events_.RunUntil([&] {
    all.clear();
    for (auto& piece : received_) all += piece;
    return all.size() >= 5;
  }));
  EXPECT_EQ(all, "hello");
}

TEST_F(VexComPortTest, LineModeDeliversWholeLinesAndCloseDeliversTheRest) {
  Collect();
  port_.SetLineMode(true);
  port_.Open();
  pty_.Put("ab\r\ncd\r");  // the second line end is split across two arrivals
  pty_.Put("\nrest");
  ASSERT_TRUE(events_.RunUntil([&] { return received_.size() >= 2; }));
  port_.Close();
  events_.RunQueued();
  EXPECT_EQ(received_, (std::vector<std::string>{"ab\r\n", "cd\r\n", "rest"}));
}

TEST_F(VexComPortTest, ThresholdModeDeliversBlocksOfTheAmount) {
  Collect();
  port_.SetRxThresholdAmount(4);
  port_.SetRxThresholdUse(true);
  port_.Open();
  pty_.Put("abcdefghij");
  ASSERT_TRUE(events_.RunUntil([&] { return received_.size() >= 2; }));
  port_.Close();
  EXPECT_EQ(received_, (std::vector<std::string>{"abcd", "efgh", "ij"}));
}

TEST_F(VexComPortTest, LineModeAndThresholdModeExcludeEachOther) {
  port_.SetLineMode(true);
  port_.SetRxThresholdUse(true);
  EXPECT_FALSE(port_.LineMode());
  port_.SetLineMode(true);
  EXPECT_FALSE(port_.RxThresholdUse());
}

TEST_F(VexComPortTest, SwitchingLineModeOffHandsOverTheHeldBytes) {
  Collect();
  port_.SetLineMode(true);
  port_.Open();
  pty_.Put("one\r\npartial");  // one write: the line and the rest arrive together
  ASSERT_TRUE(events_.RunUntil([&] { return !received_.empty(); }));
  EXPECT_EQ(received_, std::vector<std::string>{"one\r\n"});
  port_.SetLineMode(false);
  ASSERT_TRUE(events_.RunUntil([&] { return received_.size() == 2; }));
  EXPECT_EQ(received_[1], "partial");
}

TEST_F(VexComPortTest, WriteSendsTheBytesThenReportsThemSent) {
  int sent = 0;
  port_.SetOnDataSent([&] {
    EXPECT_EQ(std::this_thread::get_id(), gui_thread_);
    ++sent;
  });
  port_.Open();
  ASSERT_TRUE(port_.Write("QV\x00\xff"s));
  EXPECT_EQ(pty_.Take(4), "QV\x00\xff"s);
  ASSERT_TRUE(events_.RunUntil([&] { return sent == 1; }));
}

TEST_F(VexComPortTest, CloseEndsAWaitingWorkerAndFreesThePort) {
  Collect();
  port_.Open();
  port_.Close();  // the worker waits for input with no time-out; close must wake it
  EXPECT_FALSE(port_.IsOpen());
  auto again = TermiosSerialPortOpener::OpenDevice(pty_.Path(), 9600);
  EXPECT_NE(again.port, nullptr);
}

TEST_F(VexComPortTest, APortThatCannotBeOpenedRaisesWithItsName) {
  auto holder = TermiosSerialPortOpener::OpenDevice(pty_.Path(), 9600);
  ASSERT_NE(holder.port, nullptr);
  try {
    port_.Open();
    FAIL() << "no exception";
  } catch (const EVexComPort& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot open port '" + pty_.Path() + "'");
  }
  EXPECT_FALSE(port_.IsOpen());
  port_.SetPort(9);  // no device is known for COM9
  EXPECT_THROW(
      {
        try {
          port_.Open();
        } catch (const EVexComPort& error) {
          EXPECT_STREQ(error.what(), "Cannot open port 'COM9'");
          throw;
        }
      },
      EVexComPort);
}

TEST_F(VexComPortTest, ModemLineChangesReachTheirHandlersOnceCtsAtOpenIncluded) {
  std::vector<int> cts, dsr;
  port_.SetOnCtsChanged([&](int value) {
    EXPECT_EQ(std::this_thread::get_id(), gui_thread_);
    cts.push_back(value);
  });
  port_.SetOnDsrChanged([&](int value) { dsr.push_back(value); });
  port_.SetPortOptions({.event_cts_dsr = true, .event_error = false});
  lines_.Set(kMsCtsOn);
  port_.Open();
  ASSERT_TRUE(events_.RunUntil([&] { return cts.size() == 1; }));
  lines_.Set(kMsDsrOn);  // CTS drops, DSR rises
  ASSERT_TRUE(events_.RunUntil([&] { return cts.size() == 2 && dsr.size() == 1; }));
  lines_.Set(kMsDsrOn | kMsCtsOn);
  ASSERT_TRUE(events_.RunUntil([&] { return cts.size() == 3; }));
  port_.Close();
  events_.RunQueued();
  EXPECT_EQ(cts, (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(dsr, (std::vector<int>{1}));
}

TEST_F(VexComPortTest, WithoutTheLineOptionModemChangesAreNotReported) {
  int calls = 0;
  port_.SetOnCtsChanged([&](int) { ++calls; });
  lines_.Set(kMsCtsOn);
  port_.Open();
  port_.Close();
  events_.RunQueued();
  EXPECT_EQ(calls, 0);
}

TEST_F(VexComPortTest, AHangUpIsReportedAsAnError) {
  std::vector<unsigned> errors;
  port_.SetOnError([&](unsigned bits) { errors.push_back(bits); });
  port_.SetPortOptions({.event_cts_dsr = false, .event_error = true});
  port_.Open();
  pty_.HangUp();
  ASSERT_TRUE(events_.RunUntil([&] { return !errors.empty(); }));
  EXPECT_EQ(errors.front(), kCeIoError);
  port_.Close();
}

TEST_F(VexComPortTest, AHandlersExceptionGoesToTheBackgroundHandlerOrOnToTheLoop) {
  port_.SetOnDataAvailable([](const std::string&) { throw EVexComPort("handler failed"); });
  port_.Open();
  pty_.Put("a");
  EXPECT_THROW(events_.RunUntil([] { return false; }), EVexComPort);

  std::string caught;
  port_.SetOnBGException([&](const std::exception& error) {
    caught = error.what();
    throw std::runtime_error("swallowed");
  });
  pty_.Put("b");
  ASSERT_TRUE(events_.RunUntil([&] { return !caught.empty(); }));
  EXPECT_EQ(caught, "handler failed");
}

TEST_F(VexComPortTest, EventsPostedBeforeTheComponentWentAwayAreDropped) {
  QueuedEvents events;
  std::vector<int> cts;
  {
    TVexComPort port(events, resolver_, lines_);
    port.SetOnCtsChanged([&](int value) { cts.push_back(value); });
    port.SetPortOptions({.event_cts_dsr = true, .event_error = false});
    lines_.Set(kMsCtsOn);
    port.Open();
  }
  events.RunQueued();
  EXPECT_TRUE(cts.empty());
}

TEST(TFlowCtrl, EachPropertyEditsItsOwnBits) {
  struct Case {
    const char* name;
    std::function<void(TFlowCtrl&)> set;
    std::uint32_t flags;
  };
  const Case cases[] = {
      {"TxCtsFlow", [](TFlowCtrl& f) { f.SetTxCtsFlow(true); }, 0x1015},
      {"TxDsrFlow", [](TFlowCtrl& f) { f.SetTxDsrFlow(true); }, 0x1019},
      {"DTR disable", [](TFlowCtrl& f) { f.SetRxDtrControl(TFlowCtrl::DtrControl::Disable); },
       0x1001},
      {"DTR handshake", [](TFlowCtrl& f) { f.SetRxDtrControl(TFlowCtrl::DtrControl::Handshake); },
       0x1021},
      {"RxDsrSensivity", [](TFlowCtrl& f) { f.SetRxDsrSensivity(true); }, 0x1051},
      {"TxContinueXoff", [](TFlowCtrl& f) { f.SetTxContinueXoff(true); }, 0x1091},
      {"XonXoff", [](TFlowCtrl& f) { f.SetXonXoff(true); }, 0x1311},
      {"RTS disable", [](TFlowCtrl& f) { f.SetRxRtsControl(TFlowCtrl::RtsControl::Disable); },
       0x0011},
      {"RTS handshake", [](TFlowCtrl& f) { f.SetRxRtsControl(TFlowCtrl::RtsControl::Handshake); },
       0x2011},
      {"RTS toggle", [](TFlowCtrl& f) { f.SetRxRtsControl(TFlowCtrl::RtsControl::Toggle); },
       0x3011},
  };
  for (const auto& c : cases) {
    TFlowCtrl flow;
    c.set(flow);
    EXPECT_EQ(flow.Flags(), c.flags) << c.name;
  }
}

// A pseudo-terminal keeps 8 bits without parity whatever is asked, so parity and byte size
// are not seen here.
TEST_F(VexComPortTest, LineSettingsAndFlowChangesApplyWhileOpen) {
  port_.Open();
  port_.FlowCtrl().SetXonXoff(true);
  port_.FlowCtrl().SetTxCtsFlow(true);
  port_.SetBaudrate(57600);
  termios settings = pty_.Settings();
  EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));
  EXPECT_TRUE(settings.c_cflag & CRTSCTS);
  EXPECT_EQ(::cfgetospeed(&settings), static_cast<speed_t>(B57600));
}

}  // namespace
}  // namespace platform
