#pragma once
// The message-box service bound to Qt: a modal QMessageBox with plain text and no icon,
// over the active window.

#include "platform/message_box.h"

namespace gui {

class QtMessageBoxes : public platform::MessageBoxService {
 public:
  int Show(const platform::BoxRequest& box) override;
};

}  // namespace gui
