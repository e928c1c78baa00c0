#include "assembler/folded_map.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "assembler/text.h"

namespace tarn {
namespace {

// Names are folded eight bytes at a time: only 'a' to 'z' may meet their upper case. The
// pairs that differ by 0x20 outside the letters, and bytes from 0x80 up, must stay apart.
TEST(FoldedNames, OnlyAsciiLettersFold) {
  struct Case {
    std::string a;
    std::string b;
    bool equal;
  };
  const Case cases[] = {
      {"loop", "LOOP", true},
      {"Loop_Count_9", "LOOP_count_9", true},
      {"a_name_past_eight_bytes", "A_NAME_PAST_EIGHT_BYTEZ", false},
      {"a_name_past_eight_bytes", "A_NAME_PAST_EIGHT_BYTES", true},
      {"@", "`", false},      // 0x40 and 0x60
      {"[x]", "{x}", false},  // 0x5B and 0x7B
      {"^", "~", false},
      {"\xE1", "\xC1", false},  // no folding above 0x7F
      {"z", "Z", true},
      {"{", "[", false},
      {"abc", "abcd", false},
      {"", "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a + " / " + c.b);
    EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal);
    if (c.equal) {
      EXPECT_EQ(FoldedHash{}(c.a), FoldedHash{}(c.b));
    }
  }
}

// Every length from 1 to 17 (whole words and each tail): one changed letter is another name,
// a changed case is the same one.
TEST(FoldedNames, EveryLengthComparesEveryByte) {
  for (size_t length = 1; length <= 17; ++length) {
    std::string name(length, 'q');
    for (size_t at = 0; at < length; ++at) {
      SCOPED_TRACE(length * 100 + at);
      std::string other = name;
      other[at] = 'r';
      EXPECT_FALSE(EqualsNoCase(name, other));
      other[at] = 'Q';
      EXPECT_TRUE(EqualsNoCase(name, other));
    }
  }
}

TEST(FoldedMapTest, FindsAnyCaseAndKeepsTheFirstValue) {
  FoldedMap<int> map;
  EXPECT_EQ(map.Find("none"), nullptr);
  map.Emplace("Start", 1);
  EXPECT_EQ(map.Emplace("START", 2), 1);  // a second entry of a name changes nothing
  ASSERT_NE(map.Find("start"), nullptr);
  EXPECT_EQ(*map.Find("sTaRt"), 1);
  EXPECT_EQ(map.Find("Star"), nullptr);
  EXPECT_EQ(map.Size(), 1u);
  map.Clear();
  EXPECT_EQ(map.Find("start"), nullptr);
}

// Thousands of names, as a large source defines: every one stays found through the growth of
// the table, and absent names are not.
TEST(FoldedMapTest, GrowingKeepsEveryName) {
  std::deque<std::string> names;  // the map views the names: they must not move
  FoldedMap<int> map;
  for (int i = 0; i < 5000; ++i) {
    names.push_back("Label_" + std::to_string(i));
    map.Emplace(names.back(), i);
  }
  EXPECT_EQ(map.Size(), 5000u);
  for (int i = 0; i < 5000; ++i) {
    const int* value = map.Find(UpperCase("label_" + std::to_string(i)));
    ASSERT_NE(value, nullptr) << i;
    EXPECT_EQ(*value, i);
  }
  EXPECT_EQ(map.Find("Label_5000"), nullptr);
  EXPECT_EQ(map.Find("Label_"), nullptr);
}

}  // namespace
}  // namespace tarn
