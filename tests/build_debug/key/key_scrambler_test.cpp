#include "build_debug/key/key_scrambler.h"

#include <vector>

#include <gtest/gtest.h>

namespace build_debug {
namespace {

// Expected states and bytes worked out by hand from the shift register and the two
// transforms.
TEST(KeyScrambler, StepsAsTheShiftRegister) {
  struct Case {
    std::uint16_t from;
    std::vector<std::uint16_t> states;
  };
  const Case cases[] = {
      {0xF911, {0xF388, 0xE6C4, 0xCCE2, 0x98F1}},  // seed bytes 0x3C, 0xA7
      {0x0001, {0x0100, 0x0200, 0x0480}},          // lo's low bit moves into hi
      {0x8000, {0x0080, 0x00C0, 0x00E0}},          // hi's top bit feeds back into lo
      {0x0000, {0x0000, 0x0000}},                  // 0 stays 0
  };
  for (const auto& c : cases) {
    KeyScrambler scrambler(c.from);
    for (auto expected : c.states) {
      scrambler.Step();
      EXPECT_EQ(scrambler.State(), expected) << std::hex << c.from;
    }
  }
}

TEST(KeyScrambler, SendStepsFirstThenTransforms) {
  KeyScrambler scrambler(0xF911);
  EXPECT_EQ(scrambler.Send(0x41), 0xC6);
  EXPECT_EQ(scrambler.Send(0x00), 0xDE);
  EXPECT_EQ(scrambler.Send(0xFF), 0xD1);
  EXPECT_EQ(scrambler.State(), 0xCCE2);
}

TEST(KeyScrambler, ReceiveTransformsThenSteps) {
  KeyScrambler scrambler(0xF911);
  EXPECT_EQ(scrambler.Receive(0x41), 0x59);
  EXPECT_EQ(scrambler.Receive(0x00), 0x95);
  EXPECT_EQ(scrambler.Receive(0xFF), 0xAB);
  EXPECT_EQ(scrambler.State(), 0xCCE2);
}

// At state 0 sending leaves bytes as they are, but receiving gives (0 - c): the key's side
// is the exact inverse, so bytes still pass unchanged end to end.
TEST(KeyScrambler, StateZeroSendsUnchangedAndReceivesTheNegation) {
  KeyScrambler scrambler(0);
  for (int b : {0x00, 0x01, 0x7F, 0x80, 0xFF})
    EXPECT_EQ(scrambler.Send(static_cast<std::uint8_t>(b)), b);
  EXPECT_EQ(scrambler.Receive(0x00), 0x00);
  EXPECT_EQ(scrambler.Receive(0x01), 0xFF);
  EXPECT_EQ(scrambler.Receive(0x80), 0x80);
  EXPECT_EQ(scrambler.State(), 0);
}

}  // namespace
}  // namespace build_debug
