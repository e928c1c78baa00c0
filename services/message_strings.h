#pragma once
// Message boxes built from string ids: the text is LU_GetString(text id), the caption
// LU_GetString(caption id), and up to three string arguments fill the text's "%s" in order.
// Every box goes through the session's message-box service (platform/message_box.h); the
// result is the button pressed: 1 OK, 6 Yes, 7 No.

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace platform {
class MessageBoxService;
}

namespace workbench {

class Localizer;

using platform::FormatError;
using platform::FormatText;

// The boxes of one session: texts from its localizer, shown through its box service. Units
// that raise boxes receive one of these instead of reaching for the program's.
class MessageStrings {
 public:
  MessageStrings(const Localizer& texts, platform::MessageBoxService& boxes)
      : texts_(texts), boxes_(boxes) {}

  int MsgBoxById(int text_id, int caption_id) const;
  int MsgBoxById1(int text_id, int caption_id, std::string_view s1) const;
  int MsgBoxById2(int text_id, int caption_id, std::string_view s1, std::string_view s2) const;
  int MsgBoxById3(int text_id, int caption_id, std::string_view s1, std::string_view s2,
                  std::string_view s3) const;
  int YesNoBoxById(int text_id, int caption_id) const;
  int YesNoBoxById1(int text_id, int caption_id, std::string_view s1) const;
  int YesNoBoxById2(int text_id, int caption_id, std::string_view s1, std::string_view s2) const;
  int YesNoBoxById3(int text_id, int caption_id, std::string_view s1, std::string_view s2,
                    std::string_view s3) const;

  const Localizer& Texts() const { return texts_; }
  platform::MessageBoxService& Service() const { return boxes_; }

 private:
  int Box(int text_id, int caption_id, bool yes_no,
          std::initializer_list<std::string_view> args) const;

  const Localizer& texts_;
  platform::MessageBoxService& boxes_;
};

}  // namespace workbench
