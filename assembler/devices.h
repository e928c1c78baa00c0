#pragma once
// The QV devices: their rows, the names that select them, and the chosen device's state.

#include <string_view>

namespace tarn {
struct TarnRun;
}

namespace tarn {

struct DeviceRow {
  const char* name;
  unsigned program_words;
  unsigned pins;
  int device_class;  // 1: 2,048-word devices, 2: 4,096-word devices
};

inline constexpr DeviceRow kDevices[] = {
    // name      words  pins class
    {"QV18AC",   2048,  18,  1},
    {"QV20AC",   2048,  20,  1},
    {"QV28AC",   2048,  28,  1},
    {"QV48BD",   4096,  48,  2},
    {"QV52BD",   4096,  52,  2},
};

inline constexpr int kDeviceUnknown = -1;
inline constexpr int kDeviceOldRevision = -2;  // OLDREV: keeps the device, clears the new revision

// The device index a name selects (names compare without regard to case), kDeviceOldRevision
// for OLDREV, or kDeviceUnknown.
int FindDeviceName(std::string_view name);

// Chooses the device of /P, or the default, with its ID-word address and fuse defaults.
void SetUpDevice(TarnRun& run);

struct DeviceState {
  int index = 0;
  bool new_revision = true;
  bool declared = false;  // a DEVICE or /P has chosen a device
};

}  // namespace tarn
