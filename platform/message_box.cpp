#include "platform/message_box.h"

namespace platform {
namespace {

RecordingMessageBoxes& DefaultRecorder() {
  static RecordingMessageBoxes recorder;
  return recorder;
}

MessageBoxService* g_service = nullptr;

}  // namespace

MessageBoxService& MessageBoxes() { return g_service ? *g_service : DefaultRecorder(); }

void SetMessageBoxService(MessageBoxService* service) { g_service = service; }

int ShowMessageBox(const std::string& text, const std::string& caption, BoxButtons buttons) {
  return MessageBoxes().Show(BoxRequest{text, caption, buttons});
}

int RecordingMessageBoxes::Show(const BoxRequest& box) {
  boxes_.push_back(box);
  if (!script_.empty()) {
    int answer = script_.front();
    script_.pop_front();
    return answer;
  }
  return (box.buttons == BoxButtons::YesNo || box.buttons == BoxButtons::YesNoCancel) ? kAnswerYes
                                                                                      : kAnswerOk;
}

}  // namespace platform
