// Bank and page fields: BankOf, StripBankBits, the bit field, PageOf and MakePageWord.

#include <gtest/gtest.h>

#include <sstream>

#include "assembler/banks.h"
#include "assembler/devices.h"
#include "assembler/run.h"

namespace tarn {
namespace {

struct BankFixture : ::testing::Test {
  std::ostringstream console;
  TarnRun run{console};
  void Device(const char* name) { ASSERT_EQ(SelectDevice(run, name), 0); }
  void Track(int bank) {
    run.tracking.bank = bank;
    run.tracking.bank_countdown = kTrackingLines;
  }
  int Warnings() const { return run.messages.counts.warnings; }
};

TEST_F(BankFixture, BankOfByClassAndRevision) {
  Device("QV18AC");
  EXPECT_EQ(BankOf(run, 0x45), 2);
  EXPECT_EQ(BankOf(run, 0xFF), 7);
  Device("QV48BD");
  EXPECT_EQ(BankOf(run, 0x45), 4);
  EXPECT_EQ(BankOf(run, 0x1F5), 7);  // taken as 8 bits: 0xF5
  EXPECT_EQ(BankOf(run, 0x80), 0);
  Device("OLDREV");
  EXPECT_EQ(BankOf(run, 0x45), 2);
}

TEST_F(BankFixture, StripBankBitsOnTheSmallDevices) {
  Device("QV18AC");
  run.pass = 2;
  EXPECT_EQ(StripBankBits(run, 0x25), 0x05);
  EXPECT_EQ(Warnings(), 0);
  EXPECT_EQ(StripBankBits(run, 0x125), 0x05);  // beyond 255
  EXPECT_EQ(Warnings(), 1);
  Track(1);
  EXPECT_EQ(StripBankBits(run, 0x25), 0x05);  // bank 1 is selected
  EXPECT_EQ(Warnings(), 1);
  EXPECT_EQ(StripBankBits(run, 0x45), 0x05);  // bank 2 is not: warning 48
  EXPECT_EQ(Warnings(), 2);
  EXPECT_NE(console.str().find("File register not in current bank"), std::string::npos);
  EXPECT_EQ(StripBankBits(run, 0x0A), 0x0A);  // the lower 16 registers are in every bank
  EXPECT_EQ(Warnings(), 2);
}

TEST_F(BankFixture, StripBankBitsIsSilentInPass1) {
  Device("QV18AC");
  run.pass = 1;
  Track(0);
  EXPECT_EQ(StripBankBits(run, 0x145), 0x05);
  EXPECT_EQ(Warnings(), 0);
}

TEST_F(BankFixture, StripBankBitsOnTheLargeDevices) {
  Device("QV52BD");
  run.pass = 2;
  EXPECT_EQ(StripBankBits(run, 0x0A), 0x0A);
  EXPECT_EQ(StripBankBits(run, 0x25), 0x15);
  EXPECT_EQ(StripBankBits(run, 0x1F0), 0x10);
  EXPECT_EQ(Warnings(), 0);
  EXPECT_EQ(StripBankBits(run, 0x205), 0x15);  // 512 or more
  EXPECT_EQ(Warnings(), 1);
  Track(2);
  EXPECT_EQ(StripBankBits(run, 0x25), 0x15);  // 0x25 is in bank 2
  EXPECT_EQ(Warnings(), 1);
  EXPECT_EQ(StripBankBits(run, 0x35), 0x15);  // bank 3
  EXPECT_EQ(Warnings(), 2);
}

TEST_F(BankFixture, BitFields) {
  Device("QV18AC");
  run.pass = 2;
  EXPECT_EQ(BitField(run, 0x05, 2), 0x45);  // RA.2
  EXPECT_EQ(BitField(run, 0x03, 0), 0x03);  // C
  EXPECT_EQ(BitField(run, 0x27, 7), 0xE7);
  EXPECT_EQ(Warnings(), 0);
  EXPECT_EQ(BitField(run, 0x105, 1), 0x25);
  EXPECT_EQ(Warnings(), 1);

  Device("QV48BD");
  EXPECT_EQ(BitField(run, 0x08, 3), 0x68);   // below 16: as on the small devices
  EXPECT_EQ(BitField(run, 0x25, 3), 0x75);   // bank bit 4 set
  EXPECT_EQ(BitField(run, 0x25, 9), 0x135);  // a wide bit number keeps its high part
  EXPECT_EQ(BitField(run, 0x30, 31), 0x3F0);
}

TEST(Pages, PageOf) {
  EXPECT_EQ(PageOf(0x000), 0);
  EXPECT_EQ(PageOf(0x1FF), 0);
  EXPECT_EQ(PageOf(0x200), 1);
  EXPECT_EQ(PageOf(0x3FF), 1);
  EXPECT_EQ(PageOf(0xE00), 7);
  EXPECT_EQ(PageOf(0x1000), 0);
}

TEST_F(BankFixture, MakePageWord) {
  run.instruction.size = 1;
  run.tracking.page = 0;
  run.tracking.page_countdown = 3;
  EXPECT_EQ(MakePageWord(run, false, 0x650), -1);
  EXPECT_EQ(run.instruction.size, 1);
  EXPECT_EQ(run.tracking.page_countdown, 3);
  EXPECT_EQ(MakePageWord(run, true, 0x650), 0x013);
  EXPECT_EQ(run.instruction.size, 2);
  EXPECT_FALSE(run.tracking.PageActive());
}

}  // namespace
}  // namespace tarn
