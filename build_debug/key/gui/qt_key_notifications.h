#pragma once
// The key protocol's reports delivered on the UI thread: progress codes to the progress
// window, the end of a run to the main window's handler, "programmed for debug" to the debug
// window's. A sent report waits until the UI thread has handled it; a posted one is queued.
// A report made on the UI thread itself (a read runs there) is handled at once.

#include <QObject>

#include <functional>

#include "build_debug/key/key_protocol.h"

namespace gui {

class TProgressFRM;

class QtKeyNotifications : public QObject, public build_debug::KeyNotifications {
  Q_OBJECT

 public:
  // The handlers run on the UI thread; either may be empty until its window exists.
  QtKeyNotifications(TProgressFRM& progress, std::function<void(int code)> key_notify,
                     std::function<void()> debug_programmed);

  // Runs on the UI thread when a programming run takes the link and when it lets it go.
  void OnLinkHeld(std::function<void(bool held)> handler) { link_held_ = std::move(handler); }

  void DeviceProgress(int code, int parameter, bool sent) override;
  void KeyNotify(int code, bool sent) override;
  void DebugProgrammed() override;
  void CloseProgress() override;
  void LinkHeldByRun(bool held) override;

 private:
  void Deliver(std::function<void()> call, bool sent);

  TProgressFRM& progress_;
  std::function<void(int)> key_notify_;
  std::function<void()> debug_programmed_;
  std::function<void(bool)> link_held_;
};

}  // namespace gui
