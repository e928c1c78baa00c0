#pragma once
// T_ZKTopFile: the files the user once marked as the top file of a multi-file project, most
// recent first, at most 20. Kept under "KnownTopFiles\File_00" to "File_19"; an empty value
// ends the list. Every change is written at once, and the whole list again at shut-down.

#include <string>
#include <vector>

namespace workbench {

class RegistrySettings;

class T_ZKTopFile {
 public:
  static constexpr int kMaxKnownTopFiles = 20;

  // Reads the stored list.
  explicit T_ZKTopFile(RegistrySettings& settings);
  // Writes the list once more, all twenty values.
  ~T_ZKTopFile();
  T_ZKTopFile(const T_ZKTopFile&) = delete;
  T_ZKTopFile& operator=(const T_ZKTopFile&) = delete;

  // Each returns whether the list could be written.
  [[nodiscard]] bool AddKnownTopFile(const std::string& name);
  [[nodiscard]] bool RemoveKnownTopFile(const std::string& name);
  [[nodiscard]] bool SaveKnownTopFiles();
  void LoadKnownTopFiles();

  // Names compare exactly, with case.
  bool IsKnownTopFile(const std::string& name) const { return IndexOfKnownTopFile(name) >= 0; }
  int IndexOfKnownTopFile(const std::string& name) const;
  const std::vector<std::string>& KnownTopFiles() const { return known_; }

  static std::string KnownTopFileKey(int n);

 private:
  RegistrySettings& settings_;
  std::vector<std::string> known_;
};

}  // namespace workbench
