#pragma once
// QVKey's main window started as the program starts it, headless: a session over a settings
// file of the test's own with the editor option stored, the main window, then the other forms
// (the configuration dialog among them reads the option and applies it).

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>
#include <vector>

#include "gui_session.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/ide_forms.h"

namespace testing_gui {

class StoredOptionStart : public GuiSessionTest {
 protected:
  StoredOptionStart() : GuiSessionTest("qv main window") { StartSession(); }

  // The start-up with "Use Enhanced Editor" stored as `enhanced` and a port chosen on an
  // earlier run (no first-run notice); the window is shown.
  void StartWithEditorOption(bool enhanced, gui::FormServices services = {}) {
    workbench::RegistrySettings& settings = session_->Registry();
    ASSERT_TRUE(settings.WriteRegString("Configuration\\ComPort", "COM1"));
    ASSERT_TRUE(settings.WriteRegInt("Configuration\\UseNewEditor", enhanced ? 1 : 0));
    form_ =
        std::make_unique<gui::TEditorFRM>(*session_, std::vector<std::string>{}, QSize(800, 600));
    forms_ = std::make_unique<gui::IdeForms>(*form_, *session_, std::move(services));
    form_->show();
    QApplication::processEvents();
  }

  std::unique_ptr<gui::TEditorFRM> form_;
  std::unique_ptr<gui::IdeForms> forms_;
};

}  // namespace testing_gui
