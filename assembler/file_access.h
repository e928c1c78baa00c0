#pragma once
// The files a run reads and writes, as a service: `main` binds the machine's own, and a
// fuzzer or a test binds files kept in memory, so that many runs in one process never touch
// the disk. Paths are absolute and POSIX, as the run makes them.

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// A source or include file larger than this is refused as one that cannot be opened: every
// file is read whole into memory.
inline constexpr size_t kSourceSizeLimit = size_t{256} << 20;

// One file being written.
class OutputStream {
 public:
  virtual ~OutputStream() = default;
  // False when not every byte was written.
  [[nodiscard]] virtual bool Write(std::string_view bytes) = 0;
  // False when the bytes written so far did not all reach the file.
  [[nodiscard]] virtual bool Close() = 0;
};

class FileAccess {
 public:
  virtual ~FileAccess() = default;
  // The bytes of a source file; false when it cannot be opened, or is not a regular file of
  // at most kSourceSizeLimit bytes (a device or a pipe could be endless or never answer).
  [[nodiscard]] virtual bool ReadSource(const std::string& path, std::string* bytes) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // The names in a folder (without the folder); empty when it cannot be read.
  virtual std::vector<std::string> FolderNames(const std::string& folder) = 0;
  // The path with symbolic links resolved where it exists, as messages show it.
  virtual std::string FullPath(const std::string& path) = 0;
  // A new, empty file (an existing one is emptied); null when it cannot be created.
  virtual std::unique_ptr<OutputStream> Create(const std::string& path) = 0;
  virtual void Remove(const std::string& path) = 0;
  // Makes the folder unless it exists; true when it is a folder afterwards.
  virtual bool MakeFolder(const std::string& path) = 0;
  // The user may make files in the folder.
  virtual bool CanWrite(const std::string& folder) = 0;
  // Where the user's own copies of a program's written folders go when its folder cannot
  // be written: "$XDG_DATA_HOME/QVKey/", else "$HOME/.local/share/QVKey/" (absolute paths
  // only); "" when neither is set. The IDE finds it by the same rule.
  virtual std::string UserDataFolder() = 0;
};

// The machine's file system.
class SystemFileAccess : public FileAccess {
 public:
  bool ReadSource(const std::string& path, std::string* bytes) override;
  bool Exists(const std::string& path) override;
  std::vector<std::string> FolderNames(const std::string& folder) override;
  std::string FullPath(const std::string& path) override;
  std::unique_ptr<OutputStream> Create(const std::string& path) override;
  void Remove(const std::string& path) override;
  bool MakeFolder(const std::string& path) override;
  bool CanWrite(const std::string& folder) override;
  std::string UserDataFolder() override;
};

// Files and folders in memory. A folder exists when it was made or holds a file; paths are
// taken as given (no links, "." or ".." resolved). As on a disk, a file removed while it is
// being written is still written, but no longer found.
class MemoryFileAccess : public FileAccess {
 public:
  void AddFile(const std::string& path, std::string bytes);
  // The bytes of a file, or null when there is none.
  const std::string* Find(const std::string& path) const;
  // Every file's path, in order.
  std::vector<std::string> Paths() const;

  bool ReadSource(const std::string& path, std::string* bytes) override;
  bool Exists(const std::string& path) override;
  std::vector<std::string> FolderNames(const std::string& folder) override;
  std::string FullPath(const std::string& path) override { return path; }
  std::unique_ptr<OutputStream> Create(const std::string& path) override;
  void Remove(const std::string& path) override { files_.erase(path); }
  bool MakeFolder(const std::string& path) override;
  // A folder made read-only takes no new file or folder.
  void MakeReadOnly(const std::string& folder);
  bool CanWrite(const std::string& folder) override;
  void SetUserDataFolder(std::string folder) { user_data_folder_ = std::move(folder); }
  std::string UserDataFolder() override { return user_data_folder_; }

 private:
  bool IsFolder(const std::string& path) const;

  // A file's bytes are shared with the streams writing them.
  std::map<std::string, std::shared_ptr<std::string>> files_;
  std::set<std::string> folders_;
  std::set<std::string> read_only_;  // without a trailing "/"
  std::string user_data_folder_;
};

}  // namespace tarn
