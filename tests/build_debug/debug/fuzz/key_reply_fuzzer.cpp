// libFuzzer target over the key's and the debug monitor's replies: every command of the key
// protocol and of the debug protocol, with the input as what the key answers. Any reply is
// taken or refused with a link or key error, never a crash, a read outside a buffer or a
// wait without end.
//
// Input: byte 0 picks the command (modulo the table below), bytes 1-3 are the key's seed and
// firmware bytes of the handshake, and the rest are the key's plain reply bytes, scrambled
// on the way in as the key would. The port stands in for the serial layer: it echoes every
// byte, answers the probe at once and, when the replies run out, hangs up as an unplugged
// key does, so that no input waits out a time-out.

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/key/key_link.h"
#include "build_debug/key/key_protocol.h"
#include "platform/serial_port.h"
#include "tests/build_debug/image/fuzz/image_fuzz_session.h"
#include "tests/build_debug/key/ignored_notifications.h"
#include "tests/build_debug/tools/fuzz/fuzz_messages.h"
#include "tests/keysim/simulated_key.h"

namespace {

// What the key says: the seed of its handshakes and the plain bytes of its replies.
struct KeyScript {
  std::uint8_t seed_low = 0x3C;
  std::uint8_t seed_high = 0xA7;
  std::uint8_t firmware = 3;
  std::string_view replies;
};

class ScriptedPort : public platform::SerialPort {
 public:
  explicit ScriptedPort(KeyScript& script) : script_(script) {}

  bool Read(std::span<std::uint8_t> buffer, std::chrono::milliseconds,
            std::size_t& count) override {
    count = 0;
    if (!wire_.empty()) {
      while (count < buffer.size() && !wire_.empty()) {
        buffer[count++] = wire_.front();
        wire_.pop_front();
      }
      return true;
    }
    if (!keyed_ || script_.replies.empty() || buffer.empty()) return false;
    // One byte a read: the key scrambles it in step with what the link sent before it.
    buffer[0] = mirror_.Scramble(static_cast<std::uint8_t>(script_.replies.front()));
    script_.replies.remove_prefix(1);
    count = 1;
    return true;
  }

  bool Write(std::span<const std::uint8_t> bytes, std::chrono::milliseconds,
             std::size_t& count) override {
    for (std::uint8_t b : bytes) {
      wire_.push_back(b);  // the echo
      if (keyed_) {
        static_cast<void>(mirror_.Unscramble(b));
        continue;
      }
      probe_ += static_cast<char>(b);
      if (probe_.ends_with(build_debug::KeyLink::kProbe)) Answer();
    }
    count = bytes.size();
    return true;
  }

  const std::string& DevicePath() const override { return path_; }

 private:
  void Answer() {
    for (char c : build_debug::KeyLink::kIdentification)
      wire_.push_back(static_cast<std::uint8_t>(c));
    wire_.push_back(script_.seed_low);
    wire_.push_back(script_.seed_high);
    wire_.push_back(script_.firmware);
    mirror_.SetState(static_cast<std::uint16_t>((script_.seed_low ^ build_debug::kScramblerSeed) ^
                                                (script_.seed_high << 8)));
    keyed_ = true;
  }

  KeyScript& script_;
  std::deque<std::uint8_t> wire_;
  std::string probe_;
  bool keyed_ = false;
  keysim::KeyScramblerMirror mirror_;
  std::string path_ = "/fuzz/key";
};

class ScriptedOpener : public platform::SerialPortOpener {
 public:
  explicit ScriptedOpener(KeyScript& script) : script_(script) {}
  platform::SerialOpenResult Open(std::string_view, int) override {
    return {std::make_unique<ScriptedPort>(script_), {}};
  }

 private:
  KeyScript& script_;
};

struct KeySession : build_debug::ImageFuzzSession, build_debug::FuzzMessages {
  KeyScript script;
  ScriptedOpener opener{script};
  build_debug::KeyLink link{opener, strings};
  gui::IgnoredNotifications notifications;
  build_debug::QvKeyUnit key{link, *image, strings, notifications};
  // Each look at the clock is 50 ms later, so that a wait for the chip ends after 20 polls.
  std::chrono::steady_clock::time_point clock{};
  build_debug::DebugProtocol debug{link, key, *image, strings, [this] {
                                     clock += std::chrono::milliseconds(50);
                                     return clock;
                                   }};

  KeySession() {
    link.ComInit();
    link.SetSettleTime(std::chrono::milliseconds(0));
    key.QVU_Init();
    // A short program, so that programming and reading have words to move.
    for (int w = 0; w < 40; ++w)
      image->ProgrammingImage[w] = build_debug::UsedWord(static_cast<std::uint16_t>(0x800 + w));
    build_debug::CopyProgrammingToWorking(*image);
  }
};

// The commands that need the key open first run between an open and a close.
void WithOpenKey(KeySession& s, bool (*command)(KeySession&)) {
  if (!s.link.OpenKey()) {
    s.link.ReportLinkError();
    return;
  }
  static_cast<void>(command(s));
  s.link.CloseKey();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One session for every input, as in the IDE; libFuzzer's entry point leaves no other place.
  static KeySession session;
  KeySession& s = session;
  if (size < 4) return 0;
  s.script.seed_low = data[1];
  s.script.seed_high = data[2];
  s.script.firmware = data[3];
  s.script.replies = std::string_view(reinterpret_cast<const char*>(data) + 4, size - 4);
  s.boxes.Clear();
  s.image->Device4K = data[0] & 0x80 ? 1 : 0;
  s.key.UpdateMemorySize();

  using Command = bool (*)(KeySession&);
  static constexpr Command kOpenCommands[] = {
      [](KeySession& k) { return k.key.EraseQV(); },
      [](KeySession& k) {
        std::uint16_t count = 0;
        return k.key.MeasureOscillator(k.image->WorkingImage[build_debug::kFusexIndex], count);
      },
      [](KeySession& k) { return k.key.CalibrateIrc(); },
      [](KeySession& k) { return k.key.ClockOn(); },
      [](KeySession& k) { return k.key.ClockOff(); },
      [](KeySession& k) { return k.key.ReleaseChip(); },
      [](KeySession& k) { return k.debug.SendDebugResume(build_debug::kActionRefresh); },
      [](KeySession& k) { return k.debug.SendDebugResume(build_debug::kActionStep); },
      [](KeySession& k) { return k.debug.SendDebugResume(build_debug::kActionRunToBreak); },
      [](KeySession& k) { return k.debug.SendDebugResume(build_debug::kActionRunFree); },
      [](KeySession& k) { return k.debug.SendDebugResume(build_debug::kActionReset); },
      [](KeySession& k) {
        return k.debug.Poll() == build_debug::DebugProtocol::PollResult::Stopped;
      },
      [](KeySession& k) { return k.debug.QVU_GetDebugData(); },
      [](KeySession& k) {
        k.debug.UpdateDebugData();
        return true;
      },
      [](KeySession& k) { return k.debug.WriteRegister(k.script.firmware, k.script.seed_low); },
  };
  constexpr int kOwnOpen = 4;  // verify, read, program, program and run
  const int pick = (data[0] & 0x7F) % (kOwnOpen + static_cast<int>(std::size(kOpenCommands)));
  switch (pick) {
    case 0: static_cast<void>(s.key.QVU_VerifyKey()); break;
    case 1: static_cast<void>(s.key.ReadQV()); break;
    case 2: s.key.ProgramQV(false); break;
    case 3: s.key.ProgramQV(true); break;
    default: WithOpenKey(s, kOpenCommands[pick - kOwnOpen]);
  }
  s.link.ClosePortHandle();
  return 0;
}
