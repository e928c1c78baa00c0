#include "workbench/com_ports.h"

#include "platform/enum_com_ports.h"

namespace workbench {

std::vector<std::string> MachineComPortList::PortNames() {
  std::vector<std::string> names;
  platform::TEnumComPorts(names, resolver_, sys_root_).GetPortNames();
  return names;
}

std::vector<std::string> PadPortNames(std::vector<std::string> names, std::size_t total) {
  for (int number = 110; names.size() < total; ++number) {
    names.push_back("COM" + std::to_string(number));
  }
  return names;
}

}  // namespace workbench
