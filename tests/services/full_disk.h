#pragma once
// A disk that fills up part way through a write: half the bytes reach the file, then the
// write fails with ENOSPC, as write(2) reports a full disk.

#include <cerrno>
#include <string_view>

#include "services/replace_file.h"

namespace workbench {

inline FileBytesWriter FullHalfWay() {
  return [](int fd, std::string_view bytes) {
    (void)WriteAllBytes(fd, bytes.substr(0, bytes.size() / 2));
    errno = ENOSPC;
    return false;
  };
}

}  // namespace workbench
