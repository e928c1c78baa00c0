#include "workbench/com_ports.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace workbench {
namespace {

namespace fs = std::filesystem;

TEST(MachineComPortList, OffersTheMachinesPortsByTheNamesTheKeyLinkOpens) {
  const fs::path root = fs::temp_directory_path() / ("machine_ports_" + std::to_string(::getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "dev");
  for (const char* name : {"ttyACM0", "ttyUSB3"}) std::ofstream(root / "dev" / name) << "";
  platform::SerialPortResolver::Sources sources;
  sources.dev_root = root / "dev";
  sources.sys_root = root / "sys";
  platform::SerialPortResolver resolver(sources);
  MachineComPortList ports(resolver, root / "sys");
  EXPECT_EQ(ports.PortNames(), (std::vector<std::string>{"COM1", "COM2"}));
  EXPECT_EQ(resolver.DevicePath("COM1"), (root / "dev" / "ttyUSB3").string());
  fs::remove_all(root);
}

TEST(PadPortNames, FillsUpWithMadeUpPortsFromCom110) {
  EXPECT_EQ(PadPortNames({"COM1"}, 3), (std::vector<std::string>{"COM1", "COM110", "COM111"}));
  EXPECT_EQ(PadPortNames({"COM1", "COM2"}, 1), (std::vector<std::string>{"COM1", "COM2"}));
}

}  // namespace
}  // namespace workbench
