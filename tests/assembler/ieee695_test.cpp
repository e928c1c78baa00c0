// The IEEE-695 writer: the record fields, the line events pass 2 notes, and whole modules of
// small sources. Expected bytes are worked out by hand from the record layouts; only the load
// data is taken from the run's image, which the writer reads but does not make.

#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "assembler/driver.h"
#include "assembler/ieee695_writer.h"
#include "assembler/listing.h"
#include "assembler/run.h"
#include "test_support.h"

namespace tarn {
namespace {

using tarn_test::ReadFile;
using tarn_test::TempFolder;
using tarn_test::WriteFile;

// "7F 81 80": failures show bytes, not unprintable characters.
std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char c : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[c >> 4];
    text += kDigits[c & 0xF];
  }
  return text;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int v : values) bytes += static_cast<char>(v);
  return bytes;
}

// A name shorter than 127 characters: its length byte and the characters.
std::string Name(const std::string& text) { return static_cast<char>(text.size()) + text; }

// ---- Record fields

TEST(Ieee695Record, NumberAndCodeFields) {
  struct Case {
    const char* letters;
    int64_t value;
    const char* expected;
  };
  const Case cases[] = {
      {"n", 0, "00"},
      {"n", 127, "7F"},
      {"n", 128, "81 80"},
      {"x", 255, "81 FF"},
      {"n", 300, "82 01 2C"},
      {"x", 65536, "83 01 00 00"},
      {"n", -2, "84 FF FF FF FE"},
      {"O", 5, "82 00 05"},
      {"O", 300, "82 01 2C"},
      {"P", 0, "84 00 00 00 00"},
      {"P", 0x12345, "84 00 01 23 45"},
      {"C", 0xE0, "E0"},
      {"C", 0xE2D7, "E2 D7"},
      {"T", 0xF1CE, "F1 CE"},
      {"D", 0xAB, "AB"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Hex(EncodeRecord(c.letters, {c.value})), c.expected) << c.letters << " " << c.value;
  }
}

TEST(Ieee695Record, LettersAreUpperCasedWithTheHighBitSet) {
  EXPECT_EQ(Hex(EncodeRecord("AAA", {"L", "a", "p"})), "CC C1 D0");
}

TEST(Ieee695Record, NameFormsByLength) {
  struct Case {
    size_t length;
    const char* prefix;
  };
  const Case cases[] = {
      {0, "00"},      {4, "04"},         {126, "7E"},       {127, "DE 7F"},
      {254, "DE FE"}, {255, "DF 00 FF"}, {300, "DF 01 2C"},
  };
  for (const Case& c : cases) {
    std::string text(c.length, 'q');
    std::string record = EncodeRecord("I", {text});
    std::string prefix = Hex(record.substr(0, record.size() - c.length));
    EXPECT_EQ(prefix, c.prefix) << c.length;
    EXPECT_EQ(record.substr(record.size() - c.length), text) << c.length;
  }
}

TEST(Ieee695Record, WholeRecordsFromTemplates) {
  EXPECT_EQ(EncodeRecord("CnI", {0xF0, 33, "AD Info"}), Bytes({0xF0, 0x21, 0x07}) + "AD Info");
  EXPECT_EQ(Hex(EncodeRecord("CCnC", {0xE2C7, 0xBE, 0, 0xBF})), "E2 C7 BE 00 BF");
  EXPECT_EQ(Hex(EncodeRecord("CnnA", {0xEC, 8, 2, "L"})), "EC 08 02 CC");
  EXPECT_EQ(Hex(EncodeRecord("Cn", {0xE2C6, -2})), "E2 C6 84 FF FF FF FE");
}

// ---- Line events

using Event = std::tuple<int, int, int, int, int>;  // kind, level, file, address, line

std::vector<Event> Events(const Ieee695State& state) {
  std::vector<Event> events;
  for (const Ieee695LineEvent& e : state.events)
    events.emplace_back(e.kind, e.level, e.file, e.address, e.line);
  return events;
}

struct LineEvents : ::testing::Test {
  Ieee695State state;
  void Note(int level, const std::string& file, int line, int address, int line_class) {
    NoteLineEvent(state, "main.asm", level, file, line, address, line_class);
  }
};

TEST_F(LineEvents, TheMainSourceIsEnteredOnceAndOnlyCodeAndResetLinesCount) {
  Note(0, "main.asm", 1, 0, kLinePlain);
  Note(0, "main.asm", 2, 0, kLineCode);
  Note(0, "main.asm", 3, 0, kLineValue);
  Note(0, "main.asm", 4, 0x7FF, kLineResetVector);
  Note(0, "main.asm", 5, 1, kLineCode);
  EXPECT_EQ(Events(state), (std::vector<Event>{
                               {kEnterFile, 0, 0, 0, 0},
                               {kSourceLine, 0, 0, 0, 2},
                               {kSourceLine, 0, 0, 0x7FF, 4},
                               {kSourceLine, 0, 0, 1, 5},
                           }));
  EXPECT_EQ(state.file_names, std::vector<std::string>{"main.asm"});
}

TEST_F(LineEvents, IncludeLevelsEnterAndLeave) {
  Note(0, "main.asm", 1, 0, kLineCode);
  Note(1, "a.asm", 0, 0, kLinePlainNoMarker);  // the INCLUDE line, noted after it opened a.asm
  Note(1, "a.asm", 1, 1, kLineCode);
  Note(2, "b.asm", 0, 0, kLinePlainNoMarker);
  Note(2, "b.asm", 3, 2, kLineCode);
  Note(0, "main.asm", 3, 3, kLineCode);  // both files ended
  EXPECT_EQ(Events(state), (std::vector<Event>{
                               {kEnterFile, 0, 0, 0, 0},
                               {kSourceLine, 0, 0, 0, 1},
                               {kEnterFile, 1, 1, 0, 0},
                               {kSourceLine, 1, 1, 1, 1},
                               {kEnterFile, 2, 2, 0, 0},
                               {kSourceLine, 2, 2, 2, 3},
                               {kLeaveFile, 2, 2, 0, 0},
                               {kLeaveFile, 1, 2, 0, 0},
                               {kSourceLine, 0, 0, 3, 3},
                           }));
}

TEST_F(LineEvents, AnotherFileAtTheSameLevelLeavesAndEntersAndKnownNamesKeepTheirIndex) {
  Note(0, "main.asm", 1, 0, kLinePlain);
  Note(1, "a.asm", 0, 0, kLinePlainNoMarker);
  Note(1, "b.asm", 0, 0, kLinePlainNoMarker);  // a.asm ended on the line before INCLUDE b.asm
  Note(1, "a.asm", 0, 0, kLinePlainNoMarker);
  EXPECT_EQ(Events(state), (std::vector<Event>{
                               {kEnterFile, 0, 0, 0, 0},
                               {kEnterFile, 1, 1, 0, 0},
                               {kLeaveFile, 1, 1, 0, 0},
                               {kEnterFile, 1, 2, 0, 0},
                               {kLeaveFile, 1, 2, 0, 0},
                               {kEnterFile, 1, 1, 0, 0},
                           }));
  EXPECT_EQ(state.file_names, (std::vector<std::string>{"main.asm", "a.asm", "b.asm"}));
}

// ---- Whole modules

// 2026-03-04 05:06:07, as the year (2026 = 0x07EA), month, day, hour, minute and second numbers.
std::tm FixedTime() {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 3 - 1;
  t.tm_mday = 4;
  t.tm_hour = 5;
  t.tm_min = 6;
  t.tm_sec = 7;
  return t;
}
const std::string kTime = Bytes({0x82, 0x07, 0xEA, 0x03, 0x04, 0x05, 0x06, 0x07});

struct ModuleTest : ::testing::Test {
  TempFolder dir;
  std::ostringstream console;
  TarnRun run{console};
  std::string source = dir / "p.asm";
  std::vector<std::string> args = {"tarn", "/F", "IEEE695", "/Q", "65", "/Q", "66", "/Q", "71"};

  int Assemble(const std::string& text) {
    WriteFile(source, text);
    run.ieee695.clock = FixedTime;
    args.push_back(source);
    return RunTarn(run, args);
  }
  std::string Module() { return ReadFile(dir / "p.qve"); }
  std::string CommandLine() const {
    std::string joined;
    for (const std::string& a : args) joined += a;
    return joined;
  }
};

// The header with the eight part offsets in the 2-byte form.
std::string Header(const std::string& device, const std::string& module,
                   const std::vector<long>& offsets) {
  std::string header =
      Bytes({0xE0}) + Name(device) + Name(module) + Bytes({0xEC, 0x08, 0x02, 0xCC});
  for (size_t part = 0; part < offsets.size(); ++part) {
    header += Bytes({0xE2, 0xD7, static_cast<int>(part), 0x82, static_cast<int>(offsets[part] >> 8),
                     static_cast<int>(offsets[part] & 0xFF)});
  }
  return header;
}

std::string Atn(int index, int attribute, std::initializer_list<int> values) {
  std::string record = Bytes({0xF1, 0xCE, index, 0x00, attribute});
  for (int v : values) record += static_cast<char>(v);  // every value here is below 128
  return record;
}

std::string LineNumbers(int index) { return Bytes({0xF0, index}) + Name("LineNumbers"); }

// One line of a file block: ATN 7 with the line number, then AS-N with the address.
std::string Line(int index, int line, const std::string& address) {
  return Atn(index, 0x07, {line, 0}) + Bytes({0xE2, 0xCE, index}) + address;
}

std::string Symbol(int index, const std::string& name, int type, const std::string& value) {
  return Bytes({0xF0, index}) + Name(name) + Bytes({0xF1, 0xCE, index, type, 0x13, 0x01, 0x00}) +
         Bytes({0xE2, 0xCE, index}) + value;
}

// SB and AS-P for the code section, then image words 0 to 0x1017 in LD records of 63 words.
std::string DataPart(const std::vector<uint16_t>& image) {
  std::string part = Bytes({0xE5, 0x02, 0xE2, 0xD0, 0x02, 0x00});
  for (int first = 0; first < 4120; first += 63) {
    int count = first + 63 <= 4120 ? 63 : 4120 - first;
    part += Bytes({0xED, 2 * count});
    for (int i = first; i < first + count; ++i) part += Bytes({image[i] & 0xFF, image[i] >> 8});
  }
  return part;
}

const char kWithInclude[] =
    "\tDEVICE\tQV18AC\n"  // 1
    "\tID\t\"QV\"\n"      // 2
    "flag\tEQU\t$12.3\n"  // 3
    "start\tNOP\n"        // 4: 0
    "\tINCLUDE\t\"inc.asm\"\n"
    "\tJMP\tstart\n"    // 6: 2
    "\tRESET\tstart\n"  // 7: the reset vector 0x7FF
    "\tEND\n";
const char kIncluded[] =
    "; included\n"
    "\tNOP\n";  // 2: 1

TEST_F(ModuleTest, AModuleWithAnIncludeFileByteForByte) {
  WriteFile(dir / "inc.asm", kIncluded);
  ASSERT_EQ(Assemble(kWithInclude), 0) << console.str();

  // Name indexes: 33 AD Info, 34 TARN Env, 35 the main file's lines, 36 inc.asm's, then the
  // symbols.
  const std::string parts[8] = {
      // W0
      Bytes({0xF0, 33}) + Name("AD Info") + Atn(33, 37, {4, 1}) + Atn(33, 38, {1}) +
          Atn(33, 39, {2}),
      // W1
      Bytes({0xF0, 34}) + Name("TARN Env") + Atn(34, 50, {}) + kTime + Atn(34, 51, {}) +
          Name(CommandLine()) + Atn(34, 52, {0}) + Atn(34, 53, {2}) + Atn(34, 54, {16, 1, 50}),
      // W2
      Bytes({0xE6, 0x01, 0xC1, 0xD3, 0xC4}) + Name("DATA") + Bytes({0xE2, 0xD3, 0x01, 0x00}) +
          Bytes({0xE2, 0xCC, 0x01, 0x84, 0, 0, 0, 0}) + Bytes({0xE6, 0x02, 0xC1, 0xD3, 0xD0}) +
          Name("CODE") + Bytes({0xE2, 0xD3, 0x02, 0x82, 0x08, 0x00}) +
          Bytes({0xE2, 0xCC, 0x02, 0x84, 0, 0, 0, 0}) +
          Bytes({0xE2, 0xC6, 0x84, 0xFF, 0xFF, 0xFF, 0xFE}),
      // W3: no externals
      "",
      // W4
      Bytes({0xF8, 0x01, 0x82, 0x00, 0x00}) + Name("QV") + Bytes({0xF9}) +
          Bytes({0xF8, 0x03, 0x82, 0x00, 0x00}) + Name("QV") + Bytes({0xF9}) +
          Bytes({0xF8, 0x05, 0x00}) + Name(source) + kTime + LineNumbers(35) +
          Line(35, 4, Bytes({0x00})) + Bytes({0xF8, 0x05, 0x00}) + Name("inc.asm") + kTime +
          LineNumbers(36) + Line(36, 2, Bytes({0x01})) + Bytes({0xF9}) + LineNumbers(35) +
          Line(35, 6, Bytes({0x02})) + Line(35, 7, Bytes({0x82, 0x07, 0xFF})) + Bytes({0xF9}) +
          Bytes({0xF8, 0x0A, 0x82, 0x00, 0x00}) + Name(source) + Name("") + Bytes({0x10}) +
          Name("Version 1.51.07") + kTime +
          Symbol(37, "flag", 2, Bytes({0x82, 0x30, 0x12})) +  // 0x12 with bit part 3
          Symbol(38, "start", 15, Bytes({0x00})) +
          Symbol(39, "__QV_FREQ", 2, Bytes({0x81, 0x80})) +  // 50,000,000 AND 0xFFF
          Symbol(40, "__QV_IRC_CAL", 2, Bytes({0x00})) +
          Symbol(41, "__QV_RESET", 2, Bytes({0x03})) + Bytes({0xF9}),
      // W5
      DataPart(run.image.words),
      // W6
      Bytes({0xE2, 0xC7, 0xBE, 0x00, 0xBF}),
      // W7
      Bytes({0xE1}),
  };
  const long header_size = static_cast<long>(Header("QV18AC", source, std::vector<long>(8)).size());
  std::vector<long> offsets(8);
  long at = header_size;
  for (int part = 0; part < 8; ++part) {
    offsets[part] = part == 3 ? 0 : at;
    at += static_cast<long>(parts[part].size());
  }
  std::string expected = Header("QV18AC", source, offsets);
  for (const std::string& part : parts) expected += part;

  std::string module = Module();
  ASSERT_EQ(module.size(), expected.size());
  EXPECT_EQ(module.substr(0, static_cast<size_t>(header_size)),
            expected.substr(0, static_cast<size_t>(header_size)))
      << Hex(module.substr(0, static_cast<size_t>(header_size)));
  for (int part = 0; part < 8; ++part) {
    if (part == 3) continue;
    EXPECT_EQ(Hex(module.substr(static_cast<size_t>(offsets[part]), parts[part].size())),
              Hex(parts[part]))
        << "W" << part;
  }
  EXPECT_EQ(module, expected);
}

TEST_F(ModuleTest, LoadDataIsEveryWordToTheConfigurationBlockLowByteFirst) {
  ASSERT_EQ(Assemble("\tJMP\t$123\n\tEND\n"), 0) << console.str();
  std::string module = Module();
  size_t data = module.find(Bytes({0xE5, 0x02, 0xE2, 0xD0, 0x02, 0x00, 0xED}));
  ASSERT_NE(data, std::string::npos);
  size_t at = data + 6;
  int records = 0, words = 0;
  while (static_cast<unsigned char>(module[at]) == 0xED) {
    int count = static_cast<unsigned char>(module[at + 1]);
    EXPECT_EQ(count, words + 63 <= 4120 ? 126 : 50) << "record " << records;
    words += count / 2;
    at += 2 + static_cast<size_t>(count);
    ++records;
  }
  EXPECT_EQ(records, 66);
  EXPECT_EQ(words, 4120);
  EXPECT_EQ(Hex(module.substr(data + 8, 4)),
            "23 0B FF 0F");  // JMP $123 = 0x0B23, then a blank word
}

TEST_F(ModuleTest, ASourceWithoutIncludesHasOneFileBlock) {
  ASSERT_EQ(Assemble("\tNOP\n\tNOP\n\tEND\n"), 0) << console.str();
  std::string module = Module();
  std::string blocks = Bytes({0xF8, 0x01, 0x82, 0x00, 0x00, 0x00, 0xF9}) +  // no ID: an empty name
                       Bytes({0xF8, 0x03, 0x82, 0x00, 0x00, 0x00, 0xF9}) +
                       Bytes({0xF8, 0x05, 0x00}) + Name(source) + kTime + LineNumbers(35) +
                       Line(35, 1, Bytes({0x00})) + Line(35, 2, Bytes({0x01})) + Bytes({0xF9}) +
                       Bytes({0xF8, 0x0A});
  size_t at = module.find(blocks);
  ASSERT_NE(at, std::string::npos) << Hex(module);
  std::string rest = module.substr(
      at + blocks.size(), module.find(Bytes({0xE5, 0x02, 0xE2, 0xD0})) - at - blocks.size());
  EXPECT_EQ(rest.find(Bytes({0xF8, 0x05})), std::string::npos);
}

// Each block gets its end even when END stands in an included file.
TEST_F(ModuleTest, EndInAnIncludedFileClosesBothFileBlocks) {
  WriteFile(dir / "inc.asm", "\tNOP\n\tEND\n");
  ASSERT_EQ(Assemble("\tNOP\n\tINCLUDE\t\"inc.asm\"\n"), 0) << console.str();
  std::string blocks = Bytes({0xF8, 0x05, 0x00}) + Name(source) + kTime + LineNumbers(35) +
                       Line(35, 1, Bytes({0x00})) + Bytes({0xF8, 0x05, 0x00}) + Name("inc.asm") +
                       kTime + LineNumbers(36) + Line(36, 1, Bytes({0x01})) +
                       Bytes({0xF9, 0xF9, 0xF8, 0x0A});
  EXPECT_NE(Module().find(blocks), std::string::npos) << Hex(Module());
}

TEST_F(ModuleTest, WarningsAreNotedInTheEnvironment) {
  args = {"tarn", "/F", "IEEE695"};  // the missing FREQ and IRC_CAL are warned about
  ASSERT_EQ(Assemble("\tNOP\n\tEND\n"), 2) << console.str();
  EXPECT_NE(Module().find(Atn(34, 52, {1}) + Atn(34, 53, {2})), std::string::npos);
}

// Offsets past 0xFFFF do not fit the 2-byte form: the header takes the 4-byte form for all.
TEST_F(ModuleTest, ALargeModuleKeepsItsOffsetsWhole) {
  std::string text;
  for (int i = 0; i < 2000; ++i) {
    text += 's';
    text += std::to_string(1000 + i);
    text += "_with_a_name_of_32_chars_\tEQU\t1\n";
  }
  ASSERT_EQ(Assemble(text + "\tEND\n"), 0) << console.str();
  std::string module = Module();
  size_t at = 1 + 1 + 6 + 1 + source.size() + 4;
  std::vector<long> offsets;
  for (int part = 0; part < 8; ++part, at += 8) {
    ASSERT_EQ(Hex(module.substr(at, 4)), Hex(Bytes({0xE2, 0xD7, part, 0x84}))) << "W" << part;
    long offset = 0;
    for (size_t i = 0; i < 4; ++i)
      offset = offset * 256 + static_cast<unsigned char>(module[at + 4 + i]);
    offsets.push_back(offset);
  }
  EXPECT_EQ(offsets[0], static_cast<long>(at));
  EXPECT_EQ(module.substr(static_cast<size_t>(offsets[0]), 2), Bytes({0xF0, 33}));
  EXPECT_EQ(module.substr(static_cast<size_t>(offsets[4]), 2), Bytes({0xF8, 0x01}));
  EXPECT_GT(offsets[5], 0xFFFF);
  EXPECT_EQ(module.substr(static_cast<size_t>(offsets[5]), 2), Bytes({0xE5, 0x02}));
  EXPECT_EQ(module.substr(static_cast<size_t>(offsets[6]), 2), Bytes({0xE2, 0xC7}));
  EXPECT_EQ(offsets[7], static_cast<long>(module.size()) - 1);
  EXPECT_EQ(module.back(), '\xE1');
}

TEST_F(ModuleTest, AnObjectFileThatCannotBeOpenedFailsTheRun) {
  tarn_test::fs::create_directory(dir / "p.qve");
  EXPECT_EQ(Assemble("\tNOP\n\tEND\n"), 1);
  EXPECT_NE(console.str().find("\nCannot open IEEE-695 object file: " + (dir / "p.qve")),
            std::string::npos)
      << console.str();
}

TEST(Ieee695Run, AnObjectFileThatCannotBeOpenedInTheIdeMode) {
  TempFolder dir;
  WriteFile(dir / "p.asm", "\tNOP\n\tEND\n");
  tarn_test::fs::create_directory(dir / "p.qve");
  auto r = tarn_test::RunTarnExe({"/F", "IEEE695", "/E", "KESTRIAN", "p.asm"}, dir.path().string());
  EXPECT_EQ(r.exit_code, 4);
  EXPECT_NE(r.output.find("\nCannot open IEEE-695 object file: " + (dir / "p.qve") +
                          "\nCannot open object file"),
            std::string::npos)
      << r.output;
}

}  // namespace
}  // namespace tarn
