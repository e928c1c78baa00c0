#include "assembler/instruction_tables.h"

#include "assembler/options.h"
#include "assembler/text.h"

namespace tarn {
namespace {

// Column names of the rows below.
constexpr uint8_t kNameRow = 1;  // operand count of a register or bit name
constexpr uint8_t kNoOperand = 2;
constexpr uint8_t kOneOperand = 3;
constexpr uint8_t kTwoOperands = 4;

// The native syntax. The rows keep the order of the two columns of the instruction list:
// the left column first, then the right one.
constexpr MnemonicRow kNativeRows[] = {
    // name     id        count         format             template
    {"W",       kName,    kNameRow,     kFmtNone,          0x000},
    {"M",       kMODE,    kOneOperand,  kFmtBankPageMode,  0x050},  // MODE written short
    {"DW",      kDW,      kNoOperand,   kFmtDataList,      0x000},
    {"OR",      kOR,      kTwoOperands, kFmtForms,         0x000},
    {"RL",      kRL,      kOneOperand,  kFmtFr,            0x360},
    {"RR",      kRR,      kOneOperand,  kFmtFr,            0x320},
    {"SB",      kSB,      kOneOperand,  kFmtForms,         0x000},
    {"SC",      kSC,      kNoOperand,   kFmtNone,          0x703},
    {"SZ",      kSZ,      kNoOperand,   kFmtNone,          0x743},
    {"AND",     kAND,     kTwoOperands, kFmtForms,         0x000},
    {"NOT",     kNOT,     kOneOperand,  kFmtForms,         0x000},
    {"XOR",     kXOR,     kTwoOperands, kFmtForms,         0x000},
    {"ADD",     kADD,     kTwoOperands, kFmtForms,         0x000},
    {"CLR",     kCLR,     kOneOperand,  kFmtForms,         0x000},
    {"DEC",     kDEC,     kOneOperand,  kFmtFr,            0x0E0},
    {"INC",     kINC,     kOneOperand,  kFmtFr,            0x2A0},
    {"NOP",     kNOP,     kNoOperand,   kFmtNone,          0x000},
    {"SUB",     kSUB,     kTwoOperands, kFmtForms,         0x000},
    {"CLC",     kCLC,     kNoOperand,   kFmtNone,          0x403},
    {"CLZ",     kCLZ,     kNoOperand,   kFmtNone,          0x443},
    {"DECSZ",   kDECSZ,   kOneOperand,  kFmtFr,            0x2E0},
    {"MOVSZ",   kMOVSZ,   kTwoOperands, kFmtForms,         0x000},
    {"IREAD",   kIREAD,   kNoOperand,   kFmtNone,          0x041},

    {"SNB",     kSNB,     kOneOperand,  kFmtForms,         0x000},
    {"MOV",     kMOV,     kTwoOperands, kFmtForms,         0x000},
    {"JMP",     kJMP,     kOneOperand,  kFmtForms,         0x000},
    {"RET",     kRET,     kNoOperand,   kFmtNone,          0x00C},
    {"SNC",     kSNC,     kNoOperand,   kFmtNone,          0x603},
    {"SNZ",     kSNZ,     kNoOperand,   kFmtNone,          0x643},
    {"STC",     kSTC,     kNoOperand,   kFmtNone,          0x503},
    {"STZ",     kSTZ,     kNoOperand,   kFmtNone,          0x543},
    {"SWAP",    kSWAP,    kOneOperand,  kFmtFr,            0x3A0},
    {"CLRB",    kCLRB,    kOneOperand,  kFmtForms,         0x000},
    {"SETB",    kSETB,    kOneOperand,  kFmtForms,         0x000},
    {"TEST",    kTEST,    kOneOperand,  kFmtForms,         0x000},
    {"CALL",    kCALL,    kOneOperand,  kFmtForms,         0x000},
    {"RETP",    kRETP,    kNoOperand,   kFmtNone,          0x00D},
    {"RETI",    kRETI,    kNoOperand,   kFmtNone,          0x00E},
    {"RETW",    kRETW,    kOneOperand,  kFmtRetwList,      0x800},
    {"SKIP",    kSKIP,    kNoOperand,   kFmtSkip,          0x602},
    {"BANK",    kBANK,    kOneOperand,  kFmtBankPageMode,  0x018},
    {"PAGE",    kPAGE,    kOneOperand,  kFmtBankPageMode,  0x010},
    {"MODE",    kMODE,    kOneOperand,  kFmtBankPageMode,  0x050},
    {"INCSZ",   kINCSZ,   kOneOperand,  kFmtFr,            0x3E0},
    {"RETIW",   kRETIW,   kNoOperand,   kFmtNone,          0x00F},
    {"SLEEP",   kSLEEP,   kNoOperand,   kFmtNone,          0x003},
};

// The compound mnemonics, then the register names and the bit names. A name's template is its
// value; a bit name's value is bit number * 256 + 3 (the status register).
constexpr MnemonicRow kCompoundRows[] = {
    // name     id        count         format             template
    {"ADDB",    kADDB,    kTwoOperands, kFmtForms,         0x000},
    {"SUBB",    kSUBB,    kTwoOperands, kFmtForms,         0x000},
    {"MOVB",    kMOVB,    kTwoOperands, kFmtForms,         0x000},
    {"IJNZ",    kIJNZ,    kTwoOperands, kFmtForms,         0x000},
    {"DJNZ",    kDJNZ,    kTwoOperands, kFmtForms,         0x000},
    {"CSE",     kCSE,     kTwoOperands, kFmtForms,         0x000},
    {"CSNE",    kCSNE,    kTwoOperands, kFmtForms,         0x000},
    {"CSA",     kCSA,     kTwoOperands, kFmtForms,         0x000},
    {"CSAE",    kCSAE,    kTwoOperands, kFmtForms,         0x000},
    {"CSB",     kCSB,     kTwoOperands, kFmtForms,         0x000},
    {"CSBE",    kCSBE,    kTwoOperands, kFmtForms,         0x000},
    {"CJE",     kCJE,     kTwoOperands, kFmtForms,         0x000},
    {"CJNE",    kCJNE,    kTwoOperands, kFmtForms,         0x000},
    {"CJA",     kCJA,     kTwoOperands, kFmtForms,         0x000},
    {"CJAE",    kCJAE,    kTwoOperands, kFmtForms,         0x000},
    {"CJB",     kCJB,     kTwoOperands, kFmtForms,         0x000},
    {"CJBE",    kCJBE,    kTwoOperands, kFmtForms,         0x000},
    {"JB",      kJB,      kTwoOperands, kFmtForms,         0x000},
    {"JC",      kJC,      kOneOperand,  kFmtForms,         0x000},
    {"JZ",      kJZ,      kOneOperand,  kFmtForms,         0x000},
    {"JNB",     kJNB,     kTwoOperands, kFmtForms,         0x000},
    {"JNC",     kJNC,     kOneOperand,  kFmtForms,         0x000},
    {"JNZ",     kJNZ,     kOneOperand,  kFmtForms,         0x000},

    // register names
    {"IND",     kName,    kNameRow,     kFmtNone,          0x000},
    {"INDF",    kName,    kNameRow,     kFmtNone,          0x000},
    {"WREG",    kName,    kNameRow,     kFmtNone,          0x001},
    {"RTCC",    kName,    kNameRow,     kFmtNone,          0x001},
    {"TMR0",    kName,    kNameRow,     kFmtNone,          0x001},
    {"PC",      kName,    kNameRow,     kFmtNone,          0x002},
    {"PCL",     kName,    kNameRow,     kFmtNone,          0x002},
    {"STATUS",  kName,    kNameRow,     kFmtNone,          0x003},
    {"FSR",     kName,    kNameRow,     kFmtNone,          0x004},
    {"RA",      kName,    kNameRow,     kFmtNone,          0x005},
    {"RB",      kName,    kNameRow,     kFmtNone,          0x006},
    {"RC",      kName,    kNameRow,     kFmtNone,          0x007},
    {"RD",      kName,    kNameRow,     kFmtNone,          0x008},
    {"RE",      kName,    kNameRow,     kFmtNone,          0x009},
    // bit names
    {"C",       kName,    kNameRow,     kFmtBitName,       0x003},
    {"DC",      kName,    kNameRow,     kFmtBitName,       0x103},
    {"Z",       kName,    kNameRow,     kFmtBitName,       0x203},
    {"PD",      kName,    kNameRow,     kFmtBitName,       0x303},
    {"TO",      kName,    kNameRow,     kFmtBitName,       0x403},
    {"PA0",     kName,    kNameRow,     kFmtBitName,       0x503},
    {"PA1",     kName,    kNameRow,     kFmtBitName,       0x603},
    {"PA2",     kName,    kNameRow,     kFmtBitName,       0x703},
};

constexpr MnemonicRow kMchipRows[] = {
    // name     id           count         format          template
    {"D",       kDesignator, kNameRow,     kFmtNone,       0x000},
    {"F",       kDesignator, kNameRow,     kFmtNone,       0x000},
    {"RLF",     kRLF,        kTwoOperands, kFmtFrDest,     0x340},
    {"RRF",     kRRF,        kTwoOperands, kFmtFrDest,     0x300},
    {"BCF",     kBCF,        kTwoOperands, kFmtFrBit,      0x400},
    {"BSF",     kBSF,        kTwoOperands, kFmtFrBit,      0x500},
    {"CLRF",    kCLRF,       kOneOperand,  kFmtFr,         0x060},
    {"CLRW",    kCLRW,       kNoOperand,   kFmtNone,       0x040},
    {"COMF",    kCOMF,       kTwoOperands, kFmtFrDest,     0x240},
    {"DECF",    kDECF,       kTwoOperands, kFmtFrDest,     0x0C0},
    {"INCF",    kINCF,       kTwoOperands, kFmtFrDest,     0x280},
    {"MOVF",    kMOVF,       kTwoOperands, kFmtFrDest,     0x200},
    {"TRIS",    kTRIS,       kOneOperand,  kFmtFr,         0x000},
    {"GOTO",    kGOTO,       kOneOperand,  kFmtForms,      0x000},
    {"DATA",    kDW,         kNoOperand,   kFmtDataList,   0x000},
    {"ADDWF",   kADDWF,      kTwoOperands, kFmtFrDest,     0x1C0},
    {"ANDWF",   kANDWF,      kTwoOperands, kFmtFrDest,     0x140},
    {"ANDLW",   kANDLW,      kOneOperand,  kFmtLiteral,    0xE00},
    {"IORWF",   kIORWF,      kTwoOperands, kFmtFrDest,     0x100},
    {"IORLW",   kIORLW,      kOneOperand,  kFmtLiteral,    0xD00},
    {"MOVWF",   kMOVWF,      kOneOperand,  kFmtFr,         0x020},
    {"MOVLW",   kMOVLW,      kOneOperand,  kFmtLiteral,    0xC00},
    {"SUBWF",   kSUBWF,      kTwoOperands, kFmtFrDest,     0x080},
    {"SWAPF",   kSWAPF,      kTwoOperands, kFmtFrDest,     0x380},
    {"XORWF",   kXORWF,      kTwoOperands, kFmtFrDest,     0x180},
    {"XORLW",   kXORLW,      kOneOperand,  kFmtLiteral,    0xF00},
    {"BTFSC",   kBTFSC,      kTwoOperands, kFmtFrBit,      0x600},
    {"BTFSS",   kBTFSS,      kTwoOperands, kFmtFrBit,      0x700},
    {"RETLW",   kRETLW,      kOneOperand,  kFmtLiteral,    0x800},
    {"SLEEP",   kSLEEP,      kNoOperand,   kFmtNone,       0x003},
    {"ADDLW",   kADDLW,      kOneOperand,  kFmtLiteral,    0xC00},
    {"SUBLW",   kSUBLW,      kOneOperand,  kFmtLiteral,    0x000},
    {"DECFSZ",  kDECFSZ,     kTwoOperands, kFmtFrDest,     0x2C0},
    {"INCFSZ",  kINCFSZ,     kTwoOperands, kFmtFrDest,     0x3C0},
    {"OPTION",  kOPTION,     kNoOperand,   kFmtNone,       0x002},
    {"CLRWDT",  kCLRWDT,     kNoOperand,   kFmtNone,       0x004},
    {"RETFIE",  kRETFIE,     kNoOperand,   kFmtNone,       0x00E},
    {"RETURN",  kRETURN,     kNoOperand,   kFmtNone,       0x00C},
};

constexpr MnemonicRow kDebuggerRows[] = {
    // name       id          count        format    template
    {"DEBUG",     kDEBUG,     kNoOperand,  kFmtNone, 0x044},
    {"OSC2RW",    kOSC2RW,    kNoOperand,  kFmtNone, 0x045},
    {"SETBP",     kSETBP,     kNoOperand,  kFmtNone, 0x046},
    {"FIFO",      kFIFO,      kNoOperand,  kFmtNone, 0x047},
    {"PUSH_DD0",  kPUSH_DD0,  kNoOperand,  kFmtNone, 0x048},
    {"PUSH_DD1",  kPUSH_DD1,  kNoOperand,  kFmtNone, 0x049},
    {"PUSH_DD2",  kPUSH_DD2,  kNoOperand,  kFmtNone, 0x04A},
    {"PUSH_DD3",  kPUSH_DD3,  kNoOperand,  kFmtNone, 0x04B},
    {"POP_DD0",   kPOP_DD0,   kNoOperand,  kFmtNone, 0x04C},
    {"POP_DD1",   kPOP_DD1,   kNoOperand,  kFmtNone, 0x04D},
    {"POP_DD2",   kPOP_DD2,   kNoOperand,  kFmtNone, 0x04E},
    {"POP_DD3",   kPOP_DD3,   kNoOperand,  kFmtNone, 0x04F},
};

}  // namespace

const MnemonicTable kNativeMnemonics = {kNativeRows, 1, 5};
const MnemonicTable kCompoundMnemonics = {kCompoundRows, 1, 6};
const MnemonicTable kMchipMnemonics = {kMchipRows, 1, 6};
const MnemonicTable kDebuggerMnemonics = {kDebuggerRows, 4, 8};

const MnemonicRow* FindInTable(const MnemonicTable& table, std::string_view word) {
  if (!InLengthRange(table, word)) return nullptr;
  for (const MnemonicRow& row : table.rows) {
    if (EqualsNoCase(row.name, word)) return &row;
  }
  return nullptr;
}

std::array<const MnemonicTable*, 4> SearchedTables(int syntax_mode) {
  bool compound = syntax_mode == kModeKestrian || syntax_mode == kModeAll || syntax_mode == kModeDebugger;
  bool mchip = syntax_mode == kModeMchip || syntax_mode == kModeAll || syntax_mode == kModeDebugger;
  bool debugger = syntax_mode == kModeDebugger;
  return {&kNativeMnemonics, compound ? &kCompoundMnemonics : nullptr, mchip ? &kMchipMnemonics : nullptr,
          debugger ? &kDebuggerMnemonics : nullptr};
}

const MnemonicRow* FindMnemonic(std::string_view word, int syntax_mode) {
  for (const MnemonicTable* table : SearchedTables(syntax_mode)) {
    if (!table) continue;
    if (const MnemonicRow* row = FindInTable(*table, word)) return row;
  }
  return nullptr;
}

}  // namespace tarn
