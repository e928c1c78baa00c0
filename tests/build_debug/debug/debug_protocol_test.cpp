// The debug protocol end to end: the real link on a pseudo-terminal, the simulated key, and
// behind it a chip that plays the debug monitor. Expected bytes are worked out from the
// packet and report layouts, not taken from the code.

#include "build_debug/debug/debug_protocol.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "build_debug/image/debug_monitor.h"
#include "services/silent_abort.h"
#include "tests/build_debug/debug/debug_fixture.h"
#include "tests/build_debug/key/key_fixture.h"
#include "tests/keysim/chip_model.h"

namespace build_debug {
namespace {

using keysim::ChipConfig;
using keysim::ChipModel;
using keysim::MonitorRegisters;
using keysim::RunScript;
using Bytes = std::vector<std::uint8_t>;

// The debugger window and one view, as the protocol reaches them.
class RecordingWindow : public DebugWindowHooks, public DebugView {
 public:
  explicit RecordingWindow(const DebugProtocol& debug) : debug_(debug) {}
  void HideDebugWindow() override { ++hides; }
  void UpdateButtons() override { ++button_updates; }
  bool IsShowing() const override { return showing; }
  void RedrawDebugState(bool first_refresh) override {
    redraws.push_back(first_refresh);
    seen_current.push_back(debug_.Current());
  }
  void RedrawBreakpoint() override { ++break_redraws; }

  bool showing = true;
  int hides = 0;
  int button_updates = 0;
  int break_redraws = 0;
  std::vector<bool> redraws;
  std::vector<DebugState> seen_current;

 private:
  const DebugProtocol& debug_;
};

// One chip size: its FUSEX word (bits 0-1 give the size of a 2,048-word part) and what the
// report's RAM bytes fill.
struct ChipSize {
  const char* name;
  bool device4k;
  std::uint16_t fusex;
  int words;
  std::vector<int> bank_starts;  // registers that the RAM's banks of 16 bytes land on
};

ChipConfig Config(bool device4k, std::uint16_t fusex) {
  ChipConfig config;
  config.device4k = device4k;
  config.fusex = fusex;
  return config;
}

const ChipSize kOneBank{"one bank", false, 0x0BFC, 512, {0xF0}};
const ChipSize kOneBank1K{"1,024 words", false, 0x0BFD, 1024, {0xF0}};
const ChipSize kFourBanks{"four banks", false, 0x0BFE, 2048, {0x90, 0xB0, 0xD0, 0xF0}};
const ChipSize kEightBanks{
    "eight banks", false, 0x0BFF, 2048, {0x10, 0x30, 0x50, 0x70, 0x90, 0xB0, 0xD0, 0xF0}};
const ChipSize k4K{"4,096 words", true, 0x0FFF, 4096, {}};  // registers 16..255 in order

class DebugProtocolTest : public KeyFixture {
 protected:
  DebugProtocolTest() {
    link_.ComInit();
    debug_.SetDebugWindow(&window_);
    debug_.AddView(window_);
  }
  ~DebugProtocolTest() override { keys_.clear(); }

  // A chip of the size, an image of the same size, and the key open.
  ChipModel& Open(const ChipSize& size) {
    keys_.clear();
    chip_ = std::make_unique<ChipModel>(Config(size.device4k, size.fusex));
    chip_->Install(StartKey());
    image_->Device4K = size.device4k ? 1 : 0;
    image_->WorkingImage[kFusexIndex] = size.fusex;
    key_.UpdateMemorySize();
    EXPECT_TRUE(link_.OpenKey());
    return *chip_;
  }

  // The plain bytes the key took since the handshake, up to a poll that the test makes so
  // that the key has handled whatever went before (a packet has no reply).
  Bytes Sent() {
    std::ignore = debug_.Poll();
    Bytes bytes = keys_.back()->CommandBytes();
    bytes.pop_back();  // the poll
    return bytes;
  }

  // Polls until the chip stops (at most `polls` times), then reads it.
  bool StopAndRead(int polls = 20) {
    for (int i = 0; i < polls; ++i)
      if (debug_.Poll() == DebugProtocol::PollResult::Stopped) return debug_.QVU_GetDebugData();
    return false;
  }

  // Each read of the clock is a tenth of a second later.
  std::chrono::steady_clock::time_point Tick() { return now_ += std::chrono::milliseconds(100); }

  std::chrono::steady_clock::time_point now_{};
  std::unique_ptr<ObjectImage> image_ = std::make_unique<ObjectImage>();
  KeyNotices notes_;
  QvKeyUnit key_{link_, *image_, messages_, notes_};
  DebugProtocol debug_{link_, key_, *image_, messages_, [this] { return Tick(); }};
  RecordingWindow window_{debug_};
  std::unique_ptr<ChipModel> chip_;
};

// ---------------------------------------------------------------------------------------------
// The packet

struct PacketCase {
  const char* name;
  const ChipSize* size;
  std::int32_t w, pc, status, fsr, r13, r14, r15, m, break_address;
  std::uint8_t to, pd;
  std::uint16_t action;
  Bytes expected;  // 7, 28, then (tag, value) pairs
};

TEST_F(DebugProtocolTest, PacketsCarryTheStateAndTheAction) {
  const PacketCase cases[] = {
      {"step",
       &kFourBanks,
       0x12,
       0x345,
       0x5F,
       0x9C,
       0xD3,
       0x0E,
       0x0F,
       0x0A,
       0x123,
       1,
       0,
       kActionStep,
       // STATUS 0x5F and 0xE7 = 0x47, TO in bit 4: 0x57.
       {7,    28, 4,    0x12, 0,    0x03, 8,    0x45, 16,   0x57, 32,   0x9C, 0,    0x0E, 0,
        0x0F, 0,  0xEB, 0,    0xF7, 0,    0xF7, 0,    0x01, 64,   0x23, 0,    0x0A, 128,  0xD3}},
      {"refresh with TO and PD",
       &kFourBanks,
       0xFF,
       0x000,
       0x00,
       0x00,
       0,
       0,
       0,
       0,
       0x7FE,
       1,
       1,
       kActionRefresh,
       {7,    28, 4,    0xFF, 0,    0x00, 8,    0x00, 16,   0x18, 32,   0x00, 0,    0x00, 0,
        0x00, 0,  0xF7, 0,    0xF7, 0,    0xF7, 0,    0x07, 64,   0xFE, 0,    0x00, 128,  0x00}},
      // At N - 1 the low PC byte goes two lower and PD as 0.
      {"reset vector, reset",
       &kFourBanks,
       0x01,
       0x7FF,
       0xE0,
       0x91,
       0,
       0,
       0,
       0x03,
       AddressNone,
       1,
       1,
       kActionReset,
       {7,    28, 4,    0x01, 0,    0x07, 8,    0xFD, 16,   0xF0, 32,   0x91, 0,    0x00, 0,
        0x00, 0,  0xEF, 0,    0xEF, 0,    0xF7, 0,    0x10, 64,   0x00, 0,    0x03, 128,  0x00}},
      {"4,096 words at the reset vector, run free",
       &k4K,
       0x00,
       0xFFF,
       0x1F,
       0x2E,
       0x13,
       0x14,
       0x15,
       0x1B,
       0xC00,
       0,
       1,
       kActionRunFree,
       {7,    28, 4,    0x00, 0,    0x0F, 8,    0xFD, 16,   0x07, 32,   0x2E, 0,    0x14, 0,
        0x15, 0,  0xEA, 0,    0xEA, 0,    0xF7, 0,    0x0C, 64,   0x00, 0,    0x1B, 128,  0x13}},
      {"512 words at the reset vector, run to break",
       &kOneBank,
       0x80,
       0x1FF,
       0x07,
       0xF0,
       0,
       0,
       0,
       0x0F,
       0x010,
       0,
       0,
       kActionRunToBreak,
       {7,    28, 4,    0x80, 0,    0x01, 8,    0xFD, 16,   0x07, 32,   0xF0, 0,    0x00, 0,
        0x00, 0,  0xE9, 0,    0xF7, 0,    0xF7, 0,    0x00, 64,   0x10, 0,    0x0F, 128,  0x00}},
      {"4,096 words below the reset vector",
       &k4K,
       0x00,
       0xFFE,
       0x00,
       0x00,
       0,
       0,
       0,
       0,
       AddressNone,
       0,
       1,
       kActionStep,
       {7,    28, 4,    0x00, 0,    0x0F, 8,    0xFE, 16,   0x08, 32,   0x00, 0,    0x00, 0,
        0x00, 0,  0xEB, 0,    0xF7, 0,    0xF7, 0,    0x10, 64,   0x00, 0,    0x00, 128,  0x00}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open(*c.size);
    auto& live = debug_.Live();
    live.W = c.w;
    live.PC = c.pc;
    live.Registers[kRegStatus] = c.status;
    live.Registers[kRegFsr] = c.fsr;
    live.Registers[13] = c.r13;
    live.Registers[14] = c.r14;
    live.Registers[15] = c.r15;
    live.M = c.m;
    live.BreakAddress = c.break_address;
    live.TO = c.to;
    live.PD = c.pd;
    debug_.SetFreshData(true);
    EXPECT_TRUE(debug_.SendDebugResume(c.action));
    EXPECT_EQ(Sent(), c.expected);
    EXPECT_EQ(debug_.LastAction(), c.action);
    EXPECT_FALSE(debug_.FreshData());
    link_.CloseKey();
  }
}

// ---------------------------------------------------------------------------------------------
// The report

// A chip whose every register differs, with unused report bytes that must stay unused.
MonitorRegisters Distinct(const ChipSize& size) {
  MonitorRegisters r;
  r.pc = 0xF123;  // the bits above the program size are dropped
  r.m = 0x7A;     // M keeps 4 bits, 5 on the 4,096-word parts
  r.w = 0x77;
  r.status = 0xB4;  // page 5, TO set, PD clear, Z
  r.wake = 0x48;    // only bits 3-4 count: PD
  r.rtcc = 0x31;
  for (int i = 0; i < 11; ++i)
    r.ports[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0x50 + i);
  int ram = size.device4k ? 240 : static_cast<int>(size.bank_starts.size()) * 16;
  for (int j = 0; j < ram; ++j) r.ram.push_back(static_cast<std::uint8_t>(j * 7 + 3));
  return r;
}

struct ReportCase {
  const ChipSize* size;
  std::uint8_t fsr;       // as the chip has it
  std::int32_t fsr_read;  // with the bank bits the device lacks set
  std::int32_t indirect;  // register 0: what FSR points at
  int count;              // the count byte of the first read
};

TEST_F(DebugProtocolTest, ReportsLandAtTheirRegistersForEverySize) {
  const ReportCase cases[] = {
      // One bank: bits 5-7 read as 1; register 0xF3 is RAM byte 3 (3 x 7 + 3).
      {&kOneBank, 0x13, 0xF3, 24, 40},
      {&kOneBank1K, 0x13, 0xF3, 24, 40},
      // Four banks: bit 7 reads as 1; 0xB5 is the second bank's byte 5 (21 x 7 + 3).
      {&kFourBanks, 0x35, 0xB5, 150, 88},
      // Eight banks: bit 4 clear, so FSR points at global register 12 (0x57).
      {&kEightBanks, 0x0C, 0x0C, 0x57, 152},
      // 4,096 words: RAM byte 30 is register 0x2E (30 x 7 + 3 = 213).
      {&k4K, 0x2E, 0x2E, 213, 24},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size->name);
    auto& chip = Open(*c.size);
    auto registers = Distinct(*c.size);
    registers.fsr = c.fsr;
    chip.SetMonitor(registers);
    ASSERT_TRUE(debug_.QVU_GetDebugData());
    EXPECT_TRUE(debug_.FreshData());
    if (c.size->device4k) {
      EXPECT_EQ(chip.DataReads(), (std::vector<int>{24, 240}));
    } else {
      EXPECT_EQ(chip.DataReads(), std::vector<int>{c.count});
    }

    const auto& live = debug_.Live();
    const int n = c.size->words;
    EXPECT_EQ(live.M, c.size->device4k ? 0x1A : 0x0A);
    EXPECT_EQ(live.RTW, 0);
    EXPECT_EQ(live.W, 0x77);
    EXPECT_EQ(live.PC, 0xF123 & (n - 1));
    EXPECT_EQ(live.Registers[kRegStatus], 0xAC);  // 0xB4 and 0xE7, PD from the second copy
    EXPECT_EQ(live.TO, 1);
    EXPECT_EQ(live.PD, 0);
    EXPECT_EQ(live.Registers[kRegPcl], ((0xF123 & (n - 1)) + 1) & 0xFF);
    EXPECT_EQ(live.Registers[kRegRtcc], 0x31);
    EXPECT_EQ(live.Registers[kRegFsr], c.fsr_read);
    EXPECT_EQ(live.Registers[kRegIndirect], c.indirect);
    for (int reg = 5; reg <= 15; ++reg)
      EXPECT_EQ(live.Registers[static_cast<std::size_t>(reg)], 0x50 + reg - 5) << reg;
    if (c.size->device4k) {
      for (int reg = 16; reg < 256; ++reg)
        ASSERT_EQ(live.Registers[static_cast<std::size_t>(reg)], ((reg - 16) * 7 + 3) & 0xFF)
            << reg;
    } else {
      for (std::size_t bank = 0; bank < c.size->bank_starts.size(); ++bank)
        for (int i = 0; i < 16; ++i)
          ASSERT_EQ(live.Registers[static_cast<std::size_t>(c.size->bank_starts[bank] + i)],
                    static_cast<int>((bank * 16 + static_cast<std::size_t>(i)) * 7 + 3) & 0xFF)
              << "bank " << bank << " byte " << i;
    }
    link_.CloseKey();
  }
}

struct StopCase {
  const char* name;
  std::uint16_t pc;
  bool rtw;
  std::int32_t pc_read, status_read;
  std::uint8_t to, pd;
  std::int32_t register1, pcl;
};

TEST_F(DebugProtocolTest, StopsAtTheResetVectorAndWithWAtRegisterOne) {
  const StopCase cases[] = {
      // STATUS loses its page bits, TO and PD read 0; the register keeps the second copy's bits.
      {"at N - 1", 0x7FF, false, 0x7FF, 0x18, 0, 0, 0x31, 0x00},
      {"at N - 3, shown as N - 1", 0x7FD, false, 0x7FF, 0xF8, 1, 1, 0x31, 0x00},
      {"W at register 1", 0x100, true, 0x100, 0xF8, 1, 1, 0x42, 0x01},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto& chip = Open(kFourBanks);
    MonitorRegisters r;
    r.pc = c.pc;
    r.rtw = c.rtw;
    r.w = 0x42;
    r.rtcc = 0x31;
    r.status = 0xF8;
    r.wake = 0x18;
    chip.SetMonitor(r);
    ASSERT_TRUE(debug_.QVU_GetDebugData());
    const auto& live = debug_.Live();
    EXPECT_EQ(live.PC, c.pc_read);
    EXPECT_EQ(live.Registers[kRegStatus], c.status_read);
    EXPECT_EQ(live.TO, c.to);
    EXPECT_EQ(live.PD, c.pd);
    EXPECT_EQ(live.Registers[kRegRtcc], c.register1);
    EXPECT_EQ(live.Registers[kRegPcl], c.pcl);
    link_.CloseKey();
  }
}

// ---------------------------------------------------------------------------------------------
// Register writes

struct WriteCase {
  const char* name;
  const ChipSize* size;
  bool rtw;
  std::uint8_t fsr;  // as the chip has it
  int reg;
  int slot;       // what the value lands in
  Bytes sent;     // the command, when the register goes out by itself
  int ram_index;  // the chip's RAM byte that changes, or -1
  int port;       // the chip's register 5..15 that changes, or -1
};

TEST_F(DebugProtocolTest, RegisterWritesGoOutByCommandOrWithTheNextPacket) {
  const WriteCase cases[] = {
      {"indirect into RAM", &kFourBanks, false, 0x35, 0, 0xB5, {7, 4, 1, 0xB5, 2, 0x66}, 21, -1},
      {"indirect to a global", &kFourBanks, false, 0x07, 0, 0x07, {7, 4, 1, 0x07, 2, 0x66}, -1, 7},
      {"a global seen from a bank",
       &kFourBanks,
       false,
       0,
       0x27,
       0x07,
       {7, 4, 1, 0x07, 2, 0x66},
       -1,
       7},
      {"RAM", &kFourBanks, false, 0, 0xD3, 0xD3, {7, 4, 1, 0xD3, 2, 0x66}, 0x23, -1},
      {"RAM of one bank", &kOneBank, false, 0, 0xFA, 0xFA, {7, 4, 1, 0xFA, 2, 0x66}, 10, -1},
      {"RTCC", &kFourBanks, false, 0, 1, 1, {7, 4, 1, 0x01, 2, 0x66}, -1, -1},
      {"a port", &kEightBanks, false, 0, 12, 12, {7, 4, 1, 0x0C, 2, 0x66}, -1, 12},
      {"4,096 words keep the address",
       &k4K,
       false,
       0,
       0x27,
       0x27,
       {7, 4, 1, 0x27, 2, 0x66},
       0x17,
       -1},
      // These wait for the next packet.
      {"W at register 1", &kFourBanks, true, 0, 1, kSlotW, {}, -1, -1},
      {"STATUS", &kFourBanks, false, 0, 3, 3, {}, -1, -1},
      {"FSR", &kFourBanks, false, 0, 4, 4, {}, -1, -1},
      {"register 13", &kFourBanks, false, 0, 13, 13, {}, -1, -1},
      {"register 15", &kFourBanks, false, 0, 15, 15, {}, -1, -1},
      {"M", &kFourBanks, false, 0, kSlotM, kSlotM, {}, -1, -1},
      {"W", &kFourBanks, false, 0, kSlotW, kSlotW, {}, -1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto& chip = Open(*c.size);
    MonitorRegisters r;
    r.rtw = c.rtw;
    r.fsr = c.fsr;
    r.pc = 0x10;
    chip.SetMonitor(r);
    ASSERT_TRUE(debug_.QVU_GetDebugData());
    Bytes before = keys_.back()->CommandBytes();
    EXPECT_EQ(debug_.WriteRegister(c.reg, 0x66), !c.sent.empty());
    EXPECT_EQ(debug_.Live().Slot(c.slot), 0x66);
    Bytes sent = Sent();
    EXPECT_EQ(Bytes(sent.begin() + static_cast<long>(before.size()), sent.end()), c.sent);
    auto after = chip.Monitor();
    if (c.ram_index >= 0) {
      ASSERT_GT(after.ram.size(), static_cast<std::size_t>(c.ram_index));
      EXPECT_EQ(after.ram[static_cast<std::size_t>(c.ram_index)], 0x66);
    }
    if (c.port >= 0) {
      EXPECT_EQ(after.ports[static_cast<std::size_t>(c.port - 5)], 0x66);
    }
    if (c.reg == 1 && !c.rtw) {
      EXPECT_EQ(after.rtcc, 0x66);
    }
    link_.CloseKey();
  }
}

TEST_F(DebugProtocolTest, RegistersThatWaitGoWithTheNextPacket) {
  auto& chip = Open(kFourBanks);
  MonitorRegisters r;
  r.rtw = true;
  r.pc = 0x10;
  chip.SetMonitor(r);
  ASSERT_TRUE(debug_.QVU_GetDebugData());
  EXPECT_FALSE(debug_.WriteRegister(1, 0x21));  // W, through RTW
  EXPECT_FALSE(debug_.WriteRegister(3, 0x03));
  EXPECT_FALSE(debug_.WriteRegister(4, 0x34));
  EXPECT_FALSE(debug_.WriteRegister(13, 0x0D));
  EXPECT_FALSE(debug_.WriteRegister(14, 0x0E));
  EXPECT_FALSE(debug_.WriteRegister(15, 0x0F));
  EXPECT_FALSE(debug_.WriteRegister(kSlotM, 0x05));
  debug_.UpdateDebugData();
  auto after = chip.Monitor();
  EXPECT_EQ(after.w, 0x21);
  EXPECT_EQ(after.status, 0x03);
  EXPECT_EQ(after.fsr, 0x34);
  EXPECT_EQ(after.ports[13 - 5], 0x0D);
  EXPECT_EQ(after.ports[14 - 5], 0x0E);
  EXPECT_EQ(after.ports[15 - 5], 0x0F);
  EXPECT_EQ(after.m, 0x05);
  EXPECT_EQ(debug_.Live().Registers[kRegRtcc], 0x21);  // read back as W
}

TEST_F(DebugProtocolTest, WritingPclMovesThePcWithinThePageOfStatus) {
  struct Case {
    const ChipSize* size;
    std::int32_t status;
    std::uint8_t value;
    std::int32_t pc;
  };
  const Case cases[] = {
      {&kFourBanks, 0x40, 0x11, 0x410},  // page 2 + 0x11 - 1
      {&kFourBanks, 0xE0, 0x00, 0x6FF},  // bit 7 is beyond 2,048 words
      {&kOneBank, 0x60, 0x35, 0x034},    // no pages on 512 words
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size->name);
    Open(*c.size);
    debug_.Live().Registers[kRegStatus] = c.status;
    debug_.Live().PD = 1;
    EXPECT_FALSE(debug_.WriteRegister(kRegPcl, c.value));
    EXPECT_EQ(debug_.Live().PC, c.pc);
    EXPECT_EQ(debug_.Live().PD, 0);
    link_.CloseKey();
  }
}

// ---------------------------------------------------------------------------------------------
// Breakpoint and program counter

TEST_F(DebugProtocolTest, ToggleTwiceLeavesNoBreakpointAndSkipsUnusedWords) {
  Open(kFourBanks);
  image_->WorkingImage[0x40] = UsedWord(0xC12);
  debug_.ToggleBreakpoint(0x40);
  EXPECT_EQ(debug_.Live().BreakAddress, 0x40);
  debug_.ToggleBreakpoint(0x40);
  EXPECT_EQ(debug_.Live().BreakAddress, AddressNone);
  EXPECT_EQ(window_.break_redraws, 2);
  EXPECT_EQ(window_.button_updates, 2);
  for (int address : {-1, 0x41, 5000}) {
    debug_.ToggleBreakpoint(address);
    EXPECT_EQ(debug_.Live().BreakAddress, AddressNone) << address;
  }
  EXPECT_EQ(window_.button_updates, 2);
}

TEST_F(DebugProtocolTest, AClickThenADoubleClickSetsThePcAndKeepsTheBreakpoint) {
  auto& chip = Open(kFourBanks);
  image_->WorkingImage[0x123] = UsedWord(0xC12);
  image_->WorkingImage[0x5A3] = UsedWord(0xC13);
  debug_.ToggleBreakpoint(0x123);
  debug_.TakeDebugSnapshot();
  EXPECT_EQ(debug_.Current().BreakAddress, 0x123);
  debug_.ToggleBreakpoint(0x5A3);  // the click of the double click
  debug_.SetProgramCounter(0x5A3);
  EXPECT_EQ(debug_.Live().BreakAddress, 0x123);
  EXPECT_EQ(debug_.Live().PC, 0x5A3);  // read back from the chip
  EXPECT_EQ(chip.Monitor().pc, 0x5A3);
  EXPECT_EQ(chip.Monitor().break_address, 0x123);
}

TEST_F(DebugProtocolTest, SettingThePcWritesThePageBits) {
  struct Case {
    const ChipSize* size;
    int address;
    std::int32_t status_before;
    std::uint8_t status_sent;  // with PD 0 and TO 0
  };
  const Case cases[] = {
      {&kFourBanks, 0x5A3, 0xE5, 0xC5},  // page 2 into bits 5-6; bit 7 kept
      {&kFourBanks, 0x0A3, 0x65, 0x05},
      {&kOneBank1K, 0x3A3, 0xC5, 0xE5},  // 1,024 words: bit 5 alone
      {&kOneBank, 0x1A3, 0xE5, 0xE5},    // 512 words: no page bits
      {&k4K, 0xDA3, 0x05, 0xC5},         // page 6 into bits 5-7
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size->name);
    Open(*c.size);
    image_->WorkingImage[static_cast<std::size_t>(c.address)] = UsedWord(0x000);
    debug_.Live().Registers[kRegStatus] = c.status_before;
    debug_.Live().TO = 0;
    debug_.Live().PD = 1;
    debug_.SetProgramCounter(c.address);
    auto commands = chip_->DebugCommands();
    ASSERT_FALSE(commands.empty());
    const Bytes& packet = commands.back();
    EXPECT_EQ(packet[0], 28);
    EXPECT_EQ(packet[6], static_cast<std::uint8_t>(c.address & 0xFF));  // PCL
    EXPECT_EQ(packet[8], c.status_sent);
    EXPECT_EQ(debug_.Live().PC, c.address);
    link_.CloseKey();
  }
}

// ---------------------------------------------------------------------------------------------
// Redraws and snapshots

TEST_F(DebugProtocolTest, SnapshotsMarkChangesFromTheSecondRefreshOn) {
  auto& chip = Open(kFourBanks);
  MonitorRegisters r;
  r.pc = 0x10;
  r.w = 1;
  chip.SetMonitor(r);
  debug_.SetFirstRefresh(true);
  ASSERT_TRUE(StopAndRead());
  debug_.RedrawDebugViews();
  ASSERT_EQ(window_.redraws, std::vector<bool>{true});
  EXPECT_EQ(window_.seen_current[0], debug_.Live());  // nothing marked
  EXPECT_EQ(debug_.Current(), debug_.Live());
  EXPECT_EQ(debug_.Previous(), debug_.Live());

  const DebugState first = debug_.Live();
  r.w = 2;
  chip.SetMonitor(r);
  ASSERT_TRUE(StopAndRead());
  debug_.RedrawDebugViews();
  ASSERT_EQ(window_.redraws, (std::vector<bool>{true, false}));
  EXPECT_EQ(window_.seen_current[1], first);  // W marked as changed
  EXPECT_EQ(debug_.Current().W, 2);
  EXPECT_EQ(debug_.Previous(), first);

  window_.showing = false;
  debug_.RedrawDebugViews();
  EXPECT_EQ(window_.redraws.size(), 2u);  // a hidden view is left alone
}

// ---------------------------------------------------------------------------------------------
// A session end to end

// A program that can be debugged: a few words at 0, a word at 0x40 for the breakpoint, and
// the reset jump JMP 0 in the last word.
void DebuggableProgram(ObjectImage& image) {
  ResetWordArray(image.WorkingImage, false);
  image.WorkingImage[kFusexIndex] = 0x0BFE;
  for (int i = 0; i < 8; ++i) image.WorkingImage[static_cast<std::size_t>(i)] = UsedWord(0xC00 + i);
  image.WorkingImage[0x40] = UsedWord(0x000);
  image.WorkingImage[2047] = UsedWord(0xA00);
  image.ClockHz = 4'000'000;
}

TEST_F(DebugProtocolTest, ASessionStepsRunsStopsAndResetsTheChip) {
  chip_ = std::make_unique<ChipModel>(Config(false, 0x0BFE));
  chip_->Install(StartKey());
  auto& chip = *chip_;
  DebuggableProgram(*image_);
  debug_.CheckDebugImage();
  ASSERT_TRUE(key_.StartDebugProgramQV(false));
  key_.QVU_Cleanup();
  ASSERT_TRUE(notes_.programmed);
  auto program = chip.Program();
  // Words 38 and 43 carry the delay for the clock; 134 and 135 follow below.
  for (int i = 0; i < kMonitorWords - 2; ++i) {
    if (i == 38 || i == 43) continue;
    ASSERT_EQ(program[static_cast<std::size_t>(2048 - 137 + i)],
              DebugMonitor[static_cast<std::size_t>(i)])
        << i;
  }
  EXPECT_EQ(program[2048 - 3], 0xA00);  // the program's reset jump, moved
  EXPECT_EQ(program[2047], 0xBFE);      // into the monitor through the free pair

  // The session starts: the chip is released at its reset vector.
  key_.UpdateMemorySize();
  ASSERT_TRUE(link_.OpenKey());
  ASSERT_TRUE(key_.ReleaseChip());
  debug_.Live().BreakAddress = image_->BreakAddress;
  debug_.SetFirstRefresh(true);

  auto expect_chip = [&](int pc) {
    auto r = chip.Monitor();
    const auto& live = debug_.Live();
    EXPECT_EQ(live.PC, pc);
    EXPECT_EQ(r.pc == 2045 ? 2047 : r.pc, pc);
    EXPECT_EQ(live.W, r.w);
    EXPECT_EQ(live.Registers[kRegFsr], r.fsr | 0x80);
    EXPECT_EQ(live.BreakAddress, r.break_address);
    EXPECT_TRUE(debug_.FreshData());
  };

  ASSERT_TRUE(StopAndRead());
  debug_.RedrawDebugViews();
  expect_chip(2047);
  EXPECT_EQ(window_.redraws, std::vector<bool>{true});

  // A step from the reset vector runs the program's reset jump (the chip resumes at N - 3).
  RunScript script;
  script.steps = {0};
  script.polls_to_break = 3;
  script.free_stop = 0x06;
  chip.SetRunScript(script);
  ASSERT_TRUE(debug_.SendDebugResume(kActionStep));
  ASSERT_TRUE(StopAndRead());
  expect_chip(0);
  ASSERT_TRUE(debug_.SendDebugResume(kActionStep));
  ASSERT_TRUE(StopAndRead());
  expect_chip(1);

  debug_.Live().W = 0x99;  // changed in a view, goes with the next packet
  debug_.ToggleBreakpoint(0x40);
  ASSERT_TRUE(debug_.SendDebugResume(kActionRunToBreak));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(debug_.Poll(), DebugProtocol::PollResult::Running) << i;
  ASSERT_EQ(debug_.Poll(), DebugProtocol::PollResult::Stopped);
  ASSERT_TRUE(debug_.QVU_GetDebugData());
  expect_chip(0x40);
  EXPECT_EQ(debug_.Live().W, 0x99);

  ASSERT_TRUE(debug_.SendDebugResume(kActionRunFree));
  EXPECT_EQ(debug_.Poll(), DebugProtocol::PollResult::Running);
  EXPECT_EQ(debug_.Poll(), DebugProtocol::PollResult::Running);
  debug_.UpdateDebugData();  // a refresh stops a free run
  expect_chip(0x06);

  ASSERT_TRUE(debug_.SendDebugResume(kActionReset));
  ASSERT_TRUE(StopAndRead());
  expect_chip(2047);
  EXPECT_EQ(debug_.Live().Registers[kRegStatus] & 0xE0, 0);
  EXPECT_EQ(debug_.Live().PD, 0);
  EXPECT_TRUE(boxes_.Boxes().empty());
  EXPECT_EQ(window_.hides, 0);
}

TEST_F(DebugProtocolTest, AChipThatNeverStopsGivesTheBoxAfterASecond) {
  auto& chip = Open(kFourBanks);
  RunScript script;
  script.never_stops = true;
  script.running_status = kStatusSleeping;
  chip.SetRunScript(script);
  debug_.UpdateDebugData();
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].text, "Chip connection failed.");
  EXPECT_EQ(boxes_.Boxes()[0].caption, "UpdateDebugData()");
  EXPECT_GE(now_.time_since_epoch(), std::chrono::milliseconds(1000));
  EXPECT_GT(chip.Polls(), 0);
  EXPECT_EQ(debug_.LastStatus(), kStatusSleeping);
  EXPECT_TRUE(window_.redraws.empty());
  EXPECT_EQ(window_.hides, 0);  // the session stays open
  EXPECT_TRUE(link_.IsLinkOpen());
}

TEST_F(DebugProtocolTest, ALinkFailureEndsTheSessionWithTheLinkError) {
  struct Case {
    const char* name;
    int read_cut;  // -1: the key is gone before the poll
    const char* text;
  };
  const Case cases[] = {
      {"during a read", 10, "Unable to read from COM1"},
      {"at a poll", -1, "Unable to write to COM1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    boxes_.Clear();
    window_.hides = 0;
    auto& chip = Open(kFourBanks);
    if (c.read_cut >= 0) {
      RunScript script;
      script.read_cut = c.read_cut;
      chip.SetRunScript(script);
    } else {
      keys_.back()->HangUp();
    }
    debug_.UpdateDebugData();
    ASSERT_EQ(BoxTexts(), std::vector<std::string>{c.text});
    EXPECT_EQ(boxes_.Boxes()[0].caption, kLinkCaption);
    EXPECT_EQ(window_.hides, 1);
    link_.ClosePortHandle();
  }
}

TEST_F(DebugProtocolTest, AnImageThatCannotBeDebuggedStopsTheCommand) {
  DebuggableProgram(*image_);
  image_->WorkingImage[2047] = UsedWord(0x000);  // no reset jump
  EXPECT_THROW(debug_.CheckDebugImage(), workbench::SilentAbort);
  ASSERT_EQ(BoxTexts(),
            std::vector<std::string>{"ERROR! Debug requires RESET jump at the end of memory"});
  DebuggableProgram(*image_);
  EXPECT_NO_THROW(debug_.CheckDebugImage());
  EXPECT_EQ(boxes_.Boxes().size(), 1u);
}

}  // namespace
}  // namespace build_debug
