#pragma once
// The chip behind the simulated key, as the key protocol sees it: program memory, ID words,
// FUSE and FUSEX, an RC oscillator measured per trim, and the key's clock output.
//
// Mode machine: idle -> 2 enters programming (then 1 measures, 2 is the header, 32 a block of
// program words, 16 the ID words, 0 finishes); idle -> 3 enters reading (then 3 gives the
// chip's kind and fuses, 128 the next program words, 16 the ID words, each followed by a
// status byte, 0 finishes). In idle, 1 erases, 4 releases the chip, 8 and 9 switch the clock.

#include <array>
#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "tests/keysim/simulated_key.h"

namespace keysim {

struct ChipConfig {
  bool device4k = false;
  std::uint16_t fusex = 0x0BFE;  // as it reads back: bits 0-1 give the size of a 2,048-word part
  std::uint16_t fuse = 0x0FFA;
  std::array<std::uint16_t, 8> counts{};  // oscillator measurement counts by trim
  std::map<std::uint8_t, std::uint8_t> status;  // a command's status byte other than 0
};

class ChipModel {
 public:
  explicit ChipModel(ChipConfig config = {});
  // Registers the key protocol's commands with the key.
  void Install(SimulatedKey& key);

  // Observations, safe from any thread.
  std::vector<std::uint16_t> Program() const;
  std::array<std::uint16_t, 16> IdWords() const;
  std::uint16_t Fuse() const;
  std::uint16_t Fusex() const;
  std::vector<int> EraseUnits() const;
  std::vector<std::uint16_t> MeasuredWords() const;
  std::vector<std::uint32_t> ClockWords() const;
  bool ClockRunning() const;
  int Releases() const;
  // Puts words into program memory (a chip that holds a program).
  void Load(const std::vector<std::uint16_t>& words);

 private:
  enum class Mode { Idle, Programming, Reading };
  std::uint8_t Status(std::uint8_t command) const;
  void Finish(KeyIo& io);
  void One(KeyIo& io);
  void Two(KeyIo& io);
  void Three(KeyIo& io);
  void Block(KeyIo& io);
  void Id(KeyIo& io);
  void ReadBlock(KeyIo& io);
  void Release(KeyIo& io);
  void ClockOn(KeyIo& io);

  ChipConfig config_;
  mutable std::mutex mutex_;
  Mode mode_ = Mode::Idle;
  std::vector<std::uint16_t> memory_;
  std::array<std::uint16_t, 16> id_{};
  std::uint16_t fuse_;
  std::uint16_t fusex_;
  int address_ = 0;
  std::uint16_t last_count_ = 0;
  std::vector<int> erase_units_;
  std::vector<std::uint16_t> measured_;
  std::vector<std::uint32_t> clock_words_;
  bool clock_running_ = false;
  int releases_ = 0;
};

}  // namespace keysim
