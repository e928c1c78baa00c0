#include "build_debug/image/object_image.h"

#include <algorithm>
#include <cstring>

namespace build_debug {

ObjectImage::ObjectImage() {
  AddressLine.fill(-1);
  ResetWordArray(WorkingImage, false);
  ResetWordArray(ProgrammingImage, false);
}

ProgramObjectImage::ProgramObjectImage()
    : image_(std::make_unique<ObjectImage>()), buffer_(kFileBufferSize, '\0') {
  image_->FileBuffer = buffer_.data();
  image_->FileBufferSize = kFileBufferSize;
}

ObjectImage* ProgramObjectImage::GetObjectImage() {
  ResetWordArray(image_->WorkingImage, image_->Device4K != 0);
  return image_.get();
}

void ResetWordArray(WordArray& words, bool device4k) {
  std::fill(words.begin(), words.begin() + kFuseIndex, kEmptyWord);
  words[kFuseIndex] = kDefaultFuse;
  words[kFusexIndex] = device4k ? kDefaultFusex4K : kDefaultFusex2K;
}

void CopyWorkingToProgramming(ObjectImage& image) { image.ProgrammingImage = image.WorkingImage; }

void CopyProgrammingToWorking(ObjectImage& image) { image.WorkingImage = image.ProgrammingImage; }

void SetWatchName(WatchEntry& entry, std::string_view name) {
  std::size_t n = std::min<std::size_t>(name.size(), kWatchNameLength);
  std::memset(entry.Name, 0, sizeof entry.Name);
  std::memcpy(entry.Name, name.data(), n);
}

}  // namespace build_debug
