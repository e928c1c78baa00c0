#include "build_debug/key/clock_synth.h"

#include <gtest/gtest.h>

namespace build_debug {
namespace {

struct Case {
  std::int64_t hz;
  std::uint32_t word;  // p, m, d of the kept candidate in the comment
};

// Worked from the search: v = 20 MHz * m / d in 25..75 MHz, error |(v >> p) - f / 2|, the last
// candidate with the smallest error kept. 100 and 110 MHz need m >= 108, where 20 MHz * m no
// longer fits 32 bits.
const Case kCases[] = {
    {400'000, 0x3EFE20},      // p 7, m 128, d 100: v 25.6 MHz, exact
    {1'000'000, 0x3EF4E0},    // p 6, m 128, d 80: v 32 MHz
    {4'000'000, 0x3EE4E0},    // p 4, m 128, d 80
    {10'000'000, 0x3FDBF8},   // p 3, m 130, d 65: v 40 MHz, high band
    {20'000'000, 0x3FD3F8},   // p 2, m 130, d 65
    {32'768'000, 0x254AD0},   // p 1, m 77, d 47: v 32,765,957, error 1,022
    {50'000'000, 0x3D4620},   // p 0, m 125, d 100: v 25 MHz
    {75'000'000, 0x3AC3E0},   // p 0, m 120, d 64: v 37.5 MHz
    {100'000'000, 0x3FC328},  // p 0, m 130, d 52: v 50 MHz
    {110'000'000, 0x3B42A8},  // p 0, m 121, d 44: v 55 MHz
};

TEST(ClockSynthSettingTest, WordsAcrossTheRange) {
  for (const Case& c : kCases) {
    EXPECT_EQ(ClockSynthSetting(c.hz), c.word) << c.hz << " Hz";
  }
}

TEST(ClockSynthSettingTest, FieldsOfTheWord) {
  // 50 MHz: ((((125 - 3) * 16 + 8 + 0) * 128 + (100 - 2)) * 16) + 0.
  std::uint32_t word = ClockSynthSetting(50'000'000);
  EXPECT_EQ(word & 8u, 0u);            // v below 40 MHz
  EXPECT_EQ((word >> 4) & 0x7F, 98u);  // d - 2
  EXPECT_EQ((word >> 11) & 7u, 0u);    // p
  EXPECT_EQ((word >> 14) & 1u, 1u);    // the fixed 8
  EXPECT_EQ(word >> 15, 122u);         // m - 3
  EXPECT_LT(word, 1u << 24);
}

}  // namespace
}  // namespace build_debug
