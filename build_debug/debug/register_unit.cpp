#include "build_debug/debug/register_unit.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "build_debug/image/disassembler.h"
#include "instruction_set/words.h"

namespace build_debug {

namespace {

// Globals below (device code + 5) have names: the 18-pin parts have ports up to RB, the
// 28-pin parts up to RC, the 4,096-word parts up to RE.
constexpr std::array<const char*, 10> kGlobalNames = {"IND", "",   "PC", "STATUS", "FSR",
                                                      "RA",  "RB", "RC", "RD",     "RE"};

constexpr std::int32_t kFsrBank4K = 0xF0;
constexpr std::int32_t kFsrBank2K = 0xE0;
constexpr std::int32_t kFsrBanked = 0x10;  // 2,048-word parts: clear means a global register

std::string Hex(int value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

}  // namespace

std::string HexByte(std::int32_t value) { return Hex(value & 0xFF, 2); }

std::string RegisterLayout::GlobalName(int reg, bool rtw) const {
  if (reg < 0 || reg > 0x0F || reg >= device_code + 5) return Hex(reg & 0xFF, 2);
  std::string name =
      reg == kRegRtcc ? (rtw ? " WREG" : " RTCC") : kGlobalNames[static_cast<std::size_t>(reg)];
  return name.substr(0, kRegisterNameLength);
}

std::vector<std::string> RegisterLayout::BankHeaders() const {
  std::vector<std::string> headers;
  for (int column = 0; column < BankColumns(); ++column)
    headers.push_back(Hex(BankRegister(column, 0) >> 4, 1) + "x");
  return headers;
}

int RegisterLayout::BankRegister(int column, int row) const {
  if (device4k) return (column + 1) * 16 + row;
  // A part's banks are the highest bank numbers, each the upper half of a 32-register block.
  return ((8 - banks + column) * 2 + 1) * 16 + row;
}

std::vector<int> RegisterLayout::EditOrder() const {
  std::vector<int> order;
  for (int reg = 0; reg < 16; ++reg) order.push_back(reg);
  for (int column = 0; column < BankColumns(); ++column)
    for (int row = 0; row < 16; ++row) order.push_back(BankRegister(column, row));
  order.push_back(kSlotM);
  order.push_back(kSlotW);
  return order;
}

bool RegisterLayout::OutsideFsrBank(int reg, std::int32_t fsr) const {
  if (reg < 0x10 || reg > 0xFF) return false;
  if (device4k) return (reg & kFsrBank4K) != (fsr & kFsrBank4K);
  return (reg & kFsrBank2K) != (fsr & kFsrBank2K);
}

int RegisterLayout::FsrTarget(std::int32_t fsr) const {
  if (!device4k && !(fsr & kFsrBanked)) return fsr & 0x0F;
  return fsr & 0xFF;
}

std::string RegisterLayout::FsrBankHeader(std::int32_t fsr) const {
  const int bank =
      (fsr & 0xFF) >> instruction_set::BankShift(instruction_set::kBuiltinReader, device4k);
  return "x " + Hex(bank, 1) + " ";
}

int ValueStyle(const RegisterLayout& layout, const DebugState& live, const DebugState& current,
               int slot) {
  int style = 0;
  if (live.Slot(slot) != current.Slot(slot)) style |= kStyleChanged;
  const std::int32_t fsr = live.Registers[kRegFsr];
  if (layout.OutsideFsrBank(slot, fsr)) style |= kStyleOtherBank;
  if (slot < 256 && layout.FsrTarget(fsr) == slot) style |= kStyleFsrTarget;
  return style;
}

const std::vector<int>& BitRowSlots() {
  static const std::vector<int> kSlots = {0,  kRegStatus, 5,  6,  7,  8,  9,
                                          10, 11,         12, 13, 14, 15, kSlotW};
  return kSlots;
}

std::vector<BitCell> BitRow(const DebugState& live, const DebugState& before, int slot) {
  std::vector<BitCell> cells;
  for (int bit = 7; bit >= 0; --bit) {
    const bool now = (live.Slot(slot) >> bit) & 1;
    const bool then = (before.Slot(slot) >> bit) & 1;
    cells.push_back({now, now != then});
  }
  return cells;
}

int ClampPanelPosition(int position, int program_words) {
  return std::clamp(position, 0, std::max(0, program_words - kPanelLines));
}

std::vector<PanelLine> ProgramPanel(const ObjectImage& image, const DebugState& live,
                                    int program_words) {
  std::vector<PanelLine> lines;
  // The next instruction to run after a stop in sleep is the one after the PC.
  const int run = live.PD ? live.PC + 1 : live.PC;
  const int first = ClampPanelPosition(live.PanelPosition, program_words);
  for (int address = first; address < first + kPanelLines && address < program_words; ++address) {
    const std::uint16_t word = image.WorkingImage[static_cast<std::size_t>(address)];
    PanelLine line;
    line.address = address;
    line.text = Hex(address, 3) + "- " + Hex(word & kInstructionBits, 3) + " " +
                (IsInUse(word) ? DisassembleWord(image, address, live.RTW != 0) : "(unused)");
    if (address == live.BreakAddress)
      line.mark = PanelMark::Break;
    else if (address == run)
      line.mark = PanelMark::Run;
    lines.push_back(std::move(line));
  }
  return lines;
}

RegisterLayout RegisterControl::Layout(int device_code, int banks) const {
  return {debug_.Device4K(), device_code, banks};
}

bool RegisterControl::CanChange() const {
  return debug_.LastStatus() == kStatusStopped && debug_.FreshData();
}

void RegisterControl::ToggleBit(int slot, int bit) {
  if (!CanChange()) return;
  std::ignore = debug_.WriteRegister(
      slot, static_cast<std::uint8_t>((debug_.Live().Slot(slot) ^ (1 << bit)) & 0xFF));
  debug_.UpdateDebugData();
}

void RegisterControl::ToggleTO() {
  if (!CanChange()) return;
  debug_.Live().TO ^= 1;
  // The flags travel in the refresh's packet.
  debug_.UpdateDebugData();
}

void RegisterControl::TogglePD() {
  if (!CanChange()) return;
  debug_.Live().PD ^= 1;
  debug_.UpdateDebugData();
}

bool RegisterControl::StartEdit(int slot) {
  if (!CanChange()) return false;
  editor_ = {true, slot, 0, debug_.Live().Slot(slot) & 0xFF, false};
  return slot == kSlotM && debug_.Device4K();
}

void RegisterControl::TypeDigit(int digit, const std::vector<int>& order) {
  if (!editor_.active || digit < 0 || digit > 15) return;
  if (editor_.slot == kSlotM && debug_.Device4K()) return;
  if (editor_.nibbles == 0)
    editor_.value = (digit << 4) | (editor_.value & 0x0F);
  else
    editor_.value = (editor_.value & 0xF0) | digit;
  editor_.typed = true;
  // Two nibbles fill a register; typing goes on in the next one.
  if (++editor_.nibbles == 2) Move(1, order);
}

void RegisterControl::Write(int slot, std::int32_t value) {
  std::ignore = debug_.WriteRegister(slot, static_cast<std::uint8_t>(value & 0xFF));
  debug_.UpdateDebugData();
}

void RegisterControl::Commit() {
  if (!editor_.active) return;
  const Editor done = editor_;
  editor_ = {};
  Write(done.slot, done.value);
}

void RegisterControl::EndEdit() {
  if (!editor_.active) return;
  const Editor done = editor_;
  editor_ = {};
  if (done.typed) Write(done.slot, done.value);
}

void RegisterControl::Move(int delta, const std::vector<int>& order) {
  if (!editor_.active || order.empty()) return;
  const auto at = std::find(order.begin(), order.end(), editor_.slot);
  const int size = static_cast<int>(order.size());
  const int index = at == order.end() ? 0 : static_cast<int>(at - order.begin());
  const int next = order[static_cast<std::size_t>(((index + delta) % size + size) % size)];
  EndEdit();
  std::ignore = StartEdit(next);
}

}  // namespace build_debug
