// The register window's logic: names, bank columns and cell styles for each device size
// without a chip; edits, bit toggles, flags, the breakpoint and the PC end to end against the
// simulated key.

#include "build_debug/debug/register_unit.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/build_debug/debug/chip_session.h"

namespace build_debug {
namespace {

const RegisterLayout k18Pin{false, 2, 1};
const RegisterLayout k28Pin{false, 3, 4};
const RegisterLayout kEightBanks{false, 3, 8};
const RegisterLayout k4K{true, 5, 0};

TEST(RegisterLayoutTest, GlobalNamesFollowTheDeviceCode) {
  struct Case {
    const RegisterLayout* layout;
    int reg;
    bool rtw;
    const char* name;
  };
  const Case cases[] = {
      {&k18Pin, 0, false, "IND"}, {&k18Pin, 1, false, " RTCC"},  {&k18Pin, 1, true, " WREG"},
      {&k18Pin, 2, false, "PC"},  {&k18Pin, 3, false, "STATUS"}, {&k18Pin, 4, false, "FSR"},
      {&k18Pin, 6, false, "RB"},  {&k18Pin, 7, false, "07"},     {&k28Pin, 7, false, "RC"},
      {&k28Pin, 8, false, "08"},  {&k4K, 9, false, "RE"},        {&k4K, 10, false, "0A"},
      {&k4K, 15, false, "0F"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.layout->GlobalName(c.reg, c.rtw), c.name) << c.reg;
}

TEST(RegisterLayoutTest, BankColumnsAndTheFsrHeader) {
  EXPECT_EQ(k18Pin.BankHeaders(), (std::vector<std::string>{"Fx"}));
  EXPECT_EQ(k28Pin.BankHeaders(), (std::vector<std::string>{"9x", "Bx", "Dx", "Fx"}));
  EXPECT_EQ(kEightBanks.BankHeaders(),
            (std::vector<std::string>{"1x", "3x", "5x", "7x", "9x", "Bx", "Dx", "Fx"}));
  const auto headers_4k = k4K.BankHeaders();
  ASSERT_EQ(headers_4k.size(), 15u);
  EXPECT_EQ(headers_4k.front(), "1x");
  EXPECT_EQ(headers_4k.back(), "Fx");
  EXPECT_EQ(k28Pin.BankRegister(1, 0xA), 0xBA);
  EXPECT_EQ(k4K.BankRegister(1, 0xA), 0x2A);
  EXPECT_EQ(k28Pin.FsrBankHeader(0xBC), "x 5 ");
  EXPECT_EQ(k4K.FsrBankHeader(0xBC), "x B ");
  // Globals, then the banks column by column, then M and W.
  const auto order = k28Pin.EditOrder();
  ASSERT_EQ(order.size(), 16u + 64u + 2u);
  EXPECT_EQ(order[16], 0x90);
  EXPECT_EQ(order[32], 0xB0);
  EXPECT_EQ(order[80], kSlotM);
  EXPECT_EQ(order[81], kSlotW);
}

TEST(RegisterLayoutTest, CellStylesFromTheSnapshotAndFsr) {
  struct Case {
    const char* name;
    const RegisterLayout* layout;
    std::int32_t fsr;
    int slot;
    bool changed;
    int style;
  };
  const Case cases[] = {
      {"2K: the register FSR points to", &k28Pin, 0x9C, 0x9C, false, 4},
      {"2K: the same bank", &k28Pin, 0x9C, 0x91, false, 0},
      {"2K: another bank", &k28Pin, 0x9C, 0xB1, false, 2},
      {"2K: another bank, changed", &k28Pin, 0x9C, 0xB1, true, 3},
      {"2K: FSR bit 4 clear points to a global", &k28Pin, 0x85, 0x05, false, 4},
      {"2K: a global is in every bank", &k28Pin, 0xBC, 0x07, true, 1},
      {"2K: the target changed", &k18Pin, 0xF3, 0xF3, true, 5},
      {"4K: the register FSR points to", &k4K, 0x3A, 0x3A, false, 4},
      {"4K: the same high nibble", &k4K, 0x3A, 0x31, false, 0},
      {"4K: another high nibble", &k4K, 0x3A, 0x41, true, 3},
      {"4K: FSR on a global", &k4K, 0x05, 0x05, false, 4},
      {"4K: FSR on a global, a bank outside it", &k4K, 0x05, 0x15, false, 2},
      {"W changed", &k4K, 0x3A, kSlotW, true, 1},
      {"M unchanged", &k28Pin, 0x9C, kSlotM, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DebugState current;
    current.Registers[kRegFsr] = c.fsr;
    DebugState live = current;
    if (c.changed) live.Slot(c.slot) = 0x42;
    EXPECT_EQ(ValueStyle(*c.layout, live, current, c.slot), c.style);
  }
}

TEST(RegisterLayoutTest, BitRowsMarkTheBitsThatChanged) {
  DebugState before;
  DebugState live;
  before.Registers[kRegStatus] = 0x18;
  live.Registers[kRegStatus] = 0x81;
  const auto row = BitRow(live, before, kRegStatus);
  ASSERT_EQ(row.size(), 8u);
  const bool set[8] = {true, false, false, false, false, false, false, true};
  const bool changed[8] = {true, false, false, true, true, false, false, true};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(row[static_cast<std::size_t>(i)].set, set[i]) << "bit " << 7 - i;
    EXPECT_EQ(row[static_cast<std::size_t>(i)].changed, changed[i]) << "bit " << 7 - i;
  }
  EXPECT_EQ(BitRowSlots(), (std::vector<int>{0, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, kSlotW}));
}

TEST(RegisterLayoutTest, TheProgramPanelMarksTheBreakAndTheNextRunLine) {
  auto image = std::make_unique<ObjectImage>();
  image->WorkingImage[0x100] = UsedWord(0x000);
  image->WorkingImage[0x101] = UsedWord(0xA05);
  DebugState live;
  live.PanelPosition = 0x100;
  live.PC = 0x100;
  live.BreakAddress = 0x103;
  auto lines = ProgramPanel(*image, live, 2048);
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(kPanelLines));
  EXPECT_EQ(lines[0].text.substr(0, 9), "100- 000 ");
  EXPECT_EQ(lines[0].mark, PanelMark::Run);
  EXPECT_EQ(lines[1].text.substr(0, 9), "101- A05 ");
  EXPECT_EQ(lines[2].text, "102- FFF (unused)");  // an erased word
  EXPECT_EQ(lines[3].mark, PanelMark::Break);
  live.PD = 1;  // stopped in sleep: the next line runs next
  lines = ProgramPanel(*image, live, 2048);
  EXPECT_EQ(lines[0].mark, PanelMark::Plain);
  EXPECT_EQ(lines[1].mark, PanelMark::Run);
  live.PanelPosition = 2040;  // the panel stays inside the memory
  lines = ProgramPanel(*image, live, 2048);
  EXPECT_EQ(lines.front().address, 2048 - kPanelLines);
  EXPECT_EQ(lines.back().address, 2047);
}

// ---------------------------------------------------------------------------------------------
// Against the chip

class RegisterControlTest : public ChipSession {
 protected:
  RegisterControl control_{debug_};
};

TEST_F(RegisterControlTest, TypedNibblesWriteTheRegisterAndMoveOn) {
  keysim::MonitorRegisters r;
  r.ram.assign(64, 0x11);
  auto& chip = Open(false, kFusexFourBanks, r);
  const auto order = control_.Layout(3, 4).EditOrder();
  ASSERT_FALSE(control_.StartEdit(0x9F));
  control_.TypeDigit(0xA, order);
  control_.TypeDigit(0x5, order);
  EXPECT_EQ(chip.Monitor().ram[15], 0xA5);
  EXPECT_EQ(debug_.Live().Registers[0x9F], 0xA5);
  EXPECT_EQ(control_.Editing().slot, 0xB0);  // the next one on the screen
  // One digit and Esc: nothing written.
  control_.TypeDigit(0x7, order);
  control_.Cancel();
  EXPECT_EQ(chip.Monitor().ram[16], 0x11);
  EXPECT_FALSE(control_.Editing().active);
  // Enter writes the value as it stands.
  const auto commands_before = chip.DebugCommands().size();
  ASSERT_FALSE(control_.StartEdit(0x0C));
  control_.Commit();
  const auto commands = chip.DebugCommands();
  ASSERT_GT(commands.size(), commands_before);
  EXPECT_EQ(commands[commands_before], (std::vector<std::uint8_t>{4, 1, 0x0C, 2, 0x00}));
}

TEST_F(RegisterControlTest, MovesWrapAndCommitWhatWasTyped) {
  keysim::MonitorRegisters r;
  r.ram.assign(16, 0);
  auto& chip = Open(false, kFusexOneBank, r);
  const auto order = control_.Layout(2, 1).EditOrder();
  ASSERT_FALSE(control_.StartEdit(kSlotW));
  control_.Move(1, order);  // past W: back to the first global
  EXPECT_EQ(control_.Editing().slot, 0);
  control_.Move(-1, order);
  EXPECT_EQ(control_.Editing().slot, kSlotW);
  ASSERT_FALSE(control_.StartEdit(0xF2));
  control_.TypeDigit(0x3, order);
  control_.Move(-16, order);  // the column to the left: the globals
  EXPECT_EQ(control_.Editing().slot, 0x02);
  EXPECT_EQ(chip.Monitor().ram[2], 0x30);
}

TEST_F(RegisterControlTest, BitsFlagsBreakpointAndPcReachTheChip) {
  keysim::MonitorRegisters r;
  r.pc = 0x10;
  r.status = 0x01;
  r.ports[6 - 5] = 0x0F;
  auto& chip = Open(false, kFusexFourBanks, r);
  image_->WorkingImage[0x40] = UsedWord(0xA05);
  image_->WorkingImage[0x41] = UsedWord(0xA06);

  control_.ToggleBit(6, 7);
  EXPECT_EQ(chip.Monitor().ports[6 - 5], 0x8F);
  control_.ToggleBit(kRegStatus, 0);
  EXPECT_EQ(chip.Monitor().status & 0x01, 0);
  control_.ToggleTO();
  EXPECT_EQ(chip.Monitor().status & 0x10, 0x10);
  control_.TogglePD();
  EXPECT_EQ(chip.Monitor().status & 0x08, 0x08);

  control_.PanelClick(0x40);
  EXPECT_EQ(debug_.Live().BreakAddress, 0x40);
  debug_.UpdateDebugData();
  EXPECT_EQ(chip.Monitor().break_address, 0x40);
  debug_.TakeDebugSnapshot();
  control_.PanelClick(0x41);  // the click of a double click
  control_.PanelDoubleClick(0x41);
  EXPECT_EQ(chip.Monitor().pc, 0x41);
  EXPECT_EQ(chip.Monitor().break_address, 0x40);
}

TEST_F(RegisterControlTest, NothingChangesUnlessTheChipIsStoppedWithFreshData) {
  keysim::MonitorRegisters r;
  r.ports[7 - 5] = 0x01;
  auto& chip = Open(false, kFusexFourBanks, r);
  debug_.SetFreshData(false);
  control_.ToggleBit(7, 0);
  control_.ToggleTO();
  EXPECT_FALSE(control_.StartEdit(7));
  EXPECT_FALSE(control_.Editing().active);
  EXPECT_EQ(chip.Monitor().ports[7 - 5], 0x01);
  EXPECT_EQ(debug_.Live().TO, 0);
}

TEST_F(RegisterControlTest, MIsReadOnlyOnThe4KParts) {
  keysim::MonitorRegisters r;
  r.m = 0x03;
  auto& chip = Open(true, kFusex4K, r);
  const auto order = control_.Layout(5, 0).EditOrder();
  EXPECT_TRUE(control_.StartEdit(kSlotM));  // the hint is shown
  control_.TypeDigit(0x9, order);
  control_.EndEdit();
  EXPECT_EQ(chip.Monitor().m, 0x03);
}

}  // namespace
}  // namespace build_debug
