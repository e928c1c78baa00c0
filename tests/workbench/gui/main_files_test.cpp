// The main window's files: the real TEditorFRM, offscreen, with boxes and file dialogs answered
// through their seams.

#include "workbench/gui/main_files.h"
#include "resources/code_widget_names.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSplitter>
#include <QTest>
#include <QUrl>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include "editor_control/gui/scrivlet_widget.h"
#include "gui_session.h"
#include "services/replace_file.h"
#include "services/silent_abort.h"
#include "tests/services/full_disk.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/file_list.h"
#include "workbench/workspace.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;
namespace files_popup = widget_names::FilesLoadedPOPMNU;

namespace {

using testing_gui::ReadFile;

class MainFilesTest : public testing_gui::GuiSessionTest {
 protected:
  MainFilesTest() { StartSession(); }

  // A new run of the program over the same settings file: its main window closes first.
  void StartSession() {
    form_.reset();
    GuiSessionTest::StartSession();
  }
  gui::TEditorFRM& Form() {
    if (!form_) {
      form_ =
          std::make_unique<gui::TEditorFRM>(*session_, std::vector<std::string>{}, QSize(800, 600));
      form_->show();
    }
    return *form_;
  }
  gui::MainWindowFiles& Files() { return Form().Files(); }

  std::string File(const std::string& name, const std::string& text = "\tNOP\n") {
    std::string path = folder_.Path() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < Form().FileList().count(); ++i)
      rows.push_back(Form().FileList().item(i)->text().toStdString());
    return rows;
  }
  std::string Text(int index) { return Form().Editors().GetEditor(index)->Memo().Text(); }
  bool Modified(int index) { return Form().Editors().GetEditor(index)->Memo().Modified(); }
  // Types into the editor in front as the user does.
  void Type(const char* text) {
    for (const char* c = text; *c; ++c) {
      QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(*c)));
      QApplication::sendEvent(Form().CurrentScrivlet(), &key);
    }
  }
  // The next file dialog picks `path`; `filters` receives the filters it offered.
  void Pick(const std::string& path, QStringList* filters = nullptr) {
    dialogs_.Answer(QDialog::Accepted, [path, filters](QDialog& dialog) {
      auto& files = static_cast<QFileDialog&>(dialog);
      if (filters) *filters = files.nameFilters();
      files.selectFile(QString::fromStdString(path));
    });
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const auto& box : boxes_.Boxes()) captions.push_back(box.caption);
    return captions;
  }
  std::string Caption() { return Form().windowTitle().toStdString(); }
  // Leaves the file with a last-write time later than the editor's.
  void TouchLater(const std::string& path, const std::string& text) {
    const auto before = std::filesystem::last_write_time(path);
    std::ofstream(path, std::ios::binary) << text;
    std::filesystem::last_write_time(path, before + std::chrono::seconds(2));
  }

  std::unique_ptr<gui::TEditorFRM> form_;
};

TEST_F(MainFilesTest, TheFileListScrollsSidewaysOnlyForANameThatDoesNotFit) {
  // A long folder: the list shows the names alone.
  const std::string deep = folder_.Path() + std::string(150, 'd') + "/";
  std::filesystem::create_directories(deep);
  std::ofstream(deep + "a.src", std::ios::binary) << "\tNOP\n";
  Form().OpenSourceFile(deep + "a.src");
  QApplication::processEvents();
  const QScrollBar* sideways = Form().FileList().horizontalScrollBar();
  EXPECT_FALSE(sideways->isVisible());
  Form().OpenSourceFile(File(std::string(120, 'w') + ".src"));
  QApplication::processEvents();
  EXPECT_TRUE(sideways->isVisible());
}

TEST_F(MainFilesTest, CloseAllStandsInTheMenuWhileMoreThanOneEditorIsOpen) {
  // New asks which language the editor is for.
  const auto New = [this] {
    boxes_.Answer(platform::kAnswerYes);
    Form().ClickMenuItem(editor_frm::FileNewTBTN);
  };
  const QAction* close_all = Form().MenuItem(main_menu::FileCloseAllMENUITM);
  const std::string a = File("a.src");
  const std::string b = File("b.src");
  struct Step {
    const char* what;
    std::function<void()> act;
  };
  const Step steps[] = {
      {"the window's first blank editor", [] {}},
      {"New", [&New] { New(); }},
      {"Close", [this] { Form().ClickMenuItem(main_menu::FileCloseMENUITM); }},
      {"New again", [&New] { New(); }},
      {"a file", [&] { Form().OpenSourceFile(a); }},
      {"a second file", [&] { Form().OpenSourceFile(b); }},
      {"Close All", [this] { Form().ClickMenuItem(main_menu::FileCloseAllMENUITM); }},
  };
  std::vector<bool> shown;
  for (const Step& step : steps) {
    step.act();
    const int editors = Form().Editors().Count();
    EXPECT_EQ(close_all->isVisible(), editors > 1) << step.what << ", " << editors << " editors";
    shown.push_back(close_all->isVisible());
  }
  // One untitled editor shows no Close All; a New beside it does.
  EXPECT_FALSE(shown.front());
  EXPECT_TRUE(shown[1]);
  EXPECT_FALSE(shown.back());
}

TEST_F(MainFilesTest, FilesOpenInEditorsOfTheirOwnAndASecondOpenSelects) {
  EXPECT_EQ(Rows(), std::vector<std::string>{"{Blank_1}"});
  const std::string a = File("a.src");
  const std::string b = File("b.QVB", "x = 1\n");
  Form().OpenSourceFile(a);
  Form().OpenSourceFile(b);
  // The first file takes the untouched blank editor.
  EXPECT_EQ(Rows(), (std::vector<std::string>{a, b}));
  EXPECT_EQ(Form().Editors().GetFileType(0), 1);
  EXPECT_EQ(Form().Editors().GetFileType(1), 2);
  EXPECT_EQ(Form().CurrentEditorIndex(), 1);
  EXPECT_EQ(Caption(), "b.QVB - " + QApplication::applicationName().toStdString());
  EXPECT_TRUE(Form().MenuItem(main_menu::FileCloseAllMENUITM)->isVisible());

  Form().OpenSourceFile(a);
  EXPECT_EQ(Rows().size(), 2u);
  EXPECT_EQ(Form().CurrentEditorIndex(), 0);
  EXPECT_EQ(Form().CurrentScrivlet(), Form().Editors().GetEditor(0));
  EXPECT_EQ(Text(0), "\tNOP\r\n");
  EXPECT_EQ(session_->Globals().CurrentFile.FullName, a);
  EXPECT_EQ(session_->Globals().CurrentFile.NameOnly, "a");
  EXPECT_TRUE(boxes_.Boxes().empty());

  // A click on a row brings its editor to the front.
  Form().FileList().setCurrentRow(1);
  EXPECT_EQ(Form().CurrentEditorIndex(), 1);
  EXPECT_EQ(session_->Globals().CurrentFile.FullName, b);

  // A changed blank editor is kept; the file gets a new one.
  Files().FileNew(gui::MainWindowFiles::kBasicKind);
  // Opening b made the second new editor.
  EXPECT_EQ(Rows().back(), "{Blank_3_QV/B}");
  Type("y = 2");
  const std::string c = File("c.src");
  Form().OpenSourceFile(c);
  EXPECT_EQ(Rows(), (std::vector<std::string>{a, b, "{Blank_3_QV/B}", c}));
  EXPECT_EQ(Text(2), "y = 2");
}

TEST_F(MainFilesTest, NewEditorsAreNumberedByKindAndStartFromTheirTemplate) {
  std::filesystem::create_directories(folder_.Path() + "Templates");
  std::ofstream(folder_.Path() + "Templates/Template.src") << " DEVICE QV18\n";
  StartSession();
  session_->Globals().IdeOptions.UseTemplates = true;
  session_->Globals().IdeOptions.DefaultIsAssembly = false;
  // The window's start made its first new file in the editor it starts with.
  Files().FileNew(gui::MainWindowFiles::kAssemblyKind);
  Files().FileNew(gui::MainWindowFiles::kBasicKind);
  Files().FileNew(gui::MainWindowFiles::kDefaultKind);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"{Blank_1}", "{Blank_2_ASSEMBLY}", "{Blank_3_QV/B}",
                                              "{Blank_4_QV/B}"}));
  EXPECT_EQ(Text(1), " DEVICE QV18\r\n");
  EXPECT_EQ(Text(2), "");  // no BASIC template
  EXPECT_EQ(Form().Editors().GetFileName(1), "");
  EXPECT_FALSE(Modified(1));
  EXPECT_EQ(Form().CurrentEditorIndex(), 3);
  EXPECT_EQ(Caption(), "Untitled.SRC - " + QApplication::applicationName().toStdString());

  // The tool button asks which language; No takes the other one.
  boxes_.Answer(platform::kAnswerNo);
  Form().ClickMenuItem(editor_frm::FileNewTBTN);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text,
            "Default editor type is for QV/B files.  Create editor for this language?\r\r"
            "\"Yes\" for QV/B editor\r\"No\" for Assembly Language editor");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Verify Editor Type");
  EXPECT_EQ(Rows().back(), "{Blank_5_ASSEMBLY}");
}

// The close of the window asks for every changed editor in turn; the table is the user's answers.
TEST_F(MainFilesTest, TheSaveQuestionAtCloseForEachChangedFile) {
  struct Case {
    std::vector<int> answers;
    bool closed;
    bool a_saved;
    bool b_saved;
  };
  const Case cases[] = {
      {{platform::kAnswerCancel}, false, false, false},
      {{platform::kAnswerYes, platform::kAnswerCancel}, false, true, false},
      {{platform::kAnswerNo, platform::kAnswerYes}, true, false, true},
  };
  for (const Case& c : cases) {
    StartSession();
    boxes_.Clear();
    const std::string a = File("a.src");
    const std::string b = File("b.src");
    std::filesystem::remove(folder_.Path() + "a.src.bak");
    Form().OpenSourceFile(a);
    Form().OpenSourceFile(b);
    Form().SelectEditor(0);
    Type("X");
    Form().SelectEditor(1);
    Type("Y");
    for (int answer : c.answers) boxes_.Answer(answer);
    EXPECT_EQ(Form().close(), c.closed);
    ASSERT_EQ(boxes_.Boxes().size(), c.answers.size());
    EXPECT_EQ(boxes_.Boxes()[0].text, "Save changes to " + a + " ?");
    EXPECT_EQ(boxes_.Boxes()[0].buttons, platform::BoxButtons::YesNoCancel);
    if (c.answers.size() > 1) {
      EXPECT_EQ(boxes_.Boxes()[1].text, "Save changes to " + b + " ?");
    }
    EXPECT_EQ(ReadFile(a), c.a_saved ? "X\tNOP\r\n" : "\tNOP\n");
    EXPECT_EQ(ReadFile(b), c.b_saved ? "Y\tNOP\r\n" : "\tNOP\n");
    // Backups are on by default: the old text stays beside the new one.
    EXPECT_EQ(std::filesystem::exists(folder_.Path() + "a.src.bak"), c.a_saved);
    if (!c.closed) {
      // A refused close leaves the editor that was in front before.
      EXPECT_TRUE(Modified(1));
      EXPECT_EQ(Form().CurrentEditorIndex(), c.a_saved ? 1 : 0);
      boxes_.Answer(platform::kAnswerNo);
      boxes_.Answer(platform::kAnswerNo);
      EXPECT_TRUE(Form().close());
    }
  }
}

TEST_F(MainFilesTest, SaveAsAsksTheLanguageAndTheOverwriteAndRenamesTheRow) {
  Type(" NOP");
  // Never saved: Save goes to Save As. The blank editor has no language yet.
  boxes_.Answer(platform::kAnswerNo);
  QStringList filters;
  const std::string target = folder_.Path() + "prog";
  Pick(target, &filters);
  Form().ClickMenuItem(main_menu::FileSaveMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text,
            "Default editor type is for Assembly Language files.  Save as this language?\r\r"
            "\"Yes\" for Assembly Language editor\r\"No\" for QV/B editor");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Verify Editor Type");
  ASSERT_EQ(dialogs_.Dialogs().size(), 1u);
  EXPECT_EQ(dialogs_.Dialogs()[0].title, "Save Source as...");
  EXPECT_EQ(filters, (QStringList{"QV/B Files (*.QVB *.qvb)", "All Files (*)"}));
  const std::string saved = target + ".QVB";
  EXPECT_EQ(ReadFile(saved), " NOP");
  EXPECT_EQ(Rows(), std::vector<std::string>{saved});
  EXPECT_EQ(Form().Editors().GetFileType(0), 2);
  EXPECT_EQ(session_->Recent().Entry(0), saved);
  EXPECT_FALSE(Modified(0));

  // Onto an existing file only after Yes.
  const std::string other = File("other.QVB", "old\n");
  boxes_.Clear();
  Pick(other);
  boxes_.Answer(platform::kAnswerNo);
  Form().ClickMenuItem(main_menu::FileSaveAsMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "OK to overwrite " + other + " ?");
  EXPECT_EQ(ReadFile(other), "old\n");
  EXPECT_EQ(Rows(), std::vector<std::string>{saved});
  Pick(other);
  boxes_.Answer(platform::kAnswerYes);
  Form().ClickMenuItem(main_menu::FileSaveAsMENUITM);
  EXPECT_EQ(ReadFile(other), " NOP");
  EXPECT_EQ(Rows(), std::vector<std::string>{other});
  EXPECT_EQ(session_->Globals().CurrentFile.FullName, other);
}

TEST_F(MainFilesTest, AFileOpenedReadOnlySavesOnlyUnderANewNameAndIsThenWritable) {
  const std::string a = File("a.src");
  Form().OpenSourceFile(a, true);
  EXPECT_FALSE(Form().Editors().GetWritable(0));
  EXPECT_TRUE(Form().CurrentScrivlet()->Memo().ReadOnly);
  const std::string app = QApplication::applicationName().toStdString();
  EXPECT_EQ(Caption(), "a.src - " + app + " : READ ONLY");

  boxes_.Answer(platform::kAnswerOk);
  Form().ClickMenuItem(main_menu::FileSaveMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text,
            "This is a READ ONLY file and must be saved under a different name.");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Read Only Warning");

  // Save As under the same name is refused after the warning.
  boxes_.Clear();
  Pick(a);
  boxes_.Answer(platform::kAnswerOk);
  boxes_.Answer(platform::kAnswerOk);
  Form().ClickMenuItem(main_menu::FileSaveAsMENUITM);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Read Only Warning", "Read Only Warning"}));
  EXPECT_EQ(boxes_.Boxes()[1].text, "Choose a different name to save this READ ONLY file.");

  // Under a new name it is written and the editor is an ordinary one from then on.
  const std::string copy = folder_.Path() + "copy.src";
  Pick(copy);
  boxes_.Answer(platform::kAnswerOk);
  Form().ClickMenuItem(main_menu::FileSaveAsMENUITM);
  EXPECT_EQ(ReadFile(copy), "\tNOP\r\n");
  EXPECT_TRUE(Form().Editors().GetWritable(0));
  EXPECT_FALSE(Form().CurrentScrivlet()->Memo().ReadOnly);
  EXPECT_EQ(Caption(), "copy.src - " + app);
  EXPECT_EQ(Rows(), std::vector<std::string>{copy});
  Type("X");
  Form().ClickMenuItem(main_menu::FileSaveMENUITM);
  EXPECT_EQ(ReadFile(copy), "X\tNOP\r\n");
  EXPECT_EQ(ReadFile(a), "\tNOP\n");
}

TEST_F(MainFilesTest, AFailedOpenLeavesRowsCaptionAndRecentFilesAsTheyWere) {
  const std::string a = File("a.src");
  Form().OpenSourceFile(a);
  std::string caption = Caption();
  const auto recent = session_->Recent().Entries();
  const std::string gone = folder_.Path() + "gone.src";
  const auto open_gone = [&] {
    boxes_.Clear();
    boxes_.Answer(platform::kAnswerOk);
    Form().OpenSourceFile(gone);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].caption, "File Not Found");
    EXPECT_EQ(boxes_.Boxes()[0].text, "\"" + gone + "\"\rNot found on disk.");
    EXPECT_EQ(Caption(), caption);
    EXPECT_EQ(session_->Recent().Entries(), recent);
  };
  // From a named file in front: no editor is left behind for it.
  open_gone();
  EXPECT_EQ(Rows(), std::vector<std::string>{a});
  EXPECT_EQ(Form().Editors().Count(), 1);
  EXPECT_EQ(session_->Globals().CurrentFile.FullName, a);

  // From an untouched blank editor in front: it stays blank and unnamed.
  Files().FileNew(gui::MainWindowFiles::kAssemblyKind);
  const std::vector<std::string> rows = Rows();
  caption = Caption();
  open_gone();
  EXPECT_EQ(Rows(), rows);
  EXPECT_EQ(Form().CurrentEditorIndex(), 1);
  EXPECT_EQ(session_->Globals().CurrentFile.FullName, "Untitled.SRC");
}

TEST_F(MainFilesTest, CloseLeavesANeighbourAndClosingTheLastLeavesABlankEditor) {
  const std::string a = File("a.src");
  const std::string b = File("b.src");
  const std::string c = File("c.src");
  for (const std::string& file : {a, b, c}) Form().OpenSourceFile(file);
  Form().SelectEditor(1);
  Form().ClickMenuItem(main_menu::FileCloseMENUITM);
  EXPECT_EQ(Rows(), (std::vector<std::string>{a, c}));
  EXPECT_EQ(Form().CurrentEditorIndex(), 0);
  EXPECT_EQ(Form().Editors().Count(), 2);
  EXPECT_EQ(Form().WindowsMenu().Items().size(), 3u);  // the editor window and two files

  // A changed file asks first; Cancel keeps it.
  Type("X");
  boxes_.Answer(platform::kAnswerCancel);
  EXPECT_THROW(Form().ClickMenuItem(main_menu::FileCloseMENUITM), workbench::SilentAbort);
  EXPECT_EQ(Rows(), (std::vector<std::string>{a, c}));

  boxes_.Answer(platform::kAnswerNo);
  Form().ClickMenuItem(main_menu::FileCloseAllMENUITM);
  EXPECT_EQ(Rows().size(), 1u);
  EXPECT_EQ(Rows()[0].rfind("{Blank_", 0), 0u);
  EXPECT_EQ(Form().Editors().Count(), 1);
  EXPECT_EQ(Text(0), "");
  EXPECT_FALSE(Form().MenuItem(main_menu::FileCloseAllMENUITM)->isVisible());
  EXPECT_EQ(ReadFile(a), "\tNOP\n");

  Form().OpenSourceFile(b);
  Form().ClickMenuItem(main_menu::FileCloseMENUITM);
  EXPECT_EQ(Rows().size(), 1u);
  EXPECT_EQ(Rows()[0].rfind("{Blank_", 0), 0u);
  EXPECT_EQ(Caption(), "Untitled.SRC - " + QApplication::applicationName().toStdString());
}

// The file list only shows the open files: after a Save As and a Close in the middle its rows
// are the model's, in order, the row in front selected, and blank numbers are not given again.
TEST_F(MainFilesTest, TheListShowsTheOpenFilesInOrderAfterSaveAsAndClose) {
  const std::string a = File("a.src");
  const std::string b = File("b.src");
  const std::string c = File("c.src");
  const std::string d = folder_.Path() + "d.src";
  Form().OpenSourceFile(a);
  Form().OpenSourceFile(b);
  Form().ClickMenuItem(main_menu::FileNewAssemblyMENUITM);
  EXPECT_EQ(Rows(), (std::vector<std::string>{a, b, "{Blank_3_ASSEMBLY}"}));
  Type("x");
  Pick(d);
  Form().ClickMenuItem(main_menu::FileSaveAsMENUITM);
  Form().OpenSourceFile(c);
  Form().SelectEditor(1);
  Form().ClickMenuItem(main_menu::FileCloseMENUITM);

  const std::vector<std::string> expected{a, d, c};
  EXPECT_EQ(Rows(), expected);
  std::vector<std::string> model;
  for (int i = 0; i < Files().Rows().Count(); ++i) model.push_back(Files().Rows().Name(i));
  EXPECT_EQ(model, expected);
  EXPECT_EQ(Form().CurrentEditorIndex(), 0);
  EXPECT_EQ(Form().FileList().currentRow(), 0);
  EXPECT_EQ(Form().Editors().GetFileName(1), d);
  EXPECT_EQ(ReadFile(d), "x");

  Form().SelectEditor(2);
  EXPECT_EQ(Form().FileList().currentRow(), 2);
  EXPECT_EQ(Caption(), "c.src - " + QApplication::applicationName().toStdString());
  Form().ClickMenuItem(main_menu::FileNewAssemblyMENUITM);
  EXPECT_EQ(Rows(), (std::vector<std::string>{a, d, c, "{Blank_5_ASSEMBLY}"}));
  EXPECT_EQ(Form().FileList().currentRow(), 3);
}

TEST_F(MainFilesTest, TheWorkspaceComesBackAtTheNextStart) {
  const std::string a = File("a.src");
  const std::string b = File("b.qvb");
  const std::string c = File("c.src");
  session_->Globals().IdeOptions.RestoreWorkspace = true;
  for (const std::string& file : {a, b, c}) Form().OpenSourceFile(file);
  Files().FileNew(gui::MainWindowFiles::kAssemblyKind);  // unnamed: not kept
  ASSERT_TRUE(Form().close());
  std::filesystem::remove(b);

  StartSession();
  session_->Globals().IdeOptions.RestoreWorkspace = true;
  EXPECT_EQ(Rows(), (std::vector<std::string>{a, c}));
  EXPECT_EQ(Form().CurrentEditorIndex(), 0);
  EXPECT_TRUE(boxes_.Boxes().empty());

  // With restoring off nothing is written or read.
  session_->Globals().IdeOptions.RestoreWorkspace = false;
  Form().ClickMenuItem(main_menu::FileCloseMENUITM);
  ASSERT_TRUE(Form().close());
  std::vector<std::string> stored;
  ASSERT_TRUE(workbench::LoadWorkspace(session_->Registry(), stored));
  EXPECT_EQ(stored, (std::vector<std::string>{a, b, c}));
}

TEST_F(MainFilesTest, TheRecentFilesAreKeptAcrossRunsAndAMissingOneLeavesTheList) {
  const std::string a = File("a.src");
  const std::string b = File("b.src");
  Form().OpenSourceFile(a);
  Form().OpenSourceFile(b);
  Form().OpenSourceFile(a);
  EXPECT_TRUE(Form().MenuItem(main_menu::FileReOpenMENUITM)->isVisible());
  EXPECT_EQ(Form().MenuItem(main_menu::FileZeroItem)->text().toStdString(), "&0 " + a);
  EXPECT_EQ(Form().MenuItem(main_menu::FileOneItem)->text().toStdString(), "&1 " + b);
  EXPECT_FALSE(Form().MenuItem(main_menu::FileTwoItem)->isVisible());
  ASSERT_TRUE(Form().close());

  StartSession();
  Form();
  EXPECT_EQ(session_->Recent().Entry(0), a);
  EXPECT_EQ(session_->Recent().Entry(1), b);
  EXPECT_EQ(Form().MenuItem(main_menu::FileOneItem)->text().toStdString(), "&1 " + b);
  Form().MenuItem(main_menu::FileOneItem)->trigger();
  EXPECT_EQ(Rows(), std::vector<std::string>{b});
  EXPECT_EQ(session_->Recent().Entry(0), b);

  std::filesystem::remove(a);
  boxes_.Answer(platform::kAnswerOk);
  Form().MenuItem(main_menu::FileOneItem)->trigger();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Couldn't find previously opened file:\r\r" + a +
                                        "\r\rFile will be removed from list.");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "File Not Found");
  EXPECT_EQ(session_->Recent().Entries(), (std::array<std::string, 5>{b, "", "", "", ""}));
  EXPECT_FALSE(Form().MenuItem(main_menu::FileOneItem)->isVisible());
  EXPECT_EQ(Rows(), std::vector<std::string>{b});
}

TEST_F(MainFilesTest, AFileChangedOnDiskIsOfferedForReload) {
  const std::string a = File("a.src");
  const std::string b = File("b.src");
  Form().OpenSourceFile(a);
  Form().OpenSourceFile(b);
  TouchLater(a, "new\n");

  // Opened again: the question; No keeps the editor's text.
  boxes_.Answer(platform::kAnswerNo);
  Form().OpenSourceFile(a);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text,
            "There is a newer version on disk of:\r\r" + a + "\r\rLoad the new version?");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "File Load Warning");
  EXPECT_EQ(Text(0), "\tNOP\r\n");
  EXPECT_EQ(Form().CurrentEditorIndex(), 0);

  // The program becoming active again selects the editor in front, which asks again; Yes
  // loads the new text into the same editor.
  boxes_.Clear();
  boxes_.Answer(platform::kAnswerYes);
  Files().ApplicationActivated();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(Text(0), "new\r\n");
  EXPECT_EQ(Rows(), (std::vector<std::string>{a, b}));
  EXPECT_FALSE(Modified(0));

  // Once reloaded, nothing more is asked.
  boxes_.Clear();
  Form().SelectEditor(1);
  Form().SelectEditor(0);
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MainFilesTest, CtrlTabGoesToThePreviousFileFirstThenWalksTheList) {
  for (const char* name : {"a.src", "b.src", "c.src", "d.src"}) Form().OpenSourceFile(File(name));
  Form().SelectEditor(1);
  Form().SelectEditor(3);
  gui::MainWindowFiles& files = Files();
  const auto key = [&files](int key, Qt::KeyboardModifiers modifiers, bool down) {
    return files.HandleEditorTabKeys(key, modifiers, down);
  };
  // Ctrl down, Tab, Tab, Tab, Ctrl up.
  EXPECT_FALSE(key(Qt::Key_Control, Qt::ControlModifier, true));
  EXPECT_TRUE(key(Qt::Key_Tab, Qt::ControlModifier, true));
  EXPECT_EQ(Form().CurrentEditorIndex(), 1);  // the one before
  key(Qt::Key_Tab, Qt::ControlModifier, false);
  EXPECT_TRUE(key(Qt::Key_Tab, Qt::ControlModifier, true));
  EXPECT_EQ(Form().CurrentEditorIndex(), 2);
  key(Qt::Key_Tab, Qt::ControlModifier, false);
  EXPECT_TRUE(key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, true));
  EXPECT_EQ(Form().CurrentEditorIndex(), 1);
  key(Qt::Key_Control, Qt::NoModifier, false);
  EXPECT_EQ(Form().FileList().currentRow(), 1);

  // A new Ctrl+Tab after other keys goes back to the one before again.
  key(Qt::Key_A, Qt::NoModifier, true);
  key(Qt::Key_Control, Qt::ControlModifier, true);
  key(Qt::Key_Tab, Qt::ControlModifier, true);
  EXPECT_EQ(Form().CurrentEditorIndex(), 2);

  // Walking wraps at both ends; the keys reach the switch through the editor itself.
  key(Qt::Key_Tab, Qt::ControlModifier, false);
  Form().SelectEditor(3);
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::ControlModifier);
  QApplication::sendEvent(Form().CurrentScrivlet(), &tab);
  EXPECT_EQ(Form().CurrentEditorIndex(), 0);
  EXPECT_EQ(Text(0), "\tNOP\r\n");  // the Tab was taken, not typed
}

TEST_F(MainFilesTest, TheTopFileIsMarkedFromThePopupAndKnownAtTheNextOpen) {
  const std::string main_file = File("main.src");
  const std::string part = File("part.src");
  Form().OpenSourceFile(main_file);
  Form().OpenSourceFile(part);
  QMenu* popup = Form().findChild<QMenu*>(files_popup::FilesLoadedPOPMNU);
  ASSERT_NE(popup, nullptr);
  const auto item = [popup](const char* name) {
    for (QAction* action : popup->actions())
      if (action->objectName() == name) return action;
    return static_cast<QAction*>(nullptr);
  };
  Form().SelectEditor(0);
  emit popup->aboutToShow();
  EXPECT_EQ(item(files_popup::CloseFileMNUITM)->text().toStdString(), "Close File - " + main_file);
  EXPECT_TRUE(item(files_popup::SetAsTopMNUITM)->isVisible());
  EXPECT_FALSE(item(files_popup::SetAsNormalMNUITM)->isVisible());
  item(files_popup::SetAsTopMNUITM)->trigger();
  EXPECT_EQ(Form().Editors().TopIndex(), 0);
  EXPECT_TRUE(session_->TopFiles().IsKnownTopFile(main_file));
  emit popup->aboutToShow();
  EXPECT_FALSE(item(files_popup::SetAsTopMNUITM)->isVisible());
  EXPECT_TRUE(item(files_popup::SetAsNormalMNUITM)->isVisible());
  EXPECT_TRUE(item(files_popup::RemoveFromKnownTopFileListMNUITM)->isVisible());
  item(files_popup::SetAsNormalMNUITM)->trigger();
  EXPECT_EQ(Form().Editors().TopIndex(), -1);

  // Opened again after a close: the question, and Yes marks it.
  Form().ClickMenuItem(main_menu::FileCloseMENUITM);
  boxes_.Answer(platform::kAnswerYes);
  Form().OpenSourceFile(main_file);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(
      boxes_.Boxes()[0].text,
      main_file +
          "\r\rThis file is a \"Top\" file.  Do you want it to be set as the current \"Top\"?");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Known Top File");
  EXPECT_EQ(Form().Editors().TopFileName(), main_file);

  emit popup->aboutToShow();
  item(files_popup::RemoveFromKnownTopFileListMNUITM)->trigger();
  EXPECT_FALSE(session_->TopFiles().IsKnownTopFile(main_file));
  EXPECT_EQ(Form().Editors().TopIndex(), -1);

  // A blank editor offers no top marks.
  Files().FileNew(gui::MainWindowFiles::kAssemblyKind);
  emit popup->aboutToShow();
  EXPECT_FALSE(item(files_popup::SetAsTopMNUITM)->isVisible());
  EXPECT_FALSE(item(files_popup::RemoveFromKnownTopFileListMNUITM)->isVisible());
}

TEST_F(MainFilesTest, EditCommandsActOnTheEditorInFront) {
  Form().OpenSourceFile(File("a.src", "abc\n"));
  Files().FileNew(gui::MainWindowFiles::kAssemblyKind);
  Type("xyz");
  EXPECT_TRUE(Form().MenuItem(main_menu::EditUndoMenuMENUITM)->isEnabled());
  Form().ClickMenuItem(main_menu::EditUndoMenuMENUITM);
  EXPECT_EQ(Text(1), "");
  EXPECT_FALSE(Modified(1));  // all undone: as it was
  EXPECT_FALSE(Form().MenuItem(main_menu::EditUndoMenuMENUITM)->isEnabled());
  EXPECT_TRUE(Form().MenuItem(main_menu::EditRedoMenuMENUITM)->isEnabled());
  Form().ClickMenuItem(main_menu::EditRedoMenuMENUITM);
  EXPECT_EQ(Text(1), "xyz");

  Form().CurrentScrivlet()->Memo().SelectAll();
  Form().ClickMenuItem(main_menu::EditCutMENUITM);
  EXPECT_EQ(Text(1), "");
  Form().SelectEditor(0);
  Form().ClickMenuItem(main_menu::EditPasteMENUITM);
  EXPECT_EQ(Text(0), "xyzabc\r\n");
  EXPECT_EQ(Text(1), "");
}

// The disk fills up half way through the write: the old file, the old backup (with backups
// on) and the edit in the editor stay, and nothing is left beside them.
TEST_F(MainFilesTest, AFailedSaveKeepsTheTextTheOldFileAndTheRow) {
  for (const bool backups : {false, true}) {
    SCOPED_TRACE(backups ? "backups on" : "backups off");
    session_->Globals().IdeOptions.CreateBackups = backups;
    const std::string a = File("a.src");
    const std::string backup = File("a.src.bak", "the previous backup");
    Form().OpenSourceFile(a);
    Type("X");
    Files().SetBytesWriter(workbench::FullHalfWay());
    boxes_.Clear();
    boxes_.Answer(platform::kAnswerOk);
    Form().ClickMenuItem(main_menu::FileSaveMENUITM);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_NE(boxes_.Boxes()[0].text.find("No space left on device"), std::string::npos);
    EXPECT_EQ(ReadFile(a), "\tNOP\n");
    EXPECT_EQ(ReadFile(backup), "the previous backup");
    EXPECT_TRUE(Modified(0));
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
      EXPECT_NE(entry.path().filename().string().rfind(".qvkey-", 0), 0u) << entry.path();
    // Yes in the close question whose save fails refuses the close.
    boxes_.Answer(platform::kAnswerYes);
    boxes_.Answer(platform::kAnswerOk);
    EXPECT_FALSE(Form().close());
    EXPECT_EQ(Rows(), std::vector<std::string>{a});
    boxes_.Answer(platform::kAnswerNo);
    EXPECT_TRUE(Form().close());
    form_.reset();
  }
}

// A save through a symbolic link writes the file it names and keeps the link; the backup
// goes beside the name the user opened.
TEST_F(MainFilesTest, ASaveThroughALinkWritesItsTarget) {
  session_->Globals().IdeOptions.CreateBackups = true;
  std::filesystem::create_directory(folder_.Path() + "real");
  const std::string real = File("real/a.src");
  const std::string link = folder_.Path() + "a.src";
  std::filesystem::create_symlink("real/a.src", link);
  Form().OpenSourceFile(link);
  Type("X");
  Form().ClickMenuItem(main_menu::FileSaveMENUITM);
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadFile(real), "X\tNOP\r\n");
  EXPECT_EQ(ReadFile(folder_.Path() + "a.src.bak"), "\tNOP\n");
  EXPECT_FALSE(Modified(0));
}

// A file another program wrote since the editor loaded it: Save asks first. No writes the
// editor's text over it; Yes loads the other program's text instead of saving.
TEST_F(MainFilesTest, SaveAsksWhenTheFileIsNewerOnDisk) {
  struct Case {
    int answer;
    const char* on_disk;
    const char* shown;
  };
  const Case cases[] = {
      {platform::kAnswerNo, "X\tNOP\r\n", "X\tNOP\r\n"},
      {platform::kAnswerYes, "\tSLEEP\n", "\tSLEEP\r\n"},
  };
  for (const Case& c : cases) {
    const std::string a = File("a.src");
    Form().OpenSourceFile(a);
    Type("X");
    File("a.src", "\tSLEEP\n");
    std::filesystem::last_write_time(a,
                                     std::filesystem::last_write_time(a) + std::chrono::seconds(2));
    boxes_.Clear();
    boxes_.Answer(c.answer);
    Form().ClickMenuItem(main_menu::FileSaveMENUITM);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text,
              "There is a newer version on disk of:\r\r" + a + "\r\rLoad the new version?");
    EXPECT_EQ(ReadFile(a), c.on_disk);
    EXPECT_EQ(Text(0), c.shown);
    EXPECT_FALSE(Modified(0));
    // Nothing more is asked once the editor and the file agree.
    Form().ClickMenuItem(main_menu::FileSaveMENUITM);
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
    boxes_.Answer(platform::kAnswerNo);
    Form().ClickMenuItem(main_menu::FileCloseMENUITM);
  }
}

// Files dropped on the text open as files, whatever the program they come from proposes, and
// the drop is a copy: the text stays as it was.
TEST_F(MainFilesTest, FilesDroppedOnTheEditorOpenAsACopy) {
  const std::string a = File("a.src");
  const std::string d = File("d.src", "\tSLEEP\n");
  const std::string e = File("e.src");
  Form().OpenSourceFile(a);
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(d)),
                QUrl::fromLocalFile(QString::fromStdString(e))});
  QWidget* target = Form().CurrentScrivlet()->viewport();
  const QPoint at(20, 20);
  QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.setDropAction(Qt::MoveAction);
  QApplication::sendEvent(target, &enter);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
  QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                  Qt::NoModifier);
  drop.setDropAction(Qt::MoveAction);
  QApplication::sendEvent(target, &drop);
  EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
  EXPECT_EQ(Rows(), (std::vector<std::string>{a, d}));
  EXPECT_EQ(Text(0), "\tNOP\r\n");
  EXPECT_FALSE(Modified(0));
  EXPECT_EQ(Text(1), "\tSLEEP\r\n");

  // A drag that can only be a move is refused.
  QDragEnterEvent move_only(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&Form(), &move_only);
  EXPECT_FALSE(move_only.isAccepted());
}

TEST_F(MainFilesTest, TheWindowsMenuSelectsEditorsByTheirRow) {
  const std::string a = File("a.src");
  const std::string b = File("b.src");
  Form().OpenSourceFile(a);
  Form().OpenSourceFile(b);
  const auto& items = Form().WindowsMenu().Items();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[2].Tag, 1);
  EXPECT_TRUE(items[2].Checked);
  QList<QAction*> actions = Form().MenuItem(main_menu::WindowsMENUITM)->menu()->actions();
  ASSERT_EQ(actions.size(), 3);
  // Each file is chosen by its number from the keyboard.
  EXPECT_EQ(actions[1]->text().toStdString(), "&" + items[1].Caption);
  EXPECT_EQ(actions[2]->text().toStdString(), "&" + items[2].Caption);
  EXPECT_TRUE(actions[2]->text().startsWith("&2 "));
  actions[1]->trigger();
  EXPECT_EQ(Form().CurrentEditorIndex(), 0);
  EXPECT_TRUE(Form().WindowsMenu().Items()[1].Checked);
}

}  // namespace

namespace {

// The window with three files: one modified, one the top file; saved as a picture when
// QV_SHOT_DIR is set.
TEST_F(MainFilesTest, TheWindowWithThreeFilesShowsTheModifiedAndTheTopFile) {
  const std::string main_file = File("main.src", "; main\n\tINCLUDE \"io.src\"\n\tJMP start\n");
  const std::string io = File("io.src", "; io\nstart\tMOV W,#1\n");
  const std::string count = File("count.qvb", "' count\nFOR i = 1 TO 10\nNEXT\n");
  for (const std::string& file : {main_file, io, count}) Form().OpenSourceFile(file);
  Form().SelectEditor(0);
  Files().SetAsTop();
  Form().SelectEditor(1);
  Type("; changed\r");
  Form().SelectEditor(2);
  Form().resize(800, 400);
  session_->Texts().ReapplyLanguage();
  QApplication::processEvents();
  const QImage picture = Form().grab().toImage();
  QListWidget& list = Form().FileList();
  const QRect modified_row = list.visualItemRect(list.item(1));
  EXPECT_EQ(
      picture.pixelColor(list.viewport()->mapTo(&Form(), modified_row.topLeft() + QPoint(1, 1))),
      gui::ModifiedRowColor(list.palette().base().color()));
  EXPECT_EQ(Form().CurrentScrivlet()->isVisible(), true);
  EXPECT_FALSE(Form().Editors().GetEditor(0)->isVisible());
  if (const char* dir = std::getenv("QV_SHOT_DIR")) picture.save(QString(dir) + "/main_window.png");
}

// A row the list cuts off shows whole in a panel over it while the mouse is on it; the row in
// front, a row that fits and the space below the rows show none, and a click on the panel
// selects the row beneath.
TEST_F(MainFilesTest, ARowTheListCutsOffShowsWholeInAPanelOverIt) {
  const std::string first = File("first.src");
  const std::string second = File("a rather long name of a second source file.src");
  Form().OpenSourceFile(first);
  Form().OpenSourceFile(second);
  Type("x");
  Form().SelectEditor(0);
  Form().resize(800, 400);
  Form().show();
  QListWidget& list = Form().FileList();
  Form().FileListSplitter().setSizes({120, 680});
  QApplication::processEvents();
  auto* panel = Form().findChild<QLabel*>(editor_frm::CurrFilePNL);
  ASSERT_NE(panel, nullptr);
  const auto move_to = [&list](int row) {
    const QPoint at = row < 0 ? QPoint(5, list.viewport()->height() - 3)
                              : list.visualItemRect(list.item(row)).center();
    QMouseEvent move(QEvent::MouseMove, at, list.viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &move);
  };
  move_to(1);
  ASSERT_TRUE(panel->isVisible());
  EXPECT_EQ(panel->text().toStdString(), "*" + second);
  EXPECT_GT(panel->width(), list.viewport()->width());
  const QPoint row_top =
      list.viewport()->mapTo(&Form(), list.visualItemRect(list.item(1)).topLeft());
  EXPECT_EQ(panel->pos(), row_top + QPoint(2, 2));

  move_to(0);  // the row in front
  EXPECT_FALSE(panel->isVisible());
  move_to(-1);  // below the rows
  EXPECT_FALSE(panel->isVisible());

  move_to(1);
  ASSERT_TRUE(panel->isVisible());
  QTest::mouseClick(panel, Qt::LeftButton);
  EXPECT_EQ(Form().CurrentEditorIndex(), 1);
  EXPECT_FALSE(panel->isVisible());

  // Wide enough for every row: no panel.
  Form().resize(2400, 400);
  Form().FileListSplitter().setSizes({2200, 200});
  QApplication::processEvents();
  ASSERT_GT(list.viewport()->width(), panel->fontMetrics().horizontalAdvance(panel->text()));
  Form().SelectEditor(0);
  move_to(1);
  EXPECT_FALSE(panel->isVisible());
  if (const char* dir = std::getenv("QV_SHOT_DIR")) {
    Form().resize(800, 400);
    Form().FileListSplitter().setSizes({120, 680});
    QApplication::processEvents();
    move_to(1);
    Form().grab().save(QString(dir) + "/hover_panel.png");
  }
}

}  // namespace
