#pragma once
// The machine's serial ports as the IDE names them ("COM1", "COM2", ...), in the order and
// numbering that SerialPortResolver gives the machine's devices, so that the name a user
// picks from the list opens the device shown beside it.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/serial_port.h"

namespace platform {

class TEnumComPorts {
 public:
  // `sys_root` is where the device attributes are read (a test passes a tree of its own).
  TEnumComPorts(std::vector<std::string>& list, const SerialPortResolver& resolver,
                std::filesystem::path sys_root = "/sys")
      : list_(list), resolver_(resolver), sys_root_(std::move(sys_root)) {}

  // With full names each entry is the device's friendly name followed by " (COMn)";
  // otherwise the entry is "COMn".
  void SetFullNames(bool full) { full_names_ = full; }

  // Clears the list and fills it with the machine's ports.
  void GetPortNames();

  // A USB adapter's manufacturer and product, from the attributes of the USB device above
  // the tty; else the kernel's name of the device ("ttyS0").
  std::string FriendlyName(const std::string& device) const;

 private:
  std::vector<std::string>& list_;
  const SerialPortResolver& resolver_;
  std::filesystem::path sys_root_;
  bool full_names_ = false;
};

}  // namespace platform
