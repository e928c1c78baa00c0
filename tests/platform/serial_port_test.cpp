#include "platform/serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/platform/pseudo_terminal.h"

namespace platform {
namespace {

using namespace std::chrono_literals;

std::string ReadAll(SerialPort& port, std::chrono::milliseconds timeout) {
  std::uint8_t buffer[64];
  std::size_t count = 0;
  EXPECT_TRUE(port.Read(buffer, timeout, count));
  return std::string(reinterpret_cast<char*>(buffer), count);
}

TEST(TermiosSerialPort, OpensRawEightNoneOneAtTheAskedSpeed) {
  for (auto [baud, speed] : {std::pair{57600, B57600}, std::pair{19200, B19200}}) {
    PseudoTerminal terminal;
    auto opened = TermiosSerialPortOpener::OpenDevice(terminal.Path(), baud);
    ASSERT_TRUE(opened.port) << baud;
    termios settings = terminal.Settings();
    EXPECT_EQ(::cfgetospeed(&settings), speed);
    EXPECT_EQ(::cfgetispeed(&settings), speed);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(settings.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
  }
}

TEST(TermiosSerialPort, CarriesBytesBothWaysAndWaitsNoLongerThanAsked) {
  PseudoTerminal terminal;
  auto opened = TermiosSerialPortOpener::OpenDevice(terminal.Path(), 57600);
  ASSERT_TRUE(opened.port);
  SerialPort& port = *opened.port;
  EXPECT_EQ(port.DevicePath(), terminal.Path());

  // Nothing arrives: the read ends with no bytes instead of waiting for them.
  EXPECT_EQ(ReadAll(port, 30ms), "");

  const std::string every_byte = [] {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
  }();
  std::size_t written = 0;
  ASSERT_TRUE(port.Write(
      std::span(reinterpret_cast<const std::uint8_t*>(every_byte.data()), every_byte.size()),
      1000ms, written));
  EXPECT_EQ(written, every_byte.size());
  EXPECT_EQ(terminal.Take(), every_byte);  // no CR/LF translation, no flow-control bytes eaten

  terminal.Put("\r\n\x11\x13\x03");
  EXPECT_EQ(ReadAll(port, 1000ms), "\r\n\x11\x13\x03");
}

TEST(TermiosSerialPort, DropsWhatWasWaitingBeforeItOpened) {
  PseudoTerminal terminal;
  terminal.Put("stale line noise");
  auto opened = TermiosSerialPortOpener::OpenDevice(terminal.Path(), 57600);
  ASSERT_TRUE(opened.port);
  EXPECT_EQ(ReadAll(*opened.port, 50ms), "");
  terminal.Put("fresh");
  EXPECT_EQ(ReadAll(*opened.port, 1000ms), "fresh");
}

TEST(TermiosSerialPort, ASecondOpenerIsRefusedUntilTheFirstCloses) {
  PseudoTerminal terminal;
  auto first = TermiosSerialPortOpener::OpenDevice(terminal.Path(), 57600);
  ASSERT_TRUE(first.port);
  auto second = TermiosSerialPortOpener::OpenDevice(terminal.Path(), 57600);
  EXPECT_FALSE(second.port);
  EXPECT_EQ(second.failure.error, SerialOpenError::InUse);
  EXPECT_EQ(second.failure.device, terminal.Path());

  first.port.reset();
  auto third = TermiosSerialPortOpener::OpenDevice(terminal.Path(), 57600);
  EXPECT_TRUE(third.port);
}

TEST(TermiosSerialPort, AHangUpFailsReadsAndWritesAtOnce) {
  PseudoTerminal terminal;
  auto opened = TermiosSerialPortOpener::OpenDevice(terminal.Path(), 57600);
  ASSERT_TRUE(opened.port);
  terminal.HangUp();
  std::uint8_t buffer[16];
  std::size_t count = 99;
  // A time-out of a minute would show as a hung test: the failure must come at once.
  EXPECT_FALSE(opened.port->Read(buffer, 60000ms, count));
  EXPECT_EQ(count, 0u);
  std::size_t written = 0;
  EXPECT_FALSE(opened.port->Write(std::span<const std::uint8_t>(buffer, 4), 60000ms, written));
}

TEST(TermiosSerialPort, NamesWhyAnOpenFailed) {
  auto folder =
      std::filesystem::temp_directory_path() / ("serial_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "plain.txt") << "not a terminal";

  auto missing = TermiosSerialPortOpener::OpenDevice((folder / "ttyNone").string(), 57600);
  EXPECT_EQ(missing.failure.error, SerialOpenError::NoDevice);
  auto plain = TermiosSerialPortOpener::OpenDevice((folder / "plain.txt").string(), 57600);
  EXPECT_EQ(plain.failure.error, SerialOpenError::NotSerial);
  PseudoTerminal terminal;
  auto odd_speed = TermiosSerialPortOpener::OpenDevice(terminal.Path(), 12345);
  EXPECT_EQ(odd_speed.failure.error, SerialOpenError::Other);
  std::filesystem::remove_all(folder);
}

// A device this user may not open: the failure says so and names the owning group. Root
// opens anything, so the open is tried by a child that gave its rights up.
TEST(TermiosSerialPort, APortWithoutPermissionNamesItsGroup) {
  auto folder =
      std::filesystem::temp_directory_path() / ("serial_perm_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  auto device = (folder / "ttyLocked").string();
  std::ofstream(device) << "";
  ASSERT_EQ(::chmod(device.c_str(), 0), 0);
  std::string expected_group;
  {
    struct stat info {};
    ASSERT_EQ(::stat(device.c_str(), &info), 0);
    if (auto* entry = ::getgrgid(info.st_gid)) expected_group = entry->gr_name;
  }

  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
    auto opened = TermiosSerialPortOpener::OpenDevice(device, 57600);
    bool ok = opened.failure.error == SerialOpenError::NoPermission &&
              opened.failure.group == expected_group && opened.failure.device == device;
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  std::filesystem::remove_all(folder);
}

TEST(PortNumber, TakesTheDigitsOfAName) {
  EXPECT_EQ(PortNumber("COM1"), 1);
  EXPECT_EQ(PortNumber("com12"), 12);
  EXPECT_EQ(PortNumber("COM"), std::nullopt);
}

// A machine's /dev and /sys, built in a temporary folder.
class MachineTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() / ("serial_tree_" + std::to_string(::getpid()));
    std::filesystem::remove_all(root_);
    for (const char* name :
         {"ttyUSB0", "ttyUSB1", "ttyUSB2", "ttyUSB10", "ttyACM0", "ttyS0", "ttyS1", "tty0"})
      Touch(Dev() / name);
    std::filesystem::create_directories(Dev() / "serial" / "by-id");
    std::filesystem::create_symlink("../../ttyUSB1", Dev() / "serial" / "by-id" / "usb-Key_A");
    Write(Sys() / "class" / "tty" / "ttyS0" / "type", "4\n");  // a 16550A
    Write(Sys() / "class" / "tty" / "ttyS1" / "type", "0\n");  // a slot with no UART
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  std::filesystem::path Dev() const { return root_ / "dev"; }
  std::filesystem::path Sys() const { return root_ / "sys"; }
  static void Touch(const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << "";
  }
  static void Write(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
  }
  SerialPortResolver::Sources Machine() const {
    SerialPortResolver::Sources sources;
    sources.dev_root = Dev();
    sources.sys_root = Sys();
    return sources;
  }

  std::filesystem::path root_;
};

TEST_F(MachineTree, NumbersTheMachineDevicesInAStableOrder) {
  SerialPortResolver resolver(Machine());
  std::vector<std::string> expected = {
      (Dev() / "serial" / "by-id" / "usb-Key_A").string(),  // ttyUSB1 under its stable name
      (Dev() / "ttyUSB0").string(),
      (Dev() / "ttyUSB2").string(),
      (Dev() / "ttyUSB10").string(),
      (Dev() / "ttyACM0").string(),
      (Dev() / "ttyS0").string()};
  EXPECT_EQ(resolver.MachineDevices(), expected);
  EXPECT_EQ(resolver.DevicePath("COM1"), expected[0]);
  EXPECT_EQ(resolver.DevicePath("com4"), expected[3]);
  EXPECT_EQ(resolver.DevicePath("COM6"), expected[5]);
  EXPECT_EQ(resolver.DevicePath("COM7"), std::nullopt);
  EXPECT_EQ(resolver.DevicePath("COM0"), std::nullopt);
  EXPECT_EQ(resolver.DevicePath("COM"), std::nullopt);
}

TEST_F(MachineTree, TheEnvironmentComesFirstThenTheSettings) {
  std::map<std::string, std::string> environment = {{"QVKEY_COM1", "/dev/pts/77"}};
  std::map<std::string, std::string> stored = {{"COM1", "/dev/ttyStored1"},
                                               {"COM2", "/dev/ttyStored2"}};
  auto lookup = [](const std::map<std::string, std::string>& values) {
    return [&values](std::string_view name) -> std::optional<std::string> {
      auto found = values.find(std::string(name));
      if (found == values.end()) return std::nullopt;
      return found->second;
    };
  };
  auto sources = Machine();
  sources.environment = lookup(environment);
  sources.stored_path = lookup(stored);
  SerialPortResolver resolver(sources);
  EXPECT_EQ(resolver.DevicePath("COM1"), "/dev/pts/77");
  EXPECT_EQ(resolver.DevicePath("com2"), "/dev/ttyStored2");
  EXPECT_EQ(resolver.DevicePath("COM3"), (Dev() / "ttyUSB2").string());

  environment["QVKEY_COM2"] = "";  // an empty variable points nowhere and is passed over
  EXPECT_EQ(resolver.DevicePath("COM2"), "/dev/ttyStored2");
}

TEST(TermiosSerialPortOpener, OpensAPortByItsNameThroughTheResolver) {
  PseudoTerminal terminal;
  SerialPortResolver::Sources sources;
  sources.environment = [&](std::string_view name) -> std::optional<std::string> {
    if (name == "QVKEY_COM3") return terminal.Path();
    return std::nullopt;
  };
  sources.dev_root = "/nonexistent";
  SerialPortResolver resolver(sources);
  TermiosSerialPortOpener opener(resolver);
  auto opened = opener.Open("COM3", 19200);
  ASSERT_TRUE(opened.port);
  EXPECT_EQ(opened.port->DevicePath(), terminal.Path());
  auto unknown = opener.Open("COM4", 19200);
  EXPECT_FALSE(unknown.port);
  EXPECT_EQ(unknown.failure.error, SerialOpenError::NoDevice);
}

TEST(ProcessEnvironment, ReadsTheProcessVariables) {
  ::setenv("QVKEY_SERIAL_TEST_VARIABLE", "/dev/pts/9", 1);
  EXPECT_EQ(ProcessEnvironment("QVKEY_SERIAL_TEST_VARIABLE"), "/dev/pts/9");
  ::unsetenv("QVKEY_SERIAL_TEST_VARIABLE");
  EXPECT_EQ(ProcessEnvironment("QVKEY_SERIAL_TEST_VARIABLE"), std::nullopt);
}

}  // namespace
}  // namespace platform
