#pragma once
// Shared helpers for the assembler tests: temporary folders, files, and running tarn.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "tests/services/temp_folder.h"

namespace tarn_test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with the object: the tests'
// shared one, seen as a path.
class TempFolder {
 public:
  const fs::path& path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  // Writes a file (and its folders) inside the folder; its path.
  fs::path Write(const std::string& name, const std::string& text) const {
    fs::path file = path_ / name;
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }

 private:
  workbench::TempFolder folder_{"tarn-test"};
  fs::path path_ = fs::path(folder_.Path()).parent_path();
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct ProcessResult {
  int exit_code = -1;
  std::string output;
};

// Runs the built tarn with its arguments (stdin not a terminal) in `folder`.
inline ProcessResult RunTarnExe(const std::vector<std::string>& args,
                                const std::string& folder = ".",
                                const std::string& exe = TARN_EXE) {
  std::string command = "cd '" + folder + "' && '" + exe + "'";
  for (const std::string& a : args) command += " '" + a + "'";
  command += " </dev/null 2>&1";
  ProcessResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
  int status = pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace tarn_test
