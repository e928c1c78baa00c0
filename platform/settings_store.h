#pragma once
// The user's settings: a tree of keys, each holding named values of two types (32-bit integer
// or string), saved to one file.
//
// Invariants:
// - A key path is a list of non-empty names; "\" separates them, and empty names (a leading,
//   trailing or doubled "\") are dropped, so "\A\B\" and "A\B" are the same key. The root key
//   (the empty path) always exists and cannot be deleted.
// - Key names and value names compare without regard to ASCII case and keep the case they were
//   created with. A value name is any byte string, backslashes included.
// - After every change that returns true the file holds the whole tree. The file is replaced
//   as a whole (temporary file in the same folder, then rename), so a failed or interrupted
//   save leaves the previous file as it was.
// - A file that exists but cannot be read as a settings file (not ours, or unreadable) is never
//   written: the store starts empty, keeps its changes in memory, and every save fails.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace platform {

// A read of a value that is missing or holds the other type.
class SettingsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

class SettingsStore {
 public:
  // Writes the bytes of a save into an open temporary file; false means the save failed.
  // Tests replace it to interrupt a save part-way.
  using ByteWriter = std::function<bool(std::FILE* file, std::string_view bytes)>;

  // Loads the file when it exists; a missing or empty file is an empty tree. Lines of a
  // settings file that cannot be read are skipped.
  explicit SettingsStore(std::filesystem::path file);

  // False when the file exists but is not a settings file or cannot be read; nothing is then
  // ever saved over it.
  bool Readable() const { return readable_; }

  // The settings file of this user: $QVKEY_SETTINGS_FILE when set, else
  // $XDG_CONFIG_HOME/QVKey/settings.txt, else ~/.config/QVKey/settings.txt.
  static std::filesystem::path DefaultPath();

  const std::filesystem::path& File() const { return file_; }

  bool KeyExists(std::string_view key) const;
  // Creates the key and its missing parents; false when the file cannot be saved.
  bool CreateKey(std::string_view key);
  // Deletes the key with its values and subkeys; false when there is no such key (or it is
  // the root) or the file cannot be saved.
  bool DeleteKey(std::string_view key);

  bool ValueExists(std::string_view key, std::string_view name) const;
  // Writes a value into an existing key; false when the key does not exist or the file cannot
  // be saved (the new value then stays in memory and reaches the file with the next save).
  bool WriteInt(std::string_view key, std::string_view name, std::int32_t value);
  bool WriteString(std::string_view key, std::string_view name, std::string_view value);
  // Throw SettingsError when the key or value is missing or the value has the other type.
  std::int32_t ReadInt(std::string_view key, std::string_view name) const;
  std::string ReadString(std::string_view key, std::string_view name) const;

  void SetByteWriter(ByteWriter writer) { write_bytes_ = std::move(writer); }

 private:
  using Value = std::variant<std::int32_t, std::string>;
  struct Key {
    std::map<std::string, Value, CaseInsensitiveLess> values;
    std::map<std::string, std::unique_ptr<Key>, CaseInsensitiveLess> subkeys;
  };

  const Key* Find(std::string_view path) const;
  Key* Find(std::string_view path);
  const Value& ValueOf(std::string_view key, std::string_view name) const;
  bool WriteValue(std::string_view key, std::string_view name, Value value);
  bool Load();
  bool Save() const;

  std::filesystem::path file_;
  Key root_;
  ByteWriter write_bytes_;
  bool readable_ = true;
};

}  // namespace platform
