// The device rows, device selection by name and the device state that follows from it.

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "assembler/devices.h"
#include "assembler/fuses.h"
#include "assembler/run.h"

namespace tarn {
namespace {

struct DeviceFixture : ::testing::Test {
  std::ostringstream console;
  TarnRun run{console};
  int Warnings() const { return run.messages.counts.warnings; }
};

struct AppliedCase {
  int index;
  unsigned size;
  uint16_t id_word;
  int device_class;
  uint16_t fusex;
};

const AppliedCase kApplied[] = {
    // index  words  id word  class  FUSEX
    {0, 2048, 0xAB00, 1, 0x0BFF},  {1, 2048, 0xAB01, 1, 0x0BFF},
    {2, 2048, 0xAB02, 1, 0x0FFF},  {3, 4096, 0xAB03, 2, 0x0FFF},
    {4, 4096, 0xAB04, 2, 0x0FFF},  {5, 2048, 0xAB00, 1, 0x0BFF},  // beyond the table: device 0
    {-1, 2048, 0xAB00, 1, 0x0BFF},
};

TEST_F(DeviceFixture, ApplyDeviceSetsTheWholeState) {
  for (const AppliedCase& c : kApplied) {
    SCOPED_TRACE(c.index);
    run.device.fuse = 0x0123;  // the defaults come back
    ApplyDevice(run, c.index);
    const DeviceState& d = run.device;
    EXPECT_EQ(d.program_size, c.size);
    EXPECT_EQ(d.address_limit, c.size - 1);
    EXPECT_EQ(d.highest_address, c.size - 1);
    EXPECT_EQ(d.id_word, c.id_word);
    EXPECT_EQ(d.device_class, c.device_class);
    EXPECT_EQ(d.word_mask, 0x0FFF);
    EXPECT_EQ(d.fr_mask, 31);
    EXPECT_EQ(d.literal_mask, 255);
    EXPECT_EQ(d.jmp_mask, 511);
    EXPECT_EQ(d.call_mask, 255);
    EXPECT_EQ(d.destination_bit, 0x020);
    EXPECT_EQ(d.limit_2047, 2047);
    EXPECT_EQ(d.fuse, 0x0FFB);
    EXPECT_EQ(d.fusex, c.fusex);
  }
}

TEST_F(DeviceFixture, FreshStateIsTheDefaultDevice) {
  DeviceState fresh;
  ApplyDevice(run, kDefaultDevice);
  const DeviceState& d = run.device;
  EXPECT_EQ(fresh.program_size, d.program_size);
  EXPECT_EQ(fresh.id_word, d.id_word);
  EXPECT_EQ(fresh.fuse, d.fuse);
  EXPECT_EQ(fresh.fusex, d.fusex);
  EXPECT_EQ(fresh.highest_address, d.highest_address);
  EXPECT_FALSE(fresh.declared);
}

struct NameCase {
  const char* name;
  int index;
};

const NameCase kNames[] = {
    {"QV18AC", 0}, {"qv18", 0},   {"QV18L", 0},  {"Pins18", 0}, {"QV20AC", 1}, {"QV20", 1},
    {"PINS20", 1}, {"QV28AC", 2}, {"QV28", 2},   {"qv28l", 2},  {"PINS28", 2}, {"QV48BD", 3},
    {"QV48", 3},   {"PINS48", 3}, {"QV52BD", 4}, {"QV52", 4},   {"pins52", 4},
};

TEST(DeviceNames, EveryAcceptedNameSelectsItsDevice) {
  for (const NameCase& c : kNames) {
    std::ostringstream console;
    TarnRun run(console);
    ASSERT_EQ(SelectDevice(run, c.name), 0) << c.name;
    EXPECT_EQ(run.device.index, c.index) << c.name;
    EXPECT_EQ(run.device.program_size, c.index >= 3 ? 4096u : 2048u) << c.name;
    EXPECT_TRUE(run.device.declared);
  }
  EXPECT_EQ(FindDeviceName("OLDREV"), kDeviceOldRevision);
  EXPECT_EQ(FindDeviceName("QV19"), kDeviceUnknown);
  EXPECT_EQ(FindDeviceName("QV18ACX"), kDeviceUnknown);
}

TEST_F(DeviceFixture, Qv52SelectsIndex4) {
  EXPECT_EQ(SelectDevice(run, "QV52"), 0);
  EXPECT_EQ(run.device.index, 4);
  EXPECT_EQ(run.device.id_word, 0xAB04);
  EXPECT_EQ(Warnings(), 0);
}

TEST_F(DeviceFixture, UnknownNameFirstSelectsQv28ac) {
  EXPECT_EQ(SelectDevice(run, "QV99"), -1);
  EXPECT_EQ(run.device.index, 2);
  EXPECT_EQ(run.device.id_word, 0xAB02);
  EXPECT_EQ(run.device.fusex, 0x0FFF);
  EXPECT_FALSE(run.device.declared);
}

TEST_F(DeviceFixture, UnknownNameAfterADeviceKeepsIt) {
  ASSERT_EQ(SelectDevice(run, "QV48BD"), 0);
  EXPECT_EQ(SelectDevice(run, "QV99"), -1);
  EXPECT_EQ(run.device.index, 3);
  EXPECT_EQ(run.device.program_size, 4096u);
}

TEST_F(DeviceFixture, OldrevAfterQv48bd) {
  ASSERT_EQ(SelectDevice(run, "QV48BD"), 0);
  ASSERT_EQ(SelectDevice(run, "OLDREV"), 0);
  EXPECT_EQ(run.device.index, 3);
  EXPECT_EQ(run.device.id_word >> 8, 0x9B);
  EXPECT_EQ(run.device.id_word & 0xFF, 3);
  EXPECT_EQ(FuseTableInUse(run), 3);
  EXPECT_EQ(Warnings(), 0);
}

TEST_F(DeviceFixture, OldrevBeforeTheDeviceIsNoOverride) {
  ASSERT_EQ(SelectDevice(run, "OLDREV"), 0);
  EXPECT_FALSE(run.device.declared);
  ASSERT_EQ(SelectDevice(run, "QV52BD"), 0);
  EXPECT_EQ(run.device.id_word, 0x9B04);
  EXPECT_EQ(FuseTableInUse(run), 3);
  EXPECT_EQ(Warnings(), 0);
}

TEST_F(DeviceFixture, AnotherDeviceDrawsWarning54) {
  ASSERT_EQ(SelectDevice(run, "QV18AC"), 0);
  ASSERT_EQ(SelectDevice(run, "QV18"), 0);  // the same device again
  EXPECT_EQ(Warnings(), 0);
  ASSERT_EQ(SelectDevice(run, "QV48BD"), 0);
  EXPECT_EQ(Warnings(), 1);
  EXPECT_NE(console.str().find("Overriding earlier target device declaration"), std::string::npos);
  EXPECT_EQ(run.device.index, 3);
}

TEST_F(DeviceFixture, SetUpDeviceTakesTheOption) {
  run.options.device = 3;
  run.device.fuse = 0;
  SetUpDevice(run);
  EXPECT_EQ(run.device.index, 3);
  EXPECT_TRUE(run.device.declared);
  EXPECT_EQ(run.device.fuse, 0x0FFB);
  EXPECT_EQ(FuseTableInUse(run), 4);
  // /P counts as a declaration: another device afterwards overrides it.
  ASSERT_EQ(SelectDevice(run, "QV20AC"), 0);
  EXPECT_EQ(Warnings(), 1);
}

TEST_F(DeviceFixture, SetUpDeviceWithoutOptionIsTheUndeclaredDefault) {
  SelectDevice(run, "QV52BD");
  SetUpDevice(run);
  EXPECT_EQ(run.device.index, 0);
  EXPECT_FALSE(run.device.declared);
  EXPECT_EQ(run.device.id_word, 0xAB00);
  EXPECT_EQ(FuseTableInUse(run), 2);
}

TEST_F(DeviceFixture, SetUpDeviceWithOldrevOption) {
  run.options.device = kDeviceOldRevision;
  SetUpDevice(run);
  EXPECT_EQ(run.device.index, 0);
  EXPECT_EQ(run.device.id_word, 0x9B00);
  EXPECT_FALSE(run.device.declared);
  EXPECT_EQ(FuseTableInUse(run), 1);
}

}  // namespace
}  // namespace tarn
