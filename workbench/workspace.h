#pragma once
// The workspace: the names of the files open when the main window closed, restored at the
// next start when the user asks for it. Kept as "WorkspaceFiles\Numfiles" and
// "WorkspaceFiles\File_00", "File_01", ...

#include <string>
#include <vector>

namespace workbench {

class RegistrySettings;

// Writes every name and the number written, then deletes the names a longer earlier list
// left behind. False when a write failed (the names written so far are counted).
[[nodiscard]] bool SaveWorkspace(RegistrySettings& settings, const std::vector<std::string>& files);

// files := the stored names that exist as keys; false when no workspace was ever saved.
bool LoadWorkspace(const RegistrySettings& settings, std::vector<std::string>& files);

}  // namespace workbench
