#pragma once
// What the in-process main-window tests against the simulated key share: the program they
// build and program, and a session's files in a test folder with tarn installed beside them
// and COM1 pointed wherever the test says at the moment of the open.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "tests/workbench/gui/installed_tools.h"
#include "workbench/session/session.h"

namespace gui {

// Stores a value, so that its words differ from an erased chip's.
inline constexpr char kStoringProgram[] =
    "        DEVICE  QV18AC, OSCRC\n"
    "        ORG     0\n"
    "start   MOV     W,#$55\n"
    "        MOV     $08,W\n"
    "        JMP     start\n"
    "        RESET   start\n"
    "        END\n";

// Settings, tools and windows under `folder` (ending with "/"); COM1 is `com1()`.
inline workbench::SessionSetup KeySessionSetup(const std::string& folder,
                                               std::function<std::string()> com1) {
  workbench::SessionSetup setup;
  setup.settings_file = folder + "settings.txt";
  setup.exe_folder = folder + "tools/";
  setup.windows = platform::WindowSockets(folder);
  setup.serial_environment =
      [com1 = std::move(com1)](std::string_view name) -> std::optional<std::string> {
    if (name == "QVKEY_COM1") return com1();
    return std::nullopt;
  };
  std::filesystem::create_directories(setup.exe_folder);
  testing_gui::InstallTools(
      setup.exe_folder, (std::filesystem::path(QVKEY_PROGRAM).parent_path() / "TARN.dll").string());
  return setup;
}

}  // namespace gui
