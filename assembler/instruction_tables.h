#pragma once
// The mnemonic tables of the QV family: the native syntax, the compound mnemonics with the
// register and bit names, the MCHIP syntax and the debugger's own instructions.
//
// Invariants: names are upper case and unique within a table; every row of a table has a name
// whose length lies in that table's length range; the lookup compares without regard to case
// and the first table of the mode's order that holds the word wins.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace tarn {

// Instruction ids, shared by the mnemonic rows, the instruction forms and the encoders.
enum InstructionId : uint16_t {
  kAND = 1, kNOT = 2, kOR = 3, kXOR = 4, kADD = 5, kCLR = 6, kDEC = 7, kDECSZ = 8,
  kINC = 9, kINCSZ = 10, kNOP = 11, kRL = 12, kRR = 13, kSUB = 14, kSWAP = 15, kCLRB = 16,
  kCLC = 17, kCLZ = 18, kSB = 19, kSETB = 20, kSNB = 21, kMOV = 22, kMOVSZ = 23, kSC = 24,
  kTEST = 25, kCALL = 26, kJMP = 27, kRET = 28, kRETP = 29, kRETI = 30, kRETIW = 31,
  kRETW = 32, kSKIP = 33, kBANK = 34, kIREAD = 35, kMODE = 36, kPAGE = 37, kSLEEP = 38,
  kName = 39,        // W, and the register and bit names: not instructions
  kDesignator = 48,  // the MCHIP words D and F
  kDW = 49, kSZ = 50, kSNC = 51, kSNZ = 52, kSTC = 53, kSTZ = 54,
  // MCHIP
  kADDWF = 55, kANDWF = 56, kCLRF = 57, kCLRW = 58, kCOMF = 59, kDECF = 60, kDECFSZ = 61,
  kINCF = 62, kINCFSZ = 63, kIORWF = 64, kMOVF = 65, kMOVWF = 66, kRLF = 67, kRRF = 68,
  kSUBWF = 69, kSWAPF = 70, kXORWF = 71, kBCF = 72, kBSF = 73, kBTFSC = 74, kBTFSS = 75,
  kADDLW = 76, kANDLW = 77, kCLRWDT = 78, kGOTO = 79, kIORLW = 80, kMOVLW = 81,
  kRETFIE = 82, kRETLW = 83, kRETURN = 84, kSUBLW = 85, kXORLW = 86, kOPTION = 87,
  kTRIS = 88,
  // debugger
  kDEBUG = 89, kOSC2RW = 90, kSETBP = 91, kFIFO = 92, kPUSH_DD0 = 93, kPUSH_DD1 = 94,
  kPUSH_DD2 = 95, kPUSH_DD3 = 96, kPOP_DD0 = 97, kPOP_DD1 = 98, kPOP_DD2 = 99, kPOP_DD3 = 100,
  // compound
  kADDB = 101, kSUBB = 102, kMOVB = 103, kIJNZ = 104, kDJNZ = 105, kCSE = 106, kCSNE = 107,
  kCSA = 108, kCSAE = 109, kCSB = 110, kCSBE = 111, kCJE = 112, kCJNE = 113, kCJA = 114,
  kCJAE = 115, kCJB = 116, kCJBE = 117, kJB = 118, kJC = 119, kJZ = 120, kJNB = 121,
  kJNC = 122, kJNZ = 123,
};

// The operand format selects the encoder of a mnemonic.
enum MnemonicFormat : uint8_t {
  kFmtForms = 0,          // through the instruction-form table
  kFmtNone = 1,           // no operand: the word is the template
  kFmtFr = 2,             // one file register
  kFmtLiteral = 9,        // one 8-bit literal
  kFmtBankPageMode = 11,  // BANK, PAGE, MODE operand
  kFmtDataList = 12,      // DW, DATA
  kFmtFrDest = 18,        // file register and destination bit (fr,d)
  kFmtFrBit = 19,         // file register and bit number (fr,b)
  kFmtSkip = 20,          // SKIP
  kFmtRetwList = 21,      // RETW literal list
  kFmtBitName = 43,       // a bit name, not an instruction
};

struct MnemonicRow {
  const char* name;
  uint32_t id;
  // 1 for a register or bit name; for instructions 2 with no operand, 3 with one, 4 with two
  // or more (DW and DATA have 2).
  uint8_t operand_count;
  uint8_t format;
  uint16_t tmpl;  // the opcode template; for register and bit names the value
};

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
