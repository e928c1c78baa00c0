#include "build_debug/image/disassembler.h"

#include <cstdio>

namespace build_debug {
namespace {

// The register forms 0x020..0x3FF, one row per block of 32 encodings (word >> 5): the text
// before and after the register name. Row 0 (0x000..0x01F) and row 2 (0x040..0x05F) are the
// special words and never read from here.
struct RegisterForm {
  const char* before;
  const char* after;
};
constexpr RegisterForm kRegisterForms[32] = {
    {nullptr, nullptr},       // 0x000
    {"MOV   ", ",W"},         // 0x020
    {nullptr, nullptr},       // 0x040
    {"CLR   ", ""},           // 0x060
    {"MOV   W,", "-W"},       // 0x080
    {"SUB   ", ",W"},         // 0x0A0
    {"MOV   W,--", ""},       // 0x0C0
    {"DEC   ", ""},           // 0x0E0
    {"OR    W,", ""},         // 0x100
    {"OR    ", ",W"},         // 0x120
    {"AND   W,", ""},         // 0x140
    {"AND   ", ",W"},         // 0x160
    {"XOR   W,", ""},         // 0x180
    {"XOR   ", ",W"},         // 0x1A0
    {"ADD   W,", ""},         // 0x1C0
    {"ADD   ", ",W"},         // 0x1E0
    {"MOV   W,", ""},         // 0x200
    {"TEST  ", ""},           // 0x220
    {"MOV   W,/", ""},        // 0x240
    {"NOT   ", ""},           // 0x260
    {"MOV   W,++", ""},       // 0x280
    {"INC   ", ""},           // 0x2A0
    {"MOVSZ W,--", ""},       // 0x2C0
    {"DECSZ ", ""},           // 0x2E0
    {"MOV   W,>>", ""},       // 0x300
    {"RR    ", ""},           // 0x320
    {"MOV   W,<<", ""},       // 0x340
    {"RL    ", ""},           // 0x360
    {"MOV   W,<>", ""},       // 0x380
    {"SWAP  ", ""},           // 0x3A0
    {"MOVSZ W,++", ""},       // 0x3C0
    {"INCSZ ", ""},           // 0x3E0
};

// Bit forms 0x400..0x7FF by bits 8-9.
constexpr const char* kBitForms[4] = {"CLRB  ", "SETB  ", "SNB   ", "SB    "};

// Carry and zero flag forms: the bit operand STATUS.0 and STATUS.2 under each bit form.
struct FlagForm {
  std::uint16_t word;
  const char* text;
};
constexpr FlagForm kFlagForms[] = {
    {0x403, "CLC"}, {0x443, "CLZ"},
    {0x503, "STC"}, {0x543, "STZ"},
    {0x603, "SNC"}, {0x643, "SNZ"},
    {0x703, "SC"},  {0x743, "SZ"},
};

// STATUS bits that print by their own name instead of "STATUS.n" (bits 0 and 2 are covered by
// the flag forms above).
constexpr const char* kStatusBitNames[8] = {nullptr, "DC", nullptr, "PD", "TO", "PA0", "PA1", "PA2"};

constexpr const char* kSpecialWords[16] = {
    "NOP", "???", "MOV   !OPTION,W", "SLEEP", "CLR   !WDT", nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr, "RET", "RETP", "RETI", "RETIW",
};

constexpr const char* kRegisterNames[10] = {"IND", "RTCC", "PC", "STATUS", "FSR",
                                             "RA",  "RB",   "RC", "RD",     "RE"};

std::string Hex(unsigned value, int digits) {
  char text[8];
  std::snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

class Disassembler {
 public:
  Disassembler(const ObjectImage& image, bool wreg) : wreg_(wreg), device4k_(image.Device4K != 0) {
    if (device4k_) {
      highest_named_ = 9;
    } else {
      // A QV28 has port RC beside RA and RB.
      highest_named_ = (image.WorkingImage[kFusexIndex] & kFusexQv28Bit) ? 7 : 6;
    }
  }

  std::string Word(unsigned w, int address) const {
    if (w < 0x020) return Low(w);
    if (w < 0x060 && w >= 0x040) return ModeBlock(w);
    if (w == 0x022) return "JMP   W";
    if (w == 0x1E2) return "JMP   PC+W";
    if (w < 0x400) {
      const RegisterForm& form = kRegisterForms[w >> 5];
      return std::string(form.before) + Register(w & 0x1F) + form.after;
    }
    if (w < 0x800) return Bit(w, address);
    unsigned low = w & 0xFF;
    switch (w >> 8) {
      case 0x8: return "RETW  " + Hex(low, 2);
      case 0x9: return "CALL  " + Hex(low, 3);
      case 0xA:
      case 0xB: return "JMP   " + Hex(w & 0x1FF, 3);
      case 0xC: return "MOV   W,#" + Hex(low, 2);
      case 0xD: return w == 0xD00 ? "TEST  W" : "OR    W,#" + Hex(low, 2);
      case 0xE: return "AND   W,#" + Hex(low, 2);
      default: return w == 0xFFF ? "NOT   W" : "XOR   W,#" + Hex(low, 2);
    }
  }

 private:
  std::string Register(unsigned r) const {
    if (r == 1 && wreg_) return "WREG";
    if (static_cast<int>(r) <= highest_named_) return kRegisterNames[r];
    return Hex(r, 2);
  }

  // 0x000..0x01F: control words, port writes, PAGE and BANK.
  std::string Low(unsigned w) const {
    if (w < 0x010) {
      if (kSpecialWords[w]) return kSpecialWords[w];
      return "MOV   !" + Register(w) + ",W";
    }
    unsigned n = w & 7;
    if (w < 0x018) return "PAGE  " + Hex(n * 0x200, 3);
    return "BANK  " + Hex(n * (device4k_ ? 0x10 : 0x20), 2);
  }

  // 0x040..0x05F: W, M and IREAD words.
  static std::string ModeBlock(unsigned w) {
    switch (w) {
      case 0x040: return "CLR   W";
      case 0x041: return "IREAD";
      case 0x042: return "MOV   W,M";
      case 0x043: return "MOV   M,W";
      default: break;
    }
    if (w >= 0x050) return "MOV   M,#" + Hex(w & 0xF, 1);
    return "???";
  }

  std::string Bit(unsigned w, int address) const {
    // SNB PC.0 at an odd address and SB PC.0 at an even one skip the next word in every case.
    if ((w == 0x602 && (address & 1)) || (w == 0x702 && !(address & 1))) return "SKIP";
    for (const FlagForm& flag : kFlagForms) {
      if (flag.word == w) return flag.text;
    }
    unsigned reg = w & 0x1F;
    unsigned bit = (w >> 5) & 7;
    std::string text = kBitForms[(w >> 8) & 3];
    if (reg == 3 && kStatusBitNames[bit]) return text + kStatusBitNames[bit];
    return text + Register(reg) + "." + static_cast<char>('0' + bit);
  }

  bool wreg_;
  bool device4k_;
  int highest_named_;
};

}  // namespace

std::string DisassembleWord(const ObjectImage& image, int address, bool wreg) {
  if (address < 0 || address >= kProgramWords) return "???";
  unsigned w = image.WorkingImage[address] & kInstructionBits;
  return Disassembler(image, wreg).Word(w, address);
}

}  // namespace build_debug
