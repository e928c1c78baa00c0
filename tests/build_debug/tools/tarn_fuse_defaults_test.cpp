// The FUSE and FUSEX words of each device before any fuse setting: as a tarn build of that
// device brings them into the IDE through its bridge, and as the IDE resets an image of that
// size.
//
// They differ on purpose in two places, and each side needs its own value:
// - FUSE: tarn starts from 0x0FFB (oscillator bits 11, external RC), because its fuse keywords
//   may only clear bits of a field that is still all ones; the IDE starts from 0x0FFA (crystal
//   HS3), because its built-in assembler's DEVICE parameters XOR onto that word (OSCHS3 XORs 0,
//   OSCRC XORs 1).
// - FUSEX of the QV28AC: tarn knows the device and sets bit 10 (port RC present, 0x0FFF); the
//   IDE's image knows only the program size and starts every 2,048-word image as a QV18
//   (0x0BFF), since its built-in assembler's DEVICE QV28 XORs bit 10 in. A tarn build brings
//   its own FUSEX into the image, so the IDE then holds tarn's word (and its disassembler
//   names port RC, as the round-trip test shows).

#include <gtest/gtest.h>

#include <string>

#include "build_debug/image/object_image.h"
#include "tarn_harness.h"

namespace build_debug {
namespace {

struct DeviceDefaults {
  const char* device;
  bool device4k;
  std::uint16_t tarn_fuse;
  std::uint16_t tarn_fusex;
  std::uint16_t ide_fuse;
  std::uint16_t ide_fusex;
};

// clang-format off
constexpr DeviceDefaults kDefaults[] = {
    // device    4K     tarn FUSE  FUSEX     IDE FUSE  FUSEX
    {"QV18AC", false,   0x0FFB,    0x0BFF,   0x0FFA,   0x0BFF},
    {"QV20AC", false,   0x0FFB,    0x0BFF,   0x0FFA,   0x0BFF},
    {"QV28AC", false,   0x0FFB,    0x0FFF,   0x0FFA,   0x0BFF},
    {"QV48BD", true,    0x0FFB,    0x0FFF,   0x0FFA,   0x0FFF},
    {"QV52BD", true,    0x0FFB,    0x0FFF,   0x0FFA,   0x0FFF},
};
// clang-format on

TEST(TarnFuseDefaultsTest, EachDeviceOnBothSides) {
  TarnSession s;
  s.PlaceRealTarn();
  ASSERT_TRUE(s.tarn.TARN_Init(s.tool_folder));
  for (const DeviceDefaults& d : kDefaults) {
    SCOPED_TRACE(d.device);
    std::string source =
        s.WriteSource("defaults.asm", std::string("\tDEVICE ") + d.device + "\n\tEND\n");
    int code = s.tarn.TarnAssemble(source, false);
    ASSERT_TRUE(code == 0 || code == 2) << "exit code " << code;
    EXPECT_EQ(s.image->Device4K, d.device4k);
    EXPECT_EQ(s.image->WorkingImage[kFuseIndex], d.tarn_fuse);
    EXPECT_EQ(s.image->WorkingImage[kFusexIndex], d.tarn_fusex);

    WordArray reset{};
    ResetWordArray(reset, d.device4k);
    EXPECT_EQ(reset[kFuseIndex], d.ide_fuse);
    EXPECT_EQ(reset[kFusexIndex], d.ide_fusex);
  }
}

}  // namespace
}  // namespace build_debug
