// The built-in assembler's instructions: each mnemonic's operand forms and the one to four
// words they emit. The words come from the instruction set's tables; how the operands are read,
// checked and reported is this assembler's own.

#include <array>
#include <cstddef>
#include <iterator>
#include <string_view>
#include <utility>

#include "build_debug/builtin/builtin_assembler.h"
#include "build_debug/builtin/builtin_messages.h"
#include "build_debug/builtin/builtin_names.h"
#include "instruction_set/instruction_forms.h"
#include "instruction_set/mnemonic_rows.h"
#include "instruction_set/words.h"

namespace build_debug {
namespace {

namespace msg = builtin_messages;
namespace isa = instruction_set;
using isa::OP_BIT;
using isa::OP_DIV;
using isa::OP_FR;
using isa::OP_LEFT;
using isa::OP_LIT;
using isa::OP_LSHIFT;
using isa::OP_M;
using isa::OP_MINUS;
using isa::OP_NOT;
using isa::OP_OPTION;
using isa::OP_PLUS;
using isa::OP_RIGHT;
using isa::OP_RSHIFT;
using isa::OP_W;
using isa::OP_WDT;

consteval std::int32_t Form(std::uint16_t id, isa::FormKinds kinds, int word = 0) {
  return isa::FormWord(id, kinds, word);
}
consteval std::int32_t Native(std::string_view name) { return isa::NativeTemplate(name); }

// The words the encoders start from; an operand's field is added to them.
constexpr std::int32_t kMovFrW = Form(isa::kMOV, {OP_FR, OP_W});
constexpr std::int32_t kMovWFr = Form(isa::kMOV, {OP_W, OP_FR});
constexpr std::int32_t kMovWLiteral = Form(isa::kMOV, {OP_W, OP_LIT});
constexpr std::int32_t kMovWFrMinusW = Form(isa::kMOV, {OP_W, OP_FR, OP_MINUS, OP_W});
constexpr std::int32_t kMovWDecremented = Form(isa::kMOV, {OP_W, OP_MINUS, OP_MINUS, OP_FR});
constexpr std::int32_t kMovWIncremented = Form(isa::kMOV, {OP_W, OP_PLUS, OP_PLUS, OP_FR});
constexpr std::int32_t kMovWShiftedLeft = Form(isa::kMOV, {OP_W, OP_LSHIFT, OP_FR});
constexpr std::int32_t kMovWShiftedRight = Form(isa::kMOV, {OP_W, OP_RSHIFT, OP_FR});
constexpr std::int32_t kMovWInverted = Form(isa::kMOV, {OP_W, OP_DIV, OP_FR});
constexpr std::int32_t kMovWNibblesSwapped = Form(isa::kMOV, {OP_W, OP_LEFT, OP_RIGHT, OP_FR});
constexpr std::int32_t kMovWM = Form(isa::kMOV, {OP_W, OP_M});
constexpr std::int32_t kMovMW = Form(isa::kMOV, {OP_M, OP_W});
constexpr std::int32_t kMovMLiteral = Form(isa::kMOV, {OP_M, OP_LIT});
constexpr std::int32_t kMovOptionW = Form(isa::kMOV, {OP_NOT, OP_OPTION, OP_W});
constexpr std::int32_t kMovPortW = Form(isa::kMOV, {OP_NOT, OP_FR, OP_W});  // + the port
constexpr std::int32_t kAddWFr = Form(isa::kADD, {OP_W, OP_FR});
constexpr std::int32_t kAddFrW = Form(isa::kADD, {OP_FR, OP_W});
constexpr std::int32_t kSubFrW = Form(isa::kSUB, {OP_FR, OP_W});
constexpr std::int32_t kClrW = Form(isa::kCLR, {OP_W});
constexpr std::int32_t kClrWdt = Form(isa::kCLR, {OP_NOT, OP_WDT});
constexpr std::int32_t kClrFr = Form(isa::kCLR, {OP_FR});
constexpr std::int32_t kNotW = Form(isa::kNOT, {OP_W});
constexpr std::int32_t kNotFr = Form(isa::kNOT, {OP_FR});
constexpr std::int32_t kTestW = Form(isa::kTEST, {OP_W});
constexpr std::int32_t kTestFr = Form(isa::kTEST, {OP_FR});
constexpr std::int32_t kClrbBit = Form(isa::kCLRB, {OP_BIT});
constexpr std::int32_t kSetbBit = Form(isa::kSETB, {OP_BIT});
constexpr std::int32_t kSnbBit = Form(isa::kSNB, {OP_BIT});
constexpr std::int32_t kSbBit = Form(isa::kSB, {OP_BIT});
constexpr std::int32_t kMovszWIncremented = Form(isa::kMOVSZ, {OP_W, OP_PLUS, OP_PLUS, OP_FR});
constexpr std::int32_t kMovszWDecremented = Form(isa::kMOVSZ, {OP_W, OP_MINUS, OP_MINUS, OP_FR});
constexpr std::int32_t kIjnzStep = Form(isa::kIJNZ, {OP_FR, OP_FR});
constexpr std::int32_t kDjnzStep = Form(isa::kDJNZ, {OP_FR, OP_FR});
constexpr std::int32_t kJbTest = Form(isa::kJB, {OP_BIT, OP_FR});
constexpr std::int32_t kJnbTest = Form(isa::kJNB, {OP_BIT, OP_FR});
constexpr std::int32_t kJcTest = Form(isa::kJC, {OP_FR});
constexpr std::int32_t kJzTest = Form(isa::kJZ, {OP_FR});
constexpr std::int32_t kJncTest = Form(isa::kJNC, {OP_FR});
constexpr std::int32_t kJnzTest = Form(isa::kJNZ, {OP_FR});
constexpr std::int32_t kJmpW = Form(isa::kJMP, {OP_W});
constexpr std::int32_t kJmpAddress = Form(isa::kJMP, {OP_FR});
constexpr std::int32_t kCallAddress = Form(isa::kCALL, {OP_FR});
constexpr std::int32_t kModeWord = Native("MODE");
constexpr std::int32_t kSkipOdd = Native("SKIP");
constexpr std::int32_t kSkipEven = kSkipOdd | isa::kSkipEvenBit;
using isa::PageWord;

// The two-word bit forms: the test word ("/" inverts it), then the word on the register or bit.
struct BitPairWords {
  std::int32_t test;
  std::int32_t inverted_test;
  std::int32_t second;
};
constexpr BitPairWords kAddbWords = {Form(isa::kADDB, {OP_FR, OP_BIT}, 0),
                                     Form(isa::kADDB, {OP_FR, OP_DIV, OP_BIT}, 0),
                                     Form(isa::kADDB, {OP_FR, OP_BIT}, 1)};
constexpr BitPairWords kSubbWords = {Form(isa::kSUBB, {OP_FR, OP_BIT}, 0),
                                     Form(isa::kSUBB, {OP_FR, OP_DIV, OP_BIT}, 0),
                                     Form(isa::kSUBB, {OP_FR, OP_BIT}, 1)};
constexpr const isa::InstructionForm& kMovbForm = *isa::FormOf(isa::kMOVB, {OP_BIT, OP_BIT});
constexpr const isa::InstructionForm& kMovbInvertedForm =
    *isa::FormOf(isa::kMOVB, {OP_BIT, OP_DIV, OP_BIT});

// AND, OR and XOR: W,#lit / W,fr / fr,W.
struct LogicWords {
  std::int32_t w_literal;
  std::int32_t w_fr;
  std::int32_t fr_w;
};
consteval LogicWords Logic(std::uint16_t id) {
  return {isa::FormWord(id, {OP_W, OP_LIT}), isa::FormWord(id, {OP_W, OP_FR}),
          isa::FormWord(id, {OP_FR, OP_W})};
}
constexpr LogicWords kAndWords = Logic(isa::kAND);
constexpr LogicWords kOrWords = Logic(isa::kOR);
constexpr LogicWords kXorWords = Logic(isa::kXOR);

// The compare-and-skip and compare-and-jump mnemonics, CSE to CJBE in this assembler's order.
constexpr std::uint16_t kCompareIds[] = {
    isa::kCSE, isa::kCSNE, isa::kCSA, isa::kCSAE, isa::kCSB, isa::kCSBE,
    isa::kCJE, isa::kCJNE, isa::kCJA, isa::kCJAE, isa::kCJB, isa::kCJBE,
};
static_assert(kCse + 11 == kCjbe);

// For each compare mnemonic, where its forms against a second register and against a literal
// stand in the table; a form the table lacks does not compile.
using CompareFormPlaces = std::array<std::array<int, 2>, std::size(kCompareIds)>;
consteval CompareFormPlaces FindCompareForms() {
  CompareFormPlaces places{};
  for (std::size_t m = 0; m < places.size(); ++m) {
    const auto jump =
        static_cast<std::uint16_t>(kCse + static_cast<std::int32_t>(m) >= kCje ? OP_FR : 0);
    places[m] = {isa::FormIndexOf(kCompareIds[m], {OP_FR, OP_FR, jump}),
                 isa::FormIndexOf(kCompareIds[m], {OP_FR, OP_LIT, jump})};
    if (places[m][0] < 0 || places[m][1] < 0) throw "no compare form of these operands";
  }
  return places;
}
constexpr CompareFormPlaces kCompareForms = FindCompareForms();

// The form of a compare mnemonic against a literal or against a second register.
const isa::InstructionForm& CompareForm(std::int32_t mnemonic, bool literal) {
  const int at = kCompareForms[static_cast<std::size_t>(mnemonic - kCse)][literal ? 1 : 0];
  return isa::kInstructionForms[static_cast<std::size_t>(at)];
}

}  // namespace

// fr: the low 5 bits; on a 4,096-word device every register above 0x0F is in the banked half.
std::int32_t BuiltinAssembler::Register(std::int32_t value) const {
  std::int32_t fr = value & isa::kRegisterField;
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
  EmitJump(page, PassAwareValue());
}

void BuiltinAssembler::EmitJump(bool page, std::int32_t target) {
  if (page) Emit(PageWord(target));
  Emit(isa::JumpWord(target));
}

// The second operand of ADD, SUB, AND, OR, XOR fr,...: W, #lit or another register.
void BuiltinAssembler::SecondOperandFr(std::int32_t fr_w_word) {
  const Token& t = NextToken();
  if (t.kind == kKindW) return Emit(fr_w_word);
  if (t.kind == kKindHash) {
    Emit(kMovWLiteral + (PassAwareValue() & isa::kLiteralField));
    return Emit(fr_w_word);
  }
  PushBack();
  Emit(kMovWFr + ReadRegister());
  Emit(fr_w_word);
}

void BuiltinAssembler::MoveForm() {
  Token first = NextToken();
  if (first.kind == kKindW) {
    ExpectComma();
    Token t = NextToken();
    if (t.kind == kKindHash) return Emit(kMovWLiteral + (PassAwareValue() & isa::kLiteralField));
    if (t.kind == kKindM) return Emit(kMovWM);
    if (t.kind == kKindIncDec)
      return Emit((t.value == 0 ? kMovWIncremented : kMovWDecremented) + ReadRegister());
    if (t.kind == kKindBinary && t.value == kOpShiftLeft)
      return Emit(kMovWShiftedLeft + ReadRegister());
    if (t.kind == kKindBinary && t.value == kOpShiftRight)
      return Emit(kMovWShiftedRight + ReadRegister());
    if (t.kind == kKindBinary && t.value == kOpDivide) return Emit(kMovWInverted + ReadRegister());
    if (t.kind == kKindCompare && t.value == kOpNotEqual)
      return Emit(kMovWNibblesSwapped + ReadRegister());
    PushBack();
    std::int32_t fr = ReadRegister();
    // fr-W: the expression stopped in front of "-W".
    if (AcceptOperator(kKindBinary, kOpSubtract)) {
      if (!Accept(kKindW)) Fail(msg::kExpectedW);
      return Emit(kMovWFrMinusW + fr);
    }
    return Emit(kMovWFr + fr);
  }
  if (first.kind == kKindM) {
    ExpectComma();
    const Token& t = NextToken();
    if (t.kind == kKindW) return Emit(kMovMW);
    if (t.kind == kKindHash) return Emit(kMovMLiteral + (PassAwareValue() & isa::kModeField));
    PushBack();
    Emit(kMovWFr + ReadRegister());
    return Emit(kMovMW);
  }
  if (first.kind == kKindBang) {
    std::int32_t port = kMovOptionW;
    if (!Accept(kKindOption)) {
      std::int32_t number = PassAwareValue();
      if (!isa::IsPort(isa::kBuiltinReader, number)) Fail(msg::kPortRange);
      port = kMovPortW + number;
    }
    ExpectComma();
    const Token& t = NextToken();
    if (t.kind == kKindW) return Emit(port);
    if (t.kind == kKindHash) {
      Emit(kMovWLiteral + (PassAwareValue() & isa::kLiteralField));
      return Emit(port);
    }
    PushBack();
    Emit(kMovWFr + ReadRegister());
    return Emit(port);
  }
  PushBack();
  std::int32_t fr = ReadRegister();
  ExpectComma();
  const Token& t = NextToken();
  if (t.kind == kKindW) return Emit(kMovFrW + fr);
  if (t.kind == kKindHash) {
    Emit(kMovWLiteral + (PassAwareValue() & isa::kLiteralField));
    return Emit(kMovFrW + fr);
  }
  if (t.kind == kKindM) {
    Emit(kMovWM);
    return Emit(kMovFrW + fr);
  }
  PushBack();
  Emit(kMovWFr + ReadRegister());
  Emit(kMovFrW + fr);
}

// fr1,#lit or fr1,fr2, then the test and the skip; a compare-and-jump goes on with its target.
void BuiltinAssembler::CompareSkip(std::int32_t mnemonic) {
  std::int32_t fr1 = ReadRegister();
  ExpectComma();
  bool literal = Accept(kKindHash);
  std::int32_t x = literal ? (PassAwareValue() & isa::kLiteralField) : ReadRegister();
  const isa::InstructionForm& form = CompareForm(mnemonic, literal);
  switch (form.encoding) {
    case isa::kRuleCompareSkipAbove:
    case isa::kRuleCompareJumpAbove:
      // CSA, CJA, CSBE, CJBE: W + fr1 carries past 0xFF exactly when fr1 > lit.
      x ^= isa::kLiteralField;
      break;
    case isa::kRuleCompareSkipRegisters:
    case isa::kRuleCompareJumpRegisters: std::swap(fr1, x); break;
    default: break;
  }
  Emit(form.words[0] + x);
  Emit(form.words[1] + fr1);
  Emit(form.words[2]);
}

void BuiltinAssembler::Instruction(std::int32_t mnemonic) {
  switch (mnemonic) {
    case kMov: return MoveForm();
    case kAdd:
      if (Accept(kKindW)) {
        ExpectComma();
        return Emit(kAddWFr + ReadRegister());
      } else {
        std::int32_t fr = ReadRegister();
        ExpectComma();
        return SecondOperandFr(kAddFrW + fr);
      }
    case kSub: {
      std::int32_t fr = ReadRegister();
      ExpectComma();
      return SecondOperandFr(kSubFrW + fr);
    }
    case kAnd:
    case kOr:
    case kXor: {
      // Words of W,#lit / W,fr / fr,W.
      const LogicWords& words = mnemonic == kAnd  ? kAndWords
                                : mnemonic == kOr ? kOrWords
                                                  : kXorWords;
      if (Accept(kKindW)) {
        ExpectComma();
        if (Accept(kKindHash))
          return Emit(words.w_literal + (PassAwareValue() & isa::kLiteralField));
        return Emit(words.w_fr + ReadRegister());
      }
      std::int32_t fr = ReadRegister();
      ExpectComma();
      return SecondOperandFr(words.fr_w + fr);
    }
    case kClr:
      if (Accept(kKindW)) return Emit(kClrW);
      if (Accept(kKindWdt)) return Emit(kClrWdt);
      if (Accept(kKindBang)) {
        if (!Accept(kKindWdt)) Fail(msg::kExpectedWdt);
        return Emit(kClrWdt);
      }
      return Emit(kClrFr + ReadRegister());
    case kInc: return Emit(Native("INC") + ReadRegister());
    case kDec: return Emit(Native("DEC") + ReadRegister());
    case kRl: return Emit(Native("RL") + ReadRegister());
    case kRr: return Emit(Native("RR") + ReadRegister());
    case kSwap: return Emit(Native("SWAP") + ReadRegister());
    case kNot:
      if (Accept(kKindW)) return Emit(kNotW);
      return Emit(kNotFr + ReadRegister());
    case kTest:
      if (Accept(kKindW)) return Emit(kTestW);
      return Emit(kTestFr + ReadRegister());
    case kClrb: return Emit(kClrbBit + ReadBit());
    case kClc: return Emit(Native("CLC"));
    case kClz: return Emit(Native("CLZ"));
    case kSetb: return Emit(kSetbBit + ReadBit());
    case kStc: return Emit(Native("STC"));
    case kStz: return Emit(Native("STZ"));
    case kAddb:
    case kSubb: {
      std::int32_t fr = ReadRegister();
      ExpectComma();
      bool inverted = AcceptOperator(kKindBinary, kOpDivide);
      const BitPairWords& words = mnemonic == kAddb ? kAddbWords : kSubbWords;
      Emit((inverted ? words.inverted_test : words.test) + ReadBit());
      return Emit(words.second + fr);
    }
    case kMovb: {
      std::int32_t destination = ReadBit();
      ExpectComma();
      bool inverted = AcceptOperator(kKindBinary, kOpDivide);
      std::int32_t source = ReadBit();
      const std::uint16_t* words = (inverted ? kMovbInvertedForm : kMovbForm).words;
      Emit(words[0] + source);
      Emit(words[1] + destination);
      Emit(words[2] + source);
      return Emit(words[3] + destination);
    }
    case kMovsz: {
      if (!Accept(kKindW)) Fail(msg::kExpectedW);
      ExpectComma();
      const Token& t = NextToken();
      if (t.kind != kKindIncDec) Fail(msg::kExpectedIncDec);
      std::int32_t base = t.value == 0 ? kMovszWIncremented : kMovszWDecremented;
      return Emit(base + ReadRegister());
    }
    case kIncsz: return Emit(Native("INCSZ") + ReadRegister());
    case kDecsz: return Emit(Native("DECSZ") + ReadRegister());
    case kIjnz:
    case kDjnz:
      Emit((mnemonic == kIjnz ? kIjnzStep : kDjnzStep) + ReadRegister());
      ExpectComma();
      return JumpForm();
    case kCse:
    case kCsne:
    case kCsa:
    case kCsae:
    case kCsb:
    case kCsbe: return CompareSkip(mnemonic);
    case kCje:
    case kCjne:
    case kCja:
    case kCjae:
    case kCjb:
    case kCjbe:
      CompareSkip(mnemonic);
      ExpectComma();
      return JumpForm();
    case kSb: return Emit(kSbBit + ReadBit());
    case kSc: return Emit(Native("SC"));
    case kSz: return Emit(Native("SZ"));
    case kSnb: return Emit(kSnbBit + ReadBit());
    case kSnc: return Emit(Native("SNC"));
    case kSnz: return Emit(Native("SNZ"));
    case kJb:
    case kJnb:
      Emit((mnemonic == kJb ? kJbTest : kJnbTest) + ReadBit());
      ExpectComma();
      return JumpForm();
    case kJc: Emit(kJcTest); return JumpForm();
    case kJz: Emit(kJzTest); return JumpForm();
    case kJnc: Emit(kJncTest); return JumpForm();
    case kJnz: Emit(kJnzTest); return JumpForm();
    case kSkip: return Emit((location_ & 1) ? kSkipOdd : kSkipEven);
    case kJmp: {
      if (Accept(kKindW)) return Emit(kJmpW);
      bool page = Accept(kKindAt);
      std::int32_t target = PassAwareValue();
      // PC+W: the expression stopped in front of "+W"; the word is ADD PC,W.
      if (!page && AcceptOperator(kKindBinary, kOpAdd)) {
        if (!Accept(kKindW)) Fail(msg::kExpectedW);
        return Emit(kAddFrW + Register(target));
      }
      return EmitJump(page, target);
    }
    case kCall: {
      bool page = Accept(kKindAt);
      std::int32_t target = PassAwareValue();
      if (target & isa::kUpperHalfOfPage) Fail(msg::kCallHalfPage);
      if (page) Emit(PageWord(target));
      return Emit(kCallAddress + (target & isa::kCallField));
    }
    case kRetw:
      do Emit(isa::RetwWord(PassAwareValue()));
      while (MoreValues());
      return;
    case kRet: return Emit(Native("RET"));
    case kRetp: return Emit(Native("RETP"));
    case kReti: return Emit(Native("RETI"));
    case kRetiw: return Emit(Native("RETIW"));
    case kPage: return Emit(PageWord(PassAwareValue()));
    case kBank: {
      std::int32_t address = PassAwareValue();
      return Emit(
          isa::BankWord(address >> isa::BankShift(isa::kBuiltinReader, image_.Device4K != 0)));
    }
    case kMode: return Emit(kModeWord + (PassAwareValue() & isa::kModeField));
    case kSleep: return Emit(Native("SLEEP"));
    case kIread: return Emit(Native("IREAD"));
    default: return Emit(Native("NOP"));
  }
}

}  // namespace build_debug
