#pragma once
// The Run menu's commands that reach the debug and clock windows: Debug programs the chip
// for debugging (the debug window then comes with WM_DEBUG_PROGRAMMED), Debug (reenter)
// takes the chip as programmed already and shows the debug window, Clock opens the link and
// shows the clock window modally. The main window binds the hooks.

#include <functional>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/key/key_link.h"
#include "build_debug/key/key_protocol.h"

namespace build_debug {

struct DebugRunHooks {
  std::function<void()> hide_debug_window;
  std::function<void()> show_debug_window;
  // Builds the current file; a failed build raises the silent abort.
  std::function<void()> assemble_current;
  // A C compiler's output is loaded: nothing is built.
  std::function<bool()> wrenfield_mode;
  // Shows the clock window modally, with the clock tool button off meanwhile.
  std::function<void()> show_clock_window;
  std::function<void(bool enabled)> enable_clock_button;
};

class DebugRunCommands {
 public:
  DebugRunCommands(KeyLink& link, QvKeyUnit& key, DebugProtocol& debug, DebugRunHooks hooks)
      : link_(link), key_(key), debug_(debug), hooks_(std::move(hooks)) {}

  // These may raise the silent abort (a failed build, an image that cannot be debugged).
  void RunDebug();
  void RunDebugAgain();
  void RunClock();

 private:
  // Hides the debug window, builds unless in Wrenfield mode, checks the debug image and the
  // key; true when the key answered. False, with nothing said, when a run started during the
  // build holds the key.
  bool PrepareDebug();

  KeyLink& link_;
  QvKeyUnit& key_;
  DebugProtocol& debug_;
  DebugRunHooks hooks_;
};

}  // namespace build_debug
