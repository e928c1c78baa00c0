#include "tests/keysim/chip_model.h"

namespace keysim {

namespace {

constexpr std::uint16_t kErased = 0x0FFF;
// The chip-kind word a read gives for a 4,096-word part, and for the others.
constexpr std::uint16_t kKind4K = 2;
constexpr std::uint16_t kKind2K = 1;

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

void ChipModel::Install(SimulatedKey& key) {
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
    std::lock_guard lock(mutex_);
    fusex_ = fusex;
    fuse_ = fuse;
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
  std::copy(words.begin(), words.begin() + static_cast<long>(std::min(words.size(), memory_.size())),
            memory_.begin());
}

}  // namespace keysim
