#include "assembler/symbols.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/run.h"

namespace tarn {
namespace {

class SymbolsTest : public ::testing::Test {
 protected:
  std::ostringstream console;
  TarnRun run{console};

  std::vector<std::string> WalkNames() {
    std::vector<std::string> names;
    run.symbols.Walk([&](const SymbolNode& node) { names.push_back(node.name); });
    return names;
  }
};

TEST_F(SymbolsTest, NamesCompareWithoutRegardToCase) {
  EXPECT_EQ(DefineSymbolBit(run, "loop", 0x10, 0, kSymAddr), 1);
  SymbolNode* node = FindSymbol(run, "LOOP");
  ASSERT_NE(node, nullptr);
  EXPECT_EQ(node->name, "loop");
  EXPECT_EQ(node->value, 0x10);
  EXPECT_EQ(node->kind, kSymAddr);
  EXPECT_EQ(FindSymbol(run, "Loop"), node);
  EXPECT_EQ(FindSymbol(run, "loop2"), nullptr);
  EXPECT_EQ(FindSymbol(run, "loo"), nullptr);
}

TEST_F(SymbolsTest, DefinitionRecordsLineAndBitField) {
  ListingLineNumber(run) = 42;
  DefineSymbolBit(run, "flag", 5, 3, kSymData);
  run.expression.dot_used = true;
  DefineSymbolBit(run, "dotted", 5, 0, kSymData);
  run.expression.dot_used = false;
  DefineSymbolBit(run, "plain", 7, 0, kSymVar);
  EXPECT_EQ(FindSymbol(run, "flag")->line, 42);
  EXPECT_EQ(FindSymbol(run, "flag")->bit, 3);
  EXPECT_TRUE(FindSymbol(run, "flag")->has_bit);
  EXPECT_TRUE(FindSymbol(run, "dotted")->has_bit);
  EXPECT_FALSE(FindSymbol(run, "plain")->has_bit);
  EXPECT_EQ(run.symbols.Count(), 3);
}

TEST_F(SymbolsTest, WalkIsInCaseFoldedOrderAndEqualNamesInInsertionOrder) {
  for (const char* name : {"beta", "Alpha", "_under", "ALPHA", "gamma", "alpha", "Beta2", "a"}) {
    DefineSymbolBit(run, name, 0, 0, kSymData);
  }
  // Upper-case folding puts "_" (0x5F) after the letters.
  EXPECT_EQ(WalkNames(), (std::vector<std::string>{"a", "Alpha", "ALPHA", "alpha", "beta", "Beta2",
                                                   "gamma", "_under"}));
  // A lookup finds the first of equal names.
  EXPECT_EQ(FindSymbol(run, "alpha")->name, "Alpha");
  EXPECT_EQ(run.symbols.Count(), 8);
}

TEST_F(SymbolsTest, NamesAlikeInTheirFirstEightCharactersOrderOnTheRest) {
  for (const char* name : {"LONGNAME_B", "longname_a", "LONGNAME", "LongNameX", "LONGNAMEA",
                           "LONGNAM", "LONGNAMEX", "longnameA"}) {
    DefineSymbolBit(run, name, 0, 0, kSymData);
  }
  EXPECT_EQ(WalkNames(),
            (std::vector<std::string>{"LONGNAM", "LONGNAME", "LONGNAMEA", "longnameA", "LongNameX",
                                      "LONGNAMEX", "longname_a", "LONGNAME_B"}));
}

TEST_F(SymbolsTest, SetSymbolReplacesOnlyTheSameKind) {
  EXPECT_EQ(SetSymbol(run, "X", 1, kSymVar), 1);
  EXPECT_EQ(SetSymbolBit(run, "x", 2, 4, kSymVar), 1);
  EXPECT_EQ(run.symbols.Count(), 1);
  EXPECT_EQ(FindSymbol(run, "X")->value, 2);
  EXPECT_EQ(FindSymbol(run, "X")->bit, 4);
  EXPECT_EQ(SetSymbol(run, "x", 9, kSymData), 0);
  EXPECT_EQ(FindSymbol(run, "X")->value, 2);
  EXPECT_EQ(FindSymbol(run, "X")->kind, kSymVar);
  EXPECT_EQ(run.symbols.Count(), 1);
}

TEST_F(SymbolsTest, ValueOfAnAbsentNodeIsZero) {
  SymbolValue v = ValueOf(nullptr);
  EXPECT_EQ(v.value, 0);
  EXPECT_EQ(v.bit, 0);
  DefineSymbolBit(run, "r", -3, 2, kSymResb);
  v = ValueOf(FindSymbol(run, "R"));
  EXPECT_EQ(v.value, -3);
  EXPECT_EQ(v.bit, 2);
}

TEST_F(SymbolsTest, LongLocalLabelNamesAreKeptWhole) {
  std::string name = "MAIN:" + std::string(120, 'x');
  DefineSymbolBit(run, name, 1, 0, kSymAddr);
  ASSERT_NE(FindSymbol(run, name), nullptr);
  EXPECT_EQ(FindSymbol(run, name.substr(0, 100)), nullptr);
}

// Names defined in sorted order used to make an unbalanced tree a list.
TEST_F(SymbolsTest, TwentyThousandSortedNames) {
  char name[16];
  for (int i = 0; i < 20000; ++i) {
    std::snprintf(name, sizeof name, "L%05d", i);
    DefineSymbolBit(run, name, i, 0, kSymAddr);
  }
  for (int i = 0; i < 20000; ++i) {
    std::snprintf(name, sizeof name, "l%05d", i);
    const SymbolNode* node = FindSymbol(run, name);
    ASSERT_NE(node, nullptr);
    ASSERT_EQ(node->value, i);
  }
  std::vector<std::string> names = WalkNames();
  ASSERT_EQ(names.size(), 20000u);
  EXPECT_EQ(names.front(), "L00000");
  EXPECT_EQ(names.back(), "L19999");
  run.symbols.Clear();
  EXPECT_EQ(run.symbols.Count(), 0);
  EXPECT_EQ(FindSymbol(run, "L00001"), nullptr);
}

}  // namespace
}  // namespace tarn
