// Each name generated from the form tables of build, program and debug names a part of the
// window that the table localizes (the workbench's own windows are checked beside their tests).

#include <gtest/gtest.h>

#include <QObject>
#include <QSize>
#include <set>
#include <string>
#include <vector>

#include "build_debug/key/gui/qt_event_poster.h"
#include "resources/widget_names.h"
#include "tests/workbench/gui/gui_session.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/program_parts.h"

namespace {

namespace names = widget_names;

bool HasPartNamed(const QObject& window, const char* name) {
  return window.objectName() == QLatin1String(name) ||
         window.findChild<QObject*>(QLatin1String(name)) != nullptr;
}

class BuildDebugWindowNames : public testing_gui::GuiSessionTest {};

TEST_F(BuildDebugWindowNames, EveryWindowHasEveryNameOfItsTable) {
  gui::QtEventPoster events;
  workbench::SessionServices services = Services();
  services.events = &events;
  StartSession(services);
  gui::TEditorFRM main_form(*session_, {}, QSize(800, 600));
  gui::ProgramParts parts = gui::BuildDebugParts(events);
  gui::FormServices form_services;
  form_services.makers = std::move(parts.makers);
  boxes_.Answer(platform::kAnswerOk);  // the first run's notice before the configuration
  gui::IdeForms forms(main_form, *session_, std::move(form_services));

  // The tables of the main window and of the workbench's dialogs have a test of their own.
  const std::set<std::string> workbench_tables = {names::MainMenu::MainMenu,
                                                  names::EditorFRM::EditorFRM,
                                                  names::FilesLoadedPOPMNU::FilesLoadedPOPMNU,
                                                  names::AboutFRM::AboutFRM,
                                                  names::ConfigFRM::ConfigFRM,
                                                  names::GotoLineNumDLG::GotoLineNumDLG};
  std::set<std::string> checked;
  for (const names::TableName& named : names::kEveryName) {
    if (workbench_tables.contains(named.table)) continue;
    const QWidget* window = forms.Form(std::string("T") + named.table);
    ASSERT_NE(window, nullptr) << named.table;
    EXPECT_TRUE(HasPartNamed(*window, named.name)) << named.table << "::" << named.name;
    checked.insert(named.table);
  }
  const std::set<std::string> build_debug_tables = {
      names::DebugFRM::DebugFRM, names::DeviceFRM::DeviceFRM, names::IrcFRM::IrcFRM,
      names::ProgressFRM::ProgressFRM, names::ZK_CodeFRM::ZK_CodeFRM};
  EXPECT_EQ(checked, build_debug_tables);
}

}  // namespace
