#pragma once
// The system clipboard for the editor control: the text as text/plain, and a column block
// marked by a MIME type of our own holding the one byte 2.

#include "editor_control/clipboard.h"

namespace scrivlet::gui {

inline constexpr const char* kColumnBlockMime = "application/x-qvkey-column-block";

class QtClipboard : public TScrivClipboard {
 public:
  void Put(std::string_view text, bool column_block) override;
  bool HasText() override;
  std::string Text() override;  // characters beyond Latin-1 become '?'
  bool IsColumnBlock() override;
};

}  // namespace scrivlet::gui
