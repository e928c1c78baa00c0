#pragma once
// The serial ports the configuration dialog offers for the key: the machine's own
// (MachineComPortList) or, in tests, a fixed list.

#include <cstddef>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/serial_port.h"

namespace workbench {

class ComPortList {
 public:
  virtual ~ComPortList() = default;
  // The port names in the order the dialog lists them, for example "COM1".
  virtual std::vector<std::string> PortNames() = 0;
};

class FixedComPortList : public ComPortList {
 public:
  explicit FixedComPortList(std::vector<std::string> names = {}) : names_(std::move(names)) {}
  std::vector<std::string> PortNames() override { return names_; }
  void SetNames(std::vector<std::string> names) { names_ = std::move(names); }

 private:
  std::vector<std::string> names_;
};

// The machine's serial ports, named and numbered as the key link opens them.
class MachineComPortList : public ComPortList {
 public:
  explicit MachineComPortList(const platform::SerialPortResolver& resolver,
                              std::filesystem::path sys_root = "/sys")
      : resolver_(resolver), sys_root_(std::move(sys_root)) {}
  std::vector<std::string> PortNames() override;

 private:
  const platform::SerialPortResolver& resolver_;
  std::filesystem::path sys_root_;
};

// Pads a port list with made-up ports "COM110", "COM111", ... until it holds `total` names,
// so that the dialog's layouts for many ports can be looked at on any machine.
std::vector<std::string> PadPortNames(std::vector<std::string> names, std::size_t total);

}  // namespace workbench
