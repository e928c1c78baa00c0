#pragma once
// The main window's commands with the keys their descriptions give: the Run menu, the File
// and Edit menus, the legacy editor's own items and the Windows menu's window items. Written
// from the descriptions, not from the program's command table, which the tests hold against it.

#include "resources/code_widget_names.h"
#include "services/main_commands.h"

namespace described_commands {

struct DescribedCommand {
  const char* item;
  const char* keys;
  workbench::EditorModes modes;
};

namespace main_menu = widget_names::MainMenu;
using workbench::kBothModes;
using workbench::kEnhancedOnly;
using workbench::kLegacyOnly;

inline constexpr DescribedCommand kDescribedCommands[] = {
    // Run menu
    {main_menu::RunAssembleMENUITM, "Ctrl+A", kBothModes},
    {main_menu::RunProgramMENUITM, "Ctrl+P", kBothModes},
    {main_menu::RunRunMENUITM, "Ctrl+R", kBothModes},
    {main_menu::RunDebugMENUITM, "Ctrl+D", kBothModes},
    {main_menu::RunDebugAgainMENUITM, "Ctrl+Alt+D", kBothModes},
    // View List gets Ctrl+L with the enhanced editor and loses it with the legacy one.
    {main_menu::RunViewDebugCodeMENUITM, "Ctrl+L", kEnhancedOnly},
    {main_menu::RunStartQVSimMENUITM, "Ctrl+Alt+S", kBothModes},
    {main_menu::RunClockMENUITM, "Ctrl+K", kBothModes},
    {main_menu::RunDeviceMENUITM, "Ctrl+I", kBothModes},
    {main_menu::RunConfigureMENUITM, "Ctrl+U", kBothModes},
    // File menu
    {main_menu::FileOpenMENUITM, "Ctrl+O", kBothModes},
    {main_menu::FileSaveMENUITM, "Ctrl+S", kBothModes},
    {main_menu::FileListToggleMENUITM, "Ctrl+L", kLegacyOnly},
    // Edit menu: Undo, Redo and Go to Line are hidden with the legacy editor, Text Bigger and
    // Text Smaller shown only with it.
    {main_menu::EditUndoMenuMENUITM, "Ctrl+Z", kEnhancedOnly},
    {main_menu::EditRedoMenuMENUITM, "Ctrl+Y", kEnhancedOnly},
    {main_menu::EditCutMENUITM, "Ctrl+X", kBothModes},
    {main_menu::EditCopyMENUITM, "Ctrl+C", kBothModes},
    {main_menu::EditPasteMENUITM, "Ctrl+V", kBothModes},
    {main_menu::EditFindMENUITM, "Ctrl+F", kBothModes},
    {main_menu::EditFindNextMenuMENUITM, "F3", kBothModes},
    {main_menu::EditFindReplaceMENUITM, "Ctrl+H", kBothModes},
    // Replace is the legacy editor's, and hidden.
    {main_menu::EditReplaceMENUITM, "F4", kLegacyOnly},
    {main_menu::EditTextBiggerMENUITM, "Ctrl+Up", kLegacyOnly},
    {main_menu::EditTextSmallerMENUITM, "Ctrl+Down", kLegacyOnly},
    {main_menu::EditGoToLineMENUITM, "Ctrl+G", kEnhancedOnly},
    // Windows menu
    {main_menu::EditorWindowMENUITM, "Ctrl+E", kBothModes},
    {main_menu::ListWindowMENUITM, "Ctrl+L", kBothModes},
    {main_menu::DeviceWindowMENUITM, "Ctrl+I", kBothModes},
};

}  // namespace described_commands
