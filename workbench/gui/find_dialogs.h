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

// What the two dialogs share: the find text and its options, and keeping a found text in
// sight.
class TFindDialogBase : public QDialog, public workbench::FindDialogPlace {
 public:
  // The text and its options as the dialog holds them.
  workbench::FindOptions Options() const;
  void SetFindText(const std::string& text);
  // Called on show (true) and on close (false).
  std::function<void(bool open)> OnOpenChanged;

  // Moves the dialog up or down off `line` (screen coordinates) when it covers it: the text
  // just found is never under the dialog. Searching down it goes above the line, so that the
  // next hits below stay free, and below it searching up; the other side when that has no
  // room on the screen.
  void KeepClearOf(const QRect& line);

  // FindDialogPlace
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
