// Starts the real QVKey program headless: its boxes go to a log, its settings to a file of the
// test's own, and it closes itself through its normal close once the command line is done.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "installed_tools.h"
#include "platform/settings_store.h"
#include "services/registry_settings.h"
#include "tests/build_debug/tools/cod_writer.h"
#include "tests/services/temp_folder.h"

namespace {

using testing_gui::kFirstRunBox;

class QVKeyProgram : public ::testing::Test {
 protected:
  std::string File(const std::string& name) {
    std::string path = folder_.Path() + name;
    std::ofstream(path) << "\tORG 0\n\tNOP\n";
    return path;
  }

  // Runs QVKey with `parameters` (each quoted); returns its exit status.
  int Run(const std::vector<std::string>& parameters, const std::string& answers = "",
          const testing_gui::InstalledProgram* program = nullptr) {
    std::string command = "QT_QPA_PLATFORM=offscreen QVKEY_QUIT_AFTER_START=1 QVKEY_BOX_LOG='" +
                          Log() + "' QVKEY_SETTINGS_FILE='" + Settings() + "' QVKEY_BOX_ANSWERS='" +
                          answers + "' timeout 60 '" + (program ? *program : program_).Program() +
                          "'";
    for (const std::string& parameter : parameters) command += " '" + parameter + "'";
    return std::system(command.c_str());
  }

  std::vector<std::string> Boxes() const {
    std::ifstream in(Log());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // The settings of an earlier run that chose a port (so no first-run notice) and the editor.
  void StoreEditorOption(bool enhanced) {
    platform::SettingsStore store(Settings());
    workbench::RegistrySettings registry(store);
    registry.SetRegistryRoot(workbench::kRegistryRoot);
    ASSERT_TRUE(registry.WriteRegString("Configuration\\ComPort", "COM1"));
    ASSERT_TRUE(registry.WriteRegInt("Configuration\\UseNewEditor", enhanced ? 1 : 0));
  }

  std::string Log() const { return folder_.Path() + "boxes.log"; }
  std::string Settings() const { return folder_.Path() + "settings.txt"; }

  workbench::TempFolder folder_{"qv program"};
  // QVKey runs from a folder of its own with its tools installed beside it, as on a user's
  // machine, so that its start-up has nothing to install or ask.
  testing_gui::InstalledProgram program_{QVKEY_PROGRAM};
};

TEST_F(QVKeyProgram, DebugModeReportsEachStepOfStartUpInOrder) {
  ASSERT_EQ(Run({"/debug"}), 0);
  // The first box's text is one literal written over several lines.
  // NOLINTBEGIN(bugprone-suspicious-missing-comma)
  const std::vector<std::string> expected = {
      "DEBUG MODE - FormCreate()|DEBUG mode has been enabled.\\rAt numerous places in the "
      "program, dialog boxes will come up that\\rsay what the program is about to do "
      "internally.\\r\\rIf the program crashes, tell Kestrian what the last message box said "
      "before the crash\\rand what it said in the titlebar of the dialog.|ok",
      "DEBUG - StartUpStuff|About to initialize COM port|ok",
      "DEBUG - StartUpStuff|About to initialize registry|ok",
      "DEBUG - StartUpStuff|About to initialize TARN|ok",
      "DEBUG - StartUpStuff|About to initialize QV/B|ok",
      "DEBUG - StartUpStuff|About to initialize Assemble/Compile Unit|ok",
      "DEBUG - StartUpStuff|About to create editors|ok",
      "DEBUG - StartUpStuff|About to set syntax highlighting|ok",
      "DEBUG - StartUpStuff|About to check command line|ok",
      // The configuration dialog is created after the main window; this is its first run.
      "DEBUG - Config.FormCreate|About to create configuration dialog|ok",
      "DEBUG - Config.FormCreate|About set COM ports for display|ok",
      "DEBUG - Config.FormCreate|About to update controls|ok",
      "DEBUG - Config.FormCreate|About to set configuration window position|ok",
      kFirstRunBox,
      "DEBUG - FormShow|Entering \"FormShow\"|ok",
      "DEBUG - FormShow|Exiting \"FormShow\"|ok",
  };
  // NOLINTEND(bugprone-suspicious-missing-comma)
  const std::vector<std::string> boxes = Boxes();
  ASSERT_GE(boxes.size(), expected.size());
  EXPECT_EQ(std::vector<std::string>(boxes.begin(), boxes.begin() + expected.size()), expected);
  for (std::size_t i = expected.size(); i < boxes.size(); i += 2) {
    EXPECT_EQ(boxes[i], "DEBUG - FormActivate|Entered \"FormActivate\"|ok");
    ASSERT_LT(i + 1, boxes.size());
    EXPECT_EQ(boxes[i + 1], "DEBUG - FormActivate|Exiting \"FormActivate\"|ok");
  }
}

TEST_F(QVKeyProgram, DebugBesideAFileIsNoDebugMode) {
  const std::string file = File("x.src");
  ASSERT_EQ(Run({"/debug", file}), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{kFirstRunBox});
}

TEST_F(QVKeyProgram, CommandLineCasesAndTheirBoxes) {
  struct Case {
    std::vector<std::string> parameters;
    std::vector<std::string> boxes;
  };
  const std::string source = File("a.SRC");
  const std::string cod = File("c.cod");
  // A real compiler output: the window loads it at its first activation.
  const std::string paired = folder_.Path() + "p.cod";
  std::ofstream(paired, std::ios::binary) << build_debug::SmallCompilerOutput("p.c");
  File("p.LST");
  const std::string missing = folder_.Path() + "missing.SRC";
  // Past the first run, whose configuration notice would come with the first case.
  ASSERT_EQ(Run({}), 0);
  const Case cases[] = {
      {{source}, {}},
      {{missing},
       {"Command Line Error|File on command line not found on disk:\\r\"" + missing + "\"|ok"}},
      // "/b" asks for a debug run too; without its file that run finds nothing to build.
      {{"/b", cod},
       {"File Not Found|A matching .LST file must be in the same directory as the .COD "
        "file|ok",
        "Problem Compiling/Assembling|Current editor is empty.  There is no code to "
        "assemble.|ok"}},
      // Hidden with nothing that would end the run: the window shows instead.
      {{"/h", source}, {"Command Line Parse Errors|Request to hide GUI ignored|ok"}},
      // "/b" debugs the loaded program, which has no reset jump for the debug monitor.
      {{"/b", paired}, {"Error|ERROR! Debug requires RESET jump at the end of memory|ok"}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(Log());
    ASSERT_EQ(Run(c.parameters), 0) << c.parameters.back();
    EXPECT_EQ(Boxes(), c.boxes) << c.parameters.back();
  }
}

TEST_F(QVKeyProgram, FirstRunPlacesTheWindowAndTheCloseWritesItsPlacement) {
  ASSERT_EQ(Run({}), 0);
  platform::SettingsStore store(Settings());
  workbench::RegistrySettings registry(store);
  registry.SetRegistryRoot(workbench::kRegistryRoot);
  workbench::FormBounds bounds;
  ASSERT_TRUE(registry.ReadFormBounds("EditorWindow", bounds));
  // The offscreen screen is 800 x 800: half its width is narrower than the tool bar, so the
  // window is as wide as the tool bar, in the middle.
  EXPECT_EQ(bounds.top, 800 / 8);
  EXPECT_GT(bounds.width, 800 / 2);
  EXPECT_LE(bounds.width, 800);
  EXPECT_EQ(bounds.left, (800 - bounds.width) / 2);
  EXPECT_EQ(bounds.height, 800 * 3 / 4);
  std::int32_t file_list_width = -1;
  EXPECT_TRUE(registry.ReadRegInt("FileListWidth", file_list_width));
  EXPECT_GT(file_list_width, 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{kFirstRunBox});
}

// A hidden run never shows a window: every placement the user left stays as it was.
TEST_F(QVKeyProgram, AHiddenRunKeepsTheStoredPlacements) {
  const std::string source = File("a.src");
  // A shown run first: every window has a placement stored.
  ASSERT_EQ(Run({}), 0);
  {
    platform::SettingsStore store(Settings());
    workbench::RegistrySettings registry(store);
    registry.SetRegistryRoot(workbench::kRegistryRoot);
    ASSERT_TRUE(registry.WriteRegString("Configuration\\ComPort", "COM1"));
    ASSERT_TRUE(registry.WriteFormBounds(
        "EditorWindow", {.top = 30, .left = 40, .height = 500, .width = 700, .visible = true}));
    ASSERT_TRUE(registry.WriteRegInt("FileListWidth", 96));
  }
  // The placement values as the settings file holds them.
  const auto placements = [this] {
    std::ifstream in(Settings());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      if (line.rfind('"', 0) == 0 && (line.find("Window\\") != std::string::npos ||
                                      line.find("FileListWidth") != std::string::npos))
        lines.push_back(line);
    return lines;
  };
  const std::vector<std::string> before = placements();
  ASSERT_GT(before.size(), 12u);
  EXPECT_NE(std::find(before.begin(), before.end(), "\"FileListWidth\"=96"), before.end());
  Run({"/h", "/p", source}, "ok,ok,ok,ok");
  EXPECT_EQ(placements(), before);
}

// The editor the program shows follows the stored option: the legacy editor refuses a BASIC
// file, the enhanced editors take it.
TEST_F(QVKeyProgram, TheStoredEditorOptionChoosesTheEditorAtStartUp) {
  const std::string basic = File("prog.qvb");
  const std::string refused =
      "QV/B Load Error|QV/B files can't be loaded into the old editor.\\r\\rUse the enhanced "
      "editor instead.|ok";
  for (const bool enhanced : {false, true}) {
    ASSERT_NO_FATAL_FAILURE(StoreEditorOption(enhanced));
    std::filesystem::remove(Log());
    ASSERT_EQ(Run({basic}), 0);
    EXPECT_EQ(Boxes(), enhanced ? std::vector<std::string>{} : std::vector<std::string>{refused})
        << "enhanced " << enhanced;
  }
}

// A real settings file, damaged three ways: QVKey starts, says once which file was damaged
// and where it is kept, keeps it before its first save, and leaves a sound file behind.
TEST_F(QVKeyProgram, ADamagedSettingsFileIsToldOnceAndKept) {
  ASSERT_EQ(Run({}), 0);  // a first run writes a whole settings file
  std::string real;
  {
    std::ifstream in(Settings(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    real = s.str();
  }
  const std::string tab_size = "\"Configuration\\Tabsize\"=8\n";
  ASSERT_NE(real.find(tab_size), std::string::npos);
  std::string without_value = real, wrong_type = real;
  without_value.erase(without_value.find(tab_size), tab_size.size());
  wrong_type.replace(wrong_type.find(tab_size), tab_size.size(),
                     "\"Configuration\\Tabsize\"=\"8\"\n");
  const struct {
    const char* what;
    std::string bytes;
    std::string named;
  } cases[] = {
      {"cut in half", real.substr(0, real.size() / 2), "in the middle of line"},
      {"key without its value", without_value, "\"Configuration\\Tabsize\" has no value"},
      {"value of the wrong type", wrong_type, "\"Configuration\\Tabsize\" holds a text"},
  };
  const std::string damaged_copy = Settings() + ".damaged";
  for (const auto& c : cases) {
    std::ofstream(Settings(), std::ios::binary | std::ios::trunc) << c.bytes;
    std::filesystem::remove(damaged_copy);
    std::filesystem::remove(Log());
    ASSERT_EQ(Run({}), 0) << c.what;
    int told = 0;
    for (const std::string& box : Boxes()) {
      if (box.rfind("Settings File|", 0) != 0) continue;
      ++told;
      EXPECT_NE(box.find("\\r" + Settings() + "\\r"), std::string::npos) << box;
      EXPECT_NE(box.find(damaged_copy), std::string::npos) << box;
      EXPECT_NE(box.find(c.named), std::string::npos) << c.what << ": " << box;
    }
    EXPECT_EQ(told, 1) << c.what;
    std::ifstream in(damaged_copy, std::ios::binary);
    std::stringstream kept;
    kept << in.rdbuf();
    EXPECT_EQ(kept.str(), c.bytes) << c.what;
    platform::SettingsStore store(Settings());
    EXPECT_FALSE(store.Damaged()) << c.what;
    // What was damaged is gone from the file the run saved: the next start tells nothing.
    std::filesystem::remove(Log());
    ASSERT_EQ(Run({}), 0) << c.what;
    for (const std::string& box : Boxes()) EXPECT_NE(box.rfind("Settings File|", 0), 0u) << box;
  }
}

// A zero byte in the file on the command line: either editor opens the file whole and says so
// in one box.
TEST_F(QVKeyProgram, AFileWithAZeroByteOpensInEitherEditorWithOneBox) {
  const std::string path = folder_.Path() + "zero.src";
  std::ofstream(path, std::ios::binary) << std::string("\tNOP\0\tNOP\n", 10);
  const std::string notice = "Zero Bytes in File|" + path +
                             "\\r\\rholds a zero byte, which would end the text. The editor shows "
                             "it as \"\xC2\xA4\"; a save writes \"\xC2\xA4\" (byte A4 hex) in "
                             "its place "
                             "and keeps everything after it.|ok";
  for (const bool enhanced : {false, true}) {
    ASSERT_NO_FATAL_FAILURE(StoreEditorOption(enhanced));
    std::filesystem::remove(Log());
    ASSERT_EQ(Run({path}), 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>{notice}) << "enhanced " << enhanced;
  }
}

// A name from the command line is the file's bytes all the way: the file opens, its box names
// it in UTF-8, and the recent files keep those bytes for Reopen.
TEST_F(QVKeyProgram, ACommandLineNameBeyondAsciiOpensItsFileAndIsKeptAsItsBytes) {
  for (const std::string name : {"caf\xC3\xA9 \xE4\xB8\xAD.src", "caf\xE9.src"}) {
    SCOPED_TRACE(name);
    const std::string path = folder_.Path() + name;
    // UTF-8 beyond Windows-1252, so that a box names the file.
    std::ofstream(path, std::ios::binary) << "; \xE4\xB8\xAD\n";
    std::ofstream(folder_.Path() + "caf? ?.src", std::ios::binary) << "; other\n";
    ASSERT_NO_FATAL_FAILURE(StoreEditorOption(true));
    std::filesystem::remove(Log());
    ASSERT_EQ(Run({path}), 0);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].rfind("Characters Shown as Bytes|" + path + "\\r\\ris UTF-8 text", 0), 0u)
        << Boxes()[0];
    platform::SettingsStore store(Settings());
    workbench::RegistrySettings registry(store);
    registry.SetRegistryRoot(workbench::kRegistryRoot);
    std::string recent;
    ASSERT_TRUE(registry.ReadRegString("LastFilesOpened\\File0", recent));
    EXPECT_EQ(recent, path);
  }
}

// Installed in a folder whose name is not UTF-8, QVKey finds its tools beside itself: its
// folder is taken as the file system has it.
TEST_F(QVKeyProgram, AProgramFolderNamedInBytesThatAreNotUtf8HoldsItsTools) {
  const testing_gui::InstalledProgram installed(QVKEY_PROGRAM, "qv caf\xE9");
  ASSERT_NO_FATAL_FAILURE(StoreEditorOption(true));
  const std::string source = File("prog.src");
  ASSERT_EQ(Run({source}, "", &installed), 0);
  EXPECT_TRUE(Boxes().empty()) << Boxes()[0];
}

}  // namespace
