#include "services/text_routines.h"

#include <gtest/gtest.h>

#include <vector>

namespace workbench {
namespace {

TEST(TextRoutinesTest, IntToStrPad2) {
  EXPECT_EQ(IntToStrPad2(0), "00");
  EXPECT_EQ(IntToStrPad2(7), "07");
  EXPECT_EQ(IntToStrPad2(9), "09");
  EXPECT_EQ(IntToStrPad2(12), "12");
  EXPECT_EQ(IntToStrPad2(19), "19");
  EXPECT_EQ(IntToStrPad2(123), "123");
}

TEST(TextRoutinesTest, ThousandsSep) {
  const struct {
    long long n;
    const char* text;
  } cases[] = {
      {0, "0"},
      {999, "999"},
      {1000, "1,000"},
      {1234567, "1,234,567"},
      {4000000, "4,000,000"},
      {50000000, "50,000,000"},
  };
  for (const auto& c : cases) EXPECT_EQ(ThousandsSep(c.n), c.text) << c.n;
}

TEST(TextRoutinesTest, VersionToStr) {
  EXPECT_EQ(VersionToStr(15103), "1.51.03");
  EXPECT_EQ(VersionToStr(20805), "2.08.05");
  EXPECT_EQ(VersionToStr(20800), "2.08");
  EXPECT_EQ(VersionToStr(15107), "1.51.07");
  EXPECT_EQ(VersionToStr(10000), "1.00");
}

TEST(TextRoutinesTest, SplitStringFromStartReplacesThenAppends) {
  std::vector<std::string> list = {"p", "q", "r"};
  SplitString("x:y", ':', list, 2);
  EXPECT_EQ(list, (std::vector<std::string>{"p", "q", "x", "y"}));
}

TEST(TextRoutinesTest, SplitStringFromZeroClearsFirst) {
  std::vector<std::string> list = {"old", "old", "old", "old"};
  SplitString("a,,b", ',', list, 0);
  EXPECT_EQ(list, (std::vector<std::string>{"a", "", "b"}));
  SplitString("", ',', list, 0);
  EXPECT_EQ(list, (std::vector<std::string>{""}));
  SplitString("a,", ',', list, 0);
  EXPECT_EQ(list, (std::vector<std::string>{"a", ""}));
}

TEST(TextRoutinesTest, IsIdentChar) {
  for (char c : std::string("09AZaz_")) EXPECT_TRUE(IsIdentChar(c)) << c;
  for (char c : std::string(" .-@[`{/:")) EXPECT_FALSE(IsIdentChar(c)) << c;
  EXPECT_FALSE(IsIdentChar('\xE9'));
}

TEST(TextRoutinesTest, Clamping) {
  int value = 5;
  AtLeast(value, 7);
  EXPECT_EQ(value, 7);
  AtLeast(value, 3);
  EXPECT_EQ(value, 7);
  AtMost(value, 72);
  EXPECT_EQ(value, 7);
  AtMost(value, 1);
  EXPECT_EQ(value, 1);
  EXPECT_TRUE(InRange(1, 1, 72));
  EXPECT_TRUE(InRange(72, 1, 72));
  EXPECT_FALSE(InRange(0, 1, 72));
  EXPECT_FALSE(InRange(73, 1, 72));
}

}  // namespace
}  // namespace workbench
