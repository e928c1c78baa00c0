#include "workbench/workspace.h"

#include "platform/settings_store.h"
#include "services/registry_settings.h"
#include "services/text_routines.h"

namespace workbench {

namespace {

constexpr const char* kNumFilesKey = "WorkspaceFiles\\Numfiles";

std::string FileKey(int n) { return "WorkspaceFiles\\File_" + IntToStrPad2(n); }

}  // namespace

bool SaveWorkspace(RegistrySettings& settings, const std::vector<std::string>& files) {
  auto burst = settings.Burst();
  bool all_written = true;
  int count = 0;
  for (const std::string& name : files) {
    // A failed name leaves a gap that the next one fills, so the stored list stays dense.
    if (settings.WriteRegString(FileKey(count), name)) {
      ++count;
    } else {
      all_written = false;
    }
  }
  if (!settings.WriteRegInt(kNumFilesKey, count)) all_written = false;
  for (int k = count; settings.RegKeyExists(FileKey(k)); ++k) {
    if (!settings.RegDeleteKey(FileKey(k))) {
      all_written = false;
      break;
    }
  }
  return burst.End() && all_written;
}

bool LoadWorkspace(const RegistrySettings& settings, std::vector<std::string>& files) {
  files.clear();
  std::int32_t count = 0;
  try {
    if (!settings.ReadRegInt(kNumFilesKey, count)) return false;
  } catch (const platform::SettingsError&) {
    return false;
  }
  for (int i = 0; i < count; ++i) {
    std::string name;
    try {
      if (settings.ReadRegString(FileKey(i), name)) files.push_back(name);
    } catch (const platform::SettingsError&) {
      // a value of the wrong kind is skipped like a missing one
    }
  }
  return true;
}

}  // namespace workbench
