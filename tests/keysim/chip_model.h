#pragma once
// The chip behind the simulated key, as the key protocol sees it: program memory, ID words,
// FUSE and FUSEX, an RC oscillator measured per trim, and the key's clock output.
//
// Mode machine: idle -> 2 enters programming (then 1 measures, 2 is the header, 32 a block of
// program words, 16 the ID words, 0 finishes); idle -> 3 enters reading (then 3 gives the
// chip's kind and fuses, 128 the next program words, 16 the ID words, each followed by a
// status byte, 0 finishes). In idle, 1 erases, 4 releases the chip, 8 and 9 switch the clock.
//
// Debugging: the chip runs a program with the debug monitor in it, which this model plays
// by behaviour, not by executing the monitor's code. 5 polls it (2 stopped, else running),
// 6 n reads the next n bytes of its report (a 24-byte header, then the RAM), 7 n takes n
// bytes: 28 are a packet that loads the registers and says what to do, 4 write one register
// (tags 1 and 2), fewer stop a free run. After programming, and after a reset, the chip
// stands stopped at the reset vector.

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "tests/keysim/simulated_key.h"

namespace keysim {

struct ChipConfig {
  bool device4k = false;
  std::uint16_t fusex = 0x0BFE;  // as it reads back: bits 0-1 give the size of a 2,048-word part
  std::uint16_t fuse = 0x0FFA;
  std::array<std::uint16_t, 8> counts{};        // oscillator measurement counts by trim
  std::map<std::uint8_t, std::uint8_t> status;  // a command's status byte other than 0
  // How long the chip takes before the status of the first header (2), program block (32) or
  // ID block (16) it is sent; later ones answer at once.
  std::map<std::uint8_t, std::chrono::milliseconds> first_status_delay;
};

// The chip's registers as its debug monitor keeps them.
struct MonitorRegisters {
  std::uint16_t pc = 0;
  std::uint8_t w = 0;
  std::uint8_t m = 0;
  bool rtw = false;         // W mapped at register 1
  std::uint8_t status = 0;  // as the monitor saved it, TO (bit 4) and PD (bit 3) with it
  std::uint8_t wake = 0;    // the report's second copy of TO and PD (bits 3-4, byte 11)
  std::uint8_t fsr = 0;
  std::uint8_t rtcc = 0;
  std::array<std::uint8_t, 11> ports{};  // registers 5..15
  // Bank after bank, 16 bytes each (1, 4 or 8 banks); 240 bytes on the 4,096-word parts,
  // registers 16..255 in order. Shorter reads as 0.
  std::vector<std::uint8_t> ram;
  std::uint16_t break_address = 0x1000;
};

// How the chip runs between stops.
struct RunScript {
  std::deque<std::uint16_t> steps;  // where the next single steps go; PC + 1 without one
  int polls_to_break = 0;  // polls that answer "running" before a run stops at the breakpoint
  std::optional<std::uint16_t> free_stop;  // where a free run is stopped; else where it began
  bool never_stops = false;
  std::uint8_t running_status = 0;  // a poll's answer while running: 0 running, 1 sleeping
  int read_cut = -1;  // a report read breaks off after this many bytes: the key is unplugged
};

class ChipModel {
 public:
  explicit ChipModel(ChipConfig config = {});
  // The keys it is installed on that are still there stop serving first: their handlers use
  // this model.
  ~ChipModel();
  ChipModel(const ChipModel&) = delete;
  ChipModel& operator=(const ChipModel&) = delete;
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

  // Debugging.
  MonitorRegisters Monitor() const;
  void SetMonitor(const MonitorRegisters& registers);
  void SetRunScript(RunScript script);
  bool Running() const;
  // Every command 7 as it came: the count byte and the bytes after it.
  std::vector<std::vector<std::uint8_t>> DebugCommands() const;
  int Polls() const;
  // The count byte of every command 6.
  std::vector<int> DataReads() const;

 private:
  enum class Mode { Idle, Programming, Reading };
  std::uint8_t Status(std::uint8_t command) const;
  // Waits out the first status delay of a command, once.
  void TakeTime(std::uint8_t command);
  void Finish(KeyIo& io);
  void One(KeyIo& io);
  void Two(KeyIo& io);
  void Three(KeyIo& io);
  void Block(KeyIo& io);
  void Id(KeyIo& io);
  void ReadBlock(KeyIo& io);
  void Release(KeyIo& io);
  void ClockOn(KeyIo& io);
  void Poll(KeyIo& io);
  void Report(KeyIo& io);
  void Debug(KeyIo& io);
  void Resume(const std::vector<std::uint8_t>& packet);
  void WriteRegister(std::uint8_t reg, std::uint8_t value);
  std::vector<std::uint8_t> ReportBytes() const;
  int Words() const;
  int Banks() const;

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

  enum class Run { Stopped, ToBreak, Free, Forever };
  std::vector<std::weak_ptr<SimulatedKey*>> keys_;  // the last is the one that serves
  MonitorRegisters monitor_;
  RunScript script_;
  Run run_ = Run::Stopped;
  int polls_left_ = 0;
  std::size_t report_position_ = 0;
  std::vector<std::uint8_t> report_;
  std::vector<std::vector<std::uint8_t>> debug_commands_;
  int polls_ = 0;
  std::vector<int> data_reads_;
};

}  // namespace keysim
