#include "build_debug/image/listing_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "image_fixture.h"

namespace build_debug {
namespace {

// Puts the listing text into the buffer with one line per CR LF.
void SetListing(ObjectImage& image, const std::string& text) {
  std::memcpy(image.FileBuffer, text.data(), text.size());
  image.FileBufferLength = static_cast<std::int32_t>(text.size());
  image.LineCount = 0;
  std::int32_t start = 0;
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text[at] == '\n') {
      image.LineBufferOffset[image.LineCount++] = start;
      start = static_cast<std::int32_t>(at + 1);
    }
  }
  if (start < static_cast<std::int32_t>(text.size()))
    image.LineBufferOffset[image.LineCount++] = start;
}

TEST(GetListLineTest, CopiesUpToTheCarriageReturn) {
  ImageHolder image;
  SetListing(*image, "0000 C12  MOV W,#12\r\n0001 A00  JMP 0\r\n");
  EXPECT_EQ(GetListLine(*image, 0), "0000 C12  MOV W,#12");
  EXPECT_EQ(GetListLine(*image, 1), "0001 A00  JMP 0");
}

TEST(GetListLineTest, TabsGoToTheNextMultipleOfEight) {
  ImageHolder image;
  SetListing(*image, "ab\tc\t\td\r\n\tx\r\n");
  EXPECT_EQ(GetListLine(*image, 0), "ab      c               d");
  EXPECT_EQ(GetListLine(*image, 1), "        x");
}

TEST(GetListLineTest, KeepsAtMost255Characters) {
  ImageHolder image;
  SetListing(*image, std::string(300, 'L') + "\r\n" + std::string(250, 'M') + "\t\tend\r\n");
  EXPECT_EQ(GetListLine(*image, 0), std::string(255, 'L'));
  // The tab that crosses the limit is cut there too.
  EXPECT_EQ(GetListLine(*image, 1), std::string(250, 'M') + std::string(5, ' '));
}

TEST(GetListLineTest, StopsAtTheEndOfTheBytesInUse) {
  ImageHolder image;
  SetListing(*image, "last line without break");
  std::memcpy(image->FileBuffer + image->FileBufferLength, "GARBAGE", 7);
  EXPECT_EQ(GetListLine(*image, 0), "last line without break");
}

TEST(GetListLineTest, LineOutsideTheListingIsEmpty) {
  ImageHolder image;
  SetListing(*image, "only\r\n");
  EXPECT_EQ(GetListLine(*image, 1), "");
  EXPECT_EQ(GetListLine(*image, -1), "");
}

}  // namespace
}  // namespace build_debug
