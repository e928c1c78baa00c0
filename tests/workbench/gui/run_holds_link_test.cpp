// Every command that needs the key, started while a programming run holds the link, through
// the real main window offscreen with the windows and ties the program makes, against a slow
// simulated key: the command is off and, asked for all the same, refused at once. The window
// stays responsive, no byte of a second session reaches the key, and the chip holds exactly the
// first run's program. The device window's commands wait in the same way while the IDE's own
// debug session or clock window holds the key, and Configure during a run leaves the run its
// port.

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "build_debug/debug/gui/debug_form.h"
#include "build_debug/image/object_image.h"
#include "build_debug/key/gui/device_form.h"
#include "build_debug/key/gui/progress_form.h"
#include "build_debug/key/gui/qt_event_poster.h"
#include "editor_control/gui/scrivlet_widget.h"
#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "platform/serial_port.h"
#include "resources/widget_names.h"
#include "services/gui/modal_dialogs.h"
#include "tests/build_debug/debug/gui/wait_until.h"
#include "tests/keysim/chip_model.h"
#include "tests/keysim/simulated_key.h"
#include "tests/services/temp_folder.h"
#include "tests/workbench/gui/installed_tools.h"
#include "tests/workbench/gui/key_session_setup.h"
#include "workbench/gui/configuration_form.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/program_parts.h"
#include "workbench/gui/run_commands.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;
namespace device_frm = widget_names::DeviceFRM;
namespace debug_frm = widget_names::DebugFRM;

namespace gui {
namespace {

// The same program, with the chip's oscillator calibrated to 4 MHz before it is programmed.
constexpr char kCalibratedProgram[] =
    "        DEVICE  QV18AC, OSCRC\n"
    "        IRC_CAL IRC_4MHZ\n"
    "        ORG     0\n"
    "start   MOV     W,#$55\n"
    "        JMP     start\n"
    "        RESET   start\n"
    "        END\n";

// The main-window commands that need the key, and the tool buttons that click them.
constexpr const char* kKeyMenuItems[] = {
    main_menu::RunProgramMENUITM,    main_menu::RunRunMENUITM,   main_menu::RunDebugMENUITM,
    main_menu::RunDebugAgainMENUITM, main_menu::RunClockMENUITM, main_menu::QvFactoryTestMENUITM};
constexpr const char* kKeyToolButtons[] = {editor_frm::ProgramTBTN, editor_frm::RunTBTN,
                                           editor_frm::DebugTBTN, editor_frm::DebugAgainTBTN,
                                           editor_frm::ClockTBTN};
constexpr const char* kDeviceKeyButtons[] = {device_frm::ProgramBTN, device_frm::VerifyBTN,
                                             device_frm::ReadBTN};

// Runs the outside programs (tarn) as the system does; `during` runs once while the next one
// runs, as the window's events do while the IDE waits for it.
class BuildLettingTheWindowWork : public platform::ProcessRunner {
 public:
  platform::ProcessResult Run(const platform::ProcessLaunch& launch) override {
    if (during) std::exchange(during, {})();
    return system_.Run(launch);
  }
  std::function<void()> during;

 private:
  platform::SystemProcessRunner system_;
};

class RunHoldsLink : public ::testing::Test {
 protected:
  RunHoldsLink() {
    boxes_.AnswerWithFirstButton();
    chip_.Install(key_);
    source_ = folder_.Path() + "held.src";
    std::ofstream(source_) << kStoringProgram;
  }
  ~RunHoldsLink() override {
    if (session_) {
      session_->KeyNotices().Unbind([] { QApplication::processEvents(); });
      session_->KeyUnit().QVU_Cleanup();
    }
    bound_.reset();
    forms_.reset();
    form_.reset();
  }

  // The main window with the program's own windows and ties, the source open and built; the
  // first dialog is accepted unless the test scripts its own.
  TEditorFRM& Start(bool accept_first_dialog = true) {
    workbench::SessionServices services{boxes_, dialogs_, processes_};
    services.events = &events_;
    session_ = std::make_unique<workbench::IdeSession>(services, setup_);
    ports_ = std::make_unique<platform::TermiosSerialPortOpener>(session_->Resolver());
    session_->BindSerialPorts(*ports_);
    form_ = std::make_unique<TEditorFRM>(*session_, std::vector<std::string>{}, QSize(800, 600));
    ProgramParts parts = BuildDebugParts(events_);
    FormServices form_services;
    form_services.makers = std::move(parts.makers);
    forms_ = std::make_unique<IdeForms>(*form_, *session_, std::move(form_services));
    bound_ = parts.bind(*form_, *forms_, *session_);
    progress_ = static_cast<TProgressFRM*>(forms_->Form("TProgressFRM"));
    device_ = static_cast<TDeviceFRM*>(forms_->Form("TDeviceFRM"));
    form_->show();
    form_->OpenSourceFile(source_);
    boxes_.Clear();
    if (accept_first_dialog) dialogs_.Answer(QDialog::Accepted);
    return *form_;
  }

  // Program from the Run menu; returns once the words go out (or, calibrating, once the
  // oscillator is being measured) with what the run programs.
  build_debug::WordArray StartRun(bool calibrating) {
    form_->ClickMenuItem(main_menu::RunProgramMENUITM);
    const build_debug::WordArray programmed = session_->Image().ProgrammingImage;
    const std::string calibrating_label = "Calibrating...";
    EXPECT_TRUE(Until([&] {
      return calibrating ? progress_->OperationLabel().text().toStdString() == calibrating_label
                         : progress_->CancelButton().isVisible();
    }));
    return programmed;
  }

  bool RunHeld() const { return session_->KeyUnit().RunHoldsLink(); }

  std::vector<bool> DeviceKeyButtonsEnabled() const {
    std::vector<bool> enabled;
    for (const char* button : kDeviceKeyButtons)
      enabled.push_back(device_->Button(button).isEnabled());
    return enabled;
  }
  // The device window's commands as the user asks for them, off or not.
  void ClickEveryDeviceKeyCommand() {
    device_->VerifyBTNClick();
    device_->ReadBTNClick();
    device_->ProgramBTNClick();
    QApplication::processEvents();
  }
  // The plain command bytes since the last handshake end with the clock off and the close.
  bool KeyHeardTheClockOffAndTheClose() const {
    const std::vector<std::uint8_t> bytes = key_.CommandBytes();
    return bytes.size() >= 2 && bytes[bytes.size() - 2] == 9 && bytes.back() == 0;
  }
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : boxes_.Boxes()) texts.push_back(box.caption + "|" + box.text);
    return texts;
  }

  // What the commands that need the key show.
  std::vector<bool> KeyCommandsEnabled() const {
    std::vector<bool> enabled;
    for (const char* item : kKeyMenuItems) enabled.push_back(form_->MenuItem(item)->isEnabled());
    for (const char* button : kKeyToolButtons)
      enabled.push_back(form_->Run().ToolButton(button)->isEnabled());
    for (const char* button : kDeviceKeyButtons)
      enabled.push_back(device_->Button(button).isEnabled());
    return enabled;
  }
  static std::vector<bool> All(bool value) {
    return std::vector<bool>(std::size(kKeyMenuItems) + std::size(kKeyToolButtons) +
                                 std::size(kDeviceKeyButtons),
                             value);
  }

  void ExpectChipHolds(const build_debug::WordArray& words) {
    const std::vector<std::uint16_t> program = chip_.Program();
    for (std::size_t i = 0; i < 2048; ++i)
      ASSERT_EQ(program[i], words[i] & build_debug::kInstructionBits) << "word " << i;
    const auto id = chip_.IdWords();
    for (std::size_t i = 0; i < id.size(); ++i)
      EXPECT_EQ(id[i], words[build_debug::kIdWordsIndex + i] & build_debug::kInstructionBits);
    EXPECT_EQ(chip_.Fuse(), words[build_debug::kFuseIndex] & build_debug::kInstructionBits);
  }

  workbench::TempFolder folder_{"qv run holds link"};
  // Slow replies keep the run going for a few seconds.
  keysim::SimulatedKey key_{[] {
    keysim::KeyConfig slow;
    slow.reply_delay = std::chrono::milliseconds(15);
    return slow;
  }()};
  keysim::ChipModel chip_;
  std::string source_;
  platform::RecordingMessageBoxes boxes_;
  RecordingModalDialogs dialogs_;
  BuildLettingTheWindowWork processes_;
  QtEventPoster events_;
  workbench::SessionSetup setup_ =
      KeySessionSetup(folder_.Path(), [this] { return key_.DevicePath(); });
  std::unique_ptr<workbench::IdeSession> session_;
  std::unique_ptr<platform::TermiosSerialPortOpener> ports_;
  std::unique_ptr<TEditorFRM> form_;
  std::unique_ptr<IdeForms> forms_;
  std::shared_ptr<void> bound_;
  TProgressFRM* progress_ = nullptr;
  TDeviceFRM* device_ = nullptr;
};

// A command that needs the key, as the user starts it: from the menu, or the device window's
// button (the handler itself: a button that is off takes no click).
struct Command {
  const char* name;
  bool during_calibration;
  const char* menu_item;  // or
  void (*device_click)(TDeviceFRM&);
};

void PrintTo(const Command& command, std::ostream* out) { *out << command.name; }

class EveryKeyCommand : public RunHoldsLink, public ::testing::WithParamInterface<Command> {};

TEST_P(EveryKeyCommand, IsOffAndRefusedUntilTheRunLetsTheLinkGo) {
  const Command& command = GetParam();
  TEditorFRM& form = Start();
  device_->show();
  // QvFactory Test is off until the factory asks for it; the others are on.
  const std::vector<bool> before = KeyCommandsEnabled();
  if (command.during_calibration) {
    const std::string calibrated = folder_.Path() + "calibrated.src";
    std::ofstream(calibrated) << kCalibratedProgram;
    form.OpenSourceFile(calibrated);
  }
  const build_debug::WordArray programmed = StartRun(command.during_calibration);
  ASSERT_TRUE(RunHeld());
  EXPECT_EQ(KeyCommandsEnabled(), All(false));

  if (command.menu_item)
    form.ClickMenuItem(command.menu_item);
  else
    command.device_click(*device_);
  // The command came back while the run still goes: nothing waited for it.
  EXPECT_TRUE(RunHeld());
  EXPECT_EQ(KeyCommandsEnabled(), All(false));
  EXPECT_FALSE(form.MenuItem(main_menu::QvFactoryTestMENUITM)->isChecked());

  ASSERT_TRUE(Until([&] { return !RunHeld() && KeyCommandsEnabled() == before; }));
  EXPECT_EQ(session_->KeyUnit().LastRunOutcome(), build_debug::RunOutcome::kProgrammed);
  EXPECT_EQ(key_.Handshakes(), 1) << "a second session reached the key";
  ExpectChipHolds(programmed);
  EXPECT_TRUE(boxes_.Boxes().empty()) << boxes_.Boxes().front().text;
  EXPECT_FALSE(progress_->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    DuringARun, EveryKeyCommand,
    ::testing::Values(
        Command{"Program", false, main_menu::RunProgramMENUITM, nullptr},
        Command{"Run", false, main_menu::RunRunMENUITM, nullptr},
        Command{"Debug", false, main_menu::RunDebugMENUITM, nullptr},
        Command{"DebugReenter", false, main_menu::RunDebugAgainMENUITM, nullptr},
        Command{"Clock", false, main_menu::RunClockMENUITM, nullptr},
        Command{"QvFactoryTest", false, main_menu::QvFactoryTestMENUITM, nullptr},
        Command{"DeviceProgram", false, nullptr, [](TDeviceFRM& d) { d.ProgramBTNClick(); }},
        Command{"DeviceVerify", false, nullptr, [](TDeviceFRM& d) { d.VerifyBTNClick(); }},
        Command{"DeviceRead", false, nullptr, [](TDeviceFRM& d) { d.ReadBTNClick(); }},
        Command{"ProgramWhileCalibrating", true, main_menu::RunProgramMENUITM, nullptr}),
    [](const ::testing::TestParamInfo<Command>& info) { return std::string(info.param.name); });

// The keys of the commands that are off during the run, pressed in the editor as an impatient
// user does: none does anything, and none reaches the editor as an edit (its Ctrl+P would put
// a page break in place of the selected line).
TEST_F(RunHoldsLink, TheKeysOfTheCommandsThatAreOffNeverReachTheEditor) {
  TEditorFRM& form = Start();
  form.activateWindow();
  QWidget* editor = form.CurrentScrivlet();
  editor->setFocus();
  scrivlet::TScrivlet& memo = form.CurrentScrivlet()->Memo();
  const std::string text = memo.Text();
  memo.Select(0, memo.ParagraphStart(1));
  const build_debug::WordArray programmed = StartRun(false);
  ASSERT_TRUE(RunHeld());
  for (const Qt::Key key : {Qt::Key_P, Qt::Key_R, Qt::Key_D, Qt::Key_K}) {
    SCOPED_TRACE(key);
    QTest::keyClick(editor, key, Qt::ControlModifier);
    EXPECT_EQ(memo.Text(), text);
    EXPECT_FALSE(memo.Modified());
  }
  EXPECT_TRUE(RunHeld());
  ASSERT_TRUE(Until([&] { return !RunHeld(); }));
  EXPECT_EQ(key_.Handshakes(), 1);
  ExpectChipHolds(programmed);
  EXPECT_EQ(memo.Text(), text);
  EXPECT_EQ(memo.SelLower(), 0) << "the selected line stays selected";
  EXPECT_EQ(memo.SelUpper(), memo.ParagraphStart(1));
}

// A second Program leaves the window with the user: the first run's Cancel still works.
TEST_F(RunHoldsLink, ASecondProgramLeavesTheFirstRunsCancelWorking) {
  TEditorFRM& form = Start();
  const build_debug::WordArray programmed = StartRun(false);
  form.ClickMenuItem(main_menu::RunProgramMENUITM);
  ASSERT_TRUE(RunHeld());
  progress_->CancelButton().click();
  ASSERT_TRUE(Until([&] { return !RunHeld(); }));
  EXPECT_EQ(session_->KeyUnit().LastRunOutcome(), build_debug::RunOutcome::kCancelled);
  EXPECT_EQ(key_.Handshakes(), 1);
  EXPECT_NE(programmed[2047] & build_debug::kInstructionBits, 0x0FFF);
  EXPECT_EQ(chip_.Program()[2047], 0x0FFF);  // cancelled before the reset vector went out
  EXPECT_TRUE(boxes_.Boxes().empty());
}

// A command's build lets the window work: the device window's Program, clicked meanwhile, starts
// a run. The command then leaves the key to that run: no check of the key reaches the port the
// run is using, nothing is said, and the run programs the chip.
TEST_F(RunHoldsLink, ACommandWhoseBuildLetARunStartLeavesTheKeyToIt) {
  for (const char* command :
       {main_menu::RunDebugMENUITM, main_menu::RunDebugAgainMENUITM, main_menu::RunRunMENUITM}) {
    SCOPED_TRACE(command);
    TEditorFRM& form = Start();
    form.ClickMenuItem(main_menu::RunAssembleMENUITM);
    ASSERT_TRUE(session_->AssembleCompile().LastBuildOk());
    const int handshakes = key_.Handshakes();
    const build_debug::WordArray programmed = session_->Image().WorkingImage;
    processes_.during = [this] { device_->ProgramBTNClick(); };
    form.ClickMenuItem(command);
    ASSERT_TRUE(RunHeld());
    ASSERT_TRUE(Until([&] { return !RunHeld(); }));
    EXPECT_EQ(session_->KeyUnit().LastRunOutcome(), build_debug::RunOutcome::kProgrammed);
    EXPECT_EQ(key_.Handshakes(), handshakes + 1);
    ExpectChipHolds(programmed);
    EXPECT_TRUE(boxes_.Boxes().empty()) << ::testing::PrintToString(BoxTexts());
    EXPECT_FALSE(forms_->Form("TDebugFRM")->isVisible());
    session_->KeyNotices().Unbind([] { QApplication::processEvents(); });
    session_->KeyUnit().QVU_Cleanup();
    bound_.reset();
    forms_.reset();
    form_.reset();
    session_.reset();
  }
}

// The IDE's own debug session holds the key: the device window's Program, Verify and Read are
// off as during a run and, asked for all the same, leave the session alone. It goes on, and its
// end switches the key's clock off and closes the link on the wire.
TEST_F(RunHoldsLink, ADebugSessionKeepsTheKeyFromTheDeviceWindow) {
  TEditorFRM& form = Start();
  device_->show();
  form.ClickMenuItem(main_menu::RunDebugMENUITM);
  auto& debug = *static_cast<TDebugFRM*>(forms_->Form("TDebugFRM"));
  ASSERT_TRUE(Until([&] {
    return debug.isVisible() && debug.Button(debug_frm::StepBTN).isEnabled();
  })) << ::testing::PrintToString(BoxTexts());
  const int handshakes = key_.Handshakes();
  EXPECT_EQ(DeviceKeyButtonsEnabled(), std::vector<bool>(3, false));

  ClickEveryDeviceKeyCommand();
  EXPECT_TRUE(boxes_.Boxes().empty()) << ::testing::PrintToString(BoxTexts());
  EXPECT_TRUE(debug.isVisible());
  EXPECT_TRUE(session_->KeyLink().IsLinkOpen());
  EXPECT_EQ(key_.Handshakes(), handshakes);
  debug.Button(debug_frm::StepBTN).click();
  ASSERT_TRUE(Until([&] { return debug.Button(debug_frm::StepBTN).isEnabled(); }));
  EXPECT_FALSE(KeyHeardTheClockOffAndTheClose());

  debug.Button(debug_frm::QuitBTN).click();
  ASSERT_TRUE(Until([&] { return !debug.isVisible() && KeyHeardTheClockOffAndTheClose(); }));
  EXPECT_FALSE(session_->KeyLink().IsLinkOpen());
  EXPECT_EQ(DeviceKeyButtonsEnabled(), std::vector<bool>(3, true));
  EXPECT_TRUE(boxes_.Boxes().empty()) << ::testing::PrintToString(BoxTexts());
}

// The clock window holds the key while it is up, in the same way.
TEST_F(RunHoldsLink, TheClockWindowKeepsTheKeyFromTheDeviceWindow) {
  TEditorFRM& form = Start(false);
  device_->show();
  std::vector<bool> enabled_while_up;
  bool link_kept = false;
  dialogs_.Answer(QDialog::Accepted, [&](QDialog& clock) {
    clock.show();
    enabled_while_up = DeviceKeyButtonsEnabled();
    ClickEveryDeviceKeyCommand();
    link_kept = session_->KeyLink().IsLinkOpen();
    clock.hide();
  });
  form.ClickMenuItem(main_menu::RunClockMENUITM);
  EXPECT_EQ(enabled_while_up, std::vector<bool>(3, false));
  EXPECT_TRUE(link_kept);
  EXPECT_TRUE(boxes_.Boxes().empty()) << ::testing::PrintToString(BoxTexts());
  EXPECT_FALSE(session_->KeyLink().IsLinkOpen());
  EXPECT_EQ(DeviceKeyButtonsEnabled(), std::vector<bool>(3, true));
}

// Configure's OK while a run has just started, its worker opening the port, chooses the port of
// the next run: the run goes on on the port it started on, found through the settings, which
// Configure writes meanwhile. (Under ThreadSanitizer this shows that the worker reads neither
// the port's name nor the settings.)
TEST_F(RunHoldsLink, ConfigureDuringARunChoosesThePortOfTheNextRun) {
  TEditorFRM& form = Start(false);
  ASSERT_TRUE(session_->Registry().WriteRegString("SerialDevices\\COM2", key_.DevicePath()));
  session_->KeyLink().SetComPort("COM2");
  form.ClickMenuItem(main_menu::RunProgramMENUITM);
  const build_debug::WordArray programmed = session_->Image().ProgrammingImage;
  ASSERT_TRUE(RunHeld());
  dialogs_.Answer(QDialog::Accepted, [](QDialog& dialog) {
    auto& config = static_cast<workbench::TConfigFRM&>(dialog);
    config.SetPortNames({"COM1", "COM2", "COM3"});
    config.PortRDGRP->SetItemIndex(2);
    config.OkBTN->click();
  });
  form.ClickMenuItem(main_menu::RunConfigureMENUITM);
  EXPECT_EQ(session_->KeyLink().GetComPortName(), "COM3");
  std::string stored;
  EXPECT_TRUE(session_->Registry().ReadRegString("Configuration\\ComPort", stored));
  EXPECT_EQ(stored, "COM3");

  ASSERT_TRUE(Until([&] { return !RunHeld(); }));
  EXPECT_EQ(session_->KeyUnit().LastRunOutcome(), build_debug::RunOutcome::kProgrammed);
  EXPECT_EQ(key_.Handshakes(), 1);
  ExpectChipHolds(programmed);
  EXPECT_TRUE(boxes_.Boxes().empty()) << ::testing::PrintToString(BoxTexts());
}

}  // namespace
}  // namespace gui
