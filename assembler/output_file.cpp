#include "assembler/output_file.h"

namespace tarn {

bool OutputFile::Create(FileAccess& files, const std::string& path) {
  static_cast<void>(Close());
  stream_ = files.Create(path);
  if (!stream_) return false;
  files_ = &files;
  path_ = path;
  buffer_.clear();
  buffer_.reserve(kFlushSize + 1024);
  written_ = 0;
  ok_ = true;
  return true;
}

void OutputFile::Flush() {
  if (!stream_) {
    buffer_.clear();
    return;
  }
  if (!buffer_.empty() && !stream_->Write(buffer_)) ok_ = false;
  written_ += buffer_.size();
  buffer_.clear();
}

void OutputFile::PutLarge(std::string_view bytes) {
  Flush();
  if (!stream_) return;
  if (!stream_->Write(bytes)) ok_ = false;
  written_ += bytes.size();
}

bool OutputFile::Close() {
  if (!stream_) return false;
  Flush();
  if (!stream_->Close()) ok_ = false;
  stream_.reset();
  if (!ok_) files_->Remove(path_);
  return ok_;
}

}  // namespace tarn
