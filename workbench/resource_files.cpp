#include "workbench/resource_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <random>
#include <string_view>

#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/text.h"

namespace workbench {
namespace {

constexpr char kCaption[] = "Resource Problems";

std::string NameWithoutFolder(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsExecutableType(const std::string& type) {
  return platform::SameText(type, "EXE");
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// A new file beside the target, created with the usual permissions less the umask.
int CreateTemporary(const std::string& file_name, bool executable, std::string& temporary) {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = file_name + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(random());
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                    executable ? 0777 : 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Writes bytes to a temporary file and renames it over the target.
bool ReplaceFile(const std::string& file_name, std::string_view bytes, bool executable) {
  std::string temporary;
  int fd = CreateTemporary(file_name, executable, temporary);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temporary.c_str(), file_name.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

}  // namespace

bool SaveResourceToFile(const std::string& type, const std::string& name,
                        const std::string& file_name, platform::MessageBoxService& boxes) {
  std::optional<std::string_view> bytes = platform::FindTypedResource(type, name);
  if (!bytes) {
    boxes.Show({"Couldn't find resource called \"" + name + "\"", kCaption,
                platform::BoxButtons::Ok});
    return false;
  }
  if (!ReplaceFile(file_name, *bytes, IsExecutableType(type))) {
    boxes.Show({NameWithoutFolder(file_name) + " is in use.  Unable to save to disk.", kCaption,
                platform::BoxButtons::Ok});
    return false;
  }
  return true;
}

bool LoadTextResource(const std::string& type, const std::string& name,
                      std::vector<std::string>& lines) {
  std::optional<std::string_view> bytes = platform::FindTypedResource(type, name);
  if (bytes) lines = SplitLines(*bytes);
  return true;
}

}  // namespace workbench
