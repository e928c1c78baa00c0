#pragma once
// The system clipboard (platform/clipboard.h) over Qt's. Plain text travels as Latin-1 bytes,
// the IDE's 8-bit characters; every other format as its own bytes.

#include "platform/clipboard.h"

namespace gui {

class QtClipboard : public platform::Clipboard {
 public:
  void SetFormats(const std::map<std::string, std::string>& formats) override;
  std::optional<std::string> Format(std::string_view name) const override;
};

}  // namespace gui
