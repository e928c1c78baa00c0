#include "workbench/source_encoding.h"

#include <algorithm>
#include <optional>

#include "code_page/windows_1252.h"

namespace workbench {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool AllAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

EditorSource SourceForEditor(std::string_view bytes) {
  EditorSource source{std::string(bytes)};
  // Zero bytes are shown and saved as the stand-in byte, which must stay that one byte.
  if (AllAscii(bytes) || bytes.find('\0') != std::string_view::npos) return source;
  const bool marked = bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark;
  const std::string_view body = marked ? bytes.substr(kByteOrderMark.size()) : bytes;
  if (std::optional<std::string> text = code_page::Windows1252FromUtf8(body)) {
    source.text = std::move(*text);
    source.encoding = marked ? SourceEncoding::Utf8WithMark : SourceEncoding::Utf8;
    return source;
  }
  source.shown_as_bytes = code_page::IsValidUtf8(body) && !AllAscii(body);
  return source;
}

std::string SourceForFile(std::string_view text, SourceEncoding encoding) {
  switch (encoding) {
    case SourceEncoding::Windows1252: return std::string(text);
    case SourceEncoding::Utf8: return code_page::Utf8FromWindows1252(text);
    case SourceEncoding::Utf8WithMark:
      return std::string(kByteOrderMark) + code_page::Utf8FromWindows1252(text);
  }
  return std::string(text);
}

platform::BoxRequest ShownAsBytesNotice(const std::string& file) {
  return {file +
              "\r\ris UTF-8 text with characters that the editor cannot show. It is shown "
              "as its bytes, one character for each byte, and a save writes those bytes as "
              "they are; a character typed into it is saved as its one Windows-1252 byte, "
              "not as UTF-8.",
          "Characters Shown as Bytes", platform::BoxButtons::Ok};
}

}  // namespace workbench
