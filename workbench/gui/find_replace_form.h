#pragma once
// TFindReplaceForm, "Find/Replace": the legacy editor's find and replace questions.
//
// A caller asks like this:
//   const TFindReplaceForm::Answer answer = find_form.Execute(has_selection);
//   switch (answer.result) {
//     case TFindReplaceForm::kFind: ...        // "&Find"
//     case TFindReplaceForm::kReplace: ...     // "&Replace" (only offered with a selection)
//     case TFindReplaceForm::kReplaceAll: ...  // "&All"
//     default: ...                             // "&Cancel"
//   }
// The form keeps its texts and boxes from one question to the next.

#include <QDialog>
#include <string>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace platform {
class ModalDialogService;
}

namespace gui {

class TFindReplaceForm : public QDialog {
 public:
  // The form's results besides Rejected (Cancel).
  enum Result : int {
    kFind = QDialog::Accepted,
    kReplace = 2,
    kReplaceAll = 3,
  };
  struct Answer {
    int result = QDialog::Rejected;
    std::string find_text;  // line breaks as CR LF, as a memo gives them
    std::string replace_text;
    bool from_start = false;
    bool word_only = false;  // ticked, and offered for this find text
  };

  explicit TFindReplaceForm(platform::ModalDialogService& dialogs, QWidget* owner = nullptr);

  // Shows the form modally; "&Replace" is offered only when `replace_enabled`.
  Answer Execute(bool replace_enabled);
  // What the form holds from its last question, asked again without showing it; its result
  // is kFind.
  Answer Held();

  // On every change of the find text.
  void UpdateControls();

  QPlainTextEdit* FindMemo;
  QPlainTextEdit* ReplaceMemo;
  QCheckBox* FromStartCB;
  QCheckBox* WordOnlyCB;
  QPushButton* FindBTN;
  QPushButton* ReplaceBTN;
  QPushButton* AllBTN;
  QPushButton* CancelBTN;

 private:
  void FormActivate();

  platform::ModalDialogService& dialogs_;
};

}  // namespace gui
