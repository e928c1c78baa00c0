#include "workbench/gui/modal_dialogs.h"

#include "workbench/gui/text.h"

namespace gui {
namespace {

ModalDialogService* g_service = nullptr;

QtModalDialogs& QtBinding() {
  static QtModalDialogs binding;
  return binding;
}

}  // namespace

ModalDialogService& ModalDialogs() { return g_service ? *g_service : QtBinding(); }
void SetModalDialogService(ModalDialogService* service) { g_service = service; }
int RunModal(QDialog& dialog) { return ModalDialogs().Run(dialog); }

int RecordingModalDialogs::Run(QDialog& dialog) {
  Scripted answer{QDialog::Rejected, {}};
  if (!script_.empty()) {
    answer = std::move(script_.front());
    script_.pop_front();
  }
  dialogs_.push_back({FromQt(dialog.objectName()), FromQt(dialog.windowTitle()), answer.result});
  if (answer.action) answer.action(dialog);
  dialog.setResult(answer.result);
  return answer.result;
}

}  // namespace gui
