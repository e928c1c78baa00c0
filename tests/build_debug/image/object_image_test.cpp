#include "build_debug/image/object_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image_fixture.h"

namespace build_debug {
namespace {

TEST(ObjectImageTest, FreshRecordHoldsTheDefaults) {
  ImageHolder image;
  EXPECT_EQ(image->Failed, 0);
  EXPECT_EQ(image->Device4K, 0);
  EXPECT_EQ(image->BreakAddress, 4096);
  EXPECT_EQ(image->ClockHz, 50'000'000);
  EXPECT_EQ(image->WatchCount, 0);
  EXPECT_EQ(image->LineCount, 0);
  EXPECT_EQ(image->AddressLine[0], -1);
  EXPECT_EQ(image->AddressLine[4095], -1);
  for (const WordArray* words : {&image->WorkingImage, &image->ProgrammingImage}) {
    EXPECT_EQ((*words)[0], 0x0FFF);
    EXPECT_EQ((*words)[4095], 0x0FFF);
    EXPECT_EQ((*words)[4096], 0x0FFF);  // ID words
    EXPECT_EQ((*words)[4111], 0x0FFF);
    EXPECT_EQ((*words)[4112], 0x0FFA);  // FUSE
    EXPECT_EQ((*words)[4113], 0x0BFF);  // FUSEX of a 2,048-word device
  }
}

TEST(ObjectImageTest, ResetSetsFusexByDeviceSize) {
  WordArray words{};
  ResetWordArray(words, true);
  EXPECT_EQ(words[4112], 0x0FFA);
  EXPECT_EQ(words[4113], 0x0FFF);
  ResetWordArray(words, false);
  EXPECT_EQ(words[4113], 0x0BFF);
  EXPECT_EQ(words[100], 0x0FFF);
}

TEST(ObjectImageTest, GetObjectImageResetsOnlyTheWorkingImage) {
  ProgramObjectImage program;
  ObjectImage* image = program.GetObjectImage();
  image->Device4K = 1;
  image->WorkingImage[10] = UsedWord(0x123);
  image->WorkingImage[4113] = 0x0123;
  image->ProgrammingImage[10] = UsedWord(0x456);
  image->ClockHz = 4'000'000;

  EXPECT_EQ(program.GetObjectImage(), image);  // the one record, never moved
  EXPECT_EQ(image->WorkingImage[10], 0x0FFF);
  EXPECT_EQ(image->WorkingImage[4113], 0x0FFF);  // after a 4,096-word build
  EXPECT_EQ(image->ProgrammingImage[10], UsedWord(0x456));
  EXPECT_EQ(image->ClockHz, 4'000'000);

  image->Device4K = 0;
  program.GetObjectImage();
  EXPECT_EQ(image->WorkingImage[4113], 0x0BFF);  // after a 2,048-word build
}

TEST(ObjectImageTest, ProgramFileBufferHoldsTwoMillionBytes) {
  ProgramObjectImage program;
  char* buffer = program.Image().FileBuffer;
  ASSERT_NE(buffer, nullptr);
  EXPECT_EQ(program.GetObjectImage()->FileBuffer, buffer);
  EXPECT_EQ(program.Image().FileBufferSize, kFileBufferSize);
  buffer[0] = 'x';
  buffer[kFileBufferSize - 1] = 'y';  // the last byte is ours (ASan checks)
  EXPECT_EQ(kFileBufferSize, 2'000'000);
}

TEST(ObjectImageTest, TwoProgramImagesAreApart) {
  ProgramObjectImage one, two;
  one.Image().WorkingImage[5] = UsedWord(0x005);
  one.Image().ClockHz = 4'000'000;
  EXPECT_EQ(two.Image().WorkingImage[5], kEmptyWord);
  EXPECT_EQ(two.Image().ClockHz, kDefaultClockHz);
  EXPECT_NE(one.Image().FileBuffer, two.Image().FileBuffer);
}

TEST(ObjectImageTest, WrittenEmptyWordDiffersFromAnEmptyOne) {
  std::uint16_t written = UsedWord(0x0FFF);
  EXPECT_EQ(written, 0x8FFF);
  EXPECT_TRUE(IsInUse(written));
  EXPECT_FALSE(IsInUse(kEmptyWord));
  EXPECT_NE(written, kEmptyWord);
  EXPECT_EQ(UsedWord(0xF123), 0x8123);  // bits 12-14 never set
}

TEST(ObjectImageTest, CopiesMoveAllWordsBetweenTheArrays) {
  ImageHolder image;
  image->WorkingImage[0] = UsedWord(0xC12);
  image->WorkingImage[4100] = 0x0041;
  image->WorkingImage[4113] = 0x0123;
  CopyWorkingToProgramming(*image);
  EXPECT_EQ(image->ProgrammingImage, image->WorkingImage);

  image->ProgrammingImage[7] = UsedWord(0x777);
  CopyProgrammingToWorking(*image);
  EXPECT_EQ(image->WorkingImage[7], 0x8777);
}

TEST(ObjectImageTest, WatchNameKeepsAtMost32Characters) {
  WatchEntry entry;
  std::string forty(40, 'x');
  forty.replace(32, 8, "ABCDEFGH");
  SetWatchName(entry, forty);
  EXPECT_EQ(std::string(entry.Name), std::string(32, 'x'));
  EXPECT_EQ(entry.Name[32], '\0');

  SetWatchName(entry, "count");
  EXPECT_EQ(std::string(entry.Name), "count");
  EXPECT_EQ(sizeof(WatchEntry), 37u);
}

}  // namespace
}  // namespace build_debug
