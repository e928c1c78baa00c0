#pragma once
// The key's clock-generator word for a chip clock frequency.

#include <cstdint>

namespace build_debug {

// Frequency in Hz, 400,000..110,000,000; the key takes bits 0-23 of the word, low byte first.
// Fields: ((((m - 3) * 16 + 8 + p) * 128 + (d - 2)) * 16) + 8 * high-band, where the generator
// makes v = 20 MHz * m / d (25..75 MHz) and the key divides v by 2^p.
std::uint32_t ClockSynthSetting(std::int64_t frequency_hz);

}  // namespace build_debug
