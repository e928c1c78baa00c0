#pragma once
// A test's IDE session over a program folder of its own with the real tarn beside it (the one
// the build made next to QVKey), and a source folder whose name holds a blank and parentheses.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "../temp_folder.h"
#include "installed_tools.h"
#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "workbench/gui/modal_dialogs.h"
#include "workbench/session/session.h"

namespace testing_gui {

class RealTarnSessionTest : public ::testing::Test {
 protected:
  explicit RealTarnSessionTest(const std::string& name) : folder_(name) {
    setup_.settings_file = folder_.Path() + "settings.txt";
    setup_.exe_folder = folder_.Path();
    setup_.windows = platform::WindowSockets(folder_.Path());
    InstallTools(folder_.Path(),
                 (std::filesystem::path(QVKEY_PROGRAM).parent_path() / "TARN.dll").string());
    session_ = std::make_unique<workbench::IdeSession>(
        workbench::SessionServices{boxes_, dialogs_, processes_}, setup_);
  }

  // Writes a source below the source folder; its full name.
  std::string Source(const std::string& name, const std::string& text) {
    const std::string path = sources_ + name;
    WriteFile(path, text);
    return path;
  }

  workbench::TempFolder folder_;
  std::string sources_ = folder_.Path() + "my src (v2)/";
  platform::RecordingMessageBoxes boxes_;
  gui::RecordingModalDialogs dialogs_;
  platform::SystemProcessRunner processes_;
  workbench::SessionSetup setup_;
  std::unique_ptr<workbench::IdeSession> session_;
};

// A main file with one error and an include file in a folder below it with two.
inline constexpr const char* kMainWithErrors =
    "        DEVICE  QV18AC, OSCXT2\n"
    "        FREQ    4_000_000\n"
    "        IRC_CAL IRC_4MHZ\n"
    "        ORG     0\n"
    "        INCLUDE \"inc dir/defs (1).inc\"\n"
    "start   MOV     W,#1 ; one\n"
    "        JMP     nowhere\n"
    "        RESET   start\n"
    "        END\n";
inline constexpr const char* kIncludeName = "inc dir/defs (1).inc";
inline constexpr const char* kIncludeWithErrors =
    "; definitions\n"
    "        JMP     missing1\n"
    "        NOP\n"
    "        JMP     missing2\n";

}  // namespace testing_gui
