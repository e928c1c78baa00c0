#pragma once
// The message-box service bound to Qt: a modal QMessageBox with plain text and no icon,
// over the active window.
//
// The key's worker thread reports its failures through the same service. A box asked for
// from another thread is shown by the UI thread, and the asking thread waits for its answer.
// Once the application has left its event loop no box can be shown any more: a box asked for
// from another thread from then on is answered with its last button (Cancel, No or OK), as if
// the user had closed it, so that a worker still running at shut-down can end.

#include <QObject>
#include <atomic>

#include "platform/message_box.h"

namespace gui {

class QtMessageBoxes : public platform::MessageBoxService {
 public:
  QtMessageBoxes();
  int Show(const platform::BoxRequest& box) override;

 private:
  int ShowHere(const platform::BoxRequest& box);
  int ShowFromOtherThread(const platform::BoxRequest& box);

  // Receives the event loop's end and the boxes posted from other threads; posted boxes go
  // with it when the service goes.
  QObject context_;
  std::atomic<bool> loop_ended_{false};
};

}  // namespace gui
