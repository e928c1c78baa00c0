#include "build_debug/tools/extern_lang.h"

#include <gtest/gtest.h>

#include "platform/message_box.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "tests/build_debug/image/image_fixture.h"

namespace build_debug {
namespace {

class ExternLangTest : public ::testing::Test {
 protected:
  void SetUp() override {
    boxes.AnswerWithFirstButton();  // the unit's one box has only OK
    texts.InitLocalization("x");
  }

  ImageHolder image;
  workbench::Localizer texts;
  platform::RecordingMessageBoxes boxes;
  workbench::MessageStrings strings{texts, boxes};
  ExternLangUnit unit{*image, strings};
};

TEST_F(ExternLangTest, WatchesEnterTheImage) {
  image->WatchCount = 5;
  std::vector<T_EXTLANG_WatchInfo> watches = {
      {"abcdefghijklmnopqrstuvwxyz0123456789ABCD", 0x10308, 0, 32, SHEX},
      {"n", 0x0012, 0, 4, FSTR},
  };
  EXPECT_TRUE(unit.SetImageWatches(watches));
  EXPECT_TRUE(boxes.Boxes().empty());
  ASSERT_EQ(image->WatchCount, 2);
  const WatchEntry& first = image->Watches[0];
  EXPECT_STREQ(first.Name, "abcdefghijklmnopqrstuvwxyz01234");  // 31 characters
  EXPECT_EQ(int{first.Address}, 0x0308);                        // 16 bits
  EXPECT_EQ(first.Width, 32);
  EXPECT_EQ(first.Format, SHEX);
  EXPECT_STREQ(image->Watches[1].Name, "n");
  EXPECT_EQ(image->Watches[1].Format, FSTR);

  EXPECT_TRUE(unit.SetImageWatches({}));
  EXPECT_EQ(image->WatchCount, 0);
}

TEST_F(ExternLangTest, ThirtyThreeWatchesAreCutWithABox) {
  std::vector<T_EXTLANG_WatchInfo> watches(33, T_EXTLANG_WatchInfo{"w", 1, 0, 8, UDEC});
  watches[31].Name = "last kept";
  watches[32].Name = "dropped";
  EXPECT_TRUE(unit.SetImageWatches(watches));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text,
            "You have 33 WATCH variables, and the max allowed is 32.\r\rOnly the first 32 will be "
            "used.");
  EXPECT_EQ(image->WatchCount, 32);
  EXPECT_STREQ(image->Watches[31].Name, "last kept");
}

TEST_F(ExternLangTest, BreakOnlyWhenGiven) {
  image->BreakAddress = 0x123;
  EXPECT_TRUE(unit.SetImageBreak({"__QV_BREAK", -1, -1}));
  EXPECT_EQ(image->BreakAddress, 0x123);
  EXPECT_TRUE(unit.SetImageBreak({"__QV_BREAK", 0, 4}));
  EXPECT_EQ(image->BreakAddress, 0);
}

}  // namespace
}  // namespace build_debug
