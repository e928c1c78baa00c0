#pragma once
// The recent-files list of the File menu's "Reopen": always exactly five entries, most recent
// first, an empty entry where there is none. Kept as "LastFilesOpened\File0" to "File4".

#include <array>
#include <string>

namespace workbench {

class Localizer;
class RegistrySettings;

class RecentFiles {
 public:
  static constexpr int kEntries = 5;

  // `texts` names a file never saved ("Untitled.SRC"), which is not recorded.
  explicit RecentFiles(const Localizer& texts) : texts_(texts) {}

  // Moves name to the front (names compare without regard to case), or puts it there and lets
  // the last entry go. New, unsaved files are not recorded.
  void AddRecentFile(const std::string& name);
  // Removes name and closes up the list with an empty last entry.
  void RemoveRecentFile(const std::string& name);

  const std::string& Entry(int n) const { return entries_.at(static_cast<std::size_t>(n)); }
  const std::array<std::string, kEntries>& Entries() const { return entries_; }

  // A missing or unreadable entry reads as empty.
  void ReadRecentFiles(const RegistrySettings& settings);
  // Writes every entry; false when a write failed.
  [[nodiscard]] bool WriteRecentFiles(RegistrySettings& settings) const;

 private:
  int IndexOf(const std::string& name) const;

  const Localizer& texts_;
  std::array<std::string, kEntries> entries_;
};

}  // namespace workbench
