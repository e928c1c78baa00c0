#include "assembler/output_file.h"

namespace tarn {

bool OutputFile::Create(const std::string& path) {
  static_cast<void>(Close());
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return false;
  // The buffer here is the only one: a failed write shows at the write that failed.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  path_ = path;
  buffer_.clear();
  buffer_.reserve(kFlushSize + 1024);
  ok_ = true;
  return true;
}

void OutputFile::Flush() {
  if (!file_) {
    buffer_.clear();
    return;
  }
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) ok_ = false;
  buffer_.clear();
}

bool OutputFile::Close() {
  if (!file_) return false;
  Flush();
  if (std::fclose(file_) != 0) ok_ = false;
  file_ = nullptr;
  if (!ok_) std::remove(path_.c_str());
  return ok_;
}

}  // namespace tarn
