#pragma once
// A session around one TarnUnit: its image, options, texts, recorded boxes and the system's
// process runner, with a tool folder of its own (a blank in its name on purpose) where the
// real tarn or a stand-in script is placed as "TARN.dll".

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "build_debug/tools/tarn_bridge.h"
#include "platform/message_box.h"
#include "platform/process_runner.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "services/options.h"
#include "services/program_runner.h"
#include "tests/build_debug/image/image_fixture.h"
#include "tests/services/temp_folder.h"

namespace build_debug {

namespace fs = std::filesystem;

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::vector<std::string> ReadLines(const std::string& path) {
  return TextLines(ReadBytes(path));
}

struct TarnSession {
  workbench::TempFolder temp{"tarn bridge"};
  std::string tool_folder = temp.Path() + "QV Key/";
  std::string source_folder = temp.Path() + "my sources/";
  ImageHolder image;
  workbench::EditorOptions editor_options;
  workbench::IdeOptions ide_options;
  workbench::Localizer texts;
  platform::RecordingMessageBoxes boxes;
  workbench::MessageStrings strings{texts, boxes};
  platform::SystemProcessRunner processes;
  workbench::ProgramRunner runner{processes, boxes};
  std::vector<int> irc_cal_modes;
  TarnUnit tarn{*image,      runner,
                strings,     editor_options,
                ide_options, [this](std::uint8_t mode) { irc_cal_modes.push_back(mode); }};

  TarnSession() {
    // The bridge's boxes have only OK; each test checks the ones it expects.
    boxes.AnswerWithFirstButton();
    texts.InitLocalization("x");
    fs::create_directories(tool_folder);
    fs::create_directories(source_folder);
  }

  std::string OutputFolder() const { return tool_folder + kTarnOutputFolderName; }

  void PlaceRealTarn() {
    fs::copy_file(TARN_EXE, tool_folder + kTarnProgramName, fs::copy_options::overwrite_existing);
  }
  void PlaceStandIn(const std::string& body) {
    std::string path = tool_folder + kTarnProgramName;
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all);
  }
  // A fixture source copied into the source folder; its full name.
  std::string Source(const std::string& fixture) {
    std::string path = source_folder + fixture;
    fs::copy_file(std::string(BUILD_DEBUG_FIXTURES) + "/tarn_bridge/" + fixture, path,
                  fs::copy_options::overwrite_existing);
    return path;
  }
  std::string WriteSource(const std::string& name, const std::string& text) {
    WriteBytes(source_folder + name, text);
    return source_folder + name;
  }
};

}  // namespace build_debug
