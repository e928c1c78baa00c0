// The mnemonic tables: their shape, and the lookup by syntax mode.

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "assembler/instruction_tables.h"
#include "assembler/keywords.h"
#include "assembler/options.h"
#include "assembler/text.h"

namespace tarn {
namespace {

struct TableShape {
  const char* title;
  const MnemonicTable* table;
  size_t rows;
};

const TableShape kShapes[] = {
    {"native", &kNativeMnemonics, 46},
    {"compound and names", &kCompoundMnemonics, 23 + 14 + 8},
    {"MCHIP", &kMchipMnemonics, 38},
    {"debugger", &kDebuggerMnemonics, 12},
};

TEST(MnemonicTables, RowCountsNamesAndLengths) {
  for (const TableShape& shape : kShapes) {
    SCOPED_TRACE(shape.title);
    EXPECT_EQ(shape.table->rows.size(), shape.rows);
    std::set<std::string> seen;
    for (const MnemonicRow& row : shape.table->rows) {
      std::string name = row.name;
      EXPECT_TRUE(seen.insert(name).second) << name << " twice";
      for (char c : name) EXPECT_FALSE(std::islower(static_cast<unsigned char>(c))) << name;
      EXPECT_GE(static_cast<int>(name.size()), shape.table->min_length) << name;
      EXPECT_LE(static_cast<int>(name.size()), shape.table->max_length) << name;
      // A name row has count 1; an instruction 2 to 4.
      if (row.id == kName || row.id == kDesignator) {
        EXPECT_EQ(row.operand_count, 1) << name;
      } else {
        EXPECT_GE(row.operand_count, 2) << name;
        EXPECT_LE(row.operand_count, 4) << name;
      }
    }
  }
}

struct LookupCase {
  const char* word;
  int mode;
  bool found;
  uint32_t id;
  uint8_t format;
  uint16_t tmpl;
};

// Rows picked from every table and every format, as the instruction lists give them.
const LookupCase kLookups[] = {
    // word        mode            found  id          format             template
    {"W", kModeQV, true, kName, kFmtNone, 0x000},
    {"M", kModeQV, true, kMODE, kFmtBankPageMode, 0x050},
    {"MODE", kModeQV, true, kMODE, kFmtBankPageMode, 0x050},
    {"DW", kModeQV, true, kDW, kFmtDataList, 0x000},
    {"RL", kModeQV, true, kRL, kFmtFr, 0x360},
    {"SZ", kModeQV, true, kSZ, kFmtNone, 0x743},
    {"DECSZ", kModeQV, true, kDECSZ, kFmtFr, 0x2E0},
    {"IREAD", kModeQV, true, kIREAD, kFmtNone, 0x041},
    {"MOV", kModeQV, true, kMOV, kFmtForms, 0x000},
    {"RETW", kModeQV, true, kRETW, kFmtRetwList, 0x800},
    {"SKIP", kModeQV, true, kSKIP, kFmtSkip, 0x602},
    {"BANK", kModeQV, true, kBANK, kFmtBankPageMode, 0x018},
    {"PAGE", kModeQV, true, kPAGE, kFmtBankPageMode, 0x010},
    {"RETIW", kModeQV, true, kRETIW, kFmtNone, 0x00F},
    {"SLEEP", kModeQV, true, kSLEEP, kFmtNone, 0x003},
    // compound rows and names: KESTRIAN, ALL, DEBUGGER only
    {"CJBE", kModeKestrian, true, kCJBE, kFmtForms, 0x000},
    {"JNZ", kModeAll, true, kJNZ, kFmtForms, 0x000},
    {"ADDB", kModeDebugger, true, kADDB, kFmtForms, 0x000},
    {"ADDB", kModeQV, false, 0, 0, 0},
    {"ADDB", kModeMchip, false, 0, 0, 0},
    {"STATUS", kModeKestrian, true, kName, kFmtNone, 0x003},
    {"TMR0", kModeKestrian, true, kName, kFmtNone, 0x001},
    {"RE", kModeKestrian, true, kName, kFmtNone, 0x009},
    {"RA", kModeQV, false, 0, 0, 0},
    {"PA2", kModeKestrian, true, kName, kFmtBitName, 0x703},
    {"DC", kModeKestrian, true, kName, kFmtBitName, 0x103},
    // MCHIP: MCHIP, ALL, DEBUGGER only
    {"MOVLW", kModeMchip, true, kMOVLW, kFmtLiteral, 0xC00},
    {"MOVLW", kModeAll, true, kMOVLW, kFmtLiteral, 0xC00},
    {"MOVLW", kModeDebugger, true, kMOVLW, kFmtLiteral, 0xC00},
    {"MOVLW", kModeKestrian, false, 0, 0, 0},
    {"MOVLW", kModeQV, false, 0, 0, 0},
    {"ADDLW", kModeMchip, true, kADDLW, kFmtLiteral, 0xC00},
    {"SUBLW", kModeMchip, true, kSUBLW, kFmtLiteral, 0x000},
    {"DATA", kModeMchip, true, kDW, kFmtDataList, 0x000},
    {"GOTO", kModeMchip, true, kGOTO, kFmtForms, 0x000},
    {"BTFSS", kModeMchip, true, kBTFSS, kFmtFrBit, 0x700},
    {"DECFSZ", kModeMchip, true, kDECFSZ, kFmtFrDest, 0x2C0},
    {"TRIS", kModeMchip, true, kTRIS, kFmtFr, 0x000},
    {"F", kModeMchip, true, kDesignator, kFmtNone, 0x000},
    // SLEEP is native too: the native row is found first
    {"sleep", kModeMchip, true, kSLEEP, kFmtNone, 0x003},
    // debugger: mode DEBUGGER only
    {"PUSH_DD3", kModeDebugger, true, kPUSH_DD3, kFmtNone, 0x04B},
    {"POP_DD0", kModeDebugger, true, kPOP_DD0, kFmtNone, 0x04C},
    {"DEBUG", kModeDebugger, true, kDEBUG, kFmtNone, 0x044},
    {"DEBUG", kModeAll, false, 0, 0, 0},
    // any case
    {"movlw", kModeMchip, true, kMOVLW, kFmtLiteral, 0xC00},
    {"Movlw", kModeMchip, true, kMOVLW, kFmtLiteral, 0xC00},
    {"cjne", kModeKestrian, true, kCJNE, kFmtForms, 0x000},
    // not keywords
    {"MOVE", kModeDebugger, false, 0, 0, 0},
    {"", kModeDebugger, false, 0, 0, 0},
};

TEST(MnemonicTables, LookupBySyntaxMode) {
  for (const LookupCase& c : kLookups) {
    SCOPED_TRACE(std::string(c.word) + " in mode " + std::to_string(c.mode));
    const MnemonicRow* row = FindMnemonic(c.word, c.mode);
    ASSERT_EQ(row != nullptr, c.found);
    if (!row) continue;
    EXPECT_EQ(row->id, c.id);
    EXPECT_EQ(row->format, c.format);
    EXPECT_EQ(row->tmpl, c.tmpl);
  }
}

// The index built for a mode finds what the table searches find, for every name of every table.
TEST(MnemonicTables, KeywordIndexAgreesWithTheTableSearch) {
  for (int mode : {kModeKestrian, kModeMchip, kModeAll, kModeDebugger, kModeQV}) {
    KeywordIndex index;
    for (const MnemonicTable* table :
         {&kNativeMnemonics, &kCompoundMnemonics, &kMchipMnemonics, &kDebuggerMnemonics}) {
      for (const MnemonicRow& row : table->rows) {
        for (const std::string& word : {std::string(row.name), UpperCase(row.name) + "X"}) {
          SCOPED_TRACE(word + " in mode " + std::to_string(mode));
          const KeywordIndex::Entry* entry = index.Find(word, mode);
          const DirectiveRow* directive = FindDirective(word);
          const MnemonicRow* mnemonic = directive ? nullptr : FindMnemonic(word, mode);
          EXPECT_EQ(entry ? entry->directive : nullptr, directive);
          EXPECT_EQ(entry ? entry->mnemonic : nullptr, mnemonic);
        }
      }
    }
  }
}

TEST(MnemonicTables, LengthRangeLimitsTheSearch) {
  // The debugger table holds names of 4 to 8 characters only; the native one 1 to 5.
  EXPECT_EQ(FindInTable(kDebuggerMnemonics, "FIFO")->id, kFIFO);
  EXPECT_EQ(FindInTable(kNativeMnemonics, "PUSH_DD0"), nullptr);
  EXPECT_EQ(FindInTable(kCompoundMnemonics, "STATUS")->tmpl, 0x003);
}

TEST(MnemonicTables, BitNameValuesAreBitTimes256PlusStatus) {
  const char* bits[] = {"C", "DC", "Z", "PD", "TO", "PA0", "PA1", "PA2"};
  for (int b = 0; b < 8; ++b) {
    const MnemonicRow* row = FindInTable(kCompoundMnemonics, bits[b]);
    ASSERT_NE(row, nullptr) << bits[b];
    EXPECT_EQ(row->tmpl, b * 256 + 3) << bits[b];
    EXPECT_TRUE(IsRegisterOrBitName(*row));
  }
}

}  // namespace
}  // namespace tarn
