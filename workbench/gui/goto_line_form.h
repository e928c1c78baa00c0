#pragma once
// TGotoLineNumDLG, "Go to Line Number...":
//   if (goto_line.Execute()) editor.ScrollToLine(goto_line.LineNumber() - 1);

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {
class ModalDialogService;
}
namespace workbench {
class Localizer;
}

namespace gui {

class TGotoLineNumDLG : public QDialog {
 public:
  TGotoLineNumDLG(workbench::Localizer& texts, platform::ModalDialogService& dialogs,
                  QWidget* owner = nullptr);

  // Shows the dialog modally; true on OK with a line number of 1 or more.
  bool Execute();
  // The line asked for, or -1 (no jump).
  int LineNumber() const { return line_; }

  QLabel* LineNumLBL;
  QLineEdit* LineNumEDT;
  QPushButton* OkBTN;
  QPushButton* CancelBTN;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool OkBTNClick();

  platform::ModalDialogService& dialogs_;
  int line_ = -1;
};

}  // namespace gui
