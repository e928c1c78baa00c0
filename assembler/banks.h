#pragma once
// RAM banks and code pages: the bank and page of an address, the file-register and bit fields
// that go into instruction words, and the PAGE word of the "@" prefix.

#include <cstdint>

#include "instruction_set/words.h"

namespace tarn {

struct TarnRun;

// The bank and page that BANK and PAGE selected; each is trusted for the next five code lines.
struct BankPageTracking {
  int bank = 0;
  int bank_countdown = 0;
  int page = 0;
  int page_countdown = 0;

  bool BankActive() const { return bank_countdown > 0; }
  bool PageActive() const { return page_countdown > 0; }
};

inline constexpr int kTrackingLines = 5;

// address >> 5; on the 4,096-word devices of the new revision (address >> 4) AND 7.
int BankOf(const TarnRun& run, int32_t address);
// Whether the device banks its registers 16 at a time (the 4,096-word devices of the new
// revision) rather than 32.
bool SixteenRegistersPerBank(const TarnRun& run);

// The file-register field of an address, with warnings 48 (not in the selected bank) and 24
// (beyond the device's registers) in pass 2.
int32_t StripBankBits(TarnRun& run, int32_t address);

// The bit field of register r, bit b, with warning 24 in pass 2 for a register beyond 255.
int32_t BitField(TarnRun& run, int32_t r, int32_t b);

// (address >> 9) AND 7.
using ::instruction_set::PageOf;

// With the page prefix: the PAGE word of the address's page; page tracking ends and the
// instruction grows by that word. Without: -1.
int MakePageWord(TarnRun& run, bool page_prefix, int32_t address);

}  // namespace tarn
