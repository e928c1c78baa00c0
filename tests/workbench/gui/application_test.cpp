#include "workbench/gui/editor_form.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "installed_tools.h"
#include "platform/process_runner.h"
#include "resources/string_ids.h"
#include "resources/widget_names.h"
#include "services/gui/localize_form.h"
#include "services/gui/modal_dialogs.h"
#include "tests/services/gui/modal_answerer.h"
#include "tests/services/temp_folder.h"
#include "workbench/gui/qt_message_boxes.h"
#include "workbench/session/session.h"

namespace goto_line_dlg = widget_names::GotoLineNumDLG;

namespace {

TEST(Application, StartsShowsABoxLocalizesAFormAndQuitsCleanly) {
  const auto file = std::filesystem::temp_directory_path() /
                    ("qv_application_" + std::to_string(::getpid()) + ".txt");
  std::filesystem::remove(file);
  {
    workbench::TempFolder tools;
    gui::QtMessageBoxes boxes;
    gui::QtModalDialogs dialogs;
    platform::SystemProcessRunner processes;
    workbench::SessionSetup setup;
    setup.settings_file = file;
    setup.exe_folder = tools.Path();
    testing_gui::InstallTools(tools.Path());
    workbench::IdeSession session({boxes, dialogs, processes}, setup);

    gui::TEditorFRM window(session, {}, QSize(1280, 1024));
    window.show();

    testing_gui::SeenBox seen;
    testing_gui::AnswerNextBox(QMessageBox::Ok, &seen);
    EXPECT_EQ(session.Messages().MsgBoxById(string_ids::EditorUnit::SCU_VIEW_LIST_FAILED,
                                            string_ids::EditorUnit::SCU_VIEW_LIST_CAPTION),
              platform::kAnswerOk);
    EXPECT_EQ(seen.title, "View Debug ERROR");
    EXPECT_EQ(seen.text, "Couldn't load file for viewing debug code");

    QDialog go_to;
    go_to.setObjectName(goto_line_dlg::GotoLineNumDLG);
    auto* prompt = new QLabel(&go_to);
    prompt->setObjectName(goto_line_dlg::LineNumLBL);
    auto* ok = new QPushButton(&go_to);
    ok->setObjectName(goto_line_dlg::OkBTN);
    gui::RegisterFormLanguageCallback(go_to, session.Texts());
    session.Texts().ReapplyLanguage();
    EXPECT_EQ(go_to.windowTitle(), "Go to Line Number...");
    EXPECT_EQ(prompt->text(), "Enter line number to go to:");
    EXPECT_EQ(ok->text(), "OK");

    QTimer::singleShot(0, &window, &QWidget::close);
    EXPECT_EQ(QApplication::exec(), 0);
  }
  // The session is over: the placement is on disk.
  platform::SettingsStore store(file);
  const std::string root(workbench::kRegistryRoot);
  EXPECT_EQ(store.ReadInt(root + "EditorWindow\\WindowState", "EditorWindow\\WindowState"), 0);
  EXPECT_TRUE(store.ValueExists(root + "EditorWindow\\Width", "EditorWindow\\Width"));
  std::filesystem::remove(file);
}

}  // namespace
