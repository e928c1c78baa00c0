#pragma once
// The target code that a debug run places at the end of program memory, and its two
// replacement blocks. The IDE treats them as data: it copies them and patches a few literal
// fields (see debug_image.h); what the code does is fixed by these words.

#include <array>
#include <cstdint>

namespace build_debug {

constexpr int kMonitorWords = 136;
constexpr int kHighSpeedFirst = 33;  // the high-speed block replaces monitor words 33..44
constexpr int kTurboFirst = 81;      // the turbo block replaces monitor words 81..99
constexpr int kResetJumpSlot = 134;  // place holder for the program's own reset jump
// The literal fields that fit the monitor's delay loops to the clock: at high clock rates the
// two bytes of an inverted count, else a count and the cycles left over.
constexpr int kHighSpeedCountLow = 33;
constexpr int kHighSpeedCountHigh = 35;
constexpr int kDelayCount = 38;
constexpr int kDelayRest = 43;
// SETB FSR.4, which the 4,096-word parts' banking must not do: a NOP there.
constexpr int kBankBitSlot = 75;
// Where the jump from the first page's free pair lands.
constexpr int kEntrySlot = 12;

// The program address of monitor word `slot`: the monitor ends just below the reset vector.
constexpr int MonitorAddress(int program_words, int slot) {
  return program_words - 1 - kMonitorWords + slot;
}

extern const std::array<std::uint16_t, kMonitorWords> DebugMonitor;
extern const std::array<std::uint16_t, 12> DebugMonitorHighSpeed;
extern const std::array<std::uint16_t, 19> DebugMonitorTurbo;

}  // namespace build_debug
