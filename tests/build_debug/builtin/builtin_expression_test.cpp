// Number forms, operators, precedence and 32-bit wrapping of the built-in assembler, read back
// from the value an EQU line lists ("=" and 8 hex digits).

#include <gtest/gtest.h>

#include <cstdio>

#include "builtin_harness.h"
#include "tests/assembler/shift_cases.h"

namespace build_debug {
namespace {

struct ValueCase {
  const char* expression;
  const char* listed;  // the EQU line's listed value
};

// The listed value of "X EQU expression" behind a DEVICE line.
std::string Listed(const std::string& expression) {
  Assembly a(" DEVICE QV18\nX EQU " + expression + "\n");
  if (!a.ok()) return "error: " + a.error();
  return a.listing()[1].substr(0, 9);
}

class NumberForms : public testing::TestWithParam<ValueCase> {};

TEST_P(NumberForms, GiveTheirValue) {
  EXPECT_EQ(Listed(GetParam().expression), GetParam().listed) << GetParam().expression;
}

INSTANTIATE_TEST_SUITE_P(
    Lexer, NumberForms,
    testing::Values(ValueCase{"16", "=00000010"}, ValueCase{"10H", "=00000010"},
                    ValueCase{"10h", "=00000010"}, ValueCase{"$10", "=00000010"},
                    ValueCase{"%10000", "=00000010"}, ValueCase{"10000B", "=00000010"},
                    ValueCase{"10000b", "=00000010"}, ValueCase{"1_000", "=000003E8"},
                    ValueCase{"0FFFF_FFFFH", "=FFFFFFFF"}, ValueCase{"4294967295", "=FFFFFFFF"},
                    ValueCase{"0BH", "=0000000B"}, ValueCase{"1BH", "=0000001B"},
                    ValueCase{"%1_1", "=00000003"}, ValueCase{"'A'", "=00000041"},
                    ValueCase{"'~'", "=0000007E"},
                    // $ alone is the location at the line's start, % alone the REPT
                    // iteration (0 outside a REPT).
                    ValueCase{"$", "=00000000"}, ValueCase{"%", "=00000000"}));

class Operators : public testing::TestWithParam<ValueCase> {};

TEST_P(Operators, EvaluateAsSigned32BitValues) {
  EXPECT_EQ(Listed(GetParam().expression), GetParam().listed) << GetParam().expression;
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, Operators,
    testing::Values(
        // One common precedence for all arithmetic operators, left to right.
        ValueCase{"2+3*4", "=00000014"}, ValueCase{"2*(3+4)", "=0000000E"},
        ValueCase{"10-2-3", "=00000005"}, ValueCase{"6&3", "=00000002"},
        ValueCase{"6|3", "=00000007"}, ValueCase{"6^3", "=00000005"},
        ValueCase{"-7/2", "=FFFFFFFD"}, ValueCase{"-7//2", "=FFFFFFFF"},
        ValueCase{"7/0", "=00000007"}, ValueCase{"7//0", "=00000000"},
        ValueCase{"1<<4", "=00000010"}, ValueCase{"-16>>2", "=FFFFFFFC"},
        ValueCase{"0B1H><8", "=0000008D"}, ValueCase{"6><3", "=00000003"},
        ValueCase{"5.3", "=00000305"}, ValueCase{"0FFH.11", "=000003FF"},
        // Prefix operators.
        ValueCase{"-3", "=FFFFFFFD"}, ValueCase{"+4", "=00000004"}, ValueCase{"~0", "=FFFFFFFF"},
        ValueCase{"||-5", "=00000005"}, ValueCase{"-2*3", "=FFFFFFFA"},
        // Comparisons are signed and give -1 or 0; logical operators see -1 or 0.
        ValueCase{"1 = 1 AND 2 = 2", "=FFFFFFFF"}, ValueCase{"NOT 0", "=FFFFFFFF"},
        ValueCase{"NOT 5", "=00000000"}, ValueCase{"1 XOR 2", "=00000000"},
        ValueCase{"0 OR 5", "=FFFFFFFF"}, ValueCase{"-1 < 1", "=FFFFFFFF"},
        ValueCase{"0FFFFFFFFH > 0", "=00000000"}, ValueCase{"3 <= 3", "=FFFFFFFF"},
        ValueCase{"4 >= 5", "=00000000"}, ValueCase{"5 <> 5", "=00000000"},
        // NOT takes everything up to the next AND, OR or XOR.
        ValueCase{"NOT 1 = 2", "=FFFFFFFF"}, ValueCase{"NOT 1 = 2 AND 0", "=00000000"},
        ValueCase{"1 + 1 = 2", "=FFFFFFFF"}));

class Wrapping : public testing::TestWithParam<ValueCase> {};

// Arithmetic wraps at 32 bits, shift counts are taken modulo 32 and INT_MIN / -1 is INT_MIN:
// no source can reach undefined behaviour.
TEST_P(Wrapping, StaysDefined) {
  EXPECT_EQ(Listed(GetParam().expression), GetParam().listed) << GetParam().expression;
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, Wrapping,
    testing::Values(ValueCase{"0FFFFFFFFH+1", "=00000000"}, ValueCase{"7FFFFFFFH+1", "=80000000"},
                    ValueCase{"10000H*10000H", "=00000000"}, ValueCase{"-(80000000H)", "=80000000"},
                    ValueCase{"||80000000H", "=80000000"}, ValueCase{"80000000H/-1", "=80000000"},
                    ValueCase{"80000000H//-1", "=00000000"}, ValueCase{"1<<33", "=00000002"},
                    ValueCase{"1<<-1", "=80000000"}, ValueCase{"-1>>40", "=FFFFFFFF"},
                    ValueCase{"1><40", "=80000000"}, ValueCase{"1><0", "=00000000"}));

std::string ListedWord(std::uint32_t value) {
  char text[10];
  std::snprintf(text, sizeof text, "=%08X", static_cast<unsigned>(value));
  return text;
}

// The count is taken modulo 32, as in tarn, and >> is arithmetic.
TEST(BuiltinExpressionTest, ShiftCountsModulo32) {
  for (const shift_cases::ShiftCase& c : shift_cases::kShiftCases) {
    SCOPED_TRACE(c.count);
    const std::string count = std::to_string(c.count);
    EXPECT_EQ(Listed("1<<" + count), ListedWord(c.one_shifted_left));
    EXPECT_EQ(Listed("80000000H>>" + count), ListedWord(c.sign_shifted_right));
  }
}

TEST(BuiltinExpressionTest, DollarIsTheLocationAtTheLineStart) {
  Assembly a(" DEVICE QV18\n ORG 20H\n DW $, $\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.words(0x20, 2), (std::vector<int>{0x020, 0x020}));
}

TEST(BuiltinExpressionTest, AStringIsItsCharactersSeparatedByCommas) {
  Assembly a(" DEVICE QV18\n DW 'AB', 'C'+1\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.words(0, 3), (std::vector<int>{0x041, 0x042, 0x044}));
}

TEST(BuiltinExpressionTest, PassAwareOperandsTakeLaterLabels) {
  Assembly a(" DEVICE QV18\n DW later+1\nlater nop\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.words(0, 2), (std::vector<int>{0x002, 0x000}));
}

}  // namespace
}  // namespace build_debug
