#pragma once
// The one object image a fuzz target keeps for all its inputs, as the IDE keeps one for a
// session: allocating the large record and its text buffer per input made the sanitized runs
// ten times slower.

#include <memory>
#include <vector>

#include "build_debug/image/object_image.h"

namespace build_debug {

struct ImageFuzzSession {
  std::unique_ptr<ObjectImage> image = std::make_unique<ObjectImage>();
  std::vector<char> buffer = std::vector<char>(kFileBufferSize);

  ImageFuzzSession() {
    image->FileBuffer = buffer.data();
    image->FileBufferSize = kFileBufferSize;
  }
};

}  // namespace build_debug
