#pragma once
// The key link's factory-test CTS monitor on the event-driven port component.

#include "build_debug/key/key_link.h"
#include "platform/vex_com_port.h"

namespace build_debug {

class VexCtsMonitorPort : public CtsMonitorPort {
 public:
  explicit VexCtsMonitorPort(platform::TVexComPort& port) : port_(port) {}
  void Configure(const Setup& setup, std::function<void(int cts)> on_cts_changed) override;
  void SetPort(int port_number) override { port_.SetPort(port_number); }
  // A port that another program (or the key link itself) holds makes the component raise;
  // the link is promised an answer, never an exception, so the monitor just stays closed.
  bool Open() override;
  void Close() override { port_.Close(); }

 private:
  platform::TVexComPort& port_;
};

}  // namespace build_debug
