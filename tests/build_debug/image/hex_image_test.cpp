#include "build_debug/image/hex_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "image_fixture.h"

namespace build_debug {
namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

std::vector<std::string> Lines(const ObjectImage& image) {
  std::string text(image.FileBuffer, static_cast<std::size_t>(image.FileBufferLength));
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
    lines.push_back(text.substr(start, at - start));
  }
  EXPECT_EQ(start, text.size()) << "text must end with CR LF";
  return lines;
}

void SetText(ObjectImage& image, const std::string& text) {
  std::memcpy(image.FileBuffer, text.c_str(), text.size() + 1);
  image.FileBufferLength = static_cast<std::int32_t>(text.size());
}

class HexImageTest : public ::testing::Test {
 protected:
  // A small 2,048-word program: MOV W,#12 and JMP 0, with the first ID word 0x123.
  void SetUp() override {
    image->WorkingImage[0] = UsedWord(0xC12);
    image->WorkingImage[1] = UsedWord(0xA00);
    image->WorkingImage[kIdWordsIndex] = 0x123;
  }
  ImageHolder image;
};

TEST_F(HexImageTest, WritesEveryRecordOfA2KImage) {
  WriteHexText(*image);
  std::vector<std::string> lines = Lines(*image);
  ASSERT_EQ(lines.size(), 128u + 3u);
  EXPECT_EQ(lines[0], ":20000000120C000A" + Repeat("FF0F", 14) + "F4");
  EXPECT_EQ(lines[1], ":20002000" + Repeat("FF0F", 16) + "E0");
  EXPECT_EQ(lines[127], ":200FE000" + Repeat("FF0F", 16) + "11");
  EXPECT_EQ(lines[128],
            ":20200000"
            "2301" +
                Repeat("FF0F", 15) + "CA");
  EXPECT_EQ(lines[129], ":04202000FA0FFF0BA9");
  EXPECT_EQ(lines[130], ":00000001FF");
  EXPECT_EQ(image->FileBufferLength, 128 * 77 + 77 + 21 + 13);
  EXPECT_EQ(image->FileBuffer[image->FileBufferLength], '\0');
}

TEST_F(HexImageTest, A4KImageHasTwiceTheProgramRecords) {
  image->Device4K = 1;
  image->WorkingImage[kFusexIndex] = kDefaultFusex4K;
  WriteHexText(*image);
  std::vector<std::string> lines = Lines(*image);
  ASSERT_EQ(lines.size(), 256u + 3u);
  EXPECT_EQ(lines[255], ":201FE000" + Repeat("FF0F", 16) + "01");
  EXPECT_EQ(lines[257], ":04202000FA0FFF0FA5");
}

TEST_F(HexImageTest, ReadsItsOwnTextBack) {
  WriteHexText(*image);
  ReadHexText(*image);
  EXPECT_EQ(image->Failed, 0);
  EXPECT_EQ(image->ProgrammingImage, image->WorkingImage);
}

TEST_F(HexImageTest, BufferTooSmallIsLeftEmpty) {
  image->FileBufferSize = 100;
  WriteHexText(*image);
  EXPECT_EQ(image->FileBufferLength, 0);
}

TEST(ReadHexTextTest, LowerCaseDigitsAndTextBetweenRecords) {
  ImageHolder image;
  SetText(*image, "first line\r\n:04000000120c000ad4 trailing\r\n:00000001ff\r\n");
  ReadHexText(*image);
  EXPECT_EQ(image->Failed, 0);
  EXPECT_EQ(image->ProgrammingImage[0], 0x8C12);
  EXPECT_EQ(image->ProgrammingImage[1], 0x8A00);
}

TEST(ReadHexTextTest, OnlyRunsOfEmptyWordsAreNotInUse) {
  ImageHolder image;
  // Words 0..3 set, none of them 0x0FFF; no end record, so the text's end ends the reading.
  SetText(*image, ":080000000100020003000400EE");
  ReadHexText(*image);
  EXPECT_EQ(image->Failed, 0);
  EXPECT_EQ(image->ProgrammingImage[0], 0x8001);
  EXPECT_EQ(image->ProgrammingImage[3], 0x8004);
  for (int k = 4; k < kProgramWords; ++k) ASSERT_EQ(image->ProgrammingImage[k], 0x0FFF) << k;

  // A lone 0x0FFF between used words is a written word.
  SetText(*image, ":060000000100FF0F0300E8");
  ReadHexText(*image);
  EXPECT_EQ(image->ProgrammingImage[0], 0x8001);
  EXPECT_EQ(image->ProgrammingImage[1], 0x8FFF);
  EXPECT_EQ(image->ProgrammingImage[2], 0x8003);
  EXPECT_EQ(image->ProgrammingImage[3], 0x0FFF);
}

TEST(ReadHexTextTest, ResetsTheProgrammingImageFirst) {
  ImageHolder image;
  image->Device4K = 1;
  image->ProgrammingImage[100] = UsedWord(0x123);
  image->ProgrammingImage[kFuseIndex] = 0x0001;
  SetText(*image, ":00000001FF");
  ReadHexText(*image);
  EXPECT_EQ(image->ProgrammingImage[100], 0x0FFF);
  EXPECT_EQ(image->ProgrammingImage[kFuseIndex], 0x0FFA);
  EXPECT_EQ(image->ProgrammingImage[kFusexIndex], 0x0FFF);
}

TEST(ReadHexTextTest, OtherRecordTypeEndsTheReading) {
  ImageHolder image;
  SetText(*image, ":00000001FF\r\n:020000000100FD\r\n");
  ReadHexText(*image);
  EXPECT_EQ(image->Failed, 0);
  EXPECT_EQ(image->ProgrammingImage[0], 0x0FFF);
}

TEST(ReadHexTextTest, WordsBeyondFusexAreIgnored) {
  ImageHolder image;
  SetText(*image, ":02202400341274\r\n:04202000FA0FFF0BA9\r\n");
  ReadHexText(*image);
  EXPECT_EQ(image->Failed, 0);
  EXPECT_EQ(image->ProgrammingImage[kFuseIndex], 0x0FFA);
  EXPECT_EQ(image->ProgrammingImage[kFusexIndex], 0x0BFF);
}

TEST(ReadHexTextTest, ViolationsAreRejected) {
  struct Case {
    const char* what;
    const char* text;
  };
  const Case cases[] = {
      {"odd byte count", ":0400000001000200F9\r\n:03000000010002FA\r\n"},
      {"odd address", ":020001000100FC"},
      {"bad checksum", ":04000000120C000AD5"},
      {"bad digit", ":04000000120C0G0AD4"},
      {"record cut short", ":0400000012"},
  };
  for (const Case& c : cases) {
    ImageHolder image;
    SetText(*image, c.text);
    ReadHexText(*image);
    EXPECT_EQ(image->Failed, 1) << c.what;
    EXPECT_STREQ(image->ErrorText, "ERROR! Hex violation was encountered in file.") << c.what;
  }
}

}  // namespace
}  // namespace build_debug
