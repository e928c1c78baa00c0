#include "assembler/banks.h"

#include "assembler/messages.h"
#include "assembler/run.h"

namespace tarn {
namespace {

namespace isa = ::instruction_set;

constexpr int32_t kBitStep = 1 << isa::kBitShift;  // a bit number's step in a bit field

bool BankMismatch(const TarnRun& run, int32_t address) {
  return run.tracking.BankActive() && BankOf(run, address) != run.tracking.bank;
}

}  // namespace

int BankOf(const TarnRun& run, int32_t address) {
  if (SixteenRegistersPerBank(run))
    return ((address & 0xFF) >> isa::BankShift(isa::kTarnReader, true)) & isa::kSelectMask;
  return address >> isa::BankShift(isa::kTarnReader, false);
}

bool SixteenRegistersPerBank(const TarnRun& run) {
  return run.device.device_class == 2 && run.device.new_revision;
}

int32_t StripBankBits(TarnRun& run, int32_t address) {
  switch (run.device.device_class) {
    case 1:
      if (run.pass == 2 && address >= 16 && BankMismatch(run, address)) {
        ReportMessage(run, kWarning, kMsgNotInCurrentBank);
        return address & 31;
      }
      if (address >= 256) ReportInPass2(run, kWarning, kMsgValueOutOfRange);
      return address & 31;
    case 2:
      // The lower 16 registers are the same in every bank.
      if (address < 16) return address & 0xFFFF;
      if (run.pass == 2) {
        if (BankMismatch(run, address)) ReportMessage(run, kWarning, kMsgNotInCurrentBank);
        if (address >= 512) ReportMessage(run, kWarning, kMsgValueOutOfRange);
      }
      return (address & 31) | 16;
    default: return address;
  }
}

int32_t BitField(TarnRun& run, int32_t r, int32_t b) {
  if (r >= 256) ReportInPass2(run, kWarning, kMsgValueOutOfRange);
  if (run.device.device_class == 2 && r >= 16) {
    return (b >> 3) * 256 + (((b * kBitStep + (r & 31)) | 16) & 255);
  }
  return b * kBitStep + (r & 31);
}

int MakePageWord(TarnRun& run, bool page_prefix, int32_t address) {
  if (!page_prefix) return -1;
  run.tracking.page_countdown = 0;
  run.instruction.size += 1;
  return isa::PageWord(address);
}

}  // namespace tarn
