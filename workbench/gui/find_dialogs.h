#pragma once
// The enhanced editor's find and replace dialogs, `Edit_FindDialog` and `Edit_ReplaceDialog`:
// modeless, they stay up while the user searches and edits. A button asks the owner through
// the handler it set; an empty find text offers no search.

#include <QDialog>
#include <functional>
#include <string>

#include "workbench/editor_find.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace gui {

// What the two dialogs share: the find text and its options, and the move away from the
// screen while a question about the search is up.
class TFindDialogBase : public QDialog, public workbench::FindDialogPlace {
 public:
  // The text and its options as the dialog holds them.
  workbench::FindOptions Options() const;
  void SetFindText(const std::string& text);
  // Called on show (true) and on close (false).
  std::function<void(bool open)> OnOpenChanged;

  // FindDialogPlace
  void MoveAway() override;
  void MoveBack() override;
  void Close() override { hide(); }

  QLineEdit* FindEdit;
  QCheckBox* MatchCaseCB;
  QCheckBox* WholeWordCB;
  QPushButton* FindNextBTN;
  QPushButton* CancelBTN;

 protected:
  TFindDialogBase(QWidget* owner, const char* name, const char* caption);
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  virtual bool SearchesDown() const { return true; }
  virtual void UpdateButtons();

 private:
  QPoint kept_place_;
  bool moved_away_ = false;
};

class TEditFindDialog : public TFindDialogBase {
 public:
  explicit TEditFindDialog(QWidget* owner);
  std::function<void()> OnFind;

  QRadioButton* UpRB;
  QRadioButton* DownRB;

 protected:
  bool SearchesDown() const override;
};

// Replacing always goes down from the caret.
class TEditReplaceDialog : public TFindDialogBase {
 public:
  explicit TEditReplaceDialog(QWidget* owner);
  std::string ReplaceText() const;
  std::function<void()> OnFind;
  std::function<void()> OnReplace;
  std::function<void()> OnReplaceAll;

  QLineEdit* ReplaceEdit;
  QPushButton* ReplaceBTN;
  QPushButton* ReplaceAllBTN;

 protected:
  void UpdateButtons() override;
};

}  // namespace gui
