#include "assembler/expression.h"

#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>

#include "assembler/keywords.h"
#include "assembler/lexer.h"
#include "assembler/run.h"
#include "assembler/symbols.h"
#include "tests/assembler/shift_cases.h"

namespace tarn {
namespace {

struct Result {
  int status;
  int32_t value;
  uint16_t bit;
};

class ExpressionTest : public ::testing::Test {
 protected:
  std::ostringstream console;
  TarnRun run{console};

  void SetUp() override {
    run.pass = 2;
    run.options.syntax_mode = kModeKestrian;
  }

  Result Eval(const std::string& text) {
    BeginLine(run, text);
    ClearExpressionStack(run);
    run.messages.counts = {};
    NextToken(run);
    int status = EvalExpression(run);
    ExprValue v = PopValue(run);
    return {status, v.value, v.bit};
  }

  int Warnings() const { return run.messages.counts.warnings; }
  int Errors() const { return run.messages.counts.errors; }
  bool Printed(const std::string& text) const {
    return console.str().find(text) != std::string::npos;
  }
};

struct Case {
  const char* text;
  int32_t value;
  uint16_t bit;
  int warnings;  // reported while evaluating
};

TEST_F(ExpressionTest, OperatorsAndPrecedence) {
  const Case cases[] = {
      {"1+2*3", 7, 0, 0},
      {"(1+2)*3", 9, 0, 0},
      {"10-4-3", 3, 0, 0},
      {"7/2", 3, 0, 0},
      {"-7/2", -3, 0, 0},
      {"7//2", 1, 0, 0},
      {"-7//2", -1, 0, 0},
      {"5/0", 0, 0, 1},
      {"5//0", 0, 0, 0},
      {"$F0 >< 4", 0xF0, 0, 0},
      {"0x0B >< 4", 0x0D, 0, 0},
      {"0x0B >< 0", 0x0B, 0, 0},
      {"0x0B >< -4", 0x0B, 0, 0},
      {"1 << 31", INT_MIN, 0, 0},
      {"1 << 33", 2, 0, 0},
      {"-8 >> 1", -4, 0, 0},
      {"-1 >> 40", -1, 0, 0},
      {"256 >> 36", 16, 0, 0},
      {"3 & 5", 1, 0, 0},
      {"3 ^ 5", 6, 0, 0},
      {"3 | 5", 7, 0, 0},
      {"2*3+4*5", 26, 0, 0},
      {"1+2|4", 7, 0, 0},
      {"2+3 << 1", 8, 0, 0},
      {"'A'", 65, 0, 0},
      {"'ABC'", 65, 0, 0},
      {"'\xC8'", -56, 0, 0},
      {"''", 0, 0, 0},
      {"~0", -1, 0, 0},
      {"!0", 1, 0, 0},
      {"!5", 0, 0, 0},
      {"||-5", 5, 0, 0},
      {"+4", 4, 0, 0},
      {"- -3", 3, 0, 0},
      {"1 = 1", 1, 0, 0},
      {"1 == 2", 0, 0, 0},
      {"1 != 2", 1, 0, 0},
      {"-1 < 0", 1, 0, 0},
      {"2 > 1", 1, 0, 0},
      {"2 <= 2", 1, 0, 0},
      {"3 >= 4", 0, 0, 0},
      {"1 && 0", 0, 0, 0},
      {"2 && 3", 1, 0, 0},
      {"1 || 0", 1, 0, 0},
      {"0 || 0", 0, 0, 0},
      {"1+1 == 2", 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Result r = Eval(c.text);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.value, c.value);
    EXPECT_EQ(r.bit, c.bit);
    EXPECT_EQ(Warnings(), c.warnings);
    EXPECT_EQ(run.lexer.kind, Token::kEndOfLine);
  }
  EXPECT_TRUE(Printed("Warning 58, Pass 2: Division by zero"));
}

// Arithmetic is 32 bits and wraps; the corner cases of division do not trap.
TEST_F(ExpressionTest, WrappingArithmetic) {
  const Case cases[] = {
      {"2147483647+1", INT_MIN, 0, 0},   {"-2147483648-1", INT_MAX, 0, 0},
      {"65536*65536", 0, 0, 0},          {"-2147483648/-1", INT_MIN, 0, 0},
      {"-2147483648//-1", 0, 0, 0},      {"||-2147483648", INT_MIN, 0, 0},
      {"-(-2147483648)", INT_MIN, 0, 0}, {"0FFFFFFFFh + 2", 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Result r = Eval(c.text);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.value, c.value);
  }
  EXPECT_EQ(DivideValues(INT_MIN, -1), INT_MIN);
  EXPECT_EQ(RemainderOf(INT_MIN, -1), 0);
  EXPECT_EQ(DivideValues(7, 0), 0);
  EXPECT_EQ(RemainderOf(7, 0), 0);
  EXPECT_EQ(ReverseBits(0x12345678, 8), 0x1234561E);
  EXPECT_EQ(ReverseBits(1, 32), 1);
  EXPECT_EQ(ReverseBits(1, 31), 0x40000000);
}

// The count is taken modulo 32, and >> is arithmetic.
TEST_F(ExpressionTest, ShiftCountsModulo32) {
  for (const shift_cases::ShiftCase& c : shift_cases::kShiftCases) {
    SCOPED_TRACE(c.count);
    const std::string count = std::to_string(c.count);
    Result left = Eval("1 << " + count);
    EXPECT_EQ(left.status, 0);
    EXPECT_EQ(static_cast<uint32_t>(left.value), c.one_shifted_left);
    Result right = Eval("$80000000 >> " + count);
    EXPECT_EQ(right.status, 0);
    EXPECT_EQ(static_cast<uint32_t>(right.value), c.sign_shifted_right);
  }
}

TEST_F(ExpressionTest, BitFieldsAndTheirCarries) {
  const Case cases[] = {
      {"RA.1", 5, 1, 0},
      {"RA.7 + 0.1", 6, 0, 1},
      {"RA.1 - 0.2", 4, 7, 1},
      {"RA.3 + 2", 7, 3, 0},
      {"RA.1 - 0.1", 5, 0, 1},
      {"RB.0 - 0.1", 5, 7, 0},
      {"RA.1 | 0.4", 5, 5, 1},
      {"RA.1 & RA.3", 5, 1, 1},
      {"RA.3 ^ 0.1", 5, 2, 1},
      {".Z", 2, 0, 0},
      {"Z", 3, 2, 0},
      {"C", 3, 0, 0},
      {"PA2", 3, 7, 0},
      {"STATUS.4", 3, 4, 0},
      {"RA.9", 5, 1, 1},
      {"RA.-1", 5, 7, 1},
      {"RA.1 * 2", 10, 0, 1},
      {"-Z", -3, 0, 1},
      {"RA.1 == RA.1", 1, 0, 0},
      {"RA.1 == RA.2", 0, 0, 0},
      {"RA.1 < RA.2", 1, 0, 0},
      {"RA.2 >= RA.1", 1, 0, 0},
      {"Z && 1", 1, 0, 1},
      {"RA.Z", 5, 3, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Result r = Eval(c.text);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.value, c.value);
    EXPECT_EQ(r.bit, c.bit);
    EXPECT_EQ(Warnings(), c.warnings);
  }
  EXPECT_TRUE(Printed("Warning 53, Pass 2: Applied non bitfield operator to a bitfield value"));
  EXPECT_TRUE(Printed("Warning 41, Pass 2: Bit number out of range"));
}

TEST_F(ExpressionTest, BitNumbersAreCheckedInPassTwoOnly) {
  run.pass = 1;
  Result r = Eval("RA.9");
  EXPECT_EQ(r.bit, 1);
  EXPECT_EQ(Warnings(), 0);
}

TEST_F(ExpressionTest, WideBitNumbersInTheIdeMode) {
  run.expression.wide_bit = true;
  Result r = Eval("RA.20");
  EXPECT_EQ(r.bit, 4);  // outside the IDE's mode the limit stays 7
  EXPECT_EQ(Warnings(), 1);
  run.options.kestrian = true;
  r = Eval("RA.20");
  EXPECT_EQ(r.bit, 20);
  EXPECT_EQ(Warnings(), 0);
  r = Eval("RA.32");
  EXPECT_EQ(r.bit, 0);
  EXPECT_EQ(Warnings(), 1);
}

TEST_F(ExpressionTest, DotUsedTellsOfTheLastOperand) {
  Eval("RA.0");
  EXPECT_TRUE(run.expression.dot_used);
  Eval("RA.0 + 1");
  EXPECT_FALSE(run.expression.dot_used);
  Eval("1 + RA.0");
  EXPECT_TRUE(run.expression.dot_used);
}

TEST_F(ExpressionTest, OneComparisonAtMost) {
  Result r = Eval("1 == 1 == 1");
  EXPECT_EQ(r.value, 1);
  EXPECT_EQ(run.lexer.kind, Token::kEqual);
  Eval("1+2, 3");
  EXPECT_EQ(run.lexer.kind, Token::kComma);
}

TEST_F(ExpressionTest, RegisterAndBitNamesEnterTheSymbolTable) {
  Eval("RA + Z");
  const SymbolNode* ra = FindSymbol(run, "RA");
  ASSERT_NE(ra, nullptr);
  EXPECT_EQ(ra->kind, kSymResv);
  EXPECT_EQ(ra->value, 5);
  const SymbolNode* z = FindSymbol(run, "z");
  ASSERT_NE(z, nullptr);
  EXPECT_EQ(z->kind, kSymResb);
  EXPECT_EQ(z->value, 3);
  EXPECT_EQ(z->bit, 2);
  Eval("ra");
  EXPECT_EQ(run.symbols.Count(), 2);
}

TEST_F(ExpressionTest, OperandsLeaveTheStatementKeyword) {
  BeginLine(run, "DW RA, Z");
  NextToken(run);
  ASSERT_EQ(LookupKeyword(run), 1);
  KeywordState dw = run.keyword;
  NextToken(run);
  EvalExpression(run);
  EXPECT_EQ(run.keyword.id, dw.id);
  EXPECT_EQ(run.keyword.format, dw.format);
}

TEST_F(ExpressionTest, OtherKeywordsAreReservedWords) {
  Result r = Eval("NOP + 1");
  EXPECT_EQ(r.status, -1);
  EXPECT_TRUE(Printed("Error 4, Pass 2: 'NOP' is a reserved word"));
  EXPECT_EQ(Eval("equ").status, -1);
  EXPECT_EQ(run.messages.last_error_code, 4);
}

TEST_F(ExpressionTest, SymbolsAndUndefinedNames) {
  DefineSymbolBit(run, "flags", 0x20, 3, kSymData);
  Result r = Eval("flags + 1");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.value, 0x21);
  EXPECT_EQ(r.bit, 3);

  r = Eval("missing");
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.value, 0);
  EXPECT_TRUE(Printed("Error 3, Pass 2: Symbol <missing> is not defined"));

  // A forward reference in pass 1 is silent unless the directive needs the value now.
  run.pass = 1;
  r = Eval("later + 1");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(Errors(), 0);
  run.expression.forward_reference = true;
  r = Eval("later");
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(Errors(), 1);
}

TEST_F(ExpressionTest, NothingIsPushedForAnUndefinedName) {
  // The "+" pops the 7 as its right operand and a cleared slot as its left one.
  run.pass = 1;
  Result r = Eval("7 + later");
  EXPECT_EQ(r.value, 7);
  EXPECT_EQ(run.expression.depth, -1);
}

TEST_F(ExpressionTest, LocationIterationAndLocalNames) {
  run.expression.location = 0x123;
  EXPECT_EQ(Eval("$ + 1").value, 0x124);

  run.macros.file_rept.active = true;
  run.macros.file_rept.levels.push_back({5, 0, 2});
  EXPECT_EQ(Eval("%").value, 3);
  run.macros.file_rept = ReptState{};

  run.sources.last_global_label = "MAIN";
  DefineSymbolBit(run, "MAIN:next", 0x44, 0, kSymAddr);
  EXPECT_EQ(Eval(":next").value, 0x44);

  DefineSymbolBit(run, "??000C", 0x55, 0, kSymAddr);
  MacroRecord macro;
  run.macros.expansions.push_back(Expansion{&macro, 0, 10, {}, {}});
  EXPECT_EQ(Eval("`2").value, 0x55);
  run.macros.expansions.clear();
  EXPECT_EQ(Eval("`2").status, -1);
}

TEST_F(ExpressionTest, SyntaxErrors) {
  Result r = Eval("(1+2");
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(r.value, 3);
  EXPECT_TRUE(Printed("Error 10, Pass 2: Missing right parenthesis"));
  EXPECT_EQ(Eval(",").status, -1);
  EXPECT_EQ(run.messages.last_error_code, 13);
  EXPECT_EQ(Eval("").status, -1);
  EXPECT_EQ(Eval("1 +").status, -1);
  EXPECT_EQ(Eval("12A").status, -1);
  EXPECT_EQ(run.messages.last_error_code, 23);
  EXPECT_EQ(Eval("1 + {").status, -1);
  // A warning never fails an expression.
  EXPECT_EQ(Eval("5/0").status, 0);
}

std::string Nested(int operands) {
  std::string text;
  for (int i = 1; i < operands; ++i) text += "1+(";
  text += "1";
  text.append(static_cast<size_t>(operands - 1), ')');
  return text;
}

TEST_F(ExpressionTest, ThirtyTwoPendingOperandsFit) {
  Result r = Eval(Nested(32));
  EXPECT_EQ(r.value, 32);
  EXPECT_EQ(run.expression.highest, 32);
}

TEST_F(ExpressionTest, StackOverflowEndsTheRunWithExit8) {
  try {
    Eval(Nested(33));
    FAIL() << "no exit";
  } catch (const TarnExit& exit) {
    EXPECT_EQ(exit.code, 8);
  }
  EXPECT_TRUE(Printed("\nStack overflow exceeded max value of 32"));
}

TEST_F(ExpressionTest, StackUnderflowEndsTheRunWithExit9) {
  // In pass 1 an undefined name pushes nothing, so every "+" sinks the stack by one.
  run.pass = 1;
  std::string text = "x";
  for (int i = 0; i < 31; ++i) text += "+x";
  Eval(text);
  EXPECT_EQ(run.expression.lowest, -32);
  try {
    Eval(text + "+x");
    FAIL() << "no exit";
  } catch (const TarnExit& exit) {
    EXPECT_EQ(exit.code, 9);
  }
  EXPECT_TRUE(Printed("\nStack underflow exceeded min value of -32"));
}

TEST_F(ExpressionTest, StatisticsLine) {
  Eval("1+(2*3)");
  Eval("x");  // a cleared slot is popped: depth -1
  PrintStackStatistics(run);
  EXPECT_TRUE(Printed("\nExpression Evaluation Stack Stats - Min: -1, Max: 3\n"));
}

}  // namespace
}  // namespace tarn
