#include <gtest/gtest.h>

#include "test_support.h"

namespace scrivlet {
namespace {

using testing::Load;
using testing::Save;
using B = TScrivLineBreak;

struct SaveCase {
  B style;
  const char* bytes;
};

class SaveBreaksTest : public ::testing::TestWithParam<SaveCase> {};

TEST_P(SaveBreaksTest, WritesTheChosenBreakBetweenParagraphsAndNothingAfterTheLast) {
  TParagraphsList list;
  Load(list, "a\nb\r\n\r\nc");
  EXPECT_EQ(Save(list, GetParam().style), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Styles, SaveBreaksTest,
                         ::testing::Values(SaveCase{B::pbCRLF, "a\r\nb\r\n\r\nc"},
                                           SaveCase{B::pbLFCR, "a\n\rb\n\r\n\rc"},
                                           SaveCase{B::pbCR, "a\rb\r\rc"},
                                           SaveCase{B::pbLF, "a\nb\n\nc"}));

TEST(SaveTest, ATextEndingInABreakEndsInOneAfterTheSave) {
  TParagraphsList list;
  Load(list, "x\r\n");
  EXPECT_EQ(Save(list, B::pbLF), "x\n");
}

TEST(SaveTest, DiscardTrailingLeavesTheBlanksUnwritten) {
  TParagraphsList list;
  Load(list, "a  \r\n\tb\t");
  EXPECT_EQ(Save(list, B::pbCRLF, false, true), "a\r\n\tb");
  EXPECT_EQ(testing::ParaText(list, 0), "a  ") << "the table keeps them";
}

TEST(SaveTest, EmptyRunsAreStrippedOnlyWithStaticFormat) {
  TParagraphsList list;
  Load(list,
       "a\x02\x02"
       "b\x02\x01\x02"
       "c\x01");
  EXPECT_EQ(Save(list, B::pbCRLF, true),
            "a\x02\x02"
            "b\x02\x01\x02"
            "c\x01");
  list.StaticFormat = true;
  EXPECT_EQ(Save(list, B::pbCRLF, true),
            "ab\x01"
            "c\x01")
      << "2 2 and 2 (1) 2 enclose nothing; 1 c 1 encloses c";
  EXPECT_EQ(Save(list, B::pbCRLF, false),
            "a\x02\x02"
            "b\x02\x01\x02"
            "c\x01");
  EXPECT_EQ(testing::ParaText(list, 0),
            "a\x02\x02"
            "b\x02\x01\x02"
            "c\x01")
      << "only the copy changes";
}

}  // namespace
}  // namespace scrivlet
