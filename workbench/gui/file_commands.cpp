#include "workbench/gui/file_commands.h"

#include <unistd.h>

#include <filesystem>

#include "editor_control/gui/scrivlet_widget.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "resources/string_ids.h"
#include "services/file_routines.h"
#include "services/localize.h"
#include "services/options.h"
#include "workbench/gui/editor_array.h"

namespace gui {

namespace Ids = string_ids::EditorUnit;

bool EditorFileSaving::IsReadOnlyFile(const std::string& name) {
  std::error_code error;
  if (!std::filesystem::exists(name, error)) return false;
  // Writability as this user sees it stands in for the file's read-only attribute.
  return ::access(name.c_str(), W_OK) != 0;
}

bool EditorFileSaving::FileModified(int index) const {
  TScrivlet* editor = editors_.GetEditor(index);
  return editor && editors_.GetWritable(index) && editor->Memo().Modified();
}

void EditorFileSaving::TellSaveFailed(const std::string& name, const std::string& reason) const {
  boxes_.Show({name + " could not be saved:\r" + reason + "\r\rThe text stays in the editor.",
               "Save Error", platform::BoxButtons::Ok});
}

bool EditorFileSaving::MakeBackup(const std::string& name) const {
  std::error_code error;
  if (!options_.CreateBackups || !std::filesystem::is_regular_file(name, error)) return true;
  const std::string backup = workbench::BackupFileName(name, texts_.LU_GetString(Ids::SCU_EXT_BAK));
  try {
    workbench::CopyFileByStream(name, backup, editors_.BytesWriter());
  } catch (const workbench::FileStreamError& e) {
    // Without its backup the old text would be gone after the save: nothing is written.
    TellSaveFailed(name, e.what());
    return false;
  }
  return true;
}

bool EditorFileSaving::SaveSourceFile(int index, const std::string& name) {
  if (!editors_.GetWritable(index)) return false;
  if (!MakeBackup(name)) return false;
  std::string reason;
  if (!editors_.SaveFile(name, index, reason)) {
    TellSaveFailed(name, reason);
    return false;
  }
  return true;
}

bool EditorFileSaving::SaveEditorFile(int index, const std::string& name) {
  if (IsReadOnlyFile(name) || !editors_.GetWritable(index)) {
    boxes_.Show({texts_.LU_GetString(Ids::SCU_SAVE_READ_ONLY),
                 texts_.LU_GetString(Ids::SCU_SAVE_READ_ONLY_CAPTION), platform::BoxButtons::Ok});
    return false;
  }
  if (name.empty() || platform::SameText(name, texts_.LU_GetString(Ids::SCU_UNTITLED))) {
    return save_as_ && save_as_(index);
  }
  return SaveSourceFile(index, name);
}

bool EditorFileSaving::AskSaveChanges(int index) {
  if (!FileModified(index)) return true;
  const std::string name = editors_.GetFileName(index);
  const int answer =
      boxes_.Show({platform::FormatText(texts_.LU_GetString(Ids::SCU_SAVE_CHANGES), {name}),
                   "Confirm", platform::BoxButtons::YesNoCancel});
  if (answer == platform::kAnswerNo) return true;
  if (answer != platform::kAnswerYes) return false;
  SaveEditorFile(index, name);
  return !FileModified(index);
}

}  // namespace gui
