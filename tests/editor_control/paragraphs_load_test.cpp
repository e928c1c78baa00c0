// Loading: break detection, NUL handling, buffer refills.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::Load;
using testing::ParaText;

std::vector<std::string> Paragraphs(const TParagraphsList& list) {
  std::vector<std::string> out;
  for (int32_t i = 0; i < list.Count(); ++i) out.push_back(ParaText(list, i));
  return out;
}

struct LoadCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> paragraphs;
  TScrivLineBreak detected;
};

class LoadBreaksTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadBreaksTest, SplitsIntoParagraphsAndReportsTheLastBreakStyle) {
  const LoadCase& c = GetParam();
  TParagraphsList list;
  const TScrivLineBreak found = Load(list, c.bytes);
  EXPECT_EQ(Paragraphs(list), c.paragraphs);
  EXPECT_EQ(found, c.detected);
  int32_t chars = 0;
  for (const auto& p : c.paragraphs) chars += static_cast<int32_t>(p.size()) + 2;
  EXPECT_EQ(list.CharCount(), chars - 2) << "2 per break, whatever the style";
  EXPECT_EQ(list.LineCount(), list.Count());
  EXPECT_EQ(list.VisibleLineCount(), list.Count());
}

using B = TScrivLineBreak;
INSTANTIATE_TEST_SUITE_P(
    Cases, LoadBreaksTest,
    ::testing::Values(LoadCase{"Empty", "", {""}, B::pbCRLF},
                      LoadCase{"NoBreak", "abc", {"abc"}, B::pbCRLF},
                      LoadCase{"CRLF", "a\r\nb", {"a", "b"}, B::pbCRLF},
                      LoadCase{"LFCR", "a\n\rb", {"a", "b"}, B::pbLFCR},
                      LoadCase{"CR", "a\rb", {"a", "b"}, B::pbCR},
                      LoadCase{"LF", "a\nb", {"a", "b"}, B::pbLF},
                      LoadCase{"CRCR", "a\r\rb", {"a", "", "b"}, B::pbCR},
                      LoadCase{"CRCRLF", "a\r\r\nb", {"a", "", "b"}, B::pbCRLF},
                      // Only the character that completes the break just ended is swallowed: the CR
                      // of a second CR LF starts a break of its own, so the blank line stays.
                      LoadCase{"TwoCRLF", "a\r\n\r\nb", {"a", "", "b"}, B::pbCRLF},
                      LoadCase{"TwoLF", "a\n\nb", {"a", "", "b"}, B::pbLF},
                      LoadCase{"LFCRLF", "a\n\r\nb", {"a", "", "b"}, B::pbLF},
                      LoadCase{"EndsInBreak", "a\r\n", {"a", ""}, B::pbCRLF},
                      LoadCase{"OnlyBreaks", "\r\n\r\n", {"", "", ""}, B::pbCRLF},
                      LoadCase{"MixedLastWins", "a\r\nb\nc", {"a", "b", "c"}, B::pbLF}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadTest, TextOfTwoCharactersABreakAndOneCharacter) {
  TParagraphsList list;
  Load(list, "ab\nc");  // LF only still counts 2 per break
  EXPECT_EQ(list.CharCount(), 5);
  EXPECT_EQ(list.GetCharAt(1), 'b');
  EXPECT_EQ(list.GetCharAt(2), 13);
  EXPECT_EQ(list.GetCharAt(3), 10);
  EXPECT_EQ(list.GetCharAt(4), 'c');
  EXPECT_EQ(list.ParagraphAt(4), 1);
  EXPECT_EQ(list.Items(1).StartOffset, 4);
}

TEST(LoadTest, AZeroByteEndsTheTextAndLeavesTheStreamAtIt) {
  TParagraphsList list;
  std::istringstream in(std::string("ab\r\ncd\0ef", 9));
  list.LoadFromStream(in, 0, 100, nullptr, false);
  EXPECT_EQ(Paragraphs(list), (std::vector<std::string>{"ab", "cd"}));
  EXPECT_EQ(in.tellg(), 6);
}

TEST(LoadTest, TheNullReplacementStandsForEveryZeroByte) {
  TParagraphsList list;
  Load(list, std::string("a\0b\0", 4), '?');
  EXPECT_EQ(Paragraphs(list), (std::vector<std::string>{"a?b?"}));
}

TEST(LoadTest, AZeroByteBehindARefillStillLeavesTheStreamAtIt) {
  std::string bytes(70000, 'a');  // more than one buffer of 65,500 bytes
  bytes += std::string("\0bc", 3);
  std::istringstream in(bytes);
  TParagraphsList list;
  list.LoadFromStream(in, 0, 100, nullptr, false);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list.CharCount(), 70000);
  EXPECT_EQ(in.tellg(), 70000);
}

TEST(LoadTest, TheNullReplacementHoldsInEveryRefilledBuffer) {
  std::string bytes(70000, 'a');
  bytes[66000] = '\0';  // in the second buffer
  bytes += "\r\nb";
  TParagraphsList list;
  Load(list, bytes, '?');
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(ParaText(list, 0).size(), 70000u);
  EXPECT_EQ(ParaText(list, 0)[66000], '?');
  EXPECT_EQ(ParaText(list, 1), "b");
  EXPECT_EQ(list.CharCount(), 70000 + 2 + 1);
}

TEST(LoadTest, ManyLFCRParagraphsOverRefillsSaveBackByteForByte) {
  std::string bytes;
  for (int i = 0; i < 30000; ++i) bytes += "line" + std::to_string(i) + "\n\r";
  bytes += "end";
  TParagraphsList list;
  EXPECT_EQ(Load(list, bytes), TScrivLineBreak::pbLFCR);
  EXPECT_EQ(list.Count(), 30001);
  EXPECT_EQ(testing::Save(list, TScrivLineBreak::pbLFCR), bytes);
}

TEST(LoadTest, DiscardTrailingDropsTheBlanksAtEveryParagraphEnd) {
  TParagraphsList list;
  Load(list, "a \t\r\n  b  \r\n \t", 0, true);
  EXPECT_EQ(Paragraphs(list), (std::vector<std::string>{"a", "  b", ""}));
  EXPECT_EQ(list.CharCount(), 1 + 2 + 3 + 2);
}

TEST(LoadTest, ALoadStartsAtTheStreamPosition) {
  TParagraphsList list;
  std::istringstream in("skip|x\ny");
  in.seekg(5);
  list.LoadFromStream(in, 0, 100, nullptr, false);
  EXPECT_EQ(Paragraphs(list), (std::vector<std::string>{"x", "y"}));
}

TEST(LoadTest, TheBookkeepingIsResetAndTheBacklogEndsAtTheLastParagraph) {
  TParagraphsList list;
  Load(list, "a\r\nb\r\nc");
  EXPECT_FALSE(list.ChangePending);
  EXPECT_EQ(list.FirstChanged, 0);
  EXPECT_EQ(list.LastChanged, 2);
  EXPECT_EQ(list.LastScanned, -1);
  EXPECT_EQ(list.FirstToFormat, 0);
  EXPECT_EQ(list.LastToFormat, 2) << "Count - 1: no paragraph past the end";
}

TEST(LoadTest, ToggleCharactersCarryTheRunningStyleAcrossBreaks) {
  TParagraphsList list;
  list.StaticFormat = true;
  Load(list,
       "a\x02"
       "b\r\nc\x01\r\nd\x02\x01\r\ne");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(para::InlineStartStyle(list.Items(0)), 0);
  EXPECT_EQ(para::InlineStartStyle(list.Items(1)), kStyleBold);
  EXPECT_EQ(para::InlineStartStyle(list.Items(2)), kStyleBold | kStyleItalic);
  EXPECT_EQ(para::InlineStartStyle(list.Items(3)), 0);
}

TEST(LoadTest, WithoutStaticFormatToggleCharactersAreText) {
  TParagraphsList list;
  Load(list, "a\x02\r\nb");
  EXPECT_EQ(para::InlineStartStyle(list.Items(1)), 0);
  EXPECT_EQ(ParaText(list, 0), "a\x02");
}

// The buffers hold 65,500 bytes a fill; these texts make the load refill.
TEST(LoadTest, AParagraphLongerThanABufferSpansRefillsUncut) {
  const std::string big(200000, 'x');
  TParagraphsList list;
  Load(list, "head\r\n" + big + "\r\ntail");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(ParaText(list, 1), big);
  EXPECT_TRUE(list.Items(1).HasExtension()) << "65,535 or more characters live in the extension";
  EXPECT_EQ(para::Length(list.Items(1)), 200000);
  EXPECT_EQ(ParaText(list, 2), "tail");
  EXPECT_EQ(list.Items(2).StartOffset, 6 + 200000 + 2);
}

TEST(LoadTest, ABreakSplitByARefillSwallowsOnlyItsOwnSecondCharacter) {
  // The CR of each break lands on the last byte of a fill; its LF opens the next fill.
  std::string text(65499, 'a');
  text += "\r\n\r\nb";
  TParagraphsList list;
  Load(list, text);
  EXPECT_EQ(Paragraphs(list), (std::vector<std::string>{std::string(65499, 'a'), "", "b"}));
}

TEST(LoadTest, ManySmallParagraphsOverManyRefillsKeepTheirTexts) {
  std::string text;
  std::vector<std::string> expected;
  for (int i = 0; i < 40000; ++i) {
    expected.push_back("line " + std::to_string(i));
    text += expected.back() + (i % 3 ? "\n" : "\r\n");
  }
  expected.push_back("");
  TParagraphsList list;
  Load(list, text);
  EXPECT_EQ(Paragraphs(list), expected);
  EXPECT_GT(list.TextBlocks.size(), 1u);
}

TEST(LoadTest, AFillWithFewCompleteParagraphsGoesIntoATightCopy) {
  // The first fill holds one short paragraph and the start of a long one: the short one
  // moves into a copy that takes the old buffer's place.
  const std::string long_para(100000, 'y');
  TParagraphsList list;
  Load(list, "short\r\n" + long_para);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(ParaText(list, 0), "short");
  EXPECT_EQ(ParaText(list, 1), long_para);
  ASSERT_EQ(list.TextBlocks.size(), 2u);
  EXPECT_EQ(list.TextBlocks[0].Size, 8);
  EXPECT_EQ(list.Items(0).Text, list.TextBlocks[0].Text.get());
}

TEST(LoadTest, ALoadReplacesWhatWasThere) {
  TParagraphsList list;
  Load(list, "a\r\nb\r\nc");
  Load(list, "z");
  EXPECT_EQ(Paragraphs(list), (std::vector<std::string>{"z"}));
  EXPECT_EQ(list.CharCount(), 1);
}

TEST(LoadTest, ProgressIsReportedToTheCallback) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "x\r\n";
  TParagraphsList list;
  int calls = 0;
  std::istringstream in(text);
  list.LoadFromStream(
      in, 0, 0, [&](TParagraphsList&) { ++calls; }, false);
  EXPECT_GT(calls, 0);
}

}  // namespace
}  // namespace scrivlet
