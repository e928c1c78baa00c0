#include "services/main_commands.h"

#include <stdexcept>
#include <string>

#include "resources/code_widget_names.h"
#include "resources/string_ids.h"

namespace workbench {
namespace {

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;
namespace windows_ids = string_ids::WindowsMenuUnit;

// Some keys stand twice on purpose, each row where it is live: Ctrl+L is View List with the
// enhanced editor and List Toggle with the legacy one, and the list window's item in the
// Windows menu shows it too; Ctrl+I is Device and the device window's item. The Windows
// menu's items then only show the key (see KeysSharedIn).
constexpr MainCommand kCommands[] = {
    // File
    {main_menu::FileOpenMENUITM, 0, "Ctrl+O", kBothModes, editor_frm::FileOpenTBTN},
    {main_menu::FileSaveMENUITM, 0, "Ctrl+S", kBothModes, editor_frm::FileSaveTBTN},
    {main_menu::FileListToggleMENUITM, 0, "Ctrl+L", kLegacyOnly, nullptr},
    // Edit
    {main_menu::EditUndoMenuMENUITM, 0, "Ctrl+Z", kEnhancedOnly, nullptr},
    {main_menu::EditRedoMenuMENUITM, 0, "Ctrl+Y", kEnhancedOnly, nullptr},
    {main_menu::EditCutMENUITM, 0, "Ctrl+X", kBothModes, nullptr},
    {main_menu::EditCopyMENUITM, 0, "Ctrl+C", kBothModes, nullptr},
    {main_menu::EditPasteMENUITM, 0, "Ctrl+V", kBothModes, nullptr},
    {main_menu::EditFindMENUITM, 0, "Ctrl+F", kBothModes, nullptr},
    {main_menu::EditFindNextMenuMENUITM, 0, "F3", kBothModes, nullptr},
    {main_menu::EditFindReplaceMENUITM, 0, "Ctrl+H", kBothModes, nullptr},
    {main_menu::EditReplaceMENUITM, 0, "F4", kLegacyOnly, nullptr, true},
    {main_menu::EditTextBiggerMENUITM, 0, "Ctrl+Up", kLegacyOnly, nullptr},
    {main_menu::EditTextSmallerMENUITM, 0, "Ctrl+Down", kLegacyOnly, nullptr},
    {main_menu::EditGoToLineMENUITM, 0, "Ctrl+G", kEnhancedOnly, nullptr},
    // Run
    {main_menu::RunAssembleMENUITM, 0, "Ctrl+A", kBothModes, editor_frm::AssemblyTBTN},
    {main_menu::RunProgramMENUITM, 0, "Ctrl+P", kBothModes, editor_frm::ProgramTBTN},
    {main_menu::RunRunMENUITM, 0, "Ctrl+R", kBothModes, editor_frm::RunTBTN},
    {main_menu::RunDebugMENUITM, 0, "Ctrl+D", kBothModes, editor_frm::DebugTBTN},
    {main_menu::RunDebugAgainMENUITM, 0, "Ctrl+Alt+D", kBothModes, editor_frm::DebugAgainTBTN},
    {main_menu::RunViewDebugCodeMENUITM, 0, "Ctrl+L", kEnhancedOnly, nullptr},
    {main_menu::RunStartQVSimMENUITM, 0, "Ctrl+Alt+S", kBothModes, editor_frm::QvSimTBTN},
    {main_menu::RunClockMENUITM, 0, "Ctrl+K", kBothModes, editor_frm::ClockTBTN},
    {main_menu::RunDeviceMENUITM, 0, "Ctrl+I", kBothModes, editor_frm::DeviceTBTN},
    {main_menu::RunConfigureMENUITM, 0, "Ctrl+U", kBothModes, nullptr},
    // Windows
    {main_menu::EditorWindowMENUITM, windows_ids::SCU_EDITOR_WINDOW, "Ctrl+E", kBothModes, nullptr},
    {main_menu::ListWindowMENUITM, windows_ids::SCU_LIST_WINDOW, "Ctrl+L", kBothModes, nullptr},
    {main_menu::DeviceWindowMENUITM, windows_ids::SCU_DEVICE_WINDOW, "Ctrl+I", kBothModes, nullptr},
};

unsigned Bit(EditorMode mode) {
  return mode == EditorMode::kEnhanced ? kEnhancedOnly : kLegacyOnly;
}

}  // namespace

std::span<const MainCommand> MainCommands() { return kCommands; }

bool LiveIn(const MainCommand& command, EditorMode mode) {
  return (command.modes & Bit(mode)) != 0;
}

const MainCommand& CommandOf(std::string_view item) {
  for (const MainCommand& command : kCommands)
    if (item == command.item) return command;
  throw std::logic_error("the main window has no command \"" + std::string(item) + "\"");
}

const MainCommand& CommandOfButton(std::string_view button) {
  for (const MainCommand& command : kCommands)
    if (command.tool_button && button == command.tool_button) return command;
  throw std::logic_error("no command of the main window has the button \"" + std::string(button) +
                         "\"");
}

std::string_view KeysIn(std::string_view item, EditorMode mode) {
  const MainCommand& command = CommandOf(item);
  return LiveIn(command, mode) ? command.keys : "";
}

bool KeysSharedIn(std::string_view item, EditorMode mode) {
  const std::string_view keys = KeysIn(item, mode);
  if (keys.empty()) return false;
  for (const MainCommand& command : kCommands)
    if (item != command.item && LiveIn(command, mode) && keys == command.keys) return true;
  return false;
}

}  // namespace workbench
