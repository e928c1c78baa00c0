#pragma once
// The main window's "Windows" menu as a list of items: the editor, list and device windows,
// and one item per open file, numbered from 1 after the editor item. A window toolkit shows the
// list and calls back with the clicked item's Tag.

#include <functional>
#include <string>
#include <vector>

namespace workbench {

class Localizer;

enum WindowsMenuCode : int {
  kEditorWindowItem = 1000,
  kListWindowItem = 1001,
  kDeviceWindowItem = 1002,
  kFileItem = 1003,
};

struct WindowsMenuItem {
  std::string Caption;
  std::string ShortCut;  // "Ctrl+E" and the like, or empty
  std::string Name;
  int Tag = 0;  // the code of a window item; the editor's index for a file item
  bool Checked = false;
};

class WindowsMenuUnit {
 public:
  // Re-captions the window items whenever the language changes.
  explicit WindowsMenuUnit(Localizer& texts);
  ~WindowsMenuUnit();
  WindowsMenuUnit(const WindowsMenuUnit&) = delete;
  WindowsMenuUnit& operator=(const WindowsMenuUnit&) = delete;

  // `changed` runs after every change of the items (the view redraws the menu).
  void InitWindowsMenu(std::function<void()> changed);
  void WindowsMenuAdd(const std::string& file_name, int code);
  void WindowsMenuRemove(int code, int index);
  void RenameFileItem(const std::string& old_name, const std::string& new_name);
  void CheckFileItem(const std::string& file_name);
  // The position in the menu of the file's item, or -1.
  int IndexOfFileItem(const std::string& file_name) const;
  void RenumberFileItems();

  const std::vector<WindowsMenuItem>& Items() const { return items_; }

 private:
  int EditorItemIndex() const;
  int IndexOfCaption(const std::string& caption) const;
  void Changed() const;

  Localizer& texts_;
  int language_slot_ = -1;
  std::vector<WindowsMenuItem> items_;
  std::function<void()> changed_;
};

}  // namespace workbench
