#include "build_debug/key/device_settings.h"

#include <fstream>
#include <memory>
#include <sstream>

#include <gtest/gtest.h>

#include "build_debug/image/hex_image.h"
#include "tests/build_debug/image/image_fixture.h"
#include "tests/services/temp_folder.h"

namespace build_debug {
namespace {

// Controls that add nothing to the words: every box in its "adds 0" state.
DeviceControls Neutral(int device) {
  DeviceControls c;
  c.device = device;
  c.oscillator = 0;
  c.brownout = 1;     // 4.2V: value 0 on both sizes
  c.reset_timer = 2;  // 60 ms: value 0
  c.turbo = c.stack_option = c.carry = c.sync = c.protect = c.sleep_clock = true;
  c.watchdog = false;
  c.drive = c.feedback = true;
  return c;
}

class DeviceSettingsTest : public ::testing::Test {
 protected:
  std::uint16_t Fuse() const { return image_->WorkingImage[kFuseIndex]; }
  std::uint16_t Fusex() const { return image_->WorkingImage[kFusexIndex]; }
  void Apply(const DeviceControls& controls) {
    settings_.Controls() = controls;
    settings_.UpdateSettings();
  }

  std::unique_ptr<ObjectImage> image_ = std::make_unique<ObjectImage>();
  DeviceSettings settings_{*image_};
};

TEST_F(DeviceSettingsTest, Qv28WithAnHs3CrystalAndItsOptions) {
  auto c = Neutral(1);
  c.oscillator = 0;  // Crystal - HS3
  c.watchdog = true;
  c.protect = false;
  c.brownout = 0;  // Off
  Apply(c);
  EXPECT_EQ(Fuse(), 0x3FE);
  EXPECT_EQ(Fusex(), 0xF3F);
  EXPECT_EQ(image_->Device4K, 0);
}

TEST_F(DeviceSettingsTest, EveryOscillatorItemOnBothSizes) {
  // FUSE of the neutral controls: the item's value plus 0x310 (2,048 words) or 0xB00.
  const std::uint16_t fuse2k[12] = {0x3F2, 0x3F1, 0x3F0, 0x3D3, 0x3D2, 0x3D1,
                                    0x3D0, 0x3F3, 0x313, 0x333, 0x353, 0x373};
  const std::uint16_t fuse4k[12] = {0xBF2, 0xBF1, 0xBF0, 0xBD3, 0xBD2, 0xBD1,
                                    0xBD0, 0xBF3, 0xB13, 0xB33, 0xB53, 0xB73};
  for (int item = 0; item < 12; ++item) {
    for (int device : {0, 2}) {
      auto c = Neutral(device);
      c.oscillator = item;
      Apply(c);
      EXPECT_EQ(Fuse(), device == 2 ? fuse4k[item] : fuse2k[item]) << item << " on " << device;
      EXPECT_EQ(settings_.Controls().feedback_enabled, item < 7);
      EXPECT_EQ(settings_.Controls().drive_enabled, item < 7 && device == 2);
      settings_.ShowImage();
      EXPECT_EQ(settings_.Controls().oscillator, item) << item << " on " << device;
    }
  }
}

TEST_F(DeviceSettingsTest, FeedbackAndDriveOffClearTheirBitsOnCrystalsOnly) {
  auto c = Neutral(2);
  c.feedback = c.drive = false;
  Apply(c);
  EXPECT_EQ(Fuse(), 0xF2 - 0x40 - 0x10 + 0xB00);
  settings_.ShowImage();  // the crystal is still found with both bits clear
  EXPECT_EQ(settings_.Controls().oscillator, 0);
  EXPECT_FALSE(settings_.Controls().feedback);
  EXPECT_FALSE(settings_.Controls().drive);

  c.oscillator = 8;  // Internal 4MHz: the boxes are disabled and add nothing
  Apply(c);
  EXPECT_EQ(Fuse(), 0x13 + 0xB00);
}

TEST_F(DeviceSettingsTest, BrownoutAndResetTimerItems) {
  const std::uint16_t fusex2k[4] = {0x30 + 0xB0F, 0x00 + 0xB0F, 0x10 + 0xB0F, 0x20 + 0xB0F};
  const std::uint16_t fusex4k[4] = {0x30 + 0xB8C, 0x00 + 0xB8C, 0x20 + 0xB8C, 0x10 + 0xB8C};
  const std::uint16_t reset4k[4] = {0x3 + 0xB8C, 0x1 + 0xB8C, 0x0 + 0xB8C, 0x2 + 0xB8C};
  for (int item = 0; item < 4; ++item) {
    auto c = Neutral(0);
    c.brownout = item;
    Apply(c);
    EXPECT_EQ(Fusex(), fusex2k[item]) << item;
    settings_.ShowImage();
    EXPECT_EQ(settings_.Controls().brownout, item);

    c = Neutral(2);
    c.brownout = item;
    Apply(c);
    EXPECT_EQ(Fusex(), fusex4k[item]) << item;
    settings_.ShowImage();
    EXPECT_EQ(settings_.Controls().brownout, item);

    c = Neutral(2);
    c.reset_timer = item;
    Apply(c);
    EXPECT_EQ(Fusex(), reset4k[item]) << item;
    settings_.ShowImage();
    EXPECT_EQ(settings_.Controls().reset_timer, item);
  }
}

TEST_F(DeviceSettingsTest, EveryCombinationSurvivesTheWayThroughTheControls) {
  auto image = std::make_unique<ObjectImage>();
  for (int device = 0; device < 3; ++device)
    for (int osc = 0; osc < 12; ++osc)
      for (int brownout = 0; brownout < 4; ++brownout)
        for (int options = 0; options < 512; options += (device == 2 ? 7 : 19)) {
          auto c = Neutral(device);
          c.oscillator = osc;
          c.brownout = brownout;
          c.reset_timer = options % 4;
          c.turbo = options & 1, c.stack_option = options & 2, c.carry = options & 4;
          c.sync = options & 8, c.watchdog = options & 16, c.protect = options & 32;
          c.sleep_clock = options & 64, c.drive = options & 128, c.feedback = options & 256;
          DeviceSettings first(*image);
          first.Controls() = c;
          first.UpdateSettings();
          const auto fuse = image->WorkingImage[kFuseIndex];
          const auto fusex = image->WorkingImage[kFusexIndex];
          DeviceSettings second(*image);
          second.ShowImage();
          ASSERT_EQ(image->WorkingImage[kFuseIndex], fuse)
              << device << " " << osc << " " << options;
          ASSERT_EQ(image->WorkingImage[kFusexIndex], fusex) << device << " " << osc;
          ASSERT_EQ(second.Controls().device, device);
          ASSERT_EQ(second.Controls().oscillator, osc);
        }
}

TEST_F(DeviceSettingsTest, SwitchingToTheLargePartChecksTurboAndStackAndBackRestores) {
  auto c = Neutral(1);
  c.turbo = false;
  c.stack_option = true;
  Apply(c);
  settings_.Controls().device = 2;
  settings_.UpdateSettings();
  EXPECT_TRUE(settings_.Controls().turbo);
  EXPECT_TRUE(settings_.Controls().stack_option);
  EXPECT_FALSE(settings_.Controls().turbo_enabled);
  EXPECT_TRUE(settings_.Controls().sleep_clock_enabled);
  EXPECT_EQ(image_->Device4K, 1);
  settings_.UpdateSettings();  // a second click on the same part changes nothing
  settings_.Controls().device = 0;
  settings_.UpdateSettings();
  EXPECT_FALSE(settings_.Controls().turbo);
  EXPECT_TRUE(settings_.Controls().stack_option);
  EXPECT_TRUE(settings_.Controls().turbo_enabled);
  EXPECT_FALSE(settings_.Controls().reset_timer_enabled);
}

TEST_F(DeviceSettingsTest, AnOscillatorValueNoItemProducesSelectsNone) {
  image_->WorkingImage[kFuseIndex] = 0x300;  // bits 7..5 = 000, bits 1..0 = 00: no item
  image_->WorkingImage[kFusexIndex] = 0xF3F;
  settings_.ShowImage();
  EXPECT_EQ(settings_.Controls().oscillator, -1);
  EXPECT_FALSE(settings_.Controls().feedback_enabled);
}

TEST_F(DeviceSettingsTest, IdStringEndsAtTheFirst0xFF) {
  const char* text = "QV";
  for (int i = 0; i < 8; ++i) {
    const unsigned char c = i < 2 ? static_cast<unsigned char>(text[i]) : 0xFF;
    image_->WorkingImage[kIdWordsIndex + 2 * i] = static_cast<std::uint16_t>(0xF00 | (c >> 4));
    image_->WorkingImage[kIdWordsIndex + 2 * i + 1] = static_cast<std::uint16_t>(0xFF0 | (c & 0xF));
  }
  image_->WorkingImage[kIdWordsIndex + 6] = 0x003;  // a character after the end is not shown
  image_->WorkingImage[kIdWordsIndex + 7] = 0x001;
  settings_.ShowImage();
  EXPECT_EQ(settings_.IdString(), "QV");
}

TEST_F(DeviceSettingsTest, EeLinesAndTheScrollRangePerSize) {
  for (int i = 0; i < 8; ++i)
    image_->WorkingImage[8 + i] = static_cast<std::uint16_t>(0x8000 | (0xA10 + i));
  image_->WorkingImage[4095] = 0x0123;
  settings_.ShowImage();
  ASSERT_EQ(settings_.EeLines().size(), 512u);
  EXPECT_EQ(settings_.EeLines()[1], "008- A10 A11 A12 A13 A14 A15 A16 A17");
  EXPECT_EQ(settings_.EeLines()[511], "FF8- FFF FFF FFF FFF FFF FFF FFF 123");
  EXPECT_EQ(settings_.ScrollMax(), 2048 / 8 - 8);
  settings_.Controls().device = 2;
  settings_.UpdateSettings();
  EXPECT_EQ(settings_.ScrollMax(), 504);
}

TEST(VerifyFailure, NamesTheFirstPartThatDiffers) {
  auto chip = std::make_unique<ObjectImage>();
  auto a = std::make_unique<ObjectImage>();
  DeviceSettings settings(*a);
  settings.Controls() = Neutral(1);
  settings.UpdateSettings();
  chip->WorkingImage = a->WorkingImage;
  for (int i = 0; i < 2048; ++i) chip->WorkingImage[i] = static_cast<std::uint16_t>(i & 0xFFF);
  for (int i = 0; i < 2048; ++i)
    a->WorkingImage[i] = static_cast<std::uint16_t>(0x8000 | (i & 0xFFF));
  const WordArray& w = a->WorkingImage;
  EXPECT_EQ(VerifyFailure(w, chip->WorkingImage, false, false), std::nullopt);
  // A word beyond the part's 2,048 words is not compared.
  chip->WorkingImage[3000] = 0x555;
  EXPECT_EQ(VerifyFailure(w, chip->WorkingImage, false, false), std::nullopt);

  struct Case {
    const char* what;
    int index;
    std::uint16_t flip;
    const char* label;
  };
  const Case cases[] = {
      {"device bit", kFusexIndex, 0x400, "Device"}, {"oscillator", kFuseIndex, 0x20, "Oscillator"},
      {"watchdog", kFuseIndex, 0x04, "Options"},    {"carry", kFusexIndex, 0x40, "Options"},
      {"brownout", kFusexIndex, 0x10, "Brownout"},  {"an ID word", kIdWordsIndex + 5, 0x001, "ID"},
      {"a program word", 2047, 0x800, "E²Flash"},
  };
  for (const auto& c : cases) {
    auto differing = chip->WorkingImage;
    differing[c.index] ^= c.flip;
    EXPECT_EQ(VerifyFailure(w, differing, false, false), c.label) << c.what;
  }
  // A chip of the other size stops at the device.
  EXPECT_EQ(VerifyFailure(w, chip->WorkingImage, true, false), "Device");
  auto reset = chip->WorkingImage;
  reset[kFusexIndex] ^= 0x1;
  EXPECT_EQ(VerifyFailure(reset, chip->WorkingImage, true, true), "Reset Timer");
}

TEST(DeviceHints, TwoVariantsAndOnePiecePerItem) {
  struct VariantCase {
    const char* hint;
    bool external;
    const char* shown;
  };
  const VariantCase variants[] = {
      {"with tarn^built in", true, "with tarn"},
      {"with tarn^built in", false, "built in"},
      {"only one", false, "only one"},
      {"", true, ""},
  };
  for (const auto& c : variants) EXPECT_EQ(HintVariant(c.hint, c.external), c.shown) << c.hint;

  EXPECT_EQ(ItemHints("*Off*4.2 volts**2.2 volts"),
            (std::vector<std::string>{"Off", "4.2 volts", "", "2.2 volts"}));
  EXPECT_EQ(ItemHints("no pieces"), std::vector<std::string>{});
  EXPECT_EQ(ItemHints(""), std::vector<std::string>{});
}

TEST(ImageNames, LetterCaseIsIgnored) {
  EXPECT_TRUE(SameImageName("/tmp/Chip.QVH", "/tmp/chip.qvh"));
  EXPECT_FALSE(SameImageName("/tmp/chip.qvh", "/tmp/chip.qvh.bak"));
  EXPECT_FALSE(SameImageName("/tmp/a.qvh", "/tmp/b.qvh"));
}

// An image file's part size decides how many program words Save Hex writes back: a word of
// the upper half must survive a load and a save even when the last word is empty.
TEST(ImageFileSize, LoadThenSaveKeepsEveryWordThatWasRead) {
  workbench::TempFolder folder;
  struct Case {
    const char* what;
    std::vector<std::pair<int, std::uint16_t>> words;
    int written_words;  // program words the file holds, from word 0
    bool device4k;
  };
  const Case cases[] = {
      {"a word at 0x900, 0xFFF empty", {{0x000, 0x123}, {0x900, 0xA5A}}, 0, true},
      {"a word at 0xFFE only", {{0xFFE, 0x001}}, 0, true},
      {"the last word only", {{0xFFF, 0x5A5}}, 0, true},
      {"words below 0x800 only", {{0x000, 0x123}, {0x7FF, 0x456}}, 0, false},
      {"an empty 4,096-word image", {}, 4096, true},
      {"an empty 2,048-word image", {}, 2048, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string text;
    const std::vector<std::uint16_t> empty(16, kEmptyWord);
    for (int w = 0; w < c.written_words; w += 16) AppendHexRecord(text, w, empty);
    for (auto [address, word] : c.words) {
      const std::uint16_t one[] = {word};
      AppendHexRecord(text, address, one);
    }
    text += ":00000001FF\r\n";
    const std::string name = folder.Path() + "in.qvh";
    std::ofstream(name, std::ios::binary) << text;

    ImageHolder image;
    DeviceSettings settings(*image);
    ASSERT_EQ(settings.LoadImageFile(name, false), ImageFileStatus::Loaded);
    EXPECT_EQ(image->Device4K != 0, c.device4k);
    const std::string saved = folder.Path() + "out.qvh";
    ASSERT_TRUE(WriteImageFile(*image, saved));

    std::stringstream written;
    written << std::ifstream(saved, std::ios::binary).rdbuf();
    // 16 words a record; a 4,096-word part writes 256 program records, a 2,048-word part 128.
    const std::string last_record = c.device4k ? ":201FE000" : ":200FE000";
    EXPECT_NE(written.str().find(last_record), std::string::npos);
    ImageHolder again;
    DeviceSettings reread(*again);
    ASSERT_EQ(reread.LoadImageFile(saved, false), ImageFileStatus::Loaded);
    for (auto [address, word] : c.words)
      EXPECT_EQ(again->WorkingImage[address] & kInstructionBits, word);
    EXPECT_EQ(again->WorkingImage, image->WorkingImage);
    EXPECT_EQ(again->Device4K, image->Device4K);
  }
}

}  // namespace
}  // namespace build_debug
