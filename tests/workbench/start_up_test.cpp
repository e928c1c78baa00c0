#include "workbench/start_up.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/message_box.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "tests/services/temp_folder.h"
#include "workbench/box_log.h"
#include "workbench/command_line.h"

namespace workbench {
namespace {

TEST(DebugSwitch, OnlyASingleDebugParameterInAnyCaseTurnsItOn) {
  struct Case {
    std::vector<std::string> parameters;
    bool on;
    bool hide_file_list;
  };
  const Case cases[] = {
      {{"/debug"}, true, false},
      {{"/DeBuG"}, true, false},
      {{"/debug_no_filelist"}, true, true},
      {{"/debug", "x.src"}, false, false},
      {{"x.src"}, false, false},
      {{}, false, false},
  };
  for (const Case& c : cases) {
    const DebugSwitch result = ReadDebugSwitch(c.parameters);
    EXPECT_EQ(result.on, c.on) << c.parameters.size();
    EXPECT_EQ(result.hide_file_list, c.hide_file_list);
  }
}

TEST(DebugSwitch, TheDebugModeBoxTextHasItsEmptyLine) {
  EXPECT_EQ(DebugModeText(),
            "DEBUG mode has been enabled.\r"
            "At numerous places in the program, dialog boxes will come up that\r"
            "say what the program is about to do internally.\r\r"
            "If the program crashes, tell Kestrian what the last message box said before the "
            "crash\rand what it said in the titlebar of the dialog.");
}

TEST(FirstRunBounds, MiddleHalfOfTheWidthThreeQuartersOfTheHeight) {
  const ScreenBounds bounds = FirstRunBounds(1281, 1023);
  EXPECT_EQ(bounds.left, 320);
  EXPECT_EQ(bounds.top, 127);
  EXPECT_EQ(bounds.width, 640);
  EXPECT_EQ(bounds.height, 767);
}

TEST(FirstRunBounds, NeverNarrowerThanTheToolBarWhereTheScreenAllows) {
  struct Row {
    int screen_width, screen_height, least_width;
    int left, top, width, height;
  };
  const Row rows[] = {
      {1281, 1023, 600, 320, 127, 640, 767},  // half the screen holds the tool bar
      {1024, 768, 700, 162, 96, 700, 576},    // wider than half, in the middle
      {1024, 768, 512, 256, 96, 512, 576},    // exactly half
      {800, 600, 1000, 0, 75, 800, 450},      // no wider than the screen
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.least_width);
    const ScreenBounds bounds = FirstRunBounds(r.screen_width, r.screen_height, r.least_width);
    EXPECT_EQ(bounds.left, r.left);
    EXPECT_EQ(bounds.top, r.top);
    EXPECT_EQ(bounds.width, r.width);
    EXPECT_EQ(bounds.height, r.height);
  }
}

class CommandLineActionsTest : public ::testing::Test {
 protected:
  CommandLineActionsTest() { texts_.InitLocalization("x"); }

  std::string File(const std::string& name) {
    std::string path = folder_.Path() + name;
    std::ofstream(path) << "; test\n";
    return path;
  }

  void Run(const std::vector<std::string>& parameters) {
    CommandLineActions actions(globals_, texts_, messages_, boxes_,
                               [this](const std::string& port) { ports_.push_back(port); });
    actions.Run(parameters, parser_, requests_);
  }

  TempFolder folder_;
  GlobalValues globals_;
  Localizer texts_;
  platform::RecordingMessageBoxes boxes_;
  MessageStrings messages_{texts_, boxes_};
  T_ZKCmdLineParse parser_;
  CommandLineRequests requests_;
  std::vector<std::string> ports_;
};

TEST_F(CommandLineActionsTest, AFileThatExistsBecomesTheCommandLineFile) {
  const std::string file = File("a.SRC");
  Run({"/2", "/r", file});
  EXPECT_EQ(globals_.CommandLineFile, file);
  EXPECT_TRUE(requests_.ReadOnly);
  EXPECT_EQ(requests_.ComPort, "COM2");
  EXPECT_EQ(ports_, std::vector<std::string>{"COM2"});
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(CommandLineActionsTest, AMissingFileIsReportedAndForgotten) {
  const std::string file = folder_.Path() + "gone";
  boxes_.Answer(platform::kAnswerOk);
  Run({"/r", file});
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Command Line Error");
  EXPECT_EQ(boxes_.Boxes()[0].text,
            "File on command line not found on disk:\r\"" + file + ".SRC\"");
  EXPECT_EQ(globals_.CommandLineFile, "");
  EXPECT_FALSE(requests_.ReadOnly);
}

TEST_F(CommandLineActionsTest, WrenfieldAddsCodAndNeedsTheListingBesideIt) {
  File("w.cod");
  boxes_.Answer(platform::kAnswerOk);
  Run({"/b", folder_.Path() + "w"});
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "File Not Found");
  EXPECT_EQ(boxes_.Boxes()[0].text,
            "A matching .LST file must be in the same directory as the .COD file");
  EXPECT_EQ(globals_.CommandLineFile, "");
  EXPECT_FALSE(globals_.WrenfieldMode);

  File("w.LST");
  boxes_.Clear();
  Run({"/b", folder_.Path() + "w"});
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(globals_.CommandLineFile, folder_.Path() + "w.cod");
  EXPECT_TRUE(globals_.WrenfieldMode);
  EXPECT_FALSE(globals_.IdeOptions.UseTarn);
}

TEST_F(CommandLineActionsTest, ExtensionsAreFoundInEitherLetterCase) {
  struct Case {
    const char* what;
    std::vector<const char*> files;  // on disk
    std::vector<std::string> parameters;
    const char* loaded;  // the command-line file, or nothing
    bool wrenfield;
  };
  const std::string at = folder_.Path();
  const Case cases[] = {
      {"a lower-case listing beside the .cod",
       {"p.cod", "p.lst"},
       {"/b", at + "p.cod"},
       "p.cod",
       true},
      {"the listing of a .cod given without extension",
       {"q.cod", "q.Lst"},
       {"/b", at + "q"},
       "q.cod",
       true},
      {"a .COD given without extension", {"r.COD", "r.LST"}, {"/b", at + "r"}, "r.COD", true},
      {"a source given without extension", {"s.src"}, {at + "s"}, "s.src", false},
      {"a .cod given alone", {"u.cod", "u.lst"}, {at + "u.cod"}, "u.cod", true},
      {"another program's listing does not count",
       {"t.cod", "tx.lst"},
       {"/b", at + "t.cod"},
       nullptr,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const char* name : c.files) File(name);
    globals_ = {};
    boxes_.Clear();
    boxes_.Answer(platform::kAnswerOk);
    Run(c.parameters);
    EXPECT_EQ(globals_.CommandLineFile, c.loaded ? at + c.loaded : "");
    EXPECT_EQ(globals_.WrenfieldMode, c.wrenfield);
    EXPECT_EQ(boxes_.Boxes().size(), c.loaded ? 0u : 1u);
  }
}

TEST_F(CommandLineActionsTest, HidingNeedsAChipActionThatEndsTheRun) {
  const std::string file = File("h.SRC");
  Run({"/h", "/p", file});
  EXPECT_TRUE(requests_.HideWindow);
  EXPECT_TRUE(requests_.ProgramRequested);
  EXPECT_TRUE(boxes_.Boxes().empty());

  // Nothing would close a hidden window: it shows, and says so.
  requests_ = {};
  boxes_.Answer(platform::kAnswerOk);
  Run({"/h", file});
  EXPECT_FALSE(requests_.HideWindow);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Request to hide GUI ignored");
}

TEST_F(CommandLineActionsTest, ChipRequestsAreTakenInTheirFlags) {
  const std::string file = File("d.SRC");
  Run({"/d", file});
  EXPECT_TRUE(requests_.DebugRequested);
  requests_ = {};
  Run({"/da", file});
  EXPECT_TRUE(requests_.DebugAgainRequested);
  EXPECT_FALSE(requests_.DebugRequested);
}

TEST(LoggedMessageBoxes, LogsOneLinePerBoxAndAnswersFromItsListThenTheFirstButton) {
  TempFolder folder;
  const std::string log = folder.Path() + "boxes.log";
  LoggedMessageBoxes boxes(log, "no,cancel");
  EXPECT_EQ(boxes.Show({"a\rb", "Cap", platform::BoxButtons::YesNo}), platform::kAnswerNo);
  EXPECT_EQ(boxes.Show({"c", "D", platform::BoxButtons::OkCancel}), platform::kAnswerCancel);
  EXPECT_EQ(boxes.Show({"e", "F", platform::BoxButtons::YesNoCancel}), platform::kAnswerYes);
  EXPECT_EQ(boxes.Show({"g", "H", platform::BoxButtons::Ok}), platform::kAnswerOk);
  EXPECT_EQ(boxes.Show({"i", "J", platform::BoxButtons::Abort}), platform::kAnswerAbort);
  std::ifstream in(log);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(all, "Cap|a\\rb|yesno\nD|c|okcancel\nF|e|yesnocancel\nH|g|ok\nJ|i|abort\n");
}

TEST(LoggedMessageBoxes, AnUnwritableLogIsAnError) {
  LoggedMessageBoxes boxes("/nonexistent-folder/boxes.log", "");
  EXPECT_THROW(boxes.Show({"x", "y", platform::BoxButtons::Ok}), std::runtime_error);
}

}  // namespace
}  // namespace workbench
