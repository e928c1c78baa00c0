#include "build_debug/key/cts_monitor_port.h"

namespace build_debug {

void VexCtsMonitorPort::Configure(const Setup& setup, std::function<void(int cts)> on_cts_changed) {
  port_.SetBaudrate(setup.baud);
  port_.SetByteSize(setup.byte_size);
  port_.SetPort(setup.port_number);
  port_.SetParity(setup.parity ? platform::TVexComPort::Parity::Even
                               : platform::TVexComPort::Parity::None);
  port_.SetPortOptions({.event_cts_dsr = setup.cts_dsr_events, .event_error = false});
  port_.SetOnCtsChanged(std::move(on_cts_changed));
}

bool VexCtsMonitorPort::Open() {
  try {
    port_.Open();
  } catch (const platform::EVexComPort&) {
    return false;
  }
  return port_.IsOpen();
}

}  // namespace build_debug
