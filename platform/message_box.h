#pragma once
// The application's modal message box, as a service: the IDE binds it to a window toolkit,
// tests bind it to a recorder that logs each box and answers from a script.
//
// Answers are numbered as the IDE's callers compare them (the Windows dialog ids).

#include <deque>
#include <string>
#include <vector>

namespace platform {

enum class BoxButtons { Ok, OkCancel, YesNo, YesNoCancel };

enum BoxAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

struct BoxRequest {
  std::string text;     // bytes as the tables hold them; a CR is a line break when shown
  std::string caption;
  BoxButtons buttons = BoxButtons::Ok;
};

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  virtual int Show(const BoxRequest& box) = 0;
};

// The service every caller uses. Until a binding is installed, boxes go to a recorder that
// answers with the first button, so a program without a display never blocks.
MessageBoxService& MessageBoxes();
// Installs a service (not owned); nullptr restores the default recorder.
void SetMessageBoxService(MessageBoxService* service);

int ShowMessageBox(const std::string& text, const std::string& caption,
                   BoxButtons buttons = BoxButtons::Ok);

// Logs every box and answers from a script; when the script runs out it answers with the
// box's first button (OK or Yes).
class RecordingMessageBoxes : public MessageBoxService {
 public:
  int Show(const BoxRequest& box) override;
  void Answer(int answer) { script_.push_back(answer); }
  const std::vector<BoxRequest>& Boxes() const { return boxes_; }
  void Clear() { boxes_.clear(); script_.clear(); }

 private:
  std::vector<BoxRequest> boxes_;
  std::deque<int> script_;
};

// Installs a recorder for the lifetime of a scope (tests).
class ScopedMessageBoxRecorder {
 public:
  ScopedMessageBoxRecorder() { SetMessageBoxService(&recorder_); }
  ~ScopedMessageBoxRecorder() { SetMessageBoxService(nullptr); }
  RecordingMessageBoxes& operator*() { return recorder_; }
  RecordingMessageBoxes* operator->() { return &recorder_; }

 private:
  RecordingMessageBoxes recorder_;
};

}  // namespace platform
