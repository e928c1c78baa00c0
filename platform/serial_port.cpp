#include "platform/serial_port.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>
#include <tuple>

#include "platform/termios_speed.h"
#include "platform/text.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

int PollMilliseconds(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  // Round up so that a wait never ends a fraction of a millisecond early and spins.
  if (deadline - Clock::now() > left) left += std::chrono::milliseconds(1);
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

std::string OwningGroup(const std::string& device) {
  struct stat info {};
  if (::stat(device.c_str(), &info) != 0) return {};
  std::vector<char> buffer(4096);
  struct group entry {};
  struct group* found = nullptr;
  if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
    return {};
  return found->gr_name;
}

class TermiosSerialPort : public SerialPort {
 public:
  TermiosSerialPort(int fd, std::string device) : fd_(fd), device_(std::move(device)) {}
  ~TermiosSerialPort() override {
    // The exclusive flag belongs to the terminal, not to this descriptor: clear it, or the
    // next open of a device that outlives us (a pseudo-terminal) is refused.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
  }
  TermiosSerialPort(const TermiosSerialPort&) = delete;
  TermiosSerialPort& operator=(const TermiosSerialPort&) = delete;

  bool Read(std::span<std::uint8_t> buffer, std::chrono::milliseconds timeout,
            std::size_t& count) override {
    count = 0;
    const auto deadline = Clock::now() + timeout;
    for (;;) {
      pollfd entry{fd_, POLLIN, 0};
      int ready = ::poll(&entry, 1, PollMilliseconds(deadline));
      if (ready < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      if (ready == 0) return true;
      if (entry.revents & POLLIN) {
        ssize_t got = ::read(fd_, buffer.data(), buffer.size());
        if (got > 0) {
          count = static_cast<std::size_t>(got);
          return true;
        }
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        // Readable with nothing to read is how a hang-up shows in raw mode.
        return false;
      }
      if (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) return false;
    }
  }

  bool Write(std::span<const std::uint8_t> bytes, std::chrono::milliseconds timeout,
             std::size_t& count) override {
    count = 0;
    auto deadline = Clock::now() + timeout;
    while (count < bytes.size()) {
      ssize_t put = ::write(fd_, bytes.data() + count, bytes.size() - count);
      if (put > 0) {
        count += static_cast<std::size_t>(put);
        deadline = Clock::now() + timeout;  // the stall limit counts from the last progress
        continue;
      }
      if (put < 0 && errno == EINTR) continue;
      if (put < 0 && errno != EAGAIN) return false;
      pollfd entry{fd_, POLLOUT, 0};
      int ready = ::poll(&entry, 1, PollMilliseconds(deadline));
      if (ready < 0 && errno != EINTR) return false;
      if (ready == 0) return true;  // stalled: the caller sees the short count
      if (ready > 0 && !(entry.revents & POLLOUT) &&
          (entry.revents & (POLLHUP | POLLERR | POLLNVAL)))
        return false;
    }
    return true;
  }

  int Descriptor() const override { return fd_; }
  const std::string& DevicePath() const override { return device_; }

 private:
  int fd_;
  std::string device_;
};

SerialOpenResult Failure(SerialOpenError error, std::string device, int system_error) {
  SerialOpenResult result;
  result.failure.error = error;
  result.failure.system_error = system_error;
  if (error == SerialOpenError::NoPermission) result.failure.group = OwningGroup(device);
  result.failure.device = std::move(device);
  return result;
}

SerialOpenError ErrorOfOpen(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
    case EIO: return SerialOpenError::NoDevice;
    case EBUSY:
    case EWOULDBLOCK: return SerialOpenError::InUse;
    case EACCES:
    case EPERM:
    case EROFS: return SerialOpenError::NoPermission;
    case EISDIR:
    case ENOTTY: return SerialOpenError::NotSerial;
    default: return SerialOpenError::Other;
  }
}

// "ttyUSB10" -> ("ttyUSB", 10), so that ttyUSB2 comes before ttyUSB10.
std::pair<std::string, long> NameAndNumber(const std::string& name) {
  std::size_t digits = name.size();
  while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') --digits;
  long number = digits < name.size() ? std::strtol(name.c_str() + digits, nullptr, 10) : -1;
  return {name.substr(0, digits), number};
}

std::vector<std::string> Numbered(const std::filesystem::path& folder, std::string_view prefix) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    auto [stem, number] = NameAndNumber(name);
    if (stem == prefix && number >= 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return NameAndNumber(a).second < NameAndNumber(b).second;
  });
  return names;
}

// A ttyS node exists for every UART slot the kernel reserves; only those whose sysfs type is
// not 0 (unknown port) have hardware behind them.
bool HasUart(const std::filesystem::path& sys_root, const std::string& name) {
  std::ifstream type(sys_root / "class" / "tty" / name / "type");
  int value = 0;
  return type && (type >> value) && value != 0;
}

}  // namespace

std::optional<int> PortNumber(std::string_view port_name) {
  std::string digits;
  for (char c : port_name)
    if (c >= '0' && c <= '9') digits += c;
  if (digits.empty() || digits.size() > 9) return std::nullopt;
  return std::stoi(digits);
}

std::optional<std::string> ProcessEnvironment(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

std::optional<std::string> SerialPortResolver::DevicePath(std::string_view port_name) const {
  const std::string name = UpperAscii(port_name);
  if (sources_.environment) {
    if (auto path = sources_.environment("QVKEY_" + name); path && !path->empty()) return path;
  }
  if (sources_.stored_path) {
    if (auto path = sources_.stored_path(name); path && !path->empty()) return path;
  }
  auto number = PortNumber(name);
  if (!number || *number < 1 || name != "COM" + std::to_string(*number)) return std::nullopt;
  auto devices = MachineDevices();
  if (static_cast<std::size_t>(*number) > devices.size()) return std::nullopt;
  return devices[static_cast<std::size_t>(*number) - 1];
}

std::vector<std::string> SerialPortResolver::MachineDevices() const {
  std::vector<std::string> devices;
  std::vector<std::filesystem::path> seen;
  auto add = [&](const std::filesystem::path& path) {
    std::error_code error;
    auto target = std::filesystem::canonical(path, error);
    if (error) return;
    if (std::find(seen.begin(), seen.end(), target) != seen.end()) return;
    seen.push_back(target);
    devices.push_back(path.string());
  };

  std::vector<std::filesystem::path> by_id;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(sources_.dev_root / "serial" / "by-id", error))
    by_id.push_back(entry.path());
  std::sort(by_id.begin(), by_id.end());
  for (const auto& link : by_id) add(link);

  for (std::string_view prefix : {"ttyUSB", "ttyACM"})
    for (const auto& name : Numbered(sources_.dev_root, prefix)) add(sources_.dev_root / name);
  for (const auto& name : Numbered(sources_.dev_root, "ttyS"))
    if (HasUart(sources_.sys_root, name)) add(sources_.dev_root / name);
  return devices;
}

SerialOpenResult TermiosSerialPortOpener::Open(std::string_view port_name, int baud) {
  return OpenTarget(LookUp(port_name), baud);
}

SerialPortTarget TermiosSerialPortOpener::LookUp(std::string_view port_name) {
  return {std::string(port_name), true, resolver_.DevicePath(port_name)};
}

SerialOpenResult TermiosSerialPortOpener::OpenTarget(const SerialPortTarget& target, int baud) {
  if (!target.looked_up) return Open(target.name, baud);
  if (!target.device) return Failure(SerialOpenError::NoDevice, {}, ENOENT);
  return OpenDevice(*target.device, baud);
}

SerialOpenResult TermiosSerialPortOpener::OpenDevice(const std::string& device, int baud) {
  auto speed = TermiosSpeed(baud);
  if (!speed) return Failure(SerialOpenError::Other, device, EINVAL);

  int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    int error = errno;
    return Failure(ErrorOfOpen(error), device, error);
  }
  auto fail = [&](SerialOpenError kind, int error) {
    ::close(fd);
    return Failure(kind, device, error);
  };
  // The lock refuses a second opener also when it runs as root, which TIOCEXCL lets through.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int error = errno;
    return fail(error == EWOULDBLOCK ? SerialOpenError::InUse : SerialOpenError::Other, error);
  }
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) return fail(SerialOpenError::NotSerial, errno);
  if (::ioctl(fd, TIOCEXCL) != 0) return fail(SerialOpenError::Other, errno);
  auto port = std::make_unique<TermiosSerialPort>(fd, device);  // owns fd from here on

  ::cfmakeraw(&settings);
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS);
  settings.c_cflag |= CS8 | CLOCAL | CREAD;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (::cfsetispeed(&settings, *speed) != 0 || ::cfsetospeed(&settings, *speed) != 0 ||
      ::tcsetattr(fd, TCSANOW, &settings) != 0) {
    int error = errno;
    return Failure(SerialOpenError::NotSerial, device, error);
  }
  // A device without modem lines (a pseudo-terminal) refuses this; the link works without.
  int dtr = TIOCM_DTR;
  std::ignore = ::ioctl(fd, TIOCMBIS, &dtr);
  // Bytes that arrived before we opened belong to nobody.
  std::ignore = ::tcflush(fd, TCIFLUSH);

  SerialOpenResult result;
  result.port = std::move(port);
  return result;
}

}  // namespace platform
