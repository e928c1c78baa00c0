#include "services/replace_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

#include "platform/text.h"

namespace workbench {
namespace {

// Every temporary of a save is named "<prefix><pid>-<random>-<check>" in the file's folder:
// its name never depends on the file's, so a file of the longest name the system takes still
// has room beside it, and the prefix, the writer and the check of its bytes tell our own
// temporaries from any file a user keeps there.
constexpr char kTemporaryPrefix[] = ".qvkey-save-";
// A full copy of a file that is written over in place; it stays when that write is cut off,
// so nothing ever removes it but the save that made it.
constexpr char kCopyPrefix[] = ".qvkey-copy-";
// As many links as the system itself follows before it gives up.
constexpr int kMostLinks = 40;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Sixteen hex digits in the lower case Hex16 writes: a name in the other case is not ours.
bool ParseHex16(std::string_view text, std::uint64_t& value) {
  if (text.size() != 16) return false;
  std::uint64_t read = 0;
  for (char c : text) {
    const int digit = platform::HexDigitValue(c);
    if (digit < 0 || platform::LowerAscii(c) != c) return false;
    read = read << 4 | static_cast<std::uint64_t>(digit);
  }
  value = read;
  return true;
}

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string Hex16(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string TemporaryName(const char* prefix, std::uint64_t random, std::uint64_t check) {
  return prefix + std::to_string(::getpid()) + "-" + Hex16(random) + "-" + Hex16(check);
}

std::uint64_t RandomNumber(std::random_device& random) {
  return (static_cast<std::uint64_t>(random()) << 32) ^ random();
}

// The temporary's writer and the check of the bytes it was to hold, when entry is named as our
// temporaries are.
bool ParseTemporaryName(std::string_view entry, pid_t& writer, std::uint64_t& check) {
  const std::string_view prefix = kTemporaryPrefix;
  if (entry.substr(0, prefix.size()) != prefix) return false;
  entry.remove_prefix(prefix.size());
  const std::size_t dash = entry.find('-');
  if (dash == std::string_view::npos || !AllDigits(entry.substr(0, dash))) return false;
  const std::string_view rest = entry.substr(dash + 1);
  std::uint64_t random = 0;
  std::uint64_t bytes_check = 0;
  if (rest.size() != 33 || rest[16] != '-' || !ParseHex16(rest.substr(0, 16), random) ||
      !ParseHex16(rest.substr(17), bytes_check))
    return false;
  writer = static_cast<pid_t>(std::stol(std::string(entry.substr(0, dash))));
  check = bytes_check;
  return true;
}

bool ReadWhole(int fd, std::string& bytes) {
  bytes.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
}

// A temporary of ours holding exactly the bytes its name was made for.
bool HoldsWhatItsNameSays(const std::string& path, std::uint64_t check) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  std::string bytes;
  const bool whole = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ReadWhole(fd, bytes);
  ::close(fd);
  return whole && CheckOfBytes(bytes) == check;
}

// A save killed after its temporary was whole, before the rename, left it in the folder; the
// next save there removes it. A temporary of a process still running may be a save in
// progress and stays, and so does every file whose bytes are not the ones its name was made
// for.
void RemoveLeftTemporaries(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    pid_t writer = 0;
    std::uint64_t check = 0;
    if (!ParseTemporaryName(entry->d_name, writer, check)) continue;
    if (writer <= 0 || writer == ::getpid()) continue;
    if (::kill(writer, 0) == 0 || errno != ESRCH) continue;
    const std::string path = folder + "/" + entry->d_name;
    if (HoldsWhatItsNameSays(path, check)) ::unlink(path.c_str());
  }
  ::closedir(dir);
}

// Makes the folder's entries as durable as the files in it.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
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

std::uint64_t CheckOfBytes(std::string_view bytes) {
  std::uint64_t check = 14695981039346656037ull;
  for (unsigned char c : bytes) check = (check ^ c) * 1099511628211ull;
  return check;
}

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

namespace {

// A new file beside the old one: the bytes are written to it and it takes the old file's place
// by a rename, or it is gone again. false with reason (or, with in_place, because the old file's
// owner could not be given to it: the file must then be written over in place).
[[nodiscard]] bool ReplaceByRename(const std::string& target, const struct stat* old_file,
                                   std::string_view bytes, const FileBytesWriter& writer,
                                   unsigned create_mode, bool& in_place, std::string& reason) {
  const std::string folder = FolderOf(target);
  const std::uint64_t check = CheckOfBytes(bytes);
  std::random_device random;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = folder + "/" + TemporaryName(kTemporaryPrefix, RandomNumber(random), check);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                static_cast<mode_t>(create_mode));
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  // The owner first: a change of owner takes the set-id bits away again.
  if (old_file && ::fchown(fd, old_file->st_uid, old_file->st_gid) != 0) {
    ::close(fd);
    ::unlink(temporary.c_str());
    in_place = true;
    return false;
  }
  errno = 0;
  bool ok = writer(fd, bytes) && ::fsync(fd) == 0;
  if (ok && old_file) {
    mode_t mode = old_file->st_mode & 07777;
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

// Writes bytes into fd from its start and cuts it there; false with errno set.
bool WriteFromStart(int fd, std::string_view bytes, const FileBytesWriter& writer) {
  errno = 0;
  return ::lseek(fd, 0, SEEK_SET) == 0 && writer(fd, bytes) &&
         ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

// For a file whose other names (hard links) or owner a new file could not keep: a full copy of
// the old bytes goes to disk first, then the file itself is written over. A failed write puts
// the old bytes back; only when that fails too does the copy stay, and reason names it.
[[nodiscard]] bool WriteOverInPlace(const std::string& target, const struct stat& old_file,
                                    std::string_view bytes, const FileBytesWriter& writer,
                                    std::string& reason) {
  const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
  std::string old_bytes;
  if (fd < 0 || !ReadWhole(fd, old_bytes)) {
    reason = std::strerror(errno);
    if (fd >= 0) ::close(fd);
    return false;
  }
  const std::string folder = FolderOf(target);
  std::random_device random;
  std::string copy;
  int copy_fd = -1;
  for (int attempt = 0; attempt < 100 && copy_fd < 0; ++attempt) {
    copy = folder + "/" + TemporaryName(kCopyPrefix, RandomNumber(random), CheckOfBytes(old_bytes));
    copy_fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (copy_fd < 0 && errno != EEXIST) break;
  }
  bool copied = copy_fd >= 0 && WriteAllBytes(copy_fd, old_bytes) && ::fsync(copy_fd) == 0;
  const int copy_error = errno;
  if (copy_fd >= 0) copied = ::close(copy_fd) == 0 && copied;
  if (!copied) {
    reason = std::strerror(copy_error != 0 ? copy_error : EIO);
    if (copy_fd >= 0) ::unlink(copy.c_str());
    ::close(fd);
    return false;
  }
  SyncFolder(folder);
  const bool written = WriteFromStart(fd, bytes, writer);
  const int write_error = errno != 0 ? errno : EIO;
  const bool whole = written || WriteFromStart(fd, old_bytes, WriteAllBytes);
  if (!written && whole) {
    // The old bytes back with their old time: the editors do not take them for another
    // program's.
    const struct timespec times[2] = {old_file.st_atim, old_file.st_mtim};
    (void)::futimens(fd, times);
  }
  const bool closed = ::close(fd) == 0;
  if (written && closed) {
    ::unlink(copy.c_str());
    return true;
  }
  reason = std::strerror(written ? (errno != 0 ? errno : EIO) : write_error);
  if (whole && closed) {
    ::unlink(copy.c_str());
  } else {
    reason += "; the old text is kept in " + copy;
  }
  return false;
}

}  // namespace

bool ReplaceFileContents(const std::string& file_name, std::string_view bytes, std::string& reason,
                         const FileBytesWriter& writer, unsigned create_mode) {
  // Through a link the file it names is replaced; the link stays as it was.
  std::string target;
  if (!ResolveLinks(file_name, target, reason)) return false;
  RemoveLeftTemporaries(FolderOf(target));
  struct stat old_file {};
  const bool existed = ::stat(target.c_str(), &old_file) == 0;
  // A new file in its place would leave the other names of a hard-linked file with the old
  // text.
  bool in_place = existed && S_ISREG(old_file.st_mode) && old_file.st_nlink > 1;
  if (!in_place && ReplaceByRename(target, existed ? &old_file : nullptr, bytes, writer,
                                   create_mode, in_place, reason))
    return true;
  if (!in_place) return false;
  return WriteOverInPlace(target, old_file, bytes, writer, reason);
}

}  // namespace workbench
