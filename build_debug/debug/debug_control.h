#pragma once
// The control panel of a debug session (the "Debug" window's logic): it starts the session
// when the window is shown after programming for debug, drives the chip with the debug
// packets from its buttons and a timer, shows whether the chip runs, and ends the session
// when the window is hidden. The Qt window (gui::TDebugFRM) shows DebugPanel and forwards
// clicks, keys, the timer and its own showing and hiding.
//
// Button masks: bit 6 Hop, 5 Jog, 4 Step, 3 Walk, 2 Run, 1 Poll, 0 Stop.

#include <cstdint>
#include <functional>
#include <string>

#include "build_debug/debug/debug_layout.h"
#include "build_debug/debug/debug_protocol.h"
#include "build_debug/image/object_image.h"
#include "build_debug/key/key_link.h"
#include "build_debug/key/key_protocol.h"

namespace workbench {
class MessageStrings;
class PlacedWindow;
class RegistrySettings;
}  // namespace workbench

namespace build_debug {

enum DebugButton : int {
  kButtonStop = 1 << 0,
  kButtonPoll = 1 << 1,
  kButtonRun = 1 << 2,
  kButtonWalk = 1 << 3,
  kButtonStep = 1 << 4,
  kButtonJog = 1 << 5,
  kButtonHop = 1 << 6,
};
constexpr int kIdleMask = kButtonHop | kButtonJog | kButtonStep | kButtonWalk | kButtonRun;

// The twelve speeds of the session's timer, 40 ms ("Max") to 1000 ms ("Min").
constexpr int kSpeedSteps = 12;
int SpeedInterval(int step);
std::string SpeedLabel(int step);

// What the debug window shows.
struct DebugPanel {
  int mask = 0;
  std::string status;
  int speed_step = 0;
  std::string speed_text;
  int interval = 40;  // ms
  bool timer_on = false;
  bool hop_jog_visible = true;
  bool watch_enabled = false;
};

// The windows around the debugger (register, code, list and watch windows) and the main
// window, as the session reaches them. Those not built are left as they are.
class DebugSurroundings {
 public:
  enum Window { kRegisters, kCode, kList, kWatch };
  virtual ~DebugSurroundings() = default;
  // The IDE builds with the external assembler (its listing is the list window's).
  virtual bool UsesExternalAssembler() const = 0;
  // The listing line of a program address, by the assembler that built the program.
  virtual int ListingLine(int pc) const = 0;
  // The list window loads the source's listing for a session; false when it cannot.
  virtual bool LoadListing() { return true; }
  // Whether a listing that does not load is told to the user (an IDE flag set elsewhere).
  virtual bool TellListingFailure() const { return false; }
  virtual void ListPrepareDebugView() {}
  virtual void ListLeaveDebug() {}
  virtual void Show(Window, bool /*full_redraw*/) {}
  virtual void Hide(Window) {}
  virtual void BringToFront() {}
  // The placed window and its placement's name, or null when it is not built.
  virtual workbench::PlacedWindow* Placed(Window) { return nullptr; }
  virtual std::string PlacementName(Window) const { return {}; }
  // Text Bigger, Text Smaller, the Run menu, the editing commands and the clock tool button.
  virtual void EnableMainCommands(bool enabled) = 0;
  // The IDE was started to debug only ("/d"): the main window closes with the session.
  virtual bool DebugOnly() const = 0;
  virtual void CloseMainWindow() = 0;
  // The IRC window, modally, before a session that calibrated the oscillator.
  virtual void ShowIrcWindow() {}
  // The client width the code or list window asks for to show its lines whole; 0: none.
  virtual int WantedWidth(Window) const { return 0; }
  // The part of the screen that windows may take.
  virtual LayoutRect ScreenArea() const { return {0, 0, 1280, 1024}; }
  // The window manager's frame around each of the windows.
  virtual FrameMargins WindowFrame() const { return {}; }
};

class DebugControl : public DebugWindowHooks {
 public:
  inline static const char kPlacement[] = "DebugWindow";
  inline static const char kUseRegPositions[] = "DebugWindow\\UseRegPositions";
  // The windows the kept places were arranged for (ArrangedSet).
  inline static const char kArrangedWindows[] = "DebugWindow\\ArrangedWindows";

  DebugControl(DebugProtocol& debug, KeyLink& link, QvKeyUnit& key, ObjectImage& image,
               const workbench::MessageStrings& messages, workbench::RegistrySettings& settings,
               KeyNotifications& notifications, DebugSurroundings& surroundings);
  ~DebugControl() override;
  DebugControl(const DebugControl&) = delete;
  DebugControl& operator=(const DebugControl&) = delete;

  // The window: `hide` hides it (its hiding calls FormHide), `changed` redraws the panel,
  // `placed` is the window itself for its placement and arrangement.
  void Attach(std::function<void()> hide, std::function<void()> changed,
              workbench::PlacedWindow* placed);

  void HopBTNClick();
  void JogBTNClick();
  void StepBTNClick();
  void WalkBTNClick();
  void RunBTNClick();
  void PollBTNClick();
  void StopBTNClick();
  void ResetBTNClick();
  void RegistersBTNClick();
  void WatchBTNClick();
  void CodeBTNClick();
  void QuitBTNClick();
  void ResetPosBTNClick();
  // Both speed buttons: the slower one has the tag 1, the faster one -1.
  void WalkSpeedClick(int tag);
  // Numeric-pad minus and plus.
  void NumpadMinus() { WalkSpeedClick(1); }
  void NumpadPlus() { WalkSpeedClick(-1); }
  void TimerTick();
  // WM_DEBUG_PROGRAMMED: programming for debug is done; the window is to be shown.
  void DebugProgrammed(const std::function<void()>& show);
  void FormCreate();
  void FormDestroy();
  void FormShow();
  void FormHide();
  void FormActivate();

  void StopDevice();
  [[nodiscard]] bool ResetChip();
  void ArrangeDebugWindows();

  // DebugWindowHooks.
  void HideDebugWindow() override;
  void UpdateButtons() override;

  const DebugPanel& Panel() const { return panel_; }
  bool Hop() const { return hop_; }
  bool Continuous() const { return continuous_; }
  bool InSession() const { return in_session_; }

 private:
  // The session's windows as bits: 1 registers, 2 code, 4 list, 8 watch.
  int ArrangedSet() const;
  void SetMask(int mask);
  void Changed();
  bool Resend();

  DebugProtocol& debug_;
  KeyLink& link_;
  QvKeyUnit& key_;
  ObjectImage& image_;
  const workbench::MessageStrings& messages_;
  workbench::RegistrySettings& settings_;
  KeyNotifications& notify_;
  DebugSurroundings& around_;
  std::function<void()> hide_;
  std::function<void()> changed_;
  workbench::PlacedWindow* placed_ = nullptr;

  DebugPanel panel_;
  bool hop_ = false;
  bool continuous_ = false;
  int last_line_ = -1;
  bool in_session_ = false;
};

}  // namespace build_debug
