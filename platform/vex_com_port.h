#pragma once
// An event-driven serial port: a worker thread waits for input and for changes of the modem
// lines and hands each event to the GUI thread through an EventPoster, so that the handlers
// run there. The factory-test CTS monitor of the key link runs on it.
//
// Threads: every public member is called on the GUI thread. The worker reads the port and
// the modem lines; what it shares with the GUI thread is guarded by mutex_. Handlers run
// only from posted events (and from Close for bytes still held in line or threshold mode).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

#include "platform/serial_port.h"

namespace platform {

class EVexComPort : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Runs a function on the GUI thread, later; the Qt binding queues it to the event loop.
class EventPoster {
 public:
  virtual ~EventPoster() = default;
  virtual void Post(std::function<void()> event) = 0;
};

// Modem-status bits as the component reports them.
inline constexpr unsigned kMsCtsOn = 0x10;
inline constexpr unsigned kMsDsrOn = 0x20;
// Error bit of OnError: the device failed or hung up.
inline constexpr unsigned kCeIoError = 0x400;

// The modem lines of an open device. A pseudo-terminal has none, so tests put in their own.
class ModemLineSource {
 public:
  virtual ~ModemLineSource() = default;
  // kMsCtsOn | kMsDsrOn as they stand; nothing when the device has no modem lines.
  virtual std::optional<unsigned> Status(int descriptor) = 0;
};

// TIOCMGET on the device.
class DeviceModemLines : public ModemLineSource {
 public:
  std::optional<unsigned> Status(int descriptor) override;
};

// The port's line-control word; each property edits its own bits. Bits without a termios
// counterpart (DSR flow and sensitivity, continue after XOFF, DTR handshake, RTS toggle) are
// kept in the word and have no effect on this platform.
class TFlowCtrl {
 public:
  enum class DtrControl { Disable, Enable, Handshake };
  enum class RtsControl { Disable, Enable, Handshake, Toggle };

  static constexpr std::uint32_t kInitial = 0x1011;  // binary mode, DTR on, RTS on

  std::uint32_t Flags() const { return flags_; }
  bool TxCtsFlow() const { return flags_ & 0x0004; }
  bool TxDsrFlow() const { return flags_ & 0x0008; }
  DtrControl RxDtrControl() const { return static_cast<DtrControl>((flags_ & 0x0030) >> 4); }
  bool RxDsrSensivity() const { return flags_ & 0x0040; }
  bool TxContinueXoff() const { return flags_ & 0x0080; }
  bool XonXoff() const { return (flags_ & 0x0300) != 0; }
  RtsControl RxRtsControl() const { return static_cast<RtsControl>((flags_ & 0x3000) >> 12); }

  void SetTxCtsFlow(bool on) { Set(0x0004, on ? 0x0004 : 0); }
  void SetTxDsrFlow(bool on) { Set(0x0008, on ? 0x0008 : 0); }
  void SetRxDtrControl(DtrControl control) {
    Set(0x0030, static_cast<std::uint32_t>(control) << 4);
  }
  void SetRxDsrSensivity(bool on) { Set(0x0040, on ? 0x0040 : 0); }
  void SetTxContinueXoff(bool on) { Set(0x0080, on ? 0x0080 : 0); }
  void SetXonXoff(bool on) { Set(0x0300, on ? 0x0300 : 0); }
  void SetRxRtsControl(RtsControl control) {
    Set(0x3000, static_cast<std::uint32_t>(control) << 12);
  }

  // Called after every change (the port applies it at once while open).
  void OnChange(std::function<void()> changed) { changed_ = std::move(changed); }

 private:
  void Set(std::uint32_t mask, std::uint32_t bits) {
    flags_ = (flags_ & ~mask) | bits;
    if (changed_) changed_();
  }
  std::uint32_t flags_ = kInitial;
  std::function<void()> changed_;
};

// Received bytes held for line and threshold modes: a fill position (the size) and a scan
// position, before which no line end was found.
class TVexCommBuffer {
 public:
  void Append(const std::uint8_t* bytes, std::size_t count) {
    data_.append(reinterpret_cast<const char*>(bytes), count);
  }
  // The next line including `line_end`, or nothing when no whole line is held.
  std::optional<std::string> TakeLine(const std::string& line_end);
  // The first `amount` bytes, or nothing when fewer are held.
  std::optional<std::string> TakeBytes(std::size_t amount);
  std::string TakeAll();
  bool Empty() const { return data_.empty(); }

 private:
  std::string data_;
  std::size_t scan_ = 0;
};

class TVexComPort {
 public:
  enum class StopBits { One, Two };
  enum class Parity { None, Odd, Even };
  struct Options {
    bool event_cts_dsr = false;
    bool event_error = false;
  };
  // Received bytes; in line mode a line with its line end, in threshold mode a block.
  using DataHandler = std::function<void(const std::string& bytes)>;
  using LineHandler = std::function<void(int value)>;

  TVexComPort(EventPoster& poster, const SerialPortResolver& resolver, ModemLineSource& lines);
  ~TVexComPort();
  TVexComPort(const TVexComPort&) = delete;
  TVexComPort& operator=(const TVexComPort&) = delete;

  // Opens COM<Port>; a port that cannot be opened raises EVexComPort "Cannot open port '...'".
  void Open();
  // Delivers bytes still held in line or threshold mode, wakes the worker and waits for it.
  void Close();
  void SetOpen(bool open) { open ? Open() : Close(); }
  bool IsOpen() const { return port_ != nullptr; }

  // Writes the bytes; OnDataSent follows once the device has sent them. False when the
  // device failed or stalled.
  [[nodiscard]] bool Write(const std::string& bytes);
  // Drops input not yet delivered.
  void Purge();

  int Baudrate() const { return baudrate_; }
  void SetBaudrate(int baud);
  int ByteSize() const { return byte_size_; }
  void SetByteSize(int size);
  StopBits GetStopBits() const { return stop_bits_; }
  void SetStopBits(StopBits bits);
  Parity GetParity() const { return parity_; }
  void SetParity(Parity parity);
  int Port() const { return port_number_; }
  void SetPort(int number) { port_number_ = number; }
  Options PortOptions() const { return options_; }
  void SetPortOptions(Options options) { options_ = options; }
  int RxBuffer() const { return rx_buffer_; }
  void SetRxBuffer(int size);
  int TxBuffer() const { return tx_buffer_; }
  void SetTxBuffer(int size) { tx_buffer_ = size; }
  // Flow limits follow the receive buffer: half of it and three quarters of it.
  int XonLimit() const { return rx_buffer_ / 2; }
  int XoffLimit() const { return rx_buffer_ * 3 / 4; }
  TFlowCtrl& FlowCtrl() { return flow_; }
  const std::string& LineEnd() const { return line_end_; }
  void SetLineEnd(std::string end) { line_end_ = std::move(end); }
  bool LineMode() const { return line_mode_; }
  void SetLineMode(bool on);
  std::size_t RxThresholdAmount() const { return threshold_amount_; }
  void SetRxThresholdAmount(std::size_t amount);
  bool RxThresholdUse() const { return threshold_use_; }
  void SetRxThresholdUse(bool on);
  std::string Version() const { return "1.12"; }
  void SetVersion(const std::string&) {}  // kept for stored forms; changes nothing

  void SetOnDataAvailable(DataHandler handler);
  void SetOnDataSent(std::function<void()> handler) { on_data_sent_ = std::move(handler); }
  void SetOnCtsChanged(LineHandler handler) { on_cts_changed_ = std::move(handler); }
  void SetOnDsrChanged(LineHandler handler) { on_dsr_changed_ = std::move(handler); }
  void SetOnError(std::function<void(unsigned bits)> handler) { on_error_ = std::move(handler); }
  // Takes what a handler raises; without it the exception goes on to the event loop.
  void SetOnBGException(std::function<void(const std::exception&)> handler) {
    on_bg_exception_ = std::move(handler);
  }

 private:
  void ApplyLineSettings();
  void ApplyModemControl();
  void RunWorker(int descriptor, unsigned first_status);
  void Received(const std::uint8_t* bytes, std::size_t count);
  void PostEvent(std::function<void(TVexComPort&)> event);
  void Deliver(const std::function<void()>& handler);
  void DeliverData(const std::string& bytes);
  void PostPendingBytes();

  EventPoster& poster_;
  const SerialPortResolver& resolver_;
  ModemLineSource& lines_;

  int baudrate_ = 9600;
  int byte_size_ = 8;
  StopBits stop_bits_ = StopBits::One;
  Parity parity_ = Parity::None;
  int port_number_ = 1;
  Options options_;
  int rx_buffer_ = 8192;
  int tx_buffer_ = 8192;
  TFlowCtrl flow_;
  std::string line_end_ = "\r\n";
  bool line_mode_ = false;
  bool threshold_use_ = false;
  std::size_t threshold_amount_ = 1;

  DataHandler on_data_available_;
  std::function<void()> on_data_sent_;
  LineHandler on_cts_changed_;
  LineHandler on_dsr_changed_;
  std::function<void(unsigned)> on_error_;
  std::function<void(const std::exception&)> on_bg_exception_;

  std::unique_ptr<SerialPort> port_;
  std::thread worker_;
  int wake_fd_ = -1;  // an eventfd that ends the worker's wait
  std::atomic<bool> stop_{false};
  std::atomic<bool> tx_pending_{false};
  // Posted events hold this weakly: an event that arrives after the component is gone is
  // dropped instead of reaching freed memory.
  std::shared_ptr<TVexComPort*> self_;

  std::mutex mutex_;  // guards the fields below, which the worker reads
  bool has_data_handler_ = false;
  bool buffered_mode_ = false;  // line or threshold mode
  bool worker_line_mode_ = false;
  std::string worker_line_end_;
  std::size_t worker_threshold_ = 1;
  TVexCommBuffer buffer_;
};

}  // namespace platform
