#include "build_debug/key/key_link.h"

#include <system_error>
#include <thread>

#include "platform/message_box.h"
#include "platform/settings_store.h"
#include "resources/string_ids.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "services/registry_settings.h"

namespace build_debug {

namespace {

namespace ids = string_ids;

constexpr int kDefaultBaud = 57600;
constexpr int kFallbackBaud = 19200;
// Why the port could not be opened, in the box of state 7. The Part's text says "in use"; a
// port that is missing, forbidden or no terminal says so with its device path.
std::string CannotOpenText(const workbench::Localizer& texts, const std::string& port_name,
                           const platform::SerialOpenFailure& failure) {
  using platform::SerialOpenError;
  auto text = [&](int id, std::initializer_list<std::string_view> arguments) {
    return workbench::FormatText(texts.LU_GetString(id), arguments);
  };
  const std::string& device = failure.device;
  switch (failure.error) {
    case SerialOpenError::NoDevice:
      if (device.empty()) return text(ids::ComUnit::SCU_PORT_NOT_NAMED, {port_name});
      return text(ids::ComUnit::SCU_PORT_NO_DEVICE, {port_name, device});
    case SerialOpenError::NoPermission:
      return text(ids::ComUnit::SCU_PORT_NO_PERMISSION,
                  {port_name, device, failure.group.empty() ? "dialout" : failure.group});
    case SerialOpenError::NotSerial:
      return text(ids::ComUnit::SCU_PORT_NOT_SERIAL, {port_name, device});
    case SerialOpenError::Other:
      return text(ids::ComUnit::SCU_PORT_REFUSED,
                  {port_name, device, std::system_category().message(failure.system_error)});
    case SerialOpenError::InUse:
    case SerialOpenError::None: break;
  }
  return text(ids::ComUnit::SCU_CANNOT_OPEN_PORT, {port_name});
}

}  // namespace

KeyLink::KeyLink(platform::SerialPortOpener& ports, const workbench::MessageStrings& messages,
                 CtsMonitorPort* monitor, Now now)
    : ports_(ports), messages_(messages), monitor_(monitor), now_(std::move(now)) {
  tx_.reserve(kBufferSize);
}

KeyLink::~KeyLink() = default;

void KeyLink::ComInit() {
  port_name_ = "COM1";
  port_number_ = 1;
  in_use_ = {};
  baud_ = kDefaultBaud;
  ClosePortHandle();
  key_open_ = false;
  monitor_wanted_ = false;
  timeout_ms_ = kDefaultTimeoutMs;
  probing_ = false;
  echo_pending_ = 0;
  scrambler_.SetState(0);
  keyed_ = false;
  tx_.clear();
  rx_position_ = rx_count_ = 0;
  link_state_ = 0;
  if (monitor_ && !monitor_configured_) {
    CtsMonitorPort::Setup setup;
    setup.baud = kDefaultBaud;
    setup.port_number = port_number_;
    monitor_->Configure(setup, [this](int cts) { MonitorCtsChanged(cts); });
    monitor_configured_ = true;
  }
}

void KeyLink::SetComPort(std::string_view text) {
  std::string digits;
  for (char c : text)
    if (c >= '0' && c <= '9') digits += c;
  if (digits.empty()) {
    port_name_ = "COM";
    return;
  }
  if (auto number = platform::PortNumber(digits)) port_number_ = *number;
  port_name_ = "COM" + digits;
}

KeyLink::PortChoice KeyLink::ChoosePort() { return {ports_.LookUp(port_name_), port_number_}; }

bool KeyLink::OpenKey(const PortChoice& port) {
  in_use_ = port;
  ApplyCtsMonitorAt(false, in_use_.number);
  bool ok = KeyHandshake();
  if (!ok) {
    baud_ = baud_ == kDefaultBaud ? kFallbackBaud : kDefaultBaud;
    ok = KeyHandshake();
    if (!ok) baud_ = kDefaultBaud;
  }
  if (ok) {
    key_open_ = true;
    return true;
  }
  if (link_state_ == kLinkOk) link_state_ = kLinkKeyNotFound;
  ApplyCtsMonitorAt(monitor_wanted_, in_use_.number);
  return false;
}

bool KeyLink::KeyHandshake() {
  auto opened = ports_.OpenTarget(in_use_.target, baud_);
  if (!opened.port) {
    open_failure_ = opened.failure;
    link_state_ = kLinkCannotOpen;
    return false;
  }
  open_failure_ = {};
  port_ = std::move(opened.port);
  tx_.clear();
  rx_position_ = rx_count_ = 0;
  echo_pending_ = 0;
  keyed_ = false;
  timeout_ms_ = kDefaultTimeoutMs;
  link_open_ = true;

  if (settle_time_.count() > 0) std::this_thread::sleep_for(settle_time_);
  // What came in while the key settled is no answer to us: a late reply to the last close's
  // byte, or noise of the key's start.
  std::size_t drained = 0;
  do {
    if (!port_->Read(rx_, std::chrono::milliseconds(0), drained)) break;
  } while (drained > 0);

  // Every failure closes the port again: a handle left open would make the second try at the
  // other speed fail to open the same port.
  auto give_up = [this] {
    ClosePortHandle();
    return false;
  };
  SendString(kProbe);
  if (!FlushTx()) return give_up();

  probing_ = true;
  bool read_failed = false;
  for (char expected : kIdentification) {
    std::uint8_t c = 0;
    if (!ReceiveScrambled(c)) {
      read_failed = true;
      break;
    }
    if (!probing_) break;
    // A wrong character marks the key as not found but lets the handshake go on.
    if (c != static_cast<std::uint8_t>(expected)) link_state_ = kLinkKeyNotFound;
  }
  if (read_failed) {
    probing_ = false;
    return give_up();
  }
  bool found = probing_;
  probing_ = false;
  if (!found) return give_up();

  // The seed and firmware bytes come plain: scrambling starts after the last of them.
  std::uint8_t seed_low = 0, seed_high = 0, firmware = 0;
  if (!ReceiveScrambled(seed_low)) return give_up();
  std::uint16_t state = static_cast<std::uint16_t>(seed_low ^ kScramblerSeed);
  if (!ReceiveScrambled(seed_high)) return give_up();
  state = static_cast<std::uint16_t>(state ^ (seed_high << 8));
  if (!ReceiveScrambled(firmware)) return give_up();
  scrambler_.SetState(state);
  keyed_ = true;
  firmware_version_ = firmware;
  return true;
}

void KeyLink::CloseKey() {
  if (!link_open_) return;
  SendScrambled(0);
  std::ignore = FlushTx();  // the key may be gone already; the port closes either way
  ClosePortHandle();
  key_open_ = false;
  if (monitor_wanted_) ApplyCtsMonitorAt(true, in_use_.number);
}

void KeyLink::ClosePortHandle() {
  port_.reset();
  link_open_ = false;
}

void KeyLink::SendScrambled(std::uint8_t b) { tx_.push_back(keyed_ ? scrambler_.Send(b) : b); }

void KeyLink::SendString(std::string_view text) {
  for (char c : text) SendScrambled(static_cast<std::uint8_t>(c));
}

void KeyLink::SendWord(std::uint16_t word) {
  SendScrambled(static_cast<std::uint8_t>(word & 0xFF));
  SendScrambled(static_cast<std::uint8_t>((word >> 8) & 0x0F));
}

bool KeyLink::FlushTx() {
  link_state_ = kLinkOk;
  bool ok = true;
  std::size_t written = 0;
  if (!port_ || !port_->Write(tx_, std::chrono::milliseconds(timeout_ms_), written)) {
    link_state_ = kLinkCannotWrite;
    ok = false;
  } else if (written != tx_.size()) {
    link_state_ = kLinkTransmitStall;
    ok = false;
  }
  // The bytes count as sent and their echoes as due, whatever happened.
  echo_pending_ += static_cast<std::uint32_t>(tx_.size());
  tx_.clear();
  return ok;
}

bool KeyLink::ReadWithEchoSkip() {
  link_state_ = kLinkOk;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms_);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    std::size_t got = 0;
    // A failed read is a device that is gone or broken: waiting out the time-out would not
    // bring it back.
    if (!port_ || !port_->Read(rx_, left, got)) {
      link_state_ = kLinkCannotRead;
      probing_ = false;
      return false;
    }
    if (echo_pending_ >= got) {
      echo_pending_ -= static_cast<std::uint32_t>(got);
      continue;
    }
    rx_position_ = echo_pending_;
    echo_pending_ = 0;
    rx_count_ = got;
    return true;
  }
  if (probing_) {
    probing_ = false;
    return true;
  }
  link_state_ = kLinkKeyNotFound;
  return false;
}

bool KeyLink::ReceiveScrambled(std::uint8_t& b) {
  if (rx_position_ >= rx_count_) {
    if (!ReadWithEchoSkip()) return false;
    // A probe that timed out hands out nothing; the handshake sees probing cleared.
    if (rx_position_ >= rx_count_) {
      b = 0;
      return true;
    }
  }
  std::uint8_t c = rx_[rx_position_++];
  b = keyed_ ? scrambler_.Receive(c) : c;
  return true;
}

bool KeyLink::ReceiveWord(std::int16_t& word) {
  std::uint8_t low = 0, high = 0;
  if (!ReceiveScrambled(low) || !ReceiveScrambled(high)) return false;
  word = static_cast<std::int16_t>(((high << 8) & 0x0FFF) | low);
  return true;
}

bool KeyLink::ReceiveBytes(std::span<std::uint8_t> buffer) {
  for (auto& b : buffer)
    if (!ReceiveScrambled(b)) return false;
  return true;
}

bool KeyLink::ReceiveWords(std::span<std::int16_t> buffer) {
  for (auto& word : buffer)
    if (!ReceiveWord(word)) return false;
  return true;
}

bool KeyLink::ClockCommand(int kind) {
  if (!clock_commands_) return false;
  if (kind == 6) return clock_commands_->ClockOn();
  if (kind == 7) return clock_commands_->ClockOff();
  return false;
}

void KeyLink::ReportLinkError() {
  int text_id = 0;
  switch (link_state_) {
    case kLinkCannotWrite: text_id = ids::ComUnit::SCU_CANNOT_WRITE; break;
    case kLinkTransmitStall: text_id = ids::ComUnit::SCU_TRANSMIT_STALL; break;
    case kLinkCannotRead: text_id = ids::ComUnit::SCU_CANNOT_READ; break;
    case kLinkKeyNotFound: text_id = ids::ComUnit::SCU_KEY_NOT_FOUND; break;
    case kLinkCannotOpen: text_id = ids::ComUnit::SCU_CANNOT_OPEN_PORT; break;
    default: return;
  }
  const workbench::Localizer& texts = messages_.Texts();
  const std::string& port_name = PortInUseName();
  std::string text = link_state_ == kLinkCannotOpen
                         ? CannotOpenText(texts, port_name, open_failure_)
                         : workbench::FormatText(texts.LU_GetString(text_id), {port_name});
  std::ignore = messages_.Service().Show(
      {text, texts.LU_GetString(ids::QVCUnit::SCU_LINK_ERROR_CAPTION), platform::BoxButtons::Ok});
  link_state_ = kLinkOk;
}

void KeyLink::SetCtsMonitor(bool wanted) {
  monitor_wanted_ = wanted;
  if (!key_open_) ApplyCtsMonitor(wanted);
}

void KeyLink::ApplyCtsMonitor(bool on) { ApplyCtsMonitorAt(on, port_number_); }

void KeyLink::ApplyCtsMonitorAt(bool on, int port_number) {
  if (!monitor_) return;
  if (!on) {
    monitor_->Close();
    return;
  }
  if (key_open_) return;
  monitor_->SetPort(port_number);
  if (monitor_->Open()) monitor_opened_ = now_();
}

void KeyLink::MonitorCtsChanged(int cts) {
  std::string text = now_() > monitor_opened_ + std::chrono::seconds(1)
                         ? "CTS Status " + std::to_string(cts)
                         : "OLD CTS change noted and discarded";
  std::ignore = messages_.Service().Show({text, "CTS Status Change", platform::BoxButtons::Ok});
}

platform::SerialPortResolver::Lookup StoredSerialDevice(workbench::RegistrySettings& settings) {
  return [&settings](std::string_view port_name) -> std::optional<std::string> {
    std::string path;
    try {
      if (!settings.ReadRegString("SerialDevices\\" + std::string(port_name), path))
        return std::nullopt;
    } catch (const platform::SettingsError&) {
      return std::nullopt;  // a value of the wrong type names no device
    }
    return path;
  };
}

}  // namespace build_debug
