#include "tests/keysim/simulated_key.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <stdexcept>
#include <string_view>
#include <system_error>

namespace keysim {

namespace {

constexpr std::string_view kProbe = " QV-Key";
constexpr std::string_view kIdentification = "QV-Key";
constexpr std::uint16_t kSeedConstant = 0x5E2D;
// How long the key's thread waits in one poll before it looks at its stop flags again.
constexpr int kPollSlice = 20;
// How long the key waits for the rest of what may be a probe before taking it as a command.
constexpr auto kProbeWait = std::chrono::milliseconds(200);

int BaudOf(speed_t speed) {
  switch (speed) {
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
  }
}

// Ends a session: the port was closed, the key unplugged or stopped.
struct PortClosed {};
// A probe arrived while the key was keyed: answer it afresh.
struct Reprobe {};

}  // namespace

std::uint8_t KeyScramblerMirror::Unscramble(std::uint8_t wire) {
  // The link stepped, then sent ((b - hi) xor lo).
  Step();
  unsigned hi = state_ >> 8, lo = state_ & 0xFF;
  return static_cast<std::uint8_t>(((wire ^ lo) + hi) & 0xFF);
}

std::uint8_t KeyScramblerMirror::Scramble(std::uint8_t plain) {
  // The link hands on (lo - (hi xor c)) with the state before its step.
  unsigned hi = state_ >> 8, lo = state_ & 0xFF;
  auto wire = static_cast<std::uint8_t>(((lo - plain) ^ hi) & 0xFF);
  Step();
  return wire;
}

void KeyScramblerMirror::Step() {
  unsigned hi = state_ >> 8, lo = state_ & 0xFF;
  unsigned x = hi ^ lo;
  unsigned f = ((x & 0x80) ? 1u : 0u) ^ ((x & 0x02) ? 1u : 0u);
  unsigned new_hi = ((hi << 1) | (lo & 1)) & 0xFF;
  unsigned new_lo = (lo >> 1) | (f << 7);
  state_ = static_cast<std::uint16_t>((new_hi << 8) | new_lo);
}

std::uint16_t KeyIo::Word() {
  std::uint16_t low = Byte();
  std::uint16_t high = Byte();
  return static_cast<std::uint16_t>(low | ((high & 0x0F) << 8));
}

void KeyIo::SendWord(std::uint16_t word) {
  std::uint8_t bytes[2] = {static_cast<std::uint8_t>(word & 0xFF),
                           static_cast<std::uint8_t>((word >> 8) & 0x0F)};
  Send(bytes);
}

// One open of the port, from the first byte to the close.
class SimulatedKey::Session : public KeyIo {
 public:
  explicit Session(SimulatedKey& key) : key_(key), config_(key.config_) {}
  using KeyIo::Send;

  void Serve() {
    try {
      AwaitProbe();
      for (;;) {
        try {
          Handshake();
          for (;;) Command();
        } catch (const Reprobe&) {
        }
      }
    } catch (const PortClosed&) {
    }
  }

  std::uint8_t Byte() override {
    auto b = mirror_.Unscramble(Raw());
    Record(b);
    return b;
  }

  void Send(std::span<const std::uint8_t> plain) override {
    std::vector<std::uint8_t> wire;
    for (auto b : plain) wire.push_back(mirror_.Scramble(b));
    Publish();
    Reply(wire);
  }

 private:
  void AwaitProbe() {
    std::string recent;
    while (recent != kProbe) {
      recent += static_cast<char>(Raw());
      if (recent.size() > kProbe.size()) recent.erase(0, 1);
    }
  }

  void Handshake() {
    std::vector<std::uint8_t> answer(kIdentification.begin(), kIdentification.end());
    if (config_.wrong_id_at >= 0 && config_.wrong_id_at < static_cast<int>(answer.size()))
      answer[static_cast<std::size_t>(config_.wrong_id_at)] ^= 0x20;
    answer.push_back(config_.seed_low);
    answer.push_back(config_.seed_high);
    answer.push_back(config_.firmware);
    if (config_.answer_cut >= 0 && config_.answer_cut < static_cast<int>(answer.size()))
      answer.resize(static_cast<std::size_t>(config_.answer_cut));
    mirror_.SetState(
        static_cast<std::uint16_t>((config_.seed_low ^ kSeedConstant) ^ (config_.seed_high << 8)));
    keyed_ = true;
    command_bytes_ = 0;
    {
      std::lock_guard lock(key_.mutex_);
      key_.command_bytes_.clear();
    }
    Publish();
    key_.handshake_speed_ = speed_;
    ++key_.handshakes_;
    // The observations first: the link may look at them as soon as it has the answer.
    Reply(answer);
  }

  void Command() {
    if (ProbeAhead()) throw Reprobe{};
    std::uint8_t command = Byte();
    if (Handler handler = key_.HandlerOf(command)) {
      handler(*this);
    } else if (command == 0) {
      SendWord(0);
      Send(0);
    }
    Publish();
  }

  // A probe that comes while the key is keyed starts a new handshake: the link opened again
  // before the key saw the close.
  bool ProbeAhead() {
    while (pending_.empty()) ReadMore(-1);
    auto deadline = std::chrono::steady_clock::now() + kProbeWait;
    for (;;) {
      std::size_t n = std::min(pending_.size(), kProbe.size());
      if (!std::equal(pending_.begin(), pending_.begin() + static_cast<long>(n), kProbe.begin()))
        return false;
      if (n == kProbe.size()) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(n));
        return true;
      }
      if (std::chrono::steady_clock::now() >= deadline) return false;
      ReadMore(kPollSlice);
    }
  }

  std::uint8_t Raw() {
    while (pending_.empty()) ReadMore(-1);
    auto b = pending_.front();
    pending_.pop_front();
    return b;
  }

  // Takes what the link sent within one poll slice (or waits for input when `slice` is -1),
  // echoing it. Throws PortClosed when the port is closed or the key stopped.
  void ReadMore(int slice) {
    for (;;) {
      if (key_.stop_ || key_.unplug_) throw PortClosed{};
      pollfd entry{key_.master_, POLLIN, 0};
      int ready = ::poll(&entry, 1, kPollSlice);
      if (ready < 0 && errno != EINTR) throw PortClosed{};
      if (ready > 0 && (entry.revents & POLLIN)) {
        std::uint8_t chunk[4096];
        ssize_t got = ::read(key_.master_, chunk, sizeof chunk);
        if (got <= 0) {
          if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
          throw PortClosed{};
        }
        Take(std::span<const std::uint8_t>(chunk, static_cast<std::size_t>(got)));
        return;
      }
      if (ready > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL))) throw PortClosed{};
      if (slice >= 0) return;
    }
  }

  void Take(std::span<const std::uint8_t> chunk) {
    termios settings{};
    speed_ = ::tcgetattr(key_.master_, &settings) == 0 ? BaudOf(::cfgetospeed(&settings)) : 0;
    if (config_.silent) return;
    if (std::find(config_.speeds.begin(), config_.speeds.end(), speed_) == config_.speeds.end()) {
      key_.noise_bytes_ += static_cast<long>(chunk.size());
      return;
    }
    std::vector<std::uint8_t> heard;
    for (auto b : chunk) {
      if (keyed_) {
        if (config_.hang_up_after >= 0 && command_bytes_ >= config_.hang_up_after) {
          key_.unplug_ = true;
          throw PortClosed{};
        }
        if (config_.stall_after >= 0 && command_bytes_ >= config_.stall_after) break;
        ++command_bytes_;
      }
      heard.push_back(b);
    }
    std::vector<std::uint8_t> echo = heard;
    if (config_.wrong_echo)
      for (auto& b : echo) b = static_cast<std::uint8_t>(~b);
    Write(echo);
    pending_.insert(pending_.end(), heard.begin(), heard.end());
  }

  void Reply(std::span<const std::uint8_t> wire) {
    if (config_.reply_delay.count() > 0) std::this_thread::sleep_for(config_.reply_delay);
    Write(wire);
  }

  void Write(std::span<const std::uint8_t> bytes) {
    if (!config_.split_replies) {
      key_.WriteMaster(bytes);
      return;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      key_.WriteMaster(bytes.subspan(i, 1));
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }

  void Record(std::uint8_t b) {
    std::lock_guard lock(key_.mutex_);
    key_.command_bytes_.push_back(b);
  }

  void Publish() {
    std::lock_guard lock(key_.mutex_);
    key_.scrambler_state_ = mirror_.State();
  }

  SimulatedKey& key_;
  const KeyConfig& config_;
  std::deque<std::uint8_t> pending_;
  KeyScramblerMirror mirror_;
  bool keyed_ = false;
  long command_bytes_ = 0;
  int speed_ = 0;
};

SimulatedKey::SimulatedKey(KeyConfig config) : config_(std::move(config)) {
  int slave = -1;
  char name[256] = {};
  if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0)
    throw std::system_error(errno, std::generic_category(), "openpty");
  device_path_ = name;
  // Raw from the start, so that bytes put in before the IDE opens are not echoed back by the
  // terminal's line discipline.
  termios settings{};
  if (::tcgetattr(slave, &settings) == 0) {
    ::cfmakeraw(&settings);
    ::tcsetattr(slave, TCSANOW, &settings);
  }
  // The key sees the IDE's closes as hang-ups only while nobody else holds the slave.
  ::close(slave);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  thread_ = std::thread([this] { Run(); });
}

SimulatedKey::~SimulatedKey() {
  Stop();
  life_.reset();
  if (master_ >= 0) ::close(master_);
}

void SimulatedKey::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void SimulatedKey::Handle(std::uint8_t command, Handler handler) {
  std::lock_guard lock(handlers_mutex_);
  handlers_[command] = std::move(handler);
}

SimulatedKey::Handler SimulatedKey::HandlerOf(std::uint8_t command) const {
  std::lock_guard lock(handlers_mutex_);
  auto found = handlers_.find(command);
  return found == handlers_.end() ? Handler() : found->second;
}

void SimulatedKey::Inject(std::span<const std::uint8_t> bytes) { WriteMaster(bytes); }

void SimulatedKey::HangUp() {
  unplug_ = true;
  // Wait until the key's thread has let go of the terminal, so that the IDE's next
  // operation meets an unplugged key.
  while (!unplugged_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

std::uint16_t SimulatedKey::ScramblerState() const {
  std::lock_guard lock(mutex_);
  return scrambler_state_;
}

std::vector<std::uint8_t> SimulatedKey::CommandBytes() const {
  std::lock_guard lock(mutex_);
  return command_bytes_;
}

void SimulatedKey::WriteMaster(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  std::size_t done = 0;
  // A link that reads nothing fills the terminal's buffer; the key then drops the rest
  // rather than hang.
  int stalls = 0;
  while (done < bytes.size() && master_ >= 0 && stalls < 50) {
    ssize_t put = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (put > 0) {
      done += static_cast<std::size_t>(put);
      continue;
    }
    if (put < 0 && errno == EINTR) continue;
    if (put < 0 && errno != EAGAIN) return;
    pollfd entry{master_, POLLOUT, 0};
    if (::poll(&entry, 1, kPollSlice) == 0) ++stalls;
  }
}

void SimulatedKey::Run() {
  while (!stop_) {
    if (unplug_) {
      std::lock_guard lock(mutex_);
      ::close(master_);
      master_ = -1;
      unplugged_ = true;
      return;
    }
    pollfd entry{master_, POLLIN, 0};
    int ready = ::poll(&entry, 1, 0);
    if (ready > 0 && (entry.revents & POLLHUP) && !(entry.revents & POLLIN)) {
      // Nobody has the port open.
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      continue;
    }
    Session session(*this);
    session.Serve();
  }
}

}  // namespace keysim
