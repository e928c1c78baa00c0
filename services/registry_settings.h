#pragma once
// The IDE's settings by relative path, in the registry's shape: a setting with the path P is
// the key root+P holding one value named P. Window placements are six such settings under
// the window's name.
//
// The session keeps one store for the run and these settings over it; tests make their own
// RegistrySettings over a store of theirs.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/settings_store.h"

namespace workbench {

inline constexpr std::string_view kRegistryRoot = "\\Software\\KestrianInc\\QV-Key\\2.0\\";

// Ordinals as they are stored under "\WindowState".
enum class WindowState : std::int32_t { Normal = 0, Minimized = 1, Maximized = 2 };

// A window as its placement sees it; the Qt binding lives with the windows.
class PlacedWindow {
 public:
  virtual ~PlacedWindow() = default;
  virtual WindowState State() const = 0;
  virtual void SetState(WindowState state) = 0;
  // The bounds the window has in the normal state, in screen pixels.
  virtual int Top() const = 0;
  virtual int Left() const = 0;
  virtual int Height() const = 0;
  virtual int Width() const = 0;
  virtual bool Visible() const = 0;
  virtual void SetBounds(int left, int top, int width, int height) = 0;
};

// A window's normal bounds and whether it is shown, as the placement stores them; the members
// stand in the order they are written.
struct FormBounds {
  int top = 0;
  int left = 0;
  int height = 0;
  int width = 0;
  bool visible = false;
};

class RegistrySettings {
 public:
  explicit RegistrySettings(platform::SettingsStore& store) : store_(store) {}

  void SetRegistryRoot(std::string_view root) { root_ = root; }
  const std::string& RegistryRoot() const { return root_; }

  // False only when the key cannot be created or the store cannot be saved.
  bool WriteRegInt(std::string_view name, std::int32_t value);
  bool WriteRegString(std::string_view name, std::string_view value);
  // False when the key is missing: the integer is then left as it was, the string emptied.
  // A key without its value, or with a value of the other type (a damaged file), reads as
  // missing and is noted in the store's damage.
  bool ReadRegInt(std::string_view name, std::int32_t& value) const;
  bool ReadRegString(std::string_view name, std::string& value) const;
  bool RegKeyExists(std::string_view name) const;
  // Deletes the key with its values and subkeys.
  bool RegDeleteKey(std::string_view name);
  // Holds the saves of the writes while it lives, so that they replace the file once.
  platform::SettingsBurst Burst() { return platform::SettingsBurst(store_); }

  // Writes Top, Left, Height, Width and Visible in this order, stopping at the first failure.
  bool WriteFormBounds(std::string_view name, const FormBounds& bounds);
  // When the key exists reads each of the five that is there (a missing one leaves its
  // member alone) and returns true.
  bool ReadFormBounds(std::string_view name, FormBounds& bounds) const;
  // Stores the window state and the normal bounds; a window that is not normal is made
  // normal first, so that its normal bounds can be read.
  bool SaveFormPlacement(std::string_view name, PlacedWindow& window);
  // Applies the bounds only when all four are stored, then the stored state (normal when
  // missing); true whenever the key exists.
  bool RestoreFormPlacement(std::string_view name, PlacedWindow& window) const;

 private:
  std::string Key(std::string_view name) const { return root_ + std::string(name); }
  bool EnsureKey(std::string_view name);
  bool Usable(std::string_view name, platform::SettingsStore::ValueKind wanted) const;

  platform::SettingsStore& store_;
  std::string root_{kRegistryRoot};
};

}  // namespace workbench
