// The main window's switch between the enhanced editors and the legacy editor: the option as
// the configuration dialog reads it at start-up and changes it later, the items and shortcuts
// of each mode, and which handler a menu command reaches.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QStackedWidget>
#include <QToolBar>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "editor_control/gui/scrivlet_widget.h"
#include "resources/code_widget_names.h"
#include "stored_option_start.h"
#include "tests/services/gui/tab_walk.h"
#include "workbench/gui/configuration_form.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/old_editor_pane.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;

namespace {

class EditorModeTest : public testing_gui::StoredOptionStart {
 protected:
  void Start(bool enhanced) { StartWithEditorOption(enhanced); }

  bool Visible(const char* item) const { return form_->MenuItem(item)->isVisible(); }
  QString Shortcut(const char* item) const { return form_->MenuItem(item)->shortcut().toString(); }

  // What each mode shows; `legacy` is whether the legacy editor is in use.
  void ExpectMode(bool legacy) {
    SCOPED_TRACE(legacy ? "legacy editor" : "enhanced editor");
    EXPECT_EQ(form_->UsesLegacyEditor(), legacy);
    EXPECT_EQ(form_->OldEditor().Widget().isVisible(), legacy);
    scrivlet::gui::TScrivlet* editor = form_->CurrentScrivlet();
    EXPECT_EQ(editor && editor->isVisible(), !legacy);
    EXPECT_EQ(form_->FileList().isVisible(), !legacy);
    EXPECT_EQ(form_->findChild<QToolBar*>(editor_frm::ToolBar)->isVisible(), !legacy);
    for (const char* item : {main_menu::EditUndoMenuMENUITM, main_menu::EditRedoMenuMENUITM,
                             main_menu::EditGoToLineMENUITM, main_menu::RunViewDebugCodeMENUITM})
      EXPECT_EQ(Visible(item), !legacy) << item;
    for (const char* item : {main_menu::FileListToggleMENUITM, main_menu::EditTextBiggerMENUITM,
                             main_menu::EditTextSmallerMENUITM})
      EXPECT_EQ(Visible(item), legacy) << item;
    EXPECT_EQ(Shortcut(main_menu::FileListToggleMENUITM), legacy ? "Ctrl+L" : "");
    EXPECT_EQ(Shortcut(main_menu::RunViewDebugCodeMENUITM), legacy ? "" : "Ctrl+L");
  }
};

TEST_F(EditorModeTest, TheStoredOptionChoosesTheEditorAndTheDialogsOkSwitchesItBothWays) {
  Start(false);
  ExpectMode(true);
  EXPECT_TRUE(boxes_.Boxes().empty());

  // The dialog's OK with the box ticked, then unticked again.
  session_->Globals().EditorOptions.UseNewEditor = true;
  form_->ApplyEditorMode();
  ExpectMode(false);
  session_->Globals().EditorOptions.UseNewEditor = false;
  form_->ApplyEditorMode();
  ExpectMode(true);
}

TEST_F(EditorModeTest, AnEnhancedStartShowsTheEditorsAndClearErrorsFollowsTheAssembler) {
  Start(true);
  ExpectMode(false);
  EXPECT_TRUE(Visible(main_menu::EditClearErrorsMENUITM));
  for (const bool tarn : {true, false}) {
    session_->Globals().IdeOptions.UseTarn = tarn;
    session_->Globals().EditorOptions.UseNewEditor = false;
    form_->ApplyEditorMode();
    EXPECT_EQ(Visible(main_menu::EditClearErrorsMENUITM), tarn);
  }
}

// A command reaches the editor that is shown, and only that one.
TEST_F(EditorModeTest, EditCommandsReachTheEditorInUse) {
  Start(false);
  workbench::LegacyEditor& legacy = form_->OldEditor().Editor();
  ASSERT_TRUE(legacy.LoadText("abc\r\n"));
  legacy.Select(0, 4);
  form_->ClickMenuItem(main_menu::EditCutMENUITM);
  EXPECT_EQ(legacy.Text(), "");

  ASSERT_TRUE(legacy.LoadText("abc\r\n"));
  legacy.Select(0, 4);
  session_->Globals().EditorOptions.UseNewEditor = true;
  form_->ApplyEditorMode();
  scrivlet::gui::TScrivlet* editor = form_->CurrentScrivlet();
  ASSERT_NE(editor, nullptr);
  editor->Memo().SetTextBuf("xyz");
  editor->Memo().SelectAll();
  form_->ClickMenuItem(main_menu::EditCutMENUITM);
  EXPECT_EQ(editor->Memo().Text(), "");
  EXPECT_EQ(legacy.Text(), "abc\r");
}

// The switch as the user makes it: Run > Configure, "Use Enhanced Editor" set, OK.
class EditorSwitchTest : public EditorModeTest {
 protected:
  std::string File(const std::string& name, const std::string& text) {
    std::string path = folder_.Path() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  void Configure(bool enhanced) {
    dialogs_.Answer(QDialog::Accepted, [enhanced](QDialog& dialog) {
      auto& config = static_cast<workbench::TConfigFRM&>(dialog);
      config.UseNewEditorCB->setChecked(enhanced);
      config.OkBTN->click();
    });
    form_->ClickMenuItem(main_menu::RunConfigureMENUITM);
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < form_->FileList().count(); ++i)
      rows.push_back(form_->FileList().item(i)->text().toStdString());
    return rows;
  }
  void TypeInLegacy(const char* text) {
    for (const char* c = text; *c; ++c)
      form_->OldEditor().Editor().FormKeyPress(static_cast<unsigned char>(*c));
  }
  std::string Title() const { return form_->windowTitle().toStdString(); }
  static constexpr char kSource[] = "\tORG 0\r\n\tNOP\r\n";
};

// The file in front goes over to the legacy editor with its edits, the title names it, and a
// save writes what the legacy editor shows into that file.
TEST_F(EditorSwitchTest, TheFileInFrontGoesOverToTheLegacyEditor) {
  for (const bool edited : {false, true}) {
    SCOPED_TRACE(edited ? "edited" : "as loaded");
    Start(true);
    const std::string a = File("a.src", kSource);
    form_->OpenSourceFile(a);
    if (edited) form_->CurrentScrivlet()->Memo().SetTextBuf("\tORG 0\r\n\tNOP\r\n\tSLEEP\r\n");
    if (edited) form_->CurrentScrivlet()->Memo().SetModified(true);
    Configure(false);
    ExpectMode(true);
    EXPECT_EQ(form_->OldEditor().Editor().Text(),
              edited ? "\tORG 0\r\tNOP\r\tSLEEP\r" : "\tORG 0\r\tNOP\r");
    EXPECT_EQ(form_->OldEditor().Editor().Modified(), edited);
    EXPECT_EQ(Title().substr(0, 8), "a.src - ");
    if (const char* shots = std::getenv("QV_SCREENSHOT_DIR"); shots && edited) {
      QApplication::processEvents();
      form_->grab().save(QString(shots) + "/plain_editor_after_switch.png");
    }
    form_->ClickMenuItem(main_menu::FileSaveMENUITM);
    EXPECT_EQ(testing_gui::ReadFile(a), edited ? "\tORG 0\r\n\tNOP\r\n\tSLEEP\r\n" : kSource);
    EXPECT_TRUE(boxes_.Boxes().empty());
    forms_.reset();
    form_.reset();
  }
}

// The status bar's caret panel tells the caret of the editor in front, whichever it is.
TEST_F(EditorSwitchTest, TheCaretPanelFollowsTheEditorInFront) {
  Start(true);
  form_->OpenSourceFile(File("c.src", "a\r\nb\r\nc\r\nd\r\ne\r\n"));
  const QLabel* caret = form_->findChild<QLabel*>(widget_names::EditorFRM::StatusPanel1);
  ASSERT_NE(caret, nullptr);
  form_->CurrentScrivlet()->Memo().SetSelPar(4);
  EXPECT_EQ(caret->text(), "5:1");
  Configure(false);
  ExpectMode(true);
  EXPECT_EQ(caret->text(), "1:1");
  TypeInLegacy("xy");
  EXPECT_EQ(caret->text(), "1:3");
  form_->OldEditor().Editor().FormKeyDown(workbench::LegacyKey::Down, false, false);
  EXPECT_EQ(caret->text().left(2), "2:");
  boxes_.Answer(platform::kAnswerNo);  // the legacy edits are not kept
  Configure(true);
  ExpectMode(false);
  scrivlet::TScrivlet& memo = form_->CurrentScrivlet()->Memo();
  EXPECT_EQ(caret->text(), QString("%1:%2").arg(memo.GetSelLine() + 1).arg(memo.GetSelCol() + 1));
}

// After the switch the editor in front takes the keys, either way.
TEST_F(EditorSwitchTest, TheEditorInFrontHasTheKeysAfterTheSwitch) {
  Start(true);
  form_->OpenSourceFile(File("f.src", kSource));
  ASSERT_TRUE(testing_gui::InFront(*form_));
  Configure(false);
  ExpectMode(true);
  QApplication::processEvents();
  EXPECT_EQ(form_->focusWidget(), &form_->OldEditor().Widget());
  Configure(true);
  ExpectMode(false);
  QApplication::processEvents();
  EXPECT_EQ(form_->focusWidget(), form_->CurrentScrivlet());
}

// Back to the enhanced editor, a modified legacy buffer is asked for, and the file list shows
// the file the legacy editor held.
TEST_F(EditorSwitchTest, BackToTheEditorsTheLegacyEditsAreAskedFor) {
  struct Case {
    const char* what;
    int answer;
    const char* on_disk;
    const char* shown;
    bool modified;
  };
  const Case cases[] = {
      {"yes saves", platform::kAnswerYes, "x\tNOP\r\n", "x\tNOP\r\n", false},
      {"no drops the edit", platform::kAnswerNo, "\tNOP\r\n", "\tNOP\r\n", false},
      {"cancel brings it along", platform::kAnswerCancel, "\tNOP\r\n", "x\tNOP\r\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Start(false);
    const std::string b = File("b.src", "\tNOP\r\n");
    form_->OpenSourceFile(b);
    TypeInLegacy("x");
    boxes_.Clear();
    boxes_.Answer(c.answer);
    Configure(true);
    ExpectMode(false);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].text, "Save changes to " + b + " ?");
    EXPECT_EQ(testing_gui::ReadFile(b), c.on_disk);
    EXPECT_EQ(Rows(), std::vector<std::string>{b});
    EXPECT_EQ(form_->CurrentScrivlet()->Memo().Text(), c.shown);
    EXPECT_EQ(form_->CurrentScrivlet()->Memo().Modified(), c.modified);
    EXPECT_EQ(Title().substr(0, 8), "b.src - ");
    if (const char* shots = std::getenv("QV_SCREENSHOT_DIR"); shots && c.modified) {
      QApplication::processEvents();
      form_->grab().save(QString(shots) + "/editors_after_switch_back.png");
    }
    // No second question: the editor holds what the legacy editor left.
    EXPECT_EQ(boxes_.Boxes().size(), 1u);
    forms_.reset();
    form_.reset();
  }
}

// A file the legacy editor opened read-only ("/r") stays read-only in the editors.
TEST_F(EditorSwitchTest, AReadOnlyFileStaysReadOnlyAcrossTheSwitch) {
  Start(false);
  const std::string r = File("r.src", "\tNOP\r\n");
  form_->OpenSourceFile(r, true);
  Configure(true);
  ASSERT_EQ(Rows(), std::vector<std::string>{r});
  EXPECT_FALSE(form_->Editors().GetWritable(form_->CurrentEditorIndex()));
  EXPECT_NE(Title().find(" : READ ONLY"), std::string::npos);
}

// The legacy editor's Save makes the backup the editors' Save makes.
TEST_F(EditorSwitchTest, TheLegacySaveMakesABackup) {
  Start(false);
  session_->Globals().IdeOptions.CreateBackups = true;
  const std::string c = File("c.src", "\tNOP\r\n");
  form_->OpenSourceFile(c);
  TypeInLegacy("y");
  form_->ClickMenuItem(main_menu::FileSaveMENUITM);
  EXPECT_EQ(testing_gui::ReadFile(folder_.Path() + "c.src.bak"), "\tNOP\r\n");
  EXPECT_EQ(testing_gui::ReadFile(c), "y\tNOP\r\n");
  EXPECT_TRUE(boxes_.Boxes().empty());
}

// A file another program wrote since the legacy editor loaded it is not overwritten unasked.
TEST_F(EditorSwitchTest, TheLegacySaveAsksWhenTheFileIsNewerOnDisk) {
  for (const int answer : {platform::kAnswerNo, platform::kAnswerYes}) {
    Start(false);
    const std::string d = File("d.src", "\tNOP\r\n");
    form_->OpenSourceFile(d);
    TypeInLegacy("z");
    File("d.src", "\tSLEEP\r\n");
    std::filesystem::last_write_time(d,
                                     std::filesystem::last_write_time(d) + std::chrono::seconds(2));
    boxes_.Clear();
    boxes_.Answer(answer);
    form_->ClickMenuItem(main_menu::FileSaveMENUITM);
    ASSERT_EQ(boxes_.Boxes().size(), 1u);
    EXPECT_EQ(boxes_.Boxes()[0].caption, "File Load Warning");
    if (answer == platform::kAnswerNo) {
      EXPECT_EQ(testing_gui::ReadFile(d), "z\tNOP\r\n");
    } else {
      EXPECT_EQ(testing_gui::ReadFile(d), "\tSLEEP\r\n");
      EXPECT_EQ(form_->OldEditor().Editor().Text(), "\tSLEEP\r");
      EXPECT_FALSE(form_->OldEditor().Editor().Modified());
    }
    forms_.reset();
    form_.reset();
  }
}

}  // namespace
