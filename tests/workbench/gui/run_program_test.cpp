// Program and Run end to end against the simulated key: the real QVKey started with
// "/h /p file.src" assembles, programs and ends by itself; in-process, the main window with the
// progress window and the key's reports as the program binds them: a Cancel ends the
// unattended run, Run's clock notice waits for the run to end well, and Run in Wrenfield mode
// programs the loaded program.

#include <sys/wait.h>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

#include "build_debug/image/object_image.h"
#include "build_debug/key/gui/progress_form.h"
#include "build_debug/key/gui/qt_key_notifications.h"
#include "build_debug/tools/tarn_bridge.h"
#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "platform/serial_port.h"
#include "resources/code_widget_names.h"
#include "services/exit_codes.h"
#include "services/gui/modal_dialogs.h"
#include "services/message_strings.h"
#include "services/program_runner.h"
#include "tests/build_debug/debug/gui/wait_until.h"
#include "tests/build_debug/tools/tarn_object.h"
#include "tests/keysim/chip_model.h"
#include "tests/keysim/simulated_key.h"
#include "tests/services/temp_folder.h"
#include "tests/workbench/gui/installed_tools.h"
#include "tests/workbench/gui/key_session_setup.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/run_commands.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;
namespace notice_form = widget_names::NoticeForm;

namespace gui {
namespace {

std::vector<std::string> ReadLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class RunProgram : public ::testing::Test {
 protected:
  RunProgram() {
    chip_.Install(key_);
    source_ = folder_.Path() + "my prog.src";
    std::ofstream(source_) << kStoringProgram;
  }

  void ExpectChipHolds(const build_debug::WordArray& words) {
    const std::vector<std::uint16_t> program = chip_.Program();
    ASSERT_GE(program.size(), 2048u);
    for (std::size_t i = 0; i < 2048; ++i)
      ASSERT_EQ(program[i], words[i] & build_debug::kInstructionBits) << "word " << i;
    EXPECT_EQ(chip_.Fuse(), words[build_debug::kFuseIndex] & build_debug::kInstructionBits);
  }

  workbench::TempFolder folder_{"qv run program"};
  keysim::SimulatedKey key_;
  keysim::ChipModel chip_;
  std::string source_;
};

// The real program, headless: its boxes go to a log.
class HiddenProgramRun : public RunProgram {
 protected:
  int Run(const std::string& port_path, const std::string& switches = "/h /p") {
    const std::string command = "QT_QPA_PLATFORM=offscreen QVKEY_BOX_LOG='" + Log() +
                                "' QVKEY_SETTINGS_FILE='" + folder_.Path() +
                                "settings.txt' QVKEY_COM1='" + port_path + "' timeout 60 '" +
                                installed_.Program() + "' " + switches + " '" + source_ + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Log() const { return folder_.Path() + "boxes.log"; }

  testing_gui::InstalledProgram installed_{QVKEY_PROGRAM};
};

TEST_F(HiddenProgramRun, AssemblesProgramsAndEndsByItself) {
  ASSERT_EQ(Run(key_.DevicePath()), workbench::kExitDone);
  // A first run: only the configuration notice.
  EXPECT_EQ(ReadLines(Log()), std::vector<std::string>{testing_gui::kFirstRunBox});
  const std::string tools =
      std::filesystem::path(installed_.Program()).parent_path().string() + "/";
  ExpectChipHolds(build_debug::TarnObject(tools, source_));
}

TEST_F(HiddenProgramRun, AKeyThatDoesNotAnswerIsToldAndTheRunEnds) {
  keysim::KeyConfig silent;
  silent.silent = true;
  keysim::SimulatedKey nobody(silent);
  ASSERT_EQ(Run(nobody.DevicePath()), workbench::kExitLinkFailed);
  EXPECT_EQ(ReadLines(Log()),
            (std::vector<std::string>{testing_gui::kFirstRunBox,
                                      "QVKey <-> PC Communication Error|QV-Key not found on "
                                      "COM1|ok"}));
}

// A hidden debug run that cannot debug has no debug window whose close would end it: it says
// why and ends with the code of a failed link, whether no key answered ("/d" checks the key
// first, "/da" opens it for the session) or the key refused to program the chip for debug.
TEST_F(HiddenProgramRun, AHiddenDebugRunThatCannotDebugSaysWhyAndEnds) {
  const auto first_run = [this] {
    std::filesystem::remove(Log());
    std::filesystem::remove(folder_.Path() + "settings.txt");
  };
  keysim::KeyConfig silent;
  silent.silent = true;
  keysim::SimulatedKey nobody(silent);
  for (const char* switches : {"/1 /h /d", "/h /da"}) {
    SCOPED_TRACE(switches);
    first_run();
    EXPECT_EQ(Run(nobody.DevicePath(), switches), workbench::kExitLinkFailed);
    EXPECT_EQ(ReadLines(Log()),
              (std::vector<std::string>{testing_gui::kFirstRunBox,
                                        "QVKey <-> PC Communication Error|QV-Key not found on "
                                        "COM1|ok"}));
  }
  keysim::ChipConfig no_vpp;
  no_vpp.status[1] = 1;  // the erase fails
  keysim::SimulatedKey refusing_key;
  keysim::ChipModel refusing_chip(no_vpp);
  refusing_chip.Install(refusing_key);
  first_run();
  EXPECT_EQ(Run(refusing_key.DevicePath(), "/h /d"), workbench::kExitLinkFailed);
  EXPECT_EQ(ReadLines(Log()), (std::vector<std::string>{testing_gui::kFirstRunBox,
                                                        "QvKey Error|Vpp generation failed|ok"}));
}

TEST_F(HiddenProgramRun, AFailedBuildIsToldAndTheRunEndsWithoutProgramming) {
  std::ofstream(source_) << "        DEVICE  QV18AC, OSCRC\n        JMP     nowhere\n        END\n";
  ASSERT_EQ(Run(key_.DevicePath()), workbench::kExitBuildFailed);
  EXPECT_EQ(ReadLines(Log()),
            (std::vector<std::string>{testing_gui::kFirstRunBox,
                                      "TARN Error|Unable to assemble due to errors in source "
                                      "code.|ok"}));
  EXPECT_EQ(key_.Handshakes(), 0);
}

TEST_F(HiddenProgramRun, AVerifiedRunEndsWellOnlyWhenTheChipReadsBackAsProgrammed) {
  ASSERT_EQ(Run(key_.DevicePath(), "/h /p /v"), workbench::kExitDone);
  EXPECT_EQ(ReadLines(Log()), std::vector<std::string>{testing_gui::kFirstRunBox});
  EXPECT_EQ(chip_.Releases(), 1);  // the read released the chip

  // A 4,096-word chip in the socket takes the 2,048-word program and reads back as itself.
  keysim::ChipConfig big;
  big.device4k = true;
  big.fusex = 0x0FFF;
  keysim::SimulatedKey other_key;
  keysim::ChipModel other_chip(big);
  other_chip.Install(other_key);
  std::filesystem::remove(Log());
  std::filesystem::remove(folder_.Path() + "settings.txt");  // a first run again, on COM1
  EXPECT_EQ(Run(other_key.DevicePath(), "/h /p /v"), workbench::kExitVerifyFailed);
  EXPECT_EQ(ReadLines(Log()), (std::vector<std::string>{testing_gui::kFirstRunBox,
                                                        "Device|Verify failed at Device|ok"}));
}

// The main window in-process, with the progress window and the key's reports bound as the
// program binds them; the reports the main window heard are kept.
class MainWindowRun : public RunProgram {
 protected:
  MainWindowRun() { boxes_.AnswerWithFirstButton(); }
  ~MainWindowRun() override {
    if (session_) session_->KeyNotices().Unbind([] { QApplication::processEvents(); });
    forms_.reset();
    form_.reset();
  }

  TEditorFRM& Start(std::vector<std::string> parameters) {
    session_ = std::make_unique<workbench::IdeSession>(
        workbench::SessionServices{boxes_, dialogs_, processes_}, setup_);
    ports_ = std::make_unique<platform::TermiosSerialPortOpener>(session_->Resolver());
    session_->BindSerialPorts(*ports_);
    form_ = std::make_unique<TEditorFRM>(*session_, std::move(parameters), QSize(800, 600));
    QObject::connect(form_.get(), &TEditorFRM::Closed, [this] { ++closes_; });
    FormServices services;
    services.makers["TProgressFRM"] = [](TEditorFRM& owner, workbench::IdeSession& session) {
      return new TProgressFRM(
          session.Texts(), [&session] { session.KeyUnit().CancelProgramming(); }, &owner);
    };
    forms_ = std::make_unique<IdeForms>(*form_, *session_, std::move(services));
    progress_ = static_cast<TProgressFRM*>(forms_->Form("TProgressFRM"));
    notices_ = std::make_unique<QtKeyNotifications>(
        *progress_,
        [this](int code) {
          heard_.push_back(code);
          form_->Run().KeyNotify(code);
        },
        nullptr);
    session_->KeyNotices().Bind(notices_.get());
    boxes_.Clear();
    boxes_.AnswerWithFirstButton();
    return *form_;
  }

  bool Heard(int code) const {
    return std::find(heard_.begin(), heard_.end(), code) != heard_.end();
  }

  // A key of its own for the test, in place of the fixture's; COM1 leads to it.
  keysim::ChipModel& UseKey(keysim::KeyConfig config) {
    own_key_ = std::make_unique<keysim::SimulatedKey>(std::move(config));
    own_chip_ = std::make_unique<keysim::ChipModel>();
    own_chip_->Install(*own_key_);
    port_path_ = own_key_->DevicePath();
    return *own_chip_;
  }
  // Slow replies leave time to press Cancel while the words go out.
  keysim::ChipModel& UseSlowKey() {
    keysim::KeyConfig slow;
    slow.reply_delay = std::chrono::milliseconds(40);
    return UseKey(slow);
  }

  std::string port_path_ = key_.DevicePath();
  platform::RecordingMessageBoxes boxes_;
  RecordingModalDialogs dialogs_;
  platform::SystemProcessRunner processes_;
  workbench::SessionSetup setup_ = KeySessionSetup(folder_.Path(), [this] { return port_path_; });
  std::unique_ptr<workbench::IdeSession> session_;
  std::unique_ptr<platform::TermiosSerialPortOpener> ports_;
  std::unique_ptr<TEditorFRM> form_;
  std::unique_ptr<IdeForms> forms_;
  TProgressFRM* progress_ = nullptr;
  std::unique_ptr<QtKeyNotifications> notices_;
  std::vector<int> heard_;
  int closes_ = 0;
  std::unique_ptr<keysim::SimulatedKey> own_key_;
  std::unique_ptr<keysim::ChipModel> own_chip_;
};

TEST_F(MainWindowRun, ACancelEndsTheUnattendedRun) {
  UseSlowKey();

  TEditorFRM& form = Start({"/h", "/p", source_});
  EXPECT_FALSE(form.PrepareRun());
  ASSERT_TRUE(Until([this] { return progress_->CancelButton().isVisible(); }));
  progress_->CancelButton().click();
  ASSERT_TRUE(Until([this] { return closes_ > 0 && Heard(build_debug::kKeyCancelled); }));
  session_->KeyUnit().QVU_Cleanup();
  EXPECT_EQ(heard_, (std::vector<int>{build_debug::kKeyFinished, build_debug::kKeyCancelled}));
  EXPECT_FALSE(progress_->isVisible());
  EXPECT_TRUE(boxes_.Boxes().empty()) << "a cancel is no failure";
  EXPECT_FALSE(session_->KeyUnit().LastRunOk());
  EXPECT_EQ(form.Run().ExitCode(), workbench::kExitCancelled);
}

TEST_F(MainWindowRun, ACancelledRunSaysSoInTheStatusLine) {
  const keysim::ChipModel& chip = UseSlowKey();

  TEditorFRM& form = Start({});
  form.show();
  form.OpenSourceFile(source_);
  form.ClickMenuItem(main_menu::RunProgramMENUITM);
  ASSERT_TRUE(Until([this] { return progress_->CancelButton().isVisible(); }));
  EXPECT_EQ(form.StatusPanel2().text().toStdString(), "my prog.src : Assembly Successful");
  progress_->CancelButton().click();
  ASSERT_TRUE(Until([this] { return Heard(build_debug::kKeyCancelled); }));
  session_->KeyUnit().QVU_Cleanup();
  EXPECT_EQ(form.StatusPanel2().text().toStdString(),
            "Programming cancelled : the chip holds only part of the program");
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(chip.Program()[2047], 0x0FFF);                 // the reset vector never went out
  EXPECT_EQ(form.Run().ExitCode(), workbench::kExitDone);  // nothing asked from the command line
}

TEST_F(MainWindowRun, AProgramRunThatEndedWellSaysSoInTheStatusLine) {
  TEditorFRM& form = Start({});
  form.show();
  form.OpenSourceFile(source_);
  form.ClickMenuItem(main_menu::RunProgramMENUITM);
  ASSERT_TRUE(Until([this] { return Heard(build_debug::kKeyFinished); }));
  session_->KeyUnit().QVU_Cleanup();
  EXPECT_TRUE(session_->KeyUnit().LastRunOk());
  EXPECT_EQ(form.StatusPanel2().text().toStdString(), "Device programmed");
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MainWindowRun, RunTellsTheClockOnlyOnceTheRunHasEndedWell) {
  TEditorFRM& form = Start({});
  form.show();
  form.OpenSourceFile(source_);
  dialogs_.Answer(QDialog::Accepted);
  form.ClickMenuItem(main_menu::RunRunMENUITM);
  // The worker may still fail: nothing is told yet.
  EXPECT_TRUE(
      std::none_of(dialogs_.Dialogs().begin(), dialogs_.Dialogs().end(),
                   [](const DialogRecord& d) { return d.name == notice_form::ClockGenInfoFRM; }));
  ASSERT_TRUE(Until([this] { return Heard(build_debug::kKeyFinished); }));
  session_->KeyUnit().QVU_Cleanup();
  ASSERT_FALSE(dialogs_.Dialogs().empty());
  EXPECT_EQ(dialogs_.Dialogs().back().name, notice_form::ClockGenInfoFRM);
  EXPECT_EQ(form.StatusPanel2().text().toStdString(),
            "QV-Key is generating a clock signal of 50,000,000 Hz.");
  EXPECT_TRUE(chip_.ClockRunning());
  EXPECT_TRUE(boxes_.Boxes().empty());
  // The reports after the end do not bring the progress window back.
  QApplication::processEvents();
  EXPECT_FALSE(progress_->isVisible());
}

TEST_F(MainWindowRun, ARunThatFailsAfterItStartedTellsTheFailureAndNoClock) {
  // The key answers its handshakes and goes away while the words go out.
  keysim::KeyConfig unplugged;
  unplugged.hang_up_after = 300;
  UseKey(unplugged);

  TEditorFRM& form = Start({});
  form.show();
  form.OpenSourceFile(source_);
  form.ClickMenuItem(main_menu::RunRunMENUITM);
  ASSERT_TRUE(Until([this] { return Heard(build_debug::kKeyFailed); }));
  session_->KeyUnit().QVU_Cleanup();
  EXPECT_TRUE(dialogs_.Dialogs().empty() ||
              dialogs_.Dialogs().back().name != notice_form::ClockGenInfoFRM);
  ASSERT_FALSE(boxes_.Boxes().empty());
  EXPECT_EQ(boxes_.Boxes().back().caption, "QVKey <-> PC Communication Error");
  EXPECT_NE(form.StatusPanel2().text().toStdString().rfind("QV-Key is generating", 0), 0u);
}

TEST_F(MainWindowRun, RunInWrenfieldModeProgramsTheLoadedProgram) {
  TEditorFRM& form = Start({});
  session_->Globals().WrenfieldMode = true;
  build_debug::ObjectImage& image = session_->Image();
  // A program loaded into the working image; the programming image holds an older one.
  image.WorkingImage[0] = build_debug::UsedWord(0x0C05);
  image.WorkingImage[1] = build_debug::UsedWord(0x0A00);
  image.ProgrammingImage[0] = build_debug::UsedWord(0x0123);
  dialogs_.Answer(QDialog::Accepted);
  form.ClickMenuItem(main_menu::RunRunMENUITM);
  ASSERT_TRUE(Until([this] { return Heard(build_debug::kKeyFinished); }));
  session_->KeyUnit().QVU_Cleanup();
  EXPECT_EQ(chip_.Program()[0], 0x0C05);
  EXPECT_EQ(chip_.Program()[1], 0x0A00);
}

}  // namespace
}  // namespace gui
