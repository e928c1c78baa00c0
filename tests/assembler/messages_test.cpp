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
  void TearDown() override { CloseSources(run_); CloseErrorFile(run_); }

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
      {1, 0x102, 6, "", "blink.src(12) Line 40, Error 6, Pass 2: Too many operands\n"},  // low byte only
      {1, 1, 56, "511", "blink.src(12) Line 40, Warning 56, Pass 2: Source line is too long.  Max length = 511 characters\n"},
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
  EXPECT_EQ(console_.str(), "blink.src(12) Line 40, Error 3, Pass 2: Symbol <COUNT> is not defined\n");
  EXPECT_EQ(ReadFile(folder_ / "blink.err"), "blink.src#12# Line 40, Error 3, Pass 2: Symbol <COUNT> is not defined\n");
}

TEST_F(Reporting, NohauWritesCmperrLogInTheWorkingFolder) {
  run_.options.nohau = true;
  ASSERT_EQ(CreateErrorFile(run_), 0);
  ReportMessage(run_, kError, 1);
  CloseErrorFile(run_);
  EXPECT_EQ(ReadFile(folder_ / "cmperr.log"), "blink.src#12# Line 40, Error 1, Pass 2: Bad instruction statement\n");
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
  EXPECT_EQ(console_.str(), "blink.src(1) Line 1, Warning 71, Pass 1: No chip type specified - using default QV18\n");
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
  EXPECT_EQ(console_.str(), "\n0 lines compiled in 0.25 seconds\n0 symbols\n   2 warnings\n   1 severe errors\n");
  EXPECT_EQ(run_.messages.counts.shown, 3);
}

TEST_F(Reporting, SummaryWithNothingShown) {
  EXPECT_EQ(PrintSummary(run_, 0), 0);
  EXPECT_EQ(console_.str(), "\n0 lines compiled in 0.00 seconds\n0 symbols\nNo errors detected by the assembler.\n");
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
  std::fputs("abc", run_.messages.error_file);
  EXPECT_EQ(TrimErrorFile(run_), 0);
  EXPECT_FALSE(tarn_test::fs::exists(folder_ / "blink.err"));
  ASSERT_EQ(CreateErrorFile(run_), 0);
  std::fputs("abcd", run_.messages.error_file);
  EXPECT_EQ(TrimErrorFile(run_), 0);
  EXPECT_TRUE(tarn_test::fs::exists(folder_ / "blink.err"));
}

TEST(MessageNumbers, ListingForQuiet) {
  std::ostringstream console;
  TarnRun run(console);
  ListMessageNumbers(run);
  std::string text = console.str();
  EXPECT_EQ(text.rfind("\n\nError message numbers for /Q and LIST Q=\nErr Message\n--- -------\n  1 Bad instruction statement\n", 0), 0u);
  EXPECT_NE(text.find("\n  3 Symbol <--text--> is not defined\n"), std::string::npos);
  EXPECT_NE(text.find("\n 76 USER WARNING: \"--text--\"\n"), std::string::npos);
}

}  // namespace
}  // namespace tarn
