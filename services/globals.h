#pragma once
// The values the whole IDE shares for a run: the program's folder, the modes the command line
// sets, the editor font, the current file and the loaded options. The session owns them; the
// main window sets them at start-up.

#include <cstdint>
#include <string>
#include <string_view>

#include "services/options.h"

namespace workbench {

// The legacy editor's file, described four ways at once.
struct TFileInfo {
  std::string FullName;
  std::string Folder;
  std::string NameOnly;  // without folder and extension
  std::string Extension;
};

// Font style bits.
enum FontStyle : std::uint8_t {
  kFontBold = 1,
  kFontItalic = 2,
  kFontUnderline = 4,
  kFontStrikeOut = 8,
};

// DebugFlags bits.
enum DebugFlag : std::uint8_t {
  kDebugHideFileList = 1,
};

struct GlobalValues {
  bool DebugMode = false;       // "/debug": boxes report the steps of start-up
  std::uint8_t DebugFlags = 0;  // DebugFlag bits
  bool WrenfieldMode = false;   // a C compiler's ".cod" is loaded; assembling is off
  std::string CommandLineFile;
  std::string ExeFolder;  // ends with "/"
  // Where the folders the IDE writes live (tarn's output, the tools it installs, the
  // templates): ExeFolder, or the user's data folder when ExeFolder cannot be written.
  std::string DataFolder;  // ends with "/"
  std::string EditorFontName = "Courier New";
  int EditorFontSize = 9;
  std::uint8_t EditorFontStyle = 0;  // FontStyle bits
  TFileInfo CurrentFile;
  ::workbench::EditorOptions EditorOptions;
  ::workbench::IdeOptions IdeOptions;
};

// The folder of a program file with a trailing "/" ("" for a bare name).
std::string ProgramFolder(std::string_view program_file);

std::string IdeVersion();

}  // namespace workbench
