// Pass 1 over fixture sources and small inline ones: the statements, labels, conditionals and
// directives, the special symbols, and the messages exactly as printed. A few cases run the
// shared statement code a second time as pass 2 does, to show what each pass reports.

#include "assembler/pass1.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/directives.h"
#include "assembler/encoding.h"
#include "assembler/image.h"
#include "assembler/keywords.h"
#include "assembler/labels.h"
#include "assembler/lexer.h"
#include "assembler/listing.h"
#include "assembler/messages.h"
#include "assembler/operands.h"
#include "assembler/options.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/statements.h"
#include "assembler/symbols.h"
#include "test_support.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(TARN_FIXTURES) / "pass1";

using tarn_test::TempFolder;

// One run of tarn's passes over a source, the way the run sequence drives them.
class PassRun {
 public:
  std::ostringstream console;
  TarnRun run{console};
  int result = 0;
  int exit_code = -1;  // when the run ended inside a pass
  std::vector<int> line_classes;

  // `options` as on the command line, without the source name.
  PassRun(const fs::path& source, std::vector<std::string> options = {}) {
    std::vector<std::string> args = {"tarn"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(source.filename().string());
    std::string name;
    EXPECT_EQ(ReadOptions(run, args, &name), OptionsResult::kSource);
    run.source_name = source.filename().string();
    run.source_path = source.string();
    run.working_folder = source.parent_path().string() + "/";
    run.output_base = (fs::temp_directory_path() / source.stem()).string();
    SetUpDevice(run);
    run.image.Fill(kBlankWord);
  }

  int Pass1() {
    Start(1);
    try {
      result = RunPass1(run);
    } catch (const TarnExit& e) {
      exit_code = e.code;
    }
    return result;
  }

  // Pass 2 as its driver runs the statement code, without the listing.
  // Messages() holds pass 2's lines afterwards, `line_classes` its statements' line classes.
  void Pass2() {
    console.str("");
    line_classes.clear();
    CloseSources(run);
    Start(2);
    BeginPass(run);
    while (ReadLine(run) >= 0) {
      if (NextToken(run) != Token::kName) continue;
      StatementResult r = ProcessStatement(run);
      line_classes.push_back(r.line_class);
      if (r.instruction) {
        StatementWords w = EncodeStatement(run, r.mnemonic, run.pass_state.location);
        StoreStatementWords(run, run.pass_state.location, w.words);
        AdvanceLocation(run, static_cast<int>(w.words.size()));
      }
      if (r.end) break;
    }
  }

  // The message lines of the console, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> lines;
    std::istringstream in(console.str());
    for (std::string line; std::getline(in, line);) {
      if (line.find(", Pass ") != std::string::npos) lines.push_back(line);
    }
    return lines;
  }

  const SymbolNode* Symbol(const std::string& name) { return FindSymbol(run, name); }

 private:
  void Start(int pass) {
    run.pass = pass;
    ResetMessageCounts(run);
    EXPECT_TRUE(OpenMainSource(run));
  }
};

std::vector<std::string> EndOfPass1Warnings(const std::string& file) {
  return {file +
              "(1) Line 1, Warning 65, Pass 1: No IRC_CAL directive. Default IRC_SLOW being used",
          file + "(1) Line 1, Warning 66, Pass 1: No FREQ directive. Default 50 MHz being used",
          file + "(1) Line 1, Warning 71, Pass 1: No chip type specified - using default QV18"};
}

struct FixtureCase {
  const char* name;
  std::vector<std::string> options;
  int result;  // of RunPass1: 0 ran to END, -1 stopped
  std::vector<std::string> messages;
  bool end_warnings = false;  // the three end-of-pass-1 warnings follow
};

class Pass1Fixture : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(Pass1Fixture, ReportsExactlyItsMessages) {
  const FixtureCase& c = GetParam();
  PassRun p(kFixtures / (std::string(c.name) + ".asm"), c.options);
  EXPECT_EQ(p.Pass1(), c.result);
  EXPECT_EQ(p.exit_code, -1);
  std::vector<std::string> expected = c.messages;
  if (c.end_warnings) {
    for (const std::string& w : EndOfPass1Warnings(std::string(c.name) + ".asm"))
      expected.push_back(w);
  }
  EXPECT_EQ(p.Messages(), expected) << p.console.str();
}

const std::vector<std::string> kIde = {"/E", "KESTRIAN"};

INSTANTIATE_TEST_SUITE_P(
    Sources, Pass1Fixture,
    ::testing::Values(
        // A redefinition stops pass 1 at once: neither error 3 nor the end warnings follow.
        FixtureCase{
            "redefinition",
            {},
            -1,
            {"redefinition.asm(3) Line 3, Error 2, Pass 1: Redefinition of symbol <START>"}},
        FixtureCase{
            "redefines_tarn",
            kIde,
            -1,
            {"redefines_tarn.asm(1) Line 1, Error 2, Pass 1: Redefinition of symbol <__TARN>"}},
        FixtureCase{"freq_twice",
                    {},
                    -1,
                    {"freq_twice.asm(3) Line 3, Error 2, Pass 1: Redefinition of symbol <FREQ>"}},
        FixtureCase{"defaults", {}, 0, {}, true},
        FixtureCase{"unmatched_else",
                    {},
                    -1,
                    {"unmatched_else.asm(1) Line 1, Error 19, Pass 1: Unmatched ELSE"}},
        FixtureCase{"unmatched_endif",
                    {},
                    -1,
                    {"unmatched_endif.asm(1) Line 1, Error 20, Pass 1: Unmatched ENDIF"}},
        FixtureCase{"if_without_expression",
                    {},
                    -1,
                    {"if_without_expression.asm(1) Line 1, Error 11, Pass 1: Missing expression"}},
        FixtureCase{"ifdef_number",
                    {},
                    -1,
                    {"ifdef_number.asm(1) Line 1, Error 1, Pass 1: Bad instruction statement"}},
        FixtureCase{"if_too_deep",
                    {},
                    -1,
                    {"if_too_deep.asm(101) Line 101, Error 22, Pass 1: If.else.endif nesting error "
                     "- too deep"}},
        FixtureCase{"equ_without_label",
                    {},
                    -1,
                    {"equ_without_label.asm(1) Line 1, Error 9, Pass 1: Missing Label"}},
        FixtureCase{"equ_without_expression",
                    {},
                    -1,
                    {"equ_without_expression.asm(1) Line 1, Error 11, Pass 1: Missing expression"}},
        FixtureCase{"equ_twice",
                    {},
                    -1,
                    {"equ_twice.asm(2) Line 2, Error 2, Pass 1: Redefinition of symbol <once>"}},
        // A SET variable is no redefinition: EQU gives it its value.
        FixtureCase{"set_then_equ", {}, 0, {}, true},
        FixtureCase{
            "org_past_memory",
            {},
            -1,
            {"org_past_memory.asm(1) Line 1, Error 43, Pass 1: Address exceeds memory limit"}},
        FixtureCase{
            "res_past_memory",
            {},
            -1,
            {"res_past_memory.asm(2) Line 2, Error 43, Pass 1: Address exceeds memory limit"}},
        FixtureCase{
            "ds_past_memory",
            {},
            -1,
            {"ds_past_memory.asm(1) Line 1, Error 43, Pass 1: Address exceeds memory limit"}},
        FixtureCase{
            "zero_before_memory",
            {},
            -1,
            {"zero_before_memory.asm(1) Line 1, Error 43, Pass 1: Address exceeds memory limit"}},
        FixtureCase{
            "device_unknown_word",
            {},
            -1,
            {"device_unknown_word.asm(1) Line 1, Error 14, Pass 1: Bad argument <FROBNICATE>"}},
        FixtureCase{"radix_errors",
                    {"/W", "0"},
                    -1,
                    {"radix_errors.asm(1) Line 1, Comment 31, Pass 1: Expected an '=' sign",
                     "radix_errors.asm(2) Line 2, Error 25, Pass 1: Bad radix value"}},
        // A user's message does not stop pass 1; only a malformed ERROR does.
        FixtureCase{"user_errors",
                    {"/W", "0"},
                    -1,
                    {"user_errors.asm(1) Line 1, Warning 55, Pass 1: ERROR \"first pass\"",
                     "user_errors.asm(2) Line 2, Error 55, Pass 1: ERROR \"first error\"",
                     "user_errors.asm(3) Line 3, Comment 55, Pass 1: ERROR \"first comment\"",
                     "user_errors.asm(5) Line 5, Error 1, Pass 1: Bad instruction statement"}},
        FixtureCase{"user_error_level",
                    {},
                    -1,
                    {"user_error_level.asm(1) Line 1, Error 1, Pass 1: Bad instruction statement"}},
        FixtureCase{
            "user_error_no_string",
            {},
            -1,
            {"user_error_no_string.asm(1) Line 1, Error 1, Pass 1: Bad instruction statement"}},
        FixtureCase{"watch_missing",
                    kIde,
                    -1,
                    {"watch_missing.asm(1) Line 1, Error 63, Pass 1: WATCH is missing parameters"}},
        FixtureCase{"watch_bad_type",
                    kIde,
                    -1,
                    {"watch_bad_type.asm(2) Line 2, Error 70, Pass 1: Invalid watch type specified "
                     "- \"HEX\""}},
        FixtureCase{"irc_cal_bad",
                    kIde,
                    -1,
                    {"irc_cal_bad.asm(1) Line 1, Error 64, Pass 1: IRC_CAL has invalid or missing "
                     "parameters"}},
        // /X 1 has defined __QV_IRC_CAL already: a warning, and the value is replaced.
        FixtureCase{
            "irc_cal_again",
            {"/E", "KESTRIAN", "/X", "1"},
            0,
            {"irc_cal_again.asm(1) Line 1, Warning 2, Pass 1: Redefinition of symbol <IRC_CAL>",
             "irc_cal_again.asm(1) Line 1, Warning 66, Pass 1: No FREQ directive. Default 50 MHz "
             "being used",
             "irc_cal_again.asm(1) Line 1, Warning 71, Pass 1: No chip type specified - using "
             "default QV18"}},
        FixtureCase{"reset_twice",
                    {},
                    -1,
                    {"reset_twice.asm(2) Line 2, Error 2, Pass 1: Redefinition of symbol <RESET>"}},
        FixtureCase{"break_twice",
                    {},
                    -1,
                    {"break_twice.asm(3) Line 3, Error 2, Pass 1: Redefinition of symbol <BREAK>"}},
        // A number, a comma or a string first is error 1 and pass 1 goes on; a register name
        // first fails the statement.
        FixtureCase{"bad_first_tokens",
                    {},
                    -1,
                    {"bad_first_tokens.asm(1) Line 1, Error 1, Pass 1: Bad instruction statement",
                     "bad_first_tokens.asm(2) Line 2, Error 1, Pass 1: Bad instruction statement",
                     "bad_first_tokens.asm(3) Line 3, Error 1, Pass 1: Bad instruction statement",
                     "bad_first_tokens.asm(4) Line 4, Error 4, Pass 1: 'RA' is a reserved word"}},
        FixtureCase{"macro_without_label",
                    {},
                    -1,
                    {"macro_without_label.asm(1) Line 1, Error 9, Pass 1: Missing Label"}},
        FixtureCase{
            "macro_twice",
            {},
            -1,
            {"macro_twice.asm(3) Line 3, Error 12, Pass 1: Redefinition of MACRO label <twice>"}},
        FixtureCase{"endm_outside",
                    {},
                    -1,
                    {"endm_outside.asm(1) Line 1, Error 17, Pass 1: Unmatched MACRO"}},
        FixtureCase{"title_number",
                    {},
                    -1,
                    {"title_number.asm(1) Line 1, Error 29, Pass 1: Bad string syntax"}},
        FixtureCase{"id_too_long",
                    {},
                    -1,
                    {"id_too_long.asm(1) Line 1, Error 29, Pass 1: Bad string syntax"}},
        FixtureCase{
            "fuse_without_expression",
            {},
            -1,
            {"fuse_without_expression.asm(1) Line 1, Error 11, Pass 1: Missing expression"}}),
    [](const ::testing::TestParamInfo<FixtureCase>& info) { return std::string(info.param.name); });

TEST(Pass1, EndOfSourceWithoutEndIsError32AndEndsTheRun) {
  PassRun p(kFixtures / "missing_end.asm");
  p.Pass1();
  EXPECT_EQ(p.exit_code, 1);
  EXPECT_EQ(p.Messages(), std::vector<std::string>{
                              "missing_end.asm(1) Line 2, Error 32, Pass 1: Unexpected EOF"});
}

TEST(Pass1, MacrosIncludeAndReptAreSizedAndTheirLabelsDefined) {
  PassRun p(kFixtures / "macros_include_rept.asm", {"/X", "1"});
  EXPECT_EQ(p.Pass1(), 0) << p.console.str();
  struct Expected {
    const char* name;
    int32_t value;
  };
  // Each expansion: a LOCAL label, a local label joined to the caller's global label and the
  // expansion's prefix, NOP and a two-word DW.
  for (const Expected& e :
       {Expected{"start", 0}, Expected{"??0000", 0}, Expected{"start?first1:here", 0},
        Expected{"??0001", 3}, Expected{"start?first2:here", 3}, Expected{"included", 7},
        Expected{"after", 10}}) {
    const SymbolNode* s = p.Symbol(e.name);
    ASSERT_NE(s, nullptr) << e.name;
    EXPECT_EQ(s->value, e.value) << e.name;
  }
  EXPECT_EQ(p.Symbol("included")->kind, kSymData);
  EXPECT_EQ(p.Symbol("start")->kind, kSymAddr);

  // Pass 2 passes over the stored definition (its lines are no statements of their own) and
  // expands the calls to the same names and addresses.
  int symbols = p.run.symbols.Count();
  p.Pass2();
  EXPECT_EQ(p.Messages(), std::vector<std::string>{});
  EXPECT_EQ(p.run.symbols.Count(), symbols);
  EXPECT_EQ(p.Symbol("again"), nullptr);
  EXPECT_EQ(p.run.pass_state.location, 10);
}

// Writes `text` as "t.asm" and runs pass 1 over it.
struct Inline {
  TempFolder folder;
  PassRun pass;
  Inline(const std::string& text, std::vector<std::string> options = {})
      : pass(folder.Write("t.asm", text), std::move(options)) {
    pass.Pass1();
  }
};

TEST(Pass1, SpecialSymbolsHaveTheirKindsAndValues) {
  Inline t(
      "        DEVICE  QV18AC, OSCHS2\n"
      "        FREQ    20_000_000\n"
      "        IRC_CAL IRC_FAST\n"
      "ticks   EQU     $0A\n"
      "        WATCH   ticks,1,UHEX\n"
      "        WATCH   ticks.3,1,UBIN\n"
      "main    NOP\n"
      "        BREAK\n"
      "        NOP\n"
      "        RESET   main\n"
      "        END\n",
      kIde);
  EXPECT_EQ(t.pass.result, 0);
  EXPECT_EQ(t.pass.Messages(), std::vector<std::string>{});
  struct Expected {
    const char* name;
    uint8_t kind;
    int32_t value;
  };
  for (const Expected& e :
       {Expected{"__TARN", kSymData, 1}, Expected{"__QV_FREQ", kSymData, 20000000},
        Expected{"__QV_IRC_CAL", kSymData, 2}, Expected{"__QV_BREAK", kSymAddr, 1},
        Expected{"__QV_RESET", kSymResb, 2}, Expected{"__QV_WATCH:ticks", kSymWatch + 2, 0},
        Expected{"__QV_WATCH:ticks.3", kSymWatch + 4, 0}}) {
    const SymbolNode* s = t.pass.Symbol(e.name);
    ASSERT_NE(s, nullptr) << e.name;
    EXPECT_EQ(s->kind, e.kind) << e.name;
    EXPECT_EQ(s->value, e.value) << e.name;
  }
  EXPECT_EQ(t.pass.run.image.frequency, 20000000u);
  EXPECT_EQ(t.pass.run.image.irc_cal, 2);
  EXPECT_EQ(t.pass.run.image.break_address, 1);

  // Pass 2 meets the same definitions again without a message, and gives each watch the
  // watched address (bit number above the register) and its count.
  t.pass.Pass2();
  EXPECT_EQ(t.pass.Messages(), std::vector<std::string>{});
  EXPECT_EQ(t.pass.Symbol("__QV_WATCH:ticks")->value, 0x0A);
  EXPECT_EQ(t.pass.Symbol("__QV_WATCH:ticks")->bit, 1);
  EXPECT_EQ(t.pass.Symbol("__QV_WATCH:ticks.3")->value, 0x30A);
}

TEST(Pass1, WatchAndIrcCalOutsideTheIdeModeOnlyDefineTheirLabel) {
  Inline t(
      "ticks   EQU     10\n"
      "seen    WATCH   ticks,1,UHEX\n"
      "cal     IRC_CAL irc_fast\n"
      "        END\n",
      {"/W", "0"});
  EXPECT_EQ(t.pass.result, 0);
  EXPECT_EQ(t.pass.Symbol("__QV_WATCH:ticks"), nullptr);
  ASSERT_NE(t.pass.Symbol("seen"), nullptr);
  EXPECT_EQ(t.pass.Symbol("seen")->kind, kSymAddr);
  ASSERT_NE(t.pass.Symbol("cal"), nullptr);
  // Outside the IDE's mode no IRC_CAL counts: the default comes with warning 65.
  EXPECT_EQ(t.pass.Symbol("__QV_IRC_CAL")->value, 0);
  EXPECT_EQ(t.pass.Messages(), EndOfPass1Warnings("t.asm"));
  t.pass.Pass2();
  EXPECT_EQ(t.pass.Messages(),
            (std::vector<std::string>{
                "t.asm(2) Line 2, Comment 46, Pass 2: Ignoring unknown directive",
                "t.asm(3) Line 3, Comment 46, Pass 2: Ignoring unknown directive"}));
}

TEST(Pass1, XOneDefinesIrcCalZeroSoNoWarning65) {
  Inline t("        END\n", {"/X", "1"});
  ASSERT_NE(t.pass.Symbol("__QV_IRC_CAL"), nullptr);
  EXPECT_EQ(t.pass.Symbol("__QV_IRC_CAL")->kind, kSymData);
  EXPECT_EQ(t.pass.Symbol("__QV_IRC_CAL")->value, 0);
  EXPECT_EQ(
      t.pass.Messages(),
      (std::vector<std::string>{
          "t.asm(1) Line 1, Warning 66, Pass 1: No FREQ directive. Default 50 MHz being used",
          "t.asm(1) Line 1, Warning 71, Pass 1: No chip type specified - using default QV18"}));
  EXPECT_EQ(t.pass.Symbol("__QV_FREQ")->value, 50000000);
  EXPECT_EQ(t.pass.run.image.break_address, kNoBreak);  // no BREAK, in any mode
}

TEST(Pass1, ErrorDirectiveSpeaksInTheNamedPassOnly) {
  Inline t(
      "        DEVICE  QV18AC\n"
      "        FREQ    4_000_000\n"
      "        ERROR   P1W \"first pass\"\n"
      "        ERROR   \"second pass\"\n"
      "        ERROR   P2W \"second warning\"\n"
      "        END\n",
      {"/X", "1"});
  EXPECT_EQ(t.pass.Messages(),
            std::vector<std::string>{"t.asm(3) Line 3, Warning 55, Pass 1: ERROR \"first pass\""});
  t.pass.Pass2();
  EXPECT_EQ(
      t.pass.Messages(),
      (std::vector<std::string>{"t.asm(4) Line 4, Error 55, Pass 2: ERROR \"second pass\"",
                                "t.asm(5) Line 5, Warning 55, Pass 2: ERROR \"second warning\""}));
}

TEST(Pass1, UserWarningInTheIdeModeIsWarning76AndDoesNotFail) {
  Inline t("        ERROR   P1W \"look\"\n        END\n", {"/E", "KESTRIAN", "/X", "1"});
  EXPECT_EQ(t.pass.result, 0);
  ASSERT_FALSE(t.pass.Messages().empty());
  EXPECT_EQ(t.pass.Messages()[0], "t.asm(1) Line 1, Warning 76, Pass 1: USER WARNING: \"look\"");
}

// In the IDE's mode the names after the string show their values: decimal, or hexadecimal
// under radix 16, with ".bit" for a bit field; strings add their text; labels add nothing; a
// name pass 1 has not met yet says so in pass 1.
TEST(Pass1, UserMessagesInTheIdeModeShowTheValuesOfTheNamesThatFollow) {
  Inline t(
      "        DEVICE  QV18AC, OSCHS2\n"
      "        FREQ    4_000_000\n"
      "count   EQU     26\n"
      "flag    EQU     RA.3\n"
      "level   SET     -2\n"
      "start   NOP\n"
      "        ERROR   P1W \"count=\" count, \" flag=\" flag \" level=\" level \" start=\" start "
      "\" later=\" later\n"
      "later   EQU     1\n"
      "        ERROR   P2W \"later=\" later \" count=\" count\n"
      "        RADIX   = HEX\n"
      "        ERROR   P2E \"count=\" count 5\n"
      "        ERROR   P2E \"level=\" level\n"
      "        END\n",
      {"/E", "KESTRIAN", "/X", "1"});
  EXPECT_EQ(t.pass.result, 0);
  EXPECT_EQ(t.pass.Messages(),
            std::vector<std::string>{
                "t.asm(7) Line 7, Warning 76, Pass 1: USER WARNING: \"count=26 flag=5.3 level=-2 "
                "start= later=<WARNING - \"later\" not defined in pass 1>\""});
  t.pass.Pass2();
  EXPECT_EQ(t.pass.Messages(),
            (std::vector<std::string>{
                "t.asm(9) Line 9, Warning 76, Pass 2: USER WARNING: \"later=1 count=26\"",
                "t.asm(11) Line 11, Error 55, Pass 2: ERROR \"count=1A\"",
                "t.asm(12) Line 12, Error 55, Pass 2: ERROR \"level=FFFFFFFE\""}));
}

// Outside it the string is the whole message, and every message keeps to 100 characters.
TEST(Pass1, UserMessagesOutsideTheIdeModeAreTheStringAlone) {
  std::string long_text(110, 'x');
  Inline t(
      "count   EQU     26\n"
      "        ERROR   P1W \"count=\" count\n"
      "        ERROR   P1W \"" +
          long_text +
          "\"\n"
          "        END\n",
      {"/X", "1"});
  EXPECT_EQ(t.pass.Messages()[0], "t.asm(2) Line 2, Warning 55, Pass 1: ERROR \"count=\"");
  EXPECT_EQ(t.pass.Messages()[1],
            "t.asm(3) Line 3, Warning 55, Pass 1: ERROR \"" + long_text.substr(0, 100) + "\"");
}

// In the IDE's mode a source without any OSC keyword hears of the default in pass 2, at its
// DEVICE and FUSES lines; one OSC keyword anywhere (here on a later FUSES line) is enough.
TEST(Pass1, NoOscillatorKeywordIsWarning69InPass2InTheIdeMode) {
  const std::string source = "        DEVICE  QV18AC\n        FREQ    4_000_000\n        END\n";
  Inline ide(source, {"/E", "KESTRIAN", "/X", "1"});
  EXPECT_TRUE(ide.pass.Messages().empty());
  ide.pass.Pass2();
  EXPECT_EQ(ide.pass.Messages(),
            std::vector<std::string>{
                "t.asm(1) Line 1, Warning 69, Pass 2: No OSCxxx directive - using default OSCRC"});

  Inline later(
      "        DEVICE  QV18AC\n        FUSES   WDT_OFF, OSCHS2\n        FREQ    4_000_000\n        "
      "END\n",
      {"/E", "KESTRIAN", "/X", "1"});
  later.pass.Pass2();
  EXPECT_TRUE(later.pass.Messages().empty());

  Inline plain(source, {"/X", "1"});
  plain.pass.Pass2();
  EXPECT_TRUE(plain.pass.Messages().empty());
}

TEST(Pass1, RedefinitionsAreReportedAgainInPass2OnTheirOwnLines) {
  PassRun p(kFixtures / "freq_twice.asm");
  p.Pass1();
  p.Pass2();
  EXPECT_EQ(p.Messages(),
            std::vector<std::string>{
                "freq_twice.asm(3) Line 3, Error 2, Pass 2: Redefinition of symbol <FREQ>"});
  PassRun q(kFixtures / "redefinition.asm");
  q.Pass1();
  q.Pass2();
  EXPECT_EQ(q.Messages(),
            (std::vector<std::string>{
                "redefinition.asm(3) Line 3, Error 2, Pass 2: Redefinition of symbol <START>",
                "redefinition.asm(4) Line 4, Error 3, Pass 2: Symbol <missing> is not defined"}));
}

TEST(Pass1, RadixChangesNumbersAndWarning33ComesFromPass2) {
  Inline t(
      "        RADIX   = HEX\n"
      "short   EQU     1B\n"
      "long    EQU     101B\n"
      "ten     EQU     10\n"
      "        END\n",
      {"/X", "1", "/P", "QV18AC"});
  EXPECT_EQ(t.pass.Symbol("short")->value, 0x1B);
  EXPECT_EQ(t.pass.Symbol("long")->value, 5);
  EXPECT_EQ(t.pass.Symbol("ten")->value, 16);
  EXPECT_EQ(
      t.pass.Messages(),
      std::vector<std::string>{
          "t.asm(1) Line 1, Warning 66, Pass 1: No FREQ directive. Default 50 MHz being used"});
  // Each pass starts from the command line's radix, so pass 2 reads the lines alike.
  t.pass.Pass2();
  EXPECT_EQ(t.pass.Messages(),
            std::vector<std::string>{
                "t.asm(2) Line 2, Warning 33, Pass 2: Assume value is in HEXADECIMAL"});
  EXPECT_EQ(t.pass.Symbol("ten")->value, 16);
}

TEST(Pass1, IfMinusOneSkipsAndNestedBlocksFollowTheirOuterLevel) {
  Inline t(
      "        IF      -1\n"
      "skipped EQU     1\n"
      "        IF      1\n"
      "inner   EQU     1\n"
      "        ELSE\n"
      "inner2  EQU     1\n"
      "        ENDIF\n"
      "        ELSE\n"
      "taken   EQU     2\n"
      "        ENDIF\n"
      "        IFDEF   taken\n"
      "defd    EQU     3\n"
      "        ENDIF\n"
      "        IFNDEF  taken\n"
      "undefd  EQU     4\n"
      "        ENDIF\n"
      "        IF      undefined_name\n"
      "marked  EQU     5\n"
      "        ENDIF\n"
      "        END\n");
  for (const char* absent : {"skipped", "inner", "inner2", "undefd", "marked"}) {
    EXPECT_EQ(t.pass.Symbol(absent), nullptr) << absent;
  }
  for (const char* present : {"taken", "defd"})
    EXPECT_NE(t.pass.Symbol(present), nullptr) << present;
  // The undefined name of an IF is reported as the evaluator reports it, and pass 1 goes on.
  EXPECT_EQ(t.pass.result, 0);
  ASSERT_FALSE(t.pass.Messages().empty());
  EXPECT_EQ(t.pass.Messages()[0],
            "t.asm(17) Line 17, Error 3, Pass 1: Symbol <undefined_name> is not defined");
}

TEST(Pass1, IdWordsTakeTwoNibblesPerCharacter) {
  Inline t("        ID      \"AB\"\n        END\n");
  std::vector<uint16_t> id(t.pass.run.image.words.begin() + kIdWordsAddress,
                           t.pass.run.image.words.begin() + kIdWordsAddress + kIdWordCount);
  std::vector<uint16_t> expected(16, 0x0FFF);
  expected[0] = 0x0FF4;
  expected[1] = 0x0FF1;
  expected[2] = 0x0FF4;
  expected[3] = 0x0FF2;
  EXPECT_EQ(id, expected);
}

TEST(Pass1, DataListsCountExpressionsAndCharacters) {
  Inline t(
      "table   DW      1, 2+3, 'x'+1, \"ab\"\n"
      "next    RETW    'xyz', 7\n"
      "last    NOP\n"
      "        END\n");
  EXPECT_EQ(t.pass.Symbol("next")->value, 5);
  EXPECT_EQ(t.pass.Symbol("last")->value, 9);
}

TEST(Pass1, DataListsStopAt200WordsWithError6) {
  std::string list = "        DW      0";
  for (int i = 1; i < 210; ++i) list += ",0";
  Inline t(list + "\nafter   NOP\n        END\n", {"/X", "1", "/P", "QV18AC", "/W", "2"});
  EXPECT_EQ(t.pass.Messages(),
            std::vector<std::string>{"t.asm(1) Line 1, Error 6, Pass 1: Too many operands"});
  EXPECT_EQ(t.pass.Symbol("after")->value, 200);
}

TEST(Pass1, LocationDirectivesMoveTheCounterAndDefineTheirKinds) {
  Inline t(
      "        ORG     $10\n"
      "here    NOP\n"
      "buffer  DS      4\n"
      "gap     RES     2\n"
      "zeros   ZERO    3\n"
      "        ORG     $100\n"
      "start   ORG     $200\n"
      "        END\n");
  EXPECT_EQ(t.pass.result, 0);
  EXPECT_EQ(t.pass.Symbol("here")->value, 0x10);
  EXPECT_EQ(t.pass.Symbol("buffer")->value, 0x11);
  EXPECT_EQ(t.pass.Symbol("buffer")->kind, kSymMemv);
  EXPECT_EQ(t.pass.Symbol("gap")->value, 0x15);
  EXPECT_EQ(t.pass.Symbol("gap")->kind, kSymAddr);
  EXPECT_EQ(t.pass.Symbol("zeros")->value, 0x17);
  EXPECT_EQ(t.pass.Symbol("start")->value, 0x200);
  EXPECT_EQ(t.pass.run.pass_state.location, 0x200);
  // ZERO reserves like RES: pass 2 leaves the words it passes over empty.
  t.pass.Pass2();
  for (int a = 0x15; a < 0x1A; ++a)
    EXPECT_EQ(t.pass.run.image.words[static_cast<size_t>(a)], kBlankWord) << a;
}

TEST(Pass1, SetUpdatesItsVariableAndEquCarriesTheBitField) {
  Inline t(
      "count   SET     1\n"
      "count   =       count+1\n"
      "flag    EQU     RA.3\n"
      "after   EQU     count\n"
      "count   EQU     7\n"
      "        END\n");
  EXPECT_EQ(t.pass.Symbol("count")->kind, kSymVar);
  EXPECT_EQ(t.pass.Symbol("count")->value, 7);
  EXPECT_EQ(t.pass.Symbol("after")->value, 2);
  EXPECT_EQ(t.pass.Symbol("flag")->value, 5);
  EXPECT_EQ(t.pass.Symbol("flag")->bit, 3);
  // count once, flag, after, RA entered on first use, and the two end-of-pass defaults.
  EXPECT_EQ(t.pass.run.symbols.Count(), 6);
}

TEST(Pass1, DeviceAndFusesSetTheWords) {
  Inline t(
      "        DEVICE  QV18AC, OSCHS, WDT_OFF\n"
      "        FUSES   PAGES2, OSCXT\n"
      "        END\n",
      {"/E", "KESTRIAN"});
  EXPECT_EQ(t.pass.run.device.fuse, 0x0FFB & 0x0FFE & 0x0FFB);  // OSCXT comes too late
  EXPECT_EQ(t.pass.run.device.fusex, 0x0BFF & 0x0FFD);
  EXPECT_EQ(t.pass.run.device.highest_address, 1023u);
  EXPECT_EQ(t.pass.run.pass_state.oscillator_keyword, "OSCHS");
}

TEST(Pass1, FuseWordDirectivesSetTheWholeWord) {
  Inline t("        __FUSE  $0123\n        __FUSEX $0456\n        END\n");
  EXPECT_EQ(t.pass.run.device.fuse, 0x0123);
  EXPECT_EQ(t.pass.run.device.fusex, 0x0456);
}

TEST(Pass1, ObsoleteFuseKeywordIsWarning51) {
  Inline t("        DEVICE  QV52BD, OSCHS\n        END\n", {"/E", "KESTRIAN", "/X", "1"});
  ASSERT_FALSE(t.pass.Messages().empty());
  EXPECT_EQ(t.pass.Messages()[0],
            "t.asm(1) Line 1, Warning 51, Pass 1: Obsolete keyword: <OSCHS> for this device");
  EXPECT_EQ(t.pass.run.device.index, 4);
}

TEST(Pass1, ListParametersSetTheirOptions) {
  Inline t(
      "        LIST    P=QV48BD, R=HEX, F=BIN16, L=PAGE, E=NOHAU, Q=37, W=0, X=OFF, N=50, C=132, "
      "D=1\n"
      "        LIST    Q=-37\n"
      "        END\n");
  EXPECT_EQ(t.pass.result, 0) << t.pass.console.str();
  const Options& o = t.pass.run.options;
  EXPECT_EQ(t.pass.run.device.index, 3);
  EXPECT_EQ(o.radix, 16);
  EXPECT_EQ(o.output_format, kBin16);
  EXPECT_EQ(o.listing_mode, kListPage);
  EXPECT_TRUE(o.nohau);
  EXPECT_EQ(o.warning_level, 0);
  EXPECT_EQ(t.pass.run.messages.quiet[37], 0);
  EXPECT_FALSE(t.pass.run.pass_state.list_expansions);
  EXPECT_EQ(t.pass.run.listing.page_length, 50);
  EXPECT_EQ(t.pass.run.pass_state.list_columns, 132);
}

struct ListErrorCase {
  const char* parameter;
  const char* message;
};

TEST(Pass1, ListParameterErrors) {
  const ListErrorCase cases[] = {
      {"P=QV99", "Error 26, Pass 1: Unknown microcontroller type"},
      {"R=TEN", "Error 25, Pass 1: Bad radix value"},
      {"F=ELF", "Error 27, Pass 1: Unknown output format"},
      {"L=SOME", "Error 28, Pass 1: Unknown listing parameter"},
      {"E=LOUD", "Error 28, Pass 1: Unknown listing parameter"},
      {"Q=999", "Error 28, Pass 1: Unknown listing parameter"},
      {"W=3", "Error 28, Pass 1: Unknown listing parameter"},
      {"X=MAYBE", "Error 28, Pass 1: Unknown listing parameter"},
      {"Z=1", "Error 1, Pass 1: Bad instruction statement"},
  };
  for (const ListErrorCase& c : cases) {
    Inline t(std::string("        LIST    ") + c.parameter + "\n        END\n");
    EXPECT_EQ(t.pass.result, -1) << c.parameter;
    EXPECT_EQ(t.pass.Messages(),
              std::vector<std::string>{std::string("t.asm(1) Line 1, ") + c.message})
        << c.parameter;
  }
  Inline missing_equals("        LIST    R HEX\n        END\n",
                        {"/W", "0", "/X", "1", "/P", "QV18AC"});
  EXPECT_EQ(missing_equals.pass.run.options.radix, 16);
  EXPECT_EQ(missing_equals.pass.Messages()[0],
            "t.asm(1) Line 1, Comment 31, Pass 1: Expected an '=' sign");
}

TEST(Pass1, TitlesAndSubtitles) {
  Inline t(
      "        TITLE   \"one\"\n"
      "        STITLE  two\n"
      "        SUBTITL \"first\"\n"
      "        SUBTITL \"second\"\n"
      "        END\n");
  EXPECT_EQ(t.pass.run.listing.subtitle, "two");
  EXPECT_EQ(t.pass.run.listing.subtitle2, "first");
}

struct ColumnCase {
  const char* line;
  std::vector<std::string> options;
  bool accepted;
};

TEST(Pass1, LabelColumnRule) {
  const ColumnCase cases[] = {
      {"  :loop\n", {"/E", "KESTRIAN", "/D", "LBL_START_ONE"}, false},
      {"  :loop\n", {"/E", "KESTRIAN", "/D", "LBL_START_ANY"}, true},
      {"  :loop\n", {}, true},  // the rule for local labels is the IDE's
      {"  alone\n", {"/E", "KESTRIAN", "/D", "LBL_START_ANY"}, false},
      {"  alone\n", {}, false},
      {"alone\n", {}, true},
      {"  inset NOP\n", {}, false},
      {"  inset EQU 5\n", {}, true},  // EQU names its label: no column rule
      {"  inset BREAK\n", {}, false},
  };
  for (const ColumnCase& c : cases) {
    Inline t(std::string("top\n") + c.line + "        END\n", c.options);
    EXPECT_EQ(t.pass.result, c.accepted ? 0 : -1) << c.line;
    if (!c.accepted) {
      EXPECT_EQ(t.pass.Messages(),
                std::vector<std::string>{
                    "t.asm(2) Line 2, Error 45, Pass 1: Label must begin at column 1"})
          << c.line;
    }
  }
  Inline local("top\n:loop\n        END\n");
  EXPECT_NE(local.pass.Symbol("top:loop"), nullptr);
  Inline colon("done:   NOP\n        END\n");
  EXPECT_NE(colon.pass.Symbol("done"), nullptr);
}

TEST(Pass1, LocalLabelLongerThan130CharactersIsError57) {
  std::ostringstream console;
  TarnRun run(console);
  run.pass = 1;
  run.sources.last_global_label = std::string(125, 'g');
  BeginLine(run, ":local\n");
  NextToken(run);
  EXPECT_EQ(TakeLabel(run), -1);
  EXPECT_NE(console.str().find(
                "Error 57, Pass 1: Local symbol \":local\" expands to more than 130 characters"),
            std::string::npos)
      << console.str();
  BeginLine(run, ":loc\n");
  NextToken(run);
  EXPECT_EQ(TakeLabel(run), 0);
  EXPECT_EQ(run.pass_state.label.name.size(), 129u);
}

TEST(Pass1, ResetLabelGetsTheResetVector) {
  Inline t("        DEVICE  QV18AC, PAGES1\nvector  RESET   0\n        END\n");
  EXPECT_EQ(t.pass.Symbol("vector")->value, 511);
  t.pass.Pass2();
  EXPECT_EQ(t.pass.run.image.words[511], 0xA00);

  Inline far("        DEVICE  QV18AC\n        RESET   600\n        END\n");
  far.pass.Pass2();
  EXPECT_EQ(
      far.pass.Messages(),
      std::vector<std::string>{"t.asm(2) Line 2, Error 52, Pass 2: Reset address not in page 0"});
  EXPECT_EQ(far.pass.run.image.words[2047], 0xA00 + (600 & 511));
}

TEST(Pass1, DirectiveLinesHaveTheirPass2Classes) {
  TempFolder folder;
  folder.Write("part.inc", "; nothing but a comment\n");
  PassRun p(folder.Write("t.asm",
                         "        DEVICE  QV18AC\n"
                         "        FUSES   OSCXT\n"
                         "        FREQ    4_000_000\n"
                         "value   EQU     5\n"
                         "        LIST    Q=37\n"
                         "        INCLUDE \"part.inc\"\n"
                         "        CASE\n"
                         "        LPAGE\n"
                         "        SPAC    2\n"
                         "        RESET   0\n"
                         "        END\n"));
  p.Pass1();
  p.Pass2();
  EXPECT_EQ(p.line_classes,
            (std::vector<int>{kLineFuses, kLineFuses, kLineValue, kLineValue, kLinePlain,
                              kLinePlainNoMarker, kLinePlainNoMarker, kLinePageEject,
                              kLineBlankLines, kLineResetVector, kLinePlain}));
}

}  // namespace
}  // namespace tarn
