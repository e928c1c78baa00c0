#pragma once
// The "Clock" window's logic: the user sets the frequency of the key's clock output, switches
// it on and off and resets the chip, while the window keeps the link alive with status polls.
// The frequency applied is ObjectImage's clock frequency; the window keeps its own until it
// differs. The Qt window (gui::TClockForm) shows ClockPanel and forwards its events.

#include <cstdint>
#include <functional>
#include <string>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/debug/process_priority.h"
#include "build_debug/image/object_image.h"
#include "build_debug/key/key_link.h"
#include "build_debug/key/key_protocol.h"

namespace build_debug {

constexpr std::int32_t kClockMinHz = 400'000;
constexpr std::int32_t kClockMaxHz = 110'000'000;
constexpr int kClockTrackMax = 10960;  // slider steps of 10 kHz, the lowest frequency at the end
constexpr int kClockTimerMs = 500;

// "QV-Key is generating a clock signal of 4,000,000 Hz.": the status-bar text of a running
// clock.
std::string ClockSignalText(std::int32_t hz);
inline constexpr char kClockOffText[] = "QV-Key clock generator is OFF.";

// The frequency in the edit's text, MM.kkk in MHz: digits before the point are MHz, the first
// three after it 100, 10 and 1 kHz. Saturates instead of overflowing; not yet clamped.
std::int64_t ParseClockText(std::string_view text);

struct ClockPanel {
  std::string edit;
  int track = kClockTrackMax;
  bool on = false;
  bool timer_on = false;
};

class ClockControl {
 public:
  // `status` puts a text into the main window's status bar (panel 2); `close` closes the
  // window (modal result Cancel).
  ClockControl(KeyLink& link, QvKeyUnit& key, DebugProtocol& debug, ObjectImage& image,
               ProcessPriority& priority, std::function<void(const std::string&)> status);

  void Attach(std::function<void()> changed, std::function<void()> close,
              std::function<void()> okay);

  void FormShow();
  void FormHide();
  // What the edit does with a typed character: true when it takes it. `text` is the edit's
  // text before the key.
  [[nodiscard]] bool EditKeyPress(char key, const std::string& text);
  void EditExit(const std::string& text);
  void TrackBarChange(int position);
  void CheckBoxClick(bool checked);
  void ResetButtonClick();
  void TimerTick();

  std::int32_t Frequency() const { return hz_; }
  const ClockPanel& Panel() const { return panel_; }

 private:
  void Refresh();
  void Changed();

  KeyLink& link_;
  QvKeyUnit& key_;
  DebugProtocol& debug_;
  ObjectImage& image_;
  ProcessPriority& priority_;
  std::function<void(const std::string&)> status_;
  std::function<void()> changed_;
  std::function<void()> close_;
  std::function<void()> okay_;
  std::int32_t hz_ = kDefaultClockHz;
  ClockPanel panel_;
};

// The IRC window's eight labels, trim 0 to 7: the frequency of each measurement in MHz with
// two decimals, and which one was chosen.
struct IrcLabel {
  std::string text;
  bool highlighted = false;
};
inline constexpr char kIrcFailed[] = "failed";
// No trim is highlighted when every measurement failed: none was chosen.
std::array<IrcLabel, 8> IrcLabels(const std::array<std::uint16_t, 8>& counts, int trim);
// True when no trim could be measured: the chip kept the trim it was given, uncalibrated.
bool IrcCalibrationFailed(const std::array<std::uint16_t, 8>& counts);
// The IRC window's line under the labels: empty after a calibration that measured a trim.
std::string IrcCalibrationNote(const std::array<std::uint16_t, 8>& counts, int trim);

}  // namespace build_debug
