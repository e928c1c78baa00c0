#include "build_debug/debug/debug_run_commands.h"

#include <tuple>

namespace build_debug {

bool DebugRunCommands::PrepareDebug() {
  if (hooks_.hide_debug_window) hooks_.hide_debug_window();
  if (!(hooks_.wrenfield_mode && hooks_.wrenfield_mode()) && hooks_.assemble_current)
    hooks_.assemble_current();
  debug_.CheckDebugImage();
  // The build let the windows work: a run that the device window started meanwhile holds the
  // key, and tells its own end.
  if (key_.RunHoldsLink()) return false;
  if (key_.QVU_VerifyKey()) return true;
  link_.ReportLinkError();
  return false;
}

// Each command is refused while a programming run holds the link: its check of the key would
// send on, and close, the link the run is using, and its build would change the image.

void DebugRunCommands::RunDebug() {
  if (key_.RunHoldsLink()) return;
  // A refused start has nothing to tell: the run that holds the link tells its own end.
  if (PrepareDebug()) std::ignore = key_.StartDebugProgramQV(false);
}

void DebugRunCommands::RunDebugAgain() {
  if (key_.RunHoldsLink()) return;
  // The chip is taken as programmed for debugging already.
  if (PrepareDebug() && hooks_.show_debug_window) hooks_.show_debug_window();
}

void DebugRunCommands::RunClock() {
  if (key_.RunHoldsLink()) return;
  bool ok = key_.QVU_VerifyKey() && link_.OpenKey();
  if (!ok) {
    link_.ReportLinkError();
    return;
  }
  if (hooks_.enable_clock_button) hooks_.enable_clock_button(false);
  if (hooks_.show_clock_window) hooks_.show_clock_window();
  if (hooks_.enable_clock_button) hooks_.enable_clock_button(true);
}

}  // namespace build_debug
