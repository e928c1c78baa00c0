#include "build_debug/key/gui/qt_event_poster.h"

namespace gui {

void QtEventPoster::Post(std::function<void()> event) {
  QMetaObject::invokeMethod(this, std::move(event), Qt::QueuedConnection);
}

}  // namespace gui
