// The main window with the real assembler: the error list under the editors, a double click on
// each of its lines, and find and replace through the Edit menu's dialogs.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cstdlib>
#include <memory>

#include "editor_control/gui/scrivlet_widget.h"
#include "platform/message_box.h"
#include "real_tarn_session.h"
#include "resources/code_widget_names.h"
#include "tests/services/gui/tab_walk.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/error_list.h"
#include "workbench/gui/find_dialogs.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/main_files.h"
#include "workbench/gui/main_find.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;
namespace goto_line_dlg = widget_names::GotoLineNumDLG;

namespace {

class MainWindowTest : public testing_gui::RealTarnSessionTest {
 protected:
  MainWindowTest() : RealTarnSessionTest("main window") {
    form_ =
        std::make_unique<gui::TEditorFRM>(*session_, std::vector<std::string>{}, QSize(1024, 768));
    // Shown first, as at a start without a file: the window's first new file comes then.
    form_->show();
  }

  scrivlet::TScrivlet& Memo() { return form_->CurrentScrivlet()->Memo(); }
  std::string CurrentFile() { return form_->Files().CurrentFileName(); }

  std::unique_ptr<gui::TEditorFRM> form_;
};

TEST_F(MainWindowTest, EachErrorLineLandsOnItsLineInItsFile) {
  const std::string main = Source("main.src", testing_gui::kMainWithErrors);
  const std::string include = Source(testing_gui::kIncludeName, testing_gui::kIncludeWithErrors);
  form_->OpenSourceFile(main);
  ASSERT_EQ(CurrentFile(), main);
  std::string message;
  ASSERT_EQ(session_->AssembleCompile().TarnAssembleWithMessage(main, message, false), 1);
  form_->LoadErrorList();

  QListWidget& list = form_->ErrorList();
  ASSERT_EQ(list.count(), 3);
  EXPECT_TRUE(list.isVisible());
  struct Row {
    int row;
    std::string file;
    int line;  // 0-based
  };
  const Row rows[] = {
      {0, include, 1}, {1, include, 3}, {2, main, 6}, {0, include, 1}, {2, main, 6}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.row);
    list.setCurrentRow(r.row);
    emit list.itemDoubleClicked(list.item(r.row));
    EXPECT_EQ(CurrentFile(), r.file);
    EXPECT_EQ(Memo().GetSelPar(), r.line);
    EXPECT_EQ(form_->Errors().Marking().Line(), r.line);
    EXPECT_FALSE(Memo().Modified());
  }
  EXPECT_EQ(form_->Editors().Count(), 2);
  EXPECT_TRUE(boxes_.Boxes().empty());

  if (const char* folder = std::getenv("QV_SCREENSHOTS")) {
    form_->resize(900, 560);
    QApplication::processEvents();
    const QString file = QString("%1/main_window_errors.png").arg(folder);
    EXPECT_TRUE(form_->grab().save(file)) << file.toStdString();
  }

  // Clear Errors empties the list and takes every mark off.
  form_->ClickMenuItem(main_menu::EditClearErrorsMENUITM);
  EXPECT_EQ(list.count(), 0);
  EXPECT_FALSE(list.isVisible());
  EXPECT_EQ(form_->Errors().Marking().Line(), -1);
}

TEST_F(MainWindowTest, EachOpenedFileTakesTheKeywordsAndCommentOfItsLanguage) {
  struct Row {
    const char* name;
    int keywords;  // the program's assembly list; the installed BASIC list is empty
    const char* comment;
  };
  const Row rows[] = {{"a.src", 70, ";"}, {"b.QVB", 0, "'"}, {"c.txt", 0, nullptr}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    form_->OpenSourceFile(Source(r.name, "mov a\n"));
    const scrivlet::TScrivlet& memo = Memo();
    EXPECT_EQ(memo.Keywords.Count(), r.keywords);
    // With coloured comments: the comment key (when the language has one) and the string key.
    ASSERT_EQ(memo.StartStopKeys.Count(), r.comment ? 2 : 1);
    if (r.comment) {
      EXPECT_EQ(memo.StartStopKeys.Items(0).StartKey, r.comment);
    }
  }
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MainWindowTest, GoToLinePutsTheCaretOnTheLineTyped) {
  boxes_.Answer(platform::kAnswerOk);  // a first run: its notice, then the configuration
  gui::IdeForms forms(*form_, *session_);
  form_->OpenSourceFile(Source("g.src", "a\nb\nc\nd\n"));
  for (const char* typed : {"3", "0"}) {
    dialogs_.Answer(QDialog::Accepted, [typed](QDialog& dialog) {
      dialog.findChild<QLineEdit*>(goto_line_dlg::LineNumEDT)->setText(typed);
    });
    form_->ClickMenuItem(main_menu::EditGoToLineMENUITM);
    EXPECT_EQ(Memo().GetSelPar(), 2) << typed;  // line 0 is no line: the caret stays
  }
  EXPECT_EQ(dialogs_.Dialogs().back().name, goto_line_dlg::GotoLineNumDLG);
  EXPECT_EQ(form_->MenuItem(main_menu::EditGoToLineMENUITM)->shortcut(), QKeySequence("Ctrl+G"));
}

TEST_F(MainWindowTest, GoToLineLeavesNoSelectionForTheNextKey) {
  boxes_.Answer(platform::kAnswerOk);  // a first run: its notice, then the configuration
  gui::IdeForms forms(*form_, *session_);
  form_->OpenSourceFile(Source("g.src", "a\nb DJNZ\nc\nd\n"));
  // What a find left selected: the word's last letters and the line break after it.
  Memo().Select(7, 11);
  dialogs_.Answer(QDialog::Accepted, [](QDialog& dialog) {
    dialog.findChild<QLineEdit*>(goto_line_dlg::LineNumEDT)->setText("3");
  });
  form_->ClickMenuItem(main_menu::EditGoToLineMENUITM);
  EXPECT_EQ(Memo().GetSelPar(), 2);
  EXPECT_EQ(Memo().GetSelLength(), 0);
  QTest::keyClicks(form_->CurrentScrivlet(), "X");
  EXPECT_EQ(Memo().Text(), "a\r\nb DJNZ\r\nXc\r\nd\r\n");
}

TEST_F(MainWindowTest, OneEscFromAMenuGivesTheKeysBackToTheEditor) {
  boxes_.Answer(platform::kAnswerOk);  // a first run: its notice, then the configuration
  gui::IdeForms forms(*form_, *session_);
  form_->OpenSourceFile(Source("k.src", "a\nb\n"));
  ASSERT_TRUE(testing_gui::InFront(*form_));
  // After a Go to Line, as a user goes on.
  dialogs_.Answer(QDialog::Accepted, [](QDialog& dialog) {
    dialog.findChild<QLineEdit*>(goto_line_dlg::LineNumEDT)->setText("2");
  });
  form_->ClickMenuItem(main_menu::EditGoToLineMENUITM);
  scrivlet::gui::TScrivlet* editor = form_->CurrentScrivlet();
  ASSERT_EQ(QApplication::focusWidget(), editor);
  for (const char* column : {main_menu::HelpMENUITM, main_menu::EditMENUITM}) {
    SCOPED_TRACE(column);
    form_->menuBar()->setActiveAction(form_->MenuItem(column));
    QWidget* menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(form_->focusWidget(), editor);
    QTest::keyClicks(form_->focusWidget(), "X");
  }
  EXPECT_EQ(Memo().Text(), "a\r\nXXb\r\n");
}

// The line of the caret across the editor, on the screen.
QRect CaretLine(scrivlet::gui::TScrivlet& editor) {
  const QRect caret =
      static_cast<QWidget&>(editor).inputMethodQuery(Qt::ImCursorRectangle).toRect();
  QWidget* view = editor.viewport();
  return QRect(view->mapToGlobal(QPoint(0, caret.top())), QSize(view->width(), caret.height()));
}

TEST_F(MainWindowTest, TheFindDialogsNeverCoverTheTextTheyFound) {
  std::string text;
  for (int i = 0; i < 12; ++i) text += i == 6 ? "mov a\n" : "nop\n";
  form_->OpenSourceFile(Source("far.src", text));
  gui::MainWindowFind& find = form_->Find();
  struct Row {
    const char* what;
    gui::TFindDialogBase* dialog;
    const char* menu_item;
    QPushButton* find_next;
  };
  const Row rows[] = {
      {"find", &find.FindDialog(), main_menu::EditFindMENUITM, find.FindDialog().FindNextBTN},
      {"replace", &find.ReplaceDialog(), main_menu::EditFindReplaceMENUITM,
       find.ReplaceDialog().FindNextBTN},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Memo().SetSelStart(0);
    form_->ClickMenuItem(r.menu_item);
    r.dialog->FindEdit->setText("mov");
    r.find_next->click();
    ASSERT_EQ(Memo().GetSelText(), "mov");
    const QRect hit = CaretLine(*form_->CurrentScrivlet());
    // Put over the hit, the dialog moves off it at the next find of the same hit.
    r.dialog->move(r.dialog->x(), hit.top() - r.dialog->frameGeometry().height() / 2);
    ASSERT_TRUE(r.dialog->frameGeometry().intersects(hit));
    const int left = r.dialog->x();
    Memo().SetSelStart(0);
    r.find_next->click();
    EXPECT_EQ(CaretLine(*form_->CurrentScrivlet()), hit);
    EXPECT_FALSE(r.dialog->frameGeometry().intersects(hit));
    EXPECT_EQ(r.dialog->x(), left);
    // Away from the hit it stays where the user put it.
    const QPoint place = r.dialog->pos();
    Memo().SetSelStart(0);
    r.find_next->click();
    EXPECT_EQ(r.dialog->pos(), place);
    r.dialog->hide();
  }
}

TEST_F(MainWindowTest, TabGoesThroughTheFindDialogsAsTheyShow) {
  namespace fd = widget_names::FindDialog;
  form_->OpenSourceFile(Source("t.src", "mov a\n"));
  gui::MainWindowFind& find = form_->Find();
  struct Row {
    const char* menu_item;
    gui::TFindDialogBase* dialog;
    QStringList walk;
  };
  const Row rows[] = {
      {main_menu::EditFindMENUITM,
       &find.FindDialog(),
       {fd::WholeWordCB, fd::MatchCaseCB, fd::DownRB, fd::FindNextBTN, fd::CancelBTN,
        fd::FindEdit}},
      {main_menu::EditFindReplaceMENUITM,
       &find.ReplaceDialog(),
       {fd::ReplaceEdit, fd::WholeWordCB, fd::MatchCaseCB, fd::FindNextBTN, fd::ReplaceBTN,
        fd::ReplaceAllBTN, fd::CancelBTN, fd::FindEdit}},
  };
  Memo().Select(0, 3);  // a find text, so that every button takes the focus
  for (const Row& r : rows) {
    SCOPED_TRACE(r.menu_item);
    form_->ClickMenuItem(r.menu_item);
    ASSERT_TRUE(testing_gui::InFront(*r.dialog));
    r.dialog->FindEdit->setFocus();
    EXPECT_EQ(testing_gui::TabWalk(static_cast<int>(r.walk.size())), r.walk);
    r.dialog->hide();
  }
  // The direction is entered at the one checked.
  find.FindDialog().UpRB->setChecked(true);
  form_->ClickMenuItem(main_menu::EditFindMENUITM);
  ASSERT_TRUE(testing_gui::InFront(find.FindDialog()));
  find.FindDialog().MatchCaseCB->setFocus();
  EXPECT_EQ(testing_gui::TabWalk(2), (QStringList{fd::UpRB, fd::FindNextBTN}));
}

TEST_F(MainWindowTest, FindAndReplaceGoThroughTheEditMenusDialogs) {
  const std::string file = Source("find.src", "mov a\nnop\nMOV b\n");
  form_->OpenSourceFile(file);
  gui::MainWindowFind& find = form_->Find();
  gui::TEditFindDialog& dialog = find.FindDialog();

  // The selection becomes the find text; an empty text offers no search.
  Memo().Select(0, 3);
  form_->ClickMenuItem(main_menu::EditFindMENUITM);
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(find.FindDialogOpen());
  EXPECT_EQ(dialog.FindEdit->text().toStdString(), "mov");
  dialog.FindEdit->clear();
  EXPECT_FALSE(dialog.FindNextBTN->isEnabled());
  dialog.FindEdit->setText("mov");
  EXPECT_TRUE(dialog.FindNextBTN->isEnabled());

  Memo().SetSelStart(0);
  dialog.FindNextBTN->click();
  EXPECT_EQ(Memo().GetSelText(), "mov");
  EXPECT_EQ(Memo().SelLower(), 0);
  dialog.FindNextBTN->click();
  EXPECT_EQ(Memo().SelLower(), 12);  // "MOV": case does not matter

  // At the end the question; Yes goes on from the top, and the dialog is back in its place.
  const QPoint place = dialog.pos();
  boxes_.Answer(platform::kAnswerYes);
  dialog.FindNextBTN->click();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Couldn't find: \"mov\"\r\rContinue searching from the top?");
  EXPECT_EQ(Memo().SelLower(), 0);
  EXPECT_EQ(dialog.pos(), place);

  // Find Next (F3) searches with the dialog's text and options.
  dialog.MatchCaseCB->setChecked(true);
  dialog.FindEdit->setText("MOV");
  EXPECT_EQ(form_->MenuItem(main_menu::EditFindNextMenuMENUITM)->shortcut(), QKeySequence("F3"));
  form_->ClickMenuItem(main_menu::EditFindNextMenuMENUITM);
  EXPECT_EQ(Memo().SelLower(), 12);
  dialog.CancelBTN->click();
  EXPECT_FALSE(find.FindDialogOpen());

  // Replace All from the replace dialog: every hit, the count told, the caret kept.
  Memo().SetSelStart(7);
  form_->ClickMenuItem(main_menu::EditFindReplaceMENUITM);
  gui::TEditReplaceDialog& replace = find.ReplaceDialog();
  EXPECT_TRUE(replace.isVisible());
  replace.FindEdit->setText("mov");
  replace.ReplaceEdit->setText("add");
  boxes_.Answer(platform::kAnswerOk);
  replace.ReplaceAllBTN->click();
  EXPECT_EQ(Memo().Text(), "add a\r\nnop\r\nadd b\r\n");
  EXPECT_EQ(Memo().GetSelStart(), 7);
  EXPECT_EQ(boxes_.Boxes().back().text, "Replaced: mov\rwith: add\r2 times.");
  EXPECT_EQ(boxes_.Boxes().back().caption, "Find and Replace");
  EXPECT_TRUE(Memo().Modified());

  if (const char* folder = std::getenv("QV_SCREENSHOTS")) {
    EXPECT_TRUE(replace.grab().save(QString("%1/replace_dialog.png").arg(folder)));
    EXPECT_TRUE(dialog.grab().save(QString("%1/find_dialog.png").arg(folder)));
  }
}

}  // namespace
