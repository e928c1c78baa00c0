#pragma once
// TQVCForm: loading a C compiler's output in Wrenfield mode. The ".cod" file gives the program,
// its configuration and clock words, the address-to-line map, the watch variables and the
// break; the ".lst" file is the listing the code window shows. Everything is read and checked
// before the image changes: a file that is refused leaves the ObjectImage as it was.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "build_debug/image/object_image.h"
#include "build_debug/tools/cod_reader.h"
#include "build_debug/tools/extern_lang.h"
#include "services/file_routines.h"

namespace workbench {
class MessageStrings;
}

namespace build_debug {

using workbench::CompanionFile;

// The listing table of the image holds this many lines.
constexpr int kMaxListingFileLines = kMaxListingLines;

class TQVCForm {
 public:
  TQVCForm(ObjectImage& image, const workbench::MessageStrings& boxes);

  // Loads base + ".cod" and base + ".lst". False after the box that says why, with the image
  // untouched; pragma errors are shown and only drop their watch.
  [[nodiscard]] bool QVCLoad(const std::string& base);

  // The loaded ".cod" (nullptr before a load succeeded): its lines serve the debug windows.
  const TCode* Code() const { return code_.get(); }

  // "Src. File:<file>" and "Line #<n>" of a program address, for the pragma boxes.
  std::string PragmaLocation(std::uint32_t address) const;
  // A watch directive's "name,width,format"; false after its box when the directive is bad.
  bool ParseWatchPragma(T_EXTLANG_WatchInfo& watch, const TBCdirect& directive) const;

 private:
  // What a load computes before any of it reaches the image.
  struct Staged {
    WordArray words;
    std::uint8_t device4k = 0;
    std::int32_t clock_hz = kDefaultClockHz;
    std::array<std::int32_t, kProgramWords> address_line;
    std::string listing;
    std::vector<std::int32_t> line_offsets;
  };

  [[nodiscard]] bool LoadFile(const std::string& file_name, std::string& bytes) const;
  [[nodiscard]] bool PrepareEEPROM(const TCode& code, Staged& staged) const;
  [[nodiscard]] bool PrepareList(const std::string& file_name, Staged& staged) const;
  void Commit(Staged& staged);
  void SetCodWatchesAndBreak();
  void Refuse(const std::string& text, const std::string& file_name) const;

  ObjectImage& image_;
  const workbench::MessageStrings& boxes_;
  ExternLangUnit extern_lang_;
  std::unique_ptr<TCode> code_;
};

}  // namespace build_debug
