#pragma once
// How the core learns the size of text without knowing the window system: the Qt shell
// measures with its fonts, tests with a fixed-width fake.

#include <cstdint>
#include <string_view>

namespace scrivlet {

class TTextMeasurer {
 public:
  virtual ~TTextMeasurer() = default;
  // Extent in pixels of a run of bytes drawn in the font that the style bits select.
  virtual int32_t Width(std::string_view bytes, uint8_t style) = 0;
  // Height of a display line in pixels.
  virtual int32_t Height() = 0;
  // How far the character's ink reaches right of its advance in that font (an italic f
  // leans out of its cell); 0 when it stays inside. Painting only: layout never uses it.
  virtual int32_t InkOverhang(char /*c*/, uint8_t /*style*/) { return 0; }
};

}  // namespace scrivlet
