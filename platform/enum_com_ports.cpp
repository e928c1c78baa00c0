#include "platform/enum_com_ports.h"

#include <fstream>

namespace platform {
namespace {

std::string FirstLine(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}

}  // namespace

std::string TEnumComPorts::FriendlyName(const std::string& device) const {
  std::error_code error;
  auto target = std::filesystem::canonical(device, error);
  std::string tty = (error ? std::filesystem::path(device) : target).filename().string();

  auto node = std::filesystem::canonical(sys_root_ / "class" / "tty" / tty / "device", error);
  // A tty of a USB adapter sits one level (CDC-ACM: the interface) or two (a converter's
  // own port below the interface) under the USB device that carries the names; three
  // levels are searched and no further, so a tty of the mainboard never borrows a name.
  for (int level = 0; !error && level < 3 && !node.empty(); ++level) {
    std::string manufacturer = FirstLine(node / "manufacturer");
    std::string product = FirstLine(node / "product");
    if (!product.empty() || !manufacturer.empty()) {
      if (manufacturer.empty()) return product;
      if (product.empty()) return manufacturer;
      manufacturer += ' ';
      manufacturer += product;
      return manufacturer;
    }
    if (node == node.parent_path()) break;
    node = node.parent_path();
  }
  return tty;
}

void TEnumComPorts::GetPortNames() {
  list_.clear();
  const auto devices = resolver_.MachineDevices();
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const std::string name = "COM" + std::to_string(i + 1);
    list_.push_back(full_names_ ? FriendlyName(devices[i]) + " (" + name + ")" : name);
  }
}

}  // namespace platform
