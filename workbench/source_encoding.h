#pragma once
// A source keeps the encoding it came in. The editors hold 8-bit Windows-1252 text, so:
// - a source that is valid UTF-8, holds characters beyond ASCII and has all of them in
//   Windows-1252 (the letters of comments: é, ä, °, €) is shown as those characters and saved
//   back as UTF-8, byte for byte what it was where nothing was edited; a byte-order mark in
//   front stays in front;
// - every other source (ASCII, Windows-1252 or Latin-1 of the Windows era, invalid UTF-8, a
//   source holding zero bytes) is 8-bit text kept byte for byte;
// - a UTF-8 source with characters beyond Windows-1252 is kept byte for byte too, shown as
//   its bytes, and the user is told once, at the load.

#include <string>
#include <string_view>

#include "platform/message_box.h"

namespace workbench {

enum class SourceEncoding { Windows1252, Utf8, Utf8WithMark };

struct EditorSource {
  std::string text;  // the editor's 8-bit text
  SourceEncoding encoding = SourceEncoding::Windows1252;
  // UTF-8 with characters the editor cannot show: opened as its bytes.
  bool shown_as_bytes = false;
};

EditorSource SourceForEditor(std::string_view bytes);
// The file's bytes of the editor's `text`.
std::string SourceForFile(std::string_view text, SourceEncoding encoding);

// The box that tells that `file` is UTF-8 with characters the editor cannot show.
platform::BoxRequest ShownAsBytesNotice(const std::string& file);

}  // namespace workbench
