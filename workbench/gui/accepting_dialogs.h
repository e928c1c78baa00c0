#pragma once
// The modal dialog service of a run without a user: every dialog is accepted as it stands.

#include <QDialog>

#include "platform/modal_dialogs.h"

namespace gui {

class AcceptingModalDialogs : public platform::ModalDialogService {
 public:
  int Run(QDialog& dialog) override {
    dialog.accept();
    return QDialog::Accepted;
  }
};

}  // namespace gui
