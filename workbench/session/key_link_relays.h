#pragma once
// What stands between the session's key units and the things that come after the session is
// made: the serial-port opener (bound by the program over the session's own port resolver)
// and the windows that take the key worker's reports (made after the session). Both are
// relays that the session hands its units at once and that are pointed at their targets later.

#include <atomic>
#include <chrono>
#include <functional>

#include "build_debug/key/key_protocol.h"
#include "platform/serial_port.h"
#include "workbench/configuration.h"

namespace workbench {

// Opens ports through the opener bound last; without one, opening is a programming error.
class SerialPortsRelay : public platform::SerialPortOpener {
 public:
  void Bind(platform::SerialPortOpener* ports) { ports_ = ports; }
  platform::SerialPortOpener* Bound() const { return ports_; }
  [[nodiscard]] platform::SerialOpenResult Open(std::string_view port_name, int baud) override;
  [[nodiscard]] platform::SerialPortTarget LookUp(std::string_view port_name) override;
  [[nodiscard]] platform::SerialOpenResult OpenTarget(const platform::SerialPortTarget& target,
                                                      int baud) override;

 private:
  platform::SerialPortOpener* ports_ = nullptr;
};

// Hands the key worker's reports to the windows bound to take them; without any, they are
// dropped. The worker reports from its own thread, so the target is swapped atomically, and
// Unbind waits (with a time-out) for a report that is being handled to end, giving the UI
// thread's events a turn meanwhile: a "sent" report waits for the UI thread.
class KeyNotificationRelay : public build_debug::KeyNotifications {
 public:
  void Bind(build_debug::KeyNotifications* target) { target_.store(target); }
  // `pump` lets the UI thread handle its events while it waits.
  void Unbind(const std::function<void()>& pump,
              std::chrono::milliseconds limit = std::chrono::seconds(5));

  void DeviceProgress(int code, int parameter, bool sent) override;
  void KeyNotify(int code, bool sent) override;
  void DebugProgrammed() override;
  void CloseProgress() override;
  void LinkHeldByRun(bool held) override;

 private:
  template <typename Call>
  void Forward(Call call);

  std::atomic<build_debug::KeyNotifications*> target_{nullptr};
  std::atomic<int> in_flight_{0};
};

// The configuration dialog's view of the key link: the port on the link, the calibration
// mode on the key unit.
class SessionKeyLinkChoices : public KeyLinkChoices {
 public:
  SessionKeyLinkChoices(build_debug::KeyLink& link, build_debug::QvKeyUnit& key)
      : link_(link), key_(key) {}
  void SetComPort(const std::string& text) override { link_.SetComPort(text); }
  std::string GetComPortName() const override { return link_.GetComPortName(); }
  void SetIrcCalMode(std::uint8_t mode) override { key_.SetIrcCalMode(mode); }
  std::uint8_t GetIrcCalMode() const override { return key_.GetIrcCalMode(); }

 private:
  build_debug::KeyLink& link_;
  build_debug::QvKeyUnit& key_;
};

}  // namespace workbench
