#pragma once
// The QV devices: their rows, the names that select them, and the chosen device's state.
//
// Invariant: the DeviceState fields that follow from the device (program size to the fuse
// defaults) are always those ApplyDevice computed for `index` and `new_revision`; a fresh state
// equals ApplyDevice of index 0 with the new revision.

#include <cstdint>
#include <string_view>

namespace tarn {
struct TarnRun;
}

namespace tarn {

struct DeviceRow {
  const char* name;
  unsigned program_words;  // 0 would mean 2,048
  unsigned constant_256;   // every row holds 256; nothing reads it
  unsigned pins;
  unsigned zero1;
  unsigned zero2;
  int device_class;  // 1: 2,048-word devices, 2: 4,096-word devices
};

inline constexpr DeviceRow kDevices[] = {
    // name      words  256  pins  0  0  class
    {"QV18AC", 2048, 256, 18, 0, 0, 1}, {"QV20AC", 2048, 256, 20, 0, 0, 1},
    {"QV28AC", 2048, 256, 28, 0, 0, 1}, {"QV48BD", 4096, 256, 48, 0, 0, 2},
    {"QV52BD", 4096, 256, 52, 0, 0, 2},
};
inline constexpr int kDeviceCount = 5;
inline constexpr int kDefaultDevice = 0;      // QV18AC, when no device is named
inline constexpr int kUnknownNameDevice = 2;  // QV28AC, after an unknown name

inline constexpr int kDeviceUnknown = -1;
inline constexpr int kDeviceOldRevision = -2;  // OLDREV: keeps the device, clears the new revision

struct DeviceState {
  int index = kDefaultDevice;
  bool new_revision = true;
  bool declared = false;    // /P or a DEVICE statement has named a device
  int declared_index = -1;  // the device last named, for warning 54

  unsigned program_size = 2048;   // words
  unsigned address_limit = 2047;  // program_size - 1
  uint16_t id_word = 0xAB00;      // 0xAB (new revision) or 0x9B, then the index
  int device_class = 1;
  uint16_t word_mask = 0x0FFF;
  uint16_t fr_mask = 31;
  uint16_t literal_mask = 255;
  uint16_t jmp_mask = 511;
  uint16_t call_mask = 255;
  uint16_t destination_bit = 0x020;
  uint16_t limit_2047 = 2047;  // kept with the masks; nothing reads it
  uint16_t fuse = 0x0FFB;
  uint16_t fusex = 0x0BFF;

  // The reset vector: the highest program address, which PAGESn can lower on the 2,048-word
  // devices.
  unsigned highest_address = 2047;
};

// The device index a name selects (names compare without regard to case), kDeviceOldRevision
// for OLDREV, or kDeviceUnknown.
int FindDeviceName(std::string_view name);

// Sets the device state for a device index; an index outside the table becomes 0. The FUSE and
// FUSEX words start again from the device's defaults.
void ApplyDevice(TarnRun& run, int index);

// A device name of a DEVICE statement or LIST P=. Returns 0, or -1 for an unknown name (the
// caller reports message 26); an unknown name before any device was named selects QV28AC.
// Naming another device than the one named before reports warning 54. OLDREV keeps the device
// and clears the new revision.
int SelectDevice(TarnRun& run, std::string_view name);

// Chooses the device of /P, or the default, with its ID word and fuse defaults; everything a
// DEVICE statement set before is forgotten.
void SetUpDevice(TarnRun& run);

}  // namespace tarn
