// What a newcomer meets in the main window's first minutes: the open dialog's filters, every
// shortcut firing one command, the items and tool buttons that must do something, the
// caption of the C compiler's mode and where the keyboard focus is.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <map>

#include "editor_control/gui/scrivlet_widget.h"
#include "resources/code_widget_names.h"
#include "services/silent_abort.h"
#include "services/windows_menu.h"
#include "stored_option_start.h"
#include "tests/build_debug/tools/cod_writer.h"
#include "workbench/gui/main_files.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;

namespace {

class FirstHourTest : public testing_gui::StoredOptionStart {
 protected:
  std::string File(const std::string& name, const std::string& text = "\tNOP\n") {
    std::string path = folder_.Path() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  // Counts the runs of each command the test takes over.
  void Count(const char* item) {
    form_->SetMenuHandler(item, [this, item] { ++runs_[item]; });
  }
  // The keys of every action in the window that has one, with the actions that hold them.
  std::map<QString, QStringList> HeldKeys() const {
    std::map<QString, QStringList> held;
    for (const QAction* action : form_->findChildren<QAction*>())
      for (const QKeySequence& keys : action->shortcuts())
        held[keys.toString()] << action->objectName();
    return held;
  }

  std::map<std::string, int> runs_;
};

TEST_F(FirstHourTest, TheOpenDialogShowsSourcesOfBothLanguagesInEitherCase) {
  StartWithEditorOption(true);
  QStringList filters;
  dialogs_.Answer(QDialog::Rejected, [&filters](QDialog& dialog) {
    filters = static_cast<QFileDialog&>(dialog).nameFilters();
  });
  form_->ClickMenuItem(main_menu::FileOpenMENUITM);
  EXPECT_EQ(filters,
            (QStringList{"Source Files (*.SRC *.src *.QVB *.qvb)", "Source Files (*.SRC *.src)",
                         "QV/B Files (*.QVB *.qvb)", "All Files (*)"}));
  ASSERT_FALSE(filters.isEmpty());
  // The patterns of the first filter as the dialog matches them against the folder's files.
  const QString first = filters.first();
  const QStringList patterns =
      first.mid(first.indexOf('(') + 1).chopped(1).split(' ', Qt::SkipEmptyParts);
  for (const char* name : {"blink.src", "BLINK.SRC", "led.qvb", "LED.QVB"})
    EXPECT_TRUE(QDir::match(patterns, name)) << name;
  EXPECT_FALSE(QDir::match(patterns, "notes.txt"));
  // So are the examples the checkout and the install ship.
  int examples = 0;
  for (const auto& entry : std::filesystem::directory_iterator(QV_EXAMPLES)) {
    EXPECT_TRUE(QDir::match(patterns, QString::fromStdString(entry.path().filename().string())))
        << entry.path();
    ++examples;
  }
  EXPECT_GT(examples, 0);
}

TEST_F(FirstHourTest, EveryShortcutFiresExactlyOneCommandOnceTheWindowItemsAreThere) {
  for (const bool enhanced : {true, false}) {
    SCOPED_TRACE(enhanced ? "enhanced editor" : "legacy editor");
    forms_.reset();
    form_.reset();
    StartSession();
    StartWithEditorOption(enhanced);
    // What View List and Device add to the Windows menu once they have run.
    form_->WindowsMenu().WindowsMenuAdd("", workbench::kListWindowItem);
    form_->WindowsMenu().WindowsMenuAdd("", workbench::kDeviceWindowItem);
    for (const auto& [keys, holders] : HeldKeys())
      EXPECT_EQ(holders.size(), 1)
          << keys.toStdString() << ": " << holders.join(", ").toStdString();

    // The window items still show their keys.
    const QMenu* windows = form_->MenuItem(main_menu::WindowsMENUITM)->menu();
    bool list_item_shows_key = false;
    for (const QAction* action : windows->actions())
      if (action->objectName() == main_menu::ListWindowMENUITM)
        list_item_shows_key = action->text().endsWith("\tCtrl+L");
    EXPECT_TRUE(list_item_shows_key);

    const char* list_command =
        enhanced ? main_menu::RunViewDebugCodeMENUITM : main_menu::FileListToggleMENUITM;
    Count(list_command);
    Count(main_menu::RunDeviceMENUITM);
    form_->activateWindow();
    QTest::keyClick(form_.get(), Qt::Key_L, Qt::ControlModifier);
    QTest::keyClick(form_.get(), Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(runs_[list_command], 1);
    EXPECT_EQ(runs_[main_menu::RunDeviceMENUITM], 1);
    runs_.clear();
  }
}

TEST_F(FirstHourTest, ListToggleIsViewListAndThePreProcessingItemIsHidden) {
  StartWithEditorOption(false);
  Count(main_menu::RunViewDebugCodeMENUITM);
  form_->MenuItem(main_menu::FileListToggleMENUITM)->trigger();
  EXPECT_EQ(runs_[main_menu::RunViewDebugCodeMENUITM], 1);
  EXPECT_FALSE(form_->MenuItem(main_menu::HelpDebugMENUITM)->isVisible());
}

TEST_F(FirstHourTest, QvbHelpOpensTheInstalledHelpFileOrSaysWhereItGoes) {
  std::vector<std::string> opened;
  gui::FormServices services;
  services.open_url = [&opened](const std::string& address) { opened.push_back(address); };
  StartWithEditorOption(true, std::move(services));
  const std::string help = session_->QvBasic().HelpFile();
  ASSERT_TRUE(std::filesystem::exists(help)) << "the test's program folder carries the tools";
  form_->MenuItem(main_menu::HelpQvbHelpMENUITM)->trigger();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(QUrl(QString::fromStdString(opened[0])).toLocalFile().toStdString(), help);
  EXPECT_TRUE(boxes_.Boxes().empty());

  std::filesystem::remove(help);
  boxes_.Answer(platform::kAnswerOk);
  form_->MenuItem(main_menu::HelpQvbHelpMENUITM)->trigger();
  EXPECT_EQ(opened.size(), 1u) << "nothing to open";
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "QV/B Help");
  EXPECT_NE(boxes_.Boxes()[0].text.find(std::filesystem::path(help).parent_path().string()),
            std::string::npos)
      << boxes_.Boxes()[0].text;
}

TEST_F(FirstHourTest, TheToolBarOpensAndSavesFiles) {
  StartWithEditorOption(true);
  const QToolBar* tools = form_->findChild<QToolBar*>(editor_frm::ToolBar);
  ASSERT_NE(tools, nullptr);
  QStringList names;
  for (const QAction* action : tools->actions())
    if (action->isVisible()) names << action->objectName();
  ASSERT_GE(names.size(), 3);
  EXPECT_EQ(names.mid(0, 3), (QStringList{editor_frm::FileNewTBTN, editor_frm::FileOpenTBTN,
                                          editor_frm::FileSaveTBTN}));

  QAction* save = form_->findChild<QAction*>(editor_frm::FileSaveTBTN);
  EXPECT_FALSE(save->isEnabled()) << "the new file at the start holds nothing to save";
  const std::string source = File("a.src");
  dialogs_.Answer(QDialog::Accepted, [&source](QDialog& dialog) {
    static_cast<QFileDialog&>(dialog).selectFile(QString::fromStdString(source));
  });
  form_->findChild<QAction*>(editor_frm::FileOpenTBTN)->trigger();
  ASSERT_EQ(form_->Editors().GetFileName(form_->CurrentEditorIndex()), source);
  form_->CurrentScrivlet()->Memo().SetSelStart(0);
  form_->CurrentScrivlet()->Memo().SetSelText("; x");
  ASSERT_TRUE(save->isEnabled()) << "a changed file can be saved";
  save->trigger();
  EXPECT_EQ(testing_gui::ReadFile(source), "; x\tNOP\r\n");
}

TEST_F(FirstHourTest, TheCCompilersModeKeepsItsCaptionThroughTheStart) {
  const std::string cod = folder_.Path() + "s.cod";
  std::ofstream(cod, std::ios::binary) << build_debug::SmallCompilerOutput("s.c");
  File("s.LST");
  ASSERT_TRUE(session_->Registry().WriteRegString("Configuration\\ComPort", "COM1"));
  // "/b" asks for a debug run too, which this program (no reset jump) cannot have.
  boxes_.AnswerWithFirstButton();
  form_ = std::make_unique<gui::TEditorFRM>(*session_, std::vector<std::string>{"/b", cod},
                                            QSize(800, 600));
  forms_ = std::make_unique<gui::IdeForms>(*form_, *session_);
  session_->Texts().ReapplyLanguage();
  if (form_->PrepareRun()) form_->show();
  QApplication::processEvents();
  // What the desktop's activation of the program does.
  form_->Files().ApplicationActivated();
  EXPECT_EQ(form_->windowTitle().toStdString(),
            cod + " - Wrenfield QVC Mode - " + QApplication::applicationName().toStdString());
}

TEST_F(FirstHourTest, TheEditorInFrontHasTheFocusAfterStartAndAfterOpen) {
  StartWithEditorOption(true);
  form_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  EXPECT_EQ(QApplication::focusWidget(), form_->CurrentScrivlet());

  form_->FileList().setFocus();
  const std::string source = File("b.src");
  dialogs_.Answer(QDialog::Accepted, [&source](QDialog& dialog) {
    static_cast<QFileDialog&>(dialog).selectFile(QString::fromStdString(source));
  });
  form_->ClickMenuItem(main_menu::FileOpenMENUITM);
  EXPECT_EQ(QApplication::focusWidget(), form_->CurrentScrivlet());
}

}  // namespace
