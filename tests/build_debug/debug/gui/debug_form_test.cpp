// The debug window driven offscreen with its own timer, against the simulated key and a chip
// that plays the debug monitor. The tests wait for what the window shows (with a deadline),
// never for a time.

#include "build_debug/debug/gui/debug_form.h"

#include <QApplication>
#include <QKeyEvent>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "build_debug/debug/debug_protocol.h"
#include "resources/code_widget_names.h"
#include "tests/build_debug/debug/debug_fixture.h"
#include "tests/build_debug/debug/gui/wait_until.h"
#include "tests/build_debug/key/key_fixture.h"
#include "tests/keysim/chip_model.h"

namespace debug_frm = widget_names::DebugFRM;

namespace gui {
namespace {

using namespace build_debug;
using keysim::ChipConfig;
using keysim::ChipModel;
using keysim::RunScript;

// The main window and the windows around the debugger, as the session reaches them.
class Around : public DebugSurroundings {
 public:
  explicit Around(const ObjectImage& image) : image_(image) {}
  bool UsesExternalAssembler() const override { return external; }
  int ListingLine(int pc) const override {
    return image_.AddressLine[static_cast<std::size_t>(pc & 0xFFF)];
  }
  void Show(Window window, bool) override { shown.push_back(window); }
  void EnableMainCommands(bool enabled) override { main_commands = enabled; }
  bool DebugOnly() const override { return debug_only; }
  void CloseMainWindow() override { main_closed = true; }
  void ShowIrcWindow() override { irc_shown = true; }

  bool external = false;
  bool debug_only = false;
  bool main_commands = true;
  bool main_closed = false;
  bool irc_shown = false;
  std::vector<Window> shown;

 private:
  const ObjectImage& image_;
};

// Counts the redraws of the debug state.
class CountingView : public DebugView {
 public:
  bool IsShowing() const override { return true; }
  void RedrawDebugState(bool) override { ++redraws; }
  void RedrawBreakpoint() override {}
  int redraws = 0;
};

class DebugFormTest : public KeyFixture {
 protected:
  DebugFormTest() {
    link_.ComInit();
    ChipConfig config;
    config.fusex = 0x0BFE;  // 2,048 words, four banks
    chip_ = std::make_unique<ChipModel>(config);
    chip_->Install(StartKey());
    // Lines of a program: 0-1 line 10, 2-4 line 11, 5 line 12, then two words a line.
    image_->WorkingImage[kFusexIndex] = 0x0BFE;
    const int lines[] = {10, 10, 11, 11, 11, 12};
    for (int a = 0; a < 0x80; ++a) {
      image_->WorkingImage[static_cast<std::size_t>(a)] = UsedWord(0x000);
      image_->AddressLine[static_cast<std::size_t>(a)] = a < 6 ? lines[a] : 10 + a / 2;
    }
    debug_.AddView(view_);
    boxes_.AnswerWithFirstButton();
  }
  ~DebugFormTest() override {
    form_.reset();
    keys_.clear();
  }

  void Script(RunScript script) { chip_->SetRunScript(std::move(script)); }

  int Mask() const { return form_->Control().Panel().mask; }
  bool Idle() const { return Mask() == kIdleMask || Mask() == (kIdleMask | kButtonPoll); }
  int Pc() const { return debug_.Live().PC; }
  void Click(const char* name) { form_->Button(name).click(); }

  // Shows the window, which starts the session, and waits for the first picture.
  void Start() {
    form_->show();
    ASSERT_TRUE(Until([this] { return Idle(); }));
    ASSERT_TRUE(form_->Timer().isActive());
    EXPECT_EQ(Pc(), 2047);  // released at the reset vector
    EXPECT_FALSE(around_.main_commands);
  }

  std::unique_ptr<ObjectImage> image_ = std::make_unique<ObjectImage>();
  std::unique_ptr<ChipModel> chip_;
  KeyNotices notes_;
  QvKeyUnit key_{link_, *image_, messages_, notes_};
  DebugProtocol debug_{link_, key_, *image_, messages_};
  CountingView view_;
  Around around_{*image_};
  std::string settings_file_ = FreshSettingsFile();
  platform::SettingsStore store_{settings_file_};
  workbench::RegistrySettings settings_{store_};
  DebugControl control_{debug_, link_, key_, *image_, messages_, settings_, notes_, around_};
  std::unique_ptr<TDebugFRM> form_ = std::make_unique<TDebugFRM>(control_, texts_);
};

TEST_F(DebugFormTest, StepHopAndJogGoByWordsAndByLines) {
  RunScript script;
  script.steps = {0};  // the program's reset jump
  Script(script);
  Start();
  EXPECT_EQ(Mask(), kIdleMask);  // no breakpoint: no Poll
  EXPECT_EQ(form_->StatusPanel().text(), "Idle");

  Click(debug_frm::StepBTN);
  EXPECT_EQ(Mask(), 0);
  ASSERT_TRUE(Until([this] { return Idle(); }));
  EXPECT_EQ(Pc(), 0);

  // Hop: steps on inside a line of two words, stops at the next line.
  int redraws = view_.redraws;
  Click(debug_frm::HopBTN);
  EXPECT_EQ(Mask(), 0);
  ASSERT_TRUE(Until([this] { return Idle(); }));
  EXPECT_EQ(Pc(), 2);
  EXPECT_EQ(view_.redraws, redraws + 1);
  Click(debug_frm::HopBTN);  // a line of three words
  ASSERT_TRUE(Until([this] { return Idle(); }));
  EXPECT_EQ(Pc(), 5);
  EXPECT_EQ(view_.redraws, redraws + 2);

  // Jog: line after line until Stop, which ends it at a line's first word.
  Click(debug_frm::JogBTN);
  EXPECT_EQ(Mask(), kButtonStop);
  ASSERT_TRUE(Until([this] { return Pc() >= 10; }));
  EXPECT_EQ(Mask(), kButtonStop);
  Click(debug_frm::StopBTN);
  ASSERT_TRUE(Until([this] { return Idle(); }));
  EXPECT_EQ(Pc() % 2, 0);  // from 6 on a line is two words
  EXPECT_FALSE(form_->Control().Continuous());
}

TEST_F(DebugFormTest, WalkStepsUntilStop) {
  RunScript script;
  script.steps = {0};
  Script(script);
  Start();
  Click(debug_frm::WalkBTN);
  EXPECT_EQ(Mask(), kButtonStop);
  ASSERT_TRUE(Until([this] { return Pc() >= 4 && Pc() < 2047; }));
  EXPECT_EQ(Mask(), kButtonStop);
  Click(debug_frm::StopBTN);
  EXPECT_EQ(Mask(), 0);
  ASSERT_TRUE(Until([this] { return Idle(); }));
  // Stopped with fresh data: the ticks only poll, no more steps and no more reads (which
  // would take the change marks away).
  const int stopped = Pc();
  const auto reads = chip_->DataReads().size();
  const int polls = chip_->Polls();
  ASSERT_TRUE(Until([&] { return chip_->Polls() >= polls + 6; }));
  EXPECT_EQ(Pc(), stopped);
  EXPECT_EQ(chip_->DataReads().size(), reads);
}

TEST_F(DebugFormTest, RunFreeThenStop) {
  RunScript script;
  script.free_stop = 0x20;
  Script(script);
  Start();
  Click(debug_frm::RunBTN);
  EXPECT_EQ(Mask(), kButtonPoll | kButtonStop);
  ASSERT_TRUE(Until([this] { return form_->StatusPanel().text() == "Running"; }));
  std::size_t commands = chip_->DebugCommands().size();
  Click(debug_frm::StopBTN);
  EXPECT_EQ(Mask(), 0);
  ASSERT_TRUE(Until([this] { return Idle(); }));
  EXPECT_EQ(Pc(), 0x20);
  auto sent = chip_->DebugCommands();
  ASSERT_GT(sent.size(), commands);
  EXPECT_EQ(sent[commands], (std::vector<std::uint8_t>{1, 0}));  // the stop command
}

TEST_F(DebugFormTest, RunStopsAtTheBreakpointAndPollGoesOnFromIt) {
  RunScript script;
  script.polls_to_break = 4;
  Script(script);
  Start();
  debug_.ToggleBreakpoint(0x40);
  EXPECT_EQ(Mask(), kIdleMask | kButtonPoll);

  Click(debug_frm::RunBTN);
  EXPECT_EQ(Mask(), 0);
  ASSERT_TRUE(Until([this] { return Idle(); }));
  EXPECT_EQ(Pc(), 0x40);
  // Idle at the breakpoint: nothing more went to the chip.
  std::size_t packets = chip_->DebugCommands().size();
  const int polls = chip_->Polls();
  ASSERT_TRUE(Until([&] { return chip_->Polls() >= polls + 6; }));
  EXPECT_EQ(chip_->DebugCommands().size(), packets);
  EXPECT_EQ(chip_->DebugCommands().back()[16], 0xE9);  // the run to the breakpoint

  // Poll: every stop at the breakpoint is shown and the run goes on, until Stop.
  int redraws = view_.redraws;
  Click(debug_frm::PollBTN);
  EXPECT_EQ(Mask(), kButtonStop);
  ASSERT_TRUE(Until([&] { return view_.redraws >= redraws + 2; }));
  Click(debug_frm::StopBTN);
  ASSERT_TRUE(Until([this] { return Idle(); }));
  EXPECT_EQ(Pc(), 0x40);
  EXPECT_EQ(Mask(), kIdleMask | kButtonPoll);
}

TEST_F(DebugFormTest, ResetStartsTheChipAgainAtItsResetVector) {
  RunScript script;
  script.steps = {0};
  Script(script);
  Start();
  Click(debug_frm::StepBTN);
  ASSERT_TRUE(Until([this] { return Idle() && Pc() == 0; }));
  int releases = chip_->Releases();
  Click(debug_frm::ResetBTN);
  ASSERT_TRUE(Until([this] { return Idle() && Pc() == 2047; }));
  EXPECT_EQ(chip_->Releases(), releases + 1);
  auto packet = chip_->DebugCommands().back();
  EXPECT_EQ(packet[16], 0xEF);  // the action, low byte then high byte
  EXPECT_EQ(packet[18], 0xEF);
  EXPECT_EQ(packet[4], 0x07);  // PC (N - 1) and 0xF77
  EXPECT_EQ(packet[6], 0x77);
}

TEST_F(DebugFormTest, AKeyUnpluggedDuringWalkEndsTheSession) {
  Start();
  Click(debug_frm::WalkBTN);
  ASSERT_TRUE(Until([this] { return Pc() < 2047; }));
  keys_.back()->HangUp();
  ASSERT_TRUE(Until([this] { return !form_->isVisible(); }));
  ASSERT_FALSE(boxes_.Boxes().empty());
  EXPECT_EQ(boxes_.Boxes()[0].caption, kLinkCaption);
  EXPECT_FALSE(form_->Timer().isActive());
  EXPECT_FALSE(link_.IsLinkOpen());    // closed although the clock-off could not go out
  EXPECT_TRUE(around_.main_commands);  // the Run menu is back
  EXPECT_EQ(notes_.notified, std::vector<int>{-kKeyDebugHidden});
}

TEST_F(DebugFormTest, QuitEndsTheSessionAndADebugOnlyRunClosesTheMainWindow) {
  around_.debug_only = true;
  Start();
  keys_.back()->HangUp();  // the clock-off at the end fails
  Click(debug_frm::QuitBTN);
  ASSERT_TRUE(Until([this] { return !form_->isVisible(); }));
  EXPECT_FALSE(link_.IsLinkOpen());
  EXPECT_TRUE(around_.main_closed);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DebugFormTest, TheSpeedRunsFromMaxToMinAndStopsAtTheEnds) {
  const char* labels[] = {"Max", "10", "9", "8", "7", "6", "5", "4", "3", "2", "1", "Min"};
  const int intervals[] = {40, 54, 72, 96, 129, 173, 232, 310, 416, 557, 746, 1000};
  EXPECT_EQ(form_->SpeedLabel().text(), "Max");
  EXPECT_EQ(form_->Timer().interval(), 40);
  for (int k = 1; k < 12; ++k) {
    form_->Button(debug_frm::WalkSlowerBTN).click();
    EXPECT_EQ(form_->SpeedLabel().text(), labels[k]);
    EXPECT_EQ(form_->Timer().interval(), intervals[k]);
  }
  form_->Button(debug_frm::WalkSlowerBTN).click();
  EXPECT_EQ(form_->SpeedLabel().text(), "Min");
  EXPECT_EQ(form_->Timer().interval(), 1000);
  // The numeric pad's plus is the faster button.
  for (int k = 10; k >= 0; --k) {
    QKeyEvent plus(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier, "+");
    QApplication::sendEvent(form_.get(), &plus);
    EXPECT_EQ(form_->SpeedLabel().text(), labels[k]);
  }
  form_->Button(debug_frm::WalkFasterBTN).click();
  EXPECT_EQ(form_->SpeedLabel().text(), "Max");
  QKeyEvent minus(QEvent::KeyPress, Qt::Key_Minus, Qt::KeypadModifier, "-");
  QApplication::sendEvent(form_.get(), &minus);
  EXPECT_EQ(form_->SpeedLabel().text(), "10");
}

TEST_F(DebugFormTest, TheSessionShowsItsWindowsByTheAssembler) {
  image_->WatchCount = 1;
  Start();
  EXPECT_TRUE(form_->Button(debug_frm::HopBTN).isVisible());
  EXPECT_TRUE(form_->Button(debug_frm::WatchBTN).isEnabled());
  EXPECT_EQ(around_.shown, (std::vector<DebugSurroundings::Window>{DebugSurroundings::kRegisters,
                                                                   DebugSurroundings::kCode,
                                                                   DebugSurroundings::kWatch}));
  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR")) {
    QApplication::processEvents();
    form_->grab().save(QString(folder) + "/debug_form.png");
  }
  form_->hide();
  QApplication::processEvents();

  around_.external = true;
  around_.shown.clear();
  image_->WatchCount = 0;
  form_->show();
  ASSERT_TRUE(Until([this] { return Idle(); }));
  EXPECT_FALSE(form_->Button(debug_frm::HopBTN).isVisible());
  EXPECT_FALSE(form_->Button(debug_frm::JogBTN).isVisible());
  EXPECT_FALSE(form_->Button(debug_frm::WatchBTN).isEnabled());
  EXPECT_EQ(around_.shown, std::vector<DebugSurroundings::Window>{DebugSurroundings::kRegisters});
}

TEST_F(DebugFormTest, ProgrammedForDebugWithCalibrationShowsTheIrcWindowFirst) {
  key_.SetIrcCalMode(1);
  form_->DebugProgrammed();
  EXPECT_TRUE(around_.irc_shown);
  ASSERT_TRUE(Until([this] { return Idle(); }));
}

}  // namespace
}  // namespace gui
