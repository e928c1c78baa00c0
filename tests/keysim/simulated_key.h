#pragma once
// A simulated QV-Key on the far side of a pseudo-terminal. The IDE opens the terminal's slave
// path as its serial port (QVKEY_COM1=<path>); the key plays on the master: it echoes every
// byte it takes in, answers the probe " QV-Key" with "QV-Key", its two seed bytes and its
// firmware byte, then unscrambles commands and scrambles replies in lock-step with the link.
//
// The key listens only at the speeds it is configured for: bytes sent at another speed are
// noise to it and get neither echo nor answer (it reads the link's speed from the master).
// A close of the port resets it, as does a new probe, so every open starts a fresh handshake.
//
// Commands are handlers that pull plain bytes and push plain replies; later protocols add
// theirs with Handle(). Command 0 is built in (a word and a byte, both 0, unless a handler
// replaces it).
//
// Faults on demand: silence, speeds, a wrong identification character, an answer to the probe
// that breaks off, replies split into single bytes, a delay before each reply, an echo that differs
// from what was sent, a stall (the key goes quiet) or a hang-up (the key is unplugged) after some
// bytes of commands.
//
// The key runs on a thread of its own from construction to destruction; every member may be
// called from any other thread meanwhile.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace keysim {

struct KeyConfig {
  std::vector<int> speeds{57600, 19200};
  std::uint8_t seed_low = 0x3C;
  std::uint8_t seed_high = 0xA7;
  std::uint8_t firmware = 3;
  bool silent = false;
  int wrong_id_at = -1;                      // index into "QV-Key" of a wrong character
  bool split_replies = false;                // every echo and reply byte a write of its own
  std::chrono::milliseconds reply_delay{0};  // before every reply (not before echoes)
  bool wrong_echo = false;                   // echoes every byte inverted
  int answer_cut = -1;      // sends only this many bytes of its answer to the probe
  long stall_after = -1;    // command bytes after which the key stops echoing and answering
  long hang_up_after = -1;  // command bytes after which the key is unplugged
};

// The key's scrambler, written as the key's firmware sees it: the exact inverse of the link's
// transforms for the same state.
class KeyScramblerMirror {
 public:
  void SetState(std::uint16_t state) { state_ = state; }
  std::uint16_t State() const { return state_; }
  // The byte the link meant, for a byte taken from the wire.
  std::uint8_t Unscramble(std::uint8_t wire);
  // The byte to put on the wire so that the link hands on `plain`.
  std::uint8_t Scramble(std::uint8_t plain);

 private:
  void Step();
  std::uint16_t state_ = 0;
};

// Ends a command handler when the port closed, a new probe came, or the key stopped.
struct SessionEnded {};

class KeyIo {
 public:
  virtual ~KeyIo() = default;
  // The next plain byte of the command (throws SessionEnded).
  virtual std::uint8_t Byte() = 0;
  // A 12-bit word: low byte, then high nibble.
  std::uint16_t Word();
  virtual void Send(std::span<const std::uint8_t> plain) = 0;
  void Send(std::uint8_t plain) { Send(std::span<const std::uint8_t>(&plain, 1)); }
  void SendWord(std::uint16_t word);
};

class SimulatedKey {
 public:
  using Handler = std::function<void(KeyIo& io)>;

  explicit SimulatedKey(KeyConfig config = {});
  ~SimulatedKey();
  SimulatedKey(const SimulatedKey&) = delete;
  SimulatedKey& operator=(const SimulatedKey&) = delete;

  // The slave's path: what QVKEY_COMn points at.
  const std::string& DevicePath() const { return device_path_; }

  // Replaces the handler of a command byte; the key's thread takes the new one from its next
  // command on.
  void Handle(std::uint8_t command, Handler handler);
  // Puts raw bytes into the port, as line noise before the IDE opens it.
  void Inject(std::span<const std::uint8_t> bytes);
  // Unplugs the key now.
  void HangUp();
  // Ends the key's thread (the destructor does so too): what its handlers use may go after.
  void Stop();
  // Empty once the key is gone: for what must stop a key that may already have gone.
  std::weak_ptr<SimulatedKey*> Life() const { return life_; }
  // Unplugs the key when its thread next looks at the port; for handlers, which run on that
  // thread and so cannot wait for it.
  void HangUpSoon() { unplug_ = true; }

  int Handshakes() const { return handshakes_.load(); }
  // The speed of the last handshake.
  int HandshakeSpeed() const { return handshake_speed_.load(); }
  // Bytes that came at a speed the key does not run at.
  long NoiseBytes() const { return noise_bytes_.load(); }
  std::uint16_t ScramblerState() const;
  // Plain command bytes as the handlers took them, since the last handshake.
  std::vector<std::uint8_t> CommandBytes() const;

 private:
  class Session;
  void Run();
  // The handler of a command byte, or null.
  Handler HandlerOf(std::uint8_t command) const;
  void WriteMaster(std::span<const std::uint8_t> bytes);

  KeyConfig config_;
  int master_ = -1;
  std::string device_path_;
  // The test's thread installs handlers while the key's thread serves; a handler runs
  // without this lock held, since it writes to the master under mutex_.
  mutable std::mutex handlers_mutex_;
  std::map<std::uint8_t, Handler> handlers_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> unplug_{false};
  std::atomic<bool> unplugged_{false};
  std::atomic<int> handshakes_{0};
  std::atomic<int> handshake_speed_{0};
  std::atomic<long> noise_bytes_{0};
  mutable std::mutex mutex_;  // guards the observations below and writes to the master
  std::uint16_t scrambler_state_ = 0;
  std::vector<std::uint8_t> command_bytes_;
  std::shared_ptr<SimulatedKey*> life_ = std::make_shared<SimulatedKey*>(this);
  std::thread thread_;
};

}  // namespace keysim
