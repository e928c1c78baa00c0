#pragma once
// Instruction encoding: turns one instruction statement into its 12-bit words, stores them in
// the program image, and keeps the skip and bank/page state that warns about what follows.
//
// Every encoder starts with the mnemonic as the lexer's current token and reads the rest of
// the statement. The words a statement produces are always as many as pass 1 counted for it,
// whatever it reports, so that the addresses of both passes agree.
//
// Invariant: StatementWords::words holds the statement's size in words (0 only for an empty
// data list); a data list never holds more than kDataListLimit words.

#include <cstdint>
#include <vector>

#include "assembler/keywords.h"

namespace tarn {

struct TarnRun;

inline constexpr int kDataListLimit = 200;  // words of one DW, DATA or RETW statement

// What pass 2 keeps between statements.
struct EncodingState {
  bool previous_skip = false;  // the last instruction emitted was a skip
};

struct StatementWords {
  std::vector<uint16_t> words;
  bool skip = false;           // a skip instruction
  bool bank_or_page = false;   // BANK or PAGE: leaves the previous-skip state alone
  bool page_inserted = false;  // "@" put a PAGE word before the jump word
};

// Pass 2: the words of the instruction statement whose mnemonic `mnemonic` is (the keyword
// state of its lookup, taken by value: the operands' names are looked up too) at `address`.
// Data lists with a syntax error report error 1. Register and bit names are no mnemonics:
// the caller reports them (error 4) before.
StatementWords EncodeStatement(TarnRun& run, KeywordState mnemonic, uint16_t address);

// The mnemonic formats other than the form table and the lists: one word, the template ORed
// with the operand fields.
StatementWords EncodeOperands(TarnRun& run, const KeywordState& mnemonic, uint16_t address);

// The form-table instructions (format 0): classifies the operands, finds the form and builds
// its words; no matching form is error 1 and one word 0. Pass 2 only.
StatementWords EncodeCompound(TarnRun& run, int id);

// DW and DATA (one word per expression, value AND 0xFFF, one word per string character) and
// RETW (0x800 + (value AND 255), 0x800 + character), in either pass; pass 2 adds warnings 53
// and 59. A list that would pass kDataListLimit words reports error 6 and keeps the first
// kDataListLimit.
//   list := item { "," item }
//   item := string (followed by "," or the end) | expression
struct DataList {
  std::vector<uint16_t> words;
  bool well_formed = true;  // false: an empty item or something other than "," after an item
};
DataList EncodeDataList(TarnRun& run, bool retw);

// Stores the words at address + i. A word that is no longer the fill word 0x0FFF reports error
// 30 before it is overwritten; words that would lie past program memory report error 43 once
// and are not stored. Returns address + size, the next address in every case (as in pass 1).
int StoreStatementWords(TarnRun& run, int address, const std::vector<uint16_t>& words);

// After each encoded instruction: warning 73 for two or more words right after a skip (unless
// a PAGE word was put before the jump), then the statement becomes the previous one.
void FollowPreviousSkip(TarnRun& run, const StatementWords& statement);

// At the start of a pass: no skip before the first instruction, no bank or page known.
void ResetEncodingState(TarnRun& run);

// For every code line, listed or not: the page countdown, then the bank countdown, one less.
void CountDownTracking(TarnRun& run);

// A label on a statement: neither bank nor page is known any more.
void ClearTracking(TarnRun& run);

}  // namespace tarn
