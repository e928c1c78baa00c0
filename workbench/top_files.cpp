#include "workbench/top_files.h"

#include <algorithm>

#include "platform/settings_store.h"
#include "services/registry_settings.h"
#include "services/text_routines.h"

namespace workbench {

T_ZKTopFile::T_ZKTopFile(RegistrySettings& settings) : settings_(settings) { LoadKnownTopFiles(); }

T_ZKTopFile::~T_ZKTopFile() {
  // The whole list is written at shut-down, changed or not, so the stored list always ends
  // with its empty values; at shut-down nobody is left to tell of a failed write.
  static_cast<void>(SaveKnownTopFiles());
}

std::string T_ZKTopFile::KnownTopFileKey(int n) { return "KnownTopFiles\\File_" + IntToStrPad2(n); }

int T_ZKTopFile::IndexOfKnownTopFile(const std::string& name) const {
  const auto it = std::find(known_.begin(), known_.end(), name);
  return it == known_.end() ? -1 : static_cast<int>(it - known_.begin());
}

bool T_ZKTopFile::AddKnownTopFile(const std::string& name) {
  const int i = IndexOfKnownTopFile(name);
  if (i >= 0) known_.erase(known_.begin() + i);
  known_.insert(known_.begin(), name);
  if (known_.size() > kMaxKnownTopFiles) known_.resize(kMaxKnownTopFiles);
  return SaveKnownTopFiles();
}

bool T_ZKTopFile::RemoveKnownTopFile(const std::string& name) {
  const int i = IndexOfKnownTopFile(name);
  if (i < 0) return true;
  known_.erase(known_.begin() + i);
  return SaveKnownTopFiles();
}

void T_ZKTopFile::LoadKnownTopFiles() {
  known_.clear();
  for (int n = 0; n < kMaxKnownTopFiles; ++n) {
    std::string name;
    try {
      if (!settings_.ReadRegString(KnownTopFileKey(n), name) || name.empty()) break;
    } catch (const platform::SettingsError&) {
      break;  // a value of the wrong kind ends the list like a missing one
    }
    known_.push_back(name);
  }
}

bool T_ZKTopFile::SaveKnownTopFiles() {
  auto burst = settings_.Burst();
  bool written = true;
  for (int n = 0; n < kMaxKnownTopFiles && written; ++n) {
    const std::string value = n < static_cast<int>(known_.size()) ? known_[n] : std::string();
    written = settings_.WriteRegString(KnownTopFileKey(n), value);
  }
  return burst.End() && written;
}

}  // namespace workbench
