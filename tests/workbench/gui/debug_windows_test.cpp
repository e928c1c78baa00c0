// A debug session through the real main window offscreen, with the windows the program builds:
// QVKey started with "/b" and a C compiler's program debugs it, so the Run menu's Debug
// programs the chip behind the simulated key with the debug monitor, the key's report hands
// over to the debug window, and its buttons step the chip.

#include "workbench/gui/debug_windows.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <QStatusBar>
#include "build_debug/debug/gui/code_form.h"
#include "build_debug/debug/gui/debug_form.h"
#include "build_debug/debug/gui/register_form.h"
#include "build_debug/debug/gui/watch_form.h"
#include "build_debug/debug/gui/zk_code_form.h"
#include "build_debug/key/gui/progress_form.h"
#include "build_debug/key/gui/qt_key_notifications.h"
#include "platform/process_runner.h"
#include "resources/widget_names.h"
#include "services/gui/modal_dialogs.h"
#include "services/silent_abort.h"
#include "tests/build_debug/debug/gui/wait_until.h"
#include "tests/build_debug/key/key_fixture.h"
#include "tests/build_debug/tools/cod_writer.h"
#include "tests/keysim/chip_model.h"
#include "tests/services/temp_folder.h"
#include "tests/workbench/gui/installed_tools.h"
#include "workbench/gui/editor_form.h"
#include "workbench/session/session.h"

namespace debug_frm = widget_names::DebugFRM;
namespace main_menu = widget_names::MainMenu;

namespace gui {
namespace {

using namespace build_debug;

constexpr std::uint16_t kFuse = 0x0FDB;   // the watchdog off
constexpr std::uint16_t kFusex = 0x0BFE;  // 2,048 words, four banks

// Eight words at 0 and the reset jump JMP 0 in the last word, with the room the debug
// monitor takes below it.
CodWriter DebuggableProgram() {
  CodWriter cod;
  for (int i = 0; i < 8; ++i)
    cod.words[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(0xC00 + i);
  cod.words[2047] = 0x0A00;
  cod.words[4112] = kFuse;
  cod.words[4113] = kFusex;
  cod.memory_map = {{0, 14}, {4094, 4094}};  // byte addresses
  cod.short_file_names = {"main.c"};
  for (std::uint16_t i = 0; i < 8; ++i)
    cod.lines.push_back({0, 0x80, static_cast<std::uint16_t>(3 + i), i});
  return cod;
}

// The main window with the windows the program builds, bound as the program binds them.
struct Ide {
  Ide(platform::MessageBoxService& boxes, ModalDialogService& dialogs,
      workbench::SessionSetup setup, std::vector<std::string> parameters,
      const std::function<void(workbench::IdeSession&)>& options = {})
      : session({boxes, dialogs, processes}, std::move(setup)), ports(session.Resolver()) {
    session.BindSerialPorts(ports);
    if (options) options(session);
    ProgramParts parts;
    auto bind = DebugWindows::AddTo(parts);
    parts.makers["TProgressFRM"] = [](TEditorFRM& owner, workbench::IdeSession& s) {
      return new TProgressFRM(
          s.Texts(), [&s] { s.KeyUnit().CancelProgramming(); }, &owner);
    };
    main_form = std::make_unique<TEditorFRM>(session, std::move(parameters), QSize(1280, 1024));
    FormServices services;
    services.makers = std::move(parts.makers);
    forms = std::make_unique<IdeForms>(*main_form, session, std::move(services));
    windows = bind(*main_form, session);
    notices = std::make_unique<QtKeyNotifications>(
        *static_cast<TProgressFRM*>(forms->Form("TProgressFRM")),
        [this](int code) { notified.push_back(code); }, [this] { windows->DebugProgrammed(); });
    session.KeyNotices().Bind(notices.get());
  }
  ~Ide() {
    session.KeyNotices().Unbind([] { QCoreApplication::processEvents(); });
    notices.reset();
    windows.reset();
    forms.reset();
    main_form.reset();
  }

  platform::SystemProcessRunner processes;
  workbench::IdeSession session;
  platform::TermiosSerialPortOpener ports;
  std::unique_ptr<TEditorFRM> main_form;
  std::unique_ptr<IdeForms> forms;
  std::shared_ptr<DebugWindows> windows;
  std::unique_ptr<QtKeyNotifications> notices;
  std::vector<int> notified;
};

class DebugWindowsTest : public KeyFixture {
 protected:
  DebugWindowsTest() { testing_gui::InstallTools(folder_.Path(), TARN_EXE); }
  ~DebugWindowsTest() override { keys_.clear(); }

  keysim::ChipModel& Chip(std::uint16_t fusex) {
    keysim::ChipConfig config;
    config.fusex = fusex;
    chip_ = std::make_unique<keysim::ChipModel>(config);
    chip_->Install(StartKey());
    return *chip_;
  }

  workbench::SessionSetup SessionFiles() {
    workbench::SessionSetup setup;
    setup.settings_file = folder_.Path() + "settings.txt";
    setup.exe_folder = folder_.Path();
    setup.windows = platform::WindowSockets(folder_.Path());
    setup.serial_environment = Sources().environment;
    return setup;
  }

  // Steps once and waits for the chip's stop to be shown.
  static void Step(TDebugFRM& debug) {
    debug.Button(debug_frm::StepBTN).click();
    ASSERT_TRUE(Until([&] { return debug.Button(debug_frm::StepBTN).isEnabled(); }));
  }

  // A fresh settings file is a first run; nothing else may have been said.
  void ExpectOnlyTheFirstRunBox() {
    ASSERT_EQ(boxes_.Boxes().size(), 1u) << ::testing::PrintToString(BoxTexts());
    EXPECT_EQ(boxes_.Boxes()[0].caption, "FIRST TIME RUNNING");
  }

  void Shot(const char* name) {
    const char* folder = std::getenv("QV_SCREENSHOT_DIR");
    if (!folder) return;
    if (QScreen* screen = QGuiApplication::primaryScreen())
      screen->grabWindow(0).save(QString(folder) + "/" + name);
  }

  workbench::TempFolder folder_{"qv debug windows"};
  std::string base_ = folder_.Path() + "prog";
  RecordingModalDialogs dialogs_;
  std::unique_ptr<keysim::ChipModel> chip_;
};

TEST_F(DebugWindowsTest, DebugProgramsTheMonitorAndTheDebugWindowStepsTheChip) {
  std::ofstream(base_ + ".cod", std::ios::binary) << DebuggableProgram().Build();
  // The compiler's listing: one line per line record, the record of address i on line i.
  std::ofstream listing(base_ + ".LST", std::ios::binary);
  for (int i = 0; i < 8; ++i)
    listing << "000" << i << "  0C0" << i << "          movlw  " << i << "\r\n";
  listing.close();
  auto& chip = Chip(kFusex);
  Ide ide(boxes_, dialogs_, SessionFiles(), {"/b", base_ + ".cod"});
  DebugWindows& windows = *ide.windows;
  // What the session takes from the main window: Text Bigger and Smaller are the legacy
  // editor's and hidden (so off) with the enhanced one.
  const char* const taken[] = {main_menu::EditTextBiggerMENUITM, main_menu::EditTextSmallerMENUITM,
                               main_menu::RunMENUITM};
  ASSERT_TRUE(ide.main_form->MenuItem(main_menu::RunMENUITM)->isEnabled());
  ASSERT_EQ(ide.forms->Form("TDebugFRM"), windows.DebugForm());
  ASSERT_EQ(ide.forms->Form("TZK_CodeFRM"), static_cast<QWidget*>(windows.ListForm()));

  // "/b" loads the program and debugs it: the programming runs on the key's worker, and its
  // report shows the debug window, whose session releases the chip at its reset vector.
  ide.main_form->PrepareRun();
  TDebugFRM& debug = *windows.DebugForm();
  ASSERT_TRUE(Until([&] { return debug.isVisible(); })) << ::testing::PrintToString(BoxTexts());
  const auto program = chip.Program();
  EXPECT_EQ(program[0], 0xC00);
  EXPECT_EQ(program[2048 - 3], 0xA00);  // the reset jump, moved into the monitor
  EXPECT_EQ(program[2047], 0xBFE);      // the jump into the monitor through the free pair
  ASSERT_TRUE(Until([&] { return debug.Button(debug_frm::StepBTN).isEnabled(); }));
  EXPECT_EQ(ide.session.Debug().Live().PC, 2047);

  // The session's windows: registers and (the built-in assembler's) code; the main window's
  // Run menu locked.
  EXPECT_TRUE(windows.RegisterForm()->isVisible());
  EXPECT_TRUE(windows.CodeForm()->isVisible());
  // The code window names the program it shows.
  EXPECT_EQ(windows.CodeForm()->windowTitle().toStdString(), "Code -  prog.cod");
  EXPECT_FALSE(windows.ListForm()->isVisible());
  for (const char* name : taken) EXPECT_FALSE(ide.main_form->MenuItem(name)->isEnabled()) << name;
  EXPECT_FALSE(debug.Button(debug_frm::HopBTN).isHidden());

  // Step: the reset jump runs, then the first word.
  keysim::RunScript script;
  script.steps = {0, 1};
  chip.SetRunScript(script);
  Step(debug);
  EXPECT_EQ(ide.session.Debug().Live().PC, 0);
  Step(debug);
  EXPECT_EQ(ide.session.Debug().Live().PC, 1);
  EXPECT_EQ(chip.Monitor().pc, 1);
  Shot("debug_session_builtin.png");

  // Quit ends the session: the views go, the Run menu comes back, the main window hears 4.
  debug.Button(debug_frm::QuitBTN).click();
  ASSERT_TRUE(Until([&] { return !debug.isVisible(); }));
  EXPECT_FALSE(windows.RegisterForm()->isVisible());
  EXPECT_FALSE(windows.CodeForm()->isVisible());
  // The session's end gives back everything its start took, also what was hidden then.
  EXPECT_TRUE(ide.main_form->MenuItem(main_menu::RunMENUITM)->isEnabled());
  ide.session.Globals().EditorOptions.UseNewEditor = false;
  ide.main_form->ApplyEditorMode();
  for (const char* name : taken) EXPECT_TRUE(ide.main_form->MenuItem(name)->isEnabled()) << name;
  ASSERT_FALSE(ide.notified.empty());
  EXPECT_EQ(ide.notified.back(), kKeyDebugHidden);
  ExpectOnlyTheFirstRunBox();
}

TEST_F(DebugWindowsTest, AProgramEndedDuringASessionSwitchesTheKeysClockOff) {
  std::ofstream(base_ + ".cod", std::ios::binary) << DebuggableProgram().Build();
  std::ofstream(base_ + ".LST", std::ios::binary) << "listing\r\n";
  auto& chip = Chip(kFusex);
  auto ide = std::make_unique<Ide>(boxes_, dialogs_, SessionFiles(),
                                   std::vector<std::string>{"/b", base_ + ".cod"});
  ide->main_form->PrepareRun();
  TDebugFRM& debug = *ide->windows->DebugForm();
  ASSERT_TRUE(Until([&] { return debug.Button(debug_frm::StepBTN).isEnabled(); }));
  EXPECT_TRUE(chip.ClockRunning());
  ide.reset();
  EXPECT_FALSE(chip.ClockRunning());
}

TEST_F(DebugWindowsTest, ATarnBuildIsDebuggedInTheListAndWatchWindows) {
  const std::string source = folder_.Path() + "my sources/prog.src";
  testing_gui::WriteFile(source,
                         "        DEVICE  QV18AC, OSCXT2\n"
                         "        FREQ    4_000_000\n"
                         "counter EQU     $09\n"
                         "        WATCH   counter,8,UHEX\n"
                         "        ORG     0\n"
                         "Main    CLR     counter\n"
                         "loop    INC     counter\n"
                         "        JMP     loop\n"
                         "        RESET   Main\n"
                         "        END\n");
  auto& chip = Chip(0x0BFF);  // the fuses tarn gives the QV18AC: eight banks
  Ide ide(boxes_, dialogs_, SessionFiles(), {});
  DebugWindows& windows = *ide.windows;
  TEditorFRM& main_form = *ide.main_form;
  main_form.PrepareRun();
  main_form.show();
  main_form.OpenSourceFile(source);

  // Debug builds with tarn first; the session shows tarn's listing in the list window.
  try {
    main_form.ClickMenuItem(main_menu::RunDebugMENUITM);
  } catch (const workbench::SilentAbort&) {
    FAIL() << "aborted: " << ::testing::PrintToString(BoxTexts()) << " "
           << main_form.StatusPanel2().text().toStdString();
  }
  TDebugFRM& debug = *windows.DebugForm();
  ASSERT_TRUE(Until([&] { return debug.Button(debug_frm::StepBTN).isEnabled(); }))
      << ::testing::PrintToString(BoxTexts());
  TZK_CodeFRM& list = *windows.ListForm();
  EXPECT_TRUE(list.isVisible());
  EXPECT_TRUE(list.List().HoldsDebugListing());
  EXPECT_TRUE(windows.WatchForm()->isVisible());
  EXPECT_FALSE(windows.CodeForm()->isVisible());
  // Hop and Jog are the built-in listing's.
  EXPECT_TRUE(debug.Button(debug_frm::HopBTN).isHidden());
  EXPECT_EQ(chip.Program()[0], 0x069);  // CLR $09

  // Each step moves the next-run mark to the PC's line of the listing.
  auto line_with = [&](const std::string& text) {
    auto& memo = list.Scrivlet().Memo();
    for (int i = 0; i < memo.ParagraphCount(); ++i)
      if (memo.GetParagraphText(i).find(text) != std::string::npos) return i;
    return -1;
  };
  keysim::RunScript script;
  script.steps = {0, 1, 2, 1};
  chip.SetRunScript(script);
  Step(debug);
  EXPECT_EQ(list.List().NextRunLine(), line_with("Main    CLR     counter"));
  Step(debug);
  EXPECT_EQ(list.List().NextRunLine(), line_with("loop    INC     counter"));
  Step(debug);
  Step(debug);
  EXPECT_EQ(list.List().NextRunLine(), line_with("loop    INC     counter"));
  EXPECT_EQ(list.MarkedLines(), std::set<int>{line_with("loop    INC     counter")});
  for (QWidget* view :
       {static_cast<QWidget*>(windows.RegisterForm()), static_cast<QWidget*>(windows.WatchForm()),
        static_cast<QWidget*>(&list), static_cast<QWidget*>(&debug)})
    view->raise();
  Shot("debug_session_tarn.png");

  // The session's end takes the list window out of its debug mode and hides it.
  debug.Button(debug_frm::QuitBTN).click();
  ASSERT_TRUE(Until([&] { return !debug.isVisible(); }));
  EXPECT_FALSE(list.isVisible());
  EXPECT_FALSE(list.List().HoldsDebugListing());
  EXPECT_FALSE(windows.WatchForm()->isVisible());
  ExpectOnlyTheFirstRunBox();
}

}  // namespace
}  // namespace gui
