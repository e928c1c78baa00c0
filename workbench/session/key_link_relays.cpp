#include "workbench/session/key_link_relays.h"

#include <thread>

#include "workbench/session/session.h"

namespace workbench {

platform::SerialOpenResult SerialPortsRelay::Open(std::string_view port_name, int baud) {
  if (!ports_) throw MissingService("The session has no serial-port service");
  return ports_->Open(port_name, baud);
}

platform::SerialPortTarget SerialPortsRelay::LookUp(std::string_view port_name) {
  if (!ports_) throw MissingService("The session has no serial-port service");
  return ports_->LookUp(port_name);
}

platform::SerialOpenResult SerialPortsRelay::OpenTarget(const platform::SerialPortTarget& target,
                                                        int baud) {
  if (!ports_) throw MissingService("The session has no serial-port service");
  return ports_->OpenTarget(target, baud);
}

template <typename Call>
void KeyNotificationRelay::Forward(Call call) {
  // Counted before the target is read, so that Unbind sees every report that may still use it.
  ++in_flight_;
  if (build_debug::KeyNotifications* target = target_.load()) call(*target);
  --in_flight_;
}

void KeyNotificationRelay::Unbind(const std::function<void()>& pump,
                                  std::chrono::milliseconds limit) {
  target_.store(nullptr);
  const auto until = std::chrono::steady_clock::now() + limit;
  while (in_flight_.load() > 0 && std::chrono::steady_clock::now() < until) {
    if (pump) pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void KeyNotificationRelay::DeviceProgress(int code, int parameter, bool sent) {
  Forward([&](build_debug::KeyNotifications& t) { t.DeviceProgress(code, parameter, sent); });
}

void KeyNotificationRelay::KeyNotify(int code, bool sent) {
  Forward([&](build_debug::KeyNotifications& t) { t.KeyNotify(code, sent); });
}

void KeyNotificationRelay::DebugProgrammed() {
  Forward([](build_debug::KeyNotifications& t) { t.DebugProgrammed(); });
}

void KeyNotificationRelay::CloseProgress() {
  Forward([](build_debug::KeyNotifications& t) { t.CloseProgress(); });
}

void KeyNotificationRelay::LinkHeldByRun(bool held) {
  Forward([held](build_debug::KeyNotifications& t) { t.LinkHeldByRun(held); });
}

}  // namespace workbench
