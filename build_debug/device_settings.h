#pragma once
// The logic of the device window: the two configuration words FUSE and FUSEX of the working
// image shown and edited as the window's radio groups and check boxes, the ID string, the
// E²Flash lines, and the order in which a verify compares the parts of a chip.
//
// Oscillator and brownout items are indexed as the window lists them; a value no item
// produces selects none (-1).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "build_debug/object_image.h"

namespace build_debug {

// The window's controls. Check boxes are true when checked.
struct DeviceControls {
  int device = 0;       // 0 "QV18", 1 "QV28", 2 "QV48/52"
  int oscillator = 0;   // 0..11, -1 none
  int brownout = 0;     // 0 "Off", 1 "4.2V", 2 "2.6V", 3 "2.2V"
  int reset_timer = 0;  // 0 "18 ms", 1 "960 ms", 2 "60 ms", 3 "60 us"; -1 none
  bool turbo = false, stack_option = false, carry = false, sync = false, watchdog = false,
       protect = false, sleep_clock = false, drive = false, feedback = false;
  bool drive_enabled = false, feedback_enabled = false, turbo_enabled = true,
       stack_option_enabled = true, sleep_clock_enabled = false, reset_timer_enabled = false;
};

inline constexpr int kEeLineCount = 512;
inline constexpr int kEeVisibleLines = 8;

class DeviceSettings {
 public:
  explicit DeviceSettings(ObjectImage& image) : image_(image) {}

  DeviceControls& Controls() { return controls_; }
  const DeviceControls& Controls() const { return controls_; }

  // Controls -> the image's part size, FUSE and FUSEX, the enables and the scroll range.
  // Ignored while ShowImage sets the controls.
  void UpdateSettings();
  // The image -> the controls, the ID string and the E²Flash lines (scroll position 0).
  void ShowImage();

  const std::string& IdString() const { return id_string_; }
  const std::vector<std::string>& EeLines() const { return ee_lines_; }
  int ScrollMax() const { return scroll_max_; }

 private:
  ObjectImage& image_;
  DeviceControls controls_;
  bool guard_ = false;
  bool last_4k_ = false;
  bool saved_turbo_ = false;
  bool saved_stack_option_ = false;
  int scroll_max_ = 248;
  std::string id_string_;
  std::vector<std::string> ee_lines_;
};

// The 8 ID characters: the low nibble of each even ID word's low byte above the low nibble
// of the next word; a 0xFF character ends the string.
std::string IdStringOf(const WordArray& words);
// "000- 000 000 000 000 000 000 000 000" for the words 8*line .. 8*line+7.
std::string EeLineOf(const WordArray& words, int line);
// The program words a 2,048-word part holds, by its FUSEX memory bits.
int ProgramWordsOf2K(std::uint16_t fusex);

// The part of the chip a verify found different, or nothing when all are equal. `working`
// is the window's image, `chip` the words read back from a chip of 4,096 words or not;
// `qv48_selected` is the window's device choice.
std::optional<std::string> VerifyFailure(const WordArray& working, const WordArray& chip,
                                         bool chip_4k, bool qv48_selected);

}  // namespace build_debug
