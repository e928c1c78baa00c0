#pragma once
// The system clipboard, as a service. One content may carry several formats at once (plain
// text beside the editor's column block); each is a named string of bytes.

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kClipboardText = "text/plain";

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the whole content by the given formats.
  virtual void SetFormats(const std::map<std::string, std::string>& formats) = 0;
  // The bytes of one format, or nothing when the content has no such format.
  virtual std::optional<std::string> Format(std::string_view name) const = 0;
};

}  // namespace platform
