#pragma once
// A program folder as an installed QVKey finds it: tarn beside it, the BASIC compiler and the
// simulator of the versions it carries, their lists, help and manual with their release dates.
// With them in place the start-up installs nothing and asks nothing.

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "build_debug/tools/basic_bridge.h"
#include "build_debug/tools/simulator_bridge.h"
#include "build_debug/tools/tool_install.h"
#include "tests/services/temp_folder.h"

namespace testing_gui {

inline void WriteFile(const std::string& path, const std::string& text, bool program = false) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
  if (program && ::chmod(path.c_str(), 0755) != 0) throw std::runtime_error("chmod " + path);
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// `folder` ends with "/". `tarn` is the assembler to put there as "TARN.dll" (empty: a file
// that only has to exist).
inline void InstallTools(const std::string& folder, const std::string& tarn = "") {
  if (tarn.empty()) {
    WriteFile(folder + "TARN.dll", "");
  } else {
    std::filesystem::copy_file(tarn, folder + "TARN.dll",
                               std::filesystem::copy_options::overwrite_existing);
  }
  const std::string qvb = folder + build_debug::QvBasicUnit::kFolder;
  WriteFile(qvb + build_debug::QvBasicUnit::kProgram,
            "#!/bin/sh\necho " + std::to_string(build_debug::QvBasicUnit::kRequiredVersion) + "\n",
            true);
  WriteFile(qvb + "INVALID.TXT", "");
  WriteFile(qvb + "RESERVED.TXT", "");
  WriteFile(qvb + "QVB.chm", "");
  std::filesystem::create_directories(qvb + build_debug::QvBasicUnit::kOutputFolder);
  const std::string sim = folder + build_debug::QvSimUnit::kFolder;
  WriteFile(sim + build_debug::QvSimUnit::kProgram, "#!/bin/sh\necho 2.08.0005\n", true);
  WriteFile(sim + build_debug::QvSimUnit::kManualFile, "");
  if (!build_debug::SetFileDate(
          qvb + "QVB.chm", build_debug::LocalTimeFromDays(build_debug::QvBasicUnit::kHelpDate)) ||
      !build_debug::SetFileDate(
          sim + build_debug::QvSimUnit::kManualFile,
          build_debug::LocalTimeFromDays(build_debug::QvSimUnit::kManualDate)))
    throw std::runtime_error("cannot date the tools' files in " + folder);
}

}  // namespace testing_gui

namespace testing_gui {

// The built QVKey copied into a folder of its own with tarn and the tools beside it.
class InstalledProgram {
 public:
  // `built` is the program the build made; its tarn ("TARN.dll") lies beside it. The folder's
  // name begins with `name`.
  explicit InstalledProgram(const std::string& built, const std::string& name = "qv program")
      : folder_(name) {
    const std::filesystem::path program(built);
    std::filesystem::copy_file(program, folder_.Path() + "QVKey");
    InstallTools(folder_.Path(), (program.parent_path() / "TARN.dll").string());
  }

  std::string Program() const { return folder_.Path() + "QVKey"; }

 private:
  workbench::TempFolder folder_;
};

// The box a first run shows before its configuration dialog, as the box log writes it.
inline const std::string kFirstRunBox =
    "FIRST TIME RUNNING|Since this is the first time the program has run, please\\rtake a "
    "moment to review the default configuration.\\rIn particular, check the COM port setting to "
    "make sure the\\rQV-Key can be found.|ok";

}  // namespace testing_gui
