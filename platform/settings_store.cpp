#include "platform/settings_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <utility>

#include "platform/text.h"

namespace platform {
namespace {

// The file, one record a line:
//   [Key\Path]          a key that holds values or no subkeys (the keys above it are implied)
//   "name"=123          an integer value of the key above
//   "name"="text"       a string value of the key above
// Values before the first key line belong to the root key. Inside names and texts, "%", the
// double quote and control bytes are written as %XX; key names escape "%", control bytes and
// the path separator "\" the same way. A file that does not begin with the header line is not
// a settings file. Earlier versions wrote a line for every key; such files read the same.
constexpr std::string_view kHeader = "QVKey settings 1";

// More findings than this in one file are counted, not listed.
constexpr std::size_t kMaxProblems = 20;

std::vector<std::string_view> SplitPath(std::string_view path) {
  std::vector<std::string_view> names;
  while (!path.empty()) {
    std::size_t cut = path.find('\\');
    std::string_view name = path.substr(0, cut);
    if (!name.empty()) names.push_back(name);
    if (cut == std::string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return names;
}

bool NeedsEscape(unsigned char c, bool in_quotes) {
  return c < 0x20 || c == 0x7F || c == '%' || (in_quotes ? c == '"' : c == '\\');
}

void AppendEscaped(std::string& out, std::string_view text, bool in_quotes) {
  constexpr char kHex[] = "0123456789ABCDEF";
  for (char ch : text) {
    auto c = static_cast<unsigned char>(ch);
    if (NeedsEscape(c, in_quotes)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
}

std::size_t EscapedSize(std::string_view text, bool in_quotes) {
  std::size_t size = text.size();
  for (char ch : text)
    if (NeedsEscape(static_cast<unsigned char>(ch), in_quotes)) size += 2;
  return size;
}

// False when a "%" is not followed by two hex digits.
bool Unescape(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    int hi = HexDigitValue(text[i + 1]), lo = HexDigitValue(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

// A quoted field at the start of text: its unescaped contents, and text advanced past it.
bool TakeQuoted(std::string_view& text, std::string& out) {
  if (text.empty() || text.front() != '"') return false;
  std::size_t end = text.find('"', 1);
  if (end == std::string_view::npos) return false;
  if (!Unescape(text.substr(1, end - 1), out)) return false;
  text.remove_prefix(end + 1);
  return true;
}

bool ParseInt(std::string_view text, std::int32_t& value) {
  if (text.empty()) return false;
  std::int64_t v = 0;
  bool negative = text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (negative) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

bool WriteAll(std::FILE* file, std::string_view bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
}

std::string Bytes(std::size_t n) { return std::to_string(n) + " bytes"; }

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
  return LessText(a, b);
}

namespace {

std::size_t KeyLineBytes(std::size_t path_bytes) { return path_bytes + 3; }  // [path]\n

template <typename Value>
std::size_t ValueLineBytes(std::string_view name, const Value& value) {
  const std::size_t named = EscapedSize(name, true) + 4;  // "name"= and the line break
  if (const auto* i = std::get_if<std::int32_t>(&value)) return named + std::to_string(*i).size();
  return named + EscapedSize(std::get<std::string>(value), true) + 2;
}

template <typename Key>
std::size_t ValuesBytes(const Key& key) {
  std::size_t bytes = 0;
  for (const auto& [name, value] : key.values) bytes += ValueLineBytes(name, value);
  return bytes;
}

// The lines of a key and everything below it.
template <typename Key>
std::size_t SubtreeBytes(const Key& top) {
  std::size_t bytes = 0;
  std::vector<const Key*> open = {&top};
  while (!open.empty()) {
    const Key* key = open.back();
    open.pop_back();
    bytes += KeyLineBytes(key->path_bytes) + ValuesBytes(*key);
    for (const auto& [name, sub] : key->subkeys) open.push_back(sub.get());
  }
  return bytes;
}

template <typename Key>
void AppendValues(std::string& out, const Key& key) {
  for (const auto& [name, value] : key.values) {
    out += '"';
    AppendEscaped(out, name, true);
    out += "\"=";
    if (const auto* i = std::get_if<std::int32_t>(&value)) {
      out += std::to_string(*i);
    } else {
      out += '"';
      AppendEscaped(out, std::get<std::string>(value), true);
      out += '"';
    }
    out += '\n';
  }
}

}  // namespace

SettingsStore::SettingsStore(std::filesystem::path file)
    : file_(std::move(file)), write_bytes_(WriteAll), file_bytes_(kHeader.size() + 1) {
  std::string text;
  readable_ = ReadFile(text) && Load(std::move(text));
  Loaded();
}

SettingsStore::SettingsStore(std::filesystem::path file, std::string bytes)
    : file_(std::move(file)), write_bytes_(WriteAll), file_bytes_(kHeader.size() + 1) {
  readable_ = Load(std::move(bytes));
  Loaded();
}

void SettingsStore::Loaded() {
  bytes_limit_ = kMaxFileBytes;
  if (!readable_) {
    root_ = Key{};
    file_bytes_ = kHeader.size() + 1;
    std::lock_guard lock(damage_mutex_);
    problems_.clear();
    problems_left_out_ = 0;
  }
}

std::filesystem::path SettingsStore::DefaultPath() {
  if (const char* file = std::getenv("QVKEY_SETTINGS_FILE"); file && *file) return file;
  std::filesystem::path folder;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    folder = config;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    folder = std::filesystem::path(home) / ".config";
  } else {
    folder = ".config";
  }
  return folder / "QVKey" / "settings.txt";
}

std::filesystem::path SettingsStore::DamagedCopy() const {
  std::filesystem::path copy = file_;
  copy += ".damaged";
  return copy;
}

bool SettingsStore::Damaged() const {
  std::lock_guard lock(damage_mutex_);
  return !problems_.empty();
}

std::vector<std::string> SettingsStore::Problems() const {
  std::lock_guard lock(damage_mutex_);
  std::vector<std::string> problems = problems_;
  if (problems_left_out_ > 0)
    problems.push_back("and " + std::to_string(problems_left_out_) + " more");
  return problems;
}

void SettingsStore::NoteDamage(std::string problem) const {
  std::lock_guard lock(damage_mutex_);
  if (std::find(problems_.begin(), problems_.end(), problem) != problems_.end()) return;
  if (problems_.size() < kMaxProblems) {
    problems_.push_back(std::move(problem));
  } else {
    ++problems_left_out_;
  }
}

void SettingsStore::Note(std::string problem) { NoteDamage(std::move(problem)); }

void SettingsStore::DropDamaged(std::string_view key, std::string_view name, std::string problem) {
  NoteDamage(std::move(problem));
  std::vector<std::string_view> names = SplitPath(key);
  Key* parent = nullptr;
  Key* k = &root_;
  for (std::string_view n : names) {
    auto it = k->subkeys.find(n);
    if (it == k->subkeys.end()) return;
    parent = k;
    k = it->second.get();
  }
  if (auto it = k->values.find(name); it != k->values.end()) {
    file_bytes_ -= ValueLineBytes(it->first, it->second);
    k->values.erase(it);
  }
  if (parent && k->values.empty() && k->subkeys.empty()) {
    file_bytes_ -= KeyLineBytes(k->path_bytes);
    parent->subkeys.erase(parent->subkeys.find(names.back()));
  }
}

bool SettingsStore::Refuse(std::string reason) {
  last_error_ = std::move(reason);
  return false;
}

bool SettingsStore::Fits(std::size_t more, std::size_t less) const {
  return file_bytes_ - less + more <= bytes_limit_;
}

std::string SettingsStore::KeyRefusal(const std::vector<std::string_view>& names) const {
  if (names.size() > static_cast<std::size_t>(kMaxKeyDepth))
    return "a key more than " + std::to_string(kMaxKeyDepth) + " levels deep";
  std::size_t path = 0;
  for (std::string_view name : names) {
    if (name.size() > kMaxKeyNameBytes) return "a key name longer than " + Bytes(kMaxKeyNameBytes);
    path += name.size() + 1;
  }
  if (path > kMaxKeyPathBytes + 1) return "a key path longer than " + Bytes(kMaxKeyPathBytes);
  return {};
}

std::string SettingsStore::ValueRefusal(std::string_view name, const Value& value) {
  if (name.size() > kMaxValueNameBytes)
    return "a value name longer than " + Bytes(kMaxValueNameBytes);
  if (const auto* text = std::get_if<std::string>(&value); text && text->size() > kMaxValueBytes)
    return "a value longer than " + Bytes(kMaxValueBytes);
  return {};
}

const SettingsStore::Key* SettingsStore::Find(std::string_view path) const {
  const Key* key = &root_;
  for (std::string_view name : SplitPath(path)) {
    auto it = key->subkeys.find(name);
    if (it == key->subkeys.end()) return nullptr;
    key = it->second.get();
  }
  return key;
}

SettingsStore::Key* SettingsStore::Find(std::string_view path) {
  return const_cast<Key*>(std::as_const(*this).Find(path));
}

bool SettingsStore::KeyExists(std::string_view key) const { return Find(key) != nullptr; }

bool SettingsStore::CreateKey(std::string_view path) {
  const std::vector<std::string_view> names = SplitPath(path);
  if (std::string refusal = KeyRefusal(names); !refusal.empty())
    return Refuse(refusal + " is refused");
  // The keys that are missing, and the lines they add to the file.
  Key* key = &root_;
  std::size_t existing = 0;
  for (; existing < names.size(); ++existing) {
    auto it = key->subkeys.find(names[existing]);
    if (it == key->subkeys.end()) break;
    key = it->second.get();
  }
  if (existing == names.size()) return true;
  std::size_t path_bytes = key->path_bytes, added = 0;
  for (std::size_t i = existing; i < names.size(); ++i) {
    path_bytes += (path_bytes ? 1 : 0) + EscapedSize(names[i], false);
    added += KeyLineBytes(path_bytes);
  }
  if (!Fits(added)) return Refuse("the settings file would grow beyond " + Bytes(kMaxFileBytes));
  for (std::size_t i = existing; i < names.size(); ++i) {
    auto sub = std::make_unique<Key>();
    sub->path_bytes = key->path_bytes + (key->path_bytes ? 1 : 0) + EscapedSize(names[i], false);
    key = key->subkeys.emplace(std::string(names[i]), std::move(sub)).first->second.get();
  }
  file_bytes_ += added;
  return Save();
}

bool SettingsStore::DeleteKey(std::string_view path) {
  std::vector<std::string_view> names = SplitPath(path);
  if (names.empty()) return false;
  std::string_view last = names.back();
  names.pop_back();
  Key* parent = &root_;
  for (std::string_view name : names) {
    auto it = parent->subkeys.find(name);
    if (it == parent->subkeys.end()) return false;
    parent = it->second.get();
  }
  auto it = parent->subkeys.find(last);
  if (it == parent->subkeys.end()) return false;
  file_bytes_ -= SubtreeBytes(*it->second);
  parent->subkeys.erase(it);
  return Save();
}

bool SettingsStore::ValueExists(std::string_view key, std::string_view name) const {
  return KindOf(key, name) != ValueKind::Missing;
}

SettingsStore::ValueKind SettingsStore::KindOf(std::string_view key, std::string_view name) const {
  const Key* k = Find(key);
  if (!k) return ValueKind::Missing;
  auto it = k->values.find(name);
  if (it == k->values.end()) return ValueKind::Missing;
  return std::holds_alternative<std::int32_t>(it->second) ? ValueKind::Integer : ValueKind::String;
}

const SettingsStore::Value& SettingsStore::ValueOf(std::string_view key,
                                                   std::string_view name) const {
  const Key* k = Find(key);
  if (!k) throw SettingsError("Settings key '" + std::string(key) + "' does not exist");
  auto it = k->values.find(name);
  if (it == k->values.end())
    throw SettingsError("Setting '" + std::string(name) + "' has no value");
  return it->second;
}

std::int32_t SettingsStore::ReadInt(std::string_view key, std::string_view name) const {
  const Value& v = ValueOf(key, name);
  if (const auto* i = std::get_if<std::int32_t>(&v)) return *i;
  throw SettingsError("Setting '" + std::string(name) + "' holds a string, not an integer");
}

std::string SettingsStore::ReadString(std::string_view key, std::string_view name) const {
  const Value& v = ValueOf(key, name);
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
  throw SettingsError("Setting '" + std::string(name) + "' holds an integer, not a string");
}

bool SettingsStore::WriteValue(std::string_view key, std::string_view name, Value value) {
  Key* k = Find(key);
  if (!k) return Refuse("the key does not exist");
  if (std::string refusal = ValueRefusal(name, value); !refusal.empty())
    return Refuse(refusal + " is refused");
  const std::size_t added = ValueLineBytes(name, value);
  auto it = k->values.find(name);
  const std::size_t gone = it == k->values.end() ? 0 : ValueLineBytes(it->first, it->second);
  if (!Fits(added, gone))
    return Refuse("the settings file would grow beyond " + Bytes(kMaxFileBytes));
  if (it == k->values.end()) {
    k->values.emplace(std::string(name), std::move(value));
  } else {
    it->second = std::move(value);
  }
  file_bytes_ = file_bytes_ - gone + added;
  return Save();
}

bool SettingsStore::WriteInt(std::string_view key, std::string_view name, std::int32_t value) {
  return WriteValue(key, name, value);
}

bool SettingsStore::WriteString(std::string_view key, std::string_view name,
                                std::string_view value) {
  return WriteValue(key, name, std::string(value));
}

bool SettingsStore::ReadFile(std::string& text) const {
  std::error_code error;
  const bool exists = std::filesystem::exists(file_, error);
  if (error) return false;  // cannot tell: treat it as someone's file
  if (!exists) return true;
  std::ifstream in(file_, std::ios::binary);
  if (!in) return false;
  // Read one byte beyond the bound to tell a file that reaches it from one that goes past.
  std::string chunk(64 * 1024, '\0');
  while (text.size() <= kMaxFileBytes) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    if (!in) break;
  }
  return !in.bad();
}

bool SettingsStore::Load(std::string text) {
  if (text.empty()) return true;  // an empty file holds no settings to lose
  const bool cut_at_bound = text.size() > kMaxFileBytes;
  if (cut_at_bound) text.resize(kMaxFileBytes);

  std::string_view rest = text;
  const std::size_t end = rest.find('\n');
  std::string_view header = rest.substr(0, end);
  if (!header.empty() && header.back() == '\r') header.remove_suffix(1);
  if (header != kHeader) return false;
  rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  ParseLines(rest, cut_at_bound);
  if (cut_at_bound && !load_full_)
    Note("the file is larger than " + Bytes(kMaxFileBytes) + "; what follows is skipped");
  return true;
}

void SettingsStore::ParseLines(std::string_view text, bool cut_at_bound) {
  Key* current = &root_;
  for (std::size_t line_number = 2; !text.empty(); ++line_number) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      // Every line a save writes ends in a line break: this one was cut off.
      if (!cut_at_bound) Note("the file ends in the middle of line " + std::to_string(line_number));
      return;
    }
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.front() == '[') {
      current = KeyOfLine(line, line_number);
    } else if (current) {
      ValueOfLine(current, line, line_number);
    }
    // Lines after a key line that was refused belong to no key and go with it.
    if (load_full_) {
      Note("line " + std::to_string(line_number) +
           " and the lines after it are skipped: the "
           "settings take more than " +
           Bytes(kMaxLoadBytes));
      return;
    }
  }
}

SettingsStore::Key* SettingsStore::KeyOfLine(std::string_view line, std::size_t line_number) {
  const auto at = [line_number] { return "line " + std::to_string(line_number); };
  if (line.size() < 2 || line.back() != ']') {
    Note(at() + " cannot be read");
    return nullptr;
  }
  std::vector<std::string> names;
  for (std::string_view escaped : SplitPath(line.substr(1, line.size() - 2))) {
    if (!Unescape(escaped, names.emplace_back())) {
      Note(at() + " cannot be read");
      return nullptr;
    }
  }
  const std::vector<std::string_view> views(names.begin(), names.end());
  if (std::string refusal = KeyRefusal(views); !refusal.empty()) {
    Note(at() + ": " + refusal);
    return nullptr;
  }
  Key* key = &root_;
  for (const std::string& name : names) {
    auto it = key->subkeys.find(name);
    if (it == key->subkeys.end()) {
      const std::size_t path_bytes =
          key->path_bytes + (key->path_bytes ? 1 : 0) + EscapedSize(name, false);
      if (!Fits(KeyLineBytes(path_bytes))) {
        load_full_ = true;
        return nullptr;
      }
      auto sub = std::make_unique<Key>();
      sub->path_bytes = path_bytes;
      file_bytes_ += KeyLineBytes(path_bytes);
      it = key->subkeys.emplace(name, std::move(sub)).first;
    }
    key = it->second.get();
  }
  return key;
}

void SettingsStore::ValueOfLine(Key* key, std::string_view line, std::size_t line_number) {
  const auto at = [line_number] { return "line " + std::to_string(line_number); };
  std::string name, text;
  Value value;
  std::int32_t number = 0;
  if (!TakeQuoted(line, name) || line.empty() || line.front() != '=') {
    Note(at() + " cannot be read");
    return;
  }
  line.remove_prefix(1);
  if (TakeQuoted(line, text) && line.empty()) {
    value = std::move(text);
  } else if (ParseInt(line, number)) {
    value = number;
  } else {
    Note(at() + " cannot be read");
    return;
  }
  if (std::string refusal = ValueRefusal(name, value); !refusal.empty()) {
    Note(at() + ": " + refusal);
    return;
  }
  const std::size_t added = ValueLineBytes(name, value);
  auto it = key->values.find(name);
  const std::size_t gone = it == key->values.end() ? 0 : ValueLineBytes(it->first, it->second);
  if (!Fits(added, gone)) {
    load_full_ = true;
    return;
  }
  if (it == key->values.end()) {
    key->values.emplace(std::move(name), std::move(value));
  } else {
    it->second = std::move(value);
  }
  file_bytes_ = file_bytes_ - gone + added;
}

std::string SettingsStore::SavedBytes() const {
  std::string out;
  out.reserve(file_bytes_);
  out += kHeader;
  out += '\n';
  AppendValues(out, root_);
  // Depth first, each key after its parent, so a reader can create keys in file order. Only
  // keys that hold values, or nothing at all, get a line: a key with subkeys is implied by
  // them, which keeps a deep key one line long instead of one line per level.
  struct Open {
    const Key* key;
    decltype(root_.subkeys)::const_iterator next;
    std::size_t path_size;
  };
  std::string path;
  std::vector<Open> open = {{&root_, root_.subkeys.begin(), 0}};
  while (!open.empty()) {
    Open& top = open.back();
    if (top.next == top.key->subkeys.end()) {
      open.pop_back();
      continue;
    }
    const auto& [name, sub] = *top.next++;
    path.resize(top.path_size);
    if (!path.empty()) path += '\\';
    AppendEscaped(path, name, false);
    if (!sub->values.empty() || sub->subkeys.empty()) {
      out += '[';
      out += path;
      out += "]\n";
      AppendValues(out, *sub);
    }
    open.push_back({sub.get(), sub->subkeys.begin(), path.size()});
  }
  return out;
}

bool SettingsStore::Save() {
  // Someone's file that is not ours is never replaced: the run keeps its settings in memory.
  if (!readable_) return Refuse("the file is not a QVKey settings file and is left as it is");
  unsaved_ = true;
  if (burst_depth_ > 0) return true;
  return SaveNow();
}

bool SettingsStore::EndBurst() {
  if (--burst_depth_ > 0 || !unsaved_) return true;
  return SaveNow();
}

bool SettingsStore::SaveNow() {
  if (Damaged() && !damaged_copy_kept_) {
    if (!KeepDamagedCopy()) return false;
    damaged_copy_kept_ = true;
  }
  std::error_code ec;
  if (file_.has_parent_path()) std::filesystem::create_directories(file_.parent_path(), ec);
  // A settings file that is a link (to a folder of the user's dotfiles, say) stays one.
  std::filesystem::path target = file_;
  if (std::filesystem::is_symlink(file_, ec)) {
    std::filesystem::path resolved = std::filesystem::weakly_canonical(file_, ec);
    if (!ec) target = resolved;
  }
  if (!ReplaceFile(target, SavedBytes())) return false;
  unsaved_ = false;
  return true;
}

// The damaged file is kept under a second name by a hard link, so that no byte is written
// and the rename of the save that follows leaves it whole; a file system without links gets
// a copy.
bool SettingsStore::KeepDamagedCopy() {
  std::error_code ec;
  if (!std::filesystem::exists(file_, ec)) return true;
  const std::filesystem::path copy = DamagedCopy();
  std::filesystem::path temporary = copy;
  temporary += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(std::random_device()());
  if (::link(file_.c_str(), temporary.c_str()) == 0) {
    if (::rename(temporary.c_str(), copy.c_str()) == 0) return true;
    const int error = errno;
    ::unlink(temporary.c_str());
    return Refuse("the damaged file cannot be kept as " + copy.string() + ": " +
                  std::strerror(error));
  }
  std::ifstream in(file_, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Refuse("the damaged file cannot be read to keep it");
  return ReplaceFile(copy, bytes);
}

bool SettingsStore::ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
  struct stat old_file {};
  const bool existed = ::stat(path.c_str(), &old_file) == 0;
  std::random_device random;
  std::filesystem::path temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = path;
    temporary += ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(random());
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Refuse(std::string("the settings cannot be saved: ") + std::strerror(errno));
  std::FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    const int error = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    return Refuse(std::string("the settings cannot be saved: ") + std::strerror(error));
  }
  errno = 0;
  bool ok = write_bytes_(f, bytes);
  ok = (std::fflush(f) == 0) && ok;
  ok = ok && ::fsync(fd) == 0;
  if (ok && existed) ok = ::fchmod(fd, old_file.st_mode & 07777) == 0;
  const int write_error = errno;
  ok = (std::fclose(f) == 0) && ok;
  if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    const int error = write_error != 0 ? write_error : (errno != 0 ? errno : EIO);
    ::unlink(temporary.c_str());
    return Refuse(std::string("the settings cannot be saved: ") + std::strerror(error));
  }
  return true;
}

}  // namespace platform
