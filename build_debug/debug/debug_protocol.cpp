#include "build_debug/debug/debug_protocol.h"

#include <algorithm>
#include <array>

#include "build_debug/image/debug_image.h"
#include "build_debug/image/debug_monitor.h"
#include "platform/message_box.h"
#include "services/message_strings.h"
#include "services/silent_abort.h"

namespace build_debug {

namespace {

constexpr std::uint8_t kPollCommand = 5;
constexpr std::uint8_t kDataCommand = 6;
constexpr std::uint8_t kPacketCommand = 7;

// The monitor picks the bytes of a packet by their tags; untagged bytes go by their place.
constexpr std::uint8_t kTagNone = 0;
constexpr std::uint8_t kTagW = 4;
constexpr std::uint8_t kTagPcl = 8;
constexpr std::uint8_t kTagStatus = 16;
constexpr std::uint8_t kTagFsr = 32;
constexpr std::uint8_t kTagBreakLow = 64;
constexpr std::uint8_t kTagLast = 128;
// A register write is command 7 with four bytes: the address under tag 1, the value under 2.
constexpr std::uint8_t kWriteLength = 4;
constexpr std::uint8_t kTagAddress = 1;
constexpr std::uint8_t kTagValue = 2;
// The third byte of the action field; the monitor compares it as a third action byte.
constexpr std::uint8_t kActionTail = 0xF7;

// STATUS: bits 3 (PD) and 4 (TO) travel beside it; bits 5-7 are the program page.
constexpr std::int32_t kStatusFlags = 0x18;
constexpr std::int32_t kStatusWithoutFlags = 0xE7;
constexpr std::int32_t kStatusPage = 0xE0;

// The global registers that the monitor uses itself: the program's values travel in the
// header and the packet.
constexpr int kRegSaved = 13;  // 13 to 15
// Registers 5 to 12 (the ports and the first general registers) come in the header.
constexpr int kRegHeaderFirst = 5;
constexpr int kRegHeaderCount = 8;
constexpr int kRegFirstBanked = 16;

// Where each value stands in the header of a data read; bytes 10, 12 and 21-23 are unused.
enum HeaderByte : std::size_t {
  kHeadMode = 0,  // M in the low bits, RTW in bit 7
  kHeadW = 1,
  kHeadPcLow = 2,
  kHeadPcHigh = 3,
  kHeadStatus = 4,
  kHeadFsr = 5,
  kHeadSaved = 6,  // registers 13 to 15
  kHeadRtcc = 9,
  kHeadStatusFlags = 11,
  kHeadRegisters = 13,  // registers 5 to 12
};

constexpr std::uint8_t Byte(std::int32_t value) { return static_cast<std::uint8_t>(value & 0xFF); }

}  // namespace

DebugProtocol::DebugProtocol(KeyLink& link, QvKeyUnit& key, ObjectImage& image,
                             const workbench::MessageStrings& messages, Now now)
    : link_(link), key_(key), image_(image), messages_(messages), now_(std::move(now)) {}

void DebugProtocol::AddView(DebugView& view) {
  if (std::find(views_.begin(), views_.end(), &view) == views_.end()) views_.push_back(&view);
}

void DebugProtocol::RemoveView(DebugView& view) {
  views_.erase(std::remove(views_.begin(), views_.end(), &view), views_.end());
}

bool DebugProtocol::SendDebugResume(std::uint16_t action) {
  const int n = MemoryWords();
  const bool at_reset = live_.PC == n - 1;
  // At the reset vector the chip resumes two words lower, where the monitor keeps the
  // program's own reset jump; a reset is no power-down, so PD goes as 0.
  std::uint8_t pcl = Byte(at_reset ? MonitorAddress(n, kResetJumpSlot) : live_.PC);
  std::int32_t pd = at_reset ? 0 : live_.PD;
  std::int32_t status =
      (live_.Registers[kRegStatus] & kStatusWithoutFlags) | (live_.TO << 4) | (pd << 3);
  const std::array<std::uint8_t, kPacketLength> pairs = {
      kTagW,        Byte(live_.W),
      kTagNone,     Byte(live_.PC >> 8),
      kTagPcl,      pcl,
      kTagStatus,   Byte(status),
      kTagFsr,      Byte(live_.Registers[kRegFsr]),
      kTagNone,     Byte(live_.Registers[kRegSaved + 1]),
      kTagNone,     Byte(live_.Registers[kRegSaved + 2]),
      kTagNone,     Byte(action),
      kTagNone,     Byte(action >> 8),
      kTagNone,     kActionTail,
      kTagNone,     Byte(live_.BreakAddress >> 8),
      kTagBreakLow, Byte(live_.BreakAddress),
      kTagNone,     Byte(live_.M),
      kTagLast,     Byte(live_.Registers[kRegSaved]),
  };
  link_.SendScrambled(kPacketCommand);
  link_.SendScrambled(kPacketLength);
  for (auto b : pairs) link_.SendScrambled(b);
  last_action_ = action;
  fresh_data_ = false;
  return link_.FlushTx();
}

DebugProtocol::PollResult DebugProtocol::Poll() {
  link_.SendScrambled(kPollCommand);
  if (!link_.FlushTx() || !link_.ReceiveScrambled(last_status_)) {
    EndSessionOnLinkFailure();
    return PollResult::Failed;
  }
  return last_status_ == kStatusStopped ? PollResult::Stopped : PollResult::Running;
}

void DebugProtocol::EndSessionOnLinkFailure() {
  // The report comes first: ending the session sends the clock-off command, whose flush
  // would put the link's state back to "ok" before anyone said what went wrong.
  link_.ReportLinkError();
  if (window_) window_->HideDebugWindow();
}

bool DebugProtocol::QVU_GetDebugData() {
  const bool device4k = Device4K();
  const int n = MemoryWords();
  const int banks = key_.Banks();
  link_.SendScrambled(kDataCommand);
  link_.SendScrambled(Byte(device4k ? kHeaderLength : banks * 16 + kHeaderLength));
  std::array<std::uint8_t, kHeaderLength> h{};
  bool ok = link_.FlushTx() && link_.ReceiveBytes(h);
  if (!ok) return false;

  auto& r = live_.Registers;
  live_.M = h[kHeadMode] & (device4k ? 0x1F : 0x0F);
  live_.RTW = (h[kHeadMode] >> 7) & 1;
  live_.W = h[kHeadW];
  live_.PC = ((h[kHeadPcHigh] << 8) + h[kHeadPcLow]) & (n - 1);
  r[kRegStatus] = h[kHeadStatus] & kStatusWithoutFlags;
  live_.TO = (h[kHeadStatus] >> 4) & 1;
  live_.PD = (h[kHeadStatus] >> 3) & 1;
  r[kRegFsr] = h[kHeadFsr];
  for (std::size_t i = 0; i < 3; ++i) r[kRegSaved + i] = h[kHeadSaved + i];
  r[kRegRtcc] = h[kHeadRtcc];
  r[kRegStatus] |= h[kHeadStatusFlags] & kStatusFlags;
  for (std::size_t i = 0; i < kRegHeaderCount; ++i) r[kRegHeaderFirst + i] = h[kHeadRegisters + i];

  if (device4k) {
    std::array<std::uint8_t, kRam4K> ram{};
    link_.SendScrambled(kDataCommand);
    link_.SendScrambled(kRam4K);
    std::ignore = link_.FlushTx();  // a failed flush shows in the read that follows
    ok = link_.ReceiveBytes(ram);
    if (ok)
      for (int j = 0; j < kRam4K; ++j)
        r[static_cast<std::size_t>(kRegFirstBanked + j)] = ram[static_cast<std::size_t>(j)];
  } else {
    std::vector<std::uint8_t> ram(static_cast<std::size_t>(banks * 16));
    ok = link_.ReceiveBytes(ram);
    // The device's banks are the highest bank numbers: one bank is 0xF0-0xFF, four are 0x90,
    // 0xB0, 0xD0 and 0xF0 upwards.
    if (ok)
      for (int j = 0; j < banks * 16; ++j)
        r[static_cast<std::size_t>(((8 - banks) + j / 16) * 32 + kRegFirstBanked + j % 16)] =
            ram[static_cast<std::size_t>(j)];
  }
  if (!ok) return false;

  if (live_.PC == n - 1) {
    r[kRegStatus] &= 0x1F;
    live_.TO = 0;
    live_.PD = 0;
  }
  // The monitor reports a stop at the reset vector from the word that holds the program's
  // reset jump.
  if (live_.PC == MonitorAddress(n, kResetJumpSlot)) live_.PC = n - 1;
  r[kRegIndirect] = 0;
  if (live_.RTW) r[kRegRtcc] = live_.W;
  r[kRegPcl] = (live_.PC + 1) & 0xFF;
  if (device4k) {
    r[kRegIndirect] = r[static_cast<std::size_t>(r[kRegFsr] & 0xFF)];
  } else {
    // The bank bits that the device lacks read as 1.
    r[kRegFsr] |= (banks * 0xE0) & 0xFF;
    std::int32_t fsr = r[kRegFsr];
    r[kRegIndirect] = r[static_cast<std::size_t>((fsr & 0x10) ? fsr & 0xFF : fsr & 0x0F)];
  }
  fresh_data_ = true;
  return true;
}

void DebugProtocol::UpdateDebugData() {
  // A failed packet shows in the polls that follow.
  std::ignore = SendDebugResume(kActionRefresh);
  const auto start = now_();
  while (now_() - start < kStopWait) {
    PollResult poll = Poll();
    // The link is gone and the session with it: the report is made, nothing to wait for.
    if (poll == PollResult::Failed) return;
    if (poll == PollResult::Stopped) {
      if (!QVU_GetDebugData()) EndSessionOnLinkFailure();
      RedrawDebugViews();
      return;
    }
  }
  std::ignore = messages_.Service().Show(
      {kChipConnectionFailed, kUpdateDebugDataCaption, platform::BoxButtons::Ok});
}

void DebugProtocol::TakeDebugSnapshot() {
  previous_ = current_;
  current_ = live_;
}

void DebugProtocol::RedrawDebugViews() {
  if (first_refresh_) {
    // Nothing is marked as changed on a session's first picture.
    TakeDebugSnapshot();
    TakeDebugSnapshot();
  }
  for (auto* view : views_)
    if (view->IsShowing()) view->RedrawDebugState(first_refresh_);
  TakeDebugSnapshot();
  first_refresh_ = false;
}

bool DebugProtocol::WriteRegister(int reg, std::uint8_t value) {
  const int n = MemoryWords();
  if (reg == kRegIndirect) reg = live_.Registers[kRegFsr] & 0xFF;
  // Without bit 4 an address is a global register in every bank.
  if (!Device4K() && !(reg & 0x10) && !(reg & 0x100)) reg &= 0x0F;
  if (reg == kRegRtcc && live_.RTW) reg = kSlotW;
  live_.Slot(reg) = value;
  if (reg == kRegPcl) {
    live_.PC =
        (((live_.Registers[kRegStatus] & kStatusPage) << 4) | ((value - 1) & 0xFF)) & (n - 1);
    live_.PD = 0;
  }
  const bool by_command = reg == kRegRtcc ||
                          (reg >= kRegHeaderFirst && reg < kRegHeaderFirst + kRegHeaderCount) ||
                          (reg >= kRegFirstBanked && reg <= 255);
  // The others are loaded from the next packet.
  if (!by_command) return false;
  link_.SendScrambled(kPacketCommand);
  link_.SendScrambled(kWriteLength);
  link_.SendScrambled(kTagAddress);
  link_.SendScrambled(Byte(reg));
  link_.SendScrambled(kTagValue);
  link_.SendScrambled(value);
  return link_.FlushTx();
}

bool DebugProtocol::IsUsedWord(int address) const {
  return address >= 0 && address < kProgramWords &&
         IsInUse(image_.WorkingImage[static_cast<std::size_t>(address)]);
}

void DebugProtocol::ToggleBreakpoint(int address) {
  if (!IsUsedWord(address)) return;
  // Kept so that the double click that may follow this click can undo it.
  current_.BreakAddress = live_.BreakAddress;
  live_.BreakAddress = address == live_.BreakAddress ? AddressNone : address;
  for (auto* view : views_)
    if (view->IsShowing()) view->RedrawBreakpoint();
  if (window_) window_->UpdateButtons();
}

void DebugProtocol::SetProgramCounter(int address) {
  if (!IsUsedWord(address)) return;
  // Windows toggle the breakpoint on the click before a double click: undo that.
  live_.BreakAddress = current_.BreakAddress;
  live_.PC = address;
  live_.PD = 0;
  std::int32_t status = live_.Registers[kRegStatus];
  if (Device4K()) {
    status = ((address >> 9) << 5) | (status & 0x1F);
  } else {
    std::int32_t mask = (MemoryWords() / 16 - 1) & kStatusPage;
    status = (mask & (address >> 4)) | (status & ~mask);
  }
  // STATUS reaches the chip with the packet of the refresh below.
  std::ignore = WriteRegister(kRegStatus, Byte(status));
  UpdateDebugData();
  if (window_) window_->UpdateButtons();
}

void DebugProtocol::CheckDebugImage() {
  BuildDebugImage(image_);
  if (!image_.Failed) return;
  std::ignore = messages_.Service().Show(
      {image_.ErrorText ? image_.ErrorText : "", "Error", platform::BoxButtons::Ok});
  workbench::Abort();
}

}  // namespace build_debug
