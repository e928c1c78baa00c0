#pragma once
// Runs the editor control's format slices from the Qt event loop: a zero-time timer fires
// once the events already waiting (typing, painting) are handled, so a long layout never
// freezes the window. Everything stays on the UI thread.

#include <QObject>
#include <QTimer>
#include <functional>

#include "editor_control/format_thread.h"

namespace scrivlet::gui {

class QtSliceScheduler : public QObject, public TSliceScheduler {
  Q_OBJECT
 public:
  explicit QtSliceScheduler(QObject* parent = nullptr);
  void RequestSlice(std::function<void()> slice) override;
  void Cancel() override;

 private:
  QTimer timer_;
  std::function<void()> slice_;
};

}  // namespace scrivlet::gui
