#include "services/replace_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <random>

namespace workbench {
namespace {

constexpr char kTemporaryMark[] = ".tmp";
// As many links as the system itself follows before it gives up.
constexpr int kMostLinks = 40;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The process that wrote a temporary named "<file>.tmp<pid>_<number>", or 0 when the name is
// not one of ours for that file.
pid_t WriterOfTemporary(std::string_view entry, std::string_view base) {
  if (entry.size() <= base.size() || entry.substr(0, base.size()) != base) return 0;
  entry.remove_prefix(base.size());
  const std::string_view mark = kTemporaryMark;
  if (entry.substr(0, mark.size()) != mark) return 0;
  entry.remove_prefix(mark.size());
  const std::size_t underscore = entry.find('_');
  if (underscore == std::string_view::npos || underscore > 9) return 0;
  const std::string_view pid = entry.substr(0, underscore);
  if (!AllDigits(pid) || !AllDigits(entry.substr(underscore + 1))) return 0;
  return static_cast<pid_t>(std::stol(std::string(pid)));
}

// A save that was killed half way leaves its temporary beside the file; the next save of the
// file removes it. A temporary of a process still running may be a save in progress and stays.
void RemoveLeftTemporaries(const std::string& file_name) {
  const std::string folder = FolderOf(file_name);
  const std::string base = BaseName(file_name);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const pid_t writer = WriterOfTemporary(entry->d_name, base);
    if (writer <= 0 || writer == ::getpid()) continue;
    if (::kill(writer, 0) == 0 || errno != ESRCH) continue;
    ::unlink((folder + "/" + entry->d_name).c_str());
  }
  ::closedir(dir);
}

// The file that file_name finally names once every symbolic link on the way is followed (a
// relative link counts from the link's own folder); file_name itself when it is no link. False
// with reason for a loop of links.
[[nodiscard]] bool ResolveLinks(const std::string& file_name, std::string& target,
                                std::string& reason) {
  target = file_name;
  for (int hops = 0; hops <= kMostLinks; ++hops) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(target.c_str(), buffer, sizeof buffer - 1);
    if (length < 0) {
      reason = std::strerror(errno);
      return false;
    }
    const std::string link(buffer, static_cast<std::size_t>(length));
    if (link.front() == '/') {
      target = link;
    } else {
      target = FolderOf(target);
      target += '/';
      target += link;
    }
  }
  reason = std::strerror(ELOOP);
  return false;
}

}  // namespace

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

bool ReplaceFileContents(const std::string& file_name, std::string_view bytes, std::string& reason,
                         const FileBytesWriter& writer, unsigned create_mode) {
  // Through a link the file it names is replaced; the link stays as it was.
  std::string target;
  if (!ResolveLinks(file_name, target, reason)) return false;
  RemoveLeftTemporaries(target);
  struct stat old_file {};
  const bool existed = ::stat(target.c_str(), &old_file) == 0;
  std::random_device random;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary =
        target + kTemporaryMark + std::to_string(::getpid()) + "_" + std::to_string(random());
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
  if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
  if (!ok) {
    reason = std::strerror(write_error != 0 ? write_error : (errno != 0 ? errno : EIO));
    ::unlink(temporary.c_str());
  }
  return ok;
}

}  // namespace workbench
