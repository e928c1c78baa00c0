#include "build_debug/tools/simulator_bridge.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "build_debug/tools/tool_install.h"
#include "tests/build_debug/tools/bridges/bridge_fixture.h"
#include "tests/build_debug/tools/bridges/carried_resources.h"

namespace build_debug {
namespace {

namespace fs = std::filesystem;

constexpr char kCaption[] = "QvSim by Gunnar Quendel - Ver. 2.08.05";
constexpr char kManual[] = "carried manual";

// Waits kept short: every stand-in answers at once or never.
constexpr QvSimTimeouts kShortWaits{500, 2000, 600, 5000, 20};

class SimulatorBridge : public BridgeTest {
 protected:
  ~SimulatorBridge() override {
    // A stand-in still running is ended here: the others have gone and taken their pid file.
    if (std::optional<std::string> pid = ReadWholeFile(Exe() + "standin.pid"))
      ::kill(std::stoi(*pid), SIGKILL);
  }

  std::string Folder() const { return Exe() + "Tools/QVSim/"; }
  std::string Program() const { return Folder() + "QVSim.exe"; }
  std::string LogFile() const { return Exe() + "standin.log"; }

  // The stand-in simulator as a program file: the script hands its settings to the stand-in.
  std::string StandIn(const std::string& version, const std::string& caption = kCaption,
                      bool ignore_close = false, bool ignore_open = false) const {
    std::string s = "#!/bin/sh\nexec " + ShellQuoted(QVSIM_STANDIN);
    if (!version.empty()) s += " --version " + ShellQuoted(version);
    s += " --caption " + ShellQuoted(caption) + " --socket " +
         ShellQuoted(windows_.PathFor(QvSimUnit::kWindowClass)) + " --log " +
         ShellQuoted(LogFile()) + " --pid " + ShellQuoted(Exe() + "standin.pid");
    if (ignore_close) s += " --ignore-close";
    if (ignore_open) s += " --ignore-open";
    return s + " -- \"$@\"\n";
  }
  void PlaceSimulator(const std::string& script) {
    fs::create_directories(Folder());
    WriteWholeFile(Program(), script, true);
  }
  std::vector<std::pair<std::string, std::string>> Carried(const std::string& version) const {
    return {{"exe/QVSIM", StandIn(version)}, {"pdf/QVSIM.pdf", kManual}};
  }
  // The bridge knows its program folder, with the current simulator on disk.
  void Started() {
    PlaceSimulator(StandIn("2.08.0005"));
    EXPECT_TRUE(sim_.QvSimInit(Exe()));
    TakeBoxes();
  }
  std::vector<std::string> Log() const {
    std::optional<std::string> text = ReadWholeFile(LogFile());
    return text ? workbench::SplitLines(*text) : std::vector<std::string>{};
  }
  // A simulator started by the test itself is ready (bounded, so a broken stand-in fails).
  bool AwaitListening() const {
    for (int i = 0; i < 500 && !windows_.Listening(QvSimUnit::kWindowClass); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return windows_.Listening(QvSimUnit::kWindowClass);
  }
  std::string Listing(const std::string& name) const {
    std::string path = Exe() + name;
    WriteWholeFile(path, "listing");
    return path;
  }

  platform::WindowSockets windows_{Exe()};
  QvSimUnit sim_{strings_, runner_, windows_, kShortWaits};
};

// --- versions ---

TEST_F(SimulatorBridge, VersionTextGetsATwoDigitLastPart) {
  struct Case {
    std::string printed;
    bool ok;
    int version;
    std::string text;
  };
  const Case cases[] = {
      {"2.08.0005", true, 20805, "2.08.05"},
      {"2.08.05", true, 20805, "2.08.05"},
      {"2.10.12", true, 21012, "2.10.12"},
      {"3.1", true, 30000, "3.01"},  // one "." : only the first number counts
      {"7", true, 0, "7"},           // no "." : no version number, the text as it is
      {"2.x.1", false, 0, "2.x.01"},
      // Numbers that would overflow, signs and parts of more than two digits are no version.
      {"999999.0.0", false, 0, "999999.0.00"},
      {"2.08.99999999999", false, 0, "2.08.99999999999"},
      {"214748.36.47", true, 2147483647, "214748.36.47"},
      {"2.-5.3", false, 0, "2.-5.03"},
      {"+2.08.05", false, 0, "+2.08.05"},
      {"2.100.0", false, 0, "2.100.00"},
      {"", false, 0, ""},  // a program without a version record
  };
  Started();
  for (const Case& c : cases) {
    PlaceSimulator(StandIn(c.printed));
    int version = -1;
    EXPECT_EQ(sim_.QvSimVersion(version), c.ok) << c.printed;
    if (c.ok) {
      EXPECT_EQ(version, c.version) << c.printed;
    }
    EXPECT_EQ(sim_.QvSimVersionText(), c.text) << c.printed;
  }
  EXPECT_TRUE(TakeBoxes().empty());
}

// --- install ---

TEST_F(SimulatorBridge, MissingSimulatorIsInstalledWithItsDatedManual) {
  CarriedResources carried(Carried("2.08.0005"));
  EXPECT_TRUE(sim_.QvSimInit(Exe()));
  EXPECT_EQ(TakeBoxes(),
            (std::vector<Box>{
                {Shown("QVSim is not on disk.^Version 2.08.05 will be installed."), "QVSim Update"},
                {Shown("QVSim Manual File is not on disk.^^The help file created on "
                       "2006-06-10 21:26:18 will be installed."),
                 "QVSim Manual File Update"}}));
  EXPECT_TRUE(sim_.QvSimInstalled());
  EXPECT_EQ(sim_.QvSimVersionText(), "2.08.05");
  const std::string manual = Folder() + "QVSim Manual_2_08.pdf";
  EXPECT_EQ(ReadWholeFile(manual), std::string(kManual));
  EXPECT_EQ(FileDate(manual), LocalTimeFromDays(QvSimUnit::kManualDate));
  EXPECT_EQ(sim_.WindowCaption(), kCaption);
}

TEST_F(SimulatorBridge, OlderSimulatorIsReplacedOnlyWhenTheUserAgrees) {
  for (int answer : {platform::kAnswerYes, platform::kAnswerNo}) {
    CarriedResources carried(Carried("2.08.0005"));
    PlaceSimulator(StandIn("2.07.0001"));
    boxes_.Answer(answer);
    EXPECT_TRUE(sim_.QvSimInit(Exe()));
    std::vector<Box> shown = TakeBoxes();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], (Box{Shown("QvSim on disk is version 2.07.01^"
                                   "Update to version 2.08.05? (Recommended)"),
                             "QVSim Update"}));
    bool agreed = answer == platform::kAnswerYes;
    EXPECT_TRUE(sim_.QvSimInstalled());
    EXPECT_EQ(sim_.QvSimVersionText(), agreed ? "2.08.05" : "2.07.01");
    // The caption is the one of the program the install left on disk.
    EXPECT_EQ(sim_.WindowCaption(),
              std::string("QvSim by Gunnar Quendel - Ver. ") + (agreed ? "2.08.05" : "2.07.01"));
  }
}

TEST_F(SimulatorBridge, UpgradeOfARunningSimulatorAsksToCloseIt) {
  CarriedResources carried(Carried("2.08.0005"));
  const std::string old_caption = "QvSim by Gunnar Quendel - Ver. 2.07.01";
  PlaceSimulator(StandIn("2.07.0001", old_caption));
  std::uint32_t unused = 0;
  ASSERT_EQ(runner_.StartAndWaitIdle(Program(), "a.lst", unused), workbench::kRunStarted);
  ASSERT_TRUE(AwaitListening());
  boxes_.Answer(platform::kAnswerOk);   // "currently running"
  boxes_.Answer(platform::kAnswerYes);  // update
  EXPECT_TRUE(sim_.QvSimInit(Exe()));
  std::vector<Box> shown = TakeBoxes();
  ASSERT_GE(shown.size(), 3u);
  EXPECT_EQ(shown[0], (Box{Shown("QVSim is currently running.^To prevent possible conflicts, it is "
                                 "recommended that you shut down^any running copies of QVSim and "
                                 "then click OK."),
                           ""}));
  EXPECT_EQ(shown[2], (Box{Shown("QVSim can't be upgraded while it is running.^Please close any "
                                 "version of QVSim that is currently running and then click OK"),
                           "QVSim Upgrade Warning"}));
  EXPECT_EQ(sim_.QvSimVersionText(), "2.08.05");
}

TEST_F(SimulatorBridge, CurrentOrNewerSimulatorIsLeftAlone) {
  Started();
  for (const char* version : {"2.08.0005", "2.09.0000", "3.00.0001"}) {
    CarriedResources carried(Carried("2.08.0005"));
    std::string on_disk = StandIn(version);
    PlaceSimulator(on_disk);
    EXPECT_TRUE(sim_.QvSimInstall()) << version;
    EXPECT_TRUE(TakeBoxes().empty()) << version;
    EXPECT_EQ(ReadWholeFile(Program()), on_disk);
  }
}

TEST_F(SimulatorBridge, SimulatorWithoutAVersionIsNotInstalled) {
  CarriedResources carried(Carried("2.08.0005"));
  std::string on_disk = StandIn("");
  PlaceSimulator(on_disk);
  EXPECT_TRUE(sim_.QvSimInit(Exe()));
  EXPECT_TRUE(TakeBoxes().empty());
  EXPECT_FALSE(sim_.QvSimInstalled());
  EXPECT_EQ(ReadWholeFile(Program()), on_disk);
  EXPECT_FALSE(FileExists(Folder() + "QVSim Manual_2_08.pdf"));
}

// Nothing carried (as shipped): nothing to install, so the start-up asks and says nothing and
// makes no folder.
TEST_F(SimulatorBridge, WithNothingCarriedTheSimulatorIsNotInstalledAndNothingIsSaid) {
  EXPECT_TRUE(sim_.QvSimInit(Exe()));
  EXPECT_EQ(TakeBoxes(), std::vector<Box>{});
  EXPECT_FALSE(sim_.QvSimInstalled());
  EXPECT_FALSE(FolderExists(Exe() + "Tools"));
}

// A simulator put there by hand, of any version, is used as it is.
TEST_F(SimulatorBridge, WithNothingCarriedASimulatorPutThereByHandIsUsedAsItIs) {
  const std::string on_disk = StandIn("2.07.0001");
  PlaceSimulator(on_disk);
  EXPECT_TRUE(sim_.QvSimInit(Exe()));
  EXPECT_EQ(TakeBoxes(), std::vector<Box>{});
  EXPECT_TRUE(sim_.QvSimInstalled());
  EXPECT_EQ(ReadWholeFile(Program()), on_disk);
  EXPECT_FALSE(FileExists(Folder() + "QVSim Manual_2_08.pdf"));
}

TEST_F(SimulatorBridge, FolderThatCannotBeCreatedStopsTheInstall) {
  CarriedResources carried(Carried("2.08.0005"));
  WriteWholeFile(Exe() + "Tools", "a file where the folder should be");
  EXPECT_TRUE(sim_.QvSimInit(Exe()));
  EXPECT_EQ(TakeBoxes(), (std::vector<Box>{{Shown("Couldn't create QvSim directory:^^" + Folder()),
                                            "Error creating directory"}}));
  EXPECT_FALSE(sim_.QvSimInstalled());
}

TEST_F(SimulatorBridge, ManualIsOfferedOnlyWhenOlderThanItsReleaseDate) {
  CarriedResources carried(Carried("2.08.0005"));
  Started();
  const std::string manual = Folder() + "QVSim Manual_2_08.pdf";
  const std::time_t release = LocalTimeFromDays(QvSimUnit::kManualDate);
  WriteWholeFile(manual, "user's manual");
  ASSERT_TRUE(SetFileDate(manual, release));
  EXPECT_TRUE(sim_.QvSimManualInstall());
  EXPECT_TRUE(TakeBoxes().empty());

  ASSERT_TRUE(SetFileDate(manual, release - 60));
  boxes_.Answer(platform::kAnswerYes);
  EXPECT_TRUE(sim_.QvSimManualInstall());
  EXPECT_EQ(TakeBoxes(), (std::vector<Box>{{Shown("QVSim Manual file on disk was created " +
                                                  DateTimeText(release - 60) +
                                                  "^^Update to version created "
                                                  "2006-06-10 21:26:18? (Recommended)"),
                                            "QVSim Manual File Update"}}));
  EXPECT_EQ(ReadWholeFile(manual), std::string(kManual));
  EXPECT_EQ(FileDate(manual), release);
}

// --- start, hand over, close ---

TEST_F(SimulatorBridge, StartSendAndRestartWithAnotherFile) {
  Started();
  const std::string first = Listing("first one.lst");
  const std::string second = Listing("second.lst");
  EXPECT_FALSE(sim_.QvSimIsRunning());
  EXPECT_FALSE(sim_.QvSimSendFile(first));  // nobody to hand it to

  ASSERT_TRUE(sim_.QvSimStart(first));
  EXPECT_TRUE(sim_.QvSimIsRunning());
  EXPECT_EQ(sim_.RunningFile(), first);
  EXPECT_TRUE(sim_.QvSimStart(first));  // already running with it: nothing happens

  EXPECT_TRUE(sim_.QvSimSendFile(second));
  EXPECT_EQ(sim_.RunningFile(), first);  // a file handed over is not the one started with

  ASSERT_TRUE(sim_.QvSimStart(second));
  EXPECT_EQ(sim_.RunningFile(), second);
  EXPECT_TRUE(sim_.QvSimIsRunning());

  sim_.QvSimCleanup();
  EXPECT_FALSE(sim_.QvSimIsRunning());
  EXPECT_EQ(Log(), (std::vector<std::string>{"START " + first, "OPEN " + second, "CLOSE",
                                             "START " + second, "CLOSE"}));
  EXPECT_TRUE(TakeBoxes().empty());
}

TEST_F(SimulatorBridge, SimulatorThatNeverClosesIsReported) {
  Started();
  PlaceSimulator(StandIn("2.08.0005", kCaption, true));
  const std::string first = Listing("a.lst");
  ASSERT_TRUE(sim_.QvSimStart(first));
  EXPECT_FALSE(sim_.QvSimClose());
  EXPECT_EQ(TakeBoxes(), (std::vector<Box>{{Shown("QVSim did not close.^"
                                                  "Please close it yourself before going on."),
                                            ""}}));
  // Nothing is started over a simulator that stays.
  EXPECT_FALSE(sim_.QvSimStart(Listing("b.lst")));
  EXPECT_EQ(sim_.RunningFile(), first);
  std::vector<std::string> log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "START " + first), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "START " + Exe() + "b.lst"), 0);
}

// A simulator that shows its caption but leaves the hand-over unanswered has not taken the
// file: the bridge says so instead of passing for a hand-over that worked.
TEST_F(SimulatorBridge, SimulatorThatNeverAnswersTheHandOverIsReported) {
  Started();
  PlaceSimulator(StandIn("2.08.0005", kCaption, false, true));
  ASSERT_TRUE(sim_.QvSimStart(Listing("a.lst")));
  const std::string second = Listing("b.lst");
  EXPECT_FALSE(sim_.QvSimSendFile(second));
  EXPECT_EQ(TakeBoxes(),
            (std::vector<Box>{{Shown("QVSim did not take the file: it did not answer within 2 "
                                     "seconds.^^" +
                                     second),
                               "QVSim Launch Error"}}));
  EXPECT_EQ(Log(), (std::vector<std::string>{"START " + Exe() + "a.lst", "OPEN ignored"}));
}

TEST_F(SimulatorBridge, WindowOfAnotherCaptionIsNotOurs) {
  Started();
  PlaceSimulator(StandIn("2.08.0005", "QvSim by Gunnar Quendel - Ver. 1.00"));
  std::uint32_t unused = 0;
  ASSERT_EQ(runner_.StartAndWaitIdle(Program(), "x.lst", unused), workbench::kRunStarted);
  ASSERT_TRUE(AwaitListening());
  EXPECT_FALSE(sim_.QvSimIsRunning());
  EXPECT_FALSE(sim_.QvSimSendFile(Listing("a.lst")));
}

TEST_F(SimulatorBridge, FileNameThatDoesNotFitTheBufferIsRefused) {
  Started();
  ASSERT_TRUE(sim_.QvSimStart(Listing("a.lst")));
  const std::string fits(QvSimUnit::kCopyBufferSize - 1, 'x');
  const std::string too_long(QvSimUnit::kCopyBufferSize, 'x');
  EXPECT_TRUE(sim_.QvSimSendFile(fits));
  EXPECT_TRUE(TakeBoxes().empty());
  for (const std::string& refused : {too_long, std::string("/a/b.lst\nCLOSE")}) {
    EXPECT_FALSE(sim_.QvSimSendFile(refused));
    EXPECT_EQ(TakeBoxes(),
              (std::vector<Box>{{Shown("QVSim can't be handed this file: its name is longer than "
                                       "1023 characters or holds a line break.^^" +
                                       refused),
                                 "QVSim Launch Error"}}));
  }
  EXPECT_TRUE(sim_.QvSimIsRunning());
  sim_.QvSimCleanup();
  EXPECT_EQ(Log(), (std::vector<std::string>{"START " + Exe() + "a.lst", "OPEN " + fits, "CLOSE"}));
}

// --- the Run menu's Launch QVSim ---

TEST_F(SimulatorBridge, LaunchNeedsTheInstalledSimulatorAndTarn) {
  int assemblies = 0;
  AssembleForSimulator assemble = [&] {
    ++assemblies;
    return std::optional<std::string>(Listing("prog.lst"));
  };
  EXPECT_TRUE(sim_.QvSimInit(Exe()));  // nothing carried, nothing on disk
  // Not installed: the command says where the simulator goes; a switch of files says nothing.
  StartQvSim(sim_, strings_, true, true, assemble);
  EXPECT_EQ(assemblies, 0);
  EXPECT_EQ(TakeBoxes(),
            (std::vector<Box>{{Shown("QVSim is not installed.^To hand programs to the simulator, "
                                     "put QVSim.exe into^^" +
                                     Folder()),
                               "QVSim Not Installed"}}));
  StartQvSim(sim_, strings_, false, true, assemble);
  EXPECT_EQ(assemblies, 0);
  EXPECT_TRUE(TakeBoxes().empty());

  Started();
  StartQvSim(sim_, strings_, true, false, assemble);
  EXPECT_EQ(assemblies, 0);
  EXPECT_EQ(TakeBoxes(), (std::vector<Box>{{"Code must be assembled with TARN to use QVSim", ""}}));
  EXPECT_FALSE(sim_.QvSimIsRunning());
}

TEST_F(SimulatorBridge, LaunchStartsOrHandsOverTheListing) {
  Started();
  int assemblies = 0;
  std::optional<std::string> listing;
  AssembleForSimulator assemble = [&] {
    ++assemblies;
    return listing;
  };
  StartQvSim(sim_, strings_, false, true, assemble);  // switching files with none running
  EXPECT_EQ(assemblies, 0);

  StartQvSim(sim_, strings_, true, true, assemble);  // the build failed
  EXPECT_EQ(assemblies, 1);
  EXPECT_FALSE(sim_.QvSimIsRunning());

  listing = Exe() + "missing.lst";
  StartQvSim(sim_, strings_, true, true, assemble);
  EXPECT_EQ(TakeBoxes(), (std::vector<Box>{{Shown(".LST file not found.^Unable to launch QVSim"),
                                            "QVSim Launch Error"}}));

  listing = Listing("prog.lst");
  StartQvSim(sim_, strings_, true, true, assemble);
  EXPECT_TRUE(sim_.QvSimIsRunning());
  listing = Listing("other.lst");
  StartQvSim(sim_, strings_, false, true, assemble);  // a running simulator gets the new file
  StartQvSim(sim_, strings_, true, true, assemble);   // and again: no second copy
  sim_.QvSimCleanup();
  EXPECT_EQ(Log(),
            (std::vector<std::string>{"START " + Exe() + "prog.lst", "OPEN " + Exe() + "other.lst",
                                      "OPEN " + Exe() + "other.lst", "CLOSE"}));
  EXPECT_TRUE(TakeBoxes().empty());
}

}  // namespace
}  // namespace build_debug
