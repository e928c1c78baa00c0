#pragma once
// Every modal dialog of the IDE opens through RunModal, so that tests can answer it as they
// answer message boxes: the Qt binding runs the dialog's own loop; a recorder logs each
// dialog and answers from a script.

#include <QDialog>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace gui {

class ModalDialogService {
 public:
  virtual ~ModalDialogService() = default;
  // The dialog's result (QDialog::Accepted, QDialog::Rejected or a result of its own).
  virtual int Run(QDialog& dialog) = 0;
};

// Until another service is installed, dialogs run their own modal loop.
ModalDialogService& ModalDialogs();
// Installs a service (not owned); nullptr restores the Qt binding.
void SetModalDialogService(ModalDialogService* service);

int RunModal(QDialog& dialog);

class QtModalDialogs : public ModalDialogService {
 public:
  int Run(QDialog& dialog) override { return dialog.exec(); }
};

struct DialogRecord {
  std::string name;   // the dialog's object name
  std::string title;  // its window title
  int result = QDialog::Rejected;
};

// Answers each dialog with the next scripted answer, after running the answer's action on the
// dialog (filling its fields, clicking its buttons); without a script a dialog is cancelled.
class RecordingModalDialogs : public ModalDialogService {
 public:
  using Action = std::function<void(QDialog&)>;
  int Run(QDialog& dialog) override;
  void Answer(int result, Action action = {}) { script_.push_back({result, std::move(action)}); }
  const std::vector<DialogRecord>& Dialogs() const { return dialogs_; }

 private:
  struct Scripted {
    int result;
    Action action;
  };
  std::vector<DialogRecord> dialogs_;
  std::deque<Scripted> script_;
};

class ScopedModalDialogRecorder {
 public:
  ScopedModalDialogRecorder() { SetModalDialogService(&recorder_); }
  ~ScopedModalDialogRecorder() { SetModalDialogService(nullptr); }
  RecordingModalDialogs* operator->() { return &recorder_; }
  RecordingModalDialogs& operator*() { return recorder_; }

 private:
  RecordingModalDialogs recorder_;
};

}  // namespace gui
