#include "build_debug/key/clock_synth.h"

namespace build_debug {

std::uint32_t ClockSynthSetting(std::int64_t frequency_hz) {
  // 64-bit throughout: 20 MHz * m passes 2^31 from m = 108 on.
  const std::int64_t target = frequency_hz / 2;
  std::int64_t best = 1'000'000;
  std::uint32_t word = 0;
  for (int p = 7; p >= 0; --p) {
    for (std::int64_t m = 4; m <= 130; ++m) {
      for (std::int64_t d = 20; d <= 100; ++d) {
        std::int64_t v = 20'000'000 * m / d;
        if (v < 25'000'000 || v > 75'000'000) continue;
        std::int64_t e = (v >> p) - target;
        if (e < 0) e = -e;
        // Ties go to the later candidate.
        if (e <= best) {
          best = e;
          word = static_cast<std::uint32_t>(((((m - 3) * 16 + 8 + p) * 128 + (d - 2)) * 16) +
                                            (v >= 40'000'000 ? 8 : 0));
        }
      }
    }
  }
  return word;
}

}  // namespace build_debug
