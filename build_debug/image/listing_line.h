#pragma once
// One line of the built-in assembler's listing, as the code window draws it.

#include <string>

#include "build_debug/image/object_image.h"

namespace build_debug {

constexpr int kListLineMax = 255;
// The listing's tab stops; the built-in assembler's listing aligns its source column to them.
constexpr int kListTabWidth = 8;

// The text of listing line n from FileBuffer: up to the CR (or the buffer's end), tabs
// expanded to the next multiple of 8 columns, at most 255 characters. A line index outside
// 0..LineCount-1 gives an empty text.
std::string GetListLine(const ObjectImage& image, int n);

}  // namespace build_debug
