#include "build_debug/object_image.h"

#include <algorithm>
#include <cstring>

namespace build_debug {

ObjectImage::ObjectImage() {
  AddressLine.fill(-1);
  ResetWordArray(WorkingImage, false);
  ResetWordArray(ProgrammingImage, false);
}

ObjectImage* GetObjectImage() {
  // The record is large (about 230 KB) and lives for the whole run, never moved.
  static ObjectImage image;
  ResetWordArray(image.WorkingImage, image.Device4K != 0);
  return &image;
}

char* ProgramFileBuffer() {
  static char buffer[kFileBufferSize];
  return buffer;
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
