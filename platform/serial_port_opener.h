#pragma once
// Opening serial ports, as a service: the program binds the machine's ports, tests bind a
// simulated key. The port itself is platform::SerialPort.

#include <memory>
#include <string>

namespace platform {

class SerialPort;

class SerialPortOpener {
 public:
  virtual ~SerialPortOpener() = default;
  // The named port ("COM3" or a device path), opened; nothing, with the system's reason in
  // `error` (an errno value), when it cannot be opened.
  virtual std::unique_ptr<SerialPort> Open(const std::string& port_name, int& error) = 0;
};

}  // namespace platform
