#include "assembler/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tarn {
namespace {

namespace fs = std::filesystem;

class SystemOutputStream : public OutputStream {
 public:
  explicit SystemOutputStream(std::FILE* file) : file_(file) {}
  ~SystemOutputStream() override { static_cast<void>(Close()); }

  bool Write(std::string_view bytes) override {
    if (!file_) return false;
    return std::fwrite(bytes.data(), 1, bytes.size(), file_) == bytes.size();
  }
  bool Close() override {
    if (!file_) return true;
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
  }

 private:
  std::FILE* file_;
};

class MemoryOutputStream : public OutputStream {
 public:
  explicit MemoryOutputStream(std::shared_ptr<std::string> bytes) : bytes_(std::move(bytes)) {}
  bool Write(std::string_view bytes) override {
    bytes_->append(bytes);
    return true;
  }
  bool Close() override { return true; }

 private:
  std::shared_ptr<std::string> bytes_;
};

// The folder part of a path, without its last "/"; "" for a name without one.
std::string ParentOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

bool SystemFileAccess::ReadSource(const std::string& path, std::string* bytes) {
  // Not blocking on open: a FIFO without a writer would wait for one.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
            static_cast<size_t>(st.st_size) <= kSourceSizeLimit;
  if (ok) {
    bytes->resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < bytes->size()) {
      ssize_t n = read(fd, bytes->data() + done, bytes->size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    // A file that shrank meanwhile is read as far as it went.
    bytes->resize(done);
  }
  close(fd);
  return ok;
}

bool SystemFileAccess::Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

std::vector<std::string> SystemFileAccess::FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

std::string SystemFileAccess::FullPath(const std::string& path) {
  std::error_code ec;
  fs::path full = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return ec ? path : full.string();
}

std::unique_ptr<OutputStream> SystemFileAccess::Create(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return nullptr;
  // The writers buffer their own bytes: each write goes straight through, so a failed one
  // shows at the write that failed.
  std::setvbuf(file, nullptr, _IONBF, 0);
  return std::make_unique<SystemOutputStream>(file);
}

void SystemFileAccess::Remove(const std::string& path) { std::remove(path.c_str()); }

bool SystemFileAccess::MakeFolder(const std::string& path) {
  std::error_code ec;
  fs::create_directory(path, ec);
  return !ec && fs::is_directory(path, ec);
}

bool SystemFileAccess::CanWrite(const std::string& folder) {
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string SystemFileAccess::UserDataFolder() {
  const auto absolute_folder = [](const char* name) -> std::string {
    const char* value = std::getenv(name);
    // A relative path would depend on where the program was started.
    if (!value || value[0] != '/') return "";
    std::string folder = value;
    return folder.back() == '/' ? folder : folder + "/";
  };
  if (std::string data = absolute_folder("XDG_DATA_HOME"); !data.empty()) return data + "QVKey/";
  if (std::string home = absolute_folder("HOME"); !home.empty())
    return home + ".local/share/QVKey/";
  return "";
}

void MemoryFileAccess::AddFile(const std::string& path, std::string bytes) {
  files_[path] = std::make_shared<std::string>(std::move(bytes));
}

const std::string* MemoryFileAccess::Find(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? nullptr : it->second.get();
}

std::vector<std::string> MemoryFileAccess::Paths() const {
  std::vector<std::string> paths;
  for (const auto& [path, bytes] : files_) paths.push_back(path);
  return paths;
}

bool MemoryFileAccess::ReadSource(const std::string& path, std::string* bytes) {
  const std::string* found = Find(path);
  if (!found || found->size() > kSourceSizeLimit) return false;
  *bytes = *found;
  return true;
}

bool MemoryFileAccess::Exists(const std::string& path) {
  return files_.count(path) != 0 || IsFolder(path);
}

std::vector<std::string> MemoryFileAccess::FolderNames(const std::string& folder) {
  std::set<std::string> names;
  std::string prefix = folder.empty() || folder.back() != '/' ? folder + "/" : folder;
  auto collect = [&](const std::string& path) {
    if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) return;
    std::string rest = path.substr(prefix.size());
    names.insert(rest.substr(0, rest.find('/')));
  };
  for (const auto& [path, bytes] : files_) collect(path);
  for (const std::string& path : folders_) collect(path);
  return {names.begin(), names.end()};
}

std::unique_ptr<OutputStream> MemoryFileAccess::Create(const std::string& path) {
  std::string parent = ParentOf(path);
  if (IsFolder(path) || (!parent.empty() && !IsFolder(parent))) return nullptr;
  if (!files_.count(path) && !CanWrite(parent)) return nullptr;
  auto bytes = std::make_shared<std::string>();
  files_[path] = bytes;
  return std::make_unique<MemoryOutputStream>(bytes);
}

bool MemoryFileAccess::MakeFolder(const std::string& path) {
  if (files_.count(path)) return false;
  if (IsFolder(path)) return true;
  if (!CanWrite(ParentOf(path))) return false;
  folders_.insert(path);
  return true;
}

void MemoryFileAccess::MakeReadOnly(const std::string& folder) {
  std::string name = folder;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  folders_.insert(name);
  read_only_.insert(name);
}

bool MemoryFileAccess::CanWrite(const std::string& folder) {
  std::string name = folder;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  return read_only_.count(name) == 0;
}

bool MemoryFileAccess::IsFolder(const std::string& path) const {
  if (path.empty() || path == "/" || folders_.count(path)) return true;
  std::string prefix = path.back() == '/' ? path : path + "/";
  auto after = files_.lower_bound(prefix);
  return after != files_.end() && after->first.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace tarn
