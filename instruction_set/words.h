#pragma once
// The words written outside the instruction forms, built from the tables' templates: the jump
// of RESET and of the debug monitor's entry, the PAGE and BANK words, a RETW word; and what the
// readers of the instruction set take differently, as the columns of one table.
//
// Invariant: every builder masks its operand to the field it lands in, so a word never carries
// bits of its operand outside that field.

#include <cstdint>

#include "instruction_set/instruction_forms.h"
#include "instruction_set/instruction_set.h"
#include "instruction_set/mnemonic_rows.h"

namespace instruction_set {

inline constexpr uint16_t kJumpTemplate = FormWord(kJMP, {OP_FR});
inline constexpr uint16_t kPageTemplate = NativeTemplate("PAGE");
inline constexpr uint16_t kBankTemplate = NativeTemplate("BANK");
inline constexpr uint16_t kRetwTemplate = NativeTemplate("RETW");

// JMP to `address` within its page.
constexpr uint16_t JumpWord(int32_t address) {
  return static_cast<uint16_t>(kJumpTemplate | (address & kJumpField));
}
// Whether `word` is a JMP to an address within the page.
constexpr bool IsJumpWord(uint16_t word) {
  return (word & kWordBits & ~kJumpField) == kJumpTemplate;
}

// The page of a program address, 0 to 7.
constexpr int PageOf(int32_t address) { return (address >> kPageShift) & kSelectMask; }
// PAGE with the page number `page`.
constexpr uint16_t PageNumberWord(int page) {
  return static_cast<uint16_t>(kPageTemplate + (page & kSelectMask));
}
// PAGE selecting the page of `address`.
constexpr uint16_t PageWord(int32_t address) { return PageNumberWord(PageOf(address)); }

// BANK with the bank number `bank`.
constexpr uint16_t BankWord(int bank) {
  return static_cast<uint16_t>(kBankTemplate + (bank & kSelectMask));
}

// RETW returning with `literal` in W.
constexpr uint16_t RetwWord(int32_t literal) {
  return static_cast<uint16_t>(kRetwTemplate + (literal & kLiteralField));
}

// The readers of the instruction set and what each takes differently.
enum Reader : uint8_t { kTarnReader = 0, kBuiltinReader = 1 };

struct ReaderRanges {
  // MOV !fr,...: the registers taken as a port's control register.
  uint8_t first_port;
  uint8_t last_port;
  // A register's bank is (register >> shift) AND 7: 32 registers a bank, or 16.
  uint8_t bank_shift_2k;
  uint8_t bank_shift_4k;  // tarn: on a 4,096-word device of the new revision, else as on 2K
};

// clang-format off
inline constexpr ReaderRanges kReaderRanges[] = {
    // ports          bank shift
    // first  last    2K  4K
    {  5,     9,      5,  4},  // tarn
    {  5,     0x0B,   5,  4},  // the built-in assembler and the disassembler
};
// clang-format on

constexpr const ReaderRanges& RangesOf(Reader reader) { return kReaderRanges[reader]; }

constexpr bool IsPort(Reader reader, int32_t reg) {
  return reg >= RangesOf(reader).first_port && reg <= RangesOf(reader).last_port;
}

// The bank shift of a reader on a device with 16 registers a bank or with 32.
constexpr int BankShift(Reader reader, bool sixteen_per_bank) {
  return sixteen_per_bank ? RangesOf(reader).bank_shift_4k : RangesOf(reader).bank_shift_2k;
}

}  // namespace instruction_set
