#include "build_debug/key/gui/qt_key_notifications.h"

#include <QThread>

#include "build_debug/key/gui/progress_form.h"

namespace gui {

QtKeyNotifications::QtKeyNotifications(TProgressFRM& progress,
                                       std::function<void(int code)> key_notify,
                                       std::function<void()> debug_programmed)
    : progress_(progress),
      key_notify_(std::move(key_notify)),
      debug_programmed_(std::move(debug_programmed)) {}

void QtKeyNotifications::Deliver(std::function<void()> call, bool sent) {
  if (QThread::currentThread() == progress_.thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(&progress_, std::move(call),
                            sent ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

void QtKeyNotifications::DeviceProgress(int code, int parameter, bool sent) {
  Deliver([this, code, parameter] { progress_.DeviceProgress(code, parameter); }, sent);
}

void QtKeyNotifications::KeyNotify(int code, bool sent) {
  Deliver(
      [this, code] {
        // The main window closes the progress window at the end of every run.
        if (code == build_debug::kKeyFinished) progress_.hide();
        if (key_notify_) key_notify_(code);
      },
      sent);
}

void QtKeyNotifications::DebugProgrammed() {
  Deliver(
      [this] {
        if (debug_programmed_) debug_programmed_();
      },
      false);
}

void QtKeyNotifications::LinkHeldByRun(bool held) {
  Deliver(
      [this, held] {
        if (link_held_) link_held_(held);
      },
      false);
}

void QtKeyNotifications::CloseProgress() {
  Deliver([this] { progress_.hide(); }, false);
}

}  // namespace gui
