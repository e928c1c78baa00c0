#pragma once
// Zero bytes in a source. Both editors end a text at a zero byte, so a file's zero bytes are
// shown, and saved, as a stand-in character instead: nothing after one is lost, and the user
// is told once, at the load, what a save will write.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/message_box.h"

namespace workbench {

// "¤" (0xA4 in the editors' one-byte character set): seen at once, rare in sources, and not
// one of the enhanced editor's inline style characters.
inline constexpr char kZeroByteStandIn = '\xA4';

std::size_t CountZeroBytes(std::string_view bytes);

// The box that tells that `file` held `count` (> 0) zero bytes and what a save writes.
platform::BoxRequest ZeroBytesNotice(const std::string& file, std::size_t count);

}  // namespace workbench
