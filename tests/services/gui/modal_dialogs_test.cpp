#include "services/gui/modal_dialogs.h"

#include <gtest/gtest.h>

#include <QLineEdit>

#include "modal_answerer.h"
#include "resources/widget_names.h"

namespace goto_line_dlg = widget_names::GotoLineNumDLG;

namespace {

TEST(ModalDialogs, RecorderLogsAnswersAndActsOnTheDialog) {
  gui::RecordingModalDialogs dialogs;
  QDialog dialog;
  dialog.setObjectName(goto_line_dlg::GotoLineNumDLG);
  dialog.setWindowTitle("Go to Line Number...");
  auto* edit = new QLineEdit(&dialog);
  dialogs.Answer(QDialog::Accepted, [edit](QDialog&) { edit->setText("42"); });
  EXPECT_EQ(dialogs.Run(dialog), QDialog::Accepted);
  EXPECT_EQ(edit->text(), "42");
  EXPECT_EQ(dialogs.Run(dialog), QDialog::Rejected);  // no script left: cancelled
  ASSERT_EQ(dialogs.Dialogs().size(), 2u);
  EXPECT_EQ(dialogs.Dialogs()[0].name, goto_line_dlg::GotoLineNumDLG);
  EXPECT_EQ(dialogs.Dialogs()[0].title, "Go to Line Number...");
  EXPECT_EQ(dialogs.Dialogs()[0].result, QDialog::Accepted);
  EXPECT_EQ(dialogs.Dialogs()[1].result, QDialog::Rejected);
}

TEST(ModalDialogs, QtBindingRunsTheDialogsOwnLoop) {
  QDialog dialog;
  gui::QtModalDialogs dialogs;
  testing_gui::ActOnNextDialog([](QDialog& d) { d.accept(); });
  EXPECT_EQ(dialogs.Run(dialog), QDialog::Accepted);
}

}  // namespace
