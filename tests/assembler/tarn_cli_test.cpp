// The built tarn program, run as the IDE and scripts run it: standard input is not a terminal.

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using tarn_test::ReadFile;
using tarn_test::RunTarnExe;
using tarn_test::TempFolder;
using tarn_test::WriteFile;
using tarn_test::fs::exists;

const std::string kBanner =
    "\nTARN Cross-Assembler for Orbant QV-based microcontrollers      Version 1.51.07\n"
    "Version as integer: 15107\n";

const std::string kUsage =
    "\nUsage: TARN [options] file[.asm]         where file = source file name\n"
    "\nOptions summary: "
    "\nOpt Arguments                            Description           Default"
    "\n--- ----------------------------------   ------------------    -------"
    "\n/F  [INHX8M|INHX16|INHX8S|BIN16|IEEE695] Output Format         INHX8M"
    "\n/P  [QV18AC|QV20AC|QV28AC|QV48BD|QV52BD] Processor Type        QV18AC"
    "\n/R  [HEX|DEC|OCT]                        Default Radix         DEC"
    "\n/T  [TABWIDTH]                           Tab width             8"
    "\n/W  [0|1|2]                              Warning level         1"
    "\n/Q  [n|-n]                               Quiet or Unquiet      all unquieted"
    "\n                                         error messsage n"
    "\n/I  Turn on Case sensitivity             Symbols               Off"
    "\n/L  [NONE|NOPAGE|PAGE]                   List file control     NOPAGE"
    "\n/E  [NONE|NOHAU]                         Extensions for tools  NONE"
    "\n/H or /?                                 Display Help Message"
    "\nPress any key to end.\n";

TEST(TarnProgram, NoArgumentsGiveBannerAndUsage) {
  auto r = RunTarnExe({});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.output, kBanner + kUsage);
}

TEST(TarnProgram, IllegalOptionThenUsage) {
  auto r = RunTarnExe({"/T", "25", "prog.src"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.output, kBanner + "\nIllegal option /T 25\n" + kUsage);
  auto k = RunTarnExe({"/K", "prog.src"});
  EXPECT_EQ(k.output, kBanner + "\nIllegal option /K" + kUsage);
}

TEST(TarnProgram, OptionsAfterTheSourceGiveTheUsageExit) {
  EXPECT_EQ(RunTarnExe({"prog.src", "/F", "BIN16"}).output, kBanner + kUsage);
  EXPECT_EQ(RunTarnExe({"/I", "prog.src"}).exit_code, 1);
}

TEST(TarnProgram, QuietWithABadOptionListsTheMessageNumbers) {
  auto r = RunTarnExe({"/Q", "24", "/X"});
  EXPECT_EQ(r.exit_code, 1);
  ASSERT_EQ(r.output.rfind(kBanner + "\nIllegal option /X" + kUsage +
                               "\n\nError message numbers for /Q and LIST Q=\nErr Message\n--- "
                               "-------\n  1 Bad instruction statement\n",
                           0),
            0u);
  EXPECT_NE(r.output.find(" 76 USER WARNING: \"--text--\"\n"), std::string::npos);
}

TEST(TarnProgram, VersionPrintsTheBannerOnly) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"/v", "0"}, {"/V", "prog.src"}}) {
    auto r = RunTarnExe(args);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(r.output, kBanner);
  }
}

TEST(TarnProgram, MissingSource) {
  TempFolder dir;
  auto r = RunTarnExe({"nope"}, dir.path().string());
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.output.find("\nCannot open Source file: <nope.asm>"), std::string::npos);
  EXPECT_EQ(r.output.find("Error 60"), std::string::npos);
}

TEST(TarnProgram, MissingSourceInTheIdeModeReachesTheErrorFile) {
  TempFolder dir;
  auto r = RunTarnExe({"/E", "KESTRIAN", "nope.src"}, dir.path().string());
  EXPECT_EQ(r.exit_code, 1);
  const std::string line = "nope.src(0) Line 0, Error 60, Pass 1: Couldn't open file: nope.src\n";
  EXPECT_NE(r.output.find("\nCannot open Source file: <nope.src>" + line), std::string::npos)
      << r.output;
  EXPECT_EQ(ReadFile(dir / "nope.err"), line);
}

// A source that draws none of the end-of-pass-1 warnings in the IDE's mode, nor warning 69.
constexpr const char* kQuietIdeSource =
    "\tDEVICE QV18AC, OSCHS2\n\tFREQ 4000000\n\tIRC_CAL irc_slow\n\tEND\n";

TEST(TarnProgram, SourceInAnotherFolderIsFoundAndItsOutputsStayBesideIt) {
  TempFolder dir;
  tarn_test::fs::create_directory(dir / "sub");
  WriteFile(dir / "sub/p.asm", kQuietIdeSource);
  auto r = RunTarnExe({"/E", "KESTRIAN", "sub/p"}, dir.path().string());
  EXPECT_EQ(r.exit_code, 0) << r.output;
  EXPECT_NE(r.output.find("CWD = " + (dir / "sub") + "\n"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("\nNo errors detected by the assembler.\nPress any key to close...\n"),
            std::string::npos);
  EXPECT_FALSE(exists(dir / "sub/sub"));
}

TEST(TarnProgram, ListingNoneLeavesNoListingMapOrSymbols) {
  TempFolder dir;
  WriteFile(dir / "p.asm", "\tDEVICE QV18AC\n\tFREQ 4000000\n\tEND\n");
  for (const char* ext : {".lst", ".map", ".sym"}) WriteFile(dir / (std::string("p") + ext), "old");
  auto r = RunTarnExe({"/L", "NONE", "/X", "1", "p.asm"}, dir.path().string());
  EXPECT_EQ(r.exit_code, 0) << r.output;
  for (const char* ext : {".lst", ".map", ".sym", ".err"}) {
    EXPECT_FALSE(exists(dir / (std::string("p") + ext))) << ext;
  }
}

TEST(TarnProgram, IdeModeOutputFolderBesideTheProgram) {
  TempFolder tool;
  TempFolder src;
  tarn_test::fs::copy_file(TARN_EXE, tool / "TARN.dll");
  WriteFile(src / "p.asm", kQuietIdeSource);
  TempFolder elsewhere;
  auto r = RunTarnExe({"/F", "BIN16", "/E", "KESTRIAN", "/O", "USE_OUTPUT_DIR", src / "p.asm"},
                      elsewhere.path().string(), tool / "TARN.dll");
  EXPECT_EQ(r.exit_code, 0) << r.output;
  for (const char* ext : {".obj", ".lst", ".sym", ".map"}) {
    EXPECT_TRUE(exists(tool / (std::string("TARN Output/p") + ext))) << ext;
  }
  for (const char* ext : {".obj", ".lst", ".sym", ".map", ".err"}) {
    EXPECT_FALSE(exists(src / (std::string("p") + ext))) << ext;
    EXPECT_FALSE(exists(elsewhere / (std::string("p") + ext))) << ext;
  }
}

TEST(TarnProgram, ResetOverAWordInUseIsAnOverwrite) {
  TempFolder dir;
  WriteFile(dir / "r.asm",
            "\tDEVICE\tQV18AC\n\tFREQ\t4_000_000\n\tORG\t$7FF\n\tNOP\n\tRESET\tstart\n"
            "\tORG\t0\nstart\tNOP\n\tEND\n");
  auto r = RunTarnExe({"/X", "1", "r.asm"}, dir.path().string());
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.output.find(
                "r.asm(5) Line 5, Error 30, Pass 2: Overwriting same program counter location\n"),
            std::string::npos)
      << r.output;
}

// After errors no object is written and none of an earlier run survives; the closing line
// says that the error file is there to read.
TEST(TarnProgram, ErrorsLeaveOnlyTheErrorFile) {
  TempFolder dir;
  WriteFile(dir / "p.asm", "\tDEVICE QV18AC\n\tFREQ 4000000\n\tJMP nowhere\n\tEND\n");
  for (const char* ext : {".map", ".bin", ".hex", ".qve", ".obj", ".hxl", ".hxh"}) {
    WriteFile(dir / (std::string("p") + ext), "old");
  }
  auto r = RunTarnExe({"/X", "1", "p.asm"}, dir.path().string());
  EXPECT_EQ(r.exit_code, 1) << r.output;
  EXPECT_NE(r.output.find("p.asm(3) Line 3, Error 3, Pass 2: Symbol <nowhere> is not defined\n"),
            std::string::npos)
      << r.output;
  EXPECT_NE(r.output.find("\n4 lines compiled in "), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("\n   0 warnings\n   1 severe errors\n\nOnly .ERR file was generated.\n"),
            std::string::npos)
      << r.output;
  EXPECT_EQ(ReadFile(dir / "p.err"),
            "p.asm(3) Line 3, Error 3, Pass 2: Symbol <nowhere> is not defined\n");
  for (const char* ext : {".map", ".bin", ".hex", ".qve", ".obj", ".hxl", ".hxh"}) {
    EXPECT_FALSE(exists(dir / (std::string("p") + ext))) << ext;
  }
  EXPECT_TRUE(exists(dir / "p.lst"));
}

// An error file that cannot be created fails the run at once: nothing would be assembled, and
// the run must not end "No errors detected".
TEST(TarnProgram, ErrorFileThatCannotBeCreatedFailsTheRun) {
  for (bool kestrian : {false, true}) {
    TempFolder dir;
    WriteFile(dir / "p.asm", "\tDEVICE QV18AC\n\tFREQ 4000000\n\tNOP\n\tEND\n");
    WriteFile(dir / "p.hex", "old");
    tarn_test::fs::create_directory(dir / "p.err");
    std::vector<std::string> args = {"/X", "1", "p.asm"};
    if (kestrian) args.insert(args.begin(), {"/E", "KESTRIAN"});
    auto r = RunTarnExe(args, dir.path().string());
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(r.output.find("\nCannot create error file '" + (dir / "p.err") + "'"),
              std::string::npos)
        << r.output;
    EXPECT_EQ(r.output.find("No errors detected"), std::string::npos) << r.output;
    EXPECT_EQ(r.output.find("lines compiled"), std::string::npos) << r.output;
    EXPECT_FALSE(exists(dir / "p.hex"));
    EXPECT_FALSE(exists(dir / "p.lst"));
  }
}

// An output file that opens but cannot be written whole (a link to a full device) fails the
// run as one that cannot be created, and the incomplete file is removed.
TEST(TarnProgram, OutputFilesOnAFullDevice) {
  struct Case {
    const char* full;
    const char* format;
    int ide_exit;
    const char* message;
  };
  const Case cases[] = {
      {"p.lst", "INHX8M", 6, "\nCannot create program listing file"},
      {"p.map", "INHX8M", 3, "\nCannot create map file"},
      {"p.sym", "INHX8M", 5, "\nCannot create symbol file"},
      {"p.hex", "INHX8M", 4,
       "\nCannot create Intel 8-bit merged hex file\nCannot open object file"},
      {"p.obj", "BIN16", 4, "\nCannot create object file\nCannot open object file"},
      {"p.qve", "IEEE695", 4, "\nCannot open IEEE-695 object file: "},
  };
  if (!exists(tarn_test::fs::path("/dev/full"))) GTEST_SKIP() << "no /dev/full";
  for (const Case& c : cases) {
    for (bool ide : {true, false}) {
      TempFolder dir;
      WriteFile(dir / "p.asm", "\tDEVICE QV18AC\n\tFREQ 4000000\n\tNOP\n\tEND\n");
      tarn_test::fs::create_symlink("/dev/full", dir / c.full);
      std::vector<std::string> args = {"/X", "1", "/F", c.format, "p.asm"};
      if (ide) args.insert(args.begin(), {"/E", "KESTRIAN"});
      auto r = RunTarnExe(args, dir.path().string());
      EXPECT_EQ(r.exit_code, ide ? c.ide_exit : 1) << c.full << "\n" << r.output;
      EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
      EXPECT_FALSE(tarn_test::fs::is_symlink(dir / c.full)) << c.full;
      EXPECT_FALSE(exists(dir / c.full)) << c.full;
    }
  }
}

// Counts and line numbers shown as text go past 65,535; only the map's records keep 16 bits.
TEST(TarnProgram, LongSourceCountsPastSixteenBits) {
  TempFolder dir;
  std::string text = "\tDEVICE QV18AC\n\tFREQ 4000000\n";
  for (int line = 3; line <= 69997; ++line) text += "; filler\n";
  text += "late\tEQU 5\n\tJMP nowhere\n\tEND\n";  // lines 69998 to 70000
  WriteFile(dir / "p.asm", text);
  auto r = RunTarnExe({"/X", "1", "p.asm"}, dir.path().string());
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(
      r.output.find("p.asm(69999) Line 69999, Error 3, Pass 2: Symbol <nowhere> is not defined\n"),
      std::string::npos)
      << r.output.substr(0, 2000);
  EXPECT_NE(r.output.find("\n70000 lines compiled in "), std::string::npos)
      << r.output.substr(0, 2000);
  EXPECT_NE(ReadFile(dir / "p.lst").find("\n 69998  =00000005       late    EQU 5\n"),
            std::string::npos);
}

// A folder standing where an output file must go.
TEST(TarnProgram, OutputFilesThatCannotBeCreated) {
  struct Case {
    const char* blocked;
    int ide_exit;
    const char* message;
  };
  const Case cases[] = {
      {"p.lst", 6, "\nCannot create program listing file"},
      {"p.map", 3, "\nCannot create map file"},
      {"p.sym", 5, "\nCannot create symbol file"},
      {"p.hex", 4, "\nCannot open object file"},
      {"p.obj", 4, "\nCannot open object file"},
  };
  for (const Case& c : cases) {
    for (bool ide : {true, false}) {
      TempFolder dir;
      WriteFile(dir / "p.asm", "\tEND\n");
      tarn_test::fs::create_directory(dir / c.blocked);
      std::vector<std::string> args = {"/F", std::string(c.blocked) == "p.obj" ? "BIN16" : "INHX8M",
                                       "p.asm"};
      if (ide) args.insert(args.begin(), {"/E", "KESTRIAN"});
      auto r = RunTarnExe(args, dir.path().string());
      EXPECT_EQ(r.exit_code, ide ? c.ide_exit : 1) << c.blocked;
      EXPECT_NE(r.output.find(c.message), std::string::npos) << r.output;
    }
  }
}

TEST(TarnProgram, FormatsWithoutAWriterFail) {
  for (const char* format : {"INHX32"}) {
    TempFolder dir;
    WriteFile(dir / "p.asm", "\tEND\n");
    auto ide = RunTarnExe({"/F", format, "/E", "KESTRIAN", "p.asm"}, dir.path().string());
    EXPECT_EQ(ide.exit_code, 4) << format;
    EXPECT_NE(ide.output.find("\nCannot open object file"), std::string::npos);
    EXPECT_EQ(RunTarnExe({"/F", format, "p.asm"}, dir.path().string()).exit_code, 1) << format;
  }
}

}  // namespace

#include <sstream>

#include "assembler/driver.h"

namespace {

size_t OpenFileCount() {
  size_t n = 0;
  for ([[maybe_unused]] const auto& entry : tarn_test::fs::directory_iterator("/proc/self/fd")) ++n;
  return n;
}

// Pass 1 stops at the redefinition before it can miss END; pass 2 then ends the run at the end
// of the source with its listing and map open.
TEST(TarnRunInProcess, ARunEndedInsidePassTwoLeavesNoFileOpen) {
  TempFolder dir;
  WriteFile(dir / "p.asm", "x\tEQU\t1\nx\tEQU\t2\n\tNOP\n");
  size_t before = OpenFileCount();
  std::ostringstream console;
  EXPECT_EQ(tarn::RunTarn({"tarn", dir / "p.asm"}, console), 1);
  EXPECT_NE(console.str().find("Error 32, Pass 2"), std::string::npos) << console.str();
  EXPECT_EQ(OpenFileCount(), before);
}

}  // namespace

namespace tarn {
namespace {

// A SPAC count far past a page is held with a warning; SPAC repeated by REPT stops the run at
// the budget of lines rather than writing without end.
TEST(TarnProgram, SpacWritesABoundedNumberOfBlankLines) {
  TempFolder dir;
  WriteFile(dir / "p.asm", "\tDEVICE QV18AC\n\tFREQ 4000000\n\tSPAC 99999999\n\tEND\n");
  auto r = RunTarnExe({"/X", "1", "p.asm"}, dir.path().string());
  EXPECT_EQ(r.exit_code, 2) << r.output;
  EXPECT_NE(r.output.find("p.asm(3) Line 3, Warning 24, Pass 2: Value is out of range"),
            std::string::npos)
      << r.output;
  const std::string listing = ReadFile(dir / "p.lst");
  const std::string blanks = "SPAC 99999999\n" + std::string(1000, '\n');
  EXPECT_NE(listing.find(blanks), std::string::npos);
  EXPECT_EQ(listing.find(blanks + "\n"), std::string::npos);

  WriteFile(dir / "q.asm",
            "\tDEVICE QV18AC\n\tFREQ 4000000\n\tREPT 100\n\tREPT 50\n\tSPAC "
            "1000\n\tENDR\n\tENDR\n\tEND\n");
  r = RunTarnExe({"/X", "1", "q.asm"}, dir.path().string());
  EXPECT_EQ(r.exit_code, 1) << r.output.substr(0, 2000);
  EXPECT_NE(r.output.find("Assembly stopped after 4194304 blank listing lines"), std::string::npos)
      << r.output.substr(0, 2000);
}

}  // namespace
}  // namespace tarn
