#pragma once
// The serial-port component's events delivered through Qt's event loop: a function posted
// from any thread runs later on the thread this object lives on (the GUI thread). Events
// still queued when the poster goes are dropped with it.

#include <QObject>

#include <functional>

#include "platform/vex_com_port.h"

namespace gui {

class QtEventPoster : public QObject, public platform::EventPoster {
  Q_OBJECT

 public:
  using QObject::QObject;
  void Post(std::function<void()> event) override;
};

}  // namespace gui
