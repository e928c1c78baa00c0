#include "services/message_strings.h"

#include <vector>

#include "platform/message_box.h"
#include "services/localize.h"

namespace workbench {

namespace {

constexpr auto kOk = platform::BoxButtons::Ok;
constexpr auto kYesNo = platform::BoxButtons::YesNo;

}  // namespace

int MessageStrings::Box(int text_id, int caption_id, bool yes_no,
                        std::initializer_list<std::string_view> args) const {
  std::string text = texts_.LU_GetString(text_id);
  if (args.size() != 0) text = FormatText(text, args);
  return boxes_.Show({text, texts_.LU_GetString(caption_id), yes_no ? kYesNo : kOk});
}

int MessageStrings::MsgBoxById(int text_id, int caption_id) const {
  return Box(text_id, caption_id, false, {});
}
int MessageStrings::MsgBoxById1(int text_id, int caption_id, std::string_view s1) const {
  return Box(text_id, caption_id, false, {s1});
}
int MessageStrings::MsgBoxById2(int text_id, int caption_id, std::string_view s1,
                                std::string_view s2) const {
  return Box(text_id, caption_id, false, {s1, s2});
}
int MessageStrings::MsgBoxById3(int text_id, int caption_id, std::string_view s1,
                                std::string_view s2, std::string_view s3) const {
  return Box(text_id, caption_id, false, {s1, s2, s3});
}
int MessageStrings::YesNoBoxById(int text_id, int caption_id) const {
  return Box(text_id, caption_id, true, {});
}
int MessageStrings::YesNoBoxById1(int text_id, int caption_id, std::string_view s1) const {
  return Box(text_id, caption_id, true, {s1});
}
int MessageStrings::YesNoBoxById2(int text_id, int caption_id, std::string_view s1,
                                  std::string_view s2) const {
  return Box(text_id, caption_id, true, {s1, s2});
}
int MessageStrings::YesNoBoxById3(int text_id, int caption_id, std::string_view s1,
                                  std::string_view s2, std::string_view s3) const {
  return Box(text_id, caption_id, true, {s1, s2, s3});
}

}  // namespace workbench
