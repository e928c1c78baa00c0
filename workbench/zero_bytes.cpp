#include "workbench/zero_bytes.h"

#include <algorithm>
#include <utility>

#include "code_page/windows_1252.h"

namespace workbench {

std::size_t CountZeroBytes(std::string_view bytes) {
  return static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\0'));
}

platform::BoxRequest ZeroBytesNotice(const std::string& file, std::size_t count) {
  // The box's text is UTF-8, the editors' stand-in one Windows-1252 byte. Built by appending:
  // GCC 12's optimiser takes a prepending concatenation for an overlapping copy.
  std::string stand_in = "\"";
  stand_in += code_page::Utf8FromWindows1252(std::string(1, kZeroByteStandIn));
  stand_in += '"';
  const bool one = count == 1;
  std::string text = file;
  text += "\r\rholds ";
  text += one ? std::string("a zero byte") : std::to_string(count) + " zero bytes";
  text += ", which would end the text. The editor shows ";
  text += one ? "it" : "each";
  text += " as ";
  text += stand_in;
  text += "; a save writes ";
  text += stand_in;
  text += " (byte A4 hex) in its place and keeps everything after it.";
  return {std::move(text), "Zero Bytes in File", platform::BoxButtons::Ok};
}

}  // namespace workbench
