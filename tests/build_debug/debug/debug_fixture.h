#pragma once
// What the debug tests share: the key's notices as they came, and a settings file of the test
// alone.

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "build_debug/key/key_protocol.h"

namespace build_debug {

// Progress is dropped; end-of-run notices are kept (a sent one negative), and whether
// programming for debug ended.
class KeyNotices : public KeyNotifications {
 public:
  void DeviceProgress(int, int, bool) override {}
  void KeyNotify(int code, bool sent) override { notified.push_back(sent ? -code : code); }
  void DebugProgrammed() override { programmed = true; }
  void CloseProgress() override {}
  std::vector<int> notified;
  std::atomic<bool> programmed{false};
};

// A fresh settings file named after the running test (tests may run side by side in
// processes of their own).
inline std::string FreshSettingsFile() {
  std::string path = ::testing::TempDir() + "/" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                     std::to_string(::getpid()) + "_settings.txt";
  std::filesystem::remove(path);
  return path;
}

}  // namespace build_debug
