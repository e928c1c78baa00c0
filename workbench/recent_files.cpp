#include "workbench/recent_files.h"

#include <algorithm>

#include "platform/settings_store.h"
#include "platform/text.h"
#include "resources/string_ids.h"
#include "services/localize.h"
#include "services/registry_settings.h"

namespace workbench {

namespace {

constexpr std::string_view kBlankPrefix = "{Blank_";

std::string EntryKey(int n) { return "LastFilesOpened\\File" + std::to_string(n); }

}  // namespace

int RecentFiles::IndexOf(const std::string& name) const {
  for (int n = 0; n < kEntries; ++n) {
    if (platform::SameText(entries_[static_cast<std::size_t>(n)], name)) return n;
  }
  return -1;
}

void RecentFiles::AddRecentFile(const std::string& name) {
  if (name.empty() ||
      platform::SameText(name, texts_.LU_GetString(string_ids::EditorUnit::SCU_UNTITLED)) ||
      name.find(kBlankPrefix) != std::string::npos) {
    return;
  }
  const int found = IndexOf(name);
  // Everything before the entry moves down one place; without one, the last entry goes.
  const auto end = entries_.begin() + (found >= 0 ? found : kEntries - 1);
  std::move_backward(entries_.begin(), end, end + 1);
  entries_[0] = name;
}

void RecentFiles::RemoveRecentFile(const std::string& name) {
  const int found = IndexOf(name);
  if (found < 0) return;
  std::move(entries_.begin() + found + 1, entries_.end(), entries_.begin() + found);
  entries_.back().clear();
}

void RecentFiles::ReadRecentFiles(const RegistrySettings& settings) {
  for (int n = 0; n < kEntries; ++n) {
    std::string& entry = entries_[static_cast<std::size_t>(n)];
    try {
      if (!settings.ReadRegString(EntryKey(n), entry)) entry.clear();
    } catch (const platform::SettingsError&) {
      entry.clear();
    }
  }
}

bool RecentFiles::WriteRecentFiles(RegistrySettings& settings) const {
  auto burst = settings.Burst();
  bool all_written = true;
  for (int n = 0; n < kEntries; ++n) {
    if (!settings.WriteRegString(EntryKey(n), entries_[static_cast<std::size_t>(n)])) {
      all_written = false;
    }
  }
  return burst.End() && all_written;
}

}  // namespace workbench
