#pragma once
// A program folder as an installed QVKey finds it: tarn beside it, the BASIC compiler and the
// simulator of the versions it carries, their lists, help and manual with their release dates.
// With them in place the start-up installs nothing and asks nothing.

#include <sys/stat.h>

#include <fstream>
#include <stdexcept>
#include <string>

#include "build_debug/basic_bridge.h"
#include "build_debug/simulator_bridge.h"
#include "build_debug/tool_install.h"

namespace testing_gui {

inline void WriteFile(const std::string& path, const std::string& text, bool program = false) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
  if (program && ::chmod(path.c_str(), 0755) != 0) throw std::runtime_error("chmod " + path);
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
            "#!/bin/sh\necho " + std::to_string(build_debug::QvBasicUnit::kRequiredVersion) +
                "\n",
            true);
  WriteFile(qvb + "INVALID.TXT", "");
  WriteFile(qvb + "RESERVED.TXT", "");
  WriteFile(qvb + "QVB.chm", "");
  std::filesystem::create_directories(qvb + build_debug::QvBasicUnit::kOutputFolder);
  const std::string sim = folder + build_debug::QvSimUnit::kFolder;
  WriteFile(sim + build_debug::QvSimUnit::kProgram, "#!/bin/sh\necho 2.08.0005\n", true);
  WriteFile(sim + build_debug::QvSimUnit::kManualFile, "");
  if (!build_debug::SetFileDate(qvb + "QVB.chm",
                                build_debug::LocalTimeFromDays(build_debug::QvBasicUnit::kHelpDate)) ||
      !build_debug::SetFileDate(sim + build_debug::QvSimUnit::kManualFile,
                                build_debug::LocalTimeFromDays(build_debug::QvSimUnit::kManualDate)))
    throw std::runtime_error("cannot date the tools' files in " + folder);
}

}  // namespace testing_gui
