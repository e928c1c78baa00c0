#include "build_debug/key/device_settings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <system_error>

#include "build_debug/image/hex_image.h"
#include "build_debug/key/key_protocol.h"
#include "services/replace_file.h"

namespace build_debug {
namespace {

// Item values of the window's groups, in the order the items are listed.
constexpr std::array<std::uint16_t, 12> kOscillator2K = {0xE2, 0xE1, 0xE0, 0xC3, 0xC2, 0xC1,
                                                         0xC0, 0xE3, 0x03, 0x23, 0x43, 0x63};
constexpr std::array<std::uint16_t, 12> kOscillator4K = {0xF2, 0xF1, 0xF0, 0xD3, 0xD2, 0xD1,
                                                         0xD0, 0xF3, 0x13, 0x33, 0x53, 0x73};
constexpr std::array<std::uint16_t, 2> kDevice2K = {0x003, 0x403};
constexpr std::array<std::uint16_t, 4> kBrownout2K = {0x30, 0x00, 0x10, 0x20};
constexpr std::array<std::uint16_t, 4> kBrownout4K = {0x30, 0x00, 0x20, 0x10};
constexpr std::array<std::uint16_t, 4> kResetTimer4K = {0x3, 0x1, 0x0, 0x2};
// Item index by the value's bits, the inverse of the tables above.
constexpr std::array<int, 4> kBrownoutItem2K = {1, 2, 3, 0};
constexpr std::array<int, 4> kBrownoutItem4K = {1, 3, 2, 0};
constexpr std::array<int, 4> kResetTimerItem4K = {2, 1, 3, 0};

constexpr int kCrystalItems = 7;  // items 0..6 drive a crystal: feedback and drive apply

int Bit(bool on) { return on ? 1 : 0; }

// The item whose value the FUSE bits select. A crystal item also matches with its
// feedback bit, or (4,096-word parts) its drive bit, cleared.
int OscillatorItem(const std::array<std::uint16_t, 12>& values, std::uint16_t bits,
                   std::uint16_t optional_bits) {
  for (int i = 0; i < 12; ++i)
    if (values[i] == bits) return i;
  for (int i = 0; i < kCrystalItems; ++i)
    if ((values[i] | optional_bits) == (bits | optional_bits)) return i;
  return -1;
}

}  // namespace

int ProgramWordsOf2K(std::uint16_t fusex) { return MemorySizeOf(fusex, false).words; }

std::string IdStringOf(const WordArray& words) {
  std::string id;
  for (int i = 0; i < 8; ++i) {
    const auto c = static_cast<unsigned char>(((words[kIdWordsIndex + 2 * i] & 0xFF) << 4) |
                                              (words[kIdWordsIndex + 2 * i + 1] & 0x0F));
    if (c == 0xFF) break;
    id += static_cast<char>(c);
  }
  return id;
}

std::string EeLineOf(const WordArray& words, int line) {
  char text[8];
  std::snprintf(text, sizeof text, "%03X- ", (8 * line) & 0xFFF);
  std::string result = text;
  for (int i = 0; i < 8; ++i) {
    std::snprintf(text, sizeof text, i < 7 ? "%03X " : "%03X",
                  words[8 * line + i] & kInstructionBits);
    result += text;
  }
  return result;
}

void DeviceSettings::UpdateSettings() {
  if (guard_) return;
  auto& c = controls_;
  const bool is4k = c.device > 1;
  image_.Device4K = is4k ? 1 : 0;

  const bool crystal = c.oscillator >= 0 && c.oscillator < kCrystalItems;
  c.drive_enabled = crystal && is4k;
  c.feedback_enabled = crystal;
  c.turbo_enabled = c.stack_option_enabled = !is4k;
  c.sleep_clock_enabled = c.reset_timer_enabled = is4k;

  if (is4k && !last_4k_) {
    saved_turbo_ = c.turbo;
    saved_stack_option_ = c.stack_option;
    c.turbo = c.stack_option = true;
  } else if (!is4k && last_4k_) {
    c.turbo = saved_turbo_;
    c.stack_option = saved_stack_option_;
  }
  last_4k_ = is4k;

  const int feedback_off = Bit(!c.feedback && c.feedback_enabled);
  const auto item = [](const auto& table, int index) { return index >= 0 ? table[index] : 0; };
  int fuse = 0;
  int fusex = 0;
  if (!is4k) {
    fuse = item(kOscillator2K, c.oscillator) + 4 * Bit(c.watchdog) + 8 * Bit(!c.protect) +
           0x400 * Bit(!c.sync) + 0x800 * Bit(!c.turbo) - 0x40 * feedback_off + 0x310;
    fusex = kDevice2K[c.device] + item(kBrownout2K, c.brownout) + 0x40 * Bit(!c.carry) +
            0x80 * Bit(!c.stack_option) + 0xB0C;
  } else {
    fuse = item(kOscillator4K, c.oscillator) + 4 * Bit(c.watchdog) + 8 * Bit(!c.protect) +
           0x400 * Bit(!c.sync) - 0x40 * feedback_off - 0x10 * Bit(!c.drive && c.drive_enabled) +
           0xB00;
    fusex = item(kResetTimer4K, c.reset_timer) + item(kBrownout4K, c.brownout) +
            0x40 * Bit(!c.carry) + 0x400 * Bit(!c.sleep_clock) + 0xB8C;
  }
  image_.WorkingImage[kFuseIndex] = static_cast<std::uint16_t>(fuse);
  image_.WorkingImage[kFusexIndex] = static_cast<std::uint16_t>(fusex);
  scroll_max_ = is4k ? 504 : ProgramWordsOf2K(static_cast<std::uint16_t>(fusex)) / 8 - 8;
}

void DeviceSettings::ShowImage() {
  guard_ = true;
  auto& c = controls_;
  const std::uint16_t fuse = image_.WorkingImage[kFuseIndex];
  const std::uint16_t fusex = image_.WorkingImage[kFusexIndex];
  if (image_.Device4K) {
    c.device = 2;
    c.brownout = kBrownoutItem4K[(fusex >> 4) & 3];
    c.oscillator = OscillatorItem(kOscillator4K, fuse & 0xF3, 0x50);
    c.drive = fuse & 0x10;
    c.feedback = fuse & 0x40;
    c.reset_timer = kResetTimerItem4K[fusex & 3];
    c.turbo = c.stack_option = true;
    c.sleep_clock = !(fusex & kFusexNoSleepClockBit);
  } else {
    c.device = (fusex & kFusexQv28Bit) ? 1 : 0;
    c.oscillator = OscillatorItem(kOscillator2K, fuse & 0xE3, 0x40);
    c.drive = true;
    c.feedback = fuse & 0x40;
    c.brownout = kBrownoutItem2K[(fusex >> 4) & 3];
    c.reset_timer = -1;
    c.turbo = !(fuse & kFuseTurboOffBit);
    c.stack_option = !(fusex & 0x80);
  }
  const bool crystal = c.oscillator >= 0 && c.oscillator < kCrystalItems;
  c.drive_enabled = crystal && image_.Device4K;
  c.feedback_enabled = crystal;
  c.carry = !(fusex & 0x40);
  c.sync = !(fuse & 0x400);
  c.watchdog = fuse & kFuseWatchdogBit;
  c.protect = !(fuse & 0x08);

  id_string_ = IdStringOf(image_.WorkingImage);
  ee_lines_.clear();
  for (int line = 0; line < kEeLineCount; ++line)
    ee_lines_.push_back(EeLineOf(image_.WorkingImage, line));

  saved_turbo_ = c.turbo;
  saved_stack_option_ = c.stack_option;
  last_4k_ = image_.Device4K;
  guard_ = false;
  UpdateSettings();
}

void DeviceSettings::ClearReadOnlyImage() {
  read_only_ = false;
  image_name_.clear();
}

ImageFileStatus DeviceSettings::LoadImageFile(const std::filesystem::path& name, bool read_only) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(name, error)) return ImageFileStatus::Missing;
  ClearReadOnlyImage();
  HexTextFacts facts;
  const ImageFileStatus status = ReadImageFile(image_, name, &facts);
  if (status != ImageFileStatus::Loaded) return status;
  read_only_ = read_only;
  image_name_ = name.string();
  CopyProgrammingToWorking(image_);
  // Not the last word alone: an image whose last words are empty would lose the words
  // before them at its next save as a 2,048-word part.
  image_.Device4K = ImageIs4K(facts) ? 1 : 0;
  ShowImage();
  return ImageFileStatus::Loaded;
}

ImageFileStatus ReadImageFile(ObjectImage& image, const std::filesystem::path& name,
                              HexTextFacts* facts) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(name, error);
  if (error) return ImageFileStatus::Unreadable;
  // One byte stays for the NUL that ends the text.
  if (!image.FileBuffer || size >= static_cast<std::uintmax_t>(image.FileBufferSize))
    return ImageFileStatus::TooLarge;
  std::ifstream file(name, std::ios::binary);
  if (!file) return ImageFileStatus::Unreadable;
  const auto length = static_cast<std::streamsize>(size);
  if (!file.read(image.FileBuffer, length) || file.gcount() != length)
    return ImageFileStatus::Unreadable;
  image.FileBuffer[size] = '\0';
  image.FileBufferLength = static_cast<std::int32_t>(size);
  // The parse fills the ProgrammingImage; the working image changes only after it succeeded.
  const HexTextFacts read = ReadHexText(image);
  if (facts) *facts = read;
  return image.Failed ? ImageFileStatus::HexError : ImageFileStatus::Loaded;
}

bool WriteImageFile(ObjectImage& image, const std::filesystem::path& name,
                    const workbench::FileBytesWriter& writer) {
  WriteHexText(image);
  if (image.FileBufferLength <= 0) return false;
  std::string reason;
  return workbench::ReplaceFileContents(
      name.string(),
      std::string_view(image.FileBuffer, static_cast<std::size_t>(image.FileBufferLength)), reason,
      writer);
}

bool SameImageName(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

std::string HintVariant(const std::string& hint, bool external_assembler) {
  const std::size_t caret = hint.find('^');
  if (caret == std::string::npos) return hint;
  return external_assembler ? hint.substr(0, caret) : hint.substr(caret + 1);
}

std::vector<std::string> ItemHints(const std::string& group_hint) {
  std::vector<std::string> pieces;
  std::size_t at = group_hint.find('*');
  while (at != std::string::npos) {
    const std::size_t next = group_hint.find('*', at + 1);
    pieces.push_back(group_hint.substr(at + 1, next == std::string::npos ? next : next - at - 1));
    at = next;
  }
  return pieces;
}

std::optional<std::string> VerifyFailure(const WordArray& a, const WordArray& b, bool chip_4k,
                                         bool qv48_selected) {
  const auto same = [&](int index, int mask) { return (a[index] & mask) == (b[index] & mask); };
  if (chip_4k ? !qv48_selected : !same(kFusexIndex, 0x403)) return "Device";
  if (!same(kFuseIndex, chip_4k ? 0xF3 : 0xE3)) return "Oscillator";
  if (chip_4k ? !(same(kFusexIndex, 0x440) && same(kFuseIndex, 0x40C))
              : !(same(kFusexIndex, 0xC0) && same(kFuseIndex, 0xC0C)))
    return "Options";
  if (chip_4k && !same(kFusexIndex, 3)) return "Reset Timer";
  if (!same(kFusexIndex, 0x30)) return "Brownout";
  for (int i = 0; i < kIdWordCount; ++i)
    if (a[kIdWordsIndex + i] != b[kIdWordsIndex + i]) return "ID";
  const int words = chip_4k ? kProgramWords : ProgramWordsOf2K(a[kFusexIndex]);
  for (int i = 0; i < words; ++i)
    if (!same(i, kInstructionBits)) return "E²Flash";
  return std::nullopt;
}

}  // namespace build_debug
