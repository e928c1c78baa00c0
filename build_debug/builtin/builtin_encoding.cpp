// The built-in assembler's instructions: each mnemonic's operand forms and the one to four
// words they emit.

#include "build_debug/builtin/builtin_assembler.h"
#include "build_debug/builtin/builtin_messages.h"
#include "build_debug/builtin/builtin_names.h"

namespace build_debug {
namespace {

namespace msg = builtin_messages;

// The compare-and-jump forms emit the compare-and-skip form of the opposite condition.
std::int32_t OppositeSkip(std::int32_t jump) {
  switch (jump) {
    case kCje: return kCsne;
    case kCjne: return kCse;
    case kCja: return kCsbe;
    case kCjae: return kCsb;
    case kCjb: return kCsae;
    default: return kCsa;
  }
}

}  // namespace

// fr: the low 5 bits; on a 4,096-word device every register above 0x0F is in the banked half.
std::int32_t BuiltinAssembler::Register(std::int32_t value) const {
  std::int32_t fr = value & 0x1F;
  if (image_.Device4K && (value & 0xF0) != 0) fr |= 0x10;
  return fr;
}

// A bit written as register.bit (bit x 256 + register) as bit x 32 + fr.
std::int32_t BuiltinAssembler::BitOperand(std::int32_t value) const {
  return ((value >> 8) & 7) * 32 + Register(value & 0xFF);
}

bool BuiltinAssembler::Accept(std::uint8_t kind) {
  if (NextToken().kind == kind) return true;
  PushBack();
  return false;
}

bool BuiltinAssembler::AcceptOperator(std::uint8_t kind, std::int32_t number) {
  const Token& t = NextToken();
  if (t.kind == kind && t.value == number) return true;
  PushBack();
  return false;
}

void BuiltinAssembler::ExpectComma() {
  if (!Accept(kKindComma)) Fail(msg::kExpectedComma);
}

// [@]target: with "@" the page word first, then the jump within the page.
void BuiltinAssembler::JumpForm() {
  bool page = Accept(kKindAt);
  std::int32_t target = PassAwareValue();
  if (page) Emit(0x010 + ((target >> 9) & 7));
  Emit(0xA00 + (target & 0x1FF));
}

// The second operand of ADD, SUB, AND, OR, XOR fr,...: W, #lit or another register.
void BuiltinAssembler::SecondOperandFr(std::int32_t fr_w_word) {
  const Token& t = NextToken();
  if (t.kind == kKindW) return Emit(fr_w_word);
  if (t.kind == kKindHash) {
    Emit(0xC00 + (PassAwareValue() & 0xFF));
    return Emit(fr_w_word);
  }
  PushBack();
  Emit(0x200 + ReadRegister());
  Emit(fr_w_word);
}

void BuiltinAssembler::MoveForm() {
  Token first = NextToken();
  if (first.kind == kKindW) {
    ExpectComma();
    Token t = NextToken();
    if (t.kind == kKindHash) return Emit(0xC00 + (PassAwareValue() & 0xFF));
    if (t.kind == kKindM) return Emit(0x042);
    if (t.kind == kKindIncDec) return Emit((t.value == 0 ? 0x280 : 0x0C0) + ReadRegister());
    if (t.kind == kKindBinary && t.value == kOpShiftLeft) return Emit(0x340 + ReadRegister());
    if (t.kind == kKindBinary && t.value == kOpShiftRight) return Emit(0x300 + ReadRegister());
    if (t.kind == kKindBinary && t.value == kOpDivide) return Emit(0x240 + ReadRegister());
    if (t.kind == kKindCompare && t.value == kOpNotEqual) return Emit(0x380 + ReadRegister());
    PushBack();
    std::int32_t fr = ReadRegister();
    // fr-W: the expression stopped in front of "-W".
    if (AcceptOperator(kKindBinary, kOpSubtract)) {
      if (!Accept(kKindW)) Fail(msg::kExpectedW);
      return Emit(0x080 + fr);
    }
    return Emit(0x200 + fr);
  }
  if (first.kind == kKindM) {
    ExpectComma();
    const Token& t = NextToken();
    if (t.kind == kKindW) return Emit(0x043);
    if (t.kind == kKindHash) return Emit(0x050 + (PassAwareValue() & 15));
    PushBack();
    Emit(0x200 + ReadRegister());
    return Emit(0x043);
  }
  if (first.kind == kKindBang) {
    std::int32_t port = 0x002;
    if (!Accept(kKindOption)) {
      port = PassAwareValue();
      if (port < 5 || port > 0x0B) Fail(msg::kPortRange);
    }
    ExpectComma();
    const Token& t = NextToken();
    if (t.kind == kKindW) return Emit(port);
    if (t.kind == kKindHash) {
      Emit(0xC00 + (PassAwareValue() & 0xFF));
      return Emit(port);
    }
    PushBack();
    Emit(0x200 + ReadRegister());
    return Emit(port);
  }
  PushBack();
  std::int32_t fr = ReadRegister();
  ExpectComma();
  const Token& t = NextToken();
  if (t.kind == kKindW) return Emit(0x020 + fr);
  if (t.kind == kKindHash) {
    Emit(0xC00 + (PassAwareValue() & 0xFF));
    return Emit(0x020 + fr);
  }
  if (t.kind == kKindM) {
    Emit(0x042);
    return Emit(0x020 + fr);
  }
  PushBack();
  Emit(0x200 + ReadRegister());
  Emit(0x020 + fr);
}

// fr1,#lit or fr1,fr2, then the test and the skip.
void BuiltinAssembler::CompareSkip(std::int32_t mnemonic) {
  std::int32_t fr1 = ReadRegister();
  ExpectComma();
  bool literal = Accept(kKindHash);
  std::int32_t x = literal ? (PassAwareValue() & 0xFF) : ReadRegister();
  std::int32_t load = literal ? 0xC00 + x : 0x200 + x;
  switch (mnemonic) {
    case kCse:
    case kCsne:
    case kCsae:
    case kCsb:
      Emit(load);
      Emit(0x080 + fr1);
      return Emit(mnemonic == kCse ? 0x743 : mnemonic == kCsne ? 0x643 : mnemonic == kCsae ? 0x703 : 0x603);
    default: {
      // CSA and CSBE: W + fr1 carries past 0xFF exactly when fr1 > lit.
      bool above = mnemonic == kCsa;
      if (literal) {
        Emit(0xC00 + (x ^ 0xFF));
        Emit(0x1C0 + fr1);
        return Emit(above ? 0x703 : 0x603);
      }
      Emit(0x200 + fr1);
      Emit(0x080 + x);
      return Emit(above ? 0x603 : 0x703);
    }
  }
}

void BuiltinAssembler::Instruction(std::int32_t mnemonic) {
  switch (mnemonic) {
    case kMov:
      return MoveForm();
    case kAdd:
      if (Accept(kKindW)) {
        ExpectComma();
        return Emit(0x1C0 + ReadRegister());
      } else {
        std::int32_t fr = ReadRegister();
        ExpectComma();
        return SecondOperandFr(0x1E0 + fr);
      }
    case kSub: {
      std::int32_t fr = ReadRegister();
      ExpectComma();
      return SecondOperandFr(0x0A0 + fr);
    }
    case kAnd:
    case kOr:
    case kXor: {
      // Words of W,#lit / W,fr / fr,W.
      std::int32_t literal = mnemonic == kAnd ? 0xE00 : mnemonic == kOr ? 0xD00 : 0xF00;
      std::int32_t w_fr = mnemonic == kAnd ? 0x140 : mnemonic == kOr ? 0x100 : 0x180;
      if (Accept(kKindW)) {
        ExpectComma();
        if (Accept(kKindHash)) return Emit(literal + (PassAwareValue() & 0xFF));
        return Emit(w_fr + ReadRegister());
      }
      std::int32_t fr = ReadRegister();
      ExpectComma();
      return SecondOperandFr(w_fr + 0x20 + fr);
    }
    case kClr:
      if (Accept(kKindW)) return Emit(0x040);
      if (Accept(kKindWdt)) return Emit(0x004);
      if (Accept(kKindBang)) {
        if (!Accept(kKindWdt)) Fail(msg::kExpectedWdt);
        return Emit(0x004);
      }
      return Emit(0x060 + ReadRegister());
    case kInc: return Emit(0x2A0 + ReadRegister());
    case kDec: return Emit(0x0E0 + ReadRegister());
    case kRl: return Emit(0x360 + ReadRegister());
    case kRr: return Emit(0x320 + ReadRegister());
    case kSwap: return Emit(0x3A0 + ReadRegister());
    case kNot:
      if (Accept(kKindW)) return Emit(0xFFF);
      return Emit(0x260 + ReadRegister());
    case kTest:
      if (Accept(kKindW)) return Emit(0xD00);
      return Emit(0x220 + ReadRegister());
    case kClrb: return Emit(0x400 + ReadBit());
    case kClc: return Emit(0x403);
    case kClz: return Emit(0x443);
    case kSetb: return Emit(0x500 + ReadBit());
    case kStc: return Emit(0x503);
    case kStz: return Emit(0x543);
    case kAddb:
    case kSubb: {
      std::int32_t fr = ReadRegister();
      ExpectComma();
      bool inverted = AcceptOperator(kKindBinary, kOpDivide);
      Emit((inverted ? 0x700 : 0x600) + ReadBit());
      return Emit((mnemonic == kAddb ? 0x2A0 : 0x0E0) + fr);
    }
    case kMovb: {
      std::int32_t destination = ReadBit();
      ExpectComma();
      bool inverted = AcceptOperator(kKindBinary, kOpDivide);
      std::int32_t source = ReadBit();
      Emit((inverted ? 0x600 : 0x700) + source);
      Emit(0x400 + destination);
      Emit((inverted ? 0x700 : 0x600) + source);
      return Emit(0x500 + destination);
    }
    case kMovsz: {
      if (!Accept(kKindW)) Fail(msg::kExpectedW);
      ExpectComma();
      const Token& t = NextToken();
      if (t.kind != kKindIncDec) Fail(msg::kExpectedIncDec);
      std::int32_t base = t.value == 0 ? 0x3C0 : 0x2C0;
      return Emit(base + ReadRegister());
    }
    case kIncsz: return Emit(0x3E0 + ReadRegister());
    case kDecsz: return Emit(0x2E0 + ReadRegister());
    case kIjnz:
    case kDjnz:
      Emit((mnemonic == kIjnz ? 0x3E0 : 0x2E0) + ReadRegister());
      ExpectComma();
      return JumpForm();
    case kCse:
    case kCsne:
    case kCsa:
    case kCsae:
    case kCsb:
    case kCsbe:
      return CompareSkip(mnemonic);
    case kCje:
    case kCjne:
    case kCja:
    case kCjae:
    case kCjb:
    case kCjbe:
      CompareSkip(OppositeSkip(mnemonic));
      ExpectComma();
      return JumpForm();
    case kSb: return Emit(0x700 + ReadBit());
    case kSc: return Emit(0x703);
    case kSz: return Emit(0x743);
    case kSnb: return Emit(0x600 + ReadBit());
    case kSnc: return Emit(0x603);
    case kSnz: return Emit(0x643);
    case kJb:
    case kJnb:
      Emit((mnemonic == kJb ? 0x600 : 0x700) + ReadBit());
      ExpectComma();
      return JumpForm();
    case kJc: Emit(0x603); return JumpForm();
    case kJz: Emit(0x643); return JumpForm();
    case kJnc: Emit(0x703); return JumpForm();
    case kJnz: Emit(0x743); return JumpForm();
    case kSkip: return Emit((location_ & 1) ? 0x602 : 0x702);
    case kJmp: {
      if (Accept(kKindW)) return Emit(0x022);
      bool page = Accept(kKindAt);
      std::int32_t target = PassAwareValue();
      // PC+W: the expression stopped in front of "+W"; the word is ADD PC,W.
      if (!page && AcceptOperator(kKindBinary, kOpAdd)) {
        if (!Accept(kKindW)) Fail(msg::kExpectedW);
        return Emit(0x1E0 + Register(target));
      }
      if (page) Emit(0x010 + ((target >> 9) & 7));
      return Emit(0xA00 + (target & 0x1FF));
    }
    case kCall: {
      bool page = Accept(kKindAt);
      std::int32_t target = PassAwareValue();
      if (target & 0x100) Fail(msg::kCallHalfPage);
      if (page) Emit(0x010 + ((target >> 9) & 7));
      return Emit(0x900 + (target & 0xFF));
    }
    case kRetw:
      do Emit(0x800 + (PassAwareValue() & 0xFF));
      while (MoreValues());
      return;
    case kRet: return Emit(0x00C);
    case kRetp: return Emit(0x00D);
    case kReti: return Emit(0x00E);
    case kRetiw: return Emit(0x00F);
    case kPage: return Emit(0x010 + ((PassAwareValue() >> 9) & 7));
    case kBank: {
      std::int32_t address = PassAwareValue();
      return Emit(0x018 + ((image_.Device4K ? address >> 4 : address >> 5) & 7));
    }
    case kMode: return Emit(0x050 + (PassAwareValue() & 15));
    case kSleep: return Emit(0x003);
    case kIread: return Emit(0x041);
    default: return Emit(0x000);
  }
}

}  // namespace build_debug
