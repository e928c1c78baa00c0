// The built-in assembler's directives, conditionals, REPT blocks, macros and names.

#include <gtest/gtest.h>

#include <cstring>

#include "builtin_harness.h"

namespace build_debug {
namespace {

TEST(BuiltinSourceTest, AnEmptySourceHasNothingToAssembleButCommentsAssemble) {
  Assembly empty("");
  EXPECT_EQ(empty.error(), "Nothing to assemble");
  EXPECT_EQ(empty->ErrorStart, 0);
  EXPECT_EQ(empty->ErrorEnd, 0);

  Assembly comments("; only a comment\n\n  ; and another");
  ASSERT_TRUE(comments.ok()) << comments.error();
  EXPECT_EQ(comments->LineCount, 3);
  EXPECT_EQ(comments.used_words(), std::vector<int>{});
}

TEST(BuiltinSourceTest, ASuccessfulRunClearsTheErrorRangeAndCopiesTheImage) {
  Assembly a(" DEVICE QV18\n mov w,#1\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a->ErrorStart, 0);
  EXPECT_EQ(a->ErrorEnd, 0);
  EXPECT_EQ(a->WorkingImage[0], 0x8C01);
  EXPECT_EQ(a->WorkingImage[1], 0x0FFF);
  EXPECT_EQ(a->ProgrammingImage, a->WorkingImage);
}

struct FuseCase {
  const char* device_lines;
  int fuse;
  int fusex;
  int device4k;
};

class DeviceLines : public testing::TestWithParam<FuseCase> {};

TEST_P(DeviceLines, SetTheFuseWords) {
  Assembly a(GetParam().device_lines);
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a->WorkingImage[kFuseIndex], GetParam().fuse) << GetParam().device_lines;
  EXPECT_EQ(a->WorkingImage[kFusexIndex], GetParam().fusex) << GetParam().device_lines;
  EXPECT_EQ(a->Device4K, GetParam().device4k);
}

INSTANTIATE_TEST_SUITE_P(
    Directives, DeviceLines,
    testing::Values(FuseCase{" DEVICE QV18\n", 0xFFA, 0xBFF, 0},
                    FuseCase{" DEVICE QV18L\n", 0xFFA, 0xBFF, 0},
                    FuseCase{" DEVICE QV28\n", 0xFFA, 0xFFF, 0},
                    FuseCase{" DEVICE QV48\n", 0xFFA, 0xFFF, 1},
                    FuseCase{" DEVICE QV52\n", 0xFFA, 0xFFF, 1},
                    FuseCase{" DEVICE QV18, OSC4MHZ\n", 0xF1B, 0xBFF, 0},
                    FuseCase{" DEVICE QV18, OSCXT2, WATCHDOG\n", 0xFDF, 0xBFF, 0},
                    FuseCase{" DEVICE QV18\n DEVICE TURBO, SYNC, PROTECT\n", 0x3F2, 0xBFF, 0},
                    FuseCase{" DEVICE QV18, BOR26, CARRYX, STACKX_OPTIONX\n", 0xFFA, 0xB1F, 0},
                    FuseCase{" DEVICE QV48, OSCXT2, DRIVEOFF\n", 0xFCB, 0xFFF, 1},
                    FuseCase{" DEVICE QV48, BOR26, DRT60US, SLEEPCLOCK\n", 0xFFA, 0xBEE, 1}));

TEST(BuiltinDirectivesTest, IdFillsTwoWordsPerCharacter) {
  Assembly a(" DEVICE QV18\n ID 'AB'\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a->WorkingImage[kIdWordsIndex + 0], 0x0FF4);
  EXPECT_EQ(a->WorkingImage[kIdWordsIndex + 1], 0x0FF1);
  EXPECT_EQ(a->WorkingImage[kIdWordsIndex + 2], 0x0FF4);
  EXPECT_EQ(a->WorkingImage[kIdWordsIndex + 3], 0x0FF2);
  for (int n = 4; n < kIdWordCount; ++n) EXPECT_EQ(a->WorkingImage[kIdWordsIndex + n], 0x0FFF);
}

TEST(BuiltinDirectivesTest, ResetJumpsFromTheLastWordAndKeepsTheLocation) {
  Assembly small(" DEVICE QV18\n RESET 1FFh\n nop\n");
  ASSERT_TRUE(small.ok()) << small.error();
  EXPECT_EQ(small->WorkingImage[0x7FF], 0x8BFF);
  EXPECT_EQ(small->WorkingImage[0], 0x8000);

  Assembly large(" DEVICE QV52\n RESET 10h\n");
  ASSERT_TRUE(large.ok()) << large.error();
  EXPECT_EQ(large->WorkingImage[0xFFF], 0x8A10);
}

TEST(BuiltinDirectivesTest, OrgDsAndTheLocationWrapWithTheProgramSize) {
  Assembly a(" DEVICE QV18\n ORG 7FEh\n DS 1\n nop\n nop\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a->WorkingImage[0x7FF], 0x8000);
  EXPECT_EQ(a->WorkingImage[0x000], 0x8000);

  const char* body = "\n ORG 800h\n DW 5\n ORG 0\n DW 6\n";
  Assembly small(std::string(" DEVICE QV18") + body);
  EXPECT_EQ(small.error(), "Location already contains data");
  Assembly large(std::string(" DEVICE QV48") + body);
  ASSERT_TRUE(large.ok()) << large.error();
  EXPECT_EQ(large.words(0, 1), std::vector<int>{6});
  EXPECT_EQ(large.words(0x800, 1), std::vector<int>{5});
}

TEST(BuiltinDirectivesTest, BreakWatchAndFreqFillTheImage) {
  Assembly a(
      " DEVICE QV18\n FREQ 400_000\n nop\n BREAK\n"
      " WATCH RB.3,1,SBIN\n WATCH 0FFFh,32,ZSTR\n"
      " WATCH abcdefghijabcdefghijabcdefghij + 1,8,UHEX\n"
      "abcdefghijabcdefghijabcdefghij = 7\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a->ClockHz, 400'000);
  EXPECT_EQ(a->BreakAddress, 1);
  ASSERT_EQ(a->WatchCount, 3);
  EXPECT_EQ(int{a->Watches[0].Address}, 0x306);
  EXPECT_EQ(a->Watches[0].Width, 1);
  EXPECT_EQ(a->Watches[0].Format, SBIN);
  EXPECT_STREQ(a->Watches[0].Name, "RB.3");
  EXPECT_EQ(int{a->Watches[1].Address}, 0x7FF);
  EXPECT_EQ(a->Watches[1].Format, ZSTR);
  // The name is the expression's text as written, cut to 32 characters.
  EXPECT_STREQ(a->Watches[2].Name, "abcdefghijabcdefghijabcdefghij +");
  EXPECT_EQ(int{a->Watches[2].Address}, 8);
}

TEST(BuiltinDirectivesTest, WithoutBreakOrFreqTheDefaultsStand) {
  Assembly a(" DEVICE QV18\n nop\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a->BreakAddress, AddressNone);
  EXPECT_EQ(a->ClockHz, kDefaultClockHz);
  EXPECT_EQ(a->WatchCount, 0);
}

struct ConditionalCase {
  const char* block;
  std::vector<int> words;
};

class Conditionals : public testing::TestWithParam<ConditionalCase> {};

TEST_P(Conditionals, AssembleOnlyTheTrueBranch) {
  Assembly a(std::string(" DEVICE QV18\nknown nop\n") + GetParam().block);
  ASSERT_TRUE(a.ok()) << a.error();
  std::vector<int> words = GetParam().words;
  words.insert(words.begin(), 0x000);
  EXPECT_EQ(a.used_words(), words) << GetParam().block;
}

INSTANTIATE_TEST_SUITE_P(
    Directives, Conditionals,
    testing::Values(
        ConditionalCase{" IF 1\n DW 1\n ELSE\n DW 2\n ENDIF\n", {1}},
        ConditionalCase{" IF 0\n DW 1\n ELSE\n DW 2\n ENDIF\n", {2}},
        ConditionalCase{" IFDEF known\n DW 1\n ENDIF\n", {1}},
        ConditionalCase{" IFDEF unknown\n DW 1\n ELSE\n DW 2\n ENDIF\n", {2}},
        ConditionalCase{" IFNDEF unknown\n DW 1\n ENDIF\n", {1}},
        // A false block only follows the nesting: its IF is not evaluated.
        ConditionalCase{" IF 0\n IF nowhere\n DW 1\n ELSE\n DW 2\n ENDIF\n ELSE\n DW 3\n ENDIF\n",
                        {3}},
        ConditionalCase{" IF 1\n IF 0\n DW 1\n ELSE\n DW 2\n ENDIF\n DW 3\n ENDIF\n", {2, 3}},
        // END inside an open IF ends the pass without complaint.
        ConditionalCase{" IF 1\n DW 4\n END\n", {4}}));

TEST(BuiltinDirectivesTest, ReptRepeatsWithTheIterationNumber) {
  Assembly a(" DEVICE QV18\n REPT 3\n DW %\n REPT 2\n DW % * 16\n ENDR\n ENDR\n DW %\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.used_words(), (std::vector<int>{1, 0x10, 0x20, 2, 0x10, 0x20, 3, 0x10, 0x20, 0}));
}

TEST(BuiltinDirectivesTest, MacroArgumentsAndTheirCount) {
  Assembly a(
      " DEVICE QV18\n"
      "pair MACRO 2\n DW \\1, \\2\n ENDM\n"
      "any MACRO\n DW \\0\n IF \\0 > 0\n DW \\1\n ENDIF\n ENDM\n"
      " pair 1, 2\n any\n any 7, 8, 9\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.used_words(), (std::vector<int>{1, 2, 0, 3, 7}));
}

TEST(BuiltinDirectivesTest, AFixedArgumentCountWantsThemAll) {
  Assembly few(" DEVICE QV18\npair MACRO 2\n ENDM\n pair 1\n");
  EXPECT_EQ(few.error(), "Expected \",\"");
  Assembly many(" DEVICE QV18\npair MACRO 2\n ENDM\n pair 1, 2, 3\n");
  EXPECT_EQ(many.error(), "Expected end-of-line");
  EXPECT_EQ(many.token(), ",");
}

TEST(BuiltinDirectivesTest, LocalLabelsBelongToTheLastLabelOrTheMacroCall) {
  Assembly a(
      " DEVICE QV18\n"
      "wait MACRO\n:again decsz 8\n jmp :again\n ENDM\n"
      "first nop\n:loop jmp :loop\n"
      "second nop\n:loop jmp :loop\n"
      " wait\n wait\n jmp :loop\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.used_words(),
            (std::vector<int>{0x000, 0xA01, 0x000, 0xA03, 0x2E8, 0xA04, 0x2E8, 0xA06, 0xA03}));
}

TEST(BuiltinDirectivesTest, ColonIsANameCharacter) {
  Assembly a(" DEVICE QV18\nSTART: nop\n jmp START\n");
  EXPECT_EQ(a.error(), "Undefined symbol");
  EXPECT_EQ(a.token(), "START");
}

// EXITM leaves the body from inside its IF; the block ends with the call.
TEST(BuiltinDirectivesTest, ExitmFromInsideAnIfReturnsCleanly) {
  Assembly a(
      " DEVICE QV18\n"
      "upto MACRO 1\n DW 1\n IF \\1 < 2\n EXITM\n ENDIF\n DW 2\n ENDM\n"
      " upto 1\n upto 5\n DW 3\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.used_words(), (std::vector<int>{1, 1, 2, 3}));
}

TEST(BuiltinDirectivesTest, CaseKeepsNamesAsWritten) {
  Assembly exact(" DEVICE QV18\n CASE\nabc DW 1\nABC DW 2\n DW abc\n");
  ASSERT_TRUE(exact.ok()) << exact.error();
  EXPECT_EQ(exact.used_words(), (std::vector<int>{1, 2, 0}));

  // Built-in names are stored in upper case, so they must be written so.
  Assembly lower(" DEVICE QV18\n CASE\n mov w,#1\n");
  EXPECT_EQ(lower.error(), "Expected a label, directive, or instruction");
  EXPECT_EQ(lower.token(), "w");

  Assembly back(" DEVICE QV18\n CASE\n NOCASE\n mov w,#1\n");
  EXPECT_TRUE(back.ok()) << back.error();
}

TEST(BuiltinDirectivesTest, AVariableTakesEachNewValue) {
  Assembly a(" DEVICE QV18\nx = 1\n DW x\nx = x + 1\n DW x\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.used_words(), (std::vector<int>{1, 2}));
}

TEST(BuiltinDirectivesTest, ErrorPassesItsTextThroughTheImage) {
  Assembly a(" DEVICE QV18\n ERROR 'Table is ', 'full', '!'\n");
  EXPECT_EQ(a->Failed, 1);
  EXPECT_STREQ(a->ErrorText, "Table is full!");
}

TEST(BuiltinDirectivesTest, ARunCanBeRepeatedOnTheSameObjects) {
  ImageHolder image;
  BuiltinAssembler assembler(*image);
  std::string bad = " DEVICE QV18\n jmp nowhere\r";
  std::string good = " DEVICE QV48\r mov w,#1\r";
  for (char& c : bad)
    if (c == '\n') c = '\r';
  image->SourceText = bad.c_str();
  assembler.BuiltinAssemble();
  EXPECT_EQ(image->Failed, 1);
  image->SourceText = good.c_str();
  assembler.BuiltinAssemble();
  EXPECT_EQ(image->Failed, 0);
  EXPECT_EQ(image->WorkingImage[0], 0x8C01);
  EXPECT_EQ(image->WorkingImage[kFusexIndex], 0x0FFF);
}

}  // namespace
}  // namespace build_debug
