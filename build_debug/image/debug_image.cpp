#include "build_debug/image/debug_image.h"

#include <algorithm>

#include "build_debug/image/debug_monitor.h"
#include "instruction_set/mnemonic_rows.h"
#include "instruction_set/words.h"

namespace build_debug {
namespace {

constexpr int kFirstPageEnd = 0x1FF;
constexpr std::uint16_t kNop = instruction_set::NativeTemplate("NOP");
// The first page's free pair: PAGE 7 (the last page, whatever the part's size), then a jump
// into the monitor.
constexpr std::uint16_t kEntryPage = instruction_set::PageNumberWord(7);
constexpr std::uint16_t kEntryJump =
    instruction_set::JumpWord(MonitorAddress(kProgramWords, kEntrySlot));
// A debug run keeps these FUSE bits of the program and sets the oscillator bits to the
// debug setting (bits 0-1 and 5-7; the drive bit 4 too on the 4,096-word parts).
constexpr std::uint16_t kDebugFuseKept2K = 0x0F1C;
constexpr std::uint16_t kDebugFuseKept4K = 0x0F0C;
constexpr std::uint16_t kDebugFuseOscillator = 0x00A0;

void Fail(ObjectImage& image, const char* text) { image.ErrorText = text; }

// The literal field of a monitor word; the opcode bits stay.
void PatchLowByte(std::uint16_t* monitor, int index, unsigned value) {
  monitor[index] = static_cast<std::uint16_t>((monitor[index] & 0xF00) | (value & 0xFF));
}

// The delay loops of the monitor are timed in instruction cycles; these constants fit them to
// the chip's clock. Integer arithmetic, unsigned as the key's firmware expects.
void PatchDelays(std::uint16_t* monitor, std::uint32_t f, bool turbo) {
  std::uint32_t per_step = turbo ? 10'000 : 40'000;
  std::uint32_t high_speed_from = turbo ? 10'000'000 : 30'000'000;
  if (turbo) std::copy(DebugMonitorTurbo.begin(), DebugMonitorTurbo.end(), monitor + kTurboFirst);
  if (f >= high_speed_from) {
    std::copy(DebugMonitorHighSpeed.begin(), DebugMonitorHighSpeed.end(),
              monitor + kHighSpeedFirst);
    std::uint32_t q = turbo ? (f / per_step - 14) / 6 : (f / per_step - 13) / 5;
    std::uint32_t inverted = ~q;
    PatchLowByte(monitor, kHighSpeedCountLow, inverted & 0xFF);
    PatchLowByte(monitor, kHighSpeedCountHigh, (inverted >> 8) & 0xFF);
  } else {
    std::uint32_t d = turbo ? f / per_step - 10 : f / per_step - 9;
    std::uint32_t divisor = turbo ? 4 : 3;
    std::uint32_t q = d / divisor;
    std::uint32_t r = d % divisor;
    PatchLowByte(monitor, kDelayCount, q + 1);
    PatchLowByte(monitor, kDelayRest, (monitor[kDelayRest] & 0xFF) - r);
  }
}

}  // namespace

void BuildDebugImage(ObjectImage& image) {
  const int n = ProgramSize(image);
  WordArray& p = image.ProgrammingImage;
  image.Failed = 1;
  CopyWorkingToProgramming(image);

  p[kFuseIndex] = static_cast<std::uint16_t>(
      (p[kFuseIndex] & (image.Device4K ? kDebugFuseKept4K : kDebugFuseKept2K)) |
      kDebugFuseOscillator);
  if (p[kFuseIndex] & kFuseWatchdogBit) return Fail(image, kDebugNeedsNoWatchdog);

  int free_pair = -1;
  for (int k = kFirstPageEnd; k >= 1; --k) {
    if (p[k - 1] == kEmptyWord && p[k] == kEmptyWord) {
      free_pair = k - 1;
      break;
    }
  }
  if (free_pair < 0) return Fail(image, kDebugNeedsFirstPageWords);

  const std::uint16_t reset_jump = p[n - 1] & kInstructionBits;
  if (!instruction_set::IsJumpWord(reset_jump)) return Fail(image, kDebugNeedsResetJump);

  const int monitor_start = MonitorAddress(n, 0);
  for (int i = monitor_start; i < n - 1; ++i) {
    if (p[i] != kEmptyWord) return Fail(image, kDebugNeedsMonitorWords);
  }

  std::uint16_t* monitor = &p[monitor_start];
  std::copy(DebugMonitor.begin(), DebugMonitor.end(), monitor);
  if (image.Device4K) monitor[kBankBitSlot] = kNop;

  monitor[kResetJumpSlot] = reset_jump;
  p[n - 1] = instruction_set::JumpWord(free_pair);
  p[free_pair] = kEntryPage;
  p[free_pair + 1] = kEntryJump;

  bool turbo = image.Device4K || !(p[kFuseIndex] & kFuseTurboOffBit);
  PatchDelays(monitor, static_cast<std::uint32_t>(image.ClockHz), turbo);
  image.Failed = 0;
}

}  // namespace build_debug
