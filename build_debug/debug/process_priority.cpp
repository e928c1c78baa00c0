#include "build_debug/debug/process_priority.h"

#include <sys/resource.h>

#include <cerrno>

namespace build_debug {

namespace {
// Enough to be served before ordinary processes, not a real-time class: the link waits in
// poll and must never starve the windows.
constexpr int kRaise = 5;
}  // namespace

void NiceProcessPriority::Raise() {
  if (raised_) return;
  errno = 0;
  int now = ::getpriority(PRIO_PROCESS, 0);
  if (now == -1 && errno != 0) return;
  if (::setpriority(PRIO_PROCESS, 0, now - kRaise) != 0) return;  // refused: left as it was
  before_ = now;
  raised_ = true;
}

void NiceProcessPriority::Restore() {
  if (!raised_) return;
  // Raising the niceness back needs no privilege.
  ::setpriority(PRIO_PROCESS, 0, before_);
  raised_ = false;
}

}  // namespace build_debug
