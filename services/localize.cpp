#include "services/localize.h"

#include "code_page/windows_1252.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "resources/widget_names.h"
#include "services/string_constants.h"

namespace config_frm = widget_names::ConfigFRM;

namespace workbench {
namespace {

using platform::SameText;

std::string Trim(std::string_view s) { return std::string(platform::TrimBlanks(s)); }

// Every piece between delimiters; the last piece always counts, so "" gives one empty field.
std::vector<std::string> SplitFields(std::string_view s, char delim) {
  std::vector<std::string> fields;
  for (;;) {
    std::size_t cut = s.find(delim);
    fields.emplace_back(s.substr(0, cut));
    if (cut == std::string_view::npos) break;
    s.remove_prefix(cut + 1);
  }
  return fields;
}

const std::string* FindValue(const std::vector<std::pair<std::string, std::string>>& lines,
                             std::string_view name) {
  for (const auto& [n, v] : lines)
    if (SameText(n, name)) return &v;
  return nullptr;
}

}  // namespace

std::optional<std::string> EmbeddedTextResource(std::string_view name) {
  for (std::string_view folder : {"strings/", "forms/"}) {
    std::string path = std::string(folder) + std::string(name) + ".txt";
    if (auto bytes = platform::FindResource(path)) return std::string(*bytes);
  }
  return std::nullopt;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

FormTable FormTable::Parse(std::string_view text) {
  FormTable table;
  for (const std::string& line : SplitLines(text)) {
    std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;  // not a name/value line
    table.lines_.emplace_back(line.substr(0, tab), line.substr(tab + 1));
  }
  return table;
}

std::optional<std::vector<std::string>> FormTable::Fields(std::string_view name) const {
  const std::string* value = FindValue(lines_, name);
  if (!value) return std::nullopt;
  return SplitFields(*value, '\t');
}

MenuTable MenuTable::Parse(std::string_view text) {
  MenuTable table;
  for (const std::string& line : SplitLines(text)) {
    std::size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    // A name padded with blanks up to its TAB: the name ends at the first blank.
    std::size_t blank = line.find(' ');
    std::size_t name_end = (blank < tab) ? blank : tab;
    table.lines_.emplace_back(line.substr(0, name_end), line.substr(tab + 1));
  }
  return table;
}

std::optional<MenuItemTexts> MenuTable::TextsFor(std::string_view item_name) const {
  if (item_name.empty()) return std::nullopt;
  const std::string* value = FindValue(lines_, item_name);
  if (!value || value->empty()) return std::nullopt;
  std::size_t tab = value->find('\t');
  if (tab == std::string::npos) return MenuItemTexts{Trim(*value), ""};
  return MenuItemTexts{Trim(std::string_view(*value).substr(0, tab)), value->substr(tab + 1)};
}

ComponentTexts TextsForComponent(const FormTable& table, std::string_view form_name,
                                 std::string_view component_name, ComponentKind kind,
                                 bool enabled) {
  ComponentTexts texts;
  if (component_name.empty()) return texts;
  std::optional<std::vector<std::string>> fields = table.Fields(component_name);
  if (!fields) return texts;
  const std::vector<std::string>& f = *fields;
  auto items_from_field_2 = [&f] {
    return std::vector<std::string>(f.begin() + (f.size() > 2 ? 2 : f.size()), f.end());
  };
  switch (kind) {
    case ComponentKind::Label:
    case ComponentKind::CheckBox:
    case ComponentKind::Panel:
    case ComponentKind::Button:
    case ComponentKind::GroupBox:
      texts.caption = f[0];
      if (f.size() >= 2) texts.hint = f[1];
      break;
    case ComponentKind::RadioGroup:
      texts.caption = f[0];
      if (f.size() >= 2) texts.hint = f[1];
      if (enabled && f.size() >= 2) texts.items = items_from_field_2();
      break;
    case ComponentKind::ListBox:
      if (f.size() >= 2) texts.hint = f[1];
      if (f.size() >= 3) {
        texts.items = items_from_field_2();
        // The dialog's section list names a language page that a single language hides.
        texts.drop_last_item =
            form_name == config_frm::ConfigFRM && component_name == config_frm::ItemLSTBX;
      }
      break;
    case ComponentKind::ToolButton:
      if (f.size() >= 2) texts.hint = f[1];
      break;
    case ComponentKind::Other: break;
  }
  return texts;
}

// The tables are the Windows program's 8-bit texts; every text inside the program is UTF-8, so
// they are converted here, once, and never mix with names or other texts in two encodings.
Localizer::Localizer(TextResourceLookup lookup)
    : lookup_([lookup = std::move(lookup)](std::string_view name) {
        std::optional<std::string> text = lookup(name);
        if (text) *text = code_page::Utf8FromWindows1252(*text);
        return text;
      }) {}

void Localizer::InitLocalization(std::string_view exe_folder) {
  callbacks_.clear();
  initialised_ = true;
  languages_folder_ = std::string(exe_folder);
  if (languages_folder_.empty() || languages_folder_.back() != '/') languages_folder_ += '/';
  languages_folder_ += "Languages/";
  SelectLanguage(0);
}

void Localizer::DoneLocalization() {
  for (auto& table : tables_) table.reset();
  callbacks_.clear();
  initialised_ = false;
}

void Localizer::SelectLanguage(int index) {
  if (!initialised_) return;
  if (index >= 0 && index <= last_valid_language_) current_language_ = index;
  LoadStringTables(current_language_);
  // A callback may register or unregister others; walk by index over what was there.
  for (std::size_t i = 0; i < callbacks_.size(); ++i) {
    LanguageCallback callback = callbacks_[i];
    if (callback) callback(current_language_);
  }
}

void Localizer::ReapplyLanguage() {
  if (initialised_) SelectLanguage(current_language_);
}

int Localizer::RegisterLanguageCallback(LanguageCallback callback) {
  callbacks_.push_back(std::move(callback));
  return static_cast<int>(callbacks_.size()) - 1;
}

int Localizer::RegisterMenuLanguageCallback(LanguageCallback callback) {
  if (!initialised_) return -1;
  return RegisterLanguageCallback(std::move(callback));
}

void Localizer::UnregisterLanguageCallback(int slot) {
  if (slot >= 0 && slot < static_cast<int>(callbacks_.size())) callbacks_[slot] = nullptr;
}

void Localizer::LoadStringTables(int /*language: one language is built in*/) {
  std::optional<std::string> names = lookup_("StringResourceNames");
  if (!names) return;
  for (const std::string& line : SplitLines(*names)) {
    if (line.empty()) continue;
    std::size_t cut = line.rfind('_');
    if (cut == std::string::npos || line.compare(cut + 1, std::string::npos, "Strings") != 0)
      continue;
    const std::string unit = line.substr(0, cut);
    std::size_t slot = 0;
    while (slot < kStringSlots.size() && kStringSlots[slot].find(unit) == std::string_view::npos)
      ++slot;
    if (slot == kStringSlots.size()) continue;

    std::vector<std::string>& table = tables_[slot].emplace();
    std::optional<std::string> text = lookup_(unit + "_Strings");
    if (!text) continue;
    for (std::string& entry : SplitLines(*text)) {
      if (entry.empty()) continue;
      std::size_t tab = entry.find('\t');
      // A line without a TAB keeps its place and its text as it stands.
      if (tab != std::string::npos) {
        entry.erase(0, tab + 1);
        for (char& c : entry)
          if (c == '^') c = '\r';
      }
      table.push_back(std::move(entry));
    }
  }
}

int Localizer::TableSize(int slot) const {
  if (slot < 0 || slot >= static_cast<int>(tables_.size()) || !tables_[slot]) return 0;
  return static_cast<int>(tables_[slot]->size());
}

std::string Localizer::LU_GetString(int id) const {
  if (id < 0 || current_language_ < 0)
    return "String request to LU_GetString was not valid (" + std::to_string(id) + ")";
  const int slot = id / 1000, index = id % 1000;
  if (index < TableSize(slot)) return (*tables_[slot])[index];
  return "String not available";
}

FormTable Localizer::LoadFormTable(std::string_view form_name) const {
  std::optional<std::string> text = lookup_(form_name);
  return text ? FormTable::Parse(*text) : FormTable();
}

MenuTable Localizer::LoadMenuTable(std::string_view menu_name) const {
  std::optional<std::string> text = lookup_(menu_name);
  return text ? MenuTable::Parse(*text) : MenuTable();
}

}  // namespace workbench
