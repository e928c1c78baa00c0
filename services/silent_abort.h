#pragma once
// The silent abort: a user's cancel (or a failed build) unwinds the current command without a
// further message. It never crosses the window toolkit's event loop: every slot and event
// entry point of the IDE runs its body through the guard of services/gui/guarded.h, which
// swallows it.

#include <exception>

namespace workbench {

class SilentAbort : public std::exception {
 public:
  const char* what() const noexcept override { return "Operation aborted"; }
};

[[noreturn]] inline void Abort() { throw SilentAbort(); }

}  // namespace workbench
