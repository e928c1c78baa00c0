#include "services/file_routines.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "platform/text.h"

namespace workbench {
namespace {

namespace fs = std::filesystem;

bool SameLetter(char a, char b) { return platform::LowerAscii(a) == platform::LowerAscii(b); }

bool MatchWildcards(std::string_view name, std::string_view mask) {
  // Greedy match with backtracking to the last "*".
  std::size_t n = 0, m = 0, star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || (mask[m] != '*' && SameLetter(mask[m], name[n])))) {
      ++n;
      ++m;
    } else if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

std::string WithSlash(std::string_view folder) {
  std::string text(folder);
  if (text.empty() || text.back() != '/') text += '/';
  return text;
}

std::vector<std::string> MatchingFiles(std::string_view folder, std::string_view mask) {
  std::vector<std::string> names;
  std::error_code error;
  fs::directory_iterator it(WithSlash(folder), error);
  for (; !error && it != fs::directory_iterator(); it.increment(error)) {
    std::error_code kind_error;
    if (it->is_directory(kind_error)) continue;
    std::string name = it->path().filename().string();
    if (MatchesMask(name, mask)) names.push_back(name);
  }
  return names;
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (MatchWildcards(name, mask)) return true;
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos) {
    return MatchWildcards(name, mask.substr(0, mask.size() - 2));
  }
  return false;
}

int ListFilesByMask(std::vector<std::string>& list, std::string_view folder,
                    std::string_view mask) {
  list = MatchingFiles(folder, mask);
  return static_cast<int>(list.size());
}

int DeleteFilesByMask(std::string_view folder, std::string_view mask) {
  if (mask.empty()) return -1;
  std::string base = WithSlash(folder);
  int failed = 0;
  for (const std::string& name : MatchingFiles(folder, mask)) {
    std::error_code error;
    if (!fs::remove(base + name, error)) ++failed;
  }
  return failed;
}

void CopyFileByStream(const std::string& source, const std::string& dest,
                      const FileBytesWriter& writer) {
  std::ifstream in(source, std::ios::binary);
  if (!in) throw FileStreamError("Cannot open file \"" + source + "\"");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw FileStreamError("Cannot read file \"" + source + "\"");
  std::string reason;
  if (!ReplaceFileContents(dest, bytes, reason, writer))
    throw FileStreamError("Cannot create file \"" + dest + "\": " + reason);
}

std::string BackupFileName(const std::string& source, std::string_view extension) {
  // The longest name (not path) the system's file systems take, in bytes.
  constexpr std::size_t kLongestName = 255;
  // Longer extensions are taken for part of the name.
  constexpr std::size_t kLongestKeptExtension = 16;
  const std::size_t slash = source.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : source.substr(0, slash + 1);
  const std::string name = source.substr(folder.size());
  if (name.size() + extension.size() <= kLongestName) return source + std::string(extension);
  std::string kept_extension = fs::path(name).extension().string();
  if (kept_extension.size() > kLongestKeptExtension) kept_extension.clear();
  char mark[18];
  std::snprintf(mark, sizeof mark, "~%016llx", static_cast<unsigned long long>(CheckOfBytes(name)));
  const std::string ending = mark + kept_extension + std::string(extension);
  std::size_t cut = kLongestName > ending.size() ? kLongestName - ending.size() : 0;
  // Never half a character: a UTF-8 continuation byte stays with the bytes before it.
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  return folder + name.substr(0, cut) + ending;
}

std::string PrintFileFor(const std::string& source) {
  fs::path file(source);
  file.replace_extension(".pdf");
  return file.generic_string();
}

std::optional<std::string> CompanionFile(const std::string& base, const std::string& extension) {
  std::error_code error;
  const std::string exact = base + extension;
  if (fs::is_regular_file(exact, error)) return exact;
  const fs::path stem = fs::path(base).filename();
  const fs::path folder = fs::path(base).parent_path();
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error), end;
       !error && it != end; it.increment(error)) {
    const fs::path name = it->path().filename();
    if (name.stem() == stem && platform::SameText(name.extension().string(), extension) &&
        it->is_regular_file(error))
      return (folder / name).string();
  }
  return std::nullopt;
}

}  // namespace workbench
