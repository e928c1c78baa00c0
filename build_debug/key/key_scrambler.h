#pragma once
// The 16-bit byte scrambler that the IDE and the key step in lock-step: one step for every
// byte sent and every byte received, in the order they pass.
//
// Invariant: a state of 0 stays 0 (a step feeds back only bits of hi xor lo).

#include <cstdint>

namespace build_debug {

// The value the first seed byte is xored with.
inline constexpr std::uint16_t kScramblerSeed = 0x5E2D;

class KeyScrambler {
 public:
  explicit KeyScrambler(std::uint16_t state = 0) : state_(state) {}

  std::uint16_t State() const { return state_; }
  void SetState(std::uint16_t state) { state_ = state; }

  // The shift register: hi takes lo's low bit from the right, lo takes bit 7 xor bit 1 of
  // (hi xor lo) from the left.
  void Step() {
    unsigned hi = state_ >> 8;
    unsigned lo = state_ & 0xFF;
    unsigned mix = hi ^ lo;
    unsigned feedback = ((mix >> 7) ^ (mix >> 1)) & 1;
    hi = ((hi << 1) | (lo & 1)) & 0xFF;
    lo = (lo >> 1) | (feedback << 7);
    state_ = static_cast<std::uint16_t>((hi << 8) | lo);
  }

  // The byte put on the wire for b: step first, then ((b - hi) xor lo).
  std::uint8_t Send(std::uint8_t b) {
    Step();
    return static_cast<std::uint8_t>(((b - Hi()) ^ Lo()) & 0xFF);
  }

  // The byte handed on for c taken from the wire: (lo - (hi xor c)) with the state before
  // the step, then step.
  std::uint8_t Receive(std::uint8_t c) {
    auto b = static_cast<std::uint8_t>((Lo() - (Hi() ^ c)) & 0xFF);
    Step();
    return b;
  }

 private:
  unsigned Hi() const { return state_ >> 8; }
  unsigned Lo() const { return state_ & 0xFF; }

  std::uint16_t state_;
};

}  // namespace build_debug
