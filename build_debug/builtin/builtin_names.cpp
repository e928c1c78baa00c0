#include "build_debug/builtin/builtin_names.h"

#include <span>

#include "instruction_set/mnemonic_rows.h"

namespace build_debug {
namespace {

namespace isa = ::instruction_set;

struct Name {
  const char* key;
  std::uint8_t kind;
  std::int32_t value;
};

// A DEVICE parameter: the bits it owns in its word and what it XORs into them.
constexpr std::int32_t Fuse(std::int32_t mask, std::int32_t value) { return mask << 16 | value; }
constexpr std::int32_t Fusex(std::int32_t mask, std::int32_t value) {
  return mask << 16 | kDeviceFusex | value;
}

constexpr Name kStartNames[] = {
    {"IFDEF", kKindDirective, kDirIfdef},
    {"IFNDEF", kKindDirective, kDirIfndef},
    {"IF", kKindDirective, kDirIf},
    {"ELSE", kKindDirective, kDirElse},
    {"ENDIF", kKindDirective, kDirEndif},
    {"DEVICE", kKindDirective, kDirDevice},
    {"QV18", kKindDevice, kDeviceIdentifier | Fusex(0x0403, 0x000)},
    {"QV18L", kKindDevice, kDeviceIdentifier | Fusex(0x0403, 0x000)},
    {"QV28", kKindDevice, kDeviceIdentifier | Fusex(0x0403, 0x400)},
    {"QV28L", kKindDevice, kDeviceIdentifier | Fusex(0x0403, 0x400)},
    {"QV48", kKindDevice, kDeviceIdentifier | kDevice4K},
    {"QV52", kKindDevice, kDeviceIdentifier | kDevice4K},
};

// The crystal oscillators, alike on both device sizes.
constexpr Name kCrystals[] = {
    {"OSCXTMAX", kKindDevice, Fuse(0x00A3, 0x00)}, {"OSCXT5", kKindDevice, Fuse(0x00A3, 0x03)},
    {"OSCXT4", kKindDevice, Fuse(0x00A3, 0x02)},   {"OSCXT3", kKindDevice, Fuse(0x00A3, 0x21)},
    {"OSCXTMIN", kKindDevice, Fuse(0x00A3, 0x22)}, {"OSCHS3", kKindDevice, Fuse(0x00A3, 0x00)},
    {"OSCHS2", kKindDevice, Fuse(0x00A3, 0x03)},   {"OSCHS1", kKindDevice, Fuse(0x00A3, 0x02)},
    {"OSCXT2", kKindDevice, Fuse(0x00A3, 0x21)},   {"OSCXT1", kKindDevice, Fuse(0x00A3, 0x20)},
    {"OSCLP2", kKindDevice, Fuse(0x00A3, 0x23)},   {"OSCLP1", kKindDevice, Fuse(0x00A3, 0x22)},
};

constexpr Name kParameters2K[] = {
    {"OSCRC", kKindDevice, Fuse(0x00E3, 0x01)},
    {"OSC4MHZ", kKindDevice, Fuse(0x00E3, 0xE1)},
    {"OSC1MHZ", kKindDevice, Fuse(0x00E3, 0xC1)},
    {"OSC128KHZ", kKindDevice, Fuse(0x00E3, 0xA1)},
    {"OSC32KHZ", kKindDevice, Fuse(0x00E3, 0x81)},
    {"FEEDBACKOFF", kKindDevice, Fuse(0x0040, 0x040)},
    {"IFBD", kKindDevice, Fuse(0x0040, 0x040)},
    {"TURBO", kKindDevice, Fuse(0x0800, 0x800)},
    {"STACKX_OPTIONX", kKindDevice, Fusex(0x0080, 0x080)},
    {"CARRYX", kKindDevice, Fusex(0x0040, 0x040)},
    {"SYNC", kKindDevice, Fuse(0x0400, 0x400)},
    {"WATCHDOG", kKindDevice, Fuse(0x0004, 0x004)},
    {"PROTECT", kKindDevice, Fuse(0x0008, 0x008)},
    {"BOR42", kKindDevice, Fusex(0x0030, 0x030)},
    {"BOR26", kKindDevice, Fusex(0x0030, 0x020)},
    {"BOR22", kKindDevice, Fusex(0x0030, 0x010)},
};

constexpr Name kParameters4K[] = {
    {"OSCRC", kKindDevice, Fuse(0x00F3, 0x01)},
    {"OSC4MHZ", kKindDevice, Fuse(0x00F3, 0xE1)},
    {"OSC1MHZ", kKindDevice, Fuse(0x00F3, 0xC1)},
    {"OSC128KHZ", kKindDevice, Fuse(0x00F3, 0xA1)},
    {"OSC32KHZ", kKindDevice, Fuse(0x00F3, 0x81)},
    {"DRIVEOFF", kKindDevice, Fuse(0x0010, 0x010)},
    {"XTLBUFD", kKindDevice, Fuse(0x0010, 0x010)},
    {"FEEDBACKOFF", kKindDevice, Fuse(0x0040, 0x040)},
    {"IFBD", kKindDevice, Fuse(0x0040, 0x040)},
    {"CARRYX", kKindDevice, Fusex(0x0040, 0x040)},
    {"SYNC", kKindDevice, Fuse(0x0400, 0x400)},
    {"SLEEPCLOCK", kKindDevice, Fusex(0x0400, 0x400)},
    {"WATCHDOG", kKindDevice, Fuse(0x0004, 0x004)},
    {"PROTECT", kKindDevice, Fuse(0x0008, 0x008)},
    {"BOR42", kKindDevice, Fusex(0x0030, 0x030)},
    {"BOR26", kKindDevice, Fusex(0x0030, 0x010)},
    {"BOR22", kKindDevice, Fusex(0x0030, 0x020)},
    {"DRT18MS", kKindDevice, Fusex(0x0003, 0x000)},
    {"DRT960MS", kKindDevice, Fusex(0x0003, 0x002)},
    {"DRT60MS", kKindDevice, Fusex(0x0003, 0x003)},
    {"DRT60US", kKindDevice, Fusex(0x0003, 0x001)},
};

constexpr Name kOperators[] = {
    {"\\", kKindUnary, kOpArgument},
    {"||", kKindUnary, kOpAbsolute},
    {"~", kKindUnary, kOpComplement},
    {"NOT", kKindNot, kOpNot},
    {"&", kKindBinary, kOpAnd},
    {"|", kKindBinary, kOpOr},
    {"^", kKindBinary, kOpXor},
    {"+", kKindBinary, kOpAdd},
    {"-", kKindBinary, kOpSubtract},
    {"*", kKindBinary, kOpMultiply},
    {"/", kKindBinary, kOpDivide},
    {"//", kKindBinary, kOpRemainder},
    {"<<", kKindBinary, kOpShiftLeft},
    {">>", kKindBinary, kOpShiftRight},
    {"><", kKindBinary, kOpReverse},
    {".", kKindBinary, kOpBit},
    {"AND", kKindLogical, kOpLogicalAnd},
    {"OR", kKindLogical, kOpLogicalOr},
    {"XOR", kKindLogical, kOpLogicalXor},
    {"<=", kKindCompare, kOpLessEqual},
    {">=", kKindCompare, kOpGreaterEqual},
    {"=", kKindCompare, kOpEqual},
    {"<>", kKindCompare, kOpNotEqual},
    {"<", kKindCompare, kOpLess},
    {">", kKindCompare, kOpGreater},
    {"(", kKindOpen, 0},
    {")", kKindClose, 0},
    {"W", kKindW, 0},
    {"M", kKindM, 0},
    {"OPTION", kKindOption, 0},
    {"WDT", kKindWdt, 0},
    {"#", kKindHash, 0},
    {"@", kKindAt, 0},
    {"!", kKindBang, 0},
    {"++", kKindIncDec, 0},
    {"--", kKindIncDec, 1},
};

constexpr Name kOtherDirectives[] = {
    {"ID", kKindDirective, kDirId},
    {"RESET", kKindDirective, kDirReset},
    {"EQU", kKindDirective, kDirEqu},
    {"ORG", kKindDirective, kDirOrg},
    {"DS", kKindDirective, kDirDs},
    {"DW", kKindDirective, kDirDw},
    {"REPT", kKindDirective, kDirRept},
    {"ENDR", kKindDirective, kDirEndr},
    {"MACRO", kKindDirective, kDirMacro},
    {"EXITM", kKindDirective, kDirExitm},
    {"ENDM", kKindDirective, kDirEndm},
    {"EXPAND", kKindDirective, kDirExpand},
    {"NOEXPAND", kKindDirective, kDirNoexpand},
    {"CASE", kKindDirective, kDirCase},
    {"NOCASE", kKindDirective, kDirNocase},
    {"ERROR", kKindDirective, kDirError},
    {"END", kKindDirective, kDirEnd},
    {"BREAK", kKindDirective, kDirBreak},
    {"WATCH", kKindDirective, kDirWatch},
    {"FREQ", kKindDirective, kDirFreq},
};

constexpr const char* kWatchFormats[] = {"UDEC", "SDEC", "UHEX", "SHEX",
                                         "UBIN", "SBIN", "FSTR", "ZSTR"};

constexpr Name kPortControls[] = {
    {"TRIS", kKindConstant, 0x0F},  {"DIRECTION", kKindConstant, 0x0F},
    {"PLP", kKindConstant, 0x0E},   {"PULL_UP", kKindConstant, 0x0E},
    {"LVL", kKindConstant, 0x0D},   {"LEVEL", kKindConstant, 0x0D},
    {"ST", kKindConstant, 0x0C},    {"SCHMITT", kKindConstant, 0x0C},
    {"WKEN", kKindConstant, 0x0B},  {"WAKE_ENABLE", kKindConstant, 0x0B},
    {"WKED", kKindConstant, 0x0A},  {"WAKE_EDGE", kKindConstant, 0x0A},
    {"WKPEN", kKindConstant, 0x09}, {"WAKE_PENDING", kKindConstant, 0x09},
    {"CMP", kKindConstant, 0x08},   {"COMPARATOR", kKindConstant, 0x08},
};

// A bit is bit number x 256 + register. The values are the instruction set's; INDIRECT is this
// assembler's own name of IND.
consteval Name Register(const char* key) { return {key, kKindConstant, isa::NameValue(key)}; }
constexpr Name kRegisters[] = {
    Register("IND"),    Register("INDF"), {"INDIRECT", kKindConstant, isa::NameValue("IND")},
    Register("RTCC"),   Register("WREG"), Register("PC"),
    Register("STATUS"), Register("C"),    Register("DC"),
    Register("Z"),      Register("PD"),   Register("TO"),
    Register("PA0"),    Register("PA1"),  Register("PA2"),
    Register("FSR"),    Register("RA"),   Register("RB"),
    Register("RC"),
};

constexpr Name kRegisters4K[] = {
    Register("RD"),
    Register("RE"),
    {"TIMER_CONTROL_A", kKindConstant, 7},
    {"TIMER_CONTROL_B", kKindConstant, 6},
    {"TIMER_COMPARE1_HIGH", kKindConstant, 5},
    {"TIMER_COMPARE1_LOW", kKindConstant, 4},
    {"TIMER_COMPARE2_HIGH", kKindConstant, 3},
    {"TIMER_COMPARE2_LOW", kKindConstant, 2},
    {"TIMER_CAPTURE_HIGH", kKindConstant, 1},
    {"TIMER_CAPTURE_LOW", kKindConstant, 0},
};

bool Enter(BuiltinSymbolTable& table, std::span<const Name> names) {
  for (const Name& name : names)
    if (table.Add(name.key, name.kind, name.value) == kNoSymbol) return false;
  return true;
}

}  // namespace

bool EnterStartNames(BuiltinSymbolTable& table) { return Enter(table, kStartNames); }

bool EnterDeviceNames(BuiltinSymbolTable& table, bool device4k) {
  if (!Enter(table, kCrystals) ||
      !Enter(table, device4k ? std::span<const Name>(kParameters4K) : kParameters2K) ||
      !Enter(table, kOperators) || !Enter(table, kOtherDirectives))
    return false;
  for (const auto& rows : {std::span<const isa::MnemonicRow>(isa::kNativeRows),
                           std::span<const isa::MnemonicRow>(isa::kCompoundRows)}) {
    for (const isa::MnemonicRow& row : rows) {
      if (IsBuiltinInstruction(row) && table.Add(row.name, kKindInstruction, row.id) == kNoSymbol)
        return false;
    }
  }
  for (std::int32_t n = 0; n < static_cast<std::int32_t>(std::size(kWatchFormats)); ++n)
    if (table.Add(kWatchFormats[n], kKindWatchFormat, n) == kNoSymbol) return false;
  if (!Enter(table, kPortControls) || !Enter(table, kRegisters)) return false;
  return !device4k || Enter(table, kRegisters4K);
}

}  // namespace build_debug
