#include "workbench/keyword_lists.h"

#include <fstream>
#include <sstream>

#include "platform/resources.h"
#include "resources/string_ids.h"
#include "services/message_strings.h"
#include "services/resource_files.h"

namespace workbench {

namespace {

// Keywords as they are loaded; the main window gives them their colours before an editor
// shows them.
constexpr uint8_t kLoadOptions = scrivlet::kWholeWord;
constexpr int32_t kLoadContext = 1;

}  // namespace

T_MultiKeywordList::T_MultiKeywordList(KeywordResourceFinder find_resource)
    : find_resource_(std::move(find_resource)) {
  if (!find_resource_) find_resource_ = platform::FindTypedResource;
  NewList();
}

int T_MultiKeywordList::NewList() {
  if (list_count_ >= kMaxLists) return -1;
  lists_[static_cast<std::size_t>(list_count_)] = std::make_unique<scrivlet::TKeywordList>();
  return list_count_++;
}

void T_MultiKeywordList::AddLines(scrivlet::TKeywordList& list, std::string_view text) {
  list.BeginUpdate();
  for (const std::string& line : SplitLines(text)) {
    // A blank line (the one after a last line break, say) names no keyword.
    if (!line.empty())
      list.AddKeyword(line, kLoadOptions, 0, kLoadContext, 0, scrivlet::kNoColor,
                      scrivlet::kNoColor);
  }
  list.EndUpdate();
}

int T_MultiKeywordList::LoadListFromFile(const std::string& file_name) {
  const int index = NewList();
  if (index < 0) return -1;
  std::ifstream in(file_name, std::ios::binary);
  if (!in) return -1;
  std::ostringstream text;
  text << in.rdbuf();
  AddLines(*GetList(index), text.str());
  return index;
}

int T_MultiKeywordList::LoadListFromResource(std::string_view res_name, std::string_view res_type) {
  const int index = NewList();
  if (index < 0) return -1;
  const std::optional<std::string_view> text = find_resource_(res_type, res_name);
  if (!text) return -1;
  AddLines(*GetList(index), *text);
  return index;
}

scrivlet::TKeywordList* T_MultiKeywordList::GetList(int index) const {
  if (index < 0 || index >= list_count_) return nullptr;
  return lists_[static_cast<std::size_t>(index)].get();
}

void LoadKeywordLists(T_MultiKeywordList& lists, const MessageStrings& messages,
                      const std::optional<std::string>& basic_keyword_file) {
  namespace Ids = string_ids::EditorUnit;
  // A failed loader has normally made its list already; a second one would shift the
  // numbers of the lists after it, so one is made only when the loader made none.
  const auto load = [&](const auto& loader, int failed_text_id) {
    const int before = lists.ListCount();
    if (loader() >= 0) return;
    messages.MsgBoxById(failed_text_id, Ids::SCU_KEYWORDS_CAPTION);
    if (lists.ListCount() == before) lists.NewList();
  };
  load([&] { return lists.LoadListFromResource("QVKeywords", "txt"); },
       Ids::SCU_ASM_KEYWORDS_FAILED);
  if (!basic_keyword_file) {
    lists.NewList();
    return;
  }
  load([&] { return lists.LoadListFromFile(*basic_keyword_file); }, Ids::SCU_QVB_KEYWORDS_FAILED);
}

}  // namespace workbench
