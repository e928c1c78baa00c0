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

extern const std::array<std::uint16_t, kMonitorWords> DebugMonitor;
extern const std::array<std::uint16_t, 12> DebugMonitorHighSpeed;
extern const std::array<std::uint16_t, 19> DebugMonitorTurbo;

}  // namespace build_debug
