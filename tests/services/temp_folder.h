#pragma once
// A folder of its own for each test, removed with everything in it afterwards. Every test
// program makes its temporary folders by this one; a folder that cannot be made stops the test
// rather than leaving it to write beside the root.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace workbench {

class TempFolder {
 public:
  // Named "<name> " and six random characters, under the system's temporary folder.
  explicit TempFolder(const std::string& name = "qv test") {
    std::string pattern = (std::filesystem::temp_directory_path() / (name + " XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::runtime_error("no temporary folder for \"" + name + "\"");
    path_ = pattern;
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
