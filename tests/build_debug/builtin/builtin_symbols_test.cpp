// The built-in assembler's symbol table: first entry of a name wins, the fixed area is never
// overrun.

#include "build_debug/builtin/builtin_symbols.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace build_debug
