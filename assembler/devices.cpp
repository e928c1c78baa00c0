#include "assembler/devices.h"

#include "assembler/run.h"
#include "assembler/text.h"
#include "instruction_set/instruction_set.h"

namespace tarn {
namespace {

struct DeviceName {
  const char* name;
  int index;
};

// Tested in this order.
constexpr DeviceName kDeviceNames[] = {
    {"QV18AC", 0}, {"QV18", 0},   {"QV18L", 0},
    {"PINS18", 0}, {"QV20AC", 1}, {"QV20", 1},
    {"PINS20", 1}, {"QV28AC", 2}, {"QV28", 2},
    {"QV28L", 2},  {"PINS28", 2}, {"QV48BD", 3},
    {"QV48", 3},   {"PINS48", 3}, {"QV52BD", 4},
    {"QV52", 4},   {"PINS52", 4}, {"OLDREV", kDeviceOldRevision},
};

}  // namespace

int FindDeviceName(std::string_view name) {
  for (const DeviceName& d : kDeviceNames) {
    if (EqualsNoCase(d.name, name)) return d.index;
  }
  return kDeviceUnknown;
}

void ApplyDevice(TarnRun& run, int index) {
  DeviceState& d = run.device;
  if (index < 0 || index >= kDeviceCount) index = 0;
  const DeviceRow& row = kDevices[index];
  d.index = index;
  d.program_size = row.program_words != 0 ? row.program_words : 2048;
  d.address_limit = d.program_size - 1;
  d.id_word = static_cast<uint16_t>((d.new_revision ? 0xAB00 : 0x9B00) | index);
  d.device_class = index <= 2 ? instruction_set::kClass2K : instruction_set::kClass4K;
  d.word_mask = instruction_set::kWordBits;
  d.fr_mask = instruction_set::kRegisterField;
  d.literal_mask = instruction_set::kLiteralField;
  d.jmp_mask = instruction_set::kJumpField;
  d.call_mask = instruction_set::kCallField;
  d.destination_bit = instruction_set::kDestinationBit;
  d.limit_2047 = 2047;
  d.fuse = 0x0FFB;
  d.fusex = index <= 1 ? 0x0BFF : 0x0FFF;
  d.highest_address = d.address_limit;
}

int SelectDevice(TarnRun& run, std::string_view name) {
  DeviceState& d = run.device;
  int found = FindDeviceName(name);
  if (found == kDeviceUnknown) {
    // The state follows the index, so the ID word and the limits are QV28AC's too.
    if (!d.declared) ApplyDevice(run, kUnknownNameDevice);
    return -1;
  }
  if (found == kDeviceOldRevision) {
    // OLDREV names a silicon revision, not a device: "OLDREV, QV48BD" must not count as
    // overriding QV18AC.
    d.new_revision = false;
    ApplyDevice(run, d.index);
    return 0;
  }
  ApplyDevice(run, found);
  if (d.declared && d.declared_index != d.index) ReportMessage(run, kWarning, kMsgDeviceOverridden);
  d.declared = true;
  d.declared_index = d.index;
  return 0;
}

void SetUpDevice(TarnRun& run) {
  int chosen = run.options.device;
  run.device = DeviceState{};
  if (chosen == kDeviceOldRevision) run.device.new_revision = false;
  ApplyDevice(run, chosen >= 0 ? chosen : kDefaultDevice);
  if (chosen >= 0) {
    run.device.declared = true;
    run.device.declared_index = chosen;
  }
}

}  // namespace tarn
