#include "editor_control/gui/qt_slice_scheduler.h"

namespace scrivlet::gui {

QtSliceScheduler::QtSliceScheduler(QObject* parent) : QObject(parent) {
  timer_.setSingleShot(true);
  timer_.setInterval(0);
  connect(&timer_, &QTimer::timeout, this, [this] {
    auto slice = std::move(slice_);
    slice_ = nullptr;
    if (slice) slice();
  });
}

void QtSliceScheduler::RequestSlice(std::function<void()> slice) {
  slice_ = std::move(slice);
  timer_.start();
}

void QtSliceScheduler::Cancel() {
  timer_.stop();
  slice_ = nullptr;
}

}  // namespace scrivlet::gui
