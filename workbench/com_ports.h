#pragma once
// The serial ports the configuration dialog offers for the key.  The machine's enumerator
// implements ComPortList; tests and a machine without one use a fixed list.

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

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

// Pads a port list with made-up ports "COM110", "COM111", ... until it holds `total` names,
// so that the dialog's layouts for many ports can be looked at on any machine.
std::vector<std::string> PadPortNames(std::vector<std::string> names, std::size_t total);

}  // namespace workbench
