#pragma once
// A folder of its own for each test, removed with everything in it afterwards.

#include <cstdlib>
#include <filesystem>
#include <string>

namespace workbench {

class TempFolder {
 public:
  explicit TempFolder(const std::string& name = "qv test") {
    std::string pattern = (std::filesystem::temp_directory_path() / (name + " XXXXXX")).string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder with a trailing "/".
  std::string Path() const { return path_ + "/"; }

 private:
  std::string path_;
};

}  // namespace workbench
