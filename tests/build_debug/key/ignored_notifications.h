#pragma once
// The key worker's reports taken and dropped, for tests that look at the chip and the boxes.

#include "build_debug/key/key_protocol.h"

namespace gui {

class IgnoredNotifications : public build_debug::KeyNotifications {
 public:
  void DeviceProgress(int, int, bool) override {}
  void KeyNotify(int, bool) override {}
  void DebugProgrammed() override {}
  void CloseProgress() override {}
};

}  // namespace gui
