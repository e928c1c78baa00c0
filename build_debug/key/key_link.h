#pragma once
// The blocking serial link between the IDE and the QV-Key: one COM port, the key found by its
// handshake, then every byte of the key and debug protocols through the scrambler, with the
// key's echo of each byte dropped before received bytes are handed on.
//
// A protocol command is a run of SendScrambled/SendWord, one FlushTx, then ReceiveScrambled/
// ReceiveWord for the reply. Operations return a Boolean and leave the reason in LinkState();
// nothing here raises, and the caller decides whether to call ReportLinkError.
//
// The link has no lock: one thread at a time uses it (the GUI thread, or the programming
// worker, which starts only while the link is closed). IsLinkOpen may be asked from any
// thread. The port a worker opens is chosen on the GUI thread before it starts (ChoosePort):
// the worker reads neither the port name, which the configuration may change meanwhile, nor
// the settings that name its device.

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "build_debug/key/key_scrambler.h"
#include "platform/serial_port.h"

namespace workbench {
class MessageStrings;
class RegistrySettings;
}  // namespace workbench

namespace build_debug {

// Last link result.
enum LinkStates : std::int32_t {
  kLinkOk = 1,
  kLinkCannotWrite = 3,
  kLinkTransmitStall = 4,
  kLinkCannotRead = 5,
  kLinkKeyNotFound = 6,  // read time-out, wrong identification, or no key at either speed
  kLinkCannotOpen = 7,
};

// The serial-port component the factory-test CTS monitor runs on.
class CtsMonitorPort {
 public:
  virtual ~CtsMonitorPort() = default;
  struct Setup {
    int baud = 57600;
    int byte_size = 8;
    int port_number = 1;
    bool parity = false;
    bool cts_dsr_events = true;
  };
  // Once, at the link's start: the port settings and the handler of CTS changes (0 or 1).
  virtual void Configure(const Setup& setup, std::function<void(int cts)> on_cts_changed) = 0;
  virtual void SetPort(int port_number) = 0;
  // True when the port reports open. Never raises.
  virtual bool Open() = 0;
  virtual void Close() = 0;
};

// The key protocol's clock commands, which ClockCommand forwards to.
class KeyClockCommands {
 public:
  virtual ~KeyClockCommands() = default;
  virtual bool ClockOn() = 0;
  virtual bool ClockOff() = 0;
};

class KeyLink {
 public:
  using Now = std::function<std::chrono::steady_clock::time_point()>;

  static constexpr std::string_view kProbe = " QV-Key";
  static constexpr std::string_view kIdentification = "QV-Key";
  static constexpr std::size_t kBufferSize = 4096;
  // The key needs this long after the port opens before it listens.
  static constexpr std::chrono::milliseconds kSettleTime{100};
  // The wait for one read until a command that takes longer sets its own; every handshake
  // starts with it again.
  static constexpr int kDefaultTimeoutMs = 1000;

  // `monitor` may be null on a machine without the serial-port component.
  KeyLink(platform::SerialPortOpener& ports, const workbench::MessageStrings& messages,
          CtsMonitorPort* monitor = nullptr, Now now = std::chrono::steady_clock::now);
  ~KeyLink();
  KeyLink(const KeyLink&) = delete;
  KeyLink& operator=(const KeyLink&) = delete;

  // Initial values, and the CTS monitor's settings the first time.
  void ComInit();
  // Keeps the digits of the text; with any, the port becomes "COM" + digits.
  void SetComPort(std::string_view text);
  const std::string& GetComPortName() const { return port_name_; }
  // The port of the last opening (the chosen one before any): the one a holder of the link
  // is using.
  const std::string& PortInUseName() const {
    return in_use_.target.name.empty() ? port_name_ : in_use_.target.name;
  }
  int PortNumber() const { return port_number_; }
  int BaudRate() const { return baud_; }
  bool IsLinkOpen() const { return link_open_.load(); }
  bool IsKeyOpen() const { return key_open_; }

  // The port an opening uses: the port name looked up (device path and all), and its number.
  struct PortChoice {
    platform::SerialPortTarget target;
    int number = 1;
  };
  // The chosen port, looked up now.
  PortChoice ChoosePort();

  // Opens the port and finds the key, at the last speed that worked first, then the other.
  [[nodiscard]] bool OpenKey() { return OpenKey(ChoosePort()); }
  // The same on a port chosen earlier, on another thread.
  [[nodiscard]] bool OpenKey(const PortChoice& port);
  void CloseKey();
  void ClosePortHandle();

  void SendScrambled(std::uint8_t b);
  void SendString(std::string_view text);
  // A 12-bit word: its low byte, then its high nibble.
  void SendWord(std::uint16_t word);
  [[nodiscard]] bool FlushTx();
  [[nodiscard]] bool ReceiveScrambled(std::uint8_t& b);
  // Low byte, then high byte; the word keeps 12 bits.
  [[nodiscard]] bool ReceiveWord(std::int16_t& word);
  [[nodiscard]] bool ReceiveBytes(std::span<std::uint8_t> buffer);
  [[nodiscard]] bool ReceiveWords(std::span<std::int16_t> buffer);

  void SetLinkTimeout(int milliseconds) { timeout_ms_ = milliseconds; }
  // The wait after the port opens; a port that is ready at once (a fuzz target's) may make it
  // 0.
  void SetSettleTime(std::chrono::milliseconds settle) { settle_time_ = settle; }
  int LinkTimeout() const { return timeout_ms_; }
  bool IsKeyed() const { return keyed_; }
  std::uint16_t GetScramblerState() const { return scrambler_.State(); }
  // The key's firmware version, the third byte of its seed.
  std::uint8_t FirmwareVersion() const { return firmware_version_; }

  // Kind 6 clock on, kind 7 clock off, through the key protocol; anything else false.
  void SetClockCommands(KeyClockCommands* commands) { clock_commands_ = commands; }
  [[nodiscard]] bool ClockCommand(int kind);

  std::int32_t LinkState() const { return link_state_; }
  // Shows the message of states 3 to 7 and makes the state 1; other states show nothing.
  void ReportLinkError();

  void SetCtsMonitor(bool wanted);
  void ApplyCtsMonitor(bool on);
  void MonitorCtsChanged(int cts);
  bool CtsMonitorWanted() const { return monitor_wanted_; }

 private:
  bool KeyHandshake();
  bool ReadWithEchoSkip();
  void ApplyCtsMonitorAt(bool on, int port_number);

  platform::SerialPortOpener& ports_;
  const workbench::MessageStrings& messages_;
  CtsMonitorPort* monitor_;
  bool monitor_configured_ = false;
  Now now_;
  KeyClockCommands* clock_commands_ = nullptr;

  std::string port_name_ = "COM1";
  int port_number_ = 1;
  // The port of the last opening; its failures name it.
  PortChoice in_use_;
  int baud_ = 57600;
  std::unique_ptr<platform::SerialPort> port_;
  platform::SerialOpenFailure open_failure_;
  std::atomic<bool> link_open_{false};
  bool key_open_ = false;
  bool monitor_wanted_ = false;
  int timeout_ms_ = kDefaultTimeoutMs;
  std::chrono::milliseconds settle_time_ = kSettleTime;
  bool probing_ = false;
  std::uint32_t echo_pending_ = 0;
  KeyScrambler scrambler_;
  bool keyed_ = false;
  std::uint8_t firmware_version_ = 0;
  std::vector<std::uint8_t> tx_;
  std::array<std::uint8_t, kBufferSize> rx_{};
  std::size_t rx_position_ = 0;
  std::size_t rx_count_ = 0;
  std::int32_t link_state_ = 0;
  std::chrono::steady_clock::time_point monitor_opened_{};
};

// The settings' device path of a port name, under "SerialDevices\<name>", for the resolver.
platform::SerialPortResolver::Lookup StoredSerialDevice(workbench::RegistrySettings& settings);

}  // namespace build_debug
