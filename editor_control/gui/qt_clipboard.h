#pragma once
// The system clipboard for the editor control: the text as text/plain (Unicode, converted from
// and to the control's Windows-1252), and a column block marked by a MIME type of our own
// holding the one byte 2.

#include <functional>

#include "editor_control/clipboard.h"
#include "editor_control/gui/editor_text.h"

namespace scrivlet::gui {

inline constexpr const char* kColumnBlockMime = "application/x-qvkey-column-block";

class QtClipboard : public TScrivClipboard {
 public:
  void Put(std::string_view text, bool column_block) override;
  bool HasText() override;
  std::string Text() override;  // characters the control cannot hold become '?'
  std::optional<std::string> TextToPaste() override;
  bool IsColumnBlock() override;

  // Told of the character that kept a paste out.
  std::function<void(UnheldCharacter)> OnUnheldCharacter;
};

}  // namespace scrivlet::gui
