#include "workbench/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

namespace workbench {

bool WriteAllBytes(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool ReplaceFileContents(const std::string& file_name, std::string_view bytes,
                         std::string& reason, const FileBytesWriter& writer,
                         unsigned create_mode) {
  struct stat old_file {};
  const bool existed = ::stat(file_name.c_str(), &old_file) == 0;
  std::random_device random;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = file_name + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(random());
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                static_cast<mode_t>(create_mode));
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  errno = 0;
  bool ok = writer(fd, bytes) && ::fsync(fd) == 0;
  if (ok && existed) {
    mode_t mode = old_file.st_mode & 07777;
    if (create_mode & 0111) mode |= (mode & 0444) >> 2;
    ok = ::fchmod(fd, mode) == 0;
  }
  const int write_error = errno;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temporary.c_str(), file_name.c_str()) == 0;
  if (!ok) {
    reason = std::strerror(write_error != 0 ? write_error : (errno != 0 ? errno : EIO));
    ::unlink(temporary.c_str());
  }
  return ok;
}

}  // namespace workbench
