#pragma once
// The main window's commands in one table: each menu item with its caption, its keys, the
// tool button that clicks it and the editor modes it is live in. The menus' shortcuts, the
// Windows menu's keys and the rule for a key that two items hold are all read from here.

#include <span>
#include <string_view>

namespace workbench {

enum class EditorMode { kEnhanced, kLegacy };

// The editor modes a command is live in (shown, and holding its keys).
enum EditorModes : unsigned {
  kEnhancedOnly = 1,
  kLegacyOnly = 2,
  kBothModes = kEnhancedOnly | kLegacyOnly,
};

struct MainCommand {
  const char* item;         // the menu item's widget name
  int caption_id;           // the string of its caption, 0: the form's caption
  const char* keys;         // "Ctrl+A" and the like, empty: none
  EditorModes modes;        // where it is live
  const char* tool_button;  // the tool button that does the same, or null
  bool hidden = false;      // never shown, whatever the mode
};

std::span<const MainCommand> MainCommands();

bool LiveIn(const MainCommand& command, EditorMode mode);

// The row of a menu item; an item the table does not hold is a fault of the program and
// throws std::logic_error.
const MainCommand& CommandOf(std::string_view item);

// The row of the command a tool button does; a button the table does not hold throws
// std::logic_error.
const MainCommand& CommandOfButton(std::string_view button);

// The keys the item holds in the mode: its own while it is live there, none otherwise.
std::string_view KeysIn(std::string_view item, EditorMode mode);

// Whether another command live in the mode holds the same keys: a key two actions hold fires
// neither, so such an item only shows its keys.
bool KeysSharedIn(std::string_view item, EditorMode mode);

}  // namespace workbench
