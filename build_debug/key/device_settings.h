#pragma once
// The logic of the device window: the two configuration words FUSE and FUSEX of the working
// image shown and edited as the window's radio groups and check boxes, the ID string, the
// E²Flash lines, and the order in which a verify compares the parts of a chip.
//
// Oscillator and brownout items are indexed as the window lists them; a value no item
// produces selects none (-1).

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "build_debug/image/hex_image.h"
#include "build_debug/image/object_image.h"
#include "services/replace_file.h"

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

enum class ImageFileStatus {
  Loaded,
  Missing,     // no such file: nothing changes
  TooLarge,    // larger than the image's text buffer
  Unreadable,  // the file could not be read whole
  HexError,    // the image's ErrorText says why
};
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

  // The image file loaded, and whether it is shown read-only (an image opened as a file to
  // look at, which may be saved only under another name).
  bool ReadOnly() const { return read_only_; }
  const std::string& ImageName() const { return image_name_; }
  void ClearReadOnlyImage();
  // Reads a device image file into the ProgrammingImage and, when it parses, makes it the
  // working image with the part size the file's program words imply. On any failure the
  // working image is left as it was.
  [[nodiscard]] ImageFileStatus LoadImageFile(const std::filesystem::path& name, bool read_only);

  const std::string& IdString() const { return id_string_; }
  const std::vector<std::string>& EeLines() const { return ee_lines_; }
  int ScrollMax() const { return scroll_max_; }

 private:
  ObjectImage& image_;
  DeviceControls controls_;
  bool guard_ = false;
  bool read_only_ = false;
  std::string image_name_;
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

// Reads the file whole into the image's text buffer, NUL-terminated, and parses it into the
// ProgrammingImage; facts, when given, receive what the parse found besides the words.
[[nodiscard]] ImageFileStatus ReadImageFile(ObjectImage& image, const std::filesystem::path& name,
                                            HexTextFacts* facts = nullptr);
// Renders the WorkingImage as hex text and replaces the file with it whole (through a link,
// the file it names); false when it was not written, and the old file is then untouched.
[[nodiscard]] bool WriteImageFile(
    ObjectImage& image, const std::filesystem::path& name,
    const workbench::FileBytesWriter& writer = workbench::WriteAllBytes);
// File names compare as the file system of the image files did: letter case ignored.
bool SameImageName(const std::string& a, const std::string& b);

// A hint that holds two variants, "for the external assembler^for the built-in one": the
// variant for the assembler in use. A hint without "^" is its own only variant.
std::string HintVariant(const std::string& hint, bool external_assembler);
// A radio group's hint "*first*second...": one piece per item, in the items' order.
std::vector<std::string> ItemHints(const std::string& group_hint);

// The part of the chip a verify found different, or nothing when all are equal. `working`
// is the window's image, `chip` the words read back from a chip of 4,096 words or not;
// `qv48_selected` is the window's device choice.
std::optional<std::string> VerifyFailure(const WordArray& working, const WordArray& chip,
                                         bool chip_4k, bool qv48_selected);

}  // namespace build_debug
