#include "build_debug/image/listing_line.h"

namespace build_debug {

std::string GetListLine(const ObjectImage& image, int n) {
  std::string line;
  if (n < 0 || n >= image.LineCount || n >= kMaxListingLines || !image.FileBuffer) return line;
  std::int32_t at = image.LineBufferOffset[n];
  // The listing is not NUL-terminated everywhere; never read past the bytes in use.
  std::int32_t end = image.FileBufferLength;
  if (at < 0) return line;
  for (; at < end && line.size() < kListLineMax; ++at) {
    char c = image.FileBuffer[at];
    if (c == '\r' || c == '\0') break;
    if (c == '\t') {
      do {
        line.push_back(' ');
      } while (line.size() % kListTabWidth != 0 && line.size() < kListLineMax);
    } else {
      line.push_back(c);
    }
  }
  return line;
}

}  // namespace build_debug
