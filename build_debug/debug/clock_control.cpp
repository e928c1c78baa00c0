#include "build_debug/debug/clock_control.h"

#include <algorithm>
#include <limits>

namespace build_debug {

namespace {

constexpr int kClockOnCommand = 6;
constexpr int kClockOffCommand = 7;
constexpr std::int64_t kMHz = 1'000'000;
constexpr std::int64_t kTrackStepHz = 10'000;
// Hz of the first three digits after the point.
constexpr std::int64_t kFractionWeights[3] = {100'000, 10'000, 1'000};

std::string WithThousands(std::int64_t value) {
  std::string digits = std::to_string(value);
  std::string out;
  int count = 0;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    if (count > 0 && count % 3 == 0 && *it != '-') out.insert(out.begin(), ',');
    out.insert(out.begin(), *it);
    ++count;
  }
  return out;
}

}  // namespace

std::string ClockSignalText(std::int32_t hz) {
  return "QV-Key is generating a clock signal of " + WithThousands(hz) + " Hz.";
}

std::int64_t ParseClockText(std::string_view text) {
  // Well above the highest frequency: a longer number saturates here and is then clamped.
  constexpr std::int64_t kCeiling = std::numeric_limits<std::int32_t>::max();
  std::int64_t hz = 0;
  bool after_point = false;
  int fraction = 0;
  for (char c : text) {
    if (c == '.') {
      after_point = true;
      continue;
    }
    if (c < '0' || c > '9') continue;
    std::int64_t digit = c - '0';
    if (!after_point) {
      hz = std::min(kCeiling, hz * 10 + digit * kMHz);
    } else if (fraction < 3) {
      hz = std::min(kCeiling, hz + digit * kFractionWeights[fraction++]);
    }
  }
  return hz;
}

ClockControl::ClockControl(KeyLink& link, QvKeyUnit& key, DebugProtocol& debug, ObjectImage& image,
                           ProcessPriority& priority,
                           std::function<void(const std::string&)> status)
    : link_(link),
      key_(key),
      debug_(debug),
      image_(image),
      priority_(priority),
      status_(std::move(status)) {}

void ClockControl::Attach(std::function<void()> changed, std::function<void()> close,
                          std::function<void()> okay) {
  changed_ = std::move(changed);
  close_ = std::move(close);
  okay_ = std::move(okay);
}

void ClockControl::Changed() {
  if (changed_) changed_();
}

void ClockControl::Refresh() {
  hz_ = std::clamp(hz_, kClockMinHz, kClockMaxHz);
  std::string khz = std::to_string(1'000'000 + hz_ % kMHz).substr(1, 3);
  panel_.edit = std::to_string(hz_ / kMHz) + "." + khz;
  panel_.track = kClockTrackMax - static_cast<int>((hz_ - kClockMinHz) / kTrackStepHz);
  if (hz_ != image_.ClockHz) {
    image_.ClockHz = hz_;
    if (panel_.on) {
      std::ignore = link_.ClockCommand(kClockOnCommand);  // a refusal has shown its box
      if (status_) status_(ClockSignalText(hz_));
    } else if (status_) {
      status_(kClockOffText);
    }
  }
  Changed();
}

void ClockControl::FormShow() {
  panel_.on = true;
  hz_ = image_.ClockHz;
  image_.ClockHz = 0;  // so that the refresh applies the frequency
  Refresh();
  panel_.timer_on = true;
  priority_.Raise();
  Changed();
}

void ClockControl::FormHide() {
  panel_.timer_on = false;
  link_.CloseKey();
  priority_.Restore();
  Changed();
}

bool ClockControl::EditKeyPress(char key, const std::string& text) {
  switch (key) {
    case '\b':
    case '.': return true;
    case '\r':
    case '\n': EditExit(text); return false;
    case 'K':
    case 'k':
      if (okay_) okay_();
      return false;
    case 'O':
    case 'o': CheckBoxClick(!panel_.on); return false;
    case 'R':
    case 'r': ResetButtonClick(); return false;
    default: return key >= '0' && key <= '9';
  }
}

void ClockControl::EditExit(const std::string& text) {
  // Parsed in 64 bits: "2200" is 2.2 GHz, which must clamp to the top, not wrap around.
  hz_ = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(ParseClockText(text), kClockMinHz, kClockMaxHz));
  Refresh();
}

void ClockControl::TrackBarChange(int position) {
  hz_ = static_cast<std::int32_t>(kClockMaxHz - static_cast<std::int64_t>(position) * kTrackStepHz);
  Refresh();
}

void ClockControl::CheckBoxClick(bool checked) {
  panel_.on = checked;
  if (!link_.ClockCommand(checked ? kClockOnCommand : kClockOffCommand)) {
    Changed();
    return;
  }
  // One hertz more makes the refresh apply the frequency and say so in the status bar.
  ++hz_;
  Refresh();
}

void ClockControl::ResetButtonClick() { std::ignore = key_.ReleaseChip(); }

void ClockControl::TimerTick() {
  if (!link_.IsLinkOpen()) {
    if (close_) close_();
    return;
  }
  // The answer does not matter: the poll keeps the link alive. A failed one has reported
  // the link's error; the port is let go so that the next tick closes the window.
  if (debug_.Poll() == DebugProtocol::PollResult::Failed) link_.ClosePortHandle();
}

bool IrcCalibrationFailed(const std::array<std::uint16_t, 8>& counts) {
  for (std::uint16_t count : counts)
    if (OscillatorHz(count) != 0) return false;
  return true;
}

std::string IrcCalibrationNote(const std::array<std::uint16_t, 8>& counts, int trim) {
  if (!IrcCalibrationFailed(counts)) return {};
  return "Calibration failed: no trim could be measured. The chip was programmed with trim " +
         std::to_string(trim) + ", uncalibrated.";
}

std::array<IrcLabel, 8> IrcLabels(const std::array<std::uint16_t, 8>& counts, int trim) {
  const bool none_chosen = IrcCalibrationFailed(counts);
  std::array<IrcLabel, 8> labels;
  for (int t = 0; t < 8; ++t) {
    auto& label = labels[static_cast<std::size_t>(t)];
    std::uint32_t hz = OscillatorHz(counts[static_cast<std::size_t>(t)]);
    if (hz == 0) {
      label.text = kIrcFailed;
    } else {
      // MHz with two decimals, cut (not rounded).
      std::string cents = std::to_string(100 + (hz % 1'000'000) / 10'000).substr(1);
      label.text = std::to_string(hz / 1'000'000) + "." + cents;
    }
    label.highlighted = t == trim && !none_chosen;
  }
  return labels;
}

}  // namespace build_debug
