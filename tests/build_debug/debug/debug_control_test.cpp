// The debug window's arrangement of the windows around it, and the reset-positions question.
// The session itself is driven through the real window (tests/build_debug/debug/gui).

#include "build_debug/debug/debug_control.h"

#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "services/registry_settings.h"
#include "tests/build_debug/debug/debug_fixture.h"
#include "tests/build_debug/key/key_fixture.h"

namespace build_debug {
namespace {

class FakeWindow : public workbench::PlacedWindow {
 public:
  FakeWindow(int width, int height) : width_(width), height_(height) {}
  workbench::WindowState State() const override { return workbench::WindowState::Normal; }
  void SetState(workbench::WindowState) override {}
  int Top() const override { return top_; }
  int Left() const override { return left_; }
  int Height() const override { return height_; }
  int Width() const override { return width_; }
  bool Visible() const override { return true; }
  void SetBounds(int left, int top, int width, int height) override {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
  }

 private:
  int left_ = 0, top_ = 0, width_, height_;
};

class Around : public DebugSurroundings {
 public:
  bool UsesExternalAssembler() const override { return false; }
  int ListingLine(int) const override { return -1; }
  void EnableMainCommands(bool) override {}
  bool DebugOnly() const override { return false; }
  void CloseMainWindow() override {}
  workbench::PlacedWindow* Placed(Window window) override {
    auto found = windows.find(window);
    return found == windows.end() ? nullptr : found->second;
  }
  std::string PlacementName(Window window) const override {
    return "Window" + std::to_string(window);
  }
  std::map<Window, workbench::PlacedWindow*> windows;
};

class DebugControlTest : public KeyFixture {
 protected:
  DebugControlTest() {
    around_.windows = {{DebugSurroundings::kRegisters, &registers_},
                       {DebugSurroundings::kCode, &code_},
                       {DebugSurroundings::kWatch, &watch_}};
    control_.Attach([] {}, [] {}, &debug_window_);
  }

  int UseRegPositions() const {
    std::int32_t value = -1;
    EXPECT_TRUE(settings_.ReadRegInt(DebugControl::kUseRegPositions, value));
    return value;
  }

  std::unique_ptr<ObjectImage> image_ = std::make_unique<ObjectImage>();
  KeyNotices notes_;
  QvKeyUnit key_{link_, *image_, messages_, notes_};
  DebugProtocol debug_{link_, key_, *image_, messages_};
  std::string file_ = FreshSettingsFile();
  platform::SettingsStore store_{file_};
  workbench::RegistrySettings settings_{store_};
  Around around_;
  DebugControl control_{debug_, link_, key_, *image_, messages_, settings_, notes_, around_};
  FakeWindow debug_window_{300, 200};
  FakeWindow registers_{400, 500};
  FakeWindow code_{10, 10};
  FakeWindow watch_{350, 300};
};

TEST_F(DebugControlTest, ArrangingMeetsTheDebugAndRegisterWindowsAtOneCorner) {
  ASSERT_TRUE(settings_.WriteRegInt(DebugControl::kUseRegPositions, 0));
  control_.ArrangeDebugWindows();
  // Screen 1280 x 1024, no watch entries: w = 300, x = (1280 + 400 - 300) / 2 = 690,
  // y = max(200, 500) + 1024 / 32 = 532.
  EXPECT_EQ(debug_window_.Left(), 690);
  EXPECT_EQ(debug_window_.Top(), 332);  // bottom-left corner at (x, y)
  EXPECT_EQ(registers_.Left(), 290);    // bottom-right corner at (x, y)
  EXPECT_EQ(registers_.Top(), 32);
  EXPECT_EQ(code_.Left(), 290);  // below the register window, as wide, to 15/16 of the screen
  EXPECT_EQ(code_.Top(), 532);
  EXPECT_EQ(code_.Width(), 400);
  EXPECT_EQ(code_.Height(), 960 - 532);
  EXPECT_EQ(watch_.Left(), 690);
  EXPECT_EQ(watch_.Top(), 532);
  EXPECT_EQ(UseRegPositions(), 1);
  std::int32_t saved = 0;
  EXPECT_TRUE(settings_.ReadRegInt("DebugWindow\\Left", saved));
  EXPECT_EQ(saved, 690);

  // Now the windows keep their places.
  debug_window_.SetBounds(1, 2, 300, 200);
  control_.ArrangeDebugWindows();
  EXPECT_EQ(debug_window_.Left(), 1);
}

TEST_F(DebugControlTest, AWiderWatchWindowCountsWhenItsButtonIsOn) {
  image_->WatchCount = 1;
  watch_.SetBounds(0, 0, 500, 300);
  around_.windows.erase(DebugSurroundings::kCode);
  control_.FormShow();  // enables the watch button and arranges; no key: the link's report
  // w = 500: x = (1280 + 400 - 500) / 2 = 590.
  EXPECT_EQ(debug_window_.Left(), 590);
  EXPECT_EQ(watch_.Left(), 590);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                            "Unable to open COM1\rNo serial device is known by that name"});
}

// Kept places are those of the windows they were arranged for: a session that opens another
// set of windows is arranged anew, one with the same set keeps them.
TEST_F(DebugControlTest, AnotherSetOfWindowsIsArrangedAnew) {
  ASSERT_TRUE(settings_.WriteRegInt(DebugControl::kUseRegPositions, 0));
  control_.ArrangeDebugWindows();  // registers and code
  debug_window_.SetBounds(1, 2, 300, 200);
  image_->WatchCount = 1;
  control_.FormShow();  // the watch window too; no key: the link's report
  // w = 350 (the watch window): x = (1280 + 400 - 350) / 2 = 665.
  EXPECT_EQ(debug_window_.Left(), 665);
  EXPECT_EQ(watch_.Left(), 665);
  EXPECT_EQ(UseRegPositions(), 1);
  control_.FormHide();
  debug_window_.SetBounds(1, 2, 300, 200);
  control_.FormShow();
  EXPECT_EQ(debug_window_.Left(), 1);
}

TEST_F(DebugControlTest, ResettingPositionsAsksFirst) {
  ASSERT_TRUE(settings_.WriteRegInt(DebugControl::kUseRegPositions, 1));
  boxes_.AnswerWithFirstButton(false);
  boxes_.Answer(platform::kAnswerNo);
  control_.ResetPosBTNClick();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text,
            "Are you sure you want to reset the\rdebug windows to the default positions?");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "WINDOW POSITION RESET");
  EXPECT_EQ(debug_window_.Left(), 0);
  boxes_.Answer(platform::kAnswerYes);
  control_.ResetPosBTNClick();
  EXPECT_EQ(debug_window_.Left(), 690);
  EXPECT_EQ(UseRegPositions(), 1);
}

}  // namespace
}  // namespace build_debug
