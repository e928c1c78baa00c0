// The object writers: BIN16 with and without the trailer, INHX8M, INHX16 and INHX8S. The
// expected bytes and lines are worked out by hand from the formats; every HEX file is also read
// back by a small Intel HEX reader and compared with the BIN16 object of the same image.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "assembler/devices.h"
#include "assembler/driver.h"
#include "assembler/object_writers.h"
#include "assembler/options.h"
#include "assembler/run.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A folder of its own for each test, removed afterwards.
struct WriterFixture : ::testing::Test {
  std::ostringstream console;
  TarnRun run{console};
  fs::path folder;

  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = fs::temp_directory_path() /
             ("tarn_writers_" + std::to_string(getpid()) + "_" + info->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    run.output_base = (folder / "prog").string();
    run.pass = 2;
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path Output(const char* extension) const {
    return folder / (std::string("prog") + extension);
  }

  int Write(int format, bool kestrian = false) {
    run.options.output_format = format;
    run.options.kestrian = kestrian;
    return WriteObject(run);
  }

  // Five words from address 0, two blank words, one word at 7.
  void SmallProgram() {
    std::vector<uint16_t>& w = run.image.words;
    w[0] = 0x0C0A;
    w[1] = 0x0025;
    w[2] = 0x0A00;
    w[3] = 0x0000;
    w[4] = 0x0123;
    w[7] = 0x0FFE;
  }
};

// ---- BIN16

TEST_F(WriterFixture, Bin16OutsideTheIdeModeIsExactlyTheProgramWords) {
  SmallProgram();
  run.image.words[2047] = 0xF5A5;    // only 12 bits are kept
  run.image.words[0x1000] = 0x0FF4;  // ID words are not written
  ASSERT_EQ(Write(kBin16), 0);
  std::vector<uint8_t> bytes = ReadBytes(Output(".obj"));
  ASSERT_EQ(bytes.size(), 2048u * 2);
  const std::vector<uint8_t> head = {0x0A, 0x0C, 0x25, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x23,
                                     0x01, 0xFF, 0x0F, 0xFF, 0x0F, 0xFE, 0x0F, 0xFF, 0x0F};
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 18), head);
  EXPECT_EQ(bytes[4094], 0xA5);
  EXPECT_EQ(bytes[4095], 0x05);
}

TEST_F(WriterFixture, Bin16InTheIdeModeEndsWithTheTrailer) {
  SmallProgram();
  const uint16_t id_ab[4] = {0x0FF4, 0x0FF1, 0x0FF4, 0x0FF2};  // ID "AB"
  for (int i = 0; i < 4; ++i) run.image.words[0x1000 + i] = id_ab[i];
  run.image.irc_cal = 1;
  run.image.break_address = 0x0123;
  ASSERT_EQ(Write(kBin16, true), 0);
  std::vector<uint8_t> bytes = ReadBytes(Output(".obj"));
  ASSERT_EQ(bytes.size(), 2048u * 2 + 48);
  std::vector<uint8_t> trailer(bytes.end() - 48, bytes.end());
  std::vector<uint8_t> expected = {0xF4, 0x0F, 0xF1, 0x0F, 0xF4, 0x0F, 0xF2, 0x0F};
  for (int i = 0; i < 12; ++i) expected.insert(expected.end(), {0xFF, 0x0F});
  expected.insert(expected.end(), {
                                      0xFB, 0x0F,  // FUSE
                                      0xFF, 0x0B,  // FUSEX of QV18AC
                                      0xFF, 0xFF,  // 0xFFFF, not cut to 12 bits
                                      0x00, 0xAB,  // device ID word
                                      0xFA, 0x02,  // 50,000,000 Hz = 0x02FAF080: high half
                                      0x80, 0xF0,  //                              low half
                                      0x01, 0x00,  // IRC_CAL
                                      0x23, 0x01,  // BREAK
                                  });
  EXPECT_EQ(trailer, expected);
  EXPECT_EQ(bytes[0], 0x0A);
  EXPECT_EQ(bytes[1], 0x0C);
}

TEST_F(WriterFixture, Bin16OnALargeDevice) {
  ASSERT_EQ(SelectDevice(run, "QV52BD"), 0);
  run.image.words[4095] = 0x0800;
  run.image.break_address = kNoBreak;
  ASSERT_EQ(Write(kBin16, true), 0);
  std::vector<uint8_t> bytes = ReadBytes(Output(".obj"));
  ASSERT_EQ(bytes.size(), 4096u * 2 + 48);
  EXPECT_EQ(bytes[8190], 0x00);
  EXPECT_EQ(bytes[8191], 0x08);
  size_t config = bytes.size() - 16;
  EXPECT_EQ(bytes[config + 2], 0xFF);  // FUSEX 0x0FFF
  EXPECT_EQ(bytes[config + 3], 0x0F);
  EXPECT_EQ(bytes[config + 6], 0x04);  // ID word 0xAB04
  EXPECT_EQ(bytes[config + 7], 0xAB);
  EXPECT_EQ(bytes[config + 14], 0xFF);  // no BREAK
  EXPECT_EQ(bytes[config + 15], 0xFF);
}

// ---- Intel HEX, by hand

TEST_F(WriterFixture, Inhx8mSmallProgram) {
  SmallProgram();
  ASSERT_EQ(Write(kInhx8m), 0);
  EXPECT_EQ(ReadText(Output(".hex")),
            ":080000000A0C2500000A0000B3\n"
            ":020008002301D2\n"
            ":02000E00FE0FE3\n"
            ":08200000FF0FFF0FFF0FFF0FA0\n"
            ":08200800FF0FFF0FFF0FFF0F98\n"
            ":08201000FF0FFF0FFF0FFF0F90\n"
            ":08201800FF0FFF0FFF0FFF0F88\n"
            ":10202000FB0FFF0BFFFF00ABFA0280F0FFFFFFFF8B\n"
            ":00000001FF\n");
}

TEST_F(WriterFixture, Inhx16SmallProgram) {
  SmallProgram();
  ASSERT_EQ(Write(kInhx16), 0);
  EXPECT_EQ(ReadText(Output(".hex")),
            ":050000000C0A00250A000000012392\n"
            ":010007000FFEEB\n"
            ":041000000FFF0FFF0FFF0FFFB4\n"
            ":041004000FFF0FFF0FFF0FFFB0\n"
            ":041008000FFF0FFF0FFF0FFFAC\n"
            ":04100C000FFF0FFF0FFF0FFFA8\n"
            ":081010000FFB0BFFFFFFAB0002FAF080FFFFFFFFB3\n"
            ":00000001FF\n");
}

TEST_F(WriterFixture, Inhx8sSmallProgram) {
  SmallProgram();
  ASSERT_EQ(Write(kInhx8s), 0);
  EXPECT_EQ(ReadText(Output(".hxh")),
            ":050000000C000A0001E4\n"
            ":010007000FE9\n"
            ":041000000F0F0F0FB0\n"
            ":041004000F0F0F0FAC\n"
            ":041008000F0F0F0FA8\n"
            ":04100C000F0F0F0FA4\n"
            ":081010000F0BFFAB02F0FFFF24\n"
            ":00000001FF\n");
  EXPECT_EQ(ReadText(Output(".hxl")),
            ":050000000A25000023A9\n"
            ":01000700FEFA\n"
            ":04100000FFFFFFFFF0\n"
            ":04100400FFFFFFFFEC\n"
            ":04100800FFFFFFFFE8\n"
            ":04100C00FFFFFFFFE4\n"
            ":08101000FBFFFF00FA80FFFF67\n"
            ":00000001FF\n");
}

TEST_F(WriterFixture, AllBlankProgramHasOnlyIdConfigurationAndEnd) {
  ASSERT_EQ(Write(kInhx8m), 0);
  std::string text = ReadText(Output(".hex"));
  EXPECT_EQ(text.substr(0, 28), ":08200000FF0FFF0FFF0FFF0FA0\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6);
}

TEST_F(WriterFixture, Inhx16RecordsHoldEightWords) {
  for (int a = 0; a < 9; ++a) run.image.words[a] = static_cast<uint16_t>(a);
  run.image.words[2047] = 0x0ABC;  // after a blank, at the end of program memory
  ASSERT_EQ(Write(kInhx16), 0);
  std::string text = ReadText(Output(".hex"));
  EXPECT_EQ(text.substr(0, 60),
            ":0800000000000001000200030004000500060007DC\n"
            ":010008000008EF\n");
  EXPECT_NE(text.find("\n:0107FF000ABC33\n:041000000FFF"), std::string::npos) << text;
}

TEST_F(WriterFixture, ConfigurationBlockInTheImage) {
  run.image.frequency = 4000000;  // 0x003D0900
  run.image.irc_cal = 2;
  ASSERT_EQ(Write(kInhx8m), 0);
  const uint16_t* block = &run.image.words[kConfigurationAddress];
  EXPECT_EQ(block[0], 0x0FFB);
  EXPECT_EQ(block[1], 0x0BFF);
  EXPECT_EQ(block[2], 0xFFFF);
  EXPECT_EQ(block[3], 0xAB00);
  EXPECT_EQ(block[4], 0x003D);
  EXPECT_EQ(block[5], 0x0900);
  EXPECT_EQ(block[6], 0xFFFF);  // IRC_CAL only in the IDE's mode
  EXPECT_EQ(block[7], 0xFFFF);
  ASSERT_EQ(Write(kInhx8m, true), 0);
  EXPECT_EQ(block[6], 2);
}

TEST(PutHex, WritesTheLowDigitsRightToLeft) {
  char buffer[5] = "....";
  PutHex(buffer, 4, 0x2A3F);
  EXPECT_STREQ(buffer, "2A3F");
  PutHex(buffer, 2, 0x1234);
  EXPECT_STREQ(buffer, "343F");
  PutHex(buffer, 3, 0xabc);
  EXPECT_STREQ(buffer, "ABCF");
}

// ---- Reading HEX files back

struct HexContents {
  std::map<unsigned, uint16_t> words;  // by word address
  bool ended = false;
};

uint8_t HexByte(const std::string& line, size_t at) {
  return static_cast<uint8_t>(std::stoul(line.substr(at, 2), nullptr, 16));
}

enum class HexLayout { k8Merged, k16, k8SplitHigh, k8SplitLow };

// Checks every record (start mark, digits, length, checksum, type, the end record last) and
// collects the words; the split layouts fill one byte of each word.
void ReadHex(const std::string& text, HexLayout layout, HexContents* out) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    SCOPED_TRACE(line);
    ASSERT_FALSE(out->ended) << "record after the end record";
    ASSERT_GE(line.size(), 11u);
    ASSERT_EQ(line[0], ':');
    ASSERT_EQ(line.find_first_not_of("0123456789ABCDEF", 1), std::string::npos)
        << "upper-case hex only";
    ASSERT_EQ(line.size() % 2, 1u);
    std::vector<uint8_t> bytes;
    for (size_t i = 1; i < line.size(); i += 2) bytes.push_back(HexByte(line, i));
    unsigned sum = 0;
    for (uint8_t b : bytes) sum += b;
    ASSERT_EQ(sum & 0xFF, 0u) << "checksum";
    unsigned count = bytes[0];
    unsigned address = bytes[1] * 256u + bytes[2];
    uint8_t type = bytes[3];
    std::vector<uint8_t> data(bytes.begin() + 4, bytes.end() - 1);
    if (type == 1) {
      ASSERT_EQ(line, ":00000001FF");
      out->ended = true;
      continue;
    }
    ASSERT_EQ(type, 0);
    switch (layout) {
      case HexLayout::k8Merged:
        ASSERT_EQ(data.size(), count);
        ASSERT_EQ(count % 2, 0u);
        ASSERT_EQ(address % 2, 0u);
        for (unsigned i = 0; i < count / 2; ++i) {
          out->words[address / 2 + i] = static_cast<uint16_t>(data[2 * i] | data[2 * i + 1] << 8);
        }
        break;
      case HexLayout::k16:
        ASSERT_EQ(data.size(), 2 * count);
        for (unsigned i = 0; i < count; ++i) {
          out->words[address + i] = static_cast<uint16_t>(data[2 * i] << 8 | data[2 * i + 1]);
        }
        break;
      case HexLayout::k8SplitHigh:
      case HexLayout::k8SplitLow:
        ASSERT_EQ(data.size(), count);
        for (unsigned i = 0; i < count; ++i) {
          uint16_t& w = out->words[address + i];
          w = layout == HexLayout::k8SplitHigh ? static_cast<uint16_t>((w & 0x00FF) | data[i] << 8)
                                               : static_cast<uint16_t>((w & 0xFF00) | data[i]);
        }
        break;
    }
  }
  ASSERT_TRUE(out->ended) << "no end record";
}

// Program words (blank where a HEX file has none), then the ID and configuration words.
std::vector<uint16_t> WordsOfHex(const HexContents& hex, unsigned program_size) {
  std::vector<uint16_t> words(program_size, kBlankWord);
  for (const auto& [address, word] : hex.words) {
    if (address < program_size) words[address] = word;
  }
  for (unsigned a = kIdWordsAddress; a < kConfigurationAddress + kConfigurationWords; ++a) {
    auto it = hex.words.find(a);
    EXPECT_NE(it, hex.words.end()) << "word " << a << " missing";
    words.push_back(it == hex.words.end() ? 0 : it->second);
  }
  return words;
}

std::vector<uint16_t> WordsOfBin16(const std::vector<uint8_t>& bytes) {
  std::vector<uint16_t> words;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    words.push_back(static_cast<uint16_t>(bytes[i] | bytes[i + 1] << 8));
  return words;
}

struct RoundTripFixture : WriterFixture, ::testing::WithParamInterface<const char*> {
  // Runs of every length around the record sizes, blanks between them, words at both ends
  // of program memory, and ID words.
  void MixedProgram() {
    ASSERT_EQ(SelectDevice(run, GetParam()), 0);
    std::vector<uint16_t>& w = run.image.words;
    unsigned a = 0;
    for (int length = 1; length <= 19; ++length) {
      for (int i = 0; i < length; ++i, ++a) w[a] = static_cast<uint16_t>((a * 37 + 5) & 0x0FFF);
      a += 1 + length % 3;  // blank words
    }
    unsigned last = run.device.program_size - 1;
    w[last] = 0x0C55;
    w[last - 1] = 0x0000;
    const char id[] = "QVKEY01";
    for (int i = 0; i < 7; ++i) {
      w[kIdWordsAddress + 2 * i] = static_cast<uint16_t>(0x0FF0 + (id[i] >> 4));
      w[kIdWordsAddress + 2 * i + 1] = static_cast<uint16_t>(0x0FF0 + (id[i] & 15));
    }
    run.image.irc_cal = 1;
    run.image.break_address = 0x0042;
    run.image.frequency = 20000000;
  }

  std::vector<uint16_t> Bin16Words() {
    EXPECT_EQ(Write(kBin16, true), 0);
    return WordsOfBin16(ReadBytes(Output(".obj")));
  }
};

TEST_P(RoundTripFixture, Inhx8mGivesTheWordsOfBin16) {
  MixedProgram();
  std::vector<uint16_t> expected = Bin16Words();
  ASSERT_EQ(expected.size(), run.device.program_size + 24);
  ASSERT_EQ(Write(kInhx8m, true), 0);
  HexContents hex;
  ReadHex(ReadText(Output(".hex")), HexLayout::k8Merged, &hex);
  EXPECT_EQ(WordsOfHex(hex, run.device.program_size), expected);
}

TEST_P(RoundTripFixture, Inhx16GivesTheWordsOfBin16) {
  MixedProgram();
  std::vector<uint16_t> expected = Bin16Words();
  ASSERT_EQ(Write(kInhx16, true), 0);
  HexContents hex;
  ReadHex(ReadText(Output(".hex")), HexLayout::k16, &hex);
  EXPECT_EQ(WordsOfHex(hex, run.device.program_size), expected);
}

TEST_P(RoundTripFixture, Inhx8sGivesTheWordsOfBin16) {
  MixedProgram();
  std::vector<uint16_t> expected = Bin16Words();
  ASSERT_EQ(Write(kInhx8s, true), 0);
  HexContents hex;
  ReadHex(ReadText(Output(".hxh")), HexLayout::k8SplitHigh, &hex);
  hex.ended = false;
  ReadHex(ReadText(Output(".hxl")), HexLayout::k8SplitLow, &hex);
  EXPECT_EQ(WordsOfHex(hex, run.device.program_size), expected);
}

INSTANTIATE_TEST_SUITE_P(Devices, RoundTripFixture, ::testing::Values("QV18AC", "QV52BD"));

// ---- Failures

struct FailureCase {
  int format;
  const char* blocked;  // a directory stands where this file must go
  const char* message;
};

const FailureCase kFailures[] = {
    {kBin16, ".obj", "\nCannot create object file"},
    {kInhx8m, ".hex", "\nCannot create Intel 8-bit merged hex file"},
    {kInhx16, ".hex", "\nCannot create Intel 16-bit hex file"},
    {kInhx8s, ".hxh", "\nCannot create high-byte object file"},
    {kInhx8s, ".hxl", "\nCannot create low-byte object file"},
};

TEST_F(WriterFixture, FileThatCannotBeCreated) {
  for (const FailureCase& c : kFailures) {
    SCOPED_TRACE(c.blocked);
    fs::create_directory(Output(c.blocked));
    console.str("");
    EXPECT_EQ(Write(c.format, true), -1);
    EXPECT_EQ(console.str(), c.message);
    fs::remove(Output(c.blocked));
  }
}

TEST_F(WriterFixture, Inhx32HasNoWriter) {
  EXPECT_EQ(Write(kInhx32, true), -1);
  EXPECT_TRUE(fs::is_empty(folder));
}

// ---- Through the run sequence

struct RunFixture : WriterFixture {
  std::string source;
  void SetUp() override {
    WriterFixture::SetUp();
    source = (folder / "prog.asm").string();
    // Nothing for the end-of-pass-1 warnings to say in the IDE's mode (/P names the device).
    std::ofstream(source) << "\tFREQ 4000000\n\tIRC_CAL irc_slow\n\tEND\n";
  }
};

TEST_F(RunFixture, Inhx32InTheIdeModeExits4) {
  std::ostringstream out;
  EXPECT_EQ(RunTarn({"tarn", "/F", "INHX32", "/E", "KESTRIAN", source}, out), 4);
  EXPECT_NE(out.str().find("\nCannot open object file"), std::string::npos);
  EXPECT_FALSE(fs::exists(Output(".obj")));
}

TEST_F(RunFixture, Inhx32OutsideTheIdeModeExits1) {
  std::ostringstream out;
  EXPECT_EQ(RunTarn({"tarn", "/F", "INHX32", source}, out), 1);
}

TEST_F(RunFixture, Bin16InTheIdeModeWritesTheTrailer) {
  std::ostringstream out;
  EXPECT_EQ(RunTarn({"tarn", "/F", "BIN16", "/E", "KESTRIAN", "/P", "QV48BD", source}, out), 0)
      << out.str();
  std::vector<uint8_t> bytes = ReadBytes(Output(".obj"));
  ASSERT_EQ(bytes.size(), 4096u * 2 + 48);
  EXPECT_EQ(bytes[bytes.size() - 10], 0x03);  // ID word 0xAB03
  EXPECT_EQ(bytes[bytes.size() - 9], 0xAB);
}

}  // namespace
}  // namespace tarn
