#include "build_debug/tools/basic_bridge.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "build_debug/tools/tool_install.h"
#include "services/options.h"
#include "tests/build_debug/tools/bridges/bridge_fixture.h"
#include "tests/build_debug/tools/bridges/carried_resources.h"

namespace build_debug {
namespace {

namespace fs = std::filesystem;

// How the stand-in compiler behaves. For "/v" it prints version_line (nothing when empty) and
// ends with version_exit. A compile records its argument count and arguments in args.txt in
// its working folder, writes src and err (when not empty) as <output folder><name>.SRC and
// .err, and ends with exit_code.
struct CompilerStandIn {
  std::string version_line = "15103";
  int version_exit = 0;
  int exit_code = 0;
  std::string src;
  std::string err;
  std::string compile_first;  // shell lines a compile runs before anything else
  std::string src_extension = ".SRC";
  std::string err_extension = ".err";
};

std::string Script(const CompilerStandIn& c) {
  std::string s = "#!/bin/sh\nif [ \"$1\" = /v ]; then\n";
  if (!c.version_line.empty()) s += "  printf '%s\\n' " + ShellQuoted(c.version_line) + "\n";
  s += "  exit " + std::to_string(c.version_exit) + "\nfi\n";
  s += c.compile_first;
  s += "printf '%s\\n' \"$#\" \"$@\" > args.txt\n"
       "src=\"$1\"; out=\"${src%/*}/\"\n"
       "if [ \"$2\" = /O ]; then out=\"$3\"; fi\n"
       "name=\"${src##*/}\"; base=\"$out${name%.*}\"\n";
  if (!c.src.empty())
    s += "printf '%s' " + ShellQuoted(c.src) + " > \"$base" + c.src_extension + "\"\n";
  if (!c.err.empty())
    s += "printf '%s' " + ShellQuoted(c.err) + " > \"$base" + c.err_extension + "\"\n";
  return s + "exit " + std::to_string(c.exit_code) + "\n";
}

// The compiler and its files as the IDE carries them in these tests.
constexpr char kInvalidList[] = "GOTO\r\nGOSUB\r\n";
constexpr char kReservedList[] = "DIM\r\nFOR\r\nNEXT\r\n";
constexpr char kHelp[] = "carried help";

std::vector<std::pair<std::string, std::string>> CarriedCompiler(const std::string& version) {
  CompilerStandIn carried;
  carried.version_line = version;
  return {{"exe/QVB", Script(carried)},
          {"txt/QVB_Invalid.txt", kInvalidList},
          {"txt/QVB_Reserved.txt", kReservedList},
          {"chm/QVB.chm", kHelp}};
}

// A program the assembler takes without a message.
constexpr char kGoodProgram[] =
    "        DEVICE  QV18AC, OSCRC\n"
    "        FREQ    4_000_000\n"
    "        ORG     0\n"
    "start   JMP     start\n"
    "        RESET   start\n"
    "        END\n";
// The same with a jump to a label that does not exist.
constexpr char kBadProgram[] =
    "        DEVICE  QV18AC, OSCRC\n"
    "        FREQ    4_000_000\n"
    "        ORG     0\n"
    "start   JMP     nowhere\n"
    "        RESET   start\n"
    "        END\n";

class BasicBridge : public BridgeTest {
 protected:
  std::string Folder() const { return Exe() + "Compilers/QVB/"; }
  std::string Program() const { return Folder() + "QVB.exe"; }
  std::string OutputFiles() const { return Folder() + "Output Files/"; }

  void PlaceCompiler(const CompilerStandIn& c) {
    fs::create_directories(Folder());
    WriteWholeFile(Program(), Script(c), true);
  }
  // The bridge knows its program folder, with nothing carried and no boxes left over.
  void Started() {
    static_cast<void>(basic_.QvBasicInit(Exe()));
    TakeBoxes();
  }
  // The arguments the compiler was given.
  std::vector<std::string> Arguments() const {
    std::optional<std::string> text = ReadWholeFile(Folder() + "args.txt");
    if (!text) return {};
    std::vector<std::string> lines = workbench::SplitLines(*text);
    EXPECT_EQ(lines.at(0), std::to_string(lines.size() - 1));  // the count the compiler saw
    lines.erase(lines.begin());
    return lines;
  }
  // A BASIC source in a folder of its own, the name holding a blank.
  std::string Source() {
    fs::create_directories(Exe() + "my project");
    std::string source = Exe() + "my project/blink it.qvb";
    WriteWholeFile(source, "PRINT 1\n");
    return source;
  }

  workbench::IdeOptions options_;
  QvBasicUnit basic_{strings_, runner_, options_};
};

// --- version answers ---

TEST_F(BasicBridge, VersionComesFromTheFirstLinePrintedElseTheExitCode) {
  struct Case {
    std::string line;
    int exit_code;
    bool ok;
    bool debug;
    int version;
    std::string text;
  };
  const Case cases[] = {
      {"15103", 0, true, false, 15103, "1.51.03"},
      {"9000", 0, true, false, 9000, "0.90"},    // the smallest release build
      {"20800", 0, true, false, 20800, "2.08"},  // no third part when it is 0
      {"-15103", 0, true, true, 15103, "1.51.03 DBG"},
      {"-9000", 0, true, true, 9000, "0.90 DBG"},
      {" 15200 \r", 0, true, false, 15200, "1.52"},
      {"2147483647", 0, true, false, 2147483647, "214748.36.47"},
      // Nothing printed, or no number: the exit code, which holds 8 bits and so never a version.
      {"", 0, false, false, 0, "unknown"},
      {"", 8, false, false, 0, "unknown"},
      {"version 2", 0, false, false, 0, "unknown"},
      {"garbage", 8, false, false, 0, "unknown"},
      // Numbers too small for a version, and ones whose negation or value overflows.
      {"8", 0, false, false, 0, "unknown"},
      {"-8", 0, false, false, 0, "unknown"},
      {"8999", 0, false, false, 0, "unknown"},
      {"-2147483648", 0, false, false, 0, "unknown"},
      {"99999999999999999999", 0, false, false, 0, "unknown"},
      {"-" + std::string(300, '9'), 0, false, false, 0, "unknown"},
  };
  Started();
  for (const Case& c : cases) {
    CompilerStandIn compiler;
    compiler.version_line = c.line;
    compiler.version_exit = c.exit_code;
    PlaceCompiler(compiler);
    bool debug = !c.debug;
    int version = -1;
    EXPECT_EQ(basic_.QvBasicVersion(debug, version), c.ok) << "answer " << c.line;
    if (c.ok) {
      EXPECT_EQ(debug, c.debug) << "answer " << c.line;
      EXPECT_EQ(version, c.version) << "answer " << c.line;
    }
    EXPECT_EQ(basic_.QvBasicVersionText(), c.text) << "answer " << c.line;
  }
  EXPECT_TRUE(TakeBoxes().empty());
}

// A compiler that answers "/v" with no version is not taken for a debug build: it gives no
// version, so the install leaves it alone and writes nothing.
TEST_F(BasicBridge, CompilerThatAnswersNoVersionIsNotReplaced) {
  CarriedResources carried(CarriedCompiler("15103"));
  CompilerStandIn compiler;
  compiler.version_line = "";
  compiler.version_exit = 7;
  PlaceCompiler(compiler);
  const std::optional<std::string> on_disk = ReadWholeFile(Program());
  EXPECT_FALSE(basic_.QvBasicInit(Exe()));
  EXPECT_TRUE(TakeBoxes().empty());
  EXPECT_EQ(ReadWholeFile(Program()), on_disk);
}

TEST_F(BasicBridge, NoVersionWithoutAProgramThatRuns) {
  Started();
  bool debug = false;
  int version = 0;
  EXPECT_FALSE(basic_.QvBasicVersion(debug, version));
  EXPECT_EQ(basic_.QvBasicVersionText(), "");
  EXPECT_EQ(TakeBoxes()[0], (Box{"Couldn't start QVB.exe", "QVB.exe start up ERROR"}));
}

// --- install ---

TEST_F(BasicBridge, MissingCompilerIsInstalledWithItsListsAndDatedHelp) {
  CarriedResources carried(CarriedCompiler("15103"));
  EXPECT_TRUE(basic_.QvBasicInit(Exe()));
  EXPECT_EQ(
      TakeBoxes(),
      (std::vector<Box>{{Shown("QV/B compiler is not on disk.^Version 1.51.03 will be installed."),
                         "QV/B Compiler Update"},
                        {Shown("QV/B Help File is not on disk.^^The help file created on "
                               "2005-10-17 01:42:02 will be installed."),
                         "QV/B Help File Update"}}));
  EXPECT_TRUE(FolderExists(OutputFiles()));
  EXPECT_EQ(ReadWholeFile(Folder() + "INVALID.TXT"), kInvalidList);
  EXPECT_EQ(ReadWholeFile(Folder() + "RESERVED.TXT"), kReservedList);
  EXPECT_EQ(ReadWholeFile(Folder() + "QVB.chm"), kHelp);
  EXPECT_EQ(FileDate(Folder() + "QVB.chm"), LocalTimeFromDays(QvBasicUnit::kHelpDate));
  // The keyword list is the file just written, by its exact name.
  EXPECT_EQ(basic_.QvBasicReservedFile(), Folder() + "RESERVED.TXT");
  EXPECT_EQ(basic_.QvBasicVersionText(), "1.51.03");
}

TEST_F(BasicBridge, OlderCompilerIsReplacedOnlyWhenTheUserAgrees) {
  Started();
  for (int answer : {platform::kAnswerYes, platform::kAnswerNo}) {
    CarriedResources carried(CarriedCompiler("15103"));
    CompilerStandIn old;
    old.version_line = "14000";
    PlaceCompiler(old);
    WriteWholeFile(Folder() + "INVALID.TXT", "old list");
    fs::remove(Folder() + "RESERVED.TXT");
    boxes_.Answer(answer);
    EXPECT_TRUE(basic_.QvBasicInstall());
    EXPECT_EQ(TakeBoxes(), (std::vector<Box>{{Shown("QV/B compiler on disk is version 1.40^"
                                                    "Update to version 1.51.03? (Recommended)"),
                                              "QV/B Compiler Update"}}));
    bool agreed = answer == platform::kAnswerYes;
    EXPECT_EQ(basic_.QvBasicVersionText(), agreed ? "1.51.03" : "1.40");
    // A new compiler brings its lists; an old one keeps them, but a missing one is written.
    EXPECT_EQ(ReadWholeFile(Folder() + "INVALID.TXT"),
              std::string(agreed ? kInvalidList : "old list"));
    EXPECT_EQ(ReadWholeFile(Folder() + "RESERVED.TXT"), kReservedList);
  }
}

TEST_F(BasicBridge, CurrentOrNewerCompilerIsLeftAlone) {
  Started();
  for (const char* version : {"15103", "20000", "-15103"}) {
    CarriedResources carried(CarriedCompiler("15103"));
    CompilerStandIn on_disk;
    on_disk.version_line = version;
    PlaceCompiler(on_disk);
    WriteWholeFile(Folder() + "INVALID.TXT", "user's list");
    EXPECT_TRUE(basic_.QvBasicInstall()) << version;
    EXPECT_TRUE(TakeBoxes().empty()) << version;
    EXPECT_EQ(ReadWholeFile(Program()), Script(on_disk)) << version;
    EXPECT_EQ(ReadWholeFile(Folder() + "INVALID.TXT"), "user's list") << version;
  }
}

TEST_F(BasicBridge, CompilerWithoutAReadableVersionFailsTheInstallAndWritesNothing) {
  CarriedResources carried(CarriedCompiler("15103"));
  fs::create_directories(Folder());
  WriteWholeFile(Program(), "not a program", false);
  EXPECT_FALSE(basic_.QvBasicInit(Exe()));
  EXPECT_EQ(TakeBoxes(), (std::vector<Box>{{"Couldn't start QVB.exe", "QVB.exe start up ERROR"}}));
  EXPECT_EQ(ReadWholeFile(Program()), "not a program");
  EXPECT_FALSE(FileExists(Folder() + "RESERVED.TXT"));
  EXPECT_FALSE(FileExists(Folder() + "QVB.chm"));
}

// Nothing carried (as shipped): nothing to install, so the start-up asks and says nothing and
// makes no folder; a compile says where the compiler would go.
TEST_F(BasicBridge, WithNothingCarriedTheStartIsQuietAndACompileSaysWhereToPutTheCompiler) {
  CarriedResources nothing({});
  EXPECT_FALSE(basic_.QvBasicInit(Exe()));
  EXPECT_EQ(TakeBoxes(), std::vector<Box>{});
  EXPECT_FALSE(FolderExists(Exe() + "Compilers"));
  EXPECT_FALSE(basic_.QvBasicInstalled());
  std::string message = "before";
  EXPECT_EQ(basic_.QvBasicCompile(Source(), message), kQvbNotOnDisk);
  EXPECT_EQ(TakeBoxes(),
            (std::vector<Box>{{Shown("The QV/B compiler is not installed.^To compile QV/B sources, "
                                     "put QVB.exe with INVALID.TXT and RESERVED.TXT into^^" +
                                     Folder()),
                               "QV/B Compiler Not Installed"}}));
  EXPECT_EQ(message, "before");
  EXPECT_EQ(basic_.LastSource(), "");
  EXPECT_EQ(basic_.QvBasicHelpToOpen(), std::nullopt);
  EXPECT_EQ(TakeBoxes(),
            (std::vector<Box>{{Shown("The QV/B help file is not installed.^To read it, put QVB.chm "
                                     "into^^" +
                                     Folder()),
                               "QV/B Help"}}));
}

// A compiler put there by hand, of any version, is used as it is: nothing is offered or
// written, and its help opens when it is there.
TEST_F(BasicBridge, WithNothingCarriedACompilerPutThereByHandIsUsedAsItIs) {
  CarriedResources nothing({});
  CompilerStandIn old;
  old.version_line = "14000";
  old.src = kGoodProgram;
  PlaceCompiler(old);
  WriteWholeFile(Folder() + "QVB.chm", "user's help");
  EXPECT_TRUE(basic_.QvBasicInit(Exe()));
  EXPECT_EQ(TakeBoxes(), std::vector<Box>{});
  EXPECT_TRUE(basic_.QvBasicInstalled());
  EXPECT_EQ(ReadWholeFile(Program()), Script(old));
  EXPECT_FALSE(FileExists(Folder() + "RESERVED.TXT"));
  EXPECT_EQ(basic_.QvBasicHelpToOpen(), Folder() + "QVB.chm");
  std::string message;
  options_.QvBasicOutputFiles = true;
  EXPECT_EQ(basic_.QvBasicCompile(Source(), message), kQvbOk);
  EXPECT_TRUE(FileExists(OutputFiles() + "blink it.SRC"));
  EXPECT_EQ(TakeBoxes(), std::vector<Box>{});
}

TEST_F(BasicBridge, FolderThatCannotBeCreatedStopsTheInstall) {
  CarriedResources carried(CarriedCompiler("15103"));
  WriteWholeFile(Exe() + "Compilers", "a file where the folder should be");
  EXPECT_FALSE(basic_.QvBasicInit(Exe()));
  EXPECT_EQ(TakeBoxes(),
            (std::vector<Box>{{Shown("Unable to create QV/B compiler and output directories^^" +
                                     Folder() + "^" + Folder() + "Output Files\\"),
                               "Error creating directory"}}));
}

TEST_F(BasicBridge, HelpFileIsOfferedOnlyWhenOlderThanItsReleaseDate) {
  CarriedResources carried(CarriedCompiler("15103"));
  PlaceCompiler({});
  static_cast<void>(basic_.QvBasicInit(Exe()));
  TakeBoxes();
  const std::string help = Folder() + "QVB.chm";
  const std::time_t release = LocalTimeFromDays(QvBasicUnit::kHelpDate);

  WriteWholeFile(help, "user's help");
  ASSERT_TRUE(SetFileDate(help, release));
  EXPECT_TRUE(basic_.QvBasicHelpInstall());
  EXPECT_TRUE(TakeBoxes().empty());

  for (int answer : {platform::kAnswerNo, platform::kAnswerYes}) {
    WriteWholeFile(help, "user's help");
    ASSERT_TRUE(SetFileDate(help, release - 2));
    boxes_.Answer(answer);
    EXPECT_TRUE(basic_.QvBasicHelpInstall());
    EXPECT_EQ(
        TakeBoxes(),
        (std::vector<Box>{{Shown("QV/B help file on disk was created " + DateTimeText(release - 2) +
                                 "^^Update to version created "
                                 "2005-10-17 01:42:02? (Recommended)"),
                           "QV/B Compiler Update"}}));
    bool agreed = answer == platform::kAnswerYes;
    EXPECT_EQ(ReadWholeFile(help), std::string(agreed ? kHelp : "user's help"));
    EXPECT_EQ(FileDate(help), agreed ? release : release - 2);
  }
}

TEST_F(BasicBridge, ReleaseDateOfTheHelpFile) {
  std::time_t when = LocalTimeFromDays(QvBasicUnit::kHelpDate);
  std::tm fields{};
  ASSERT_TRUE(::localtime_r(&when, &fields));
  EXPECT_EQ(fields.tm_year + 1900, 2005);
  EXPECT_EQ(fields.tm_mon + 1, 10);
  EXPECT_EQ(fields.tm_mday, 17);
  EXPECT_EQ(fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec, 1 * 3600 + 42 * 60 + 2);
}

TEST_F(BasicBridge, OldLayoutIsRemovedWhenTheUserAgrees) {
  Started();
  const std::string old = Exe() + "Compilers/QvBasic/";
  struct Case {
    bool program;
    bool outputs;
    int answer;
    std::string text;
  };
  const Case cases[] = {
      {true, true, platform::kAnswerYes,
       "Found pre .930 QVBasic compiler\rFound pre .930 \"Output Files\" directory\r\r"
       "These items will be removed"},
      {true, false, platform::kAnswerNo,
       "Found pre .930 QVBasic compiler\r\rThis item will be removed"},
      {false, true, platform::kAnswerYes,
       "Found pre .930 \"Output Files\" directory\r\rThis item will be removed"},
  };
  for (const Case& c : cases) {
    fs::create_directories(old);
    if (c.program) WriteWholeFile(old + "QVBasic.exe", "old");
    WriteWholeFile(old + "RESERVED.TXT", "old");
    if (c.outputs) {
      fs::create_directories(old + "Output Files");
      WriteWholeFile(old + "Output Files/x.SRC", "old");
    }
    boxes_.Answer(c.answer);
    basic_.RemoveOldQvBasic();
    std::vector<Box> shown = TakeBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], (Box{c.text, "Remove Old QVBasic Compiler"}));
    EXPECT_EQ(fs::exists(old), c.answer != platform::kAnswerYes) << c.text;
    fs::remove_all(old);
  }
  basic_.RemoveOldQvBasic();  // nothing there: no question
  EXPECT_TRUE(TakeBoxes().empty());
}

// --- compile ---

TEST_F(BasicBridge, EachExitCodeGivesItsMessage) {
  const std::pair<int, const char*> expected[] = {
      {0, nullptr},
      {1, nullptr},
      {2, nullptr},
      {3, "Unable to create .ERR File In Output Directory"},
      {4, "Unable to create .SRC File In Output Directory"},
      {5, "No QVB source filename specified"},
      {6, "Unable to open INVALID.TXT In QVB directory"},
      {7, "Unable to read source file"},
      {8, "Invalid source file directory"},
      {9, "Problem trying to run QVB"},
      {10, "Unable to find QVB on disk"},
      {11, nullptr},
  };
  Started();
  std::string source = Source();
  for (const auto& [code, text] : expected) {
    CompilerStandIn compiler;
    compiler.exit_code = code;
    PlaceCompiler(compiler);
    TakeBoxes();
    std::string message = "before";
    EXPECT_EQ(basic_.QvBasicCompile(source, message), code);
    EXPECT_EQ(message, text ? text : "before") << "exit code " << code;
    EXPECT_TRUE(TakeBoxes().empty()) << "exit code " << code;
    EXPECT_EQ(basic_.LastSource(), source);
    EXPECT_EQ(basic_.QvBasicOutputBase(),
              OutputFiles() + (code <= 1 ? "blink it.SRC" : "blink it.qvb"))
        << "exit code " << code;
  }
}

TEST_F(BasicBridge, OutputFolderSettingChoosesWhereTheCompilerWrites) {
  Started();
  std::string source = Source();
  CompilerStandIn compiler;
  compiler.src = kGoodProgram;
  PlaceCompiler(compiler);
  std::string message;

  options_.QvBasicOutputFiles = true;
  ASSERT_EQ(basic_.QvBasicCompile(source, message), kQvbOk);
  EXPECT_EQ(Arguments(), (std::vector<std::string>{source, "/O", OutputFiles()}));
  EXPECT_EQ(basic_.QvBasicOutputDir(), OutputFiles());
  EXPECT_EQ(basic_.QvBasicOutputBase(), OutputFiles() + "blink it.SRC");
  EXPECT_TRUE(FileExists(basic_.QvBasicOutputBase()));

  options_.QvBasicOutputFiles = false;
  ASSERT_EQ(basic_.QvBasicCompile(source, message), kQvbOk);
  EXPECT_EQ(Arguments(), (std::vector<std::string>{source}));
  EXPECT_EQ(basic_.QvBasicOutputDir(), Exe() + "my project/");
  EXPECT_EQ(basic_.QvBasicOutputBase(), Exe() + "my project/blink it.SRC");
  EXPECT_TRUE(FileExists(basic_.QvBasicOutputBase()));
}

TEST_F(BasicBridge, SourceNameWithQuotesReachesTheCompilerWhole) {
  Started();
  options_.QvBasicOutputFiles = false;
  PlaceCompiler({});
  std::string source = Exe() + "say \"hi\" \\.qvb";
  WriteWholeFile(source, "PRINT 1\n");
  std::string message;
  ASSERT_EQ(basic_.QvBasicCompile(source, message), kQvbOk);
  EXPECT_EQ(Arguments(), (std::vector<std::string>{source}));
}

TEST_F(BasicBridge, CompilerThatCannotStartGivesCode9AndForgetsTheSource) {
  Started();
  fs::create_directories(Folder());
  WriteWholeFile(Program(), "not a program", false);
  std::string message = "before";
  EXPECT_EQ(basic_.QvBasicCompile(Source(), message), kQvbCannotRun);
  EXPECT_EQ(message, "before");
  EXPECT_EQ(basic_.LastSource(), "");
  EXPECT_EQ(TakeBoxes(), (std::vector<Box>{{"Couldn't start QVB.exe", "QVB.exe start up ERROR"}}));
}

// Whether a process still runs (a zombie no longer does).
bool Runs(int pid) {
  std::optional<std::string> stat = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
  if (!stat) return false;
  std::size_t state = stat->rfind(')');
  return state != std::string::npos && state + 2 < stat->size() && (*stat)[state + 2] != 'Z';
}

// A compiler that never ends is ended after the bound, with what it started; one that a
// signal ends fails the compile too. Each says why, where the build's message goes.
TEST_F(BasicBridge, CompilerThatHangsOrCrashesFailsTheCompileAndSaysWhy) {
  struct Case {
    std::string compile_first;
    std::string message;
  };
  const Case cases[] = {
      {"sleep 1000 & echo $! > helper.pid\nsleep 1000\n",
       "The QV/B compiler did not finish within 1 second and was stopped."},
      // One that ignores the polite request to stop.
      {"trap '' TERM\nsleep 1000 & echo $! > helper.pid\nwhile :; do sleep 1; done\n",
       "The QV/B compiler did not finish within 1 second and was stopped."},
      {"kill -SEGV $$\n", "The QV/B compiler was ended by signal 11 (Segmentation fault)."},
      {"kill -ABRT $$\n", "The QV/B compiler was ended by signal 6 (Aborted)."},
  };
  QvBasicTimeouts bounds;
  bounds.compile = std::chrono::seconds(1);
  QvBasicUnit basic{strings_, runner_, options_, bounds};
  static_cast<void>(basic.QvBasicInit(Exe()));
  for (const Case& c : cases) {
    CompilerStandIn compiler;
    compiler.compile_first = c.compile_first;
    PlaceCompiler(compiler);
    TakeBoxes();
    fs::remove(Folder() + "helper.pid");
    std::string message;
    EXPECT_EQ(basic.QvBasicCompile(Source(), message), kQvbCannotRun) << c.compile_first;
    EXPECT_EQ(message, c.message);
    EXPECT_TRUE(TakeBoxes().empty());
    if (std::optional<std::string> helper = ReadWholeFile(Folder() + "helper.pid")) {
      const int pid = std::stoi(*helper);
      for (int i = 0; i < 200 && Runs(pid); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      EXPECT_FALSE(Runs(pid)) << "what the compiler started is left running";
    }
  }
}

TEST_F(BasicBridge, ClearingTheOutputFolderEmptiesIt) {
  Started();
  fs::create_directories(OutputFiles());
  WriteWholeFile(OutputFiles() + "old.SRC", "x");
  WriteWholeFile(OutputFiles() + "old.err", "x");
  basic_.QvBasicClearOutputDir();
  EXPECT_EQ(basic_.QvBasicOutputDir(), OutputFiles());
  EXPECT_TRUE(fs::is_empty(OutputFiles()));
}

// --- errors ---

TEST_F(BasicBridge, CompilerErrorsSurviveTheAssemblyOfItsOutput) {
  Started();
  options_.QvBasicOutputFiles = false;
  std::string source = Source();
  CompilerStandIn compiler;
  compiler.exit_code = 1;
  compiler.err = "blink it.qvb(3) Warning: unused variable X\r\n";
  compiler.src = kBadProgram;
  PlaceCompiler(compiler);
  std::string message;
  ASSERT_EQ(basic_.QvBasicCompile(source, message), kQvbOkWithNotes);
  const std::vector<std::string> compiler_errors = {"blink it.qvb(3) Warning: unused variable X"};
  EXPECT_EQ(basic_.LoadQvBasicErrors(), compiler_errors);

  // The assembler writes its errors under the same name, beside its source.
  std::uint32_t exit_code = 0;
  std::string output = basic_.QvBasicOutputBase();
  ASSERT_EQ(
      runner_.RunAndWait(TARN_EXE, " /F BIN16 /E KESTRIAN /X 1 \"" + output + "\"", exit_code),
      workbench::kRunStarted);
  EXPECT_EQ(exit_code, 1u);
  std::optional<std::string> assembler_errors = ReadWholeFile(ChangeFileExt(output, ".err"));
  ASSERT_TRUE(assembler_errors);
  EXPECT_NE(assembler_errors->find("Error 3, Pass 2: Symbol <nowhere> is not defined"),
            std::string::npos);
  EXPECT_EQ(basic_.LoadQvBasicErrors(), compiler_errors);

  basic_.ClearQvBasicErrors();
  EXPECT_TRUE(basic_.LoadQvBasicErrors().empty());
  EXPECT_FALSE(FileExists(ChangeFileExt(output, ".err")));
}

TEST_F(BasicBridge, OutputAssemblesWithTarn) {
  Started();
  CompilerStandIn compiler;
  compiler.src = kGoodProgram;
  PlaceCompiler(compiler);
  std::string message;
  ASSERT_EQ(basic_.QvBasicCompile(Source(), message), kQvbOk);
  EXPECT_TRUE(basic_.LoadQvBasicErrors().empty());
  std::uint32_t exit_code = 99;
  ASSERT_EQ(runner_.RunAndWait(TARN_EXE,
                               " /F BIN16 /E KESTRIAN /X 1 \"" + basic_.QvBasicOutputBase() + "\"",
                               exit_code),
            workbench::kRunStarted);
  EXPECT_EQ(exit_code, 0u);
  EXPECT_TRUE(FileExists(ChangeFileExt(basic_.QvBasicOutputBase(), ".obj")));
}

TEST_F(BasicBridge, OutputsAreFoundWhateverTheCaseOfTheirExtensions) {
  Started();
  std::string source = Source();
  CompilerStandIn compiler;
  compiler.exit_code = 1;
  compiler.src = kGoodProgram;
  compiler.err = "a note\r\n";
  compiler.src_extension = ".src";
  compiler.err_extension = ".ERR";
  PlaceCompiler(compiler);
  std::string message;
  ASSERT_EQ(basic_.QvBasicCompile(source, message), kQvbOkWithNotes);
  EXPECT_EQ(basic_.QvBasicOutputBase(), OutputFiles() + "blink it.src");
  EXPECT_EQ(basic_.LoadQvBasicErrors(), std::vector<std::string>{"a note"});

  // The next run and the clearing of the list remove the error file under its own name.
  PlaceCompiler({});
  ASSERT_EQ(basic_.QvBasicCompile(source, message), kQvbOk);
  EXPECT_FALSE(FileExists(OutputFiles() + "blink it.ERR"));
  PlaceCompiler(compiler);
  ASSERT_EQ(basic_.QvBasicCompile(source, message), kQvbOkWithNotes);
  basic_.ClearQvBasicErrors();
  EXPECT_TRUE(basic_.LoadQvBasicErrors().empty());
  EXPECT_FALSE(FileExists(OutputFiles() + "blink it.ERR"));
}

TEST_F(BasicBridge, ErrorsOfAnEarlierCompileAreGoneBeforeTheNextRun) {
  Started();
  std::string source = Source();
  CompilerStandIn failing;
  failing.exit_code = 2;
  failing.err = "first error\n";
  PlaceCompiler(failing);
  std::string message;
  ASSERT_EQ(basic_.QvBasicCompile(source, message), 2);
  EXPECT_EQ(basic_.LoadQvBasicErrors(), std::vector<std::string>{"first error"});

  PlaceCompiler({});  // writes no error file
  ASSERT_EQ(basic_.QvBasicCompile(source, message), kQvbOk);
  EXPECT_TRUE(basic_.LoadQvBasicErrors().empty());
  EXPECT_FALSE(FileExists(OutputFiles() + "blink it.err"));
}

}  // namespace
}  // namespace build_debug
