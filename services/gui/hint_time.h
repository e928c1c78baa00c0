#pragma once
// HintDisplayTime: how long the program's hints stay up, for every widget that sets no time
// of its own. Installed as an event filter on the application; a window that wants its hints
// read longer sets the time while it is up and puts it back when it goes.

#include <QObject>

namespace gui {

class HintDisplayTime : public QObject {
 public:
  static constexpr int kDefaultMilliseconds = 2500;

  int Milliseconds() const { return milliseconds_; }
  void SetMilliseconds(int milliseconds) { milliseconds_ = milliseconds; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int milliseconds_ = kDefaultMilliseconds;
};

}  // namespace gui
