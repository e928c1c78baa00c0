// tarn's INHX8M object and the IDE's device image file of the same build. Both are Intel HEX
// with 8-bit data records at byte address 2 x word address, each word low byte first, the same
// checksum and the same end record; so every record tarn writes is, character for character,
// the record the IDE writes for those words at that address, and every byte both files hold
// is the same byte.
//
// Where they differ by design:
// - line end: tarn a line feed, the IDE CR LF;
// - grouping: tarn 4 words to a record and no blank (0x0FFF) program word, the IDE 16 words to
//   a record and every program word; tarn's ID words in four records of 4, the IDE's in one;
// - configuration: tarn's record holds the 8 words of its configuration block (FUSE, FUSEX,
//   0xFFFF, device id, clock high and low, IRC_CAL, BREAK: 16-bit words with a full high byte),
//   the IDE's holds FUSE and FUSEX alone.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "build_debug/image/hex_image.h"
#include "build_debug/image/object_image.h"
#include "tarn_build.h"
#include "tests/build_debug/image/image_fixture.h"

namespace build_debug {
namespace {

struct HexRecord {
  std::string line;  // without its line end
  int byte_address = 0;
  std::vector<std::uint8_t> data;
};

// The data records of a HEX text whose lines end with `line_end`, each checked for its form
// and checksum; the end record must close the text.
std::vector<HexRecord> DataRecords(const std::string& text, const std::string& line_end) {
  std::vector<HexRecord> records;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(line_end, start)) != std::string::npos;
       start = at + line_end.size()) {
    std::string line = text.substr(start, at - start);
    if (line == ":00000001FF") {
      EXPECT_EQ(at + line_end.size(), text.size()) << "text after the end record";
      return records;
    }
    EXPECT_EQ(line.find_first_not_of(":0123456789ABCDEF"), std::string::npos) << line;
    std::vector<int> bytes;
    for (std::size_t i = 1; i + 1 < line.size(); i += 2)
      bytes.push_back(std::stoi(line.substr(i, 2), nullptr, 16));
    if (bytes.size() < 5 || static_cast<std::size_t>(bytes[0]) + 5 != bytes.size()) {
      ADD_FAILURE() << "malformed record " << line;
      continue;
    }
    int sum = 0;
    for (int b : bytes) sum += b;
    EXPECT_EQ(sum & 0xFF, 0) << "checksum of " << line;
    EXPECT_EQ(bytes[3], 0) << "record type of " << line;
    records.push_back({line, bytes[1] * 256 + bytes[2],
                       std::vector<std::uint8_t>(bytes.begin() + 4, bytes.end() - 1)});
  }
  ADD_FAILURE() << "no end record";
  return records;
}

std::map<int, std::uint8_t> BytesByAddress(const std::vector<HexRecord>& records) {
  std::map<int, std::uint8_t> bytes;
  for (const HexRecord& r : records) {
    for (std::size_t i = 0; i < r.data.size(); ++i)
      bytes[r.byte_address + static_cast<int>(i)] = r.data[i];
  }
  return bytes;
}

// A program with a run of six words, a NOT W (0x0FFF, which tarn leaves out as blank), a lone
// word far off, the reset jump at the last address, ID text and both configuration words.
std::string Program(const char* device) {
  return std::string("\tDEVICE ") + device +
         "\n\tID \"QV\"\n\t__FUSE 0x3FE\n\t__FUSEX 0xF3F\n"
         "\tMOV W,#12\n\tMOV 10,W\n\tNOT W\n\tJMP 0\n\tCLR 10\n\tSLEEP\n\tINC 10\n"
         "\tORG 0x123\n\tRETW 90\n\tRESET 0\n\tEND\n";
}

constexpr int kFusexEnd = 2 * (kFusexIndex + 1);  // the IDE writes no byte from here on

class TarnHexWritersTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    TarnBuild tarn;
    ASSERT_TRUE(tarn.Assemble(Program(GetParam()), {"/F", "INHX8M"})) << tarn.Report();
    tarn_text_ = ReadBytes(tarn.Output(".hex"));
    ASSERT_TRUE(tarn.Assemble(Program(GetParam()), {"/F", "BIN16"})) << tarn.Report();
    ASSERT_TRUE(tarn.LoadObject(*image_));
    WriteHexText(*image_);
    ide_text_ = std::string(image_->FileBuffer, static_cast<std::size_t>(image_->FileBufferLength));
  }

  ImageHolder image_;
  std::string tarn_text_;
  std::string ide_text_;
};

TEST_P(TarnHexWritersTest, SameBytesWhereBothWriteThem) {
  std::map<int, std::uint8_t> tarn = BytesByAddress(DataRecords(tarn_text_, "\n"));
  std::map<int, std::uint8_t> ide = BytesByAddress(DataRecords(ide_text_, "\r\n"));
  ASSERT_FALSE(ide.empty());
  EXPECT_EQ(ide.rbegin()->first, kFusexEnd - 1);
  for (const auto& [address, byte] : tarn) {
    if (address >= kFusexEnd) continue;  // tarn's configuration words after FUSEX
    ASSERT_TRUE(ide.count(address)) << "byte address " << address;
    EXPECT_EQ(ide[address], byte) << "byte address " << address;
  }
  // What tarn leaves out of program memory is blank words.
  const int program_bytes = 2 * ProgramSize(*image_);
  for (const auto& [address, byte] : ide) {
    if (address >= program_bytes || tarn.count(address)) continue;
    EXPECT_EQ(byte, address % 2 == 0 ? 0xFF : 0x0F) << "byte address " << address;
  }
  EXPECT_EQ(tarn.rbegin()->first, 2 * (kFuseIndex + 8) - 1);
}

TEST_P(TarnHexWritersTest, EveryRecordOfTarnIsTheIdesRecordOfItsWords) {
  std::vector<HexRecord> records = DataRecords(tarn_text_, "\n");
  ASSERT_FALSE(records.empty());
  records.pop_back();  // the configuration block, 8 words against the IDE's 2
  for (const HexRecord& r : records) {
    const std::size_t word_address = static_cast<std::size_t>(r.byte_address / 2);
    std::span<const std::uint16_t> words(image_->WorkingImage);
    std::string ide;
    AppendHexRecord(ide, r.byte_address / 2, words.subspan(word_address, r.data.size() / 2));
    EXPECT_EQ(ide, r.line + "\r\n");
  }
  EXPECT_EQ(tarn_text_.substr(tarn_text_.size() - 12), ":00000001FF\n");
  EXPECT_EQ(ide_text_.substr(ide_text_.size() - 13), ":00000001FF\r\n");
}

INSTANTIATE_TEST_SUITE_P(Devices, TarnHexWritersTest, ::testing::Values("QV28AC", "QV52BD"));

}  // namespace
}  // namespace build_debug
