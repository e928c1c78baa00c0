// Every mnemonic form of the built-in assembler with the words it emits, on both device sizes.

#include <gtest/gtest.h>

#include "builtin_harness.h"

namespace build_debug {
namespace {

struct EncodingCase {
  const char* statement;
  std::vector<int> words;
};

// The words a statement emits at location 0 on a 2,048-word (QV18) or 4,096-word (QV48)
// device. Registers below 0x10 encode alike on both.
std::vector<int> Encode(const std::string& statement, const char* device = "QV18") {
  Assembly a(std::string(" DEVICE ") + device + "\n " + statement + "\n");
  if (!a.ok()) {
    ADD_FAILURE() << statement << ": " << a.error();
    return {};
  }
  return a.used_words();
}

class Mnemonics : public testing::TestWithParam<EncodingCase> {};

TEST_P(Mnemonics, EmitTheirWordsOnBothDeviceSizes) {
  EXPECT_EQ(Encode(GetParam().statement, "QV18"), GetParam().words) << GetParam().statement;
  EXPECT_EQ(Encode(GetParam().statement, "QV48"), GetParam().words) << GetParam().statement;
}

INSTANTIATE_TEST_SUITE_P(
    SingleWords, Mnemonics,
    testing::Values(EncodingCase{"nop", {0x000}}, EncodingCase{"mov !option,w", {0x002}},
                    EncodingCase{"sleep", {0x003}}, EncodingCase{"clr !wdt", {0x004}},
                    EncodingCase{"clr wdt", {0x004}}, EncodingCase{"mov !RB,w", {0x006}},
                    EncodingCase{"mov !0Bh,w", {0x00B}}, EncodingCase{"ret", {0x00C}},
                    EncodingCase{"retp", {0x00D}}, EncodingCase{"reti", {0x00E}},
                    EncodingCase{"retiw", {0x00F}}, EncodingCase{"page 0C00h", {0x016}},
                    EncodingCase{"mov 0Ah,w", {0x02A}}, EncodingCase{"jmp w", {0x022}},
                    EncodingCase{"clr w", {0x040}}, EncodingCase{"iread", {0x041}},
                    EncodingCase{"mov w,m", {0x042}}, EncodingCase{"mov m,w", {0x043}},
                    EncodingCase{"mov m,#9", {0x059}}, EncodingCase{"mode 9", {0x059}},
                    EncodingCase{"mode TRIS", {0x05F}}, EncodingCase{"mode 1Ch", {0x05C}},
                    EncodingCase{"clr 0Ah", {0x06A}}, EncodingCase{"mov w,0Ah-w", {0x08A}},
                    EncodingCase{"sub 0Ah,w", {0x0AA}}, EncodingCase{"mov w,--0Ah", {0x0CA}},
                    EncodingCase{"dec 0Ah", {0x0EA}}, EncodingCase{"or w,0Ah", {0x10A}},
                    EncodingCase{"or 0Ah,w", {0x12A}}, EncodingCase{"and w,0Ah", {0x14A}},
                    EncodingCase{"and 0Ah,w", {0x16A}}, EncodingCase{"xor w,0Ah", {0x18A}},
                    EncodingCase{"xor 0Ah,w", {0x1AA}}, EncodingCase{"add w,0Ah", {0x1CA}},
                    EncodingCase{"add 0Ah,w", {0x1EA}}, EncodingCase{"jmp pc+w", {0x1E2}},
                    EncodingCase{"mov w,0Ah", {0x20A}}, EncodingCase{"test 0Ah", {0x22A}},
                    EncodingCase{"mov w,/0Ah", {0x24A}}, EncodingCase{"not 0Ah", {0x26A}},
                    EncodingCase{"mov w,++0Ah", {0x28A}}, EncodingCase{"inc 0Ah", {0x2AA}},
                    EncodingCase{"movsz w,--0Ah", {0x2CA}}, EncodingCase{"decsz 0Ah", {0x2EA}},
                    EncodingCase{"mov w,>>0Ah", {0x30A}}, EncodingCase{"rr 0Ah", {0x32A}},
                    EncodingCase{"mov w,<<0Ah", {0x34A}}, EncodingCase{"rl 0Ah", {0x36A}},
                    EncodingCase{"mov w,<>0Ah", {0x38A}}, EncodingCase{"swap 0Ah", {0x3AA}},
                    EncodingCase{"movsz w,++0Ah", {0x3CA}}, EncodingCase{"incsz 0Ah", {0x3EA}},
                    EncodingCase{"clrb RB.5", {0x4A6}}, EncodingCase{"clrb c", {0x403}},
                    EncodingCase{"clc", {0x403}}, EncodingCase{"clz", {0x443}},
                    EncodingCase{"setb RB.5", {0x5A6}}, EncodingCase{"stc", {0x503}},
                    EncodingCase{"stz", {0x543}}, EncodingCase{"snb RB.5", {0x6A6}},
                    EncodingCase{"snc", {0x603}}, EncodingCase{"snz", {0x643}},
                    EncodingCase{"sb RB.5", {0x7A6}}, EncodingCase{"sb PA2", {0x7E3}},
                    EncodingCase{"sc", {0x703}}, EncodingCase{"sz", {0x743}},
                    EncodingCase{"retw 12h", {0x812}}, EncodingCase{"call 80h", {0x980}},
                    EncodingCase{"call 280h", {0x980}}, EncodingCase{"jmp 1FFh", {0xBFF}},
                    EncodingCase{"jmp 345h", {0xB45}}, EncodingCase{"mov w,#12h", {0xC12}},
                    EncodingCase{"or w,#12h", {0xD12}}, EncodingCase{"test w", {0xD00}},
                    EncodingCase{"and w,#12h", {0xE12}}, EncodingCase{"xor w,#12h", {0xF12}},
                    EncodingCase{"not w", {0xFFF}}, EncodingCase{"skip", {0x702}}));

INSTANTIATE_TEST_SUITE_P(
    SeveralWords, Mnemonics,
    testing::Values(
        EncodingCase{"mov 0Ah,#12h", {0xC12, 0x02A}}, EncodingCase{"mov 0Ah,m", {0x042, 0x02A}},
        EncodingCase{"mov 0Ah,0Bh", {0x20B, 0x02A}}, EncodingCase{"mov m,0Ah", {0x20A, 0x043}},
        EncodingCase{"mov !option,#12h", {0xC12, 0x002}},
        EncodingCase{"mov !option,0Ah", {0x20A, 0x002}},
        EncodingCase{"mov !RB,#12h", {0xC12, 0x006}}, EncodingCase{"mov !RB,0Ah", {0x20A, 0x006}},
        EncodingCase{"add 0Ah,#12h", {0xC12, 0x1EA}}, EncodingCase{"add 0Ah,0Bh", {0x20B, 0x1EA}},
        EncodingCase{"sub 0Ah,#12h", {0xC12, 0x0AA}}, EncodingCase{"sub 0Ah,0Bh", {0x20B, 0x0AA}},
        EncodingCase{"and 0Ah,#12h", {0xC12, 0x16A}}, EncodingCase{"or 0Ah,0Bh", {0x20B, 0x12A}},
        EncodingCase{"xor 0Ah,#12h", {0xC12, 0x1AA}}, EncodingCase{"addb 0Ah,RB.5", {0x6A6, 0x2AA}},
        EncodingCase{"addb 0Ah,/RB.5", {0x7A6, 0x2AA}}, EncodingCase{"subb 0Ah,c", {0x603, 0x0EA}},
        EncodingCase{"subb 0Ah,/c", {0x703, 0x0EA}},
        EncodingCase{"movb RA.1,RB.5", {0x7A6, 0x425, 0x6A6, 0x525}},
        EncodingCase{"movb RA.1,/RB.5", {0x6A6, 0x425, 0x7A6, 0x525}},
        EncodingCase{"ijnz 0Ah,345h", {0x3EA, 0xB45}},
        EncodingCase{"djnz 0Ah,@345h", {0x2EA, 0x011, 0xB45}},
        EncodingCase{"jb RB.5,345h", {0x6A6, 0xB45}}, EncodingCase{"jnb RB.5,345h", {0x7A6, 0xB45}},
        EncodingCase{"jc 345h", {0x603, 0xB45}}, EncodingCase{"jnc 345h", {0x703, 0xB45}},
        EncodingCase{"jz 345h", {0x643, 0xB45}}, EncodingCase{"jnz 345h", {0x743, 0xB45}},
        EncodingCase{"jmp @345h", {0x011, 0xB45}}, EncodingCase{"call @280h", {0x011, 0x980}},
        EncodingCase{"retw 'AB', 3", {0x841, 0x842, 0x803}},
        EncodingCase{"cse 0Ah,#12h", {0xC12, 0x08A, 0x743}},
        EncodingCase{"cse 0Ah,0Bh", {0x20B, 0x08A, 0x743}},
        EncodingCase{"csne 0Ah,#12h", {0xC12, 0x08A, 0x643}},
        EncodingCase{"csa 0Ah,#5", {0xCFA, 0x1CA, 0x703}},
        EncodingCase{"csa 0Ah,0Bh", {0x20A, 0x08B, 0x603}},
        EncodingCase{"csae 0Ah,#12h", {0xC12, 0x08A, 0x703}},
        EncodingCase{"csb 0Ah,0Bh", {0x20B, 0x08A, 0x603}},
        EncodingCase{"csbe 0Ah,#12h", {0xCED, 0x1CA, 0x603}},
        EncodingCase{"csbe 0Ah,0Bh", {0x20A, 0x08B, 0x703}},
        EncodingCase{"cje 0Ah,#12h,345h", {0xC12, 0x08A, 0x643, 0xB45}},
        EncodingCase{"cjne 0Ah,0Bh,@345h", {0x20B, 0x08A, 0x743, 0x011, 0xB45}},
        EncodingCase{"cja 0Ah,#12h,345h", {0xCED, 0x1CA, 0x603, 0xB45}},
        EncodingCase{"cjae 0Ah,#12h,345h", {0xC12, 0x08A, 0x603, 0xB45}},
        EncodingCase{"cjb 0Ah,#12h,345h", {0xC12, 0x08A, 0x703, 0xB45}},
        EncodingCase{"cjbe 0Ah,#12h,345h", {0xCED, 0x1CA, 0x703, 0xB45}}));

struct DeviceCase {
  const char* statement;
  std::vector<int> words2k;
  std::vector<int> words4k;
};

class DeviceSizes : public testing::TestWithParam<DeviceCase> {};

// A register above 0x0F addresses the banked half on a 4,096-word device.
TEST_P(DeviceSizes, EncodeRegistersAndBanksPerDevice) {
  EXPECT_EQ(Encode(GetParam().statement, "QV28"), GetParam().words2k) << GetParam().statement;
  EXPECT_EQ(Encode(GetParam().statement, "QV52"), GetParam().words4k) << GetParam().statement;
}

INSTANTIATE_TEST_SUITE_P(Mnemonics, DeviceSizes,
                         testing::Values(DeviceCase{"mov w,35h", {0x215}, {0x215}},
                                         DeviceCase{"mov w,25h", {0x205}, {0x215}},
                                         DeviceCase{"inc 1Fh", {0x2BF}, {0x2BF}},
                                         DeviceCase{"clrb 25h.1", {0x425}, {0x435}},
                                         DeviceCase{"bank 40h", {0x01A}, {0x01C}},
                                         DeviceCase{"bank 0E0h", {0x01F}, {0x01E}}));

TEST(BuiltinEncodingTest, SkipDependsOnTheLocationsParity) {
  Assembly a(" DEVICE QV18\n skip\n skip\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.words(0, 2), (std::vector<int>{0x702, 0x602}));
}

// The page bits of a target are used only by "@".
TEST(BuiltinEncodingTest, JumpsTakeTheLabelsAddress) {
  Assembly a(
      " DEVICE QV48\n ORG 345h\ntarget nop\n jmp @target\n call @start\n ORG 480h\nstart ret\n");
  ASSERT_TRUE(a.ok()) << a.error();
  EXPECT_EQ(a.words(0x345, 5), (std::vector<int>{0x000, 0x011, 0xB45, 0x012, 0x980}));
}

}  // namespace
}  // namespace build_debug
