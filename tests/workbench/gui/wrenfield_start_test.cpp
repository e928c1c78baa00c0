// QVKey started with "/b" and a C compiler's ".cod": in-process, the main window loads the
// program at its first activation and takes the Wrenfield caption and menus, ready to program
// the chip behind the simulated key; as the real program, headless, a refused file reaches the
// user as a box.

#include <QAction>
#include <QApplication>

#include <cstdlib>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include "build_debug/key/key_protocol.h"
#include "platform/process_runner.h"
#include "resources/widget_names.h"
#include "services/gui/modal_dialogs.h"
#include "tests/build_debug/key/ignored_notifications.h"
#include "tests/build_debug/key/key_fixture.h"
#include "tests/build_debug/tools/cod_writer.h"
#include "tests/keysim/chip_model.h"
#include "tests/services/temp_folder.h"
#include "tests/workbench/gui/installed_tools.h"
#include "workbench/gui/editor_form.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;

namespace gui {
namespace {

using namespace build_debug;

// A 2,048-word program of three words with its configuration words.
CodWriter ThreeWordProgram() {
  CodWriter cod;
  cod.words = {{0, 0x0C05}, {1, 0x0025}, {2, 0x0A00}, {4112, 0x0FDB}, {4113, 0x0BFF}};
  cod.memory_map = {{0, 5}};
  cod.short_file_names = {"main.c"};
  cod.lines = {{0, 0x80, 3, 0}, {0, 0x80, 4, 1}, {0, 0x80, 5, 2}};
  return cod;
}

void Write(const std::string& name, const std::string& bytes) {
  std::ofstream file(name, std::ios::binary);
  file << bytes;
  ASSERT_TRUE(file.good()) << name;
}

class WrenfieldStart : public KeyFixture {
 protected:
  WrenfieldStart() {
    Write(base_ + ".cod", ThreeWordProgram().Build());
    // The extension's letter case as the command line asks for it; the loader takes either.
    Write(base_ + ".LST", "line one\r\nline two\r\nline three\r\n");
  }

  workbench::TempFolder folder_{"qv wrenfield"};
  std::string base_ = folder_.Path() + "prog";
};

TEST_F(WrenfieldStart, TheMainWindowLoadsTheProgramAndLocksTheAssemblyMenus) {
  platform::RecordingMessageBoxes boxes;
  RecordingModalDialogs dialogs;
  platform::SystemProcessRunner processes;
  workbench::SessionSetup setup;
  setup.settings_file = folder_.Path() + "settings.txt";
  setup.exe_folder = folder_.Path();
  setup.windows = platform::WindowSockets(folder_.Path());
  testing_gui::InstallTools(folder_.Path());
  workbench::IdeSession session({boxes, dialogs, processes}, std::move(setup));
  TEditorFRM form(session, {"/b", base_ + ".cod"}, QSize(1024, 768));
  form.PrepareRun();

  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_EQ(form.windowTitle().toStdString(),
            base_ + ".cod - Wrenfield QVC Mode - " + QApplication::applicationName().toStdString());
  for (const char* item :
       {main_menu::FileNewAssemblyMENUITM, main_menu::FileOpenMENUITM, main_menu::FileSaveMENUITM,
        main_menu::EditMENUITM, main_menu::RunAssembleMENUITM})
    EXPECT_FALSE(form.MenuItem(item)->isEnabled()) << item;
  ObjectImage& image = session.Image();
  EXPECT_EQ(image.WorkingImage[0], UsedWord(0x0C05));
  EXPECT_EQ(image.WorkingImage[2], UsedWord(0x0A00));
  EXPECT_EQ(image.WorkingImage[kFuseIndex] & kInstructionBits, 0x0FDB);
  ASSERT_NE(session.QVC().Code(), nullptr);

  // The loaded program goes to the chip as an assembled one does.
  link_.ComInit();
  keysim::ChipModel chip;
  chip.Install(StartKey());
  IgnoredNotifications notes;
  QvKeyUnit key(link_, image, messages_, notes);
  CopyWorkingToProgramming(image);
  ASSERT_TRUE(key.StartProgramQV(false));
  key.QVU_Cleanup();
  EXPECT_TRUE(boxes_.Boxes().empty());
  const auto program = chip.Program();
  EXPECT_EQ(program[0], 0x0C05);
  EXPECT_EQ(program[1], 0x0025);
  EXPECT_EQ(program[2], 0x0A00);
  keys_.clear();  // before the chip they answer with
}

TEST_F(WrenfieldStart, TheProgramHeadlessLoadsAGoodFileQuietlyAndRefusesADamagedOne) {
  const testing_gui::InstalledProgram installed(QVKEY_PROGRAM);
  const std::string log = folder_.Path() + "boxes.log";
  const auto run = [&] {
    std::filesystem::remove(log);
    const std::string command =
        "QT_QPA_PLATFORM=offscreen QVKEY_QUIT_AFTER_START=1 QVKEY_BOX_LOG='" + log +
        "' QVKEY_SETTINGS_FILE='" + folder_.Path() + "settings.txt' timeout 60 '" +
        installed.Program() + "' /b '" + base_ + ".cod'";
    return std::system(command.c_str());
  };
  const auto boxes = [&] {
    std::ifstream in(log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  };
  // "/b" debugs the chip after the load; this program has no reset jump to hand over to the
  // debug monitor, which the debug run says before it reaches for the key.
  const std::string no_reset_jump =
      "Error|ERROR! Debug requires RESET jump at the end of memory|ok";
  // The first run only asks to review the configuration; the program loads quietly.
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(boxes(), (std::vector<std::string>{testing_gui::kFirstRunBox, no_reset_jump}));
  ASSERT_EQ(run(), 0);
  EXPECT_EQ(boxes(), std::vector<std::string>{no_reset_jump});

  // Cut inside the directory block.
  Write(base_ + ".cod", ThreeWordProgram().Build().substr(0, 100));
  ASSERT_EQ(run(), 0);
  std::vector<std::string> lines = boxes();
  // The reader's refusal: the block it could not read, then the directory, each naming the file;
  // the debug run finds nothing it can debug.
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), no_reset_jump);
  lines.pop_back();
  for (const std::string& line : lines) {
    EXPECT_EQ(line.rfind("I/O Error|", 0), 0u) << line;
    EXPECT_NE(line.find(base_ + ".cod"), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace gui
