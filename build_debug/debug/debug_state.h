#pragma once
// The debug state: what the IDE knows of a chip stopped in its debug monitor. One live record
// is filled from the chip; two snapshots of it ("current" and "previous") are taken at every
// redraw, so that the views can mark what changed.
//
// Register slots are 8-bit register addresses (0x00-0x0F the global registers, then the
// banked ones), with two more behind them: slot 256 is M and slot 257 is W, so register 1
// is addressed as slot 257 when W is mapped there (RTW).

#include <array>
#include <cstdint>

#include "build_debug/image/object_image.h"

namespace build_debug {

// Register addresses with a role in the debug protocol.
enum DebugRegister : int {
  kRegIndirect = 0,  // reads through FSR
  kRegRtcc = 1,      // W when RTW is set
  kRegPcl = 2,
  kRegStatus = 3,
  kRegFsr = 4,
  kSlotM = 256,
  kSlotW = 257,
};

// What the debug monitor is told to do next (sent low byte first).
enum DebugAction : std::uint16_t {
  kActionRefresh = 0xF7F7,  // stop and report
  kActionStep = 0xF7EB,     // one instruction
  kActionRunToBreak = 0xF7E9,
  kActionRunFree = 0xEAEA,
  kActionReset = 0xEFEF,
};

struct DebugState {
  std::array<std::int32_t, 256> Registers{};
  std::int32_t M = 0;
  std::int32_t W = 0;
  std::uint8_t TO = 0;   // STATUS bit 4
  std::uint8_t PD = 0;   // STATUS bit 3
  std::uint8_t RTW = 0;  // W is mapped at register 1
  std::int32_t PC = 0;   // masked by the program size
  std::int32_t BreakAddress = AddressNone;
  std::int32_t PanelPosition = 0;  // first address of the register window's program panel

  // Slots 0..255 are the registers, 256 M, 257 W.
  std::int32_t& Slot(int slot) {
    if (slot == kSlotM) return M;
    if (slot == kSlotW) return W;
    return Registers[static_cast<std::size_t>(slot & 0xFF)];
  }
  std::int32_t Slot(int slot) const {
    if (slot == kSlotM) return M;
    if (slot == kSlotW) return W;
    return Registers[static_cast<std::size_t>(slot & 0xFF)];
  }

  bool operator==(const DebugState&) const = default;
};

}  // namespace build_debug
