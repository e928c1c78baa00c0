#pragma once
// The system clipboard (platform/clipboard.h) over Qt's. Plain text is the editors' 8-bit
// Windows-1252, Unicode to other programs; every other format travels as its own bytes.

#include <functional>

#include "editor_control/gui/editor_text.h"
#include "platform/clipboard.h"

namespace gui {

class QtClipboard : public platform::Clipboard {
 public:
  void SetFormats(const std::map<std::string, std::string>& formats) override;
  std::optional<std::string> Format(std::string_view name) const override;

  // Whether the text is one the legacy editor cannot hold whole; OnUnheldCharacter is then
  // told of the first character it lacks. Format gives such a text as none.
  bool RefusesText() const;
  std::function<void(scrivlet::gui::UnheldCharacter)> OnUnheldCharacter;
};

}  // namespace gui
