#include "code_page/windows_1252.h"

#include <gtest/gtest.h>

namespace {

using code_page::Utf8FromWindows1252;
using code_page::Windows1252FromUtf8;

TEST(Windows1252Test, TheLettersOfCommentsConvertBothWays) {
  struct Case {
    std::string windows_1252;
    std::string utf8;
  };
  const Case cases[] = {
      {"; plain", "; plain"},
      {"caf\xE9", "caf\xC3\xA9"},                            // é
      {"Z\xE4hler \xB0\x43", "Z\xC3\xA4hler \xC2\xB0\x43"},  // ä, °
      {"\x80", "\xE2\x82\xAC"},                              // €
      {"\x9F\xFF", "\xC5\xB8\xC3\xBF"},                      // Ÿ, ÿ
      {"\x81", "\xC2\x81"},                                  // undefined in Windows-1252
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8FromWindows1252(c.windows_1252), c.utf8);
    EXPECT_EQ(Windows1252FromUtf8(c.utf8), c.windows_1252);
  }
}

TEST(Windows1252Test, EveryByteComesBackThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Windows1252FromUtf8(Utf8FromWindows1252(all)), all);
}

TEST(Windows1252Test, AnythingElseIsNotWindows1252Text) {
  for (const char* utf8 : {
           "\xE4\xB8\xAD",  // 中: a character Windows-1252 does not hold
           "\xC2\x80",      // U+0080: 0x80 is "€", not this control character
           "\xEF\xBB\xBF",  // the byte-order mark
           "caf\xE9",       // Latin-1, not UTF-8
           "\xC3",          // cut short
           "\xC0\xAF",      // overlong
           "\xED\xA0\x80",  // a surrogate
       })
    EXPECT_FALSE(Windows1252FromUtf8(utf8).has_value()) << utf8;
  EXPECT_TRUE(code_page::IsValidUtf8("\xE4\xB8\xAD"));
  EXPECT_FALSE(code_page::IsValidUtf8("caf\xE9"));
}

}  // namespace
