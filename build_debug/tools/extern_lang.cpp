#include "build_debug/tools/extern_lang.h"

#include <algorithm>
#include <string_view>

#include "build_debug/image/object_image.h"
#include "resources/string_ids.h"
#include "services/message_strings.h"

namespace build_debug {
namespace {

// The image keeps one character less of a tool's watch name than its table could hold.
constexpr std::size_t kToolWatchNameLength = 31;

}  // namespace

bool ExternLangUnit::SetImageWatches(const std::vector<T_EXTLANG_WatchInfo>& watches) {
  int count = static_cast<int>(watches.size());
  if (count > kMaxWatches) {
    const std::string limit = std::to_string(kMaxWatches);
    boxes_.MsgBoxById3(string_ids::ExternLangUnit::SCU_TOO_MANY_WATCHES,
                       string_ids::ExternLangUnit::SCU_TOO_MANY_WATCHES_CAPTION,
                       std::to_string(count), limit, limit);
    count = kMaxWatches;
  }
  image_.WatchCount = count;
  for (int i = 0; i < count; ++i) {
    const T_EXTLANG_WatchInfo& watch = watches[static_cast<std::size_t>(i)];
    WatchEntry& entry = image_.Watches[static_cast<std::size_t>(i)];
    entry.Address = static_cast<std::uint16_t>(watch.Address);
    entry.Width = watch.Width;
    entry.Format = watch.Type;
    SetWatchName(
        entry,
        std::string_view(watch.Name).substr(0, std::min(watch.Name.size(), kToolWatchNameLength)));
  }
  return true;
}

bool ExternLangUnit::SetImageBreak(const T_EXTLANG_SymbolInfo& symbol_info) {
  if (symbol_info.Value != -1) image_.BreakAddress = static_cast<std::int16_t>(symbol_info.Value);
  return true;
}

}  // namespace build_debug
