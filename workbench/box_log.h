#pragma once
// A message box service for a run without a user: every box is appended to a log file as one
// line "caption|text|buttons" (a CR in the text written as \r) and answered from a list of
// answers; when the list runs out, the box's first button answers.

#include <deque>
#include <string>

#include "platform/message_box.h"

namespace workbench {

class LoggedMessageBoxes : public platform::MessageBoxService {
 public:
  // `answers`: comma-separated "ok", "cancel", "yes", "no"; anything else is skipped.
  LoggedMessageBoxes(std::string log_file, const std::string& answers);
  int Show(const platform::BoxRequest& box) override;

 private:
  std::string log_file_;
  std::deque<int> answers_;
};

// "ok", "okcancel", "yesno", "yesnocancel".
std::string ButtonsName(platform::BoxButtons buttons);

}  // namespace workbench
