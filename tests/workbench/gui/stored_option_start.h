#pragma once
// QVKey's main window started as the program starts it, headless: a session over a settings
// file of the test's own with the editor option stored, the main window, then the other forms
// (the configuration dialog among them reads the option and applies it).

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "../temp_folder.h"
#include "installed_tools.h"
#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/modal_dialogs.h"
#include "workbench/session/session.h"

namespace testing_gui {

class StoredOptionStart : public ::testing::Test {
 protected:
  StoredOptionStart() {
    setup_.settings_file = folder_.Path() + "settings.txt";
    setup_.exe_folder = folder_.Path();
    setup_.windows = platform::WindowSockets(folder_.Path());
    InstallTools(folder_.Path());
    session_ = std::make_unique<workbench::IdeSession>(
        workbench::SessionServices{boxes_, dialogs_, processes_}, setup_);
  }

  // The start-up with "Use Enhanced Editor" stored as `enhanced` and a port chosen on an
  // earlier run (no first-run notice); the window is shown.
  void StartWithEditorOption(bool enhanced, gui::FormServices services = {}) {
    workbench::RegistrySettings& settings = session_->Registry();
    ASSERT_TRUE(settings.WriteRegString("Configuration\\ComPort", "COM1"));
    ASSERT_TRUE(settings.WriteRegInt("Configuration\\UseNewEditor", enhanced ? 1 : 0));
    form_ = std::make_unique<gui::TEditorFRM>(*session_, std::vector<std::string>{},
                                              QSize(800, 600));
    forms_ = std::make_unique<gui::IdeForms>(*form_, *session_, std::move(services));
    form_->show();
    QApplication::processEvents();
  }

  workbench::TempFolder folder_{"qv main window"};
  workbench::SessionSetup setup_;
  platform::RecordingMessageBoxes boxes_;
  gui::RecordingModalDialogs dialogs_;
  platform::SystemProcessRunner processes_;
  std::unique_ptr<workbench::IdeSession> session_;
  std::unique_ptr<gui::TEditorFRM> form_;
  std::unique_ptr<gui::IdeForms> forms_;
};

}  // namespace testing_gui
