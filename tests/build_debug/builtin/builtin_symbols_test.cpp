// The built-in assembler's symbol table: first entry of a name wins, the fixed area is never
// overrun.

#include "build_debug/builtin/builtin_symbols.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <string>

#include "build_debug/builtin/builtin_names.h"

namespace build_debug {
namespace {

TEST(BuiltinSymbolTableTest, FindsTheFirstEntryOfAName) {
  BuiltinSymbolTable table;
  SymbolHandle first = table.Add("LOOP", 1, 10);
  ASSERT_NE(table.Add("LOOP", 2, 20), kNoSymbol);
  // "AB" and "BA" share a chain (same byte sum) and stay apart.
  ASSERT_NE(table.Add("AB", 1, 1), kNoSymbol);
  ASSERT_NE(table.Add("BA", 1, 2), kNoSymbol);
  EXPECT_EQ(table.Find("LOOP"), first);
  EXPECT_EQ(table.Value(table.Find("LOOP")), 10);
  EXPECT_EQ(table.Value(table.Find("AB")), 1);
  EXPECT_EQ(table.Value(table.Find("BA")), 2);
  EXPECT_EQ(table.Find("LOO"), kNoSymbol);
  EXPECT_EQ(table.Find("LOOPS"), kNoSymbol);
}

TEST(BuiltinSymbolTableTest, KeepsKindValueAndExtra) {
  BuiltinSymbolTable table;
  SymbolHandle entry = table.Add("MAC", 0x15, 1234, 64);
  EXPECT_EQ(table.Kind(entry), 0x15);
  EXPECT_EQ(table.Extra(entry), 64);
  table.SetValue(entry, -5);
  table.SetKind(entry, 2);
  EXPECT_EQ(table.Value(entry), -5);
  EXPECT_EQ(table.Kind(entry), 2);
}

TEST(BuiltinSymbolTableTest, RefusesWhatTheAreaCannotHoldAndClearsForTheNextRun) {
  BuiltinSymbolTable table;
  int added = 0;
  while (table.Add("NAME" + std::to_string(added), 1, added) != kNoSymbol) ++added;
  EXPECT_GT(added, 1000);
  EXPECT_LE(table.Used(), kSymbolAreaSize);
  // The refused entry left everything before it intact.
  EXPECT_EQ(table.Value(table.Find("NAME0")), 0);
  EXPECT_EQ(table.Value(table.Find("NAME" + std::to_string(added - 1))), added - 1);
  EXPECT_EQ(table.Find("NAME" + std::to_string(added)), kNoSymbol);

  table.Clear();
  EXPECT_EQ(table.Used(), 0);
  EXPECT_EQ(table.Find("NAME0"), kNoSymbol);
  EXPECT_NE(table.Add("NAME0", 1, 7), kNoSymbol);
}

// The mnemonics a DEVICE line enters are the 66 of the built-in assembler's list, each an
// instruction symbol; AND, OR, XOR and NOT stay the operators they were entered as first.
TEST(BuiltinSymbolTableTest, DeviceNamesHoldExactlyTheBuiltinMnemonics) {
  const char* const kInstructions[] = {
      "MOV",   "ADD",  "SUB",  "CLR",  "INC",   "DEC",   "RL",   "RR",   "SWAP",  "TEST",  "CLRB",
      "CLC",   "CLZ",  "SETB", "STC",  "STZ",   "ADDB",  "SUBB", "MOVB", "MOVSZ", "INCSZ", "IJNZ",
      "DECSZ", "DJNZ", "CSE",  "CSNE", "CSA",   "CSAE",  "CSB",  "CSBE", "CJE",   "CJNE",  "CJA",
      "CJAE",  "CJB",  "CJBE", "SB",   "SC",    "SZ",    "SNB",  "SNC",  "SNZ",   "JB",    "JC",
      "JZ",    "JNB",  "JNC",  "JNZ",  "SKIP",  "JMP",   "CALL", "RETW", "RET",   "RETP",  "RETI",
      "RETIW", "PAGE", "BANK", "MODE", "SLEEP", "IREAD", "NOP"};
  for (bool device4k : {false, true}) {
    BuiltinSymbolTable table;
    ASSERT_TRUE(EnterStartNames(table));
    ASSERT_TRUE(EnterDeviceNames(table, device4k));
    std::set<std::int32_t> values;
    for (const char* name : kInstructions) {
      SymbolHandle entry = table.Find(name);
      ASSERT_NE(entry, kNoSymbol) << name;
      EXPECT_EQ(table.Kind(entry), kKindInstruction) << name;
      values.insert(table.Value(entry));
    }
    EXPECT_EQ(values.size(), std::size(kInstructions));  // one instruction each
    EXPECT_EQ(table.Kind(table.Find("AND")), kKindLogical);
    EXPECT_EQ(table.Kind(table.Find("OR")), kKindLogical);
    EXPECT_EQ(table.Kind(table.Find("XOR")), kKindLogical);
    EXPECT_EQ(table.Kind(table.Find("NOT")), kKindNot);
    EXPECT_EQ(table.Kind(table.Find("M")), kKindM);
    EXPECT_EQ(table.Kind(table.Find("DW")), kKindDirective);
    // tarn's own spellings and the other syntaxes are no names here.
    for (const char* other : {"GOTO", "DATA", "RETLW", "MOVWF", "DEBUG", "FIFO", "BCF"})
      EXPECT_EQ(table.Find(other), kNoSymbol) << other;
  }
}

}  // namespace
}  // namespace build_debug
