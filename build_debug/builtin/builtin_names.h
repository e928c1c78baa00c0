#pragma once
// The built-in assembler's names: token kinds, directive and mnemonic numbers, and the tables
// of names a run enters into its symbol table (directives, device identifiers and parameters,
// operators, instructions, watch formats, port-control words and registers).

#include <cstdint>

#include "build_debug/builtin/builtin_symbols.h"
#include "instruction_set/instruction_set.h"

namespace build_debug {

// Token kinds; a name's token kind is its symbol's kind.
enum BuiltinKind : std::uint8_t {
  kKindUndefined = 0x00,
  kKindConstant = 0x01,  // a number, or a constant or label
  kKindVariable = 0x02,
  kKindUnary = 0x03,  // \ || ~
  kKindNot = 0x04,
  kKindBinary = 0x05,   // & | ^ + - * / // << >> >< .
  kKindLogical = 0x06,  // AND OR XOR
  kKindCompare = 0x07,  // <= >= = <> < >
  kKindOpen = 0x08,
  kKindClose = 0x09,
  kKindW = 0x0A,
  kKindM = 0x0B,
  kKindOption = 0x0C,
  kKindWdt = 0x0D,
  kKindComma = 0x0E,
  kKindHash = 0x0F,
  kKindAt = 0x10,
  kKindBang = 0x11,
  kKindIncDec = 0x12,  // ++ 0, -- 1
  kKindDevice = 0x13,  // device identifier or DEVICE parameter
  kKindWatchFormat = 0x14,
  kKindMacro = 0x15,
  kKindDirective = 0x16,
  kKindInstruction = 0x17,
  kKindEndOfLine = 0x18,
};

// Operator numbers (the value of an operator's symbol).
enum BuiltinOperator : std::int32_t {
  kOpArgument = 0,
  kOpAbsolute = 1,
  kOpComplement = 3,
  kOpNot = 4,
  kOpAnd = 5,
  kOpOr = 6,
  kOpXor = 7,
  kOpAdd = 8,
  kOpSubtract = 9,
  kOpMultiply = 10,
  kOpDivide = 11,
  kOpRemainder = 12,
  kOpShiftLeft = 13,
  kOpShiftRight = 14,
  kOpReverse = 15,
  kOpBit = 16,
  kOpLogicalAnd = 17,
  kOpLogicalOr = 18,
  kOpLogicalXor = 19,
  kOpLessEqual = 20,
  kOpGreaterEqual = 21,
  kOpEqual = 22,
  kOpNotEqual = 23,
  kOpLess = 24,
  kOpGreater = 25,
};

enum BuiltinDirective : std::int32_t {
  kDirDevice = 0,
  kDirId = 1,
  kDirReset = 2,
  kDirEquals = 3,
  kDirEqu = 4,
  kDirOrg = 5,
  kDirDs = 6,
  kDirDw = 7,
  kDirIfdef = 8,
  kDirIfndef = 9,
  kDirIf = 10,
  kDirElse = 11,
  kDirEndif = 12,
  kDirRept = 13,
  kDirEndr = 14,
  kDirMacro = 15,
  kDirExitm = 16,
  kDirEndm = 17,
  kDirExpand = 18,
  kDirNoexpand = 19,
  kDirCase = 20,
  kDirNocase = 21,
  kDirError = 22,
  kDirEnd = 23,
  kDirBreak = 24,
  kDirWatch = 25,
  kDirFreq = 26,
};

// Whether a row of the instruction set is one of this assembler's mnemonics: an instruction
// that it takes on either device (DW is a directive here). Its symbol's value is the row's id.
constexpr bool IsBuiltinInstruction(const instruction_set::MnemonicRow& row) {
  return row.id != instruction_set::kName && row.id != instruction_set::kDW &&
         row.readers == instruction_set::kBoth;
}

// The value of a kind-0x13 symbol: the field mask and the value it XORs into FUSE, or into
// FUSEX when kDeviceFusex is set; device identifiers also carry kDeviceIdentifier and, for the
// 4,096-word devices, kDevice4K.
inline constexpr std::int32_t kDeviceFusex = 0x1000;
inline constexpr std::int32_t kDeviceIdentifier = 0x4000'0000;
inline constexpr std::int32_t kDevice4K = 0x2000'0000;
constexpr std::int32_t DeviceMask(std::int32_t value) { return (value >> 16) & 0x0FFF; }
constexpr std::int32_t DeviceXor(std::int32_t value) { return value & 0x0FFF; }

// The names a run starts with: IFDEF, IFNDEF, IF, ELSE, ENDIF, DEVICE and the device
// identifiers. False when the area is full.
[[nodiscard]] bool EnterStartNames(BuiltinSymbolTable& table);
// Everything a DEVICE line with an identifier enters: the device's parameters, then the
// operators, the other directives, the instructions, the watch formats, the port-control words
// and the registers (with the 4,096-word device's own registers). False when the area is full.
[[nodiscard]] bool EnterDeviceNames(BuiltinSymbolTable& table, bool device4k);

}  // namespace build_debug
