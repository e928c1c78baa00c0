// Whole programs through the built-in assembler: the image and the listing the code window
// shows, and the words compared with what tarn makes of the same source.

#include <gtest/gtest.h>

#include "builtin_harness.h"
#include "tarn_folder.h"

namespace build_debug {
namespace {

constexpr char kBlink[] =
    "; blink with macros\n"
    " DEVICE QV28, OSC4MHZ\n"
    " FREQ 4_000_000\n"
    " ID 'QV'\n"
    "count = 2\n"
    "pulse MACRO 1\n"
    " setb \\1\n"
    " clrb \\1\n"
    " ENDM\n"
    "start mov w,#0FEh\n"
    " mov !RB,w\n"
    " REPT count\n"
    " pulse RB.0\n"
    " ENDR\n"
    " IF count > 1\n"
    " nop\n"
    " ELSE\n"
    " sleep\n"
    " ENDIF\n"
    " BREAK\n"
    ":wait jmp :wait\n"
    " WATCH RB,8,UBIN\n"
    " RESET start\n";

class BlinkProgram : public testing::Test {
 protected:
  Assembly a{kBlink};
};

TEST_F(BlinkProgram, FillsTheImage) {
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.words(0, 8),
            (std::vector<int>{0xCFE, 0x006, 0x506, 0x406, 0x506, 0x406, 0x000, 0xA07}));
  EXPECT_EQ(a->WorkingImage[0x7FF], 0x8A00);
  EXPECT_EQ(a.used_words().size(), 9u);
  EXPECT_EQ(a->WorkingImage[kFuseIndex], 0xF1B);
  EXPECT_EQ(a->WorkingImage[kFusexIndex], 0xFFF);
  EXPECT_EQ(a->WorkingImage[kIdWordsIndex + 0], 0xFF5);
  EXPECT_EQ(a->WorkingImage[kIdWordsIndex + 1], 0xFF1);
  EXPECT_EQ(a->WorkingImage[kIdWordsIndex + 2], 0xFF5);
  EXPECT_EQ(a->WorkingImage[kIdWordsIndex + 3], 0xFF6);
  EXPECT_EQ(a->Device4K, 0);
  EXPECT_EQ(a->ClockHz, 4'000'000);
  EXPECT_EQ(a->BreakAddress, 7);
  ASSERT_EQ(a->WatchCount, 1);
  EXPECT_EQ(int{a->Watches[0].Address}, 6);
  EXPECT_EQ(a->Watches[0].Width, 8);
  EXPECT_EQ(a->Watches[0].Format, UBIN);
  EXPECT_STREQ(a->Watches[0].Name, "RB");
  EXPECT_EQ(a->ProgrammingImage, a->WorkingImage);
}

TEST_F(BlinkProgram, ListsEveryLineWithItsAddressAndWords) {
  ASSERT_TRUE(a.ok()) << a.error();
  const std::vector<std::string> expected = {
      "                ; blink with macros",
      "                 DEVICE QV28, OSC4MHZ",
      "                 FREQ 4_000_000",
      "                 ID 'QV'",
      "=00000002       count = 2",
      "                pulse MACRO 1",
      "                 setb \\1",
      "                 clrb \\1",
      "                 ENDM",
      "000- CFE        start mov w,#0FEh",
      "001- 006         mov !RB,w",
      "                 REPT count",
      "                 pulse RB.0",
      "002- 506         setb \\1",
      "003- 406         clrb \\1",
      "                 pulse RB.0",
      "004- 506         setb \\1",
      "005- 406         clrb \\1",
      "                 ENDR",
      "                 IF count > 1",
      "006- 000         nop",
      "                 ELSE",
      "                 sleep",
      "                 ENDIF",
      "                 BREAK",
      "007- A07        :wait jmp :wait",
      "                 WATCH RB,8,UBIN",
      "                 RESET start",
  };
  EXPECT_EQ(a.listing(), expected);
  // Tabs up to column 16, and CR alone ends a line.
  EXPECT_EQ(a.raw_line(0), "\t\t; blink with macros\r");
  EXPECT_EQ(a.raw_line(4), "=00000002\tcount = 2\r");
  EXPECT_EQ(a.raw_line(9), "000- CFE\tstart mov w,#0FEh\r");
}

TEST_F(BlinkProgram, MapsAddressesAndListingLinesToTheSource) {
  ASSERT_TRUE(a.ok()) << a.error();
  const std::vector<int> lines = {9, 10, 13, 14, 16, 17, 20, 25};
  for (int address = 0; address < 8; ++address)
    EXPECT_EQ(a->AddressLine[address], lines[address]) << address;
  EXPECT_EQ(a->AddressLine[8], -1);
  EXPECT_EQ(a->AddressLine[0x7FF], 27);
  std::string source = kBlink;
  EXPECT_EQ(a->LineSourceOffset[9], static_cast<int>(source.find("start mov")));
  // The body's lines map to the body in the source, in every expansion.
  EXPECT_EQ(a->LineSourceOffset[13], static_cast<int>(source.find(" setb")));
  EXPECT_EQ(a->LineSourceOffset[16], static_cast<int>(source.find(" setb")));
}

TEST(BuiltinListingTest, NoexpandHidesExpansionLinesThatEmitNothing) {
  Assembly a(" DEVICE QV18\n NOEXPAND\ntwo MACRO\nx = 1\n DW 1, 2, 3\n ENDM\n two\n");
  ASSERT_TRUE(a.ok()) << a.error();
  const std::vector<std::string> expected = {
      "                 DEVICE QV18",
      "                 NOEXPAND",
      "                two MACRO",
      "                x = 1",
      "                 DW 1, 2, 3",
      "                 ENDM",
      "                 two",
      "000- 001 002",
      "002- 003",
  };
  EXPECT_EQ(a.listing(), expected);
}

TEST(BuiltinListingTest, WordsBeyondTheSecondFollowTwoALine) {
  Assembly a(" DEVICE QV18\n ORG 10h\n DW 1, 2, 3, 4, 5\n movb RA.1,RB.5\n");
  ASSERT_TRUE(a.ok()) << a.error();
  const std::vector<std::string> expected = {
      "                 DEVICE QV18",
      "010-             ORG 10h",
      "010- 001 002     DW 1, 2, 3, 4, 5",
      "012- 003 004",
      "014- 005",
      "015- 7A6 425     movb RA.1,RB.5",
      "017- 6A6 525",
  };
  EXPECT_EQ(a.listing(), expected);
  EXPECT_EQ(a->LineCount, 7);
  EXPECT_EQ(a->AddressLine[0x12], 2);
  EXPECT_EQ(a->AddressLine[0x18], 5);
}

TEST(BuiltinListingTest, ALastLineWithoutBreakGetsItsCr) {
  Assembly a(" DEVICE QV18\n nop");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.raw_line(1), "000- 000\t nop\r");
}

// Written in the syntax both assemblers share.
constexpr char kShared[] =
    "        DEVICE  QV28\n"
    "LED     EQU     RA.2\n"
    "COUNT1  EQU     8\n"
    "COUNT2  EQU     9\n"
    "        ID      'QV'\n"
    "        ORG     0\n"
    "delay   MOV     COUNT1,#200\n"
    "outer   MOV     COUNT2,#250\n"
    "inner   DJNZ    COUNT2,inner\n"
    "        DJNZ    COUNT1,outer\n"
    "        RET\n"
    "start   MOV     !RA,#%11111011\n"
    "loop    SETB    LED\n"
    "        CALL    delay\n"
    "        CLRB    LED\n"
    "        CALL    delay\n"
    "        MOV     W,COUNT1-W\n"
    "        MOV     W,<>COUNT2\n"
    "        MOVSZ   W,++COUNT1\n"
    "        CSE     COUNT1,#3\n"
    "        CJNE    COUNT1,COUNT2,loop\n"
    "        CJA     COUNT1,#7,loop\n"
    "        ADD     COUNT1,COUNT2\n"
    "        MOVB    LED,/Z\n"
    "        JNB     LED,loop\n"
    "        MOV     M,#5\n"
    "        RETW    1,2,3\n"
    "        JMP     @loop\n"
    "        DW      123h\n"
    "        RESET   start\n"
    "        END\n";

TEST(BuiltinAgainstTarnTest, TheSharedSyntaxGivesTheSameWords) {
  Assembly builtin(kShared);
  ASSERT_TRUE(builtin.ok()) << builtin.error() << " at " << builtin.token();
  TarnFolder folder;
  std::vector<int> tarn = folder.Assemble(kShared);
  ASSERT_EQ(tarn.size(), 2048u + 16 + 8);
  for (int address = 0; address < 2048; ++address)
    EXPECT_EQ(builtin.words(address, 1)[0], tarn[static_cast<std::size_t>(address)]) << address;
  for (int n = 0; n < kIdWordCount; ++n)
    EXPECT_EQ(builtin->WorkingImage[kIdWordsIndex + n], tarn[static_cast<std::size_t>(2048 + n)])
        << n;
}

}  // namespace
}  // namespace build_debug
