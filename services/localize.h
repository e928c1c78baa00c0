#pragma once
// Localized texts: the string tables answered by LU_GetString, the form and menu text tables,
// and the language-change callbacks.
//
// Every table is a text resource of 8-bit text, one entry a line:
// - "StringResourceNames": the resource names; those ending in "_Strings" are string tables.
// - "<Unit>_Strings": "SCU_" name, TAB, text. Empty lines take no index; "^" in a text is a
//   line break (CR).
// - a form table named after the form: component name, TAB, caption, TAB, hint, then TAB
//   separated list items; the line named after the form gives the form's caption.
// - a menu table named after the menu: item name, optional blanks, TAB, caption, TAB, hint.
// The resources are Windows-1252 text; the tables hold their texts as UTF-8, the encoding of
// every text inside the program, and they become toolkit strings only when shown.
//
// Invariants: the current language is always 0 (one language is built in; a selection never
// leaves it). Every table that is loaded has exactly the texts of its resource; a missing
// resource leaves its table empty.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/string_constants.h"

namespace workbench {

// The text of a resource by its name, or nothing when the program carries none.
using TextResourceLookup = std::function<std::optional<std::string>(std::string_view name)>;

// The program's resources: "strings/<name>.txt", else "forms/<name>.txt".
std::optional<std::string> EmbeddedTextResource(std::string_view name);

// Lines of a resource text, split at CR LF, LF or CR; a last line without a break counts.
std::vector<std::string> SplitLines(std::string_view text);

// A form's table, read as name/value pairs; names compare without regard to case, and the
// first line of a name wins.
class FormTable {
 public:
  FormTable() = default;
  static FormTable Parse(std::string_view text);
  // The TAB-separated fields of the named line (at least one), or nothing without a line.
  std::optional<std::vector<std::string>> Fields(std::string_view name) const;
  bool Empty() const { return lines_.empty(); }

 private:
  std::vector<std::pair<std::string, std::string>> lines_;
};

// A menu's table: item name to caption and hint.
struct MenuItemTexts {
  std::string caption;
  std::string hint;
};

class MenuTable {
 public:
  MenuTable() = default;
  static MenuTable Parse(std::string_view text);
  // Nothing when the item has no line or its line gives an empty value.
  std::optional<MenuItemTexts> TextsFor(std::string_view item_name) const;
  bool Empty() const { return lines_.empty(); }

 private:
  std::vector<std::pair<std::string, std::string>> lines_;
};

// The kinds of component a form table localizes; the toolkit binding maps its widgets on them.
enum class ComponentKind {
  Label,
  CheckBox,
  Panel,
  Button,
  GroupBox,
  RadioGroup,
  ListBox,
  ToolButton,
  Other
};

// What a form table gives one component; an empty optional leaves that part as designed.
struct ComponentTexts {
  std::optional<std::string> caption;
  std::optional<std::string> hint;
  std::optional<std::vector<std::string>> items;  // replaces the items
  bool drop_last_item = false;                    // after the items were replaced
};

// The texts of one component of the form named form_name. A list box keeps its items unless
// its line gives some, so that lists filled at run time (files, errors) survive a language
// change; a radio group takes items only while it is enabled.
ComponentTexts TextsForComponent(const FormTable& table, std::string_view form_name,
                                 std::string_view component_name, ComponentKind kind, bool enabled);

using LanguageCallback = std::function<void(int language)>;

// The localization state of a run.
class Localizer {
 public:
  explicit Localizer(TextResourceLookup lookup = EmbeddedTextResource);

  void InitLocalization(std::string_view exe_folder);
  void DoneLocalization();
  bool Initialised() const { return initialised_; }
  // Loads the tables again and runs every callback in registration order.
  void SelectLanguage(int index);
  void ReapplyLanguage();
  int CurrentLanguage() const { return current_language_ < 0 ? 0 : current_language_; }
  int LanguageCount() const { return 1; }
  // The program folder + "Languages/"; kept, never read: every text comes from the resources.
  const std::string& LanguagesFolder() const { return languages_folder_; }

  // Returns the callback's slot.
  int RegisterLanguageCallback(LanguageCallback callback);
  // Registers only once InitLocalization has run; -1 otherwise.
  int RegisterMenuLanguageCallback(LanguageCallback callback);
  // Empties a slot (a window that goes away before the run ends).
  void UnregisterLanguageCallback(int slot);

  void LoadStringTables(int language);
  std::string LU_GetString(int id) const;
  void LU_GetString(int id, std::string& s) const { s = LU_GetString(id); }
  // The number of texts of a slot's table (0 for a slot without one).
  int TableSize(int slot) const;

  FormTable LoadFormTable(std::string_view form_name) const;
  MenuTable LoadMenuTable(std::string_view menu_name) const;

 private:
  TextResourceLookup lookup_;
  bool initialised_ = false;
  int current_language_ = 0;
  int last_valid_language_ = -1;  // never raised: no language but the built-in one
  std::string languages_folder_;
  // One table a unit slot: the slot found for a unit indexes it.
  std::array<std::optional<std::vector<std::string>>, kStringSlots.size()> tables_;
  std::vector<LanguageCallback> callbacks_;
};

}  // namespace workbench
