#include "platform/vex_com_port.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

#include "platform/termios_speed.h"

namespace platform {
namespace {

using namespace std::chrono_literals;

// Without TIOCMIWAIT's wake-up (it cannot be interrupted for a close without racing the
// descriptor's close), modem lines are read this often while the component watches them.
constexpr int kModemPollMs = 20;
constexpr auto kWriteStall = 2000ms;

tcflag_t SizeBits(int byte_size) {
  switch (byte_size) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

}  // namespace

std::optional<unsigned> DeviceModemLines::Status(int descriptor) {
  int bits = 0;
  if (::ioctl(descriptor, TIOCMGET, &bits) != 0) return std::nullopt;
  return ((bits & TIOCM_CTS) ? kMsCtsOn : 0u) | ((bits & TIOCM_DSR) ? kMsDsrOn : 0u);
}

std::optional<std::string> TVexCommBuffer::TakeLine(const std::string& line_end) {
  if (line_end.empty()) return std::nullopt;
  // A line end may have arrived half in the last scan; look again from just before it.
  std::size_t from = scan_ >= line_end.size() ? scan_ - (line_end.size() - 1) : 0;
  std::size_t at = data_.find(line_end, from);
  if (at == std::string::npos) {
    scan_ = data_.size();
    return std::nullopt;
  }
  std::string line = data_.substr(0, at + line_end.size());
  data_.erase(0, line.size());
  scan_ = 0;
  return line;
}

std::optional<std::string> TVexCommBuffer::TakeBytes(std::size_t amount) {
  if (amount == 0 || data_.size() < amount) return std::nullopt;
  std::string block = data_.substr(0, amount);
  data_.erase(0, amount);
  scan_ = 0;
  return block;
}

std::string TVexCommBuffer::TakeAll() {
  std::string all;
  all.swap(data_);
  scan_ = 0;
  return all;
}

TVexComPort::TVexComPort(EventPoster& poster, const SerialPortResolver& resolver,
                         ModemLineSource& lines)
    : poster_(poster),
      resolver_(resolver),
      lines_(lines),
      self_(std::make_shared<TVexComPort*>(this)) {
  flow_.OnChange([this] {
    if (IsOpen()) {
      ApplyLineSettings();
      ApplyModemControl();
    }
  });
}

TVexComPort::~TVexComPort() {
  // The worker copies self_ into every event it posts: it must be gone before self_ goes.
  Close();
  self_.reset();
}

void TVexComPort::Open() {
  if (IsOpen()) return;
  const std::string name = "COM" + std::to_string(port_number_);
  auto device = resolver_.DevicePath(name);
  if (!device) throw EVexComPort("Cannot open port '" + name + "'");
  // The termios opener takes the port for this program alone and sets it raw; the
  // component's own line settings follow.
  auto opened =
      TermiosSerialPortOpener::OpenDevice(*device, TermiosSpeed(baudrate_) ? baudrate_ : 9600);
  if (!opened.port || opened.port->Descriptor() < 0)
    throw EVexComPort("Cannot open port '" + *device + "'");
  port_ = std::move(opened.port);
  ApplyLineSettings();
  ApplyModemControl();

  wake_fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake_fd_ < 0) {
    port_.reset();
    throw EVexComPort("Cannot open port '" + *device + "'");
  }
  {
    std::lock_guard lock(mutex_);
    has_data_handler_ = static_cast<bool>(on_data_available_);
    buffered_mode_ = line_mode_ || threshold_use_;
    worker_line_mode_ = line_mode_;
    worker_line_end_ = line_end_;
    worker_threshold_ = threshold_amount_;
    buffer_ = TVexCommBuffer{};
  }
  stop_ = false;
  tx_pending_ = false;
  const int descriptor = port_->Descriptor();
  const unsigned first = lines_.Status(descriptor).value_or(0);
  worker_ = std::thread([this, descriptor, first] { RunWorker(descriptor, first); });
}

void TVexComPort::Close() {
  if (!IsOpen()) return;
  stop_ = true;
  const std::uint64_t one = 1;
  if (::write(wake_fd_, &one, sizeof one) != sizeof one) {
    // An eventfd takes a write until its counter overflows, which one close cannot reach;
    // the worker also sees stop_ at its next modem poll at the latest.
  }
  if (worker_.joinable()) worker_.join();
  ::close(wake_fd_);
  wake_fd_ = -1;
  port_.reset();
  std::string pending;
  {
    std::lock_guard lock(mutex_);
    pending = buffer_.TakeAll();
  }
  if (!pending.empty() && on_data_available_) DeliverData(pending);
}

bool TVexComPort::Write(const std::string& bytes) {
  if (!IsOpen()) return false;
  std::size_t count = 0;
  const bool ok =
      port_->Write(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()),
                   kWriteStall, count);
  if (!ok || count != bytes.size()) return false;
  tx_pending_ = true;
  const std::uint64_t one = 1;
  return ::write(wake_fd_, &one, sizeof one) == sizeof one;
}

void TVexComPort::Purge() {
  if (IsOpen()) ::tcflush(port_->Descriptor(), TCIFLUSH);
  std::lock_guard lock(mutex_);
  buffer_.TakeAll();
}

void TVexComPort::SetBaudrate(int baud) {
  baudrate_ = baud;
  if (IsOpen()) ApplyLineSettings();
}
void TVexComPort::SetByteSize(int size) {
  byte_size_ = size;
  if (IsOpen()) ApplyLineSettings();
}
void TVexComPort::SetStopBits(StopBits bits) {
  stop_bits_ = bits;
  if (IsOpen()) ApplyLineSettings();
}
void TVexComPort::SetParity(Parity parity) {
  parity_ = parity;
  if (IsOpen()) ApplyLineSettings();
}
void TVexComPort::SetRxBuffer(int size) { rx_buffer_ = size; }

void TVexComPort::SetOnDataAvailable(DataHandler handler) {
  on_data_available_ = std::move(handler);
  std::lock_guard lock(mutex_);
  has_data_handler_ = static_cast<bool>(on_data_available_);
}

void TVexComPort::SetLineMode(bool on) {
  line_mode_ = on;
  if (on) threshold_use_ = false;
  {
    std::lock_guard lock(mutex_);
    worker_line_mode_ = on;
    worker_line_end_ = line_end_;
    buffered_mode_ = line_mode_ || threshold_use_;
  }
  if (!on) PostPendingBytes();
}

void TVexComPort::SetRxThresholdAmount(std::size_t amount) {
  threshold_amount_ = amount;
  std::lock_guard lock(mutex_);
  worker_threshold_ = amount;
}

void TVexComPort::SetRxThresholdUse(bool on) {
  threshold_use_ = on;
  if (on) line_mode_ = false;
  {
    std::lock_guard lock(mutex_);
    worker_line_mode_ = line_mode_;
    worker_threshold_ = threshold_amount_;
    buffered_mode_ = line_mode_ || threshold_use_;
  }
  if (!on) PostPendingBytes();
}

void TVexComPort::PostPendingBytes() {
  if (!IsOpen() || line_mode_ || threshold_use_) return;
  std::string pending;
  {
    std::lock_guard lock(mutex_);
    pending = buffer_.TakeAll();
  }
  if (pending.empty()) return;
  PostEvent([pending](TVexComPort& port) {
    if (port.on_data_available_) port.DeliverData(pending);
  });
}

void TVexComPort::ApplyLineSettings() {
  const int fd = port_->Descriptor();
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0) return;
  if (auto speed = TermiosSpeed(baudrate_)) ::cfsetspeed(&settings, *speed);
  settings.c_cflag = (settings.c_cflag & ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS)) |
                     SizeBits(byte_size_) | CLOCAL | CREAD;
  if (parity_ != Parity::None) settings.c_cflag |= PARENB;
  if (parity_ == Parity::Odd) settings.c_cflag |= PARODD;
  if (stop_bits_ == StopBits::Two) settings.c_cflag |= CSTOPB;
  // Output waits for CTS, input holds RTS back: termios has one switch for both.
  if (flow_.TxCtsFlow() || flow_.RxRtsControl() == TFlowCtrl::RtsControl::Handshake)
    settings.c_cflag |= CRTSCTS;
  settings.c_iflag &= ~(IXON | IXOFF);
  if (flow_.Flags() & 0x0100) settings.c_iflag |= IXON;
  if (flow_.Flags() & 0x0200) settings.c_iflag |= IXOFF;
  ::tcsetattr(fd, TCSANOW, &settings);
}

void TVexComPort::ApplyModemControl() {
  const int fd = port_->Descriptor();
  // A device without modem lines (a pseudo-terminal) refuses these; it has nothing to set.
  auto line = [fd](int bit, bool on) { ::ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &bit); };
  const auto dtr = flow_.RxDtrControl();
  if (dtr != TFlowCtrl::DtrControl::Handshake)
    line(TIOCM_DTR, dtr == TFlowCtrl::DtrControl::Enable);
  const auto rts = flow_.RxRtsControl();
  if (rts == TFlowCtrl::RtsControl::Disable || rts == TFlowCtrl::RtsControl::Enable)
    line(TIOCM_RTS, rts == TFlowCtrl::RtsControl::Enable);
}

void TVexComPort::PostEvent(std::function<void(TVexComPort&)> event) {
  std::weak_ptr<TVexComPort*> alive = self_;
  poster_.Post([alive, event = std::move(event)] {
    if (auto self = alive.lock()) event(**self);
  });
}

void TVexComPort::Deliver(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    if (!on_bg_exception_) throw;
    try {
      on_bg_exception_(error);
    } catch (...) {
      // What the background handler itself raises has nowhere further to go.
    }
  }
}

void TVexComPort::DeliverData(const std::string& bytes) {
  Deliver([&] { on_data_available_(bytes); });
}

void TVexComPort::Received(const std::uint8_t* bytes, std::size_t count) {
  std::vector<std::string> deliveries;
  {
    std::lock_guard lock(mutex_);
    if (!has_data_handler_) return;  // nobody takes input: it is dropped
    if (!buffered_mode_) {
      deliveries.emplace_back(reinterpret_cast<const char*>(bytes), count);
    } else {
      buffer_.Append(bytes, count);
      for (;;) {
        auto piece = worker_line_mode_ ? buffer_.TakeLine(worker_line_end_)
                                       : buffer_.TakeBytes(worker_threshold_);
        if (!piece) break;
        deliveries.push_back(std::move(*piece));
      }
    }
  }
  for (auto& piece : deliveries)
    PostEvent([piece = std::move(piece)](TVexComPort& port) {
      if (port.on_data_available_) port.DeliverData(piece);
    });
}

// Kept whole: the port's poll loop: reads, writes, line changes and the end share its state.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
void TVexComPort::RunWorker(int descriptor, unsigned first_status) {
  const Options options = options_;
  unsigned last = first_status;
  if (options.event_cts_dsr) {
    if (last & kMsCtsOn)
      PostEvent([](TVexComPort& port) {
        if (port.on_cts_changed_) port.Deliver([&] { port.on_cts_changed_(1); });
      });
    if (last & kMsDsrOn)
      PostEvent([](TVexComPort& port) {
        if (port.on_dsr_changed_) port.Deliver([&] { port.on_dsr_changed_(1); });
      });
  }
  bool device_alive = true;
  while (!stop_) {
    pollfd entries[2] = {{wake_fd_, POLLIN, 0}, {descriptor, POLLIN, 0}};
    const bool watch_lines = device_alive && (options.event_cts_dsr || tx_pending_);
    const int ready = ::poll(entries, device_alive ? 2 : 1, watch_lines ? kModemPollMs : -1);
    if (ready < 0 && errno != EINTR) break;
    if (entries[0].revents & POLLIN) {
      std::uint64_t count = 0;
      if (::read(wake_fd_, &count, sizeof count) < 0 && errno != EAGAIN) break;
    }
    if (stop_) break;
    if (device_alive && (entries[1].revents & POLLIN)) {
      std::uint8_t chunk[512];
      const ssize_t got = ::read(descriptor, chunk, sizeof chunk);
      if (got > 0) Received(chunk, static_cast<std::size_t>(got));
      // Readable with nothing to read is how a hang-up shows in raw mode.
      else if (got == 0 || (errno != EAGAIN && errno != EINTR))
        device_alive = false;
    } else if (device_alive && (entries[1].revents & (POLLHUP | POLLERR | POLLNVAL))) {
      device_alive = false;
    }
    if (!device_alive) {
      if (options.event_error)
        PostEvent([](TVexComPort& port) {
          if (port.on_error_) port.Deliver([&] { port.on_error_(kCeIoError); });
        });
      continue;  // from here on only a close ends the wait
    }
    if (tx_pending_) {
      int queued = 0;
      if (::ioctl(descriptor, TIOCOUTQ, &queued) != 0 || queued == 0) {
        tx_pending_ = false;
        PostEvent([](TVexComPort& port) {
          if (port.on_data_sent_) port.Deliver([&] { port.on_data_sent_(); });
        });
      }
    }
    if (options.event_cts_dsr) {
      const unsigned now = lines_.Status(descriptor).value_or(0);
      if ((now ^ last) & kMsCtsOn) {
        const int value = (now & kMsCtsOn) ? 1 : 0;
        PostEvent([value](TVexComPort& port) {
          if (port.on_cts_changed_) port.Deliver([&] { port.on_cts_changed_(value); });
        });
      }
      if ((now ^ last) & kMsDsrOn) {
        const int value = (now & kMsDsrOn) ? 1 : 0;
        PostEvent([value](TVexComPort& port) {
          if (port.on_dsr_changed_) port.Deliver([&] { port.on_dsr_changed_(value); });
        });
      }
      last = now;
    }
  }
}

}  // namespace platform
