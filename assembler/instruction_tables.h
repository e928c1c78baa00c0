#pragma once
// tarn's lookup of the mnemonic tables of the instruction set (instruction_set/mnemonic_rows.h):
// which tables a syntax mode searches, in which order, and for words of which lengths.
//
// Invariants: every row of a table has a name whose length lies in that table's length range;
// the lookup compares without regard to case and the first table of the mode's order that
// holds the word wins.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "instruction_set/instruction_set.h"
#include "instruction_set/mnemonic_rows.h"

namespace tarn {

// The ids, formats and rows are the instruction set's (instruction_set/): tarn's names for them.
using namespace ::instruction_set;

struct MnemonicTable {
  std::span<const MnemonicRow> rows;
  int min_length;  // only words of this many characters ...
  int max_length;  // ... up to this many are searched
};

extern const MnemonicTable kNativeMnemonics;    // every mode
extern const MnemonicTable kCompoundMnemonics;  // KESTRIAN, ALL, DEBUGGER
extern const MnemonicTable kMchipMnemonics;     // MCHIP, ALL, DEBUGGER
extern const MnemonicTable kDebuggerMnemonics;  // DEBUGGER

// Whether words of this length are searched in the table.
inline bool InLengthRange(const MnemonicTable& table, std::string_view word) {
  int length = static_cast<int>(word.size());
  return length >= table.min_length && length <= table.max_length;
}

// The row of `table` named `word` (any case), or nullptr; words outside the table's length
// range are not searched.
const MnemonicRow* FindInTable(const MnemonicTable& table, std::string_view word);

// The tables the syntax mode searches, in the order they are searched; null in place of a
// table it does not search.
std::array<const MnemonicTable*, 4> SearchedTables(int syntax_mode);

// The mnemonic part of the keyword lookup: the native table, then the compound and name
// table, the MCHIP table and the debugger table as the syntax mode (option /C) allows. nullptr
// when no table of the mode holds the word.
const MnemonicRow* FindMnemonic(std::string_view word, int syntax_mode);

// Register and bit names (id 39) are keywords that stand for values, not instructions.
inline bool IsRegisterOrBitName(const MnemonicRow& row) { return row.id == kName; }

}  // namespace tarn
