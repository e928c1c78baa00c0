#pragma once
// The termios speed constant of a baud rate, shared by the key's port and the serial-port
// component; nothing for a rate the ports do not offer.
#include <termios.h>

#include <optional>

namespace platform {

inline std::optional<speed_t> TermiosSpeed(int baud) {
  switch (baud) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return std::nullopt;
  }
}

}  // namespace platform
