#pragma once
// The mnemonic tables of the QV family: the native syntax, the compound mnemonics with the
// register and bit names, the MCHIP syntax and the debugger's own instructions. A row of a
// one-word mnemonic holds its opcode template.
//
// Invariants: names are upper case and unique within a table; tarn searches each table only
// for words within its length range (tarn's instruction_tables.h); `readers` is kTarnOnly for
// every MCHIP and debugger row but SLEEP, which is a native mnemonic too.

#include <string_view>

#include "instruction_set/instruction_set.h"

namespace instruction_set {

// Operand counts of the rows below.
inline constexpr uint8_t kNameRow = 1;  // a register or bit name
inline constexpr uint8_t kNoOperand = 2;
inline constexpr uint8_t kOneOperand = 3;
inline constexpr uint8_t kTwoOperands = 4;

// clang-format off
// The native syntax. The rows keep the order of the two columns of the instruction list:
// the left column first, then the right one. "M" is MODE written short.
inline constexpr MnemonicRow kNativeRows[] = {
    // name     id        count         format             template readers
    {"W",       kName,    kNameRow,     kFmtNone,          0x000, kBoth},
    {"M",       kMODE,    kOneOperand,  kFmtBankPageMode,  0x050, kTarnOnly},  // MODE written short
    {"DW",      kDW,      kNoOperand,   kFmtDataList,      0x000, kBoth},
    {"OR",      kOR,      kTwoOperands, kFmtForms,         0x000, kBoth},
    {"RL",      kRL,      kOneOperand,  kFmtFr,            0x360, kBoth},
    {"RR",      kRR,      kOneOperand,  kFmtFr,            0x320, kBoth},
    {"SB",      kSB,      kOneOperand,  kFmtForms,         0x000, kBoth},
    {"SC",      kSC,      kNoOperand,   kFmtNone,          0x703, kBoth},
    {"SZ",      kSZ,      kNoOperand,   kFmtNone,          0x743, kBoth},
    {"AND",     kAND,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"NOT",     kNOT,     kOneOperand,  kFmtForms,         0x000, kBoth},
    {"XOR",     kXOR,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"ADD",     kADD,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CLR",     kCLR,     kOneOperand,  kFmtForms,         0x000, kBoth},
    {"DEC",     kDEC,     kOneOperand,  kFmtFr,            0x0E0, kBoth},
    {"INC",     kINC,     kOneOperand,  kFmtFr,            0x2A0, kBoth},
    {"NOP",     kNOP,     kNoOperand,   kFmtNone,          0x000, kBoth},
    {"SUB",     kSUB,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CLC",     kCLC,     kNoOperand,   kFmtNone,          0x403, kBoth},
    {"CLZ",     kCLZ,     kNoOperand,   kFmtNone,          0x443, kBoth},
    {"DECSZ",   kDECSZ,   kOneOperand,  kFmtFr,            0x2E0, kBoth},
    {"MOVSZ",   kMOVSZ,   kTwoOperands, kFmtForms,         0x000, kBoth},
    {"IREAD",   kIREAD,   kNoOperand,   kFmtNone,          0x041, kBoth},

    {"SNB",     kSNB,     kOneOperand,  kFmtForms,         0x000, kBoth},
    {"MOV",     kMOV,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"JMP",     kJMP,     kOneOperand,  kFmtForms,         0x000, kBoth},
    {"RET",     kRET,     kNoOperand,   kFmtNone,          0x00C, kBoth},
    {"SNC",     kSNC,     kNoOperand,   kFmtNone,          0x603, kBoth},
    {"SNZ",     kSNZ,     kNoOperand,   kFmtNone,          0x643, kBoth},
    {"STC",     kSTC,     kNoOperand,   kFmtNone,          0x503, kBoth},
    {"STZ",     kSTZ,     kNoOperand,   kFmtNone,          0x543, kBoth},
    {"SWAP",    kSWAP,    kOneOperand,  kFmtFr,            0x3A0, kBoth},
    {"CLRB",    kCLRB,    kOneOperand,  kFmtForms,         0x000, kBoth},
    {"SETB",    kSETB,    kOneOperand,  kFmtForms,         0x000, kBoth},
    {"TEST",    kTEST,    kOneOperand,  kFmtForms,         0x000, kBoth},
    {"CALL",    kCALL,    kOneOperand,  kFmtForms,         0x000, kBoth},
    {"RETP",    kRETP,    kNoOperand,   kFmtNone,          0x00D, kBoth},
    {"RETI",    kRETI,    kNoOperand,   kFmtNone,          0x00E, kBoth},
    {"RETW",    kRETW,    kOneOperand,  kFmtRetwList,      0x800, kBoth},
    {"SKIP",    kSKIP,    kNoOperand,   kFmtSkip,          0x602, kBoth},
    {"BANK",    kBANK,    kOneOperand,  kFmtBankPageMode,  0x018, kBoth},
    {"PAGE",    kPAGE,    kOneOperand,  kFmtBankPageMode,  0x010, kBoth},
    {"MODE",    kMODE,    kOneOperand,  kFmtBankPageMode,  0x050, kBoth},
    {"INCSZ",   kINCSZ,   kOneOperand,  kFmtFr,            0x3E0, kBoth},
    {"RETIW",   kRETIW,   kNoOperand,   kFmtNone,          0x00F, kBoth},
    {"SLEEP",   kSLEEP,   kNoOperand,   kFmtNone,          0x003, kBoth},
};

// The compound mnemonics, then the register names and the bit names. A name's template is its
// value; a bit name's value is bit number * 256 + 3 (the status register).
inline constexpr MnemonicRow kCompoundRows[] = {
    // name     id        count         format             template readers
    {"ADDB",    kADDB,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"SUBB",    kSUBB,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"MOVB",    kMOVB,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"IJNZ",    kIJNZ,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"DJNZ",    kDJNZ,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CSE",     kCSE,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CSNE",    kCSNE,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CSA",     kCSA,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CSAE",    kCSAE,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CSB",     kCSB,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CSBE",    kCSBE,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CJE",     kCJE,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CJNE",    kCJNE,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CJA",     kCJA,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CJAE",    kCJAE,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CJB",     kCJB,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"CJBE",    kCJBE,    kTwoOperands, kFmtForms,         0x000, kBoth},
    {"JB",      kJB,      kTwoOperands, kFmtForms,         0x000, kBoth},
    {"JC",      kJC,      kOneOperand,  kFmtForms,         0x000, kBoth},
    {"JZ",      kJZ,      kOneOperand,  kFmtForms,         0x000, kBoth},
    {"JNB",     kJNB,     kTwoOperands, kFmtForms,         0x000, kBoth},
    {"JNC",     kJNC,     kOneOperand,  kFmtForms,         0x000, kBoth},
    {"JNZ",     kJNZ,     kOneOperand,  kFmtForms,         0x000, kBoth},

    // register names
    {"IND",     kName,    kNameRow,     kFmtNone,          0x000, kBoth},
    {"INDF",    kName,    kNameRow,     kFmtNone,          0x000, kBoth},
    {"WREG",    kName,    kNameRow,     kFmtNone,          0x001, kBoth},
    {"RTCC",    kName,    kNameRow,     kFmtNone,          0x001, kBoth},
    {"TMR0",    kName,    kNameRow,     kFmtNone,          0x001, kTarnOnly},
    {"PC",      kName,    kNameRow,     kFmtNone,          0x002, kBoth},
    {"PCL",     kName,    kNameRow,     kFmtNone,          0x002, kTarnOnly},
    {"STATUS",  kName,    kNameRow,     kFmtNone,          0x003, kBoth},
    {"FSR",     kName,    kNameRow,     kFmtNone,          0x004, kBoth},
    {"RA",      kName,    kNameRow,     kFmtNone,          0x005, kBoth},
    {"RB",      kName,    kNameRow,     kFmtNone,          0x006, kBoth},
    {"RC",      kName,    kNameRow,     kFmtNone,          0x007, kBoth},
    {"RD",      kName,    kNameRow,     kFmtNone,          0x008, kTarnOnlyOn2K},
    {"RE",      kName,    kNameRow,     kFmtNone,          0x009, kTarnOnlyOn2K},
    // bit names
    {"C",       kName,    kNameRow,     kFmtBitName,       0x003, kBoth},
    {"DC",      kName,    kNameRow,     kFmtBitName,       0x103, kBoth},
    {"Z",       kName,    kNameRow,     kFmtBitName,       0x203, kBoth},
    {"PD",      kName,    kNameRow,     kFmtBitName,       0x303, kBoth},
    {"TO",      kName,    kNameRow,     kFmtBitName,       0x403, kBoth},
    {"PA0",     kName,    kNameRow,     kFmtBitName,       0x503, kBoth},
    {"PA1",     kName,    kNameRow,     kFmtBitName,       0x603, kBoth},
    {"PA2",     kName,    kNameRow,     kFmtBitName,       0x703, kBoth},
};

inline constexpr MnemonicRow kMchipRows[] = {
    // name     id           count         format          template readers
    {"D",       kDesignator, kNameRow,     kFmtNone,       0x000, kTarnOnly},
    {"F",       kDesignator, kNameRow,     kFmtNone,       0x000, kTarnOnly},
    {"RLF",     kRLF,        kTwoOperands, kFmtFrDest,     0x340, kTarnOnly},
    {"RRF",     kRRF,        kTwoOperands, kFmtFrDest,     0x300, kTarnOnly},
    {"BCF",     kBCF,        kTwoOperands, kFmtFrBit,      0x400, kTarnOnly},
    {"BSF",     kBSF,        kTwoOperands, kFmtFrBit,      0x500, kTarnOnly},
    {"CLRF",    kCLRF,       kOneOperand,  kFmtFr,         0x060, kTarnOnly},
    {"CLRW",    kCLRW,       kNoOperand,   kFmtNone,       0x040, kTarnOnly},
    {"COMF",    kCOMF,       kTwoOperands, kFmtFrDest,     0x240, kTarnOnly},
    {"DECF",    kDECF,       kTwoOperands, kFmtFrDest,     0x0C0, kTarnOnly},
    {"INCF",    kINCF,       kTwoOperands, kFmtFrDest,     0x280, kTarnOnly},
    {"MOVF",    kMOVF,       kTwoOperands, kFmtFrDest,     0x200, kTarnOnly},
    {"TRIS",    kTRIS,       kOneOperand,  kFmtFr,         0x000, kTarnOnly},
    {"GOTO",    kGOTO,       kOneOperand,  kFmtForms,      0x000, kTarnOnly},
    {"DATA",    kDW,         kNoOperand,   kFmtDataList,   0x000, kTarnOnly},
    {"ADDWF",   kADDWF,      kTwoOperands, kFmtFrDest,     0x1C0, kTarnOnly},
    {"ANDWF",   kANDWF,      kTwoOperands, kFmtFrDest,     0x140, kTarnOnly},
    {"ANDLW",   kANDLW,      kOneOperand,  kFmtLiteral,    0xE00, kTarnOnly},
    {"IORWF",   kIORWF,      kTwoOperands, kFmtFrDest,     0x100, kTarnOnly},
    {"IORLW",   kIORLW,      kOneOperand,  kFmtLiteral,    0xD00, kTarnOnly},
    {"MOVWF",   kMOVWF,      kOneOperand,  kFmtFr,         0x020, kTarnOnly},
    {"MOVLW",   kMOVLW,      kOneOperand,  kFmtLiteral,    0xC00, kTarnOnly},
    {"SUBWF",   kSUBWF,      kTwoOperands, kFmtFrDest,     0x080, kTarnOnly},
    {"SWAPF",   kSWAPF,      kTwoOperands, kFmtFrDest,     0x380, kTarnOnly},
    {"XORWF",   kXORWF,      kTwoOperands, kFmtFrDest,     0x180, kTarnOnly},
    {"XORLW",   kXORLW,      kOneOperand,  kFmtLiteral,    0xF00, kTarnOnly},
    {"BTFSC",   kBTFSC,      kTwoOperands, kFmtFrBit,      0x600, kTarnOnly},
    {"BTFSS",   kBTFSS,      kTwoOperands, kFmtFrBit,      0x700, kTarnOnly},
    {"RETLW",   kRETLW,      kOneOperand,  kFmtLiteral,    0x800, kTarnOnly},
    {"SLEEP",   kSLEEP,      kNoOperand,   kFmtNone,       0x003, kBoth},  // native too
    {"ADDLW",   kADDLW,      kOneOperand,  kFmtLiteral,    0xC00, kTarnOnly},
    {"SUBLW",   kSUBLW,      kOneOperand,  kFmtLiteral,    0x000, kTarnOnly},
    {"DECFSZ",  kDECFSZ,     kTwoOperands, kFmtFrDest,     0x2C0, kTarnOnly},
    {"INCFSZ",  kINCFSZ,     kTwoOperands, kFmtFrDest,     0x3C0, kTarnOnly},
    {"OPTION",  kOPTION,     kNoOperand,   kFmtNone,       0x002, kTarnOnly},
    {"CLRWDT",  kCLRWDT,     kNoOperand,   kFmtNone,       0x004, kTarnOnly},
    {"RETFIE",  kRETFIE,     kNoOperand,   kFmtNone,       0x00E, kTarnOnly},
    {"RETURN",  kRETURN,     kNoOperand,   kFmtNone,       0x00C, kTarnOnly},
};

inline constexpr MnemonicRow kDebuggerRows[] = {
    // name       id          count        format    template readers
    {"DEBUG",     kDEBUG,     kNoOperand,  kFmtNone, 0x044, kTarnOnly},
    {"OSC2RW",    kOSC2RW,    kNoOperand,  kFmtNone, 0x045, kTarnOnly},
    {"SETBP",     kSETBP,     kNoOperand,  kFmtNone, 0x046, kTarnOnly},
    {"FIFO",      kFIFO,      kNoOperand,  kFmtNone, 0x047, kTarnOnly},
    {"PUSH_DD0",  kPUSH_DD0,  kNoOperand,  kFmtNone, 0x048, kTarnOnly},
    {"PUSH_DD1",  kPUSH_DD1,  kNoOperand,  kFmtNone, 0x049, kTarnOnly},
    {"PUSH_DD2",  kPUSH_DD2,  kNoOperand,  kFmtNone, 0x04A, kTarnOnly},
    {"PUSH_DD3",  kPUSH_DD3,  kNoOperand,  kFmtNone, 0x04B, kTarnOnly},
    {"POP_DD0",   kPOP_DD0,   kNoOperand,  kFmtNone, 0x04C, kTarnOnly},
    {"POP_DD1",   kPOP_DD1,   kNoOperand,  kFmtNone, 0x04D, kTarnOnly},
    {"POP_DD2",   kPOP_DD2,   kNoOperand,  kFmtNone, 0x04E, kTarnOnly},
    {"POP_DD3",   kPOP_DD3,   kNoOperand,  kFmtNone, 0x04F, kTarnOnly},
};
// clang-format on

// The opcode template of the native mnemonic `name`; a name the table lacks does not compile
// where a constant is asked for.
consteval uint16_t NativeTemplate(std::string_view name) {
  for (const MnemonicRow& row : kNativeRows) {
    if (std::string_view(row.name) == name) return row.tmpl;
  }
  throw "no native mnemonic of this name";
}

// The value of a register or bit name of the compound table.
consteval uint16_t NameValue(std::string_view name) {
  for (const MnemonicRow& row : kCompoundRows) {
    if (row.id == kName && std::string_view(row.name) == name) return row.tmpl;
  }
  throw "no register or bit name of this name";
}

}  // namespace instruction_set
