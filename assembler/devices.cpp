#include "assembler/devices.h"

#include "assembler/run.h"
#include "assembler/text.h"

namespace tarn {
namespace {

struct DeviceName {
  const char* name;
  int index;
};

// Tested in this order.
constexpr DeviceName kDeviceNames[] = {
    {"QV18AC", 0}, {"QV18", 0}, {"QV18L", 0}, {"PINS18", 0},
    {"QV20AC", 1}, {"QV20", 1}, {"PINS20", 1},
    {"QV28AC", 2}, {"QV28", 2}, {"QV28L", 2}, {"PINS28", 2},
    {"QV48BD", 3}, {"QV48", 3}, {"PINS48", 3},
    {"QV52BD", 4}, {"QV52", 4}, {"PINS52", 4},
    {"OLDREV", kDeviceOldRevision},
};

}  // namespace

int FindDeviceName(std::string_view name) {
  for (const DeviceName& d : kDeviceNames) {
    if (EqualsNoCase(d.name, name)) return d.index;
  }
  return kDeviceUnknown;
}

void SetUpDevice(TarnRun& run) {
  if (run.options.device >= 0) {
    run.device.index = run.options.device;
    run.device.declared = true;
  }
}

}  // namespace tarn
