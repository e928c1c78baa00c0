#include "services/windows_menu.h"

#include <algorithm>

#include "platform/text.h"
#include "resources/code_widget_names.h"
#include "resources/string_ids.h"
#include "services/localize.h"
#include "services/main_commands.h"

namespace main_menu = widget_names::MainMenu;

namespace workbench {
namespace {

namespace ids = string_ids::WindowsMenuUnit;

// A caption as it is matched: without "&", in lower case.
std::string Plain(const std::string& caption) {
  std::string plain;
  for (char c : caption)
    if (c != '&') plain += platform::LowerAscii(c);
  return plain;
}

std::string FileCaption(int number, const std::string& file_name) {
  return std::to_string(number) + " " + file_name;
}

std::string FileNameOf(const std::string& caption) {
  const auto blank = caption.find(' ');
  return blank == std::string::npos ? std::string() : caption.substr(blank + 1);
}

// The window items in the main window's command table, by their codes.
struct WindowItemEntry {
  int code;
  const MainCommand& command;
};

const WindowItemEntry kWindowItems[] = {
    {kEditorWindowItem, CommandOf(main_menu::EditorWindowMENUITM)},
    {kListWindowItem, CommandOf(main_menu::ListWindowMENUITM)},
    {kDeviceWindowItem, CommandOf(main_menu::DeviceWindowMENUITM)},
};

const WindowItemEntry* EntryOf(int code) {
  for (const WindowItemEntry& entry : kWindowItems)
    if (entry.code == code) return &entry;
  return nullptr;
}

}  // namespace

WindowsMenuUnit::WindowsMenuUnit(Localizer& texts) : texts_(texts) {
  language_slot_ = texts_.RegisterLanguageCallback([this](int) {
    for (WindowsMenuItem& item : items_)
      if (const WindowItemEntry* entry = EntryOf(item.Tag))
        item.Caption = texts_.LU_GetString(entry->command.caption_id);
    Changed();
  });
}

WindowsMenuUnit::~WindowsMenuUnit() {
  if (language_slot_ >= 0) texts_.UnregisterLanguageCallback(language_slot_);
}

void WindowsMenuUnit::InitWindowsMenu(std::function<void()> changed) {
  changed_ = std::move(changed);
}

void WindowsMenuUnit::Changed() const {
  if (changed_) changed_();
}

int WindowsMenuUnit::IndexOfCaption(const std::string& caption) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].Caption == caption) return static_cast<int>(i);
  return -1;
}

int WindowsMenuUnit::EditorItemIndex() const {
  const std::string match = Plain(texts_.LU_GetString(ids::SCU_EDITOR_WINDOW_MATCH));
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (Plain(items_[i].Caption) == match) return static_cast<int>(i);
  return -1;
}

void WindowsMenuUnit::WindowsMenuAdd(const std::string& file_name, int code) {
  if (const WindowItemEntry* entry = EntryOf(code)) {
    const std::string caption = texts_.LU_GetString(entry->command.caption_id);
    // The editor and list items are there once; the device item is added every time.
    if (code != kDeviceWindowItem && IndexOfCaption(caption) >= 0) return;
    items_.insert(items_.begin(), {caption, entry->command.keys, entry->command.item, code, false});
    Changed();
    return;
  }
  if (code != kFileItem || IndexOfFileItem(file_name) >= 0) return;
  const int number = static_cast<int>(items_.size()) - EditorItemIndex();
  std::string name = "_";
  name += std::to_string(number);
  name += "_MENUITM";
  items_.push_back({FileCaption(number, file_name), "", name, number - 1, false});
  CheckFileItem(file_name);
  Changed();
}

void WindowsMenuUnit::WindowsMenuRemove(int code, int index) {
  if (code == kFileItem) {
    const int first = EditorItemIndex() + 1;
    if (index < 0 || first + index >= static_cast<int>(items_.size())) return;
    items_.erase(items_.begin() + first + index);
    RenumberFileItems();
    Changed();
    return;
  }
  if (const WindowItemEntry* entry = EntryOf(code)) {
    const int at = IndexOfCaption(texts_.LU_GetString(entry->command.caption_id));
    if (at < 0) return;
    items_.erase(items_.begin() + at);
    Changed();
  }
}

void WindowsMenuUnit::RenameFileItem(const std::string& old_name, const std::string& new_name) {
  const int at = IndexOfFileItem(old_name);
  if (at < 0) return;
  WindowsMenuItem& item = items_[static_cast<std::size_t>(at)];
  item.Caption = FileCaption(item.Tag + 1, new_name);
  Changed();
}

void WindowsMenuUnit::CheckFileItem(const std::string& file_name) {
  for (WindowsMenuItem& item : items_)
    if (item.Checked) {
      item.Checked = false;
      break;
    }
  const int at = IndexOfFileItem(file_name);
  if (at >= 0) items_[static_cast<std::size_t>(at)].Checked = true;
  Changed();
}

int WindowsMenuUnit::IndexOfFileItem(const std::string& file_name) const {
  const int editor = EditorItemIndex();
  if (editor < 0) return -1;
  for (std::size_t i = static_cast<std::size_t>(editor) + 1; i < items_.size(); ++i)
    if (FileNameOf(items_[i].Caption) == file_name) return static_cast<int>(i);
  return -1;
}

void WindowsMenuUnit::RenumberFileItems() {
  const int editor = EditorItemIndex();
  if (editor < 0) return;
  int number = 1;
  for (std::size_t i = static_cast<std::size_t>(editor) + 1; i < items_.size(); ++i, ++number) {
    items_[i].Caption = FileCaption(number, FileNameOf(items_[i].Caption));
    items_[i].Tag = number - 1;
  }
}

}  // namespace workbench
