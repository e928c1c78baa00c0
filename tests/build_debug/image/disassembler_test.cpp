#include "build_debug/image/disassembler.h"

#include <gtest/gtest.h>

#include "image_fixture.h"

namespace build_debug {
namespace {

enum Device { k2K, k2KPortC, k4K };  // k2KPortC: a 2,048-word device with FUSEX bit 10 set

struct Case {
  Device device;
  int address;
  std::uint16_t word;
  bool wreg;
  const char* text;
};

// clang-format off
const Case kCases[] = {
    // special words
    {k2K, 0, 0x000, false, "NOP"},
    {k2K, 0, 0x001, false, "???"},
    {k2K, 0, 0x002, false, "MOV   !OPTION,W"},
    {k2K, 0, 0x003, false, "SLEEP"},
    {k2K, 0, 0x004, false, "CLR   !WDT"},
    {k2K, 0, 0x005, false, "MOV   !RA,W"},
    {k2K, 0, 0x006, false, "MOV   !RB,W"},
    {k2K, 0, 0x007, false, "MOV   !07,W"},
    {k2KPortC, 0, 0x007, false, "MOV   !RC,W"},
    {k2KPortC, 0, 0x008, false, "MOV   !08,W"},
    {k4K, 0, 0x009, false, "MOV   !RE,W"},
    {k4K, 0, 0x00B, false, "MOV   !0B,W"},
    {k2K, 0, 0x00C, false, "RET"},
    {k2K, 0, 0x00D, false, "RETP"},
    {k2K, 0, 0x00E, false, "RETI"},
    {k2K, 0, 0x00F, false, "RETIW"},
    // PAGE and BANK
    {k2K, 0, 0x010, false, "PAGE  000"},
    {k2K, 0, 0x013, false, "PAGE  600"},
    {k4K, 0, 0x017, false, "PAGE  E00"},
    {k2K, 0, 0x01B, false, "BANK  60"},
    {k4K, 0, 0x01B, false, "BANK  30"},
    {k2K, 0, 0x01F, false, "BANK  E0"},
    {k4K, 0, 0x01F, false, "BANK  70"},
    // W, M and IREAD
    {k2K, 0, 0x022, false, "JMP   W"},
    {k2K, 0, 0x1E2, false, "JMP   PC+W"},
    {k2K, 0, 0x040, false, "CLR   W"},
    {k2K, 0, 0x041, false, "IREAD"},
    {k2K, 0, 0x042, false, "MOV   W,M"},
    {k2K, 0, 0x043, false, "MOV   M,W"},
    {k2K, 0, 0x044, false, "???"},
    {k2K, 0, 0x04F, false, "???"},
    {k2K, 0, 0x050, false, "MOV   M,#0"},
    {k2K, 0, 0x05F, false, "MOV   M,#F"},
    // register forms, one per encoding block
    {k2K, 0, 0x021, false, "MOV   RTCC,W"},
    {k2K, 0, 0x021, true,  "MOV   WREG,W"},
    {k2K, 0, 0x063, false, "CLR   STATUS"},
    {k2K, 0, 0x08A, false, "MOV   W,0A-W"},
    {k2K, 0, 0x0A4, false, "SUB   FSR,W"},
    {k2K, 0, 0x0C6, false, "MOV   W,--RB"},
    {k2K, 0, 0x0E0, false, "DEC   IND"},
    {k2K, 0, 0x110, false, "OR    W,10"},
    {k2K, 0, 0x125, false, "OR    RA,W"},
    {k2K, 0, 0x141, false, "AND   W,RTCC"},
    {k2K, 0, 0x16F, false, "AND   0F,W"},
    {k2K, 0, 0x182, false, "XOR   W,PC"},
    {k2K, 0, 0x1A3, false, "XOR   STATUS,W"},
    {k4K, 0, 0x1C8, false, "ADD   W,RD"},
    {k4K, 0, 0x1E9, false, "ADD   RE,W"},
    {k2K, 0, 0x1FF, false, "ADD   1F,W"},
    {k2K, 0, 0x208, false, "MOV   W,08"},
    {k4K, 0, 0x228, false, "TEST  RD"},
    {k2K, 0, 0x24C, false, "MOV   W,/0C"},
    {k2K, 0, 0x26D, false, "NOT   0D"},
    {k2K, 0, 0x28E, false, "MOV   W,++0E"},
    {k2K, 0, 0x2A4, false, "INC   FSR"},
    {k2K, 0, 0x2C5, false, "MOVSZ W,--RA"},
    {k2K, 0, 0x2E6, false, "DECSZ RB"},
    {k2KPortC, 0, 0x307, false, "MOV   W,>>RC"},
    {k2K, 0, 0x320, false, "RR    IND"},
    {k2K, 0, 0x351, false, "MOV   W,<<11"},
    {k2K, 0, 0x372, false, "RL    12"},
    {k2K, 0, 0x393, false, "MOV   W,<>13"},
    {k2K, 0, 0x3B4, false, "SWAP  14"},
    {k2K, 0, 0x3D5, false, "MOVSZ W,++15"},
    {k2K, 0, 0x3F6, false, "INCSZ 16"},
    // bit forms
    {k2K, 0, 0x403, false, "CLC"},
    {k2K, 0, 0x443, false, "CLZ"},
    {k2K, 0, 0x503, false, "STC"},
    {k2K, 0, 0x543, false, "STZ"},
    {k2K, 0, 0x603, false, "SNC"},
    {k2K, 0, 0x643, false, "SNZ"},
    {k2K, 0, 0x703, false, "SC"},
    {k2K, 0, 0x743, false, "SZ"},
    {k2K, 0, 0x423, false, "CLRB  DC"},
    {k2K, 0, 0x463, false, "CLRB  PD"},
    {k2K, 0, 0x583, false, "SETB  TO"},
    {k2K, 0, 0x6A3, false, "SNB   PA0"},
    {k2K, 0, 0x7C3, false, "SB    PA1"},
    {k2K, 0, 0x4E3, false, "CLRB  PA2"},
    {k2K, 0, 0x4E6, false, "CLRB  RB.7"},
    {k2K, 0, 0x525, false, "SETB  RA.1"},
    {k2K, 0, 0x6EF, false, "SNB   0F.7"},
    {k2K, 0, 0x704, false, "SB    FSR.0"},
    {k2K, 0, 0x721, true,  "SB    WREG.1"},
    {k4K, 0, 0x4A9, false, "CLRB  RE.5"},
    // SKIP depends on the address's parity
    {k2K, 1, 0x602, false, "SKIP"},
    {k2K, 2, 0x602, false, "SNB   PC.0"},
    {k2K, 2, 0x702, false, "SKIP"},
    {k2K, 3, 0x702, false, "SB    PC.0"},
    // literal and jump forms
    {k2K, 0, 0x812, false, "RETW  12"},
    {k2K, 0, 0x980, false, "CALL  080"},
    {k2K, 0, 0x9FF, false, "CALL  0FF"},
    {k2K, 0, 0xA00, false, "JMP   000"},
    {k2K, 0, 0xB45, false, "JMP   145"},
    {k2K, 0, 0xBFF, false, "JMP   1FF"},
    {k2K, 0, 0xC5A, false, "MOV   W,#5A"},
    {k2K, 0, 0xD00, false, "TEST  W"},
    {k2K, 0, 0xD01, false, "OR    W,#01"},
    {k2K, 0, 0xE3C, false, "AND   W,#3C"},
    {k2K, 0, 0xF00, false, "XOR   W,#00"},
    {k2K, 0, 0xF80, false, "XOR   W,#80"},
    {k2K, 0, 0xFFF, false, "NOT   W"},
};
// clang-format on

TEST(DisassembleWordTest, EveryGroupAndDevice) {
  for (const Case& c : kCases) {
    ImageHolder image;
    image->Device4K = c.device == k4K ? 1 : 0;
    ResetWordArray(image->WorkingImage, c.device == k4K);
    if (c.device == k2KPortC) image->WorkingImage[kFusexIndex] = 0x0FFF;
    image->WorkingImage[c.address] = UsedWord(c.word);
    EXPECT_EQ(DisassembleWord(*image, c.address, c.wreg), c.text)
        << "word 0x" << std::hex << c.word << " at " << c.address;
  }
}

TEST(DisassembleWordTest, ReadsOnlyTheInstructionBits) {
  ImageHolder image;
  image->WorkingImage[5] = 0x0FFF;  // empty
  image->WorkingImage[6] = 0x8A00;  // in use
  EXPECT_EQ(DisassembleWord(*image, 5, false), "NOT   W");
  EXPECT_EQ(DisassembleWord(*image, 6, false), "JMP   000");
}

TEST(DisassembleWordTest, AddressOutsideProgramMemory) {
  ImageHolder image;
  EXPECT_EQ(DisassembleWord(*image, -1, false), "???");
  EXPECT_EQ(DisassembleWord(*image, 4096, false), "???");
}

}  // namespace
}  // namespace build_debug
