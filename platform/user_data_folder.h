#pragma once
// Where the folders the program writes beside itself go ("TARN Output/", "Compilers/QVB/",
// "Tools/QVSim/", "Templates/"): beside the program when its folder can be written, otherwise
// in the user's data folder, $XDG_DATA_HOME/QVKey/ (by default ~/.local/share/QVKey/), as for
// a copy installed in a system folder.
//
// tarn, a program of its own, applies the same rule to "TARN Output/" (assembler/driver.cpp):
// the two must agree, since the IDE reads back what tarn wrote.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

using EnvironmentLookup = std::function<std::optional<std::string>(std::string_view name)>;

// "$XDG_DATA_HOME/QVKey/", or "$HOME/.local/share/QVKey/" when XDG_DATA_HOME is unset, empty
// or not an absolute path; "" when neither gives an absolute folder. Ends with "/".
std::string UserDataFolder(const EnvironmentLookup& environment);

// The effective user may make and remove files in the folder.
bool CanWriteFolder(const std::string& folder);

// program_folder (ending with "/") when can_write says so, else the user's data folder; the
// program's folder still when there is no user data folder. Ends with "/".
std::string WrittenFoldersRoot(
    const std::string& program_folder, const EnvironmentLookup& environment,
    const std::function<bool(const std::string&)>& can_write = CanWriteFolder);

}  // namespace platform
