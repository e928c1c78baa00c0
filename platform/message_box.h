#pragma once
// The application's modal message box, as a service: the IDE binds it to a window toolkit,
// tests bind it to a recorder that logs each box and answers from a script. Nothing shows a
// box without a service handed to it: there is no default that answers for the user.
//
// Answers are numbered as the IDE's callers compare them (the Windows dialog ids).

#include <deque>
#include <string>
#include <vector>

namespace platform {

enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel, Abort };

// What the box says about itself by its icon; most boxes of the IDE show none.
enum class BoxKind { Plain, Information, Warning, Error };

enum BoxAnswer : int {
  kAnswerOk = 1,
  kAnswerCancel = 2,
  kAnswerAbort = 3,
  kAnswerYes = 6,
  kAnswerNo = 7
};

struct BoxRequest {
  std::string text;  // UTF-8, as every text inside the program; a CR is a line break when shown
  std::string caption;
  BoxButtons buttons = BoxButtons::Ok;
  BoxKind kind = BoxKind::Plain;
};

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  virtual int Show(const BoxRequest& box) = 0;
};

// Logs every box and answers from a script. A box that finds the script empty is a box the
// test did not expect: Show throws std::logic_error naming it, unless the test has let the
// recorder answer by itself (AnswerWithFirstButton), when it answers OK or Yes.
class RecordingMessageBoxes : public MessageBoxService {
 public:
  int Show(const BoxRequest& box) override;
  void Answer(int answer) { script_.push_back(answer); }
  void AnswerWithFirstButton(bool on = true) { answer_by_default_ = on; }
  const std::vector<BoxRequest>& Boxes() const { return boxes_; }
  void Clear() {
    boxes_.clear();
    script_.clear();
  }

 private:
  std::vector<BoxRequest> boxes_;
  std::deque<int> script_;
  bool answer_by_default_ = false;
};

}  // namespace platform
