// A debug session through the real main window offscreen, with the windows the program builds:
// QVKey started with "/b" and a C compiler's program debugs it, so the Run menu's Debug
// programs the chip behind the simulated key with the debug monitor, the key's report hands
// over to the debug window, and its buttons step the chip.

#include "build_debug/gui/debug_windows.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScreen>

#include <cstdlib>
#include <fstream>
#include <memory>

#include <gtest/gtest.h>

#include "build_debug/gui/code_form.h"
#include "build_debug/gui/debug_form.h"
#include "build_debug/gui/progress_form.h"
#include "build_debug/gui/qt_key_notifications.h"
#include "build_debug/gui/register_form.h"
#include "build_debug/gui/watch_form.h"
#include "build_debug/gui/zk_code_form.h"
#include "platform/process_runner.h"
#include "tests/build_debug/cod_writer.h"
#include "tests/build_debug/gui/wait_until.h"
#include "tests/build_debug/key_fixture.h"
#include "tests/keysim/chip_model.h"
#include "tests/workbench/gui/installed_tools.h"
#include "tests/workbench/temp_folder.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/modal_dialogs.h"
#include "workbench/session/session.h"

namespace gui {
namespace {

using namespace build_debug;

constexpr std::uint16_t kFuse = 0x0FDB;   // the watchdog off
constexpr std::uint16_t kFusex = 0x0BFE;  // 2,048 words, four banks

// Eight words at 0 and the reset jump JMP 0 in the last word, with the room the debug
// monitor takes below it.
CodWriter DebuggableProgram() {
  CodWriter cod;
  for (int i = 0; i < 8; ++i) cod.words[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0xC00 + i);
  cod.words[2047] = 0x0A00;
  cod.words[4112] = kFuse;
  cod.words[4113] = kFusex;
  cod.memory_map = {{0, 14}, {4094, 4094}};  // byte addresses
  cod.short_file_names = {"main.c"};
  for (int i = 0; i < 8; ++i) cod.lines.push_back({0, 0x80, 3 + i, i});
  return cod;
}

class DebugWindowsTest : public KeyFixture {
 protected:
  DebugWindowsTest() {
    std::ofstream(base_ + ".cod", std::ios::binary) << DebuggableProgram().Build();
    std::ofstream(base_ + ".LST") << "listing\r\n";
    testing_gui::InstallTools(folder_.Path());
    keysim::ChipConfig config;
    config.fusex = kFusex;
    chip_ = std::make_unique<keysim::ChipModel>(config);
    chip_->Install(StartKey());
  }
  ~DebugWindowsTest() override { keys_.clear(); }

  workbench::SessionSetup SessionFiles() {
    workbench::SessionSetup setup;
    setup.settings_file = folder_.Path() + "settings.txt";
    setup.exe_folder = folder_.Path();
    setup.windows = platform::WindowSockets(folder_.Path());
    setup.serial_environment = Sources().environment;
    return setup;
  }

  void Shot(const char* name) {
    const char* folder = std::getenv("QV_SCREENSHOT_DIR");
    if (!folder) return;
    if (QScreen* screen = QGuiApplication::primaryScreen())
      screen->grabWindow(0).save(QString(folder) + "/" + name);
  }

  workbench::TempFolder folder_{"qv debug windows"};
  std::string base_ = folder_.Path() + "prog";
  std::unique_ptr<keysim::ChipModel> chip_;
};

TEST_F(DebugWindowsTest, DebugProgramsTheMonitorAndTheDebugWindowStepsTheChip) {
  RecordingModalDialogs dialogs;
  platform::SystemProcessRunner processes;
  workbench::IdeSession session({boxes_, dialogs, processes}, SessionFiles());
  platform::TermiosSerialPortOpener ports(session.Resolver());
  session.BindSerialPorts(ports);

  ProgramParts parts;
  auto bind = DebugWindows::AddTo(parts);
  parts.makers["TProgressFRM"] = [](TEditorFRM& owner, workbench::IdeSession& s) {
    return new TProgressFRM(s.Texts(), [&s] { s.KeyUnit().CancelProgramming(); }, &owner);
  };
  TEditorFRM main_form(session, {"/b", base_ + ".cod"}, QSize(1280, 1024));
  FormServices services;
  services.makers = std::move(parts.makers);
  IdeForms forms(main_form, session, std::move(services));
  std::shared_ptr<DebugWindows> windows = bind(main_form, session);
  std::vector<int> notified;
  QtKeyNotifications notices(
      *static_cast<TProgressFRM*>(forms.Form("TProgressFRM")),
      [&notified](int code) { notified.push_back(code); },
      [&windows] { windows->DebugProgrammed(); });
  session.KeyNotices().Bind(&notices);
  ASSERT_EQ(forms.Form("TDebugFRM"), windows->DebugForm());
  ASSERT_EQ(forms.Form("TZK_CodeFRM"), static_cast<QWidget*>(windows->ListForm()));

  // "/b" loads the program and debugs it: the programming runs on the key's worker, and its
  // report shows the debug window, whose session releases the chip at its reset vector.
  main_form.PrepareRun();
  TDebugFRM& debug = *windows->DebugForm();
  ASSERT_TRUE(Until([&] { return debug.isVisible(); })) << ::testing::PrintToString(BoxTexts());
  const auto program = chip_->Program();
  EXPECT_EQ(program[0], 0xC00);
  EXPECT_EQ(program[2048 - 3], 0xA00);  // the reset jump, moved into the monitor
  EXPECT_EQ(program[2047], 0xBFE);      // the jump into the monitor through the free pair
  ASSERT_TRUE(Until([&] { return debug.Button("StepBTN").isEnabled(); }));
  EXPECT_EQ(session.Debug().Live().PC, 2047);

  // The session's windows: registers and (the built-in assembler's) code, arranged; the main
  // window's Run menu locked.
  EXPECT_TRUE(windows->RegisterForm()->isVisible());
  EXPECT_TRUE(windows->CodeForm()->isVisible());
  EXPECT_FALSE(windows->ListForm()->isVisible());
  EXPECT_FALSE(main_form.MenuItem("RunMENUITM")->isEnabled());
  EXPECT_FALSE(debug.Button("HopBTN").isHidden());

  // Step: the reset jump runs, then the first word.
  keysim::RunScript script;
  script.steps = {0, 1};
  chip_->SetRunScript(script);
  debug.Button("StepBTN").click();
  ASSERT_TRUE(Until([&] { return debug.Button("StepBTN").isEnabled(); }));
  EXPECT_EQ(session.Debug().Live().PC, 0);
  debug.Button("StepBTN").click();
  ASSERT_TRUE(Until([&] { return debug.Button("StepBTN").isEnabled(); }));
  EXPECT_EQ(session.Debug().Live().PC, 1);
  EXPECT_EQ(chip_->Monitor().pc, 1);
  Shot("debug_session.png");

  // Quit ends the session: the views go, the Run menu comes back, the main window hears 4.
  debug.Button("QuitBTN").click();
  ASSERT_TRUE(Until([&] { return !debug.isVisible(); }));
  EXPECT_FALSE(windows->RegisterForm()->isVisible());
  EXPECT_FALSE(windows->CodeForm()->isVisible());
  EXPECT_TRUE(main_form.MenuItem("RunMENUITM")->isEnabled());
  EXPECT_EQ(notified.back(), kKeyDebugHidden);
  // A fresh settings file is a first run; nothing else was said.
  ASSERT_EQ(boxes_.Boxes().size(), 1u) << ::testing::PrintToString(BoxTexts());
  EXPECT_EQ(boxes_.Boxes()[0].caption, "FIRST TIME RUNNING");
  session.KeyNotices().Unbind([] { QCoreApplication::processEvents(); });
}

}  // namespace
}  // namespace gui
