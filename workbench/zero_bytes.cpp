#include "workbench/zero_bytes.h"

#include <algorithm>

#include "code_page/windows_1252.h"

namespace workbench {

std::size_t CountZeroBytes(std::string_view bytes) {
  return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\0'));
}

platform::BoxRequest ZeroBytesNotice(const std::string& file, std::size_t count) {
  // The box's text is UTF-8, the editors' stand-in one Windows-1252 byte.
  const std::string stand_in =
      "\"" + code_page::Utf8FromWindows1252(std::string(1, kZeroByteStandIn)) + "\"";
  const bool one = count == 1;
  return {file + "\r\rholds " +
              (one ? std::string("a zero byte") : std::to_string(count) + " zero bytes") +
              ", which would end the text. The editor shows " + (one ? "it" : "each") + " as " +
              stand_in + "; a save writes " + stand_in +
              " (byte A4 hex) in its place and keeps everything after it.",
          "Zero Bytes in File", platform::BoxButtons::Ok};
}

}  // namespace workbench
