#pragma once
// Runs the built-in assembler over a source written with "\n" line ends (the editor's buffer
// holds CR alone, so they become CR) and reads back what it left in the image.

#include <memory>
#include <string>
#include <vector>

#include "build_debug/builtin/builtin_assembler.h"
#include "build_debug/image/listing_line.h"
#include "tests/build_debug/image/image_fixture.h"

namespace build_debug {

class Assembly {
 public:
  explicit Assembly(const std::string& text) : source_(text) {
    for (char& c : source_)
      if (c == '\n') c = '\r';
    image_->SourceText = source_.c_str();
    assembler_->BuiltinAssemble();
  }

  const ObjectImage& image() const { return *image_; }
  const ObjectImage* operator->() const { return image_.image.get(); }
  bool ok() const { return image_->Failed == 0; }
  std::string error() const { return image_->Failed && image_->ErrorText ? image_->ErrorText : ""; }
  // The source text between ErrorStart and ErrorEnd.
  std::string token() const {
    return source_.substr(static_cast<std::size_t>(image_->ErrorStart),
                          static_cast<std::size_t>(image_->ErrorEnd - image_->ErrorStart));
  }
  // Bits 0-11 of count program words from address.
  std::vector<int> words(int address, int count) const {
    std::vector<int> result;
    for (int n = 0; n < count; ++n) result.push_back(image_->WorkingImage[address + n] & 0x0FFF);
    return result;
  }
  // The program words in use, in address order.
  std::vector<int> used_words() const {
    std::vector<int> result;
    for (int a = 0; a < kProgramWords; ++a)
      if (IsInUse(image_->WorkingImage[a])) result.push_back(image_->WorkingImage[a] & 0x0FFF);
    return result;
  }
  std::vector<std::string> listing() const {
    std::vector<std::string> lines;
    for (int n = 0; n < image_->LineCount; ++n) lines.push_back(GetListLine(*image_, n));
    return lines;
  }
  // The raw text of listing line n, up to and including its CR.
  std::string raw_line(int n) const {
    std::string text;
    for (int at = image_->LineBufferOffset[n]; at < image_->FileBufferLength; ++at) {
      text += image_->FileBuffer[at];
      if (image_->FileBuffer[at] == '\r') break;
    }
    return text;
  }

 private:
  ImageHolder image_;
  std::string source_;
  std::unique_ptr<BuiltinAssembler> assembler_ = std::make_unique<BuiltinAssembler>(*image_);
};

}  // namespace build_debug
