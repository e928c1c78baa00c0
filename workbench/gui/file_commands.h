#pragma once
// Saving the enhanced editor's files and the "save changes?" question that comes before a
// close, a new file or the end of the program. An edit is never lost on the way: a save that
// did not happen leaves the editor modified, and a Yes whose save did not happen counts as
// Cancel.

#include <functional>
#include <string>

namespace platform {
class MessageBoxService;
}

namespace workbench {
class Localizer;
struct IdeOptions;
}  // namespace workbench

namespace gui {

class T_ZKEditorArray;

class EditorFileSaving {
 public:
  EditorFileSaving(T_ZKEditorArray& editors, const workbench::Localizer& texts,
                   platform::MessageBoxService& boxes, const workbench::IdeOptions& options)
      : editors_(editors), texts_(texts), boxes_(boxes), options_(options) {}

  // The editor is writable and modified.
  bool FileModified(int index) const;
  // Copies an existing file to its backup ("prog.src.bak") first when backups are on, then
  // writes the editor.
  // False (with a box saying why) when the editor is read-only or a write failed.
  bool SaveSourceFile(int index, const std::string& name);
  // Copies an existing file to its backup when backups are on (through the array's writer); false,
  // with a box saying why, when the copy failed: the save that follows must not happen then.
  [[nodiscard]] bool MakeBackup(const std::string& name) const;
  // A read-only file is told and not saved; a file never saved goes to Save As; otherwise
  // SaveSourceFile.
  bool SaveEditorFile(int index, const std::string& name);
  // Asks "Save changes to ... ?" for a modified editor. Returns false for Cancel, and for a
  // Yes whose save did not happen; the caller then stops what it was doing.
  [[nodiscard]] bool AskSaveChanges(int index);
  // Asks for a name and saves under it (the Save As command); true when saved. Without one, a
  // file that was never saved cannot be saved.
  void SetSaveAs(std::function<bool(int index)> save_as) { save_as_ = std::move(save_as); }
  // A file on disk that is marked read-only.
  static bool IsReadOnlyFile(const std::string& name);

 private:
  void TellSaveFailed(const std::string& name, const std::string& reason) const;

  T_ZKEditorArray& editors_;
  const workbench::Localizer& texts_;
  platform::MessageBoxService& boxes_;
  const workbench::IdeOptions& options_;
  std::function<bool(int index)> save_as_;
};

}  // namespace gui
