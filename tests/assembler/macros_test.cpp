#include "assembler/macros.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assembler/driver.h"
#include "source_harness.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;
using harness::SourceHarness;
using harness::TempFolder;
using Records = std::vector<std::string>;

const fs::path kFixtures = fs::path(TARN_FIXTURES) / "sources";

class MacrosTest : public ::testing::Test {
 protected:
  TempFolder folder;
  SourceHarness h;

  void Source(const std::string& text) {
    h.SetSource(folder.Write("main.asm", text), folder.path());
  }
  void Fixture(const std::string& name) { h.SetSource(kFixtures / name, folder.path()); }
};

TEST_F(MacrosTest, ExpansionWithLocalNamesArgumentsAndExitm) {
  Fixture("macros.asm");
  ASSERT_TRUE(h.Assemble());
  // Pass 2 gives the local names of pass 1 (the harness reports a MISMATCH otherwise).
  EXPECT_EQ(h.records, (Records{
                           "start:",
                           "??0000:",
                           "macros.asm(20) DW 1,2",
                           "start?pair1:next:",
                           "macros.asm(20) JNZ 0",
                           "macros.asm(20) DW 1",
                           "??0001:",
                           "macros.asm(21) DW 3,4",
                           "start?pair2:next:",
                           "macros.asm(21) JNZ 3",
                           "macros.asm(21) DW 4",
                           "macros.asm(22) DW 3",
                           "macros.asm(22) DW 7",
                           "macros.asm(23) DW 1",
                           "macros.asm(23) DW 5,6",
                           "macros.asm(24) DW 2",
                           "macros.asm(24) DW 97",
                           "macros.asm(25) DW 1",
                           "macros.asm(25) DW 5",
                           "macros.asm(26) DW 1",
                           "macros.asm(27) DW 99",
                       }));
  EXPECT_EQ(h.Errors(), 0);
  EXPECT_EQ(h.run.sources.last_global_label, "start");
  EXPECT_FALSE(InMacroExpansion(h.run));

  const MacroRecord* pair = FindMacro(h.run, "PAIR");
  ASSERT_NE(pair, nullptr);
  EXPECT_EQ(pair->declared_count, 2);
  EXPECT_EQ(pair->local_count, 1);
  EXPECT_EQ(pair->body, (Records{"`0   DW \\1, \\2\n", ":next   JNZ `0\n", "        DW :next\n",
                                 "        ENDM\n"}));
  EXPECT_EQ(FindMacro(h.run, "any")->declared_count, -1);
}

TEST_F(MacrosTest, ReptWithIterationNumberNestingAndInsideAMacro) {
  Fixture("rept.asm");
  ASSERT_TRUE(h.Assemble());
  EXPECT_EQ(h.records, (Records{
                           "rept.asm(3) DW 1",
                           "rept.asm(4) DW 2",
                           "rept.asm(4) DW 3",
                           "rept.asm(10) DW 1",
                           "rept.asm(11) DW 2",
                           "rept.asm(12) DW 11",
                           "rept.asm(13) DW 1",
                           "rept.asm(13) DW 2",
                           "rept.asm(13) DW 12",
                           "rept.asm(19) DW 7",
                           "rept.asm(19) DW 8",
                           "rept.asm(19) DW 9",
                           "??0000:",
                           "rept.asm(25) DW 1",
                           "??0001:",
                           "rept.asm(26) DW 2",
                           "rept.asm(30) DW 0",
                       }));
  EXPECT_EQ(h.Errors(), 1);
  EXPECT_TRUE(h.Printed("rept.asm(27) Line 54, Error 47, Pass 2: REPT count exceed limit"));
  EXPECT_FALSE(ReptActive(h.run));
}

TEST_F(MacrosTest, ArgumentCountFailsSilentlyInPassOneAndReports16InPassTwo) {
  Source("two MACRO a, b\n DW a\n DW b\n ENDM\n two 1, 2, 3\n DW 9\n END\n");
  ASSERT_TRUE(h.RunPass(1));
  EXPECT_EQ(h.failed_lines, std::vector<int>{5});
  EXPECT_EQ(h.Errors(), 0);
  ASSERT_TRUE(h.RunPass(2));
  EXPECT_EQ(h.Errors(), 1);
  EXPECT_TRUE(h.Printed("main.asm(5) Line 5, Error 16, Pass 2: Macro arguments do not match"));
  // The expansion goes on in pass 2.
  EXPECT_EQ(h.records, (Records{"main.asm(5) DW 1", "main.asm(5) DW 2", "main.asm(6) DW 9"}));
}

TEST_F(MacrosTest, DeclaredCountAsANumber) {
  Source("mac MACRO 2\n DW \\2, \\1\n ENDM\n mac 4, 5\n END\n");
  ASSERT_TRUE(h.Assemble());
  EXPECT_EQ(FindMacro(h.run, "mac")->declared_count, 2);
  EXPECT_EQ(h.records, Records{"main.asm(4) DW 5,4"});
}

TEST_F(MacrosTest, DefinitionErrors) {
  Source("m MACRO a, 3\n DW a\n ENDM\n END\n");
  ASSERT_TRUE(h.RunPass(1));
  EXPECT_TRUE(h.Printed("main.asm(1) Line 1, Error 14, Pass 1: Bad argument <3>"));

  h.console.str("");
  Source("m MACRO\n DW 1\n END\n");
  ASSERT_TRUE(h.RunPass(1));
  EXPECT_TRUE(h.Printed("Error 17, Pass 1: Unmatched MACRO"));
  EXPECT_EQ(h.run.macros.macros.count("M"), 0u);
}

TEST_F(MacrosTest, MoreThanTwentyArgumentsAreRefused) {
  std::string args = "1";
  for (int i = 2; i <= 21; ++i) {
    args += ',';
    args += std::to_string(i);
  }
  Source("mac MACRO\n DW \\0\n ENDM\n mac " + args + "\n mac 1,2\n END\n");
  ASSERT_TRUE(h.Assemble());
  EXPECT_TRUE(h.Printed("main.asm(4) Line 4, Error 6, Pass 2: Too many operands"));
  EXPECT_EQ(h.records, Records{"main.asm(5) DW 2"});
}

// Reaching the depth limit ends the run in pass 1: a macro that calls itself twice would
// otherwise expand 2^1000 times in pass 2.
TEST_F(MacrosTest, EndlessRecursionEndsTheRunAtTheDepthLimit) {
  for (const char* body : {" r\n", " r\n r\n"}) {
    Source(std::string("r MACRO\n") + body + " ENDM\n r\n DW 1\n END\n");
    EXPECT_FALSE(h.RunPass(1)) << body;
    EXPECT_EQ(h.exit_code, 1);
    EXPECT_EQ(h.Errors(), 1);
    EXPECT_TRUE(h.Printed("Line 1004, Error 15, Pass 1: Bad MACRO expression")) << h.console.str();
  }
}

TEST_F(MacrosTest, RecursionEndedByTheMacroItself) {
  // Each expansion keeps its own arguments, so the outer one still sees its own after the inner.
  Source("down MACRO n\n REPT n\n DW n\n down n-1\n ENDR\n ENDM\n down 2\n END\n");
  ASSERT_TRUE(h.Assemble());
  EXPECT_EQ(h.records, (Records{"main.asm(7) DW 2", "main.asm(7) DW 1", "main.asm(7) DW 2",
                                "main.asm(7) DW 1"}));
  EXPECT_EQ(h.Errors(), 0);
}

TEST_F(MacrosTest, ReptLimits) {
  std::string nested;
  for (int i = 0; i < 11; ++i) nested += " REPT 1\n";
  nested += " DW 5\n";
  for (int i = 0; i < 11; ++i) nested += " ENDR\n";
  Source(nested + " DW 6\n END\n");
  ASSERT_TRUE(h.Assemble());
  EXPECT_EQ(h.records, (Records{"main.asm(12) DW 5", "main.asm(24) DW 6"}));
  EXPECT_EQ(h.Errors(), 1);
  EXPECT_TRUE(h.Printed("main.asm(11) Line 11, Error 47, Pass 2: REPT count exceed limit"));

  // More lines than the store holds: the block runs once, as read.
  std::string text = " REPT 2\n";
  for (int i = 0; i < 600; ++i) text += " DW " + std::to_string(i) + "\n";
  Source(text + " ENDR\n DW 1000\n END\n");
  ASSERT_TRUE(h.Assemble());
  EXPECT_EQ(h.Errors(), 1);
  ASSERT_EQ(h.records.size(), 601u);
  EXPECT_EQ(h.records.back(), "main.asm(603) DW 1000");
}

TEST_F(MacrosTest, ReptWhoseEndrIsLostIsFatal) {
  // The ENDR is read on the first run only; the replay cannot find it again.
  ReptState rept;
  std::string line;
  h.run.macros.file_rept.active = true;
  rept.active = true;
  rept.lines = {" REPT 2\n", " DW 1\n"};
  rept.replay = 2;
  rept.levels.push_back({2, 1, 1});
  EXPECT_THROW(ReplayReptLine(h.run, rept, &line), TarnExit);
  EXPECT_TRUE(h.Printed("\nFATAL Error executing REPT directive"));
}

std::string CopiedLine(TarnRun& run, const Expansion& e, std::string_view stored) {
  std::string line = "the previous line, longer than any copy below";
  CopyBodyLine(run, e, stored, &line);
  return line;
}

struct CopyCase {
  const char* stored;
  const char* expected;
};

TEST_F(MacrosTest, BodyLineCopier) {
  MacroRecord macro;
  Expansion e;
  e.macro = &macro;
  e.arguments = {"x", "yy", "3"};
  const CopyCase cases[] = {
      {"DW \\1,\\2", "DW x,yy"},
      {"DW \\4", "DW \\4"},
      {"DW \\0", "DW 3"},
      {"DW \\10", "DW \\10"},
      {"DW ?\\1", "DW \x1Fx\x1F"},
      {"lbl?\\2 NOP", "lbl\x1Fyy\x1F NOP"},
      {"DW ??\\1", "DW x"},
      {"INNER ?(\\1+1)", "INNER ?(x+1)"},
      {"DW ? , \\1", "DW \x1Fx\x1F"},
      {"DW '\\1'", "DW '\\1'"},
      {"DW H'\\1'", "DW H'x'"},
      {"NOP ; \\1 comment", "NOP ; \\1 comment"},
      {"NOP;\\1", "NOP;x"},
      {"JMP @\\2", "JMP @yy"},
      {"DW \\%", "DW \\%"},
      {"`0 DW `1", "`0 DW `1"},
      {"DW \\1\n", "DW x\n"},
  };
  for (const CopyCase& c : cases) {
    SCOPED_TRACE(c.stored);
    EXPECT_EQ(CopiedLine(h.run, e, c.stored), c.expected);
  }
  h.run.options.radix = 2;
  EXPECT_EQ(CopiedLine(h.run, e, "DW \\0"), "DW 11");
  e.rept.active = true;
  e.rept.levels.push_back({3, 1, 1});
  EXPECT_EQ(CopiedLine(h.run, e, "DW \\%"), "DW yy");
  EXPECT_EQ(h.run.messages.error_calls, 0);
}

TEST_F(MacrosTest, ExpandedLinesAreCappedAtTheLineBuffer) {
  MacroRecord macro;
  Expansion e;
  e.macro = &macro;
  e.arguments = {std::string(400, 'a')};
  std::string line = CopiedLine(h.run, e, "DW \\1, \\1\n");
  EXPECT_EQ(line.size(), 511u);
  EXPECT_EQ(line.back(), '\n');
  EXPECT_EQ(h.run.messages.last_error_code, 74);
  EXPECT_TRUE(h.Printed("Macro expansion exceeded 512 characters"));
}

TEST_F(MacrosTest, ArgumentForms) {
  Source(
      "show MACRO\n DW \\0\n ENDM\n"
      "lab show   a  ,  {b, c}  , 'q,r' , :loc, ?(4*4)\n END\n");
  h.run.options.radix = 16;
  ASSERT_TRUE(h.RunPass(1));
  // Read the call again by hand to look at its arguments.
  ASSERT_TRUE(OpenMainSource(h.run));
  h.run.sources.last_global_label = "lab";
  for (int i = 0; i < 4; ++i) ReadLine(h.run);
  NextToken(h.run);
  NextToken(h.run);
  ASSERT_EQ(ExpandMacroCall(h.run, *FindMacro(h.run, "show")), 0);
  ASSERT_EQ(h.run.macros.expansions.size(), 1u);
  // ":loc" is the caller's lab:loc; the expansion's own label part comes after the arguments.
  EXPECT_EQ(h.run.macros.expansions[0].arguments, (Records{"a", "b, c", "'q,r'", "lab:loc", "10"}));
  EXPECT_EQ(h.run.sources.last_global_label, "lab?show1");
  EXPECT_EQ(NextToken(h.run), Token::kEndOfLine);
  EXPECT_EQ(EndMacroExpansion(h.run), 0);
  EXPECT_EQ(h.run.sources.last_global_label, "lab");
  EXPECT_EQ(EndMacroExpansion(h.run), -1);
}

TEST(FormatInRadix, EveryRadix) {
  EXPECT_EQ(FormatInRadix(10, 2), "1010");
  EXPECT_EQ(FormatInRadix(0, 2), "0");
  EXPECT_EQ(FormatInRadix(8, 8), "10");
  EXPECT_EQ(FormatInRadix(255, 16), "FF");
  EXPECT_EQ(FormatInRadix(-1, 16), "FFFFFFFF");
  EXPECT_EQ(FormatInRadix(-5, 10), "-5");
}

TEST(LocalSymbolName, FromTheExpansionBase) {
  std::ostringstream console;
  TarnRun run(console);
  EXPECT_EQ(LocalSymbolName(run, "`3"), "`3");
  MacroRecord macro;
  Expansion e;
  e.macro = &macro;
  e.local_base = 7;
  run.macros.expansions.push_back(e);
  EXPECT_EQ(LocalSymbolName(run, "`3"), "??000A");
  EXPECT_EQ(LocalSymbolName(run, "`0"), "??0007");
  EXPECT_EQ(LocalSymbolName(run, "`25"), "??00020");
  EXPECT_EQ(LocalSymbolName(run, "`x"), "`x");
}

TEST_F(MacrosTest, ArgumentsNameTheCallersLocalLabels) {
  // ":here" is the caller's start:here, in a plain argument and in a "?" expression alike.
  Source("put MACRO where\n DW where\n ENDM\nstart\n put :here\n put ?:here+1\n:here DW 7\n END\n");
  ASSERT_TRUE(h.Assemble());
  EXPECT_EQ(h.records, (Records{"start:", "main.asm(5) DW 2", "main.asm(6) DW 3",
                                "start:here:", "main.asm(7) DW 7"}));
  EXPECT_EQ(h.Errors(), 0);
}

// Through the whole assembler: the statement processor looks past a macro's name for MACRO
// without reading the arguments as tokens.
TEST_F(MacrosTest, CallArgumentsAreNotTokensOfTheStatement) {
  fs::path source = folder.Write(
      "prog.asm",
      "\tFREQ 4000000\n\tIRC_CAL irc_slow\nput MACRO a\n DW 1\n ENDM\n put {1,2}\n put " +
          std::string(130, 'A') + "\n put 'open\n END\n");
  std::ostringstream console;
  EXPECT_EQ(RunTarn({"tarn", "/E", "KESTRIAN", "/P", "QV48BD", source.string()}, console), 0)
      << console.str();
}

}  // namespace
}  // namespace tarn
