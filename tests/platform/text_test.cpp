#include "platform/text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(TextTest, CaseFoldsOnlyAsciiLetters) {
  EXPECT_EQ(LowerAscii("Tarn Output/A.QVE"), "tarn output/a.qve");
  EXPECT_EQ(UpperAscii("com1 [x]"), "COM1 [X]");
  // Bytes of a UTF-8 name pass through untouched, whatever the locale says.
  EXPECT_EQ(LowerAscii("\xC3\x84Z"), "\xC3\x84z");
  EXPECT_EQ(UpperAscii("\xC3\xA4z"), "\xC3\xA4Z");
}

TEST(TextTest, ComparesWithoutCase) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
    bool less;  // a before b
  };
  const Case cases[] = {
      {"Software", "SOFTWARE", true, false},
      {"abc", "abd", false, true},
      {"ABC", "abd", false, true},
      {"ab", "abc", false, true},
      {"abc", "ab", false, false},
      {"", "", true, false},
      // Letters fold before comparing, so "_" (between the two cases) sorts before both.
      {"_", "a", false, true},
      {"_", "A", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(SameText(c.a, c.b), c.same);
    EXPECT_EQ(LessText(c.a, c.b), c.less);
  }
}

TEST(TextTest, TrimsBlanksAndControlCharacters) {
  EXPECT_EQ(TrimBlanks(" \t/p file.src\r\n"), "/p file.src");
  EXPECT_EQ(TrimBlanks("\x01\x1F"), "");
  EXPECT_EQ(TrimBlanks("a b"), "a b");
}

// Every byte: the sixteen digits in either case have their values, every other byte none.
TEST(TextTest, HexDigitValueOfEveryByte) {
  constexpr std::string_view kUpper = "0123456789ABCDEF";
  constexpr std::string_view kLower = "0123456789abcdef";
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    int expected = -1;
    if (kUpper.find(c) != std::string_view::npos) expected = static_cast<int>(kUpper.find(c));
    if (kLower.find(c) != std::string_view::npos) expected = static_cast<int>(kLower.find(c));
    EXPECT_EQ(HexDigitValue(c), expected) << "byte " << byte;
  }
}

TEST(TextTest, FillsPlaceholdersInOrder) {
  EXPECT_EQ(FormatText("Cannot open %s on %s", {"COM3", "key"}), "Cannot open COM3 on key");
  EXPECT_EQ(FormatText("100%% of %s", {"x", "unused"}), "100% of x");
  EXPECT_EQ(FormatText("%s", {"%s"}), "%s");  // an argument is never read as a format
  EXPECT_THROW(FormatText("%s and %s", {"one"}), FormatError);
  EXPECT_THROW(FormatText("50% off", {"x"}), FormatError);
  EXPECT_THROW(FormatText("ends in %", {}), FormatError);
}

}  // namespace
}  // namespace platform
