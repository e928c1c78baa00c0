#include "platform/message_box.h"

#include <stdexcept>

namespace platform {

int RecordingMessageBoxes::Show(const BoxRequest& box) {
  boxes_.push_back(box);
  if (!script_.empty()) {
    int answer = script_.front();
    script_.pop_front();
    return answer;
  }
  if (!answer_by_default_) {
    throw std::logic_error("Unexpected message box \"" + box.caption + "\": " + box.text);
  }
  if (box.buttons == BoxButtons::Abort) return kAnswerAbort;
  return (box.buttons == BoxButtons::YesNo || box.buttons == BoxButtons::YesNoCancel) ? kAnswerYes
                                                                                      : kAnswerOk;
}

}  // namespace platform
