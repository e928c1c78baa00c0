#pragma once
// The QV instruction set, written once: the names of its parts (instruction ids, operand
// kinds, mnemonic formats, encoding rules) and the row types of its two tables, the mnemonic
// rows (mnemonic_rows.h) and the instruction forms (instruction_forms.h).
//
// Each assembler keeps its own syntax, messages and operand checks; what they share is what a
// row says: the mnemonic, the operands it takes, the words it becomes and where each operand
// goes. Where the two assemblers differ on whether a row exists at all, the row's `readers`
// says so.

#include <cstdint>
#include <string>

namespace instruction_set {

// Instruction ids, shared by the mnemonic rows, the instruction forms and tarn's encoders.
enum InstructionId : uint16_t {
  kAND = 1,
  kNOT = 2,
  kOR = 3,
  kXOR = 4,
  kADD = 5,
  kCLR = 6,
  kDEC = 7,
  kDECSZ = 8,
  kINC = 9,
  kINCSZ = 10,
  kNOP = 11,
  kRL = 12,
  kRR = 13,
  kSUB = 14,
  kSWAP = 15,
  kCLRB = 16,
  kCLC = 17,
  kCLZ = 18,
  kSB = 19,
  kSETB = 20,
  kSNB = 21,
  kMOV = 22,
  kMOVSZ = 23,
  kSC = 24,
  kTEST = 25,
  kCALL = 26,
  kJMP = 27,
  kRET = 28,
  kRETP = 29,
  kRETI = 30,
  kRETIW = 31,
  kRETW = 32,
  kSKIP = 33,
  kBANK = 34,
  kIREAD = 35,
  kMODE = 36,
  kPAGE = 37,
  kSLEEP = 38,
  kName = 39,        // W, and the register and bit names: not instructions
  kDesignator = 48,  // the MCHIP words D and F
  kDW = 49,
  kSZ = 50,
  kSNC = 51,
  kSNZ = 52,
  kSTC = 53,
  kSTZ = 54,
  // MCHIP
  kADDWF = 55,
  kANDWF = 56,
  kCLRF = 57,
  kCLRW = 58,
  kCOMF = 59,
  kDECF = 60,
  kDECFSZ = 61,
  kINCF = 62,
  kINCFSZ = 63,
  kIORWF = 64,
  kMOVF = 65,
  kMOVWF = 66,
  kRLF = 67,
  kRRF = 68,
  kSUBWF = 69,
  kSWAPF = 70,
  kXORWF = 71,
  kBCF = 72,
  kBSF = 73,
  kBTFSC = 74,
  kBTFSS = 75,
  kADDLW = 76,
  kANDLW = 77,
  kCLRWDT = 78,
  kGOTO = 79,
  kIORLW = 80,
  kMOVLW = 81,
  kRETFIE = 82,
  kRETLW = 83,
  kRETURN = 84,
  kSUBLW = 85,
  kXORLW = 86,
  kOPTION = 87,
  kTRIS = 88,
  // debugger
  kDEBUG = 89,
  kOSC2RW = 90,
  kSETBP = 91,
  kFIFO = 92,
  kPUSH_DD0 = 93,
  kPUSH_DD1 = 94,
  kPUSH_DD2 = 95,
  kPUSH_DD3 = 96,
  kPOP_DD0 = 97,
  kPOP_DD1 = 98,
  kPOP_DD2 = 99,
  kPOP_DD3 = 100,
  // compound
  kADDB = 101,
  kSUBB = 102,
  kMOVB = 103,
  kIJNZ = 104,
  kDJNZ = 105,
  kCSE = 106,
  kCSNE = 107,
  kCSA = 108,
  kCSAE = 109,
  kCSB = 110,
  kCSBE = 111,
  kCJE = 112,
  kCJNE = 113,
  kCJA = 114,
  kCJAE = 115,
  kCJB = 116,
  kCJBE = 117,
  kJB = 118,
  kJC = 119,
  kJZ = 120,
  kJNB = 121,
  kJNC = 122,
  kJNZ = 123,
};

// The operand format of a mnemonic row: how its operands become the one word.
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

// Device class restriction of a form.
enum FormClass : uint8_t { kAnyClass = 0, kClass2K = 1, kClass4K = 2 };

// Which assemblers take a row. The built-in assembler knows neither the MCHIP and debugger
// mnemonics nor a few of tarn's spellings, and it names the ports RD and RE only on the
// 4,096-word devices; tarn takes every row.
enum Readers : uint8_t {
  kBoth = 0,
  kTarnOnly = 1,
  kTarnOnlyOn2K = 2,  // both on the 4,096-word devices
};

// Whether the built-in assembler takes a row of these readers on a device of this class.
constexpr bool BuiltinTakes(uint8_t readers, int device_class) {
  return readers == kBoth || (readers == kTarnOnlyOn2K && device_class == kClass4K);
}

struct MnemonicRow {
  const char* name;
  uint16_t id;  // InstructionId
  // 1 for a register or bit name; for instructions 2 with no operand, 3 with one, 4 with two
  // or more (DW and DATA have 2).
  uint8_t operand_count;
  uint8_t format;  // MnemonicFormat
  uint16_t tmpl;   // the opcode template; for register and bit names the value
  uint8_t readers;
};

// Operand kinds, by the classifier's names. Code 19 is not assigned.
enum OperandKind : uint16_t {
  OP_NULL = 0,
  OP_W = 1,
  OP_M = 2,
  OP_FR = 3,       // any other expression
  OP_NOT = 4,      // "!"
  OP_DIV = 5,      // "/"
  OP_MINUS = 6,    // "-"
  OP_PLUS = 7,     // "+"
  OP_LEFT = 8,     // "<"
  OP_RIGHT = 9,    // ">"
  OP_LSHIFT = 10,  // "<<"
  OP_RSHIFT = 11,  // ">>"
  OP_LIT = 12,     // "#" expression
  OP_OPTION = 13,
  OP_WDT = 14,
  OP_PC = 15,
  OP_RA = 16,
  OP_RB = 17,
  OP_RC = 18,
  OP_RD = 20,
  OP_RE = 21,
  OP_BIT = 23,  // an expression that carries a bit number
};

// How a form's operands go into its words (w1..w4 its templates; fr1, fr2, lit and addr the
// operands in source order; "|" ORs the operand's field in).
enum EncodingRule : uint8_t {
  kRuleOneWord = 0,             // w1 | every encoded operand
  kRuleThroughW = 1,            // w1 | second operand; w2 | first (MOV, ADD, ... fr,#lit / fr,fr)
  kRuleMoveBit = 3,             // MOVB dst,src: w1 | src; w2 | dst; w3 | src; w4 | dst
  kRuleMoveInvertedBit = 4,     // MOVB dst,/src: the same with src after the "/"
  kRuleLoop = 5,                // IJNZ, DJNZ: w1 | fr; jump word w2 | addr
  kRuleCompareSkip = 6,         // CSE, CSNE, CSAE, CSB: w1 | second; w2 | fr1; w3
  kRuleCompareJump = 7,         // CJE, CJNE, CJAE, CJB: as kRuleCompareSkip, then the jump word
  kRuleBitJump = 8,             // JB, JNB: w1 | bit; jump word w2 | addr
  kRuleFlagJump = 9,            // JC, JZ, JNC, JNZ: w1; jump word w2 | addr
  kRuleMoveToM = 10,            // MOV M,fr: w1 | fr; w2
  kRuleMoveFromM = 11,          // MOV fr,M: w1; w2 | fr
  kRuleWriteNamedPort = 12,     // MOV !RA..!RE or !OPTION,value: w1 | value; w2
  kRuleWritePortRegister = 14,  // MOV !fr,fr: w1 | fr2; w2 | port
  kRuleWritePortLiteral = 15,   // MOV !fr,#lit: w1 | lit; w2 | port (a port is 5 to 9)
  kRuleCompareSkipAbove = 16,   // CSA, CSBE fr,#lit: the literal is 255 - lit, then as 6
  kRuleCompareJumpAbove = 17,   // CJA, CJBE fr,#lit,addr: 255 - lit, then as 7
  kRuleBitOperation = 18,       // CLRB, SETB, SNB, SB: w1 | bit
  kRuleAddBit = 19,             // ADDB, SUBB fr,bit: w1 | bit; w2 | fr
  kRuleAddInvertedBit = 20,     // ADDB, SUBB fr,/bit: the same with the bit after the "/"
  kRuleCompareSkipRegisters = 26,  // CSA, CSBE fr,fr: w1 | fr1; w2 | fr2; w3
  kRuleCompareJumpRegisters = 27,  // CJA, CJBE fr,fr,addr: as 26, then the jump word
};

inline constexpr int kFormOperands = 5;  // operand records a form describes

struct InstructionForm {
  uint16_t id;
  uint8_t device_class;  // FormClass
  uint8_t size;          // words
  uint8_t encoding;      // EncodingRule
  uint8_t spare;
  uint16_t words[4];              // templates
  uint16_t masks[kFormOperands];  // per operand record: the values an operand may take
  uint16_t kinds[kFormOperands];  // per operand record
  uint8_t readers;
};

// Where an operand lands in a word: the bits of its field.
inline constexpr uint16_t kWordBits = 0x0FFF;
inline constexpr uint16_t kRegisterField = 0x1F;
inline constexpr uint16_t kLiteralField = 0xFF;
inline constexpr uint16_t kBitField = 0xFF;  // bit number * 32 + register
inline constexpr uint16_t kModeField = 0x0F;
inline constexpr uint16_t kDestinationBit = 0x020;  // fr,d with d = 1: the result to the register
inline constexpr uint16_t kJumpField = 0x1FF;       // JMP: an address within the page
inline constexpr uint16_t kCallField = 0xFF;        // CALL: the first half of the page
inline constexpr uint16_t kUpperHalfOfPage = kCallField + 1;  // an address a CALL cannot reach
inline constexpr uint16_t kAddressMask = 0xFFF;  // the mask of an address operand in a form
inline constexpr uint16_t kSkipEvenBit = 0x100;  // SKIP at an even address: SB PC.0, not SNB
inline constexpr int kPageShift = 9;             // an address's page is address >> 9, 0..7
inline constexpr int kBitShift = 5;              // a bit field is bit number << 5 | register
inline constexpr int kSelectMask = 7;            // PAGE and BANK select one of 8

// The operands of a form as a source writes them, from its kinds and masks: "W,--fr",
// "fr,#lit,addr", "bit,/bit", "!fr,W", "PC+W". A register position holds "fr", an address
// position "addr" (or "#addr" for a literal address), a bit position "bit".
std::string OperandSyntax(const InstructionForm& form);

}  // namespace instruction_set
