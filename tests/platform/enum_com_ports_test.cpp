#include "platform/enum_com_ports.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace platform {
namespace {

namespace fs = std::filesystem;

// A machine of a USB converter, a USB modem-class key and a mainboard UART.
class PortTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("com_port_tree_" + std::to_string(::getpid()));
    fs::remove_all(root_);
    for (const char* name : {"ttyUSB0", "ttyACM0", "ttyS0", "ttyS1"}) Write(Dev() / name, "");
    Write(Sys() / "class/tty/ttyS0/type", "4\n");
    Write(Sys() / "class/tty/ttyS1/type", "0\n");  // a slot with no UART: not listed
    const fs::path usb = Sys() / "devices/pci0000:00/usb1";
    Write(usb / "1-1/manufacturer", "FTDI\n");
    Write(usb / "1-1/product", "FT232R USB UART\n");
    fs::create_directories(usb / "1-1/1-1:1.0/ttyUSB0");
    Write(usb / "1-2/product", "QV-Key\n");
    fs::create_directories(usb / "1-2/1-2:1.0");
    fs::create_directories(Sys() / "devices/platform/serial8250");
    Link(usb / "1-1/1-1:1.0/ttyUSB0", Sys() / "class/tty/ttyUSB0/device");
    Link(usb / "1-2/1-2:1.0", Sys() / "class/tty/ttyACM0/device");
    Link(Sys() / "devices/platform/serial8250", Sys() / "class/tty/ttyS0/device");
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path Dev() const { return root_ / "dev"; }
  fs::path Sys() const { return root_ / "sys"; }
  static void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }
  static void Link(const fs::path& target, const fs::path& link) {
    fs::create_directories(link.parent_path());
    fs::create_directory_symlink(target, link);
  }
  SerialPortResolver Resolver() const {
    SerialPortResolver::Sources sources;
    sources.dev_root = Dev();
    sources.sys_root = Sys();
    return SerialPortResolver(sources);
  }

  fs::path root_;
};

TEST_F(PortTree, ListsThePortsInTheResolversNumbering) {
  auto resolver = Resolver();
  std::vector<std::string> list = {"stale entry"};
  TEnumComPorts ports(list, resolver, Sys());
  ports.GetPortNames();
  EXPECT_EQ(list, (std::vector<std::string>{"COM1", "COM2", "COM3"}));
  // The name opens the device the list puts beside it.
  EXPECT_EQ(resolver.DevicePath("COM2"), (Dev() / "ttyACM0").string());

  ports.SetFullNames(true);
  ports.GetPortNames();
  EXPECT_EQ(list, (std::vector<std::string>{"FTDI FT232R USB UART (COM1)", "QV-Key (COM2)",
                                            "ttyS0 (COM3)"}));
}

TEST_F(PortTree, AMachineWithoutSerialDevicesGivesAnEmptyList) {
  fs::remove_all(Dev());
  auto resolver = Resolver();
  std::vector<std::string> list = {"COM1"};
  TEnumComPorts(list, resolver, Sys()).GetPortNames();
  EXPECT_TRUE(list.empty());
}

TEST(TEnumComPorts, ListsThisMachinesPortsAsTheResolverNumbersThem) {
  SerialPortResolver resolver(SerialPortResolver::Sources{});
  std::vector<std::string> list;
  TEnumComPorts ports(list, resolver);
  ports.GetPortNames();
  ASSERT_EQ(list.size(), resolver.MachineDevices().size());
  for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(list[i], "COM" + std::to_string(i + 1));
}

}  // namespace
}  // namespace platform
