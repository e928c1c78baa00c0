#include "build_debug/debug/debug_control.h"

#include <algorithm>
#include <cmath>

#include "build_debug/debug/debug_layout.h"
#include "platform/message_box.h"
#include "resources/string_ids.h"
#include "services/message_strings.h"
#include "services/registry_settings.h"

namespace build_debug {

namespace {

namespace ids = string_ids::DebugUnit;

constexpr char kSleeping[] = "Sleeping";
constexpr char kRunning[] = "Running";
constexpr char kIdle[] = "Idle";
constexpr int kSlowestStep = kSpeedSteps - 1;
constexpr double kFastestMs = 40;
constexpr double kSlowestMs = 1000;
// StopDevice: command 7 with one byte 0, two on the 4,096-word parts.
constexpr std::uint8_t kPacketCommand = 7;

}  // namespace

int SpeedInterval(int step) {
  // Logarithmic steps from 40 ms to 1000 ms.
  double exponent = std::log10(kFastestMs) +
                    step * (std::log10(kSlowestMs) - std::log10(kFastestMs)) / kSlowestStep;
  return static_cast<int>(std::lround(std::pow(10.0, exponent)));
}

std::string SpeedLabel(int step) {
  if (step == 0) return "Max";
  if (step == kSlowestStep) return "Min";
  return std::to_string(kSlowestStep - step);
}

DebugControl::DebugControl(DebugProtocol& debug, KeyLink& link, QvKeyUnit& key, ObjectImage& image,
                           const workbench::MessageStrings& messages,
                           workbench::RegistrySettings& settings, KeyNotifications& notifications,
                           DebugSurroundings& surroundings)
    : debug_(debug),
      link_(link),
      key_(key),
      image_(image),
      messages_(messages),
      settings_(settings),
      notify_(notifications),
      around_(surroundings) {
  debug_.SetDebugWindow(this);
  panel_.speed_text = SpeedLabel(0);
}

DebugControl::~DebugControl() { debug_.SetDebugWindow(nullptr); }

void DebugControl::Attach(std::function<void()> hide, std::function<void()> changed,
                          workbench::PlacedWindow* placed) {
  hide_ = std::move(hide);
  changed_ = std::move(changed);
  placed_ = placed;
}

void DebugControl::Changed() {
  if (changed_) changed_();
}

void DebugControl::SetMask(int mask) {
  panel_.mask = mask;
  Changed();
}

void DebugControl::UpdateButtons() {
  SetMask(debug_.Live().BreakAddress == AddressNone ? kIdleMask : kIdleMask | kButtonPoll);
}

void DebugControl::HideDebugWindow() {
  if (hide_) hide_();
}

bool DebugControl::Resend() {
  // A packet that does not go out shows in the next poll, which ends the session.
  return debug_.SendDebugResume(debug_.LastAction());
}

void DebugControl::HopBTNClick() {
  SetMask(0);
  std::ignore = debug_.SendDebugResume(kActionStep);
  hop_ = true;
  last_line_ = around_.ListingLine(debug_.Live().PC);
}

void DebugControl::JogBTNClick() {
  SetMask(kButtonStop);
  std::ignore = debug_.SendDebugResume(kActionStep);
  hop_ = true;
  last_line_ = image_.AddressLine[static_cast<std::size_t>(debug_.Live().PC & (kProgramWords - 1))];
  continuous_ = true;
}

void DebugControl::StepBTNClick() {
  SetMask(0);
  std::ignore = debug_.SendDebugResume(kActionStep);
  hop_ = false;
}

void DebugControl::WalkBTNClick() {
  SetMask(kButtonStop);
  std::ignore = debug_.SendDebugResume(kActionStep);
  hop_ = false;
  continuous_ = true;
}

void DebugControl::RunBTNClick() {
  hop_ = false;
  if (debug_.Live().BreakAddress == AddressNone) {
    SetMask(kButtonPoll | kButtonStop);
    std::ignore = debug_.SendDebugResume(kActionRunFree);
  } else {
    SetMask(0);
    std::ignore = debug_.SendDebugResume(kActionRunToBreak);
  }
}

void DebugControl::PollBTNClick() {
  hop_ = false;
  if (debug_.Live().BreakAddress == AddressNone) {
    SetMask(kButtonPoll | kButtonStop);
    StopDevice();
  } else {
    SetMask(kButtonStop);
    std::ignore = debug_.SendDebugResume(kActionRunToBreak);
  }
  continuous_ = true;
}

void DebugControl::StopBTNClick() {
  SetMask(0);
  if (debug_.LastAction() == kActionRunFree) StopDevice();
  continuous_ = false;
}

void DebugControl::ResetBTNClick() {
  if (ResetChip() && around_.UsesExternalAssembler()) around_.ListPrepareDebugView();
}

void DebugControl::RegistersBTNClick() { around_.Show(DebugSurroundings::kRegisters, true); }
void DebugControl::WatchBTNClick() { around_.Show(DebugSurroundings::kWatch, true); }

void DebugControl::CodeBTNClick() {
  around_.Show(
      around_.UsesExternalAssembler() ? DebugSurroundings::kList : DebugSurroundings::kCode, true);
}

void DebugControl::QuitBTNClick() { HideDebugWindow(); }

void DebugControl::ResetPosBTNClick() {
  if (messages_.YesNoBoxById(ids::SCU_RESET_POSITIONS, ids::SCU_RESET_POSITIONS_CAPTION) !=
      platform::kAnswerYes)
    return;
  std::ignore = settings_.WriteRegInt(kUseRegPositions, 0);
  ArrangeDebugWindows();
}

void DebugControl::WalkSpeedClick(int tag) {
  int step = tag + panel_.speed_step;
  if (step < 0 || step > kSlowestStep) return;
  panel_.speed_step = step;
  panel_.speed_text = SpeedLabel(step);
  panel_.interval = SpeedInterval(step);
  Changed();
}

void DebugControl::StopDevice() {
  link_.SendScrambled(kPacketCommand);
  if (image_.Device4K) {
    link_.SendScrambled(2);
    link_.SendScrambled(0);
    link_.SendScrambled(0);
  } else {
    link_.SendScrambled(1);
    link_.SendScrambled(0);
  }
  if (!link_.FlushTx()) link_.ReportLinkError();
}

bool DebugControl::ResetChip() {
  hop_ = false;
  continuous_ = false;
  if (debug_.FreshData()) {
    debug_.Live().PC = (debug_.MemoryWords() - 1) & 0xF77;
    std::ignore = debug_.SendDebugResume(kActionReset);
  }
  if (!link_.ClockCommand(6)) return false;
  std::ignore = key_.ReleaseChip();  // a failure has shown its box
  return true;
}

void DebugControl::TimerTick() {
  if (!link_.IsLinkOpen()) {
    panel_.timer_on = false;
    Changed();
    HideDebugWindow();
    return;
  }
  // The second answer counts.
  if (debug_.Poll() == DebugProtocol::PollResult::Failed) return;
  auto poll = debug_.Poll();
  if (poll == DebugProtocol::PollResult::Failed) return;  // the session has ended
  if (poll == DebugProtocol::PollResult::Running) {
    if (!debug_.FreshData()) {
      panel_.status = debug_.LastStatus() == kStatusSleeping ? kSleeping : kRunning;
      Changed();
    }
    return;
  }
  // A stopped chip whose state is read needs nothing more: reading it again each tick would
  // take the change marks away after one tick.
  if (debug_.FreshData()) return;
  panel_.status = kIdle;
  Changed();
  if (!debug_.QVU_GetDebugData()) {
    debug_.EndSessionOnLinkFailure();
    return;
  }
  const auto& live = debug_.Live();
  if (live.PC == live.BreakAddress) {
    // Only Poll goes on from the breakpoint: a run to the breakpoint sent again from there
    // would set the chip running at once, so a Run would never stop at it.
    bool polling = continuous_ && debug_.LastAction() == kActionRunToBreak;
    hop_ = false;
    continuous_ = polling;
    debug_.RedrawDebugViews();
    if (polling) {
      std::ignore = Resend();
    } else {
      UpdateButtons();
    }
    return;
  }
  int line = around_.ListingLine(live.PC);
  if (line == last_line_ && hop_) {
    std::ignore = Resend();  // still inside the line: step on
    return;
  }
  last_line_ = line;
  debug_.RedrawDebugViews();
  if (continuous_) {
    std::ignore = Resend();
  } else {
    UpdateButtons();
  }
}

void DebugControl::DebugProgrammed(const std::function<void()>& show) {
  if (key_.IsCalibrating()) around_.ShowIrcWindow();
  show();
}

void DebugControl::FormCreate() {
  if (placed_) std::ignore = settings_.RestoreFormPlacement(kPlacement, *placed_);
  // Step 0, as a slower and a faster click leave it.
  WalkSpeedClick(1);
  WalkSpeedClick(-1);
}

void DebugControl::FormDestroy() {
  if (placed_) std::ignore = settings_.SaveFormPlacement(kPlacement, *placed_);
}

void DebugControl::FormShow() {
  in_session_ = true;
  const bool external = around_.UsesExternalAssembler();
  if (external && !around_.LoadListing()) {
    if (around_.TellListingFailure())
      std::ignore = messages_.MsgBoxById(ids::SCU_LST_LOAD_FAILED, ids::SCU_LST_LOAD_CAPTION);
    HideDebugWindow();
    return;
  }
  panel_.hop_jog_visible = !external;
  panel_.watch_enabled = image_.WatchCount > 0;
  panel_.status.clear();
  hop_ = continuous_ = false;
  last_line_ = -1;
  SetMask(0);
  key_.UpdateMemorySize();
  around_.Show(DebugSurroundings::kRegisters, true);
  if (!external) around_.Show(DebugSurroundings::kCode, true);
  if (panel_.watch_enabled) around_.Show(DebugSurroundings::kWatch, true);
  ArrangeDebugWindows();
  around_.EnableMainCommands(false);

  debug_.SetLastStatus(0);
  debug_.SetFreshData(false);
  debug_.Live().BreakAddress = image_.BreakAddress;
  debug_.SetFirstRefresh(true);
  if (!link_.OpenKey()) {
    // Without this the window would stand there with every button off and no word why.
    link_.ReportLinkError();
    return;
  }
  if (ResetChip()) {
    panel_.timer_on = true;
    Changed();
  }
}

void DebugControl::FormHide() {
  around_.Hide(DebugSurroundings::kRegisters);
  around_.Hide(DebugSurroundings::kCode);
  around_.Hide(DebugSurroundings::kWatch);
  panel_.timer_on = false;
  Changed();
  if (link_.IsLinkOpen()) {
    // The port is let go also when the clock does not stop: left open, the next programming
    // run would wait for it and give up.
    if (link_.ClockCommand(7)) {
      link_.CloseKey();
    } else {
      link_.ClosePortHandle();
    }
  }
  around_.EnableMainCommands(true);
  around_.ListLeaveDebug();
  in_session_ = false;
  notify_.KeyNotify(kKeyDebugHidden, true);
  if (around_.DebugOnly()) around_.CloseMainWindow();
}

void DebugControl::FormActivate() { around_.BringToFront(); }

int DebugControl::ArrangedSet() const {
  return 1 | (around_.UsesExternalAssembler() ? 4 : 2) | (panel_.watch_enabled ? 8 : 0);
}

void DebugControl::ArrangeDebugWindows() {
  std::int32_t keep = 0;
  std::ignore = settings_.ReadRegInt(kUseRegPositions, keep);
  // Kept places are those of the windows they were arranged for: a window that had none (the
  // watch window of a program that now has watch entries) would open over the others. Places
  // kept before the set was noted stay.
  std::int32_t arranged = ArrangedSet();
  std::ignore = settings_.ReadRegInt(kArrangedWindows, arranged);
  if ((keep != 0 && arranged == ArrangedSet()) || !placed_) return;
  using W = DebugSurroundings;
  auto* registers = around_.Placed(W::kRegisters);
  auto* watch = around_.Placed(W::kWatch);
  DebugLayoutSizes sizes;
  const LayoutRect screen = around_.ScreenArea();
  sizes.screen_left = screen.left;
  sizes.screen_top = screen.top;
  sizes.screen_width = screen.width;
  sizes.screen_height = screen.height;
  sizes.debug_width = placed_->Width();
  sizes.debug_height = placed_->Height();
  sizes.register_width = registers ? registers->Width() : 0;
  sizes.register_height = registers ? registers->Height() : 0;
  sizes.watch_width = watch ? watch->Width() : 0;
  sizes.watch_height = watch ? watch->Height() : 0;
  sizes.watch_shown = watch && panel_.watch_enabled;
  sizes.code_width = around_.WantedWidth(around_.UsesExternalAssembler() ? W::kList : W::kCode);
  sizes.frame = around_.WindowFrame();
  const DebugLayout layout = ArrangeDebugLayout(sizes);
  auto place = [](workbench::PlacedWindow& window, const LayoutRect& r) {
    window.SetBounds(r.left, r.top, r.width, r.height);
  };
  place(*placed_, layout.debug);
  if (registers) place(*registers, layout.registers);
  for (auto below : {W::kCode, W::kList})
    if (auto* window = around_.Placed(below)) place(*window, layout.code);
  if (watch) place(*watch, layout.watch);
  std::ignore = settings_.WriteRegInt(kUseRegPositions, 1);
  std::ignore = settings_.WriteRegInt(kArrangedWindows, ArrangedSet());
  std::ignore = settings_.SaveFormPlacement(kPlacement, *placed_);
  for (auto which : {W::kRegisters, W::kCode, W::kList, W::kWatch})
    if (auto* window = around_.Placed(which))
      std::ignore = settings_.SaveFormPlacement(around_.PlacementName(which), *window);
}

}  // namespace build_debug
