#include "build_debug/image/debug_image.h"

#include <gtest/gtest.h>

#include <map>

#include "build_debug/image/debug_monitor.h"
#include "image_fixture.h"

namespace build_debug {
namespace {

class DebugImageTest : public ::testing::Test {
 protected:
  // A program that can be debugged: MOV W,#12 at 0 and the reset jump JMP 5 in the last word.
  void Prepare(bool device4k, std::int32_t clock_hz) {
    image->Device4K = device4k ? 1 : 0;
    ResetWordArray(image->WorkingImage, device4k);
    image->WorkingImage[0] = UsedWord(0xC12);
    image->WorkingImage[Size() - 1] = UsedWord(0xA05);
    image->ClockHz = clock_hz;
  }
  int Size() const { return image->Device4K ? 4096 : 2048; }
  int MonitorStart() const { return Size() - 137; }
  std::uint16_t Monitor(int i) const { return image->ProgrammingImage[MonitorStart() + i]; }

  // The monitor as placed: the table with the given words replaced.
  void ExpectMonitor(const std::map<int, std::uint16_t>& changed) const {
    for (int i = 0; i < kMonitorWords; ++i) {
      auto it = changed.find(i);
      std::uint16_t expected = it != changed.end() ? it->second : DebugMonitor[i];
      ASSERT_EQ(Monitor(i), expected) << "monitor word " << i;
    }
  }

  void ExpectFailure(const char* text) const {
    EXPECT_EQ(image->Failed, 1);
    EXPECT_STREQ(image->ErrorText, text);
  }

  ImageHolder image;
};

// Blocks as the table gives them, with their first words' offsets in the monitor.
std::map<int, std::uint16_t> HighSpeed(std::uint16_t word33, std::uint16_t word35) {
  const std::uint16_t block[12] = {0xCFF, 0x02E, 0xCFF, 0x02F, 0x304, 0x045,
                                   0x2AE, 0x643, 0x3EF, 0xB9E, 0x3E4, 0xB98};
  std::map<int, std::uint16_t> words;
  for (int i = 0; i < 12; ++i) words[33 + i] = block[i];
  words[33] = word33;
  words[35] = word35;
  return words;
}

void AddTurbo(std::map<int, std::uint16_t>& words) {
  const std::uint16_t block[19] = {0xC0B, 0x02D, 0x2ED, 0xBCA, 0x56D, 0x30E, 0x045,
                                   0x32E, 0xBD1, 0xBD2, 0xBD3, 0xBD4, 0xBD5, 0xBD6,
                                   0xBD7, 0xBD8, 0xBD9, 0x2ED, 0xBCD};
  for (int i = 0; i < 19; ++i) words[81 + i] = block[i];
}

TEST_F(DebugImageTest, PlacesTheMonitorOnA2KDevice) {
  Prepare(false, 50'000'000);
  BuildDebugImage(*image);
  ASSERT_EQ(image->Failed, 0);
  const WordArray& p = image->ProgrammingImage;

  EXPECT_EQ(p[kFuseIndex], 0x0FB8);  // (0x0FFA and 0x0F1C) or 0x00A0
  // Highest free pair of the first page, and the jumps through it into the monitor.
  EXPECT_EQ(p[0x1FE], 0x0017);
  EXPECT_EQ(p[0x1FF], 0x0B83);
  EXPECT_EQ(p[2047], 0x0BFE);
  EXPECT_EQ(p[0], 0x8C12);  // the program itself stays
  // First and last words of the table as placed, at 0x777 and 0x7FE.
  EXPECT_EQ(p[0x777], 0x003);
  EXPECT_EQ(p[0x7FE], 0xB7D);

  // 50 MHz on a non-turbo device: high-speed block, q = (1250 - 13) / 5 = 247, not q = ...FF08.
  std::map<int, std::uint16_t> changed = HighSpeed(0xC08, 0xCFF);
  changed[134] = 0xA05;  // the program's reset jump, without the in-use mark
  ExpectMonitor(changed);
  EXPECT_EQ(Monitor(75), 0x584);
}

TEST_F(DebugImageTest, SlowClockOnA2KDevicePatchesTheDelayLoop) {
  Prepare(false, 20'000'000);
  BuildDebugImage(*image);
  ASSERT_EQ(image->Failed, 0);
  // d = 500 - 9 = 491, q = 163, r = 2: word 38 gets q + 1, word 43 its low byte minus r.
  ExpectMonitor({{38, 0xCA4}, {43, 0xB99}, {134, 0xA05}});
}

TEST_F(DebugImageTest, ClockBoundariesOfA2KDevice) {
  Prepare(false, 30'000'000);
  BuildDebugImage(*image);
  ASSERT_EQ(image->Failed, 0);
  // q = (750 - 13) / 5 = 147 = 0x93, not q low byte 0x6C.
  EXPECT_EQ(Monitor(33), 0xC6C);
  EXPECT_EQ(Monitor(35), 0xCFF);

  Prepare(false, 29'999'999);
  BuildDebugImage(*image);
  ASSERT_EQ(image->Failed, 0);
  // d = 749 - 9 = 740, q = 246, r = 2.
  EXPECT_EQ(Monitor(33), 0x000);
  EXPECT_EQ(Monitor(38), 0xCF7);
  EXPECT_EQ(Monitor(43), 0xB99);
}

TEST_F(DebugImageTest, TurboBlockWhenFuseBit11IsClear) {
  Prepare(false, 10'000'000);
  image->WorkingImage[kFuseIndex] = 0x07FA;
  BuildDebugImage(*image);
  ASSERT_EQ(image->Failed, 0);
  EXPECT_EQ(image->ProgrammingImage[kFuseIndex], 0x07B8);
  // q = (1000 - 14) / 6 = 164 = 0xA4; not q = ...FF5B.
  std::map<int, std::uint16_t> changed = HighSpeed(0xC5B, 0xCFF);
  AddTurbo(changed);
  changed[134] = 0xA05;
  ExpectMonitor(changed);
}

TEST_F(DebugImageTest, PlacesTheMonitorOnA4KDevice) {
  Prepare(true, 50'000'000);
  BuildDebugImage(*image);
  ASSERT_EQ(image->Failed, 0);
  const WordArray& p = image->ProgrammingImage;
  EXPECT_EQ(p[kFuseIndex], 0x0FA8);  // (0x0FFA and 0x0F0C) or 0x00A0
  EXPECT_EQ(p[4095], 0x0BFE);
  EXPECT_EQ(p[0xF77], 0x003);
  EXPECT_EQ(p[0xFFE], 0xB7D);
  EXPECT_EQ(p[4096 - 62], 0x000);  // monitor word 75

  // Always turbo: q = (5000 - 14) / 6 = 831 = 0x33F, not q = ...FCC0.
  std::map<int, std::uint16_t> changed = HighSpeed(0xCC0, 0xCFC);
  AddTurbo(changed);
  changed[75] = 0x000;
  changed[134] = 0xA05;
  ExpectMonitor(changed);
}

TEST_F(DebugImageTest, SlowClockOnA4KDevice) {
  Prepare(true, 4'000'000);
  BuildDebugImage(*image);
  ASSERT_EQ(image->Failed, 0);
  // d = 400 - 10 = 390, q = 97, r = 2.
  std::map<int, std::uint16_t> changed{{38, 0xC62}, {43, 0xB99}, {75, 0x000}, {134, 0xA05}};
  AddTurbo(changed);
  ExpectMonitor(changed);
}

TEST_F(DebugImageTest, FreePairIsTheHighestBelow0x200) {
  Prepare(false, 50'000'000);
  image->WorkingImage[0x1FF] = UsedWord(0x000);
  image->WorkingImage[0x1FD] = UsedWord(0x000);
  BuildDebugImage(*image);
  ASSERT_EQ(image->Failed, 0);
  EXPECT_EQ(image->ProgrammingImage[0x1FB], 0x0017);
  EXPECT_EQ(image->ProgrammingImage[0x1FC], 0x0B83);
  EXPECT_EQ(image->ProgrammingImage[2047], 0x0BFB);

  // The lowest pair there is, words 0 and 1.
  Prepare(false, 50'000'000);
  for (int k = 0; k < 0x200; ++k) image->WorkingImage[k] = UsedWord(0x000);
  image->WorkingImage[0] = kEmptyWord;
  image->WorkingImage[1] = kEmptyWord;
  BuildDebugImage(*image);
  ASSERT_EQ(image->Failed, 0);
  EXPECT_EQ(image->ProgrammingImage[2047], 0x0A00);
}

TEST_F(DebugImageTest, WatchdogIsCheckedFirst) {
  Prepare(false, 50'000'000);
  image->WorkingImage[kFuseIndex] = 0x0FFE;
  image->WorkingImage[2047] = kEmptyWord;                                    // no reset jump either
  for (int k = 0; k < 0x200; ++k) image->WorkingImage[k] = UsedWord(0x000);  // nor a free pair
  BuildDebugImage(*image);
  ExpectFailure("ERROR! Debug requires that Watchdog is disabled");
}

TEST_F(DebugImageTest, FreePairIsCheckedSecond) {
  Prepare(false, 50'000'000);
  image->WorkingImage[2047] = kEmptyWord;
  // Written 0x0FFF words are in use: they are no free pair.
  for (int k = 0; k < 0x200; ++k) image->WorkingImage[k] = UsedWord(k % 2 ? 0x0FFF : kEmptyWord);
  BuildDebugImage(*image);
  ExpectFailure("ERROR! Debug requires 2 free words on the first page");

  Prepare(false, 50'000'000);
  for (int k = 0; k < 0x200; k += 2) image->WorkingImage[k] = UsedWord(0x000);
  BuildDebugImage(*image);
  ExpectFailure("ERROR! Debug requires 2 free words on the first page");
}

TEST_F(DebugImageTest, ResetJumpIsCheckedThird) {
  for (std::uint16_t last : {kEmptyWord, UsedWord(0x905), UsedWord(0xC05)}) {
    Prepare(false, 50'000'000);
    image->WorkingImage[2047] = last;
    image->WorkingImage[2046] = UsedWord(0x000);  // no room for the monitor either
    BuildDebugImage(*image);
    ExpectFailure("ERROR! Debug requires RESET jump at the end of memory");
  }
}

TEST_F(DebugImageTest, MonitorRoomIsCheckedLast) {
  for (int used : {2048 - 137, 2048 - 2, 2048 - 70}) {
    Prepare(false, 50'000'000);
    image->WorkingImage[used] = UsedWord(0x000);
    BuildDebugImage(*image);
    ExpectFailure("ERROR! Debug requires 136 free words at the end of the last page");
  }
  // The word just before the monitor's room may hold code.
  Prepare(false, 50'000'000);
  image->WorkingImage[2048 - 138] = UsedWord(0x000);
  BuildDebugImage(*image);
  EXPECT_EQ(image->Failed, 0);
}

}  // namespace
}  // namespace build_debug
