#include "services/program_runner.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "temp_folder.h"

namespace workbench {
namespace {

namespace fs = std::filesystem;

TEST(SplitCommandLineTest, WindowsRules) {
  using Args = std::vector<std::string>;
  const struct {
    const char* text;
    Args arguments;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {" /F BIN16  /E KESTRIAN ", {"/F", "BIN16", "/E", "KESTRIAN"}},
      {"a\tb", {"a", "b"}},
      {"/X 1 \"my file.src\"", {"/X", "1", "my file.src"}},
      {"a\"b c\"d", {"ab cd"}},
      {"a \"\" b", {"a", "", "b"}},
      {"\"a\"\"b\"", {"a\"b"}},
      {"x\\y\\\\z", {"x\\y\\\\z"}},
      {"\"C:\\dir\\\\\" next", {"C:\\dir\\", "next"}},
      {"a\\\"b", {"a\"b"}},
      {"a\\\\\\\"b", {"a\\\"b"}},
      {"\"open quote to the end", {"open quote to the end"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::SplitCommandLine(c.text), c.arguments) << c.text;
  }
}

class RunProgramTest : public ::testing::Test {
 protected:
  std::string Script(const std::string& name, const std::string& body, bool executable = true) {
    std::string path = folder.Path() + name;
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, executable ? fs::perms::owner_all : fs::perms::owner_read);
    return path;
  }

  std::uint8_t RunAndWait(const std::string& program, const std::string& params,
                          std::uint32_t& exit_code, std::string* output = nullptr) {
    return runner.RunAndWait(program, params, exit_code, output);
  }
  std::uint8_t StartAndWaitIdle(const std::string& program, const std::string& params,
                                std::uint32_t& exit_code) {
    return runner.StartAndWaitIdle(program, params, exit_code);
  }

  platform::RecordingMessageBoxes boxes;
  platform::SystemProcessRunner processes;
  ProgramRunner runner{processes, boxes};
  TempFolder folder{"qv run test"};
};

TEST_F(RunProgramTest, ExitCodeOfTheChild) {
  std::uint32_t exit_code = 0;
  EXPECT_EQ(RunAndWait("/bin/sh", "-c \"exit 5\"", exit_code), kRunStarted);
  EXPECT_EQ(exit_code, 5u);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(RunProgramTest, MissingProgram) {
  std::uint32_t exit_code = 77;
  boxes.Answer(platform::kAnswerOk);
  EXPECT_EQ(RunAndWait(folder.Path() + "x.exe", "/v", exit_code), kRunNotStarted);
  EXPECT_EQ(exit_code, 77u);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Couldn't start x.exe");
  EXPECT_EQ(boxes.Boxes()[0].caption, "x.exe start up ERROR");
  EXPECT_EQ(boxes.Boxes()[0].buttons, platform::BoxButtons::Ok);
}

TEST_F(RunProgramTest, ProgramThatIsNoExecutable) {
  std::string path = Script("TARN.dll", "exit 0\n", false);
  std::uint32_t exit_code = 0;
  boxes.Answer(platform::kAnswerOk);
  EXPECT_EQ(RunAndWait(path, "", exit_code), kRunNotStarted);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Couldn't start TARN.dll");
}

TEST_F(RunProgramTest, PathWithBlanksArgumentsAndWorkingFolder) {
  std::string path = Script("my tool", "pwd -P\nprintf '%s|' \"$@\"\nexit 4\n");
  std::uint32_t exit_code = 0;
  std::string output;
  EXPECT_EQ(RunAndWait(path, "one \"two words\" three", exit_code, &output), kRunStarted);
  EXPECT_EQ(exit_code, 4u);
  std::string folder_name = fs::canonical(folder.Path()).string();
  EXPECT_EQ(output, folder_name + "\none|two words|three|");
}

TEST_F(RunProgramTest, OutputAndInputOfTheChild) {
  std::uint32_t exit_code = 1;
  std::string output;
  // Standard input is empty, so read ends at once; both output streams come back.
  EXPECT_EQ(
      RunAndWait("/bin/sh",
                 "-c \"read line; echo \\\"[$line]\\\"; echo Version as integer: 15107 1>&2\"",
                 exit_code, &output),
      kRunStarted);
  EXPECT_EQ(output, "[]\nVersion as integer: 15107\n");
  EXPECT_EQ(exit_code, 0u);
}

// A program the child leaves running in the background keeps the output pipe open; the
// runner must return when the child itself ends (before, this test hung until ctest's limit).
TEST_F(RunProgramTest, BackgroundProgramHoldingTheOutputDoesNotBlock) {
  std::string pid_file = folder.Path() + "sleeper.pid";
  std::uint32_t exit_code = 1;
  std::string output;
  EXPECT_EQ(RunAndWait("/bin/sh", "-c \"sleep 1000 & echo $! > '" + pid_file + "'; echo started\"",
                       exit_code, &output),
            kRunStarted);
  EXPECT_EQ(output, "started\n");
  EXPECT_EQ(exit_code, 0u);
  std::ifstream in(pid_file);
  int sleeper = 0;
  if (in >> sleeper && sleeper > 0) ::kill(sleeper, SIGKILL);
}

TEST_F(RunProgramTest, ChildKilledBySignalHasNoExitCode) {
  std::uint32_t exit_code = 77;
  EXPECT_EQ(RunAndWait("/bin/sh", "-c \"kill -KILL $$\"", exit_code), kRunNoExitCode);
  EXPECT_EQ(exit_code, 77u);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(RunProgramTest, StartOnlyLeavesTheExitCode) {
  std::uint32_t exit_code = 77;
  EXPECT_EQ(StartAndWaitIdle("/bin/sh", "-c \"exit 9\"", exit_code), kRunStarted);
  EXPECT_EQ(exit_code, 77u);
  boxes.Answer(platform::kAnswerOk);
  EXPECT_EQ(StartAndWaitIdle(folder.Path() + "QVSim.exe", "", exit_code), kRunNotStarted);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].caption, "QVSim.exe start up ERROR");
}

// Whether a process still runs (a zombie no longer does).
bool Runs(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::size_t state = text.rfind(')');
  return state != std::string::npos && state + 2 < text.size() && text[state + 2] != 'Z';
}

bool EndsSoon(int pid) {
  for (int i = 0; i < 200 && Runs(pid); ++i) ::usleep(10000);
  return !Runs(pid);
}

// A child past its time limit is ended together with what it started, also when it ignores
// the request to stop; the ending says so.
TEST_F(RunProgramTest, AChildPastItsLimitIsEndedWithItsGroup) {
  const std::string pid_file = folder.Path() + "helper.pid";
  const char* bodies[] = {
      "sleep 1000 & echo $! > helper.pid\nsleep 1000\n",
      "trap '' TERM\nsleep 1000 & echo $! > helper.pid\nwhile :; do sleep 1; done\n",
  };
  for (const char* body : bodies) {
    fs::remove(pid_file);
    std::string path = Script("tool", body);
    ProgramEnding ending = runner.RunBounded(path, "", std::chrono::milliseconds(300), true);
    EXPECT_EQ(ending.result, kRunTimedOut) << body;
    EXPECT_EQ(EndingText("tool", ending), "tool did not finish within 1 second and was stopped.");
    std::ifstream in(pid_file);
    int helper = 0;
    ASSERT_TRUE(in >> helper) << body;
    EXPECT_TRUE(EndsSoon(helper)) << body;
  }
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(RunProgramTest, EachEndingReadsAsItCame) {
  struct Case {
    const char* body;
    std::uint8_t result;
    std::uint32_t exit_code;
    int signal;
    std::string text;
  };
  const Case cases[] = {
      {"exit 3\n", kRunStarted, 3, 0, ""},
      {"kill -SEGV $$\n", kRunNoExitCode, 0, SIGSEGV,
       "tool was ended by signal 11 (Segmentation fault)."},
      {"kill -KILL $$\n", kRunNoExitCode, 0, SIGKILL, "tool was ended by signal 9 (Killed)."},
  };
  for (const Case& c : cases) {
    ProgramEnding ending =
        runner.RunBounded(Script("tool", c.body), "", std::chrono::seconds(30), false);
    EXPECT_EQ(ending.result, c.result) << c.body;
    EXPECT_EQ(ending.exit_code, c.exit_code) << c.body;
    EXPECT_EQ(ending.signal, c.signal) << c.body;
    EXPECT_EQ(EndingText("tool", ending), c.text) << c.body;
  }
}

// The watch is asked all along the wait, and a "no" ends the child at once.
TEST_F(RunProgramTest, TheWatchCanStopTheWait) {
  struct Watch : platform::ProcessWatch {
    bool KeepWaiting(std::chrono::milliseconds waited) override {
      ++asked;
      return waited < std::chrono::milliseconds(200);
    }
    int asked = 0;
  } watch;
  platform::ProcessLaunch launch;
  launch.program = Script("tool", "sleep 1000\n");
  launch.time_limit = std::chrono::seconds(60);
  launch.watch = &watch;
  platform::ProcessResult result = platform::RunProcess(launch);
  EXPECT_EQ(result.outcome, platform::ProcessResult::Outcome::Cancelled);
  EXPECT_GT(watch.asked, 3);
}

}  // namespace
}  // namespace workbench
