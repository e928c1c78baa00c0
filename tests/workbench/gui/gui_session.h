#pragma once
// A test's IDE session as the program starts one, headless: a program folder of its own with
// the tools installed in it and the settings file there (a fresh one is a first run), boxes and
// dialogs recorded and answered from the test's script, and the system's process runner.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "editor_control/paragraph.h"
#include "editor_control/scrivlet.h"
#include "installed_tools.h"
#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "services/gui/modal_dialogs.h"
#include "tests/services/temp_folder.h"
#include "workbench/error_marking.h"
#include "workbench/session/session.h"

namespace testing_gui {

// The real tarn, the one the build made beside QVKey.
inline std::string BuiltTarn() {
  return (std::filesystem::path(QVKEY_PROGRAM).parent_path() / "TARN.dll").string();
}

// Whether a line of an editor carries the error mark's style.
inline bool HasErrorMark(const scrivlet::TScrivlet& editor, int paragraph) {
  const auto* runs = scrivlet::para::Runs(editor.Table.Items(paragraph));
  if (!runs) return false;
  for (const scrivlet::TStyleRun& run : *runs)
    if (run.Context == workbench::kErrorMarkContext) return true;
  return false;
}

class GuiSessionTest : public ::testing::Test {
 protected:
  // `folder` names the program folder; `tarn` is the assembler installed in it (empty: a file
  // that only has to exist).
  explicit GuiSessionTest(const std::string& folder = "qv test", const std::string& tarn = "")
      : folder_(folder) {
    setup_.settings_file = folder_.Path() + "settings.txt";
    setup_.exe_folder = folder_.Path();
    setup_.windows = platform::WindowSockets(folder_.Path());
    InstallTools(folder_.Path(), tarn);
  }

  workbench::SessionServices Services() { return {boxes_, dialogs_, processes_}; }
  // A run of the program over the settings file; a session of an earlier run ends first.
  void StartSession(const workbench::SessionServices& services) {
    session_.reset();
    session_ = std::make_unique<workbench::IdeSession>(services, setup_);
  }
  void StartSession() { StartSession(Services()); }

  workbench::TempFolder folder_;
  workbench::SessionSetup setup_;
  platform::RecordingMessageBoxes boxes_;
  gui::RecordingModalDialogs dialogs_;
  platform::SystemProcessRunner processes_;
  std::unique_ptr<workbench::IdeSession> session_;
};

}  // namespace testing_gui
