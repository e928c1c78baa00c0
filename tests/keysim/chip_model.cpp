#include "tests/keysim/chip_model.h"

#include <thread>

namespace keysim {

namespace {

constexpr std::uint16_t kErased = 0x0FFF;
// The chip-kind word a read gives for a 4,096-word part, and for the others.
constexpr std::uint16_t kKind4K = 2;
constexpr std::uint16_t kKind2K = 1;

// The debug monitor's side.
constexpr std::uint8_t kMonitorStopped = 2;
constexpr std::uint8_t kPacketLength = 28;
constexpr std::uint8_t kWriteLength = 4;
constexpr std::uint16_t kRefresh = 0xF7F7;
constexpr std::uint16_t kStep = 0xF7EB;
constexpr std::uint16_t kRunToBreak = 0xF7E9;
constexpr std::uint16_t kRunFree = 0xEAEA;
constexpr std::uint16_t kReset = 0xEFEF;

int TrimOf(std::uint16_t measure_word) {
  return ((measure_word >> 8) & 3) | (((measure_word >> 11) & 1) << 2);
}

}  // namespace

ChipModel::ChipModel(ChipConfig config)
    : config_(std::move(config)),
      memory_(4096, kErased),
      fuse_(config_.fuse),
      fusex_(config_.fusex) {
  id_.fill(kErased);
}

ChipModel::~ChipModel() {
  for (const auto& life : keys_)
    if (auto key = life.lock()) (*key)->Stop();
}

void ChipModel::Install(SimulatedKey& key) {
  {
    std::lock_guard lock(mutex_);
    keys_.push_back(key.Life());
  }
  key.Handle(5, [this](KeyIo& io) { Poll(io); });
  key.Handle(6, [this](KeyIo& io) { Report(io); });
  key.Handle(7, [this](KeyIo& io) { Debug(io); });
  key.Handle(0, [this](KeyIo& io) { Finish(io); });
  key.Handle(1, [this](KeyIo& io) { One(io); });
  key.Handle(2, [this](KeyIo& io) { Two(io); });
  key.Handle(3, [this](KeyIo& io) { Three(io); });
  key.Handle(4, [this](KeyIo& io) { Release(io); });
  key.Handle(8, [this](KeyIo& io) { ClockOn(io); });
  key.Handle(9, [this](KeyIo&) {
    std::lock_guard lock(mutex_);
    clock_running_ = false;
  });
  key.Handle(16, [this](KeyIo& io) { Id(io); });
  key.Handle(32, [this](KeyIo& io) { Block(io); });
  key.Handle(128, [this](KeyIo& io) { ReadBlock(io); });
}

std::uint8_t ChipModel::Status(std::uint8_t command) const {
  auto found = config_.status.find(command);
  return found == config_.status.end() ? 0 : found->second;
}

void ChipModel::TakeTime(std::uint8_t command) {
  std::chrono::milliseconds delay{0};
  {
    std::lock_guard lock(mutex_);
    auto found = config_.first_status_delay.find(command);
    if (found == config_.first_status_delay.end()) return;
    delay = found->second;
    config_.first_status_delay.erase(found);
  }
  std::this_thread::sleep_for(delay);
}

void ChipModel::Finish(KeyIo& io) {
  std::uint16_t count = 0;
  {
    std::lock_guard lock(mutex_);
    count = last_count_;
    last_count_ = 0;
    mode_ = Mode::Idle;
  }
  io.SendWord(count);
  io.Send(0);
}

void ChipModel::One(KeyIo& io) {
  bool measuring = false;
  {
    std::lock_guard lock(mutex_);
    measuring = mode_ == Mode::Programming;
  }
  if (measuring) {
    io.Byte();  // the pulse
    std::uint16_t word = io.Word();
    {
      std::lock_guard lock(mutex_);
      measured_.push_back(word);
      last_count_ = config_.counts[static_cast<std::size_t>(TrimOf(word))];
    }
    io.Send(Status(1));
    return;
  }
  int units = io.Byte();
  {
    std::lock_guard lock(mutex_);
    erase_units_.push_back(units);
    std::fill(memory_.begin(), memory_.end(), kErased);
    id_.fill(kErased);
    fuse_ = fusex_ = kErased;
  }
  io.Send(Status(1));
}

void ChipModel::Two(KeyIo& io) {
  bool header = false;
  {
    std::lock_guard lock(mutex_);
    header = mode_ == Mode::Programming;
    mode_ = Mode::Programming;
    address_ = 0;
  }
  if (header) {
    io.Byte();  // the pulse
    std::uint16_t fusex = io.Word();
    std::uint16_t fuse = io.Word();
    {
      std::lock_guard lock(mutex_);
      fusex_ = fusex;
      fuse_ = fuse;
    }
    TakeTime(2);
  }
  io.Send(Status(2));
}

void ChipModel::Three(KeyIo& io) {
  bool head = false;
  std::uint16_t fusex = 0, fuse = 0;
  {
    std::lock_guard lock(mutex_);
    head = mode_ == Mode::Reading;
    mode_ = Mode::Reading;
    address_ = 0;
    fusex = fusex_;
    fuse = fuse_;
  }
  if (head) {
    io.SendWord(config_.device4k ? kKind4K : kKind2K);
    io.SendWord(fusex);
    io.SendWord(fuse);
  }
  io.Send(Status(3));
}

void ChipModel::Block(KeyIo& io) {
  io.Byte();  // the pulse
  for (int i = 0; i < 32; ++i) {
    std::uint16_t word = io.Word();
    std::lock_guard lock(mutex_);
    if (address_ < static_cast<int>(memory_.size()))
      memory_[static_cast<std::size_t>(address_++)] = word;
  }
  TakeTime(32);
  io.Send(Status(32));
}

void ChipModel::Id(KeyIo& io) {
  bool reading = false;
  {
    std::lock_guard lock(mutex_);
    reading = mode_ == Mode::Reading;
  }
  if (reading) {
    std::array<std::uint16_t, 16> id{};
    {
      std::lock_guard lock(mutex_);
      id = id_;
    }
    for (auto word : id) io.SendWord(word);
  } else {
    io.Byte();  // the pulse
    for (auto& word : id_) {
      std::uint16_t value = io.Word();
      std::lock_guard lock(mutex_);
      word = value;
    }
    TakeTime(16);
  }
  io.Send(Status(16));
}

void ChipModel::ReadBlock(KeyIo& io) {
  std::vector<std::uint16_t> words;
  {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < 128 && address_ < static_cast<int>(memory_.size()); ++i)
      words.push_back(memory_[static_cast<std::size_t>(address_++)]);
  }
  for (auto word : words) io.SendWord(word);
  io.Send(Status(128));
}

void ChipModel::Release(KeyIo& io) {
  {
    std::lock_guard lock(mutex_);
    ++releases_;
    mode_ = Mode::Idle;
    // The released chip starts at its reset vector, whose jump leads into the monitor.
    monitor_.pc = static_cast<std::uint16_t>(Words() - 1);
    run_ = script_.never_stops ? Run::Forever : Run::Stopped;
  }
  io.Send(Status(4));
}

void ChipModel::ClockOn(KeyIo& io) {
  std::uint32_t word = io.Byte();
  word |= static_cast<std::uint32_t>(io.Byte()) << 8;
  word |= static_cast<std::uint32_t>(io.Byte()) << 16;
  {
    std::lock_guard lock(mutex_);
    clock_words_.push_back(word);
    clock_running_ = true;
  }
  io.Send(Status(8));
}

int ChipModel::Words() const {
  static constexpr int kWords[4] = {512, 1024, 2048, 2048};
  return config_.device4k ? 4096 : kWords[fusex_ & 3];
}

int ChipModel::Banks() const {
  static constexpr int kBanks[4] = {1, 1, 4, 8};
  return config_.device4k ? 15 : kBanks[fusex_ & 3];
}

void ChipModel::Poll(KeyIo& io) {
  std::uint8_t answer = 0;
  {
    std::lock_guard lock(mutex_);
    ++polls_;
    report_position_ = 0;
    if (run_ == Run::ToBreak) {
      if (polls_left_ > 0) {
        --polls_left_;
      } else {
        monitor_.pc = monitor_.break_address;
        run_ = Run::Stopped;
      }
    }
    answer = run_ == Run::Stopped ? kMonitorStopped : script_.running_status;
  }
  io.Send(answer);
}

// The monitor's report: the header, then the RAM.
std::vector<std::uint8_t> ChipModel::ReportBytes() const {
  // Bytes the report does not use carry this, so that a reader that takes them shows.
  constexpr std::uint8_t kUnused = 0x5A;
  const auto& r = monitor_;
  std::vector<std::uint8_t> bytes = {
      static_cast<std::uint8_t>((r.m & 0x7F) | (r.rtw ? 0x80 : 0)),
      r.w,
      static_cast<std::uint8_t>(r.pc & 0xFF),
      static_cast<std::uint8_t>(r.pc >> 8),
      r.status,
      r.fsr,
      r.ports[13 - 5],
      r.ports[14 - 5],
      r.ports[15 - 5],
      r.rtcc,
      kUnused,
      r.wake,
      kUnused,
  };
  for (int reg = 5; reg <= 12; ++reg) bytes.push_back(r.ports[static_cast<std::size_t>(reg - 5)]);
  bytes.insert(bytes.end(), {kUnused, kUnused, kUnused});
  std::size_t ram = config_.device4k ? 240 : static_cast<std::size_t>(Banks() * 16);
  for (std::size_t j = 0; j < ram; ++j) bytes.push_back(j < r.ram.size() ? r.ram[j] : 0);
  return bytes;
}

void ChipModel::Report(KeyIo& io) {
  std::size_t count = io.Byte();
  std::vector<std::uint8_t> bytes;
  bool cut = false;
  {
    std::lock_guard lock(mutex_);
    data_reads_.push_back(static_cast<int>(count));
    // A read goes on where the one before it ended, until the report is through.
    if (report_position_ == 0) report_ = ReportBytes();
    for (std::size_t i = 0; i < count && report_position_ < report_.size(); ++i)
      bytes.push_back(report_[report_position_++]);
    if (report_position_ >= report_.size()) report_position_ = 0;
    if (script_.read_cut >= 0 && static_cast<std::size_t>(script_.read_cut) < bytes.size()) {
      bytes.resize(static_cast<std::size_t>(script_.read_cut));
      cut = true;
    }
  }
  io.Send(bytes);
  if (cut) {
    // A handler runs on the key's own thread, so its key is still there.
    std::weak_ptr<SimulatedKey*> serving;
    {
      std::lock_guard lock(mutex_);
      serving = keys_.back();
    }
    if (auto key = serving.lock()) (*key)->HangUpSoon();
  }
}

void ChipModel::Debug(KeyIo& io) {
  std::vector<std::uint8_t> bytes{io.Byte()};
  for (int i = 0; i < bytes[0]; ++i) bytes.push_back(io.Byte());
  std::lock_guard lock(mutex_);
  debug_commands_.push_back(bytes);
  report_position_ = 0;
  if (bytes[0] == kPacketLength) {
    Resume(bytes);
  } else if (bytes[0] == kWriteLength) {
    WriteRegister(bytes[2], bytes[4]);
  } else if (run_ == Run::Free) {
    // The stop command.
    if (script_.free_stop) monitor_.pc = *script_.free_stop;
    run_ = Run::Stopped;
  }
}

void ChipModel::Resume(const std::vector<std::uint8_t>& packet) {
  // The values of the 14 (tag, value) pairs, by their place.
  auto value = [&packet](int pair) { return packet[static_cast<std::size_t>(2 + 2 * pair)]; };
  const std::uint16_t action = static_cast<std::uint16_t>(value(7) | (value(8) << 8));
  const std::uint16_t mask = static_cast<std::uint16_t>(Words() - 1);
  if (script_.never_stops) {
    run_ = Run::Forever;
    return;
  }
  if (run_ != Run::Stopped) {
    // A running chip is not in the monitor: only a refresh reaches it, and stops it.
    if (action == kRefresh) {
      if (run_ == Run::Free && script_.free_stop) monitor_.pc = *script_.free_stop;
      run_ = Run::Stopped;
    }
    return;
  }
  auto& r = monitor_;
  r.w = value(0);
  r.pc = static_cast<std::uint16_t>(((value(1) << 8) | value(2)) & mask);
  r.status = value(3);
  r.fsr = value(4);
  r.ports[14 - 5] = value(5);
  r.ports[15 - 5] = value(6);
  r.break_address = static_cast<std::uint16_t>((value(10) << 8) | value(11));
  r.m = value(12);
  r.ports[13 - 5] = value(13);
  switch (action) {
    case kStep:
      if (script_.steps.empty()) {
        r.pc = static_cast<std::uint16_t>((r.pc + 1) & mask);
      } else {
        r.pc = script_.steps.front();
        script_.steps.pop_front();
      }
      break;
    case kRunToBreak:
      run_ = Run::ToBreak;
      polls_left_ = script_.polls_to_break;
      break;
    case kRunFree: run_ = Run::Free; break;
    case kReset:
      r.pc = mask;
      r.status = static_cast<std::uint8_t>((r.status & 0x07) | 0x18);
      break;
    default: break;
  }
}

void ChipModel::WriteRegister(std::uint8_t reg, std::uint8_t value) {
  auto& r = monitor_;
  if (reg == 1) {
    r.rtcc = value;
  } else if (reg >= 5 && reg <= 15) {
    r.ports[static_cast<std::size_t>(reg - 5)] = value;
  } else if (reg >= 16) {
    // The bank bits of the address select among the chip's banks; those it lacks are ignored.
    std::size_t index =
        config_.device4k
            ? static_cast<std::size_t>(reg - 16)
            : static_cast<std::size_t>(((reg >> 5) & (Banks() - 1)) * 16 + (reg & 0x0F));
    if (r.ram.size() <= index) r.ram.resize(index + 1);
    r.ram[index] = value;
  }
}

MonitorRegisters ChipModel::Monitor() const {
  std::lock_guard lock(mutex_);
  return monitor_;
}
void ChipModel::SetMonitor(const MonitorRegisters& registers) {
  std::lock_guard lock(mutex_);
  monitor_ = registers;
}
void ChipModel::SetRunScript(RunScript script) {
  std::lock_guard lock(mutex_);
  script_ = std::move(script);
  if (script_.never_stops) run_ = Run::Forever;
}
bool ChipModel::Running() const {
  std::lock_guard lock(mutex_);
  return run_ != Run::Stopped;
}
std::vector<std::vector<std::uint8_t>> ChipModel::DebugCommands() const {
  std::lock_guard lock(mutex_);
  return debug_commands_;
}
int ChipModel::Polls() const {
  std::lock_guard lock(mutex_);
  return polls_;
}
std::vector<int> ChipModel::DataReads() const {
  std::lock_guard lock(mutex_);
  return data_reads_;
}

std::vector<std::uint16_t> ChipModel::Program() const {
  std::lock_guard lock(mutex_);
  return memory_;
}
std::array<std::uint16_t, 16> ChipModel::IdWords() const {
  std::lock_guard lock(mutex_);
  return id_;
}
std::uint16_t ChipModel::Fuse() const {
  std::lock_guard lock(mutex_);
  return fuse_;
}
std::uint16_t ChipModel::Fusex() const {
  std::lock_guard lock(mutex_);
  return fusex_;
}
std::vector<int> ChipModel::EraseUnits() const {
  std::lock_guard lock(mutex_);
  return erase_units_;
}
std::vector<std::uint16_t> ChipModel::MeasuredWords() const {
  std::lock_guard lock(mutex_);
  return measured_;
}
std::vector<std::uint32_t> ChipModel::ClockWords() const {
  std::lock_guard lock(mutex_);
  return clock_words_;
}
bool ChipModel::ClockRunning() const {
  std::lock_guard lock(mutex_);
  return clock_running_;
}
int ChipModel::Releases() const {
  std::lock_guard lock(mutex_);
  return releases_;
}
void ChipModel::Load(const std::vector<std::uint16_t>& words) {
  std::lock_guard lock(mutex_);
  std::copy(words.begin(),
            words.begin() + static_cast<long>(std::min(words.size(), memory_.size())),
            memory_.begin());
}

}  // namespace keysim
