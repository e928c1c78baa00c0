#pragma once
// The clock, as a service: the tick count that time-outs and time slices are measured with,
// and waiting. Tests bind a clock that moves only when they move it.

#include <cstdint>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start; wraps around after 2^32.
  virtual std::uint32_t TickCount() const = 0;
  // Blocks the caller for at least the given milliseconds.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace platform
