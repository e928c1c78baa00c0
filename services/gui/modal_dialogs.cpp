#include "services/gui/modal_dialogs.h"

#include "services/gui/text.h"

namespace gui {

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
