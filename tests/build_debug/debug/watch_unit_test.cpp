// The watch window's logic: reading and showing each format from register bytes, the layout
// templates, parsing typed values, and writing them to the simulated chip.

#include "build_debug/debug/watch_unit.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/build_debug/debug/chip_session.h"

namespace build_debug {
namespace {

WatchEntry Entry(int reg, int offset, int width, WatchFormat format) {
  WatchEntry entry;
  entry.Address = static_cast<std::uint16_t>(reg | (offset << 8));
  entry.Width = static_cast<std::uint8_t>(width);
  entry.Format = format;
  return entry;
}

struct FormatCase {
  const char* name;
  WatchFormat format;
  int width;
  int offset;
  std::vector<std::uint8_t> bytes;  // from register 0x30 on (a 4,096-word part)
  const char* shown;
};

TEST(WatchFormatTest, EachFormatShowsItsValue) {
  const FormatCase cases[] = {
      {"signed byte of ones", SDEC, 8, 0, {0xFF}, "-1"},
      {"unsigned byte of ones", UDEC, 8, 0, {0xFF}, "255"},
      {"decimal groups", UDEC, 32, 0, {0x40, 0x42, 0x0F, 0x00}, "1_000_000"},
      {"signed 32 bits", SDEC, 32, 0, {0xFF, 0xFF, 0xFF, 0xFF}, "-1"},
      {"signed 16-bit minimum", SDEC, 16, 0, {0x00, 0x80}, "-32_768"},
      {"three bits at offset 5", UDEC, 3, 5, {0xE0}, "7"},
      {"one bit at offset 7", UDEC, 1, 7, {0x80}, "1"},
      {"one signed bit", SDEC, 1, 7, {0x80}, "-1"},
      {"16-bit hex", UHEX, 16, 0, {0x34, 0x12}, "$1234"},
      {"9-bit hex", UHEX, 9, 0, {0xFF, 0x01}, "$1FF"},
      {"hex groups", UHEX, 32, 0, {0xEF, 0xBE, 0xAD, 0xDE}, "$DEAD_BEEF"},
      {"negative hex", SHEX, 8, 0, {0xFE}, "-$02"},
      {"32 bits at offset 4", UHEX, 32, 4, {0x10, 0x32, 0x54, 0x76, 0x98}, "$8765_4321"},
      {"signed 32 bits at offset 4", SHEX, 32, 4, {0x10, 0x32, 0x54, 0x76, 0x98}, "-$789A_BCDF"},
      {"binary groups", UBIN, 5, 0, {0x16}, "%1_0110"},
      {"one binary digit", UBIN, 1, 0, {0x01}, "%1"},
      {"negative binary", SBIN, 4, 0, {0x0F}, "-%0001"},
      {"positive signed binary", SBIN, 4, 2, {0x1C}, "%0111"},
      {"fixed string with a zero", FSTR, 3, 0, {'A', 'B', 0}, "AB."},
      {"zero-ended string", ZSTR, 5, 0, {'H', 'i', 0, 'x', 'y'}, "Hi"},
      {"zero-ended string filling its room", ZSTR, 5, 0, {'H', 'e', 'l', 'l', 'o'}, "Hello"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DebugState state;
    for (std::size_t i = 0; i < c.bytes.size(); ++i) state.Registers[0x30 + i] = c.bytes[i];
    EXPECT_EQ(FormatWatch(Entry(0x30, c.offset, c.width, c.format), state, true), c.shown);
  }
}

TEST(WatchFormatTest, BytesFollowTheBankMappingAndStopAtTheEndOfRam) {
  DebugState state;
  state.Registers[0x9E] = 0x11;
  state.Registers[0x9F] = 0x22;
  state.Registers[0xA0] = 0x99;  // the next block's lower half mirrors the globals
  state.Registers[0xB0] = 0x33;
  state.Registers[0xB1] = 0x44;
  EXPECT_EQ(FormatWatch(Entry(0x9E, 0, 32, UHEX), state, false), "$4433_2211");
  EXPECT_EQ(FormatWatch(Entry(0x9E, 0, 32, UHEX), state, true), "$0099_2211");
  // A global at the top of the globals goes on into bank memory.
  state.Registers[0x0F] = 0x01;
  state.Registers[0x10] = 0x02;
  EXPECT_EQ(FormatWatch(Entry(0x0F, 0, 16, UHEX), state, true), "$0201");
  // Register 0xFE, 16 bits: two registers and nothing past them.
  state.Registers[0xFE] = 0xCD;
  state.Registers[0xFF] = 0xAB;
  EXPECT_EQ(FormatWatch(Entry(0xFE, 0, 16, UHEX), state, true), "$ABCD");
  EXPECT_EQ(FormatWatch(Entry(0xFE, 4, 16, UHEX), state, false), "$0ABC");
  EXPECT_EQ(FormatWatch(Entry(0xFE, 0, 32, UHEX), state, true), "$0000_ABCD");
  EXPECT_EQ(NextWatchRegister(0xFF, true), -1);
  EXPECT_EQ(NextWatchRegister(0x1F, false), 0x30);
  EXPECT_EQ(NextWatchRegister(0x1F, true), 0x20);
}

TEST(WatchFormatTest, TemplatesHoldTheWidestText) {
  const struct {
    WatchFormat format;
    int width;
    const char* text;
  } cases[] = {
      {UDEC, 8, "000"},   {SDEC, 8, "-000"},    {UDEC, 32, "0_000_000_000"}, {UHEX, 16, "$DDDD"},
      {SHEX, 9, "-$DDD"}, {UBIN, 5, "%0_0000"}, {FSTR, 3, "\"WWW\""},        {ZSTR, 2, "\"WW\""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WatchTemplate(Entry(0x30, 0, c.width, c.format)), c.text)
        << c.format << "/" << c.width;
}

TEST(WatchParseTest, TypedNumbers) {
  const struct {
    const char* text;
    std::optional<std::int64_t> value;
  } cases[] = {
      {"$1_F", 0x1F},       {"%101", 5},           {"12a", 12},        {"-$10", -16},
      {"--5", 5},           {"1_000", 1000},       {"'A'", 'A'},       {"$1G", 1},
      {"%2", std::nullopt}, {"x12", std::nullopt}, {"", std::nullopt}, {"_", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseWatchValue(c.text), c.value) << c.text;
}

TEST(WatchEditorTest, TheFirstKeyReplacesTheShownText) {
  WatchEditor editor(3);
  editor.Start(2, "$12");
  editor.Backspace();  // not on the untouched text
  EXPECT_EQ(editor.Text(), "$12");
  editor.Key('7');
  editor.Key('8');
  editor.Backspace();
  EXPECT_EQ(editor.Text(), "7");
  for (int i = 0; i < 60; ++i) editor.Key('1');
  EXPECT_EQ(editor.Text().size(), static_cast<std::size_t>(kWatchTextMax));
  EXPECT_EQ(editor.Neighbour(1), 0);
  EXPECT_EQ(editor.Neighbour(-1), 1);
}

// ---------------------------------------------------------------------------------------------
// Against the chip

class WatchWriteTest : public ChipSession {};

TEST_F(WatchWriteTest, TypedValuesChangeOnlyTheirBits) {
  keysim::MonitorRegisters r;
  r.ram.assign(64, 0xFF);
  auto& chip = Open(false, kFusexFourBanks, r);
  struct Case {
    const char* text;
    WatchEntry entry;
    std::vector<std::pair<int, std::uint8_t>> ram;  // RAM index (bank 0x90 first), byte
  };
  const Case cases[] = {
      {"$1_F", Entry(0x90, 0, 8, UHEX), {{0, 0x1F}}},
      {"%101", Entry(0x91, 2, 3, UBIN), {{1, 0xF7}}},
      {"'A'", Entry(0x92, 0, 8, UDEC), {{2, 0x41}}},
      {"-1", Entry(0x93, 0, 8, SDEC), {{3, 0xFF}}},
      {"$8765_4321",
       Entry(0x9E, 4, 32, UHEX),
       {{14, 0x1F}, {15, 0x32}, {16, 0x54}, {17, 0x76}, {18, 0xF8}}},
      {"Hi", Entry(0xB4, 0, 5, ZSTR), {{20, 'H'}, {21, 'i'}, {22, 0}, {23, 0xFF}}},
      {"Hi", Entry(0xB8, 0, 5, FSTR), {{24, 'H'}, {25, 'i'}, {26, 0xFF}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    ASSERT_TRUE(WriteWatch(debug_, c.entry, c.text));
    const auto ram = chip.Monitor().ram;
    for (const auto& [index, byte] : c.ram)
      EXPECT_EQ(ram[static_cast<std::size_t>(index)], byte) << index;
  }
}

TEST_F(WatchWriteTest, ARejectedTextWritesNothing) {
  keysim::MonitorRegisters r;
  r.ram.assign(16, 0x5A);
  auto& chip = Open(false, kFusexOneBank, r);
  const auto commands = chip.DebugCommands().size();
  EXPECT_FALSE(CommitWatch(debug_, messages_, Entry(0xF0, 0, 8, UDEC), "x12"));
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Invalid constant entry"});
  EXPECT_EQ(boxes_.Boxes()[0].kind, platform::BoxKind::Error);
  EXPECT_EQ(chip.DebugCommands().size(), commands);
  EXPECT_EQ(chip.Monitor().ram[0], 0x5A);
}

TEST_F(WatchWriteTest, A16BitWatchAtTheEndOfRam) {
  keysim::MonitorRegisters r;
  r.ram.assign(240, 0);
  auto& chip = Open(true, kFusex4K, r);
  ASSERT_TRUE(WriteWatch(debug_, Entry(0xFE, 0, 16, UHEX), "$1234"));
  EXPECT_EQ(chip.Monitor().ram[0xFE - 16], 0x34);
  EXPECT_EQ(chip.Monitor().ram[0xFF - 16], 0x12);
  EXPECT_EQ(FormatWatch(Entry(0xFE, 0, 16, UHEX), debug_.Live(), true), "$1234");
}

}  // namespace
}  // namespace build_debug
