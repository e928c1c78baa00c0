#include "assembler/sources.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "assembler/expression.h"
#include "assembler/lexer.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/text.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

enum class FileLine { kLine, kLongLine, kEnd };

// Whether text mode would read `bytes` exactly as they are: no CR, no 0x1A and no NUL. Such a
// file's lines are its bytes between line feeds.
bool IsPlainText(std::string_view bytes) {
  return !std::memchr(bytes.data(), '\r', bytes.size()) &&
         !std::memchr(bytes.data(), '\x1A', bytes.size()) &&
         !std::memchr(bytes.data(), '\0', bytes.size());
}

// One line as text mode read it: CR before LF dropped, byte 0x1A the end of the file. At most
// kLineLimit characters; a longer line is cut to kLineLimit - 1 plus a line feed and the rest of
// it dropped. A line that needs none of this is a view of `bytes`; any other is built in
// *scratch and viewed there.
FileLine ReadFileLine(IncludeLevel& level, std::string_view bytes, bool plain, std::string* scratch,
                      std::string_view* line) {
  *line = {};
  if (level.ended || level.position >= bytes.size()) {
    level.ended = true;
    return FileLine::kEnd;
  }
  const char* begin = bytes.data() + level.position;
  const char* end = bytes.data() + bytes.size();
  // Most lines hold none of CR, 0x1A and NUL and end within the limit: taken as they are.
  size_t reach = std::min<size_t>(static_cast<size_t>(end - begin), kLineLimit);
  if (const void* found = std::memchr(begin, '\n', reach)) {
    const char* line_feed = static_cast<const char*>(found);
    const char* p = begin;
    if (!plain) {
      while (p < line_feed && *p != '\r' && *p != '\x1A' && *p != '\0') ++p;
    }
    if (plain || p == line_feed) {
      *line = std::string_view(begin, static_cast<size_t>(line_feed + 1 - begin));
      level.position = static_cast<size_t>(line_feed + 1 - bytes.data());
      return FileLine::kLine;
    }
  }
  std::string* text = scratch;
  text->clear();
  const char* p = begin;
  auto next = [&]() -> int {
    if (p >= end) return EOF;
    char c = *p++;
    if (c == '\x1A') {
      level.ended = true;
      return EOF;
    }
    if (c == '\r' && p < end && *p == '\n') {
      ++p;
      return '\n';
    }
    return static_cast<unsigned char>(c);
  };
  FileLine result = FileLine::kLine;
  for (;;) {
    int c = next();
    if (c == EOF) break;
    text->push_back(static_cast<char>(c));
    if (c == '\n') break;
    if (text->size() == kLineLimit) {
      text->back() = '\n';
      result = FileLine::kLongLine;
      while (!level.ended && c != EOF && c != '\n') c = next();
      break;
    }
  }
  level.position = static_cast<size_t>(p - bytes.data());
  if (text->empty() && result == FileLine::kLine) {
    level.ended = true;
    return FileLine::kEnd;
  }
  // The line is a C string from here on: a NUL byte ends it.
  size_t nul = text->find('\0');
  if (nul != std::string::npos) text->resize(nul);
  *line = *text;
  return result;
}

int CountLines(std::string_view bytes, bool plain) {
  if (plain) {
    // Every line feed ends a line; so does the end of a last line without one.
    int count = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
      const void* line_feed = std::memchr(p, '\n', static_cast<size_t>(end - p));
      ++count;
      if (!line_feed) break;
      p = static_cast<const char*>(line_feed) + 1;
    }
    return count;
  }
  IncludeLevel level;
  std::string scratch;
  std::string_view line;
  int count = 0;
  while (ReadFileLine(level, bytes, plain, &scratch, &line) != FileLine::kEnd) ++count;
  return count;
}

SourceFileEntry* CurrentFile(TarnRun& run) {
  SourceState& s = run.sources;
  int number = s.levels.empty() ? s.current_file : s.levels.back().file_number;
  if (number < 0 || static_cast<size_t>(number) >= s.files.size()) return nullptr;
  return &s.files[static_cast<size_t>(number)];
}

int32_t* CurrentLineEntry(TarnRun& run) {
  SourceFileEntry* file = CurrentFile(run);
  int line = CurrentLineNumber(run);
  if (!file || line < 0 || static_cast<size_t>(line) >= file->line_data.size()) return nullptr;
  return &file->line_data[static_cast<size_t>(line)];
}

// Opens a level of the include stack on a registered file.
void PushLevel(TarnRun& run, const std::string& name, int number) {
  SourceState& s = run.sources;
  IncludeLevel level;
  level.name = name;
  level.file_number = number;
  s.levels.push_back(std::move(level));
  s.current_name = name;
  s.current_file = number;
}

// The registry number of `name`, loading and registering the file at `path` on its first
// opening; -1 when it cannot be read.
int OpenFile(TarnRun& run, const std::string& name, const std::string& path) {
  SourceState& s = run.sources;
  auto known = s.file_numbers.find(name);
  if (known != s.file_numbers.end()) return known->second;
  std::string bytes;
  if (!run.files.ReadSource(path, &bytes)) return -1;
  return RegisterSource(run, name, run.files.FullPath(path), std::move(bytes));
}

// The next line of the files; -1 at the end of the main source.
int ReadSourceLine(TarnRun& run, std::string_view* text) {
  SourceState& s = run.sources;
  for (;;) {
    if (s.levels.empty()) {
      s.end_of_source = true;
      return -1;
    }
    IncludeLevel& level = s.levels.back();
    const SourceFileEntry& file = s.files[static_cast<size_t>(level.file_number)];
    FileLine got = ReadFileLine(level, file.text, file.plain, &s.line_buffer, text);
    if (got == FileLine::kEnd) {
      // Messages after the end still name the file and its last line.
      s.current_name = level.name;
      s.current_line = level.line;
      s.current_file = level.file_number;
      s.levels.pop_back();
      if (s.levels.empty()) {
        s.end_of_source = true;
        return -1;
      }
      s.current_name = s.levels.back().name;
      s.current_file = s.levels.back().file_number;
      continue;
    }
    ++level.line;
    ++s.total_lines;
    if (got == FileLine::kLongLine) {
      SetMessageArgument(run, "512");
      ReportInPass2(run, kWarning, kMsgLineTooLong);
    }
    return 0;
  }
}

void Deliver(TarnRun& run, std::string_view text) {
  BeginLineInPlace(run, text);
  ClearExpressionStack(run);
}

// Finds `path` below the root component by component, each matched without regard to case
// when it does not exist as written.
std::string MatchWithoutCase(FileAccess& files, const fs::path& path) {
  fs::path found = path.root_path();
  for (const fs::path& part : path.relative_path()) {
    fs::path exact = found / part;
    if (part == "." || part == ".." || files.Exists(exact.string())) {
      found = exact;
      continue;
    }
    bool matched = false;
    for (const std::string& name : files.FolderNames(found.string())) {
      if (EqualsNoCase(name, part.string())) {
        found /= name;
        matched = true;
        break;
      }
    }
    if (!matched) return path.string();
  }
  return found.string();
}

}  // namespace

const std::string& CurrentFileName(const TarnRun& run) {
  const SourceState& s = run.sources;
  return s.levels.empty() ? s.current_name : s.levels.back().name;
}

int& CurrentLineNumber(TarnRun& run) {
  SourceState& s = run.sources;
  return s.levels.empty() ? s.current_line : s.levels.back().line;
}

int& ListingLineNumber(TarnRun& run) { return run.sources.listing_line; }

std::vector<std::string> RegisteredFileNames(const TarnRun& run) {
  std::vector<std::string> names;
  for (const SourceFileEntry& entry : run.sources.files) names.push_back(entry.name);
  return names;
}

int CurrentFileNumber(const TarnRun& run) {
  const SourceState& s = run.sources;
  return s.levels.empty() ? s.current_file : s.levels.back().file_number;
}

int IncludeDepth(const TarnRun& run) {
  return run.sources.levels.empty() ? 0 : static_cast<int>(run.sources.levels.size()) - 1;
}

void MarkSourceLine(TarnRun& run, int code) {
  if (int32_t* entry = CurrentLineEntry(run)) *entry = code * 256 + (InMacroExpansion(run) ? 1 : 2);
}

void SetLineEntry(TarnRun& run, int32_t value) {
  if (int32_t* entry = CurrentLineEntry(run)) *entry = value;
}

bool OpenMainSource(TarnRun& run) {
  SourceState& s = run.sources;
  s.levels.clear();
  s.total_lines = 0;
  s.end_of_source = false;
  s.last_global_label.clear();
  s.current_name = run.source_name;
  s.current_line = 0;
  s.listing_line = 0;
  ResetMacrosForPass(run);
  ClearExpressionStack(run);
  int number = OpenFile(run, run.source_name, run.source_path);
  if (number < 0) return false;
  PushLevel(run, run.source_name, number);
  return true;
}

int ReadLine(TarnRun& run) {
  if (++run.sources.listing_line > run.limits.pass_lines) {
    StopAtLimit(run, "Assembly stopped after " + std::to_string(run.limits.pass_lines) +
                         " lines in pass " + std::to_string(run.pass));
  }
  run.sources.replayed = false;
  std::string& buffer = run.sources.line_buffer;
  if (NextExpansionLine(run, &buffer)) {
    Deliver(run, buffer);
    return 0;
  }
  ReptState& rept = run.macros.file_rept;
  if (rept.active && ReplayReptLine(run, rept, &buffer)) {
    run.sources.replayed = true;
    Deliver(run, buffer);
    return 0;
  }
  std::string_view text;
  if (ReadSourceLine(run, &text) < 0) {
    Deliver(run, "");
    return -1;
  }
  if (rept.active) StoreReptLine(run, rept, text);
  Deliver(run, text);
  return 0;
}

int IncludeFile(TarnRun& run, std::string_view given) {
  SourceState& s = run.sources;
  std::string name(given);
  if (s.replayed) return 0;
  if (!s.file_numbers.count(name) && s.files.size() >= kRegistryLimit)
    return ReportMessage(run, kError, kMsgTooManyIncludeFiles);
  if (s.levels.size() >= kIncludeLevelLimit)
    return ReportMessage(run, kError, kMsgFileNestingTooDeep);
  // A registered file is taken from the registry: the file system is asked only once.
  int number = -1;
  auto known = s.file_numbers.find(name);
  if (known != s.file_numbers.end()) {
    number = known->second;
  } else {
    std::string path = ResolveIncludeName(run, name);
    number = OpenFile(run, name, path);
    if (number < 0) {
      Print(run, "\nCannot open INCLUDE file: %s\n", run.files.FullPath(path).c_str());
      if (run.options.kestrian) {
        SetMessageArgument(run, name);
        FatalStop(run, kError, kMsgCannotOpenInclude);
      }
      throw TarnExit{1};
    }
  }
  PushLevel(run, name, number);
  return 0;
}

int RegisterSource(TarnRun& run, const std::string& name, const std::string& path,
                   std::string text) {
  SourceState& s = run.sources;
  auto known = s.file_numbers.find(name);
  if (known != s.file_numbers.end()) return known->second;
  SourceFileEntry entry;
  entry.name = name;
  entry.path = path;
  entry.plain = IsPlainText(text);
  entry.line_count = CountLines(text, entry.plain);
  entry.text = std::move(text);
  int line_count = entry.line_count;
  entry.line_data.assign(static_cast<size_t>(line_count) + 10, 0);
  entry.number = static_cast<int>(s.files.size());
  s.file_numbers[name] = entry.number;
  s.files.push_back(std::move(entry));
  return s.files.back().number;
}

void CloseSources(TarnRun& run) {
  SourceState& s = run.sources;
  if (!s.levels.empty()) {
    s.current_name = s.levels.back().name;
    s.current_line = s.levels.back().line;
    s.current_file = s.levels.back().file_number;
  }
  s.levels.clear();
}

std::string ResolveIncludeName(TarnRun& run, std::string_view given) {
  std::string name(given);
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  fs::path path = fs::path(run.InWorkingFolder(name)).lexically_normal();
  if (run.files.Exists(path.string())) return path.string();
  return MatchWithoutCase(run.files, path);
}

}  // namespace tarn
