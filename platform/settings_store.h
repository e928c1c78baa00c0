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
// - Nothing beyond the bounds below is ever held: a key, name or value beyond them is refused,
//   whether a caller or the file brings it, and the rest is kept. The file a save writes is at
//   most kMaxFileBytes long and at most a few times as long as the file that was loaded.
// - After every change that returns true the file holds the whole tree, unless a burst is
//   open: then the outermost burst's end saves once. The file is replaced as a whole
//   (temporary file in the same folder, then rename), so a failed or interrupted save leaves
//   the previous file as it was.
// - A file that exists but cannot be read as a settings file (not ours, or unreadable) is never
//   written: the store starts empty, keeps its changes in memory, and every save fails.
// - A settings file with lines that cannot be read, or whose values a reader found damaged,
//   is kept as File() + ".damaged" before the first save replaces it.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <variant>
#include <vector>

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
  // Bounds of what the store holds. The key bounds are the registry's own name length and a
  // depth and path far beyond the IDE's (seven levels, under 80 bytes); a value holds at most
  // a few file names. Within them a save stays quick however the file was made.
  static constexpr int kMaxKeyDepth = 64;
  static constexpr std::size_t kMaxKeyNameBytes = 255;
  static constexpr std::size_t kMaxKeyPathBytes = 1024;
  static constexpr std::size_t kMaxValueNameBytes = 16383;
  static constexpr std::size_t kMaxValueBytes = 65536;
  static constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;
  // A load takes settings up to this much of the file, so that a run always has room for its
  // own (a window's placement, a list of files) however full the file it met.
  static constexpr std::size_t kMaxLoadBytes = kMaxFileBytes - 1024 * 1024;

  enum class ValueKind { Missing, Integer, String };

  // Writes the bytes of a save into an open temporary file; false means the save failed.
  // Tests replace it to interrupt a save part-way.
  using ByteWriter = std::function<bool(std::FILE* file, std::string_view bytes)>;

  // Loads the file when it exists; a missing or empty file is an empty tree. Lines of a
  // settings file that cannot be read are skipped and named in Problems().
  explicit SettingsStore(std::filesystem::path file);
  // A store over `file` loaded from `bytes` as if they had been read from it; the file is
  // touched by the first save only.
  SettingsStore(std::filesystem::path file, std::string bytes);

  // False when the file exists but is not a settings file or cannot be read; nothing is then
  // ever saved over it.
  bool Readable() const { return readable_; }

  // The settings file of this user: $QVKEY_SETTINGS_FILE when set, else
  // $XDG_CONFIG_HOME/QVKey/settings.txt, else ~/.config/QVKey/settings.txt.
  static std::filesystem::path DefaultPath();

  const std::filesystem::path& File() const { return file_; }
  // Where a damaged file is kept.
  std::filesystem::path DamagedCopy() const;

  // Whether the settings file was found damaged, and how: one line each, in the order found.
  bool Damaged() const;
  std::vector<std::string> Problems() const;
  // A reader's finding in a value it could not use; the same finding is kept once.
  void NoteDamage(std::string problem) const;
  // NoteDamage, and the value (and its key, when nothing else is left in it) is dropped, so
  // that the next save writes a sound file.
  void DropDamaged(std::string_view key, std::string_view name, std::string problem);

  // Why the last change that returned false failed.
  const std::string& LastError() const { return last_error_; }

  bool KeyExists(std::string_view key) const;
  // Creates the key and its missing parents; false when the path is beyond the bounds or the
  // file cannot be saved.
  bool CreateKey(std::string_view key);
  // Deletes the key with its values and subkeys; false when there is no such key (or it is
  // the root) or the file cannot be saved.
  bool DeleteKey(std::string_view key);

  bool ValueExists(std::string_view key, std::string_view name) const;
  ValueKind KindOf(std::string_view key, std::string_view name) const;
  // Writes a value into an existing key; false when the key does not exist, the name or value
  // is beyond the bounds, or the file cannot be saved (the new value then stays in memory and
  // reaches the file with the next save).
  bool WriteInt(std::string_view key, std::string_view name, std::int32_t value);
  bool WriteString(std::string_view key, std::string_view name, std::string_view value);
  // Throw SettingsError when the key or value is missing or the value has the other type.
  std::int32_t ReadInt(std::string_view key, std::string_view name) const;
  std::string ReadString(std::string_view key, std::string_view name) const;

  // The bytes a save writes now.
  std::string SavedBytes() const;

  void SetByteWriter(ByteWriter writer) { write_bytes_ = std::move(writer); }

 private:
  friend class SettingsBurst;
  using Value = std::variant<std::int32_t, std::string>;
  struct Key {
    std::map<std::string, Value, CaseInsensitiveLess> values;
    std::map<std::string, std::unique_ptr<Key>, CaseInsensitiveLess> subkeys;
    std::size_t path_bytes = 0;  // of the key's path as the file writes it
  };

  const Key* Find(std::string_view path) const;
  Key* Find(std::string_view path);
  const Value& ValueOf(std::string_view key, std::string_view name) const;
  bool WriteValue(std::string_view key, std::string_view name, Value value);
  // Why a key, name or value is beyond the bounds, or empty when it is not.
  std::string KeyRefusal(const std::vector<std::string_view>& names) const;
  static std::string ValueRefusal(std::string_view name, const Value& value);
  // Room in the bound of the file for `more` bytes (beyond `less` that go).
  bool Fits(std::size_t more, std::size_t less = 0) const;
  bool Refuse(std::string reason);
  bool ReadFile(std::string& text) const;
  bool Load(std::string text);
  void Loaded();
  void ParseLines(std::string_view text, bool cut_at_bound);
  Key* KeyOfLine(std::string_view line, std::size_t line_number);
  void ValueOfLine(Key* key, std::string_view line, std::size_t line_number);
  void Note(std::string problem);
  // A save now, or at the end of the open burst.
  bool Save();
  bool SaveNow();
  bool KeepDamagedCopy();
  bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes);
  void BeginBurst() { ++burst_depth_; }
  bool EndBurst();

  std::filesystem::path file_;
  Key root_;
  ByteWriter write_bytes_;
  bool readable_ = true;
  // An upper bound of the bytes a save writes: every key's line, every value's.
  std::size_t file_bytes_ = 0;
  std::size_t bytes_limit_ = kMaxLoadBytes;
  bool load_full_ = false;
  std::string last_error_;
  int burst_depth_ = 0;
  bool unsaved_ = false;
  bool damaged_copy_kept_ = false;
  // Readers note damage from const reads, some of them off the UI thread.
  mutable std::mutex damage_mutex_;
  mutable std::vector<std::string> problems_;
  mutable std::size_t problems_left_out_ = 0;
};

// Holds back the saves of a burst of changes (a window's placement, a list of files, the
// configuration) so that the file is replaced once, when the outermost burst ends.
class SettingsBurst {
 public:
  explicit SettingsBurst(SettingsStore& store) : store_(store) { store_.BeginBurst(); }
  // A burst left without End() (by an exception) still saves; its result is then only in
  // LastError().
  ~SettingsBurst() {
    if (!ended_) std::ignore = store_.EndBurst();
  }
  SettingsBurst(const SettingsBurst&) = delete;
  SettingsBurst& operator=(const SettingsBurst&) = delete;

  // False when the outermost burst's save failed; the changes stay in memory for the next
  // save. An inner burst leaves the answer to the outer one and returns true.
  [[nodiscard]] bool End() {
    ended_ = true;
    return store_.EndBurst();
  }

 private:
  SettingsStore& store_;
  bool ended_ = false;
};

}  // namespace platform
