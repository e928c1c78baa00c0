#pragma once
// The system clipboard (platform/clipboard.h) over Qt's. Plain text is the editors' 8-bit
// Windows-1252, Unicode to other programs; every other format travels as its own bytes.

#include "platform/clipboard.h"

namespace gui {

class QtClipboard : public platform::Clipboard {
 public:
  void SetFormats(const std::map<std::string, std::string>& formats) override;
  std::optional<std::string> Format(std::string_view name) const override;
};

}  // namespace gui
