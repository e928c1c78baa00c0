#pragma once
// Every modal dialog of the IDE opens through this service, so that tests can answer it as
// they answer message boxes. The window toolkit's binding runs the dialog's own loop; a
// recorder logs each dialog and answers from a script. The dialog type is only named here:
// nothing below the windows needs to know it.

class QDialog;

namespace platform {

class ModalDialogService {
 public:
  virtual ~ModalDialogService() = default;
  // The dialog's result (accepted, rejected or a result of its own).
  virtual int Run(QDialog& dialog) = 0;
};

}  // namespace platform
