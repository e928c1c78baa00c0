// Every message of the built-in assembler at the token where it is found.

#include <gtest/gtest.h>

#include "builtin_harness.h"

namespace build_debug {
namespace {

struct ErrorCase {
  const char* source;
  const char* message;
  const char* token;  // the source text between ErrorStart and ErrorEnd
};

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.source; }

class Messages : public testing::TestWithParam<ErrorCase> {};

TEST_P(Messages, StopTheRunAtTheirToken) {
  Assembly a(GetParam().source);
  EXPECT_EQ(a->Failed, 1);
  EXPECT_EQ(a.error(), GetParam().message);
  EXPECT_EQ(a.token(), GetParam().token);
}

INSTANTIATE_TEST_SUITE_P(
    Lexer, Messages,
    testing::Values(
        ErrorCase{" DEVICE QV18\n DW 100000000H\n", "Constant exceeds 32 bits", "100000000H"},
        ErrorCase{" DEVICE QV18\n DW 4294967296\n", "Constant exceeds 32 bits", "4294967296"},
        ErrorCase{" DEVICE QV18\n DW "
                  "0000000000000000000000000000000000000000000000000000000000000000001\n",
                  "Constant exceeds 64 digits",
                  "0000000000000000000000000000000000000000000000000000000000000000001"},
        ErrorCase{" DEVICE QV18\n DW 'AB\n", "Expected a terminating quote", ""},
        ErrorCase{" DEVICE QV18\n DW '\n", "Expected a terminating quote", "'"},
        ErrorCase{" DEVICE QV18\n DW ''\n", "Empty string", "''"},
        ErrorCase{" DEVICE QV18\nabcdefghijabcdefghijabcdefghijabc nop\n",
                  "Symbol exceeds 32 characters", "abcdefghijabcdefghijabcdefghijabc"},
        ErrorCase{" DEVICE QV18\n DW 1 ? 2\n", "Unrecognized character", "?"},
        // Operators are known only once DEVICE has named the device.
        ErrorCase{" IF 1+1\n", "Unrecognized character", "+"}));

INSTANTIATE_TEST_SUITE_P(
    Expressions, Messages,
    testing::Values(
        ErrorCase{" DEVICE QV18\n DW (1 2)\n", "Expected a binary operator or \")\"", "2"},
        ErrorCase{" DEVICE QV18\n DW 1 2\n", "Expected \",\" or end-of-line", "2"},
        ErrorCase{" DEVICE QV18, OSCRC OSCXT1\n", "Expected \",\" or end-of-line", "OSCXT1"},
        ErrorCase{" DEVICE QV18\n DW (1\n", "Expected a binary operator or \")\"", ""},
        ErrorCase{" DEVICE QV18\n DW *\n",
                  "Expected a constant, variable, unary operator, or \"(\"", "*"},
        ErrorCase{" DEVICE QV18\n mov w,\n",
                  "Expected a constant, variable, unary operator, or \"(\"", ""},
        ErrorCase{" DEVICE QV18\n DW nowhere\n", "Undefined symbol", "nowhere"},
        ErrorCase{" DEVICE QV18\nX EQU later\nlater nop\n", "Undefined symbol", "later"},
        ErrorCase{" DEVICE QV18\n DW \\1\n", "\"\\\" only allowed in MACRO definition", "\\1"},
        ErrorCase{" DEVICE QV18\nmac MACRO 1\n DW \\2\n ENDM\n mac 5\n",
                  "Macro argument index is out of range", "\\2"},
        // ORG needs its value in pass 1; the argument was a label not yet defined.
        ErrorCase{" DEVICE QV18\nmac MACRO\n ORG \\1\n ENDM\n mac later\nlater nop\n",
                  "Macro argument is not resolvable", "\\1"},
        ErrorCase{" DEVICE QV18\n DW "
                  "1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1)))))))))))))))))\n",
                  "Expression is too complex",
                  "1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1+(1))))))))))))))))"}));

INSTANTIATE_TEST_SUITE_P(
    Statements, Messages,
    testing::Values(
        ErrorCase{"", "Nothing to assemble", ""},
        ErrorCase{"start nop\n DEVICE QV18\n", "Expected a DEVICE directive", "start"},
        ErrorCase{" DEVICE QV18\n 5\n", "Expected a label, directive, or instruction", "5"},
        ErrorCase{" DEVICE QV18\n nop junk\n", "Expected end-of-line", "junk"},
        ErrorCase{" DEVICE QV18\nstart nop\nstart nop\n", "Label is already defined", "start"},
        ErrorCase{" DEVICE QV18\nRA nop\n", "Label is already defined", "RA"},
        ErrorCase{" DEVICE QV18\nx = 1\nx nop\n", "Variable must be followed by \"=\"", "nop"},
        ErrorCase{" DEVICE QV18\nlbl IF 1\n ENDIF\n",
                  "This directive cannot be preceeded by a symbol", "IF"},
        ErrorCase{" DEVICE QV18\n IFDEF 5\n ENDIF\n", "Expected a label", "5"},
        ErrorCase{" DEVICE QV18\n ELSE\n", "ELSE/ENDIF must be preceeded by IF", "ELSE"},
        ErrorCase{" DEVICE QV18\n ENDIF\n", "ELSE/ENDIF must be preceeded by IF", "ENDIF"},
        ErrorCase{" DEVICE QV18\n ENDM\n", "EXITM/ENDM must be preceeded by MACRO", "ENDM"},
        ErrorCase{" DEVICE QV18\n EXITM\n", "EXITM/ENDM must be preceeded by MACRO", "EXITM"},
        ErrorCase{" DEVICE QV18\n ENDR\n", "ENDR must be preceeded by REPT", "ENDR"},
        ErrorCase{" DEVICE QV18\n EQU 5\n", "EQU must be preceded by a label", "EQU"},
        ErrorCase{" DEVICE QV18\n = 5\n", "\"=\" must be preceeded by a variable", "="},
        ErrorCase{" DEVICE QV18\n MACRO\n ENDM\n", "MACRO must be preceded by a label", "MACRO"},
        ErrorCase{" DEVICE QV18\nmac MACRO 65\n ENDM\n",
                  "Expected a value from 0 to 64 or end-of-line", "65"},
        ErrorCase{" DEVICE QV18\nmac MACRO\n nop\n", "ENDM required to end MACRO definition", ""},
        ErrorCase{" DEVICE QV18\n IF 1\n nop\n", "ENDIF required to end IF block", ""},
        ErrorCase{" DEVICE QV18\n REPT 2\n nop\n", "ENDR required to end REPT block", ""},
        ErrorCase{" DEVICE QV18\n REPT 0\n ENDR\n", "REPT count must be greater than 0", "0"},
        ErrorCase{" DEVICE QV18\n DW 1\n ORG 0\n DW 2\n", "Location already contains data", "2"},
        ErrorCase{" DEVICE QV18\n DW 0FFFh\n ORG 0\n DW 1\n", "Location already contains data",
                  "1"},
        ErrorCase{" DEVICE QV18\n ORG 1\n DW 0\n ORG 0\n mov 0Ah,0Bh\n",
                  "Location already contains data", "0Bh"}));

INSTANTIATE_TEST_SUITE_P(
    Directives, Messages,
    testing::Values(
        ErrorCase{" DEVICE QV99\n", "Expected a device identifier (QV18, QV28, QV48, or QV52)",
                  "QV99"},
        ErrorCase{" DEVICE OSCRC\n", "Expected a device identifier (QV18, QV28, QV48, or QV52)",
                  "OSCRC"},
        ErrorCase{" DEVICE QV18\n DEVICE FOO\n", "Expected a DEVICE parameter", "FOO"},
        ErrorCase{" DEVICE QV18, QV28\n", "Only one device identifier is allowed", "QV28"},
        ErrorCase{" DEVICE QV18\n DEVICE QV18\n", "Only one device identifier is allowed", "QV18"},
        ErrorCase{" DEVICE QV18, OSCRC, OSCXT1\n", "Redundant DEVICE parameter", "OSCXT1"},
        ErrorCase{" DEVICE QV28, BOR22\n DEVICE BOR42\n", "Redundant DEVICE parameter", "BOR42"},
        ErrorCase{" DEVICE QV18\n ID 'ABCDEFGHI'\n", "ID cannot exceed 8 characters", "I"},
        ErrorCase{" DEVICE QV18\n ID 1\n", "ID must be a string of up to 8 characters", "1"},
        ErrorCase{" DEVICE QV18\n RESET 200h\n", "RESET address must be on first page", "200h"},
        ErrorCase{" DEVICE QV18\n RESET -1\n", "RESET address must be on first page", "-1"},
        ErrorCase{" DEVICE QV18\n BREAK\n nop\n BREAK\n", "Only one BREAK is allowed", "BREAK"},
        ErrorCase{" DEVICE QV18\n ERROR 'bad value'\n", "bad value", "bad value"},
        ErrorCase{" DEVICE QV18\n ERROR 'x', 31\n", "Error message contains control characters",
                  "31"},
        ErrorCase{" DEVICE QV18\n ERROR "
                  "'0123456789012345678901234567890123456789012345678901234567890123X'\n",
                  "Error message exceeds 64 characters", "X"},
        // Inside a macro the ERROR points at the call.
        ErrorCase{" DEVICE QV18\ncheck MACRO 1\n IF \\1 > 3\n ERROR 'too big'\n ENDIF\n ENDM\n"
                  " check 2\n check 4\n",
                  "too big", "check 4"},
        ErrorCase{" DEVICE QV18\n WATCH RA,0,UDEC\n", "Expected a value from 1 to 32", "0"},
        ErrorCase{" DEVICE QV18\n WATCH RA,33,UDEC\n", "Expected a value from 1 to 32", "33"},
        ErrorCase{" DEVICE QV18\n WATCH RA,8,FOO\n",
                  "Expected UDEC, SDEC, UHEX, SHEX, UBIN, SBIN, FSTR, or ZSTR", "FOO"},
        ErrorCase{" DEVICE QV18\n WATCH RA 8\n", "Expected \",\"", "8"},
        ErrorCase{" DEVICE QV18\n FREQ 399_999\n",
                  "Clock frequency must be from 400_000 to 110_000_000", "399_999"},
        ErrorCase{" DEVICE QV18\n FREQ 110_000_001\n",
                  "Clock frequency must be from 400_000 to 110_000_000", "110_000_001"}));

INSTANTIATE_TEST_SUITE_P(
    Instructions, Messages,
    testing::Values(ErrorCase{" DEVICE QV18\n call 180h\n", "CALL must be to first half of page",
                              "180h"},
                    ErrorCase{" DEVICE QV18\n mov !4,w\n", "Port is out of range", "4"},
                    ErrorCase{" DEVICE QV18\n mov !0Ch,#1\n", "Port is out of range", "0Ch"},
                    ErrorCase{" DEVICE QV18\n movsz RA,++RB\n", "Expected \"W\"", "RA"},
                    ErrorCase{" DEVICE QV18\n clr !RA\n", "Expected \"WDT\"", "RA"},
                    ErrorCase{" DEVICE QV18\n movsz w,RB\n", "Expected \"++\" or \"--\"", "RB"},
                    ErrorCase{" DEVICE QV18\n mov RA RB\n", "Expected \",\"", "RB"},
                    ErrorCase{" DEVICE QV18\n cje RA,#1 lbl\n", "Expected \",\"", "lbl"}));

// Sources that would overrun one of the assembler's fixed areas stop with a message.
INSTANTIATE_TEST_SUITE_P(
    Limits, Messages,
    testing::Values(
        ErrorCase{" DEVICE QV18\n WATCH RA,1,UDEC\n REPT 32\n WATCH RB,1,UDEC\n ENDR\n",
                  "Limit of 32 WATCHs exceeded", "WATCH"},
        ErrorCase{" DEVICE QV18\n REPT 100001\n ENDR\n",
                  "Limit of 100,000 total REPT loops exceeded", "ENDR"},
        ErrorCase{" DEVICE QV18\n REPT 25001\nx = 1\n ENDR\n", "List is too large", ""},
        // Each call gives its local variable a key of its own.
        ErrorCase{" DEVICE QV18\nmac MACRO\n:a = 1\n ENDM\n NOEXPAND\n REPT 6000\n mac\n ENDR\n",
                  "Symbol table full", "1"},
        ErrorCase{" DEVICE QV18\nmac MACRO\n mac\n ENDM\n mac\n", "Macro stack overflow", "mac"}));

TEST(BuiltinErrorsTest, ThirtyThreeNestedReptsAreTooMany) {
  std::string source = " DEVICE QV18\n";
  for (int n = 0; n < 33; ++n) source += " REPT 1\n";
  Assembly a(source);
  EXPECT_EQ(a.error(), "Limit of 32 nested REPTs exceeded");
  EXPECT_EQ(a.token(), "1");
}

// Macros that call each other in a widening tree would run for ages; the calls are counted.
TEST(BuiltinErrorsTest, AMacroTreeTooWideToRunStops) {
  std::string source = " DEVICE QV18\n NOEXPAND\nm0 MACRO\n ENDM\n";
  for (int n = 1; n <= 21; ++n) {
    const std::string inner = std::string(1, 'm') + std::to_string(n - 1);
    source += 'm';
    source += std::to_string(n);
    source += " MACRO\n ";
    source += inner;
    source += "\n ";
    source += inner;
    source += "\n ENDM\n";
  }
  source += " m21\n";
  Assembly a(source);
  EXPECT_EQ(a.error(), "Limit of 1,000,000 total macro calls exceeded");
}

TEST(BuiltinErrorsTest, OnlyTheFirstErrorIsReported) {
  Assembly a(" DEVICE QV18\nX EQU nowhere\n junk junk\n");
  EXPECT_EQ(a.error(), "Undefined symbol");
  EXPECT_EQ(a.token(), "nowhere");
}

}  // namespace
}  // namespace build_debug
