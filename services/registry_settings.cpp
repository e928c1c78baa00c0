#include "services/registry_settings.h"

#include <tuple>

namespace workbench {

bool RegistrySettings::EnsureKey(std::string_view name) {
  return store_.KeyExists(Key(name)) || store_.CreateKey(Key(name));
}

bool RegistrySettings::WriteRegInt(std::string_view name, std::int32_t value) {
  return EnsureKey(name) && store_.WriteInt(Key(name), name, value);
}

bool RegistrySettings::WriteRegString(std::string_view name, std::string_view value) {
  return EnsureKey(name) && store_.WriteString(Key(name), name, value);
}

// A setting that a damaged file left without its value, or with one of the other type, reads
// as missing: the caller keeps its default, the store names it among the file's damage and
// drops it, so the next save writes a sound file.
bool RegistrySettings::Usable(std::string_view name,
                              platform::SettingsStore::ValueKind wanted) const {
  using Kind = platform::SettingsStore::ValueKind;
  const Kind kind = store_.KindOf(Key(name), name);
  if (kind == wanted) return true;
  const std::string setting = "the setting \"" + std::string(name) + "\" ";
  std::string problem;
  if (kind == Kind::Missing) {
    problem = setting + "has no value";
  } else if (wanted == Kind::Integer) {
    problem = setting + "holds a text where a number belongs";
  } else {
    problem = setting + "holds a number where a text belongs";
  }
  store_.DropDamaged(Key(name), name, std::move(problem));
  return false;
}

bool RegistrySettings::ReadRegInt(std::string_view name, std::int32_t& value) const {
  if (!store_.KeyExists(Key(name))) return false;
  if (!Usable(name, platform::SettingsStore::ValueKind::Integer)) return false;
  value = store_.ReadInt(Key(name), name);
  return true;
}

bool RegistrySettings::ReadRegString(std::string_view name, std::string& value) const {
  value.clear();
  if (!store_.KeyExists(Key(name))) return false;
  if (!Usable(name, platform::SettingsStore::ValueKind::String)) return false;
  value = store_.ReadString(Key(name), name);
  return true;
}

bool RegistrySettings::RegKeyExists(std::string_view name) const {
  return store_.KeyExists(Key(name));
}

bool RegistrySettings::RegDeleteKey(std::string_view name) { return store_.DeleteKey(Key(name)); }

bool RegistrySettings::WriteFormBounds(std::string_view name, const FormBounds& bounds) {
  const std::string n(name);
  platform::SettingsBurst burst(store_);
  const bool written =
      WriteRegInt(n + "\\Top", bounds.top) && WriteRegInt(n + "\\Left", bounds.left) &&
      WriteRegInt(n + "\\Height", bounds.height) && WriteRegInt(n + "\\Width", bounds.width) &&
      WriteRegInt(n + "\\Visible", bounds.visible ? 1 : 0);
  return burst.End() && written;
}

bool RegistrySettings::ReadFormBounds(std::string_view name, FormBounds& bounds) const {
  if (!RegKeyExists(name)) return false;
  const std::string n(name);
  std::int32_t shown = 0;
  ReadRegInt(n + "\\Top", bounds.top);
  ReadRegInt(n + "\\Left", bounds.left);
  ReadRegInt(n + "\\Height", bounds.height);
  ReadRegInt(n + "\\Width", bounds.width);
  if (ReadRegInt(n + "\\Visible", shown)) bounds.visible = shown != 0;
  return true;
}

bool RegistrySettings::SaveFormPlacement(std::string_view name, PlacedWindow& window) {
  platform::SettingsBurst burst(store_);
  const bool existed = RegKeyExists(name);
  if (!EnsureKey(name)) return false;
  const std::string n(name);
  // Like the registry's writes, these report nothing: a placement that is not saved is not
  // worth a word to the user.
  std::ignore = WriteRegInt(n + "\\WindowState", static_cast<std::int32_t>(window.State()));
  if (window.State() != WindowState::Normal) window.SetState(WindowState::Normal);
  std::ignore = WriteFormBounds(name, {.top = window.Top(),
                                       .left = window.Left(),
                                       .height = window.Height(),
                                       .width = window.Width(),
                                       .visible = window.Visible()});
  // A key that is only in memory because the file could not be saved was not created.
  return burst.End() || existed;
}

bool RegistrySettings::RestoreFormPlacement(std::string_view name, PlacedWindow& window) const {
  if (!RegKeyExists(name)) return false;
  const std::string n(name);
  std::int32_t top = 0, left = 0, height = 0, width = 0;
  if (ReadRegInt(n + "\\Top", top) && ReadRegInt(n + "\\Left", left) &&
      ReadRegInt(n + "\\Height", height) && ReadRegInt(n + "\\Width", width)) {
    window.SetBounds(left, top, width, height);
    std::int32_t state = 0;
    if (!ReadRegInt(n + "\\WindowState", state) || state < 0 || state > 2) state = 0;
    window.SetState(static_cast<WindowState>(state));
  }
  return true;
}

}  // namespace workbench
