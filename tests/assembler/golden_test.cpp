// Golden-file tests: every NAME.asm in tests/assembler/golden is assembled in a fresh folder and
// each output that has an expectation beside it is compared byte for byte. The expectations are
// worked out by hand from the file formats, so adding a case is adding files, not code.
//
// Files of a case (all but the source optional):
//   NAME.asm          the source; NAME*.inc are copied beside it
//   NAME.source       instead of NAME.asm: the path (from this folder) of a source that several
//                     cases assemble; it is copied in as NAME.asm
//   NAME.args         command-line arguments, one a line, before the source name
//   NAME.exit         the exit code (0 when the file is missing)
//   NAME.err NAME.lst NAME.sym NAME.hex NAME.hxl NAME.hxh
//                     text outputs, exact (NAME.cmperr.log: the error file of /E NOHAU). In
//                     NAME.lst the 24 characters of the date that follow
//                     "TARN Cross-Assembler Version 1.51.07  " in a page header are written
//                     "<DATE>".
//   NAME.obj.txt      the BIN16 object as text: "words N" (the file's length in 16-bit words),
//                     "fill XXXX" (every word not given), and "AAAA: XXXX XXXX ..." lines that
//                     give the words from word index AAAA on (all hex). Words are little-endian.
//   NAME.map.txt      the binary map as text: "header XXXX ..." (16-bit words from offset 0),
//                     "slot I NAME" (the file name of registry file I, at 32 + 64 * I, padded
//                     with zeros to 64 bytes), "record AAAA FILELINE LISTLINE FILE" (address in
//                     hex, the rest decimal; 8 bytes each from offset 2048 on). The file is at
//                     least 2,560 bytes long, zeros where nothing is given.
//   NAME.absent       output extensions (".err", ".obj", ...) that must not exist after the run
//   NAME.image        the name of a case whose NAME.obj.txt (with the trailer) holds the image of
//                     this case's INHX8M or INHX8S expectations (a check of the hand-made files
//                     against each other)
// Lines that begin with "#" in the .txt, .args, .absent, .image and .source files are comments.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/driver.h"
#include "assembler/file_access.h"
#include "assembler/run.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using tarn_test::ReadFile;
using tarn_test::TempFolder;

const fs::path kGolden = TARN_GOLDEN;
constexpr const char* kTitlePrefix = "TARN Cross-Assembler Version 1.51.07  ";
constexpr size_t kDateLength = 24;
constexpr const char* kDatePlaceholder = "<DATE>";
constexpr size_t kMapMinimumSize = 2560;
constexpr size_t kMapSlots = 32;
constexpr size_t kMapSlotSize = 64;
constexpr size_t kMapRecords = 2048;

// The names of the cases that have a file with this extension.
std::vector<std::string> FindCases(const std::string& extension = ".asm") {
  std::vector<std::string> cases;
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(kGolden, ec)) {
    if (entry.path().extension() == extension) cases.push_back(entry.path().stem().string());
  }
  std::sort(cases.begin(), cases.end());
  return cases;
}

// Every case: those with a source of their own and those that name one.
std::vector<std::string> AllCases() {
  std::vector<std::string> cases = FindCases(".asm");
  for (const std::string& name : FindCases(".source")) cases.push_back(name);
  std::sort(cases.begin(), cases.end());
  return cases;
}

fs::path CaseFile(const std::string& name, const std::string& extension) {
  return kGolden / (name + extension);
}

bool Exists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

// The lines of a control file without comments and blank lines.
std::vector<std::string> ControlLines(const fs::path& path) {
  std::vector<std::string> lines;
  for (std::string& line : SplitLines(ReadFile(path.string()))) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string word;
  while (in >> word) {
    if (word[0] == '#') break;
    words.push_back(word);
  }
  return words;
}

std::optional<unsigned long> ParseNumber(const std::string& text, int base) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  unsigned long value = std::strtoul(text.c_str(), &end, base);
  if (*end != '\0') return std::nullopt;
  return value;
}

void PutWord(std::string& bytes, size_t offset, unsigned long word) {
  if (bytes.size() < offset + 2) bytes.resize(offset + 2, '\0');
  bytes[offset] = static_cast<char>(word & 0xFF);
  bytes[offset + 1] = static_cast<char>((word >> 8) & 0xFF);
}

// Builds the bytes a NAME.obj.txt describes; an error text instead when it cannot be read.
std::string ObjectBytes(const fs::path& path, std::string* error) {
  std::optional<unsigned long> count;
  unsigned long fill = 0x0FFF;
  std::map<unsigned long, unsigned long> given;
  for (const std::string& line : ControlLines(path)) {
    std::vector<std::string> w = Words(line);
    if (w.empty()) continue;
    if (w[0] == "words" && w.size() == 2) {
      count = ParseNumber(w[1], 10);
    } else if (w[0] == "fill" && w.size() == 2) {
      std::optional<unsigned long> f = ParseNumber(w[1], 16);
      if (!f) *error += "bad fill: " + line + "\n";
      fill = f.value_or(0);
    } else if (w[0].size() > 1 && w[0].back() == ':') {
      std::optional<unsigned long> at = ParseNumber(w[0].substr(0, w[0].size() - 1), 16);
      if (!at) {
        *error += "bad address: " + line + "\n";
        continue;
      }
      for (size_t i = 1; i < w.size(); ++i) {
        std::optional<unsigned long> word = ParseNumber(w[i], 16);
        if (!word || w[i].size() != 4) *error += "bad word '" + w[i] + "': " + line + "\n";
        if (given.count(*at + i - 1)) *error += "word given twice: " + line + "\n";
        given[*at + i - 1] = word.value_or(0);
      }
    } else {
      *error += "unknown line: " + line + "\n";
    }
  }
  if (!count) {
    *error += "no \"words N\" line\n";
    return std::string();
  }
  std::string bytes;
  for (unsigned long i = 0; i < *count; ++i) PutWord(bytes, 2 * i, fill);
  for (const auto& [index, word] : given) {
    if (index >= *count)
      *error += "word past the end at index " + std::to_string(index) + "\n";
    else
      PutWord(bytes, 2 * index, word);
  }
  return bytes;
}

// Builds the bytes a NAME.map.txt describes.
std::string MapBytes(const fs::path& path, std::string* error) {
  std::string bytes(kMapMinimumSize, '\0');
  size_t records = 0;
  for (const std::string& line : ControlLines(path)) {
    std::vector<std::string> w = Words(line);
    if (w.empty()) continue;
    if (w[0] == "header") {
      for (size_t i = 1; i < w.size(); ++i) {
        std::optional<unsigned long> word = ParseNumber(w[i], 16);
        if (!word) *error += "bad header word: " + line + "\n";
        PutWord(bytes, 2 * (i - 1), word.value_or(0));
      }
    } else if (w[0] == "slot" && w.size() == 3) {
      std::optional<unsigned long> slot = ParseNumber(w[1], 10);
      if (!slot || *slot >= kMapSlots || w[2].size() >= kMapSlotSize) {
        *error += "bad slot: " + line + "\n";
        continue;
      }
      bytes.replace(32 + kMapSlotSize * *slot, w[2].size(), w[2]);
    } else if (w[0] == "record" && w.size() == 5) {
      std::optional<unsigned long> fields[4] = {ParseNumber(w[1], 16), ParseNumber(w[2], 10),
                                                ParseNumber(w[3], 10), ParseNumber(w[4], 10)};
      size_t offset = kMapRecords + 8 * records++;
      for (int i = 0; i < 4; ++i) {
        if (!fields[i]) *error += "bad record: " + line + "\n";
        PutWord(bytes, offset + 2 * static_cast<size_t>(i), fields[i].value_or(0));
      }
    } else {
      *error += "unknown line: " + line + "\n";
    }
  }
  return bytes;
}

// Replaces the date of every page header by the placeholder.
std::string WithoutDates(const std::string& listing) {
  std::string out;
  for (const std::string& line : SplitLines(listing)) {
    std::string shown = line;
    size_t at = line.find(kTitlePrefix);
    if (line.rfind("Page ", 0) == 0 && at != std::string::npos) {
      size_t date = at + std::string(kTitlePrefix).size();
      if (line.size() - date >= kDateLength) shown.replace(date, kDateLength, kDatePlaceholder);
    }
    out += shown + "\n";
  }
  // A listing that does not end in a line break must not gain one here.
  if (!listing.empty() && listing.back() != '\n') out.pop_back();
  return out;
}

std::string Visible(const std::string& line) {
  std::string out;
  for (unsigned char c : line) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
      out += buffer;
    }
  }
  return out + "$";
}

// A line diff (longest common subsequence) with two lines of context around each change.
std::string Diff(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
  size_t n = expected.size(), m = actual.size();
  std::vector<std::vector<int>> common(n + 1, std::vector<int>(m + 1, 0));
  for (size_t i = n; i-- > 0;) {
    for (size_t j = m; j-- > 0;) {
      common[i][j] = expected[i] == actual[j] ? common[i + 1][j + 1] + 1
                                              : std::max(common[i + 1][j], common[i][j + 1]);
    }
  }
  struct Row {
    char mark;
    size_t line;
    std::string text;
  };
  std::vector<Row> rows;
  size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && expected[i] == actual[j]) {
      rows.push_back({' ', i + 1, expected[i]});
      ++i, ++j;
    } else if (j < m && (i == n || common[i][j + 1] > common[i + 1][j])) {
      rows.push_back({'+', j + 1, actual[j]});
      ++j;
    } else {
      rows.push_back({'-', i + 1, expected[i]});
      ++i;
    }
  }
  std::string out = "--- expected, +++ actual (line numbers of each side; lines end at $)\n";
  constexpr size_t kContext = 2;
  constexpr size_t kMaxRows = 80;
  size_t shown = 0;
  bool gap = false;
  for (size_t r = 0; r < rows.size(); ++r) {
    bool near = false;
    for (size_t k = r >= kContext ? r - kContext : 0; k <= r + kContext && k < rows.size(); ++k) {
      near = near || rows[k].mark != ' ';
    }
    if (!near) {
      gap = true;
      continue;
    }
    if (gap) out += "   ...\n";
    gap = false;
    if (++shown > kMaxRows) {
      out += "   (more differences follow)\n";
      break;
    }
    char number[32];
    std::snprintf(number, sizeof number, "%5zu", rows[r].line);
    out += std::string(1, rows[r].mark) + number + " " + Visible(rows[r].text) + "\n";
  }
  return out;
}

// Binary files are compared as lines of 16 bytes, so the diff shows offsets.
std::vector<std::string> HexDump(const std::string& bytes) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < bytes.size(); at += 16) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%06zX:", at);
    std::string line = buffer;
    for (size_t k = at; k < bytes.size() && k < at + 16; ++k) {
      std::snprintf(buffer, sizeof buffer, " %02X", static_cast<unsigned char>(bytes[k]));
      line += buffer;
    }
    lines.push_back(line);
  }
  return lines;
}

void ExpectText(const std::string& what, const std::string& expected, const std::string& actual) {
  if (expected == actual) return;
  ADD_FAILURE() << what << " differs:\n"
                << Diff(SplitLines(expected), SplitLines(actual))
                << (expected.size() != actual.size() && SplitLines(expected) == SplitLines(actual)
                        ? "(the texts differ only in their last line break)\n"
                        : "");
}

void ExpectBytes(const std::string& what, const std::string& expected, const std::string& actual) {
  if (expected == actual) return;
  ADD_FAILURE() << what << " differs (" << expected.size() << " bytes expected, " << actual.size()
                << " written):\n"
                << Diff(HexDump(expected), HexDump(actual));
}

// For one run of the assembler: the temporary folder is the working folder, so that the source
// name in messages is the name as given; standard input is not a terminal, as when the IDE runs
// tarn, so that the run never waits for a key when the tests are started from a terminal.
class RunSurroundings {
 public:
  explicit RunSurroundings(const fs::path& folder)
      : saved_folder_(fs::current_path()), saved_input_(dup(STDIN_FILENO)) {
    fs::current_path(folder);
    int null = open("/dev/null", O_RDONLY);
    if (null >= 0) {
      dup2(null, STDIN_FILENO);
      close(null);
    }
  }
  ~RunSurroundings() {
    std::error_code ec;
    fs::current_path(saved_folder_, ec);
    if (saved_input_ >= 0) {
      dup2(saved_input_, STDIN_FILENO);
      close(saved_input_);
    }
  }
  RunSurroundings(const RunSurroundings&) = delete;
  RunSurroundings& operator=(const RunSurroundings&) = delete;

 private:
  fs::path saved_folder_;
  int saved_input_;
};

// The files a case starts with: its name in the run's folder, and where it comes from.
std::map<std::string, fs::path> CaseInputs(const std::string& name) {
  std::map<std::string, fs::path> inputs;
  for (const fs::directory_entry& entry : fs::directory_iterator(kGolden)) {
    std::string file = entry.path().filename().string();
    bool include = file.rfind(name, 0) == 0 && entry.path().extension() == ".inc";
    if (file == name + ".asm" || include) inputs[file] = entry.path();
  }
  if (Exists(CaseFile(name, ".source"))) {
    std::vector<std::string> source = ControlLines(CaseFile(name, ".source"));
    EXPECT_EQ(source.size(), 1u) << name << ".source names one file";
    if (!source.empty()) inputs[name + ".asm"] = kGolden / source[0];
  }
  return inputs;
}

std::vector<std::string> CaseArguments(const std::string& name) {
  std::vector<std::string> args = {"tarn"};
  if (Exists(CaseFile(name, ".args"))) {
    for (const std::string& line : ControlLines(CaseFile(name, ".args"))) args.push_back(line);
  }
  args.push_back(name + ".asm");
  return args;
}

class GoldenTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenTest, OutputsMatchTheHandMadeExpectations) {
  const std::string name = GetParam();
  TempFolder temp;
  for (const auto& [file, from] : CaseInputs(name)) fs::copy_file(from, temp.path() / file);
  std::vector<std::string> args = CaseArguments(name);

  std::ostringstream console;
  int code;
  {
    RunSurroundings surroundings(temp.path());
    code = tarn::RunTarn(args, console);
  }
  SCOPED_TRACE("console:\n" + console.str());

  int expected_code = 0;
  if (Exists(CaseFile(name, ".exit"))) {
    std::vector<std::string> lines = ControlLines(CaseFile(name, ".exit"));
    ASSERT_FALSE(lines.empty()) << name << ".exit is empty";
    expected_code = std::stoi(lines[0]);
  }
  EXPECT_EQ(code, expected_code) << "exit code";

  auto output = [&](const std::string& extension) { return temp.path() / (name + extension); };
  auto expect_output = [&](const std::string& extension) {
    bool present = Exists(output(extension));
    EXPECT_TRUE(present) << name << extension << " was not written";
    return present;
  };

  for (const char* extension : {".err", ".sym", ".hex", ".hxl", ".hxh"}) {
    if (!Exists(CaseFile(name, extension)) || !expect_output(extension)) continue;
    ExpectText(name + extension, ReadFile(CaseFile(name, extension).string()),
               ReadFile(output(extension).string()));
  }
  // With /E NOHAU the error file has a fixed name in the source's folder.
  fs::path nohau = temp.path() / "cmperr.log";
  if (Exists(CaseFile(name, ".cmperr.log"))) {
    EXPECT_TRUE(Exists(nohau)) << "cmperr.log was not written";
    if (Exists(nohau)) {
      ExpectText("cmperr.log", ReadFile(CaseFile(name, ".cmperr.log").string()),
                 ReadFile(nohau.string()));
    }
  }
  if (Exists(CaseFile(name, ".lst")) && expect_output(".lst")) {
    ExpectText(name + ".lst", ReadFile(CaseFile(name, ".lst").string()),
               WithoutDates(ReadFile(output(".lst").string())));
  }
  if (Exists(CaseFile(name, ".obj.txt")) && expect_output(".obj")) {
    std::string error;
    std::string expected = ObjectBytes(CaseFile(name, ".obj.txt"), &error);
    ASSERT_EQ(error, "") << name << ".obj.txt";
    ExpectBytes(name + ".obj", expected, ReadFile(output(".obj").string()));
  }
  if (Exists(CaseFile(name, ".map.txt")) && expect_output(".map")) {
    std::string error;
    std::string expected = MapBytes(CaseFile(name, ".map.txt"), &error);
    ASSERT_EQ(error, "") << name << ".map.txt";
    ExpectBytes(name + ".map", expected, ReadFile(output(".map").string()));
  }
  if (Exists(CaseFile(name, ".absent"))) {
    for (const std::string& extension : ControlLines(CaseFile(name, ".absent"))) {
      EXPECT_FALSE(Exists(output(extension))) << name << extension << " must not be left";
    }
  }
}

// The console without the run's time, which two runs need not share.
std::string WithoutSeconds(const std::string& console) {
  static const std::regex kSeconds("compiled in [0-9.]+ seconds");
  return std::regex_replace(console, kSeconds, "compiled in <T> seconds");
}

// A run whose files are kept in memory reads and writes the same files as a run on the disk:
// every case writes the same outputs, byte for byte, and says the same on the console.
class GoldenMemoryTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenMemoryTest, FilesInMemoryGetTheOutputsOfTheDisk) {
  const std::string name = GetParam();
  TempFolder temp;
  tarn::MemoryFileAccess memory;
  std::map<std::string, fs::path> inputs = CaseInputs(name);
  for (const auto& [file, from] : inputs) {
    fs::copy_file(from, temp.path() / file);
    memory.AddFile(temp / file, ReadFile(from.string()));
  }
  std::vector<std::string> args = CaseArguments(name);
  std::ostringstream disk_console;
  std::ostringstream memory_console;
  int disk_code;
  int memory_code;
  {
    RunSurroundings surroundings(temp.path());
    disk_code = tarn::RunTarn(args, disk_console);
    tarn::TarnRun run(memory_console, memory);
    memory_code = tarn::RunTarn(run, args);
  }
  EXPECT_EQ(memory_code, disk_code);
  EXPECT_EQ(WithoutSeconds(memory_console.str()), WithoutSeconds(disk_console.str()));

  // Listings carry the time of their run.
  auto comparable = [](const std::string& path, const std::string& bytes) {
    return fs::path(path).extension() == ".lst" ? WithoutDates(bytes) : bytes;
  };
  std::map<std::string, std::string> on_disk;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(temp.path())) {
    std::string path = entry.path().string();
    if (entry.is_regular_file() && !inputs.count(entry.path().filename().string())) {
      on_disk[path] = comparable(path, ReadFile(path));
    }
  }
  std::map<std::string, std::string> in_memory;
  for (const std::string& path : memory.Paths()) {
    if (!inputs.count(fs::path(path).filename().string()))
      in_memory[path] = comparable(path, *memory.Find(path));
  }
  EXPECT_EQ(in_memory, on_disk);
  EXPECT_FALSE(on_disk.empty());
}

// Intel HEX records of a hand-made expectation, checked for form and checksum.
struct HexRecord {
  unsigned address = 0;
  unsigned type = 0;
  std::vector<unsigned> data;
};

// INHX16 counts words in the count field, the other formats bytes.
std::vector<HexRecord> ReadHex(const std::string& text, bool count_in_words, std::string* error) {
  std::vector<HexRecord> records;
  std::vector<std::string> lines = SplitLines(text);
  if (text.empty() || text.back() != '\n') *error += "the file does not end with a line feed\n";
  if (text.find('\r') != std::string::npos) *error += "the file holds a carriage return\n";
  for (size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    std::string where = "line " + std::to_string(n + 1) + " '" + line + "': ";
    if (line.size() < 11 || line[0] != ':' || line.size() % 2 == 0) {
      *error += where + "not a record\n";
      continue;
    }
    std::vector<unsigned> bytes;
    for (size_t k = 1; k + 1 < line.size(); k += 2) {
      std::optional<unsigned long> b = ParseNumber(line.substr(k, 2), 16);
      if (!b || std::islower(static_cast<unsigned char>(line[k])) ||
          std::islower(static_cast<unsigned char>(line[k + 1]))) {
        *error += where + "not upper-case hex\n";
      }
      bytes.push_back(static_cast<unsigned>(b.value_or(0)));
    }
    unsigned sum = 0;
    for (unsigned b : bytes) sum += b;
    if (sum % 256 != 0) *error += where + "bad checksum\n";
    size_t data_bytes = bytes.size() - 5;
    if ((count_in_words ? 2 * bytes[0] : bytes[0]) != data_bytes)
      *error += where + "the count does not match the data\n";
    HexRecord record;
    record.address = bytes[1] * 256 + bytes[2];
    record.type = bytes[3];
    record.data.assign(bytes.begin() + 4, bytes.end() - 1);
    records.push_back(record);
  }
  if (lines.empty() || lines.back() != ":00000001FF") *error += "no end record at the end\n";
  return records;
}

// The image a case's NAME.obj.txt holds, by image word address (ID words from 0x1000).
std::map<unsigned, unsigned> ObjectImage(const std::string& name, unsigned* program_size,
                                         std::string* error) {
  std::string bytes = ObjectBytes(CaseFile(name, ".obj.txt"), error);
  size_t words = bytes.size() / 2;
  *program_size =
      static_cast<unsigned>(words == 2048 + 24 || words == 4096 + 24 ? words - 24 : words);
  std::map<unsigned, unsigned> image;
  for (size_t i = 0; i < words; ++i) {
    unsigned word = static_cast<unsigned char>(bytes[2 * i]) +
                    256u * static_cast<unsigned char>(bytes[2 * i + 1]);
    unsigned address = i < *program_size ? static_cast<unsigned>(i)
                                         : 0x1000 + static_cast<unsigned>(i - *program_size);
    image[address] = word;
  }
  return image;
}

bool CountsWords(const std::string& name) {
  if (!Exists(CaseFile(name, ".args"))) return false;
  for (std::string arg : ControlLines(CaseFile(name, ".args"))) {
    for (char& c : arg) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (arg.find("INHX16") != std::string::npos) return true;
  }
  return false;
}

class GoldenExpectationTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenExpectationTest, HandMadeFilesAreWellFormed) {
  const std::string name = GetParam();
  std::string error;
  if (Exists(CaseFile(name, ".obj.txt"))) ObjectBytes(CaseFile(name, ".obj.txt"), &error);
  if (Exists(CaseFile(name, ".map.txt"))) MapBytes(CaseFile(name, ".map.txt"), &error);
  for (const char* extension : {".hex", ".hxl", ".hxh"}) {
    if (!Exists(CaseFile(name, extension))) continue;
    std::string file_error;
    ReadHex(ReadFile(CaseFile(name, extension).string()), CountsWords(name), &file_error);
    if (!file_error.empty()) {
      error += name;
      error += extension;
      error += ":\n";
      error += file_error;
    }
  }
  EXPECT_EQ(error, "");
}

class GoldenImageTest : public ::testing::TestWithParam<std::string> {};

// The words of the HEX expectations, read back, are the words of the BIN16 expectation.
TEST_P(GoldenImageTest, HexExpectationsHoldTheObjectImage) {
  const std::string name = GetParam();
  std::vector<std::string> lines = ControlLines(CaseFile(name, ".image"));
  ASSERT_FALSE(lines.empty());
  std::string error;
  unsigned program_size = 0;
  std::map<unsigned, unsigned> image = ObjectImage(lines[0], &program_size, &error);
  ASSERT_EQ(error, "");

  // Word address -> word, from the one or two files of the format.
  std::map<unsigned, unsigned> words;
  if (Exists(CaseFile(name, ".hex"))) {  // INHX8M: byte addresses, low byte first
    for (const HexRecord& r : ReadHex(ReadFile(CaseFile(name, ".hex").string()), false, &error)) {
      for (size_t k = 0; k + 1 < r.data.size(); k += 2) {
        words[(r.address + static_cast<unsigned>(k)) / 2] = r.data[k] + 256 * r.data[k + 1];
      }
    }
  }
  if (Exists(CaseFile(name, ".hxl")) && Exists(CaseFile(name, ".hxh"))) {  // INHX8S
    std::vector<HexRecord> low = ReadHex(ReadFile(CaseFile(name, ".hxl").string()), false, &error);
    std::vector<HexRecord> high = ReadHex(ReadFile(CaseFile(name, ".hxh").string()), false, &error);
    ASSERT_EQ(low.size(), high.size());
    for (size_t n = 0; n < low.size(); ++n) {
      ASSERT_EQ(low[n].address, high[n].address);
      ASSERT_EQ(low[n].data.size(), high[n].data.size());
      for (size_t k = 0; k < low[n].data.size(); ++k) {
        words[low[n].address + static_cast<unsigned>(k)] = low[n].data[k] + 256 * high[n].data[k];
      }
    }
  }
  ASSERT_EQ(error, "");
  for (const auto& [address, word] : words) {
    EXPECT_EQ(word, image[address]) << "word " << std::hex << address;
  }
  for (const auto& [address, word] : image) {
    bool blank_program_word = address < program_size && word == 0x0FFF;
    if (!blank_program_word) {
      EXPECT_TRUE(words.count(address)) << "word " << std::hex << address << " missing";
    }
  }
}

std::string CaseName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenTest, ::testing::ValuesIn(AllCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Golden, GoldenMemoryTest, ::testing::ValuesIn(AllCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Golden, GoldenExpectationTest, ::testing::ValuesIn(AllCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Golden, GoldenImageTest, ::testing::ValuesIn(FindCases(".image")),
                         CaseName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenImageTest);

}  // namespace
