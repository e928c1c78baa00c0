#pragma once
// The debug protocol: how the IDE talks to the debug monitor in a chip through the key, and
// the debug state it keeps of that chip.
//
// Three commands of the key carry it: 5 polls the chip's status (one byte back), 6 reads its
// registers and RAM (a 24-byte header, then the RAM), and 7 sends a packet of tagged bytes
// that loads the chip's registers and tells the monitor what to do next. No reply follows a
// packet. Command 7 with the tags 1 and 2 alone writes one register.
//
// The debugger window drives it, the register, code, watch and list windows show it; both
// plug in from above (DebugWindowHooks, DebugView). GUI thread only: the link is used
// synchronously, and the programming worker is not running during a session.

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "build_debug/debug/debug_state.h"
#include "build_debug/image/object_image.h"
#include "build_debug/key/key_link.h"
#include "build_debug/key/key_protocol.h"

namespace workbench {
class MessageStrings;
}

namespace build_debug {

// A window that shows the debug state. Views are asked in the order they registered.
class DebugView {
 public:
  virtual ~DebugView() = default;
  virtual bool IsShowing() const = 0;
  // After a refresh: follow the PC where the view does, redraw, and mark what differs from
  // the current snapshot, except on the first refresh of a session.
  virtual void RedrawDebugState(bool first_refresh) = 0;
  // The breakpoint moved.
  virtual void RedrawBreakpoint() = 0;
};

// The debugger window, as the protocol reaches it.
class DebugWindowHooks {
 public:
  virtual ~DebugWindowHooks() = default;
  // Hiding the window ends the session.
  virtual void HideDebugWindow() = 0;
  virtual void UpdateButtons() = 0;
};

// The monitor's status byte when the chip is stopped in it; 1 is sleeping, the rest running.
constexpr std::uint8_t kStatusStopped = 2;
constexpr std::uint8_t kStatusSleeping = 1;

inline constexpr char kChipConnectionFailed[] = "Chip connection failed.";
inline constexpr char kUpdateDebugDataCaption[] = "UpdateDebugData()";

class DebugProtocol {
 public:
  using Now = KeyLink::Now;
  // How long UpdateDebugData waits for the chip to stop.
  static constexpr auto kStopWait = std::chrono::milliseconds(1000);
  static constexpr int kPacketLength = 28;  // bytes after the count: 14 (tag, value) pairs
  static constexpr int kHeaderLength = 24;
  static constexpr int kRam4K = 240;  // registers 16..255 of the 4,096-word parts

  DebugProtocol(KeyLink& link, QvKeyUnit& key, ObjectImage& image,
                const workbench::MessageStrings& messages,
                Now now = std::chrono::steady_clock::now);
  DebugProtocol(const DebugProtocol&) = delete;
  DebugProtocol& operator=(const DebugProtocol&) = delete;

  void AddView(DebugView& view);
  void RemoveView(DebugView& view);
  // Null when no debugger window is there.
  void SetDebugWindow(DebugWindowHooks* window) { window_ = window; }

  // The debug packet with the live state and the action; the result is the flush's. The
  // state is not fresh from here on.
  [[nodiscard]] bool SendDebugResume(std::uint16_t action);
  enum class PollResult { Stopped, Running, Failed };
  // The status poll. A failed poll reports the link error and hides the debugger window.
  [[nodiscard]] PollResult Poll();
  // Reports the link's failure, then hides the debugger window, which ends the session.
  void EndSessionOnLinkFailure();
  // Reads the chip into the live record; false when a read failed.
  [[nodiscard]] bool QVU_GetDebugData();
  // Stops the chip, waits up to a second for it to say so, reads it and redraws the views.
  void UpdateDebugData();
  void RedrawDebugViews();
  void TakeDebugSnapshot();
  // Changes one register (slot) to a byte value; true when it went out by its own command.
  [[nodiscard]] bool WriteRegister(int reg, std::uint8_t value);
  void ToggleBreakpoint(int address);
  void SetProgramCounter(int address);
  // Builds the debug image; when it cannot be built, shows why and aborts the command.
  void CheckDebugImage();

  DebugState& Live() { return live_; }
  const DebugState& Live() const { return live_; }
  const DebugState& Current() const { return current_; }
  const DebugState& Previous() const { return previous_; }
  std::uint8_t LastStatus() const { return last_status_; }
  void SetLastStatus(std::uint8_t status) { last_status_ = status; }
  bool FreshData() const { return fresh_data_; }
  void SetFreshData(bool fresh) { fresh_data_ = fresh; }
  std::uint16_t LastAction() const { return last_action_; }
  bool FirstRefresh() const { return first_refresh_; }
  void SetFirstRefresh(bool first) { first_refresh_ = first; }
  // Program words of the chip being debugged (N).
  int MemoryWords() const { return key_.MemoryWords(); }
  bool Device4K() const { return image_.Device4K != 0; }

 private:
  bool IsUsedWord(int address) const;

  KeyLink& link_;
  QvKeyUnit& key_;
  ObjectImage& image_;
  const workbench::MessageStrings& messages_;
  Now now_;
  std::vector<DebugView*> views_;
  DebugWindowHooks* window_ = nullptr;

  DebugState live_;
  DebugState current_;
  DebugState previous_;
  std::uint8_t last_status_ = 0;
  bool fresh_data_ = false;
  std::uint16_t last_action_ = 0;
  bool first_refresh_ = false;
};

}  // namespace build_debug
