#pragma once
// An output file written through a buffer of its own. Every write is checked: Close() says
// whether the whole file reached the disk and removes what a failed write left, so a
// truncated listing or object never passes for a finished one.
//
// Invariant: while the file is open, buffer_ holds the bytes not yet handed to the system, at
// most about kFlushSize of them.

#include <memory>
#include <string>
#include <string_view>

#include "assembler/file_access.h"

namespace tarn {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // A run that ends early keeps what it wrote so far.
  ~OutputFile() { static_cast<void>(Close()); }

  // False when the file cannot be created.
  [[nodiscard]] bool Create(FileAccess& files, const std::string& path);
  bool IsOpen() const { return stream_ != nullptr; }
  // Bytes put so far, written or buffered.
  size_t Size() const { return written_ + buffer_.size(); }

  void Put(std::string_view bytes) {
    if (bytes.size() >= kFlushSize) return PutLarge(bytes);
    buffer_.append(bytes);
    if (buffer_.size() >= kFlushSize) Flush();
  }
  void Put(char c) {
    buffer_.push_back(c);
    if (buffer_.size() >= kFlushSize) Flush();
  }
  // Room to format into directly; call Wrote() after appending.
  std::string& Buffer() { return buffer_; }
  void Wrote() {
    if (buffer_.size() >= kFlushSize) Flush();
  }

  // Writes what is buffered and closes the file; false, and the file removed, when any write
  // failed. False too when no file is open.
  [[nodiscard]] bool Close();

 private:
  static constexpr size_t kFlushSize = 1 << 16;
  void Flush();
  // A block as large as the buffer goes to the file as it is, after what is buffered.
  void PutLarge(std::string_view bytes);

  std::unique_ptr<OutputStream> stream_;
  FileAccess* files_ = nullptr;  // where a failed file is removed
  std::string path_;
  std::string buffer_;
  size_t written_ = 0;
  bool ok_ = true;
};

}  // namespace tarn
