#include "workbench/box_log.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace workbench {

std::string ButtonsName(platform::BoxButtons buttons) {
  switch (buttons) {
    case platform::BoxButtons::Ok: return "ok";
    case platform::BoxButtons::OkCancel: return "okcancel";
    case platform::BoxButtons::YesNo: return "yesno";
    case platform::BoxButtons::YesNoCancel: return "yesnocancel";
    case platform::BoxButtons::Abort: return "abort";
  }
  return "ok";
}

LoggedMessageBoxes::LoggedMessageBoxes(std::string log_file, const std::string& answers)
    : log_file_(std::move(log_file)) {
  std::istringstream list(answers);
  std::string word;
  while (std::getline(list, word, ',')) {
    if (word == "ok") answers_.push_back(platform::kAnswerOk);
    if (word == "cancel") answers_.push_back(platform::kAnswerCancel);
    if (word == "yes") answers_.push_back(platform::kAnswerYes);
    if (word == "no") answers_.push_back(platform::kAnswerNo);
    if (word == "abort") answers_.push_back(platform::kAnswerAbort);
  }
}

int LoggedMessageBoxes::Show(const platform::BoxRequest& box) {
  std::string text;
  for (char c : box.text) text += c == '\r' ? std::string("\\r") : std::string(1, c);
  std::ofstream log(log_file_, std::ios::app | std::ios::binary);
  log << box.caption << '|' << text << '|' << ButtonsName(box.buttons) << '\n';
  log.flush();
  // A run checked from outside must not go on as if its log were complete.
  if (!log) throw std::runtime_error("cannot write the box log " + log_file_);
  if (!answers_.empty()) {
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  if (box.buttons == platform::BoxButtons::Abort) return platform::kAnswerAbort;
  const bool yes_no = box.buttons == platform::BoxButtons::YesNo ||
                      box.buttons == platform::BoxButtons::YesNoCancel;
  return yes_no ? platform::kAnswerYes : platform::kAnswerOk;
}

}  // namespace workbench
