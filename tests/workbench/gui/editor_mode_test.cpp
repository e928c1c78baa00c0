// The main window's switch between the enhanced editors and the legacy editor: the option as
// the configuration dialog reads it at start-up and changes it later, the items and shortcuts
// of each mode, and which handler a menu command reaches.

#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QStackedWidget>
#include <QToolBar>

#include "editor_control/gui/scrivlet_widget.h"
#include "stored_option_start.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/old_editor_pane.h"
#include "workbench/session/session.h"

namespace {

class EditorModeTest : public testing_gui::StoredOptionStart {
 protected:
  void Start(bool enhanced) { StartWithEditorOption(enhanced); }

  bool Visible(const char* item) const { return form_->MenuItem(item)->isVisible(); }
  QString Shortcut(const char* item) const {
    return form_->MenuItem(item)->shortcut().toString();
  }

  // What each mode shows; `legacy` is whether the legacy editor is in use.
  void ExpectMode(bool legacy) {
    SCOPED_TRACE(legacy ? "legacy editor" : "enhanced editor");
    EXPECT_EQ(form_->UsesLegacyEditor(), legacy);
    EXPECT_EQ(form_->OldEditor().Widget().isVisible(), legacy);
    scrivlet::gui::TScrivlet* editor = form_->CurrentScrivlet();
    EXPECT_EQ(editor && editor->isVisible(), !legacy);
    EXPECT_EQ(form_->FileList().isVisible(), !legacy);
    EXPECT_EQ(form_->findChild<QToolBar*>("ToolBar")->isVisible(), !legacy);
    for (const char* item : {"EditUndoMenuMENUITM", "EditRedoMenuMENUITM",
                             "EditGoToLineMENUITM", "RunViewDebugCodeMENUITM"})
      EXPECT_EQ(Visible(item), !legacy) << item;
    for (const char* item :
         {"FileListToggleMENUITM", "EditTextBiggerMENUITM", "EditTextSmallerMENUITM"})
      EXPECT_EQ(Visible(item), legacy) << item;
    EXPECT_EQ(Shortcut("FileListToggleMENUITM"), legacy ? "Ctrl+L" : "");
    EXPECT_EQ(Shortcut("RunViewDebugCodeMENUITM"), legacy ? "" : "Ctrl+L");
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
  EXPECT_TRUE(Visible("EditClearErrorsMENUITM"));
  for (const bool tarn : {true, false}) {
    session_->Globals().IdeOptions.UseTarn = tarn;
    session_->Globals().EditorOptions.UseNewEditor = false;
    form_->ApplyEditorMode();
    EXPECT_EQ(Visible("EditClearErrorsMENUITM"), tarn);
  }
}

// A command reaches the editor that is shown, and only that one.
TEST_F(EditorModeTest, EditCommandsReachTheEditorInUse) {
  Start(false);
  workbench::LegacyEditor& legacy = form_->OldEditor().Editor();
  ASSERT_TRUE(legacy.LoadText("abc\r\n"));
  legacy.Select(0, 4);
  form_->ClickMenuItem("EditCutMENUITM");
  EXPECT_EQ(legacy.Text(), "");

  ASSERT_TRUE(legacy.LoadText("abc\r\n"));
  legacy.Select(0, 4);
  session_->Globals().EditorOptions.UseNewEditor = true;
  form_->ApplyEditorMode();
  scrivlet::gui::TScrivlet* editor = form_->CurrentScrivlet();
  ASSERT_NE(editor, nullptr);
  editor->Memo().SetTextBuf("xyz");
  editor->Memo().SelectAll();
  form_->ClickMenuItem("EditCutMENUITM");
  EXPECT_EQ(editor->Memo().Text(), "");
  EXPECT_EQ(legacy.Text(), "abc\r");
}

}  // namespace
