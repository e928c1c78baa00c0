#pragma once
// The object image that pass 2 fills and the writers read: program memory, then the ID and
// configuration words.

#include <cstdint>
#include <vector>

namespace tarn {

inline constexpr int kImageWords = 16384 + 64;

struct ProgramImage {
  std::vector<uint16_t> words = std::vector<uint16_t>(kImageWords, 0x0FFF);
  // The three bookkeeping counters, cleared before pass 1.
  int words_written = 0;
  int lowest_address = 0;
  int highest_address = 0;

  void Fill(uint16_t word) {
    words.assign(kImageWords, word);
    words_written = lowest_address = highest_address = 0;
  }
};

}  // namespace tarn
