#include "workbench/gui/application.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "modal_answerer.h"
#include "workbench/gui/localize_form.h"
#include "workbench/localize.h"
#include "workbench/message_strings.h"
#include "workbench/registry_settings.h"

namespace {

TEST(Application, StartsShowsABoxLocalizesAFormAndQuitsCleanly) {
  const auto file = std::filesystem::temp_directory_path() /
                    ("qv_application_" + std::to_string(::getpid()) + ".txt");
  std::filesystem::remove(file);
  {
    gui::ApplicationSession session(file);
    EXPECT_NE(dynamic_cast<gui::QtMessageBoxes*>(&platform::MessageBoxes()), nullptr);

    gui::ProgramWindow window;
    window.show();

    testing_gui::SeenBox seen;
    testing_gui::AnswerNextBox(QMessageBox::Ok, &seen);
    EXPECT_EQ(workbench::MsgBoxById(3072, 3073), platform::kAnswerOk);
    EXPECT_EQ(seen.title, "View Debug ERROR");
    EXPECT_EQ(seen.text, "Couldn't load file for viewing debug code");

    QDialog go_to;
    go_to.setObjectName("GotoLineNumDLG");
    auto* prompt = new QLabel(&go_to);
    prompt->setObjectName("LineNumLBL");
    auto* ok = new QPushButton(&go_to);
    ok->setObjectName("OkBTN");
    gui::RegisterFormLanguageCallback(go_to);
    workbench::ReapplyLanguage();
    EXPECT_EQ(go_to.windowTitle(), "Go to Line Number...");
    EXPECT_EQ(prompt->text(), "Enter line number to go to:");
    EXPECT_EQ(ok->text(), "OK");

    QTimer::singleShot(0, &window, &QWidget::close);
    EXPECT_EQ(QApplication::exec(), 0);
  }
  // The session is over: the services are back to their defaults, the placement is on disk.
  EXPECT_EQ(dynamic_cast<gui::QtMessageBoxes*>(&platform::MessageBoxes()), nullptr);
  EXPECT_FALSE(workbench::SettingsStoreExists());
  platform::SettingsStore store(file);
  const std::string root(workbench::kRegistryRoot);
  EXPECT_EQ(store.ReadInt(root + "EditorWindow\\WindowState", "EditorWindow\\WindowState"), 0);
  EXPECT_TRUE(store.ValueExists(root + "EditorWindow\\Width", "EditorWindow\\Width"));
  std::filesystem::remove(file);
}

}  // namespace
