#pragma once
// The Qt binding of the modal-dialog service (platform/modal_dialogs.h), and the recorder that
// tests bind in its place.

#include <QDialog>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/modal_dialogs.h"

namespace gui {

using platform::ModalDialogService;

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

}  // namespace gui
