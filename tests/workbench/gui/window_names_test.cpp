// Each name generated from a form or menu table names a widget or an action of the window
// that the table localizes: a window that renames a part, or a table line that names nothing,
// shows here instead of as a text that silently stays as designed.

#include <gtest/gtest.h>

#include <QObject>
#include <QSize>
#include <set>
#include <string>

#include "gui_session.h"
#include "resources/widget_names.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/ide_forms.h"

namespace {

// The object itself or one of its children, at any depth, carries the name.
bool HasPartNamed(const QObject& window, const char* name) {
  return window.objectName() == QLatin1String(name) ||
         window.findChild<QObject*>(QLatin1String(name)) != nullptr;
}

class WindowNamesTest : public testing_gui::GuiSessionTest {
 protected:
  WindowNamesTest() { StartSession(); }
};

TEST_F(WindowNamesTest, TheWorkbenchWindowsHaveEveryNameOfTheirTables) {
  gui::TEditorFRM main_form(*session_, {}, QSize(800, 600));
  boxes_.Answer(platform::kAnswerOk);  // the first run's notice before the configuration
  gui::IdeForms forms(main_form, *session_);
  // The tables of the main window, and the dialogs' tables by the class of their dialog.
  namespace names = widget_names;
  const std::set<std::string> main_window_tables = {names::MainMenu::MainMenu,
                                                    names::EditorFRM::EditorFRM,
                                                    names::FilesLoadedPOPMNU::FilesLoadedPOPMNU};
  const std::set<std::string> dialog_tables = {names::AboutFRM::AboutFRM,
                                               names::ConfigFRM::ConfigFRM,
                                               names::GotoLineNumDLG::GotoLineNumDLG};
  std::set<std::string> checked;
  for (const names::TableName& named : names::kEveryName) {
    const QObject* window = nullptr;
    if (main_window_tables.contains(named.table)) window = &main_form;
    if (dialog_tables.contains(named.table)) window = forms.Form(std::string("T") + named.table);
    if (window == nullptr) continue;  // a window of build and debug
    EXPECT_TRUE(HasPartNamed(*window, named.name)) << named.table << "::" << named.name;
    checked.insert(named.table);
  }
  EXPECT_EQ(checked.size(), main_window_tables.size() + dialog_tables.size());
}

}  // namespace
