#include "platform/settings_store.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/text.h"

namespace platform {
namespace {

// The file, one record a line:
//   [Key\Path]          a key (every key is written, so keys without values survive)
//   "name"=123          an integer value of the key above
//   "name"="text"       a string value of the key above
// Values before the first key line belong to the root key. Inside names and texts, "%", the
// double quote and control bytes are written as %XX; key names escape "%", control bytes and
// the path separator "\" the same way. A file that does not begin with the header line is not
// a settings file.
constexpr std::string_view kHeader = "QVKey settings 1";

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

std::string Escape(std::string_view text, bool in_quotes) {
  constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
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
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
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
    int hi = HexDigit(text[i + 1]), lo = HexDigit(text[i + 2]);
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

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
  return LessText(a, b);
}

SettingsStore::SettingsStore(std::filesystem::path file)
    : file_(std::move(file)), write_bytes_(WriteAll) {
  readable_ = Load();
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
  Key* key = &root_;
  bool created = false;
  for (std::string_view name : SplitPath(path)) {
    auto it = key->subkeys.find(name);
    if (it == key->subkeys.end()) {
      it = key->subkeys.emplace(std::string(name), std::make_unique<Key>()).first;
      created = true;
    }
    key = it->second.get();
  }
  return !created || Save();
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
  parent->subkeys.erase(it);
  return Save();
}

bool SettingsStore::ValueExists(std::string_view key, std::string_view name) const {
  const Key* k = Find(key);
  return k && k->values.count(name) != 0;
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
  if (!k) return false;
  auto it = k->values.find(name);
  if (it == k->values.end()) {
    k->values.emplace(std::string(name), std::move(value));
  } else {
    it->second = std::move(value);
  }
  return Save();
}

bool SettingsStore::WriteInt(std::string_view key, std::string_view name, std::int32_t value) {
  return WriteValue(key, name, value);
}

bool SettingsStore::WriteString(std::string_view key, std::string_view name,
                                std::string_view value) {
  return WriteValue(key, name, std::string(value));
}

bool SettingsStore::Load() {
  std::error_code error;
  const bool exists = std::filesystem::exists(file_, error);
  if (error) return false;  // cannot tell: treat it as someone's file
  if (!exists) return true;
  std::ifstream in(file_, std::ios::binary);
  if (!in) return false;
  std::string line;
  if (!std::getline(in, line)) return !in.bad();  // an empty file holds no settings to lose
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line != kHeader) return false;
  Key* current = &root_;
  std::string name, text;
  while (std::getline(in, line)) {
    std::string_view rest = line;
    if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
    if (rest.size() >= 2 && rest.front() == '[' && rest.back() == ']') {
      current = &root_;
      for (std::string_view escaped : SplitPath(rest.substr(1, rest.size() - 2))) {
        if (!Unescape(escaped, name) || name.empty()) {
          current = nullptr;
          break;
        }
        auto it = current->subkeys.find(name);
        if (it == current->subkeys.end())
          it = current->subkeys.emplace(name, std::make_unique<Key>()).first;
        current = it->second.get();
      }
      continue;
    }
    if (!current || !TakeQuoted(rest, name) || rest.empty() || rest.front() != '=') continue;
    rest.remove_prefix(1);
    std::int32_t number = 0;
    if (TakeQuoted(rest, text) && rest.empty()) {
      current->values.insert_or_assign(name, text);
    } else if (ParseInt(rest, number)) {
      current->values.insert_or_assign(name, number);
    }
  }
  return !in.bad();
}

bool SettingsStore::Save() const {
  // Someone's file that is not ours is never replaced: the run keeps its settings in memory.
  if (!readable_) return false;
  std::ostringstream out;
  out << kHeader << '\n';
  // Depth first, each key after its parent, so a reader can create keys in file order.
  std::function<void(const Key&, const std::string&)> write = [&](const Key& key,
                                                                   const std::string& path) {
    if (!path.empty()) out << '[' << path << "]\n";
    for (const auto& [name, value] : key.values) {
      out << '"' << Escape(name, true) << "\"=";
      if (const auto* i = std::get_if<std::int32_t>(&value)) {
        out << *i << '\n';
      } else {
        out << '"' << Escape(std::get<std::string>(value), true) << "\"\n";
      }
    }
    for (const auto& [name, sub] : key.subkeys)
      write(*sub, path.empty() ? Escape(name, false) : path + '\\' + Escape(name, false));
  };
  write(root_, "");
  const std::string bytes = out.str();

  std::error_code ec;
  if (file_.has_parent_path()) std::filesystem::create_directories(file_.parent_path(), ec);
  std::filesystem::path temp = file_;
  temp += ".tmp" + std::to_string(::getpid());
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = write_bytes_(f, bytes);
  ok = (std::fflush(f) == 0) && ok;
  ok = ok && ::fsync(::fileno(f)) == 0;
  ok = (std::fclose(f) == 0) && ok;
  if (ok) {
    std::filesystem::rename(temp, file_, ec);
    ok = !ec;
  }
  if (!ok) std::filesystem::remove(temp, ec);
  return ok;
}

}  // namespace platform
