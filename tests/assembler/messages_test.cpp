#include "assembler/messages.h"

#include <gtest/gtest.h>

#include <sstream>

#include "assembler/run.h"
#include "assembler/sources.h"
#include "test_support.h"

namespace tarn {
namespace {

using tarn_test::ReadFile;
using tarn_test::TempFolder;
using tarn_test::WriteFile;

TEST(MessageTable, RowsAscendAndArgumentsMatchTheirTexts) {
  for (int i = 0; i < kMessageCount; ++i) {
    EXPECT_EQ(kMessageTable[i].code, i + 1);
    bool has_placeholder = std::string(kMessageTable[i].text).find("%s") != std::string::npos;
    // 75 is flagged as taking an argument although its text has no place for one.
    if (kMessageTable[i].code != 75) {
      EXPECT_EQ(kMessageTable[i].has_argument, has_placeholder) << i + 1;
    }
  }
  EXPECT_STREQ(FindMessage(55)->text, "ERROR \"%s\"");
  EXPECT_STREQ(FindMessage(57)->text, "Local symbol \"%s\" expands to more than 130 characters");
  EXPECT_STREQ(FindMessage(70)->text, "Invalid watch type specified - \"%s\"");
  EXPECT_STREQ(FindMessage(76)->text, "USER WARNING: \"%s\"");
  EXPECT_STREQ(FindMessage(56)->text, "Source line is too long.  Max length = %s characters");
  EXPECT_EQ(FindMessage(0), nullptr);
  EXPECT_EQ(FindMessage(77), nullptr);
}

// Each named code is the row of its number, and the row holds the text that number stands for.
TEST(MessageTable, NamedCodesMatchTheirRows) {
  struct Named {
    MessageCode name;
    int code;
    const char* text;
  };
  const Named kNamed[] = {
      {kMsgBadInstruction, 1, "Bad instruction statement"},
      {kMsgSymbolRedefined, 2, "Redefinition of symbol <%s>"},
      {kMsgSymbolUndefined, 3, "Symbol <%s> is not defined"},
      {kMsgReservedWord, 4, "'%s' is a reserved word"},
      {kMsgMissingOperands, 5, "Missing operand(s)"},
      {kMsgTooManyOperands, 6, "Too many operands"},
      {kMsgMissingFileRegister, 7, "Missing file register"},
      {kMsgMissingLiteral, 8, "Missing literal"},
      {kMsgMissingLabel, 9, "Missing Label"},
      {kMsgMissingRightParenthesis, 10, "Missing right parenthesis"},
      {kMsgMissingExpression, 11, "Missing expression"},
      {kMsgMacroRedefined, 12, "Redefinition of MACRO label <%s>"},
      {kMsgBadExpression, 13, "Bad expression"},
      {kMsgBadArgument, 14, "Bad argument <%s>"},
      {kMsgBadMacroExpression, 15, "Bad MACRO expression"},
      {kMsgMacroArgumentsMismatch, 16, "Macro arguments do not match"},
      {kMsgUnmatchedMacro, 17, "Unmatched MACRO"},
      {kMsgBadIfElseEndif, 18, "Bad IF-ELSE-ENDIF statement"},
      {kMsgUnmatchedElse, 19, "Unmatched ELSE"},
      {kMsgUnmatchedEndif, 20, "Unmatched ENDIF"},
      {kMsgFileNestingTooDeep, 21, "File nesting error - Exceeded 10 levels"},
      {kMsgIfNestingTooDeep, 22, "If.else.endif nesting error - too deep"},
      {kMsgInvalidDigit, 23, "Invalid digit in numeric constant"},
      {kMsgValueOutOfRange, 24, "Value is out of range"},
      {kMsgBadRadix, 25, "Bad radix value"},
      {kMsgUnknownDevice, 26, "Unknown microcontroller type"},
      {kMsgUnknownOutputFormat, 27, "Unknown output format"},
      {kMsgUnknownListingParameter, 28, "Unknown listing parameter"},
      {kMsgBadString, 29, "Bad string syntax"},
      {kMsgOverwritingLocation, 30, "Overwriting same program counter location"},
      {kMsgExpectedEqualSign, 31, "Expected an '=' sign"},
      {kMsgUnexpectedEof, 32, "Unexpected EOF"},
      {kMsgAssumedHexadecimal, 33, "Assume value is in HEXADECIMAL"},
      {kMsgTokenTooLong, 34, "Token length exceeds limit"},
      {kMsgIllegalCharacter, 35, "Illegal character - Ignored"},
      {kMsgFileRegisterTruncated, 36, "File register truncated to 5 bits"},
      {kMsgLiteralTruncatedTo8Bits, 37, "Literal truncated to 8 bits"},
      {kMsgMissingBankBits, 38, "Missing RAM Bank bits"},
      {kMsgNoDestinationBit, 39, "No destination bit"},
      {kMsgBadDestinationBit, 40, "Destination bit can only be 0 or 1"},
      {kMsgBitNumberOutOfRange, 41, "Bit number out of range"},
      {kMsgNotInSelectedPage, 42, "Destination address not in selected page"},
      {kMsgAddressBeyondMemory, 43, "Address exceeds memory limit"},
      {kMsgNotInLowerHalfOfPage, 44, "Address %s is not within lower half of memory page"},
      {kMsgLabelNotInColumnOne, 45, "Label must begin at column 1"},
      {kMsgUnknownDirective, 46, "Ignoring unknown directive"},
      {kMsgReptCountTooLarge, 47, "REPT count exceed limit"},
      {kMsgNotInCurrentBank, 48, "File register not in current bank"},
      {kMsgModeValueTruncated, 49, "MODE register value truncated to 4-bits"},
      {kMsgExpectedFrBit, 50, "Expected a fr.bit operand"},
      {kMsgObsoleteKeyword, 51, "Obsolete keyword: <%s> for this device"},
      {kMsgResetNotInPageZero, 52, "Reset address not in page 0"},
      {kMsgNonBitfieldOperator, 53, "Applied non bitfield operator to a bitfield value"},
      {kMsgDeviceOverridden, 54, "Overriding earlier target device declaration"},
      {kMsgUserError, 55, "ERROR \"%s\""},
      {kMsgLineTooLong, 56, "Source line is too long.  Max length = %s characters"},
      {kMsgLocalSymbolTooLong, 57, "Local symbol \"%s\" expands to more than 130 characters"},
      {kMsgDivisionByZero, 58, "Division by zero"},
      {kMsgLiteralTruncatedTo12Bits, 59, "Literal truncated to 12 bits"},
      {kMsgCannotOpenFile, 60, "Couldn't open file: %s"},
      {kMsgCannotOpenInclude, 61, "Couldn't open include file: %s"},
      {kMsgIncludePathTooLong, 62, "Include path and file exceeds 64 characters"},
      {kMsgWatchMissingParameters, 63, "WATCH is missing parameters"},
      {kMsgBadIrcCal, 64, "IRC_CAL has invalid or missing parameters"},
      {kMsgNoIrcCal, 65, "No IRC_CAL directive. Default IRC_SLOW being used"},
      {kMsgNoFreq, 66, "No FREQ directive. Default 50 MHz being used"},
      {kMsgTooManyIncludeFiles, 67, "Total number of INCLUDE files exceeded 31"},
      {kMsgListingLineTruncated, 68, "Tab expanded list file line too long - truncating"},
      {kMsgNoOscillator, 69, "No OSCxxx directive - using default OSCRC"},
      {kMsgBadWatchType, 70, "Invalid watch type specified - \"%s\""},
      {kMsgNoDevice, 71, "No chip type specified - using default QV18"},
      {kMsgExpectedComma, 72, "Expected a comma between parameters"},
      {kMsgMultiWordAfterSkip, 73, "Multi-byte instruction following skip instruction"},
      {kMsgMacroExpansionTooLong, 74, "Macro expansion exceeded %s characters"},
      {kMsgConstantWithoutHash, 75, "Numeric constant without # in front"},
      {kMsgUserWarning, 76, "USER WARNING: \"%s\""},
  };
  ASSERT_EQ(std::size(kNamed), static_cast<size_t>(kMessageCount));
  for (const Named& n : kNamed) {
    EXPECT_EQ(static_cast<int>(n.name), n.code);
    const MessageRow* row = FindMessage(n.name);
    ASSERT_NE(row, nullptr) << n.code;
    EXPECT_STREQ(row->text, n.text) << n.code;
  }
}

TEST(MessageTable, LevelWords) {
  EXPECT_STREQ(LevelWord(0), "Comment");
  EXPECT_STREQ(LevelWord(1), "Warning");
  EXPECT_STREQ(LevelWord(2), "Error");
  EXPECT_STREQ(LevelWord(3), "Error");
  EXPECT_STREQ(LevelWord(4), "Unknown");
}

// A run inside a pass, on line 12 of a source, listing line 40.
class Reporting : public ::testing::Test {
 protected:
  void SetUp() override {
    run_.source_name = "blink.src";
    run_.source_path = folder_ / "blink.src";
    run_.working_folder = folder_.path().string() + "/";
    run_.output_base = folder_ / "blink";
    WriteFile(run_.source_path, "; nothing\n");
    ASSERT_TRUE(OpenMainSource(run_));
    run_.pass = 2;
    CurrentLineNumber(run_) = 12;
    ListingLineNumber(run_) = 40;
  }
  void TearDown() override {
    CloseSources(run_);
    CloseErrorFile(run_);
  }

  TempFolder folder_;
  std::ostringstream console_;
  TarnRun run_{console_};
};

struct FormatCase {
  int warning_level;
  int level;
  int code;
  const char* argument;
  const char* expected;  // the console line, or "" when dropped
};

TEST_F(Reporting, LineFormLevelsAndFiltering) {
  const FormatCase cases[] = {
      {1, 2, 3, "COUNT", "blink.src(12) Line 40, Error 3, Pass 2: Symbol <COUNT> is not defined\n"},
      {1, 3, 1, "", "blink.src(12) Line 40, Error 1, Pass 2: Bad instruction statement\n"},
      {1, 1, 24, "", "blink.src(12) Line 40, Warning 24, Pass 2: Value is out of range\n"},
      {0, 0, 46, "", "blink.src(12) Line 40, Comment 46, Pass 2: Ignoring unknown directive\n"},
      {1, 0, 46, "", ""},  // comments are below the default warning level
      {2, 1, 24, "", ""},
      {2, 2, 5, "", "blink.src(12) Line 40, Error 5, Pass 2: Missing operand(s)\n"},
      {1, 0x102, 6, "",
       "blink.src(12) Line 40, Error 6, Pass 2: Too many operands\n"},  // low byte only
      {1, 1, 56, "511",
       "blink.src(12) Line 40, Warning 56, Pass 2: Source line is too long.  Max length = 511 "
       "characters\n"},
      {1, 1, 76, "check", "blink.src(12) Line 40, Warning 76, Pass 2: USER WARNING: \"check\"\n"},
  };
  for (const FormatCase& c : cases) {
    console_.str("");
    run_.options.warning_level = c.warning_level;
    run_.messages.counts = MessageCounts{};
    SetMessageArgument(run_, c.argument);
    EXPECT_EQ(ReportMessage(run_, c.level, c.code), -1);
    EXPECT_EQ(console_.str(), c.expected) << c.code;
    EXPECT_EQ(run_.messages.counts.shown, *c.expected ? 1 : 0) << c.code;
  }
}

TEST_F(Reporting, CountsByLevelAndErrorCallsBeforeFiltering) {
  run_.options.warning_level = 2;
  ReportMessage(run_, kWarning, 24);
  ReportMessage(run_, kComment, 46);
  EXPECT_EQ(run_.messages.counts.warnings, 0);
  EXPECT_EQ(run_.messages.counts.comments, 0);
  EXPECT_EQ(run_.messages.error_calls, 0);
  run_.options.warning_level = 0;
  ReportMessage(run_, kComment, 46);
  ReportMessage(run_, kWarning, 24);
  ReportMessage(run_, kError, 3);
  ReportMessage(run_, kCheckError, 45);
  EXPECT_EQ(run_.messages.counts.comments, 1);
  EXPECT_EQ(run_.messages.counts.warnings, 1);
  EXPECT_EQ(run_.messages.counts.errors, 2);
  EXPECT_EQ(run_.messages.counts.shown, 4);
  EXPECT_EQ(run_.messages.error_calls, 2);
  EXPECT_EQ(run_.messages.last_error_code, 45);
}

TEST_F(Reporting, QuietSilencesWarningsButNotErrors) {
  ASSERT_EQ(QuietMessage(run_, "24"), 0);
  ReportMessage(run_, kWarning, 24);
  EXPECT_EQ(console_.str(), "");
  ASSERT_EQ(QuietMessage(run_, "3"), 0);
  SetMessageArgument(run_, "X");
  ReportMessage(run_, kError, 3);
  EXPECT_NE(console_.str().find("Error 3"), std::string::npos);
  ASSERT_EQ(QuietMessage(run_, "-24"), 0);
  console_.str("");
  ReportMessage(run_, kWarning, 24);
  EXPECT_NE(console_.str().find("Warning 24"), std::string::npos);
  EXPECT_EQ(QuietMessage(run_, "99"), -1);
  // Beyond the range of a long: strtol gives its limits, which must not be negated.
  EXPECT_EQ(QuietMessage(run_, "-99999999999999999999"), -1);
  EXPECT_EQ(QuietMessage(run_, "99999999999999999999"), -1);
}

TEST_F(Reporting, UnknownCodeCountsAsAShownError) {
  ReportMessage(run_, kError, 99);
  EXPECT_EQ(console_.str(), "\n!!! Unknown error code 99, halting\n");
  EXPECT_EQ(run_.messages.counts.errors, 1);
  EXPECT_EQ(run_.messages.counts.shown, 1);
}

TEST_F(Reporting, OutsideAPassNoFileLineOrPass) {
  run_.pass = 0;
  ReportMessage(run_, kWarning, 54);
  EXPECT_EQ(console_.str(), "\nWarning: Overriding earlier target device declaration\n");
}

TEST_F(Reporting, ErrorFileAndNohauForm) {
  ASSERT_EQ(CreateErrorFile(run_), 0);
  run_.options.nohau = true;
  SetMessageArgument(run_, "COUNT");
  ReportMessage(run_, kError, 3);
  CloseErrorFile(run_);
  EXPECT_EQ(console_.str(),
            "blink.src(12) Line 40, Error 3, Pass 2: Symbol <COUNT> is not defined\n");
  EXPECT_EQ(ReadFile(folder_ / "blink.err"),
            "blink.src#12# Line 40, Error 3, Pass 2: Symbol <COUNT> is not defined\n");
}

TEST_F(Reporting, NohauWritesCmperrLogInTheWorkingFolder) {
  run_.options.nohau = true;
  ASSERT_EQ(CreateErrorFile(run_), 0);
  ReportMessage(run_, kError, 1);
  CloseErrorFile(run_);
  EXPECT_EQ(ReadFile(folder_ / "cmperr.log"),
            "blink.src#12# Line 40, Error 1, Pass 2: Bad instruction statement\n");
}

TEST_F(Reporting, ListingGetsTheLineAfterTheCurrentLine) {
  ReportMessage(run_, kError, 1);  // no listing open yet (pass 1)
  EXPECT_TRUE(run_.listing.deferred.empty());
  ASSERT_EQ(CreateListing(run_), 0);
  ReportMessage(run_, kError, 1);
  ASSERT_EQ(run_.listing.deferred.size(), 1u);
  EXPECT_EQ(run_.listing.deferred.begin()->first, 40);
  EXPECT_EQ(run_.listing.deferred.begin()->second,
            "****** blink.src(12) Line 40, Error 1, Pass 2: Bad instruction statement");
  run_.options.listing_mode = kListNone;
  ReportMessage(run_, kError, 1);
  EXPECT_EQ(run_.listing.deferred.size(), 1u);
  CloseListing(run_);
}

TEST_F(Reporting, ArgumentOfAnyLengthIsKeptWhole) {
  std::string name(300, 'N');
  SetMessageArgument(run_, name);
  ReportMessage(run_, kError, 3);
  EXPECT_NE(console_.str().find("<" + name + ">"), std::string::npos);
}

TEST_F(Reporting, MarkReturnsSuccessOnlyForUserWarnings) {
  EXPECT_EQ(MarkMessage(run_, kWarning, 76), 0);
  EXPECT_EQ(MarkMessage(run_, kWarning, 24), -1);
  console_.str("");
  EXPECT_EQ(MarkMessage(run_, -1, 1), -1);  // a negative level only marks
  EXPECT_EQ(console_.str(), "");
}

TEST_F(Reporting, PassTwoOnlyAndLineOne) {
  run_.pass = 1;
  EXPECT_EQ(ReportInPass2(run_, kError, 1), -1);
  EXPECT_EQ(console_.str(), "");
  run_.options.warning_level = 1;
  ReportAtLineOne(run_, kWarning, 71);
  EXPECT_EQ(
      console_.str(),
      "blink.src(1) Line 1, Warning 71, Pass 1: No chip type specified - using default QV18\n");
  EXPECT_EQ(CurrentLineNumber(run_), 12);
  EXPECT_EQ(ListingLineNumber(run_), 40);
  run_.pass = 2;
  console_.str("");
  ReportInPass2(run_, kError, 1);
  EXPECT_EQ(console_.str(), "blink.src(12) Line 40, Error 1, Pass 2: Bad instruction statement\n");
}

TEST_F(Reporting, SummaryAddsThePassOneCounts) {
  run_.pass = 1;
  ReportMessage(run_, kWarning, 24);
  SavePass1Counts(run_);
  ResetMessageCounts(run_);
  run_.pass = 2;
  ReportMessage(run_, kError, 1);
  ReportMessage(run_, kWarning, 24);
  console_.str("");
  EXPECT_EQ(PrintSummary(run_, 0.25), 1);
  EXPECT_EQ(console_.str(),
            "\n0 lines compiled in 0.25 seconds\n0 symbols\n   2 warnings\n   1 severe errors\n");
  EXPECT_EQ(run_.messages.counts.shown, 3);
}

TEST_F(Reporting, SummaryWithNothingShown) {
  EXPECT_EQ(PrintSummary(run_, 0), 0);
  EXPECT_EQ(
      console_.str(),
      "\n0 lines compiled in 0.00 seconds\n0 symbols\nNo errors detected by the assembler.\n");
}

TEST_F(Reporting, FatalStopWritesTheErrorFileAndEndsWithOne) {
  SetMessageArgument(run_, "missing.inc");
  try {
    FatalStop(run_, kError, 61);
    FAIL() << "FatalStop returned";
  } catch (const TarnExit& e) {
    EXPECT_EQ(e.code, 1);
  }
  EXPECT_EQ(ReadFile(folder_ / "blink.err"),
            "blink.src(12) Line 40, Error 61, Pass 2: Couldn't open include file: missing.inc\n");
}

TEST_F(Reporting, ErrorFileNameLimitAndTrim) {
  run_.output_base = std::string(767, 'a');
  EXPECT_EQ(CreateErrorFile(run_), -1);
  EXPECT_EQ(console_.str(), "Length of error file path and name exceeds 771 characters\n");
  run_.output_base = folder_ / "blink";
  ASSERT_EQ(CreateErrorFile(run_), 0);
  run_.messages.error_file.Put("abc");
  EXPECT_EQ(TrimErrorFile(run_), 0);
  EXPECT_FALSE(tarn_test::fs::exists(folder_ / "blink.err"));
  ASSERT_EQ(CreateErrorFile(run_), 0);
  run_.messages.error_file.Put("abcd");
  EXPECT_EQ(TrimErrorFile(run_), 0);
  EXPECT_TRUE(tarn_test::fs::exists(folder_ / "blink.err"));
}

TEST(MessageNumbers, ListingForQuiet) {
  std::ostringstream console;
  TarnRun run(console);
  ListMessageNumbers(run);
  std::string text = console.str();
  EXPECT_EQ(text.rfind("\n\nError message numbers for /Q and LIST Q=\nErr Message\n--- -------\n  "
                       "1 Bad instruction statement\n",
                       0),
            0u);
  EXPECT_NE(text.find("\n  3 Symbol <--text--> is not defined\n"), std::string::npos);
  EXPECT_NE(text.find("\n 76 USER WARNING: \"--text--\"\n"), std::string::npos);
}

}  // namespace
}  // namespace tarn
