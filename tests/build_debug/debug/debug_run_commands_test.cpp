// The Run menu's Debug, Debug (reenter) and Clock commands against the simulated key.

#include "build_debug/debug/debug_run_commands.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "services/silent_abort.h"
#include "tests/build_debug/debug/debug_fixture.h"
#include "tests/build_debug/key/key_fixture.h"
#include "tests/keysim/chip_model.h"

namespace build_debug {
namespace {

class DebugRunCommandsTest : public KeyFixture {
 protected:
  DebugRunCommandsTest() {
    link_.ComInit();
    // A program that can be debugged: the reset jump in the last word.
    image_->WorkingImage[0] = UsedWord(0xC12);
    image_->WorkingImage[2047] = UsedWord(0xA00);
  }
  ~DebugRunCommandsTest() override { keys_.clear(); }

  keysim::ChipModel& StartChip() {
    chip_ = std::make_unique<keysim::ChipModel>();
    chip_->Install(StartKey());
    return *chip_;
  }

  DebugRunHooks Hooks() {
    DebugRunHooks hooks;
    hooks.hide_debug_window = [this] { events_.push_back("hide debug"); };
    hooks.show_debug_window = [this] { events_.push_back("show debug"); };
    hooks.assemble_current = [this] { events_.push_back("assemble"); };
    hooks.wrenfield_mode = [this] { return wrenfield_; };
    hooks.show_clock_window = [this] {
      events_.push_back(link_.IsLinkOpen() ? "clock, link open" : "clock, link closed");
      link_.CloseKey();
    };
    hooks.enable_clock_button = [this](bool on) {
      events_.push_back(on ? "button on" : "button off");
    };
    return hooks;
  }

  std::unique_ptr<ObjectImage> image_ = std::make_unique<ObjectImage>();
  std::unique_ptr<keysim::ChipModel> chip_;
  KeyNotices notes_;
  QvKeyUnit key_{link_, *image_, messages_, notes_};
  DebugProtocol debug_{link_, key_, *image_, messages_};
  std::vector<std::string> events_;
  bool wrenfield_ = false;
  DebugRunCommands commands_{link_, key_, debug_, Hooks()};
};

TEST_F(DebugRunCommandsTest, DebugProgramsTheChipWithTheMonitor) {
  auto& chip = StartChip();
  commands_.RunDebug();
  key_.QVU_Cleanup();
  EXPECT_TRUE(notes_.programmed);
  EXPECT_EQ(events_, (std::vector<std::string>{"hide debug", "assemble"}));
  EXPECT_EQ(chip.Program()[2047], 0xBFE);  // the jump into the monitor through the free pair
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DebugRunCommandsTest, DebugAgainShowsTheWindowWithoutProgramming) {
  auto& chip = StartChip();
  wrenfield_ = true;  // nothing is built
  commands_.RunDebugAgain();
  EXPECT_EQ(events_, (std::vector<std::string>{"hide debug", "show debug"}));
  EXPECT_TRUE(chip.EraseUnits().empty());
  EXPECT_FALSE(link_.IsLinkOpen());
}

TEST_F(DebugRunCommandsTest, WithoutAKeyNothingStartsAndTheLinkSaysWhy) {
  commands_.RunDebugAgain();
  commands_.RunClock();
  EXPECT_EQ(events_, (std::vector<std::string>{"hide debug", "assemble"}));
  ASSERT_EQ(boxes_.Boxes().size(), 2u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, kLinkCaption);
  EXPECT_EQ(boxes_.Boxes()[1].caption, kLinkCaption);
}

TEST_F(DebugRunCommandsTest, AnImageThatCannotBeDebuggedStopsBeforeTheKey) {
  StartChip();
  image_->WorkingImage[2047] = UsedWord(0x000);
  EXPECT_THROW(commands_.RunDebugAgain(), workbench::SilentAbort);
  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{"ERROR! Debug requires RESET jump at the end of memory"});
  EXPECT_EQ(keys_.back()->Handshakes(), 0);
}

TEST_F(DebugRunCommandsTest, ClockShowsItsWindowWithTheLinkOpen) {
  StartChip();
  commands_.RunClock();
  EXPECT_EQ(events_, (std::vector<std::string>{"button off", "clock, link open", "button on"}));
  EXPECT_TRUE(boxes_.Boxes().empty());
}

}  // namespace
}  // namespace build_debug
