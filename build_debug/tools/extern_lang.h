#pragma once
// What an outside tool (tarn, a C compiler) reports about a program beyond its words: symbols
// with their values and source lines, watched variables and the BREAK address. ExternLangUnit
// copies the watches and the break into the ObjectImage.

#include <cstdint>
#include <string>
#include <vector>

namespace workbench {
class MessageStrings;
}

namespace build_debug {

struct ObjectImage;

struct T_EXTLANG_SymbolInfo {
  std::string Name;
  std::int32_t Value = -1;  // -1: none
  std::int32_t Line = -1;
};

struct T_EXTLANG_WatchInfo {
  std::string Name;
  std::int32_t Address = 0;  // bits 0-7 register, bits 8-10 bit offset
  std::int32_t Value = 0;
  std::uint8_t Width = 0;
  std::uint8_t Type = 0;  // index into UDEC, SDEC, UHEX, SHEX, UBIN, SBIN, FSTR, ZSTR
};

class ExternLangUnit {
 public:
  ExternLangUnit(ObjectImage& image, const workbench::MessageStrings& boxes)
      : image_(image), boxes_(boxes) {}

  // More than 32 watches: a box says so and the first 32 are kept.
  bool SetImageWatches(const std::vector<T_EXTLANG_WatchInfo>& watches);
  // A value of -1 leaves the image's BREAK address as it is.
  bool SetImageBreak(const T_EXTLANG_SymbolInfo& symbol_info);

 private:
  ObjectImage& image_;
  const workbench::MessageStrings& boxes_;
};

}  // namespace build_debug
