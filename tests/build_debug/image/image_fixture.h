#pragma once
// A fresh ObjectImage per test, with its own text buffer (the record is too large for the
// stack).

#include <memory>
#include <vector>

#include "build_debug/image/object_image.h"

namespace build_debug {

struct ImageHolder {
  std::unique_ptr<ObjectImage> image = std::make_unique<ObjectImage>();
  std::vector<char> buffer = std::vector<char>(kFileBufferSize, '\0');

  ImageHolder() {
    image->FileBuffer = buffer.data();
    image->FileBufferSize = kFileBufferSize;
  }
  ObjectImage& operator*() const { return *image; }
  ObjectImage* operator->() const { return image.get(); }
};

}  // namespace build_debug
