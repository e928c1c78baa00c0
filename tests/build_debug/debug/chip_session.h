#pragma once
// A debug session against the simulated key for the tests of the debug views: the real link
// on a pseudo-terminal, a chip that plays the debug monitor, and the debug protocol over them,
// stopped with fresh data as after a step.

#include <memory>

#include <gtest/gtest.h>

#include "build_debug/debug/debug_protocol.h"
#include "tests/build_debug/debug/debug_fixture.h"
#include "tests/build_debug/key/key_fixture.h"
#include "tests/keysim/chip_model.h"

namespace build_debug {

// FUSEX as a 2,048-word part reads it back: bits 0-1 give its size.
constexpr std::uint16_t kFusexOneBank = 0x0BFC;
constexpr std::uint16_t kFusexFourBanks = 0x0BFE;
constexpr std::uint16_t kFusexEightBanks = 0x0BFF;
constexpr std::uint16_t kFusex4K = 0x0FFF;

class ChipSession : public KeyFixture {
 protected:
  ChipSession() { link_.ComInit(); }
  ~ChipSession() override { keys_.clear(); }

  // A chip of the size stopped with the registers, read once so that the data is fresh.
  keysim::ChipModel& Open(bool device4k, std::uint16_t fusex, const keysim::MonitorRegisters& r) {
    keys_.clear();
    keysim::ChipConfig config;
    config.device4k = device4k;
    config.fusex = fusex;
    chip_ = std::make_unique<keysim::ChipModel>(config);
    chip_->Install(StartKey());
    image_->Device4K = device4k ? 1 : 0;
    image_->WorkingImage[kFusexIndex] = fusex;
    key_.UpdateMemorySize();
    EXPECT_TRUE(link_.OpenKey());
    chip_->SetMonitor(r);
    // Read without a packet first: a packet would load the chip with the empty live state.
    EXPECT_EQ(debug_.Poll(), DebugProtocol::PollResult::Stopped);
    EXPECT_TRUE(debug_.QVU_GetDebugData());
    debug_.SetFirstRefresh(true);
    debug_.RedrawDebugViews();
    EXPECT_TRUE(debug_.FreshData());
    return *chip_;
  }

  // Each read of the clock is a tenth of a second later.
  std::chrono::steady_clock::time_point Tick() { return now_ += std::chrono::milliseconds(100); }

  std::chrono::steady_clock::time_point now_{};
  std::unique_ptr<ObjectImage> image_ = std::make_unique<ObjectImage>();
  KeyNotices notes_;
  QvKeyUnit key_{link_, *image_, messages_, notes_};
  DebugProtocol debug_{link_, key_, *image_, messages_, [this] { return Tick(); }};
  std::unique_ptr<keysim::ChipModel> chip_;
};

}  // namespace build_debug
