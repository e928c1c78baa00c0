#pragma once
// Serial ports by the names the IDE shows and stores ("COM1", "COM12"), over POSIX termios.
//
// A port is opened for one user at a time (TIOCEXCL and an flock, so that a second program is
// refused even when it runs as root), in raw mode, 8 data bits, no parity, 1 stop bit, with
// the modem-status lines ignored and DTR raised. Nothing here blocks without a time-out: reads
// wait in poll for at most the time given, writes give up when the port takes nothing more
// for the time given.
//
// A port name becomes a device path through SerialPortResolver: the environment variable
// QVKEY_<name> first, then a path the settings keep for the name, then the machine's serial
// devices in a stable order, numbered from COM1.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Waits up to `timeout` for input, then takes what has arrived, at most buffer.size()
  // bytes; count 0 means that nothing came in time. False when the device failed or went
  // away (a hang-up); count is then 0.
  [[nodiscard]] virtual bool Read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout,
                                  std::size_t& count) = 0;
  // Writes every byte unless the device fails or takes nothing more for `timeout`; count is
  // the number of bytes written (fewer than given after such a stall). False when the device
  // failed.
  [[nodiscard]] virtual bool Write(std::span<const std::uint8_t> bytes,
                                   std::chrono::milliseconds timeout, std::size_t& count) = 0;
  virtual const std::string& DevicePath() const = 0;
  // The open device's descriptor, for the modem lines and line settings that the
  // event-driven port component (platform/vex_com_port.h) adjusts; -1 when there is none.
  virtual int Descriptor() const { return -1; }
};

enum class SerialOpenError {
  None,
  NoDevice,      // no device path for the name, or nothing at the path
  InUse,         // another program (or another opener in this one) holds the port
  NoPermission,  // the device exists but this user may not open it
  NotSerial,     // the path is not a terminal device, or it refuses the settings
  Other,
};

struct SerialOpenFailure {
  SerialOpenError error = SerialOpenError::None;
  std::string device;  // the device path tried; empty when the name has none
  std::string group;   // NoPermission: the group that owns the device (empty when unknown)
  int system_error = 0;
};

struct SerialOpenResult {
  std::unique_ptr<SerialPort> port;  // null on failure
  SerialOpenFailure failure;
};

// Where a port name led when it was looked up: what a later opening opens without looking
// again.
struct SerialPortTarget {
  std::string name;
  bool looked_up = false;             // false: the opening looks the name up itself
  std::optional<std::string> device;  // the device path; none when no source knew the name
};

// Opening ports, as a service: the IDE binds the termios opener, a test may bind its own.
class SerialPortOpener {
 public:
  virtual ~SerialPortOpener() = default;
  // Baud rates: 9600, 19200, 38400, 57600, 115200.
  [[nodiscard]] virtual SerialOpenResult Open(std::string_view port_name, int baud) = 0;
  // Looks the name up now (in the environment, the settings, the machine's devices), so that
  // an opening on another thread reads none of them while the UI thread may be changing them.
  // An opener that looks nothing up leaves that to the opening.
  [[nodiscard]] virtual SerialPortTarget LookUp(std::string_view port_name) {
    return {std::string(port_name), false, std::nullopt};
  }
  // Opens what LookUp found.
  [[nodiscard]] virtual SerialOpenResult OpenTarget(const SerialPortTarget& target, int baud) {
    return Open(target.name, baud);
  }
};

// The digits of a port name as a number ("COM12" -> 12); nothing when there are none.
std::optional<int> PortNumber(std::string_view port_name);

class SerialPortResolver {
 public:
  // A value by name, or nothing.
  using Lookup = std::function<std::optional<std::string>(std::string_view name)>;

  struct Sources {
    Lookup environment;  // e.g. ProcessEnvironment; null: none
    Lookup stored_path;  // the settings' device path for a port name; null: none
    std::filesystem::path dev_root = "/dev";
    std::filesystem::path sys_root = "/sys";
  };

  explicit SerialPortResolver(Sources sources) : sources_(std::move(sources)) {}

  // The device path of a port name, or nothing when no source knows it.
  std::optional<std::string> DevicePath(std::string_view port_name) const;
  // The machine's serial devices in the order they are numbered from COM1: the links of
  // /dev/serial/by-id (by link name), then ttyUSB*, ttyACM* and the ttyS* that have a UART
  // behind them, each by number; a device reached twice counts once, at its first place.
  std::vector<std::string> MachineDevices() const;

 private:
  Sources sources_;
};

// The process environment's value of a variable.
std::optional<std::string> ProcessEnvironment(std::string_view name);

class TermiosSerialPortOpener : public SerialPortOpener {
 public:
  explicit TermiosSerialPortOpener(const SerialPortResolver& resolver) : resolver_(resolver) {}
  [[nodiscard]] SerialOpenResult Open(std::string_view port_name, int baud) override;
  [[nodiscard]] SerialPortTarget LookUp(std::string_view port_name) override;
  [[nodiscard]] SerialOpenResult OpenTarget(const SerialPortTarget& target, int baud) override;
  // Opens a device path directly.
  [[nodiscard]] static SerialOpenResult OpenDevice(const std::string& device, int baud);

 private:
  const SerialPortResolver& resolver_;
};

}  // namespace platform
