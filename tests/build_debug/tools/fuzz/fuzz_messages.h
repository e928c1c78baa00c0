#pragma once
// The texts and the recorded boxes of a fuzz target's session: the built-in language, and
// every box answered with its first button, as no one is there to answer.

#include "platform/message_box.h"
#include "services/localize.h"
#include "services/message_strings.h"

namespace build_debug {

struct FuzzMessages {
  workbench::Localizer texts;
  platform::RecordingMessageBoxes boxes;
  workbench::MessageStrings strings{texts, boxes};

  FuzzMessages() {
    texts.InitLocalization("x");
    boxes.AnswerWithFirstButton();
  }
};

}  // namespace build_debug
