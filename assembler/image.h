#pragma once
// The object image that pass 2 fills and the writers read: program memory, then the ID and
// configuration words, and the settings that go into the configuration words.
//
// Invariant: `words` always holds kImageWords words; program memory is words 0 to the device's
// program size - 1, the ID words start at kIdWordsAddress and the configuration block at
// kConfigurationAddress.

#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

inline constexpr int kImageWords = 16384 + 64;
inline constexpr int kIdWordsAddress = 0x1000;
inline constexpr int kIdWordCount = 16;
inline constexpr int kConfigurationAddress = 0x1010;
inline constexpr int kConfigurationWords = 8;
inline constexpr uint16_t kBlankWord = 0x0FFF;  // the erased value
inline constexpr uint16_t kNoBreak = 0xFFFF;

struct ProgramImage {
  std::vector<uint16_t> words = std::vector<uint16_t>(kImageWords, kBlankWord);
  // The three bookkeeping counters, cleared before pass 1.
  int words_written = 0;
  int lowest_address = 0;
  int highest_address = 0;

  // Set by FREQ, IRC_CAL and BREAK; carried by the configuration block.
  uint32_t frequency = 50000000;  // Hz
  uint16_t irc_cal = 0;           // 0 irc_slow, 1 irc_4mhz, 2 irc_fast
  uint16_t break_address = kNoBreak;
  // The ID directive's text as given, for objects that carry it as text too.
  std::string id_text;

  void Fill(uint16_t word) {
    words.assign(kImageWords, word);
    words_written = lowest_address = highest_address = 0;
  }
};

}  // namespace tarn
