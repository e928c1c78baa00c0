#pragma once
// The ProgrammingImage of a debug run: the WorkingImage with the DebugMonitor in the last 137
// words of program memory, the program's reset jump moved into the monitor, and a jump from
// the last word through two free words of the first page into the monitor.

#include "build_debug/image/object_image.h"

namespace build_debug {

inline constexpr char kDebugNeedsNoWatchdog[] = "ERROR! Debug requires that Watchdog is disabled";
inline constexpr char kDebugNeedsFirstPageWords[] =
    "ERROR! Debug requires 2 free words on the first page";
inline constexpr char kDebugNeedsResetJump[] =
    "ERROR! Debug requires RESET jump at the end of memory";
inline constexpr char kDebugNeedsMonitorWords[] =
    "ERROR! Debug requires 136 free words at the end of the last page";

// Checks in this order: watchdog off, a free pair on the first page, a reset jump in the last
// word, 136 free words before it. The first failed check leaves Failed at 1 with its message
// as ErrorText and the ProgrammingImage partly written: it must not be programmed then.
void BuildDebugImage(ObjectImage& image);

}  // namespace build_debug
