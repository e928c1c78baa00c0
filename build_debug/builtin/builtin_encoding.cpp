// The built-in assembler's instructions: each mnemonic's operands as this assembler reads,
// checks and reports them. The mnemonics are the instruction set's rows that it takes, and the
// words come from the instruction set's encoders.

#include <array>
#include <cstddef>

#include "build_debug/builtin/builtin_assembler.h"
#include "build_debug/builtin/builtin_messages.h"
#include "build_debug/builtin/builtin_names.h"
#include "instruction_set/form_encoding.h"
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

// The words of the form of `id` with these operand kinds, each record's field as read; no
// words when the table has no such form.
isa::FormWords Encode(std::uint16_t id, const isa::FormKinds& kinds, const FormFields& fields) {
  const isa::InstructionForm* form = isa::FormOf(id, kinds);
  if (!form) return {};
  return isa::EncodeForm(*form, [&](int record, isa::FieldUse use) {
    const std::int32_t value = fields[static_cast<std::size_t>(record)];
    if (use != isa::FieldUse::kAddress) return value;
    return value & (id == isa::kCALL ? isa::kCallField : isa::kJumpField);
  });
}

// The row of an instruction this assembler takes; every instruction symbol it enters has one.
const isa::MnemonicRow* RowOf(std::int32_t id) {
  for (const isa::MnemonicRow& row : isa::kNativeRows)
    if (row.id == id && IsBuiltinInstruction(row)) return &row;
  for (const isa::MnemonicRow& row : isa::kCompoundRows)
    if (row.id == id && IsBuiltinInstruction(row)) return &row;
  return nullptr;
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
  return ((value >> 8) & 7) * (1 << isa::kBitShift) + Register(value & 0xFF);
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

// The words of a form, as Encode makes them.
void BuiltinAssembler::EmitForm(std::uint16_t id, const isa::FormKinds& kinds,
                                const FormFields& fields) {
  const isa::FormWords words = Encode(id, kinds, fields);
  // Every form this assembler reads stands in the table; the message guards the table.
  if (words.count == 0) Fail(msg::kExpectedStatement);
  for (int i = 0; i < words.count; ++i) Emit(words.words[static_cast<std::size_t>(i)]);
}

// A compound jump: the words before the jump go out first, then ",[@]target" (or "[@]target"
// when `comma` is false) is read, and the PAGE word of "@" and the jump follow.
void BuiltinAssembler::EmitJumpForm(std::uint16_t id, const isa::FormKinds& kinds,
                                    FormFields fields, bool comma) {
  isa::FormWords words = Encode(id, kinds, fields);
  if (words.count == 0 || words.jump < 0) Fail(msg::kExpectedStatement);
  for (int i = 0; i < words.jump; ++i) Emit(words.words[static_cast<std::size_t>(i)]);
  if (comma) ExpectComma();
  const bool page = Accept(kKindAt);
  const std::int32_t target = PassAwareValue();
  fields[static_cast<std::size_t>(words.jump_record)] = target;
  words = Encode(id, kinds, fields);
  if (page) Emit(isa::PageWord(target));
  for (int i = words.jump; i < words.count; ++i) Emit(words.words[static_cast<std::size_t>(i)]);
}

std::int32_t BuiltinAssembler::ReadLiteral() { return PassAwareValue() & isa::kLiteralField; }

// The second operand of ADD, SUB, AND, OR, XOR fr,...: W, #lit or another register.
void BuiltinAssembler::SecondOperandFr(std::uint16_t id, std::int32_t fr) {
  const Token& t = NextToken();
  if (t.kind == kKindW) return EmitForm(id, {OP_FR, OP_W}, {fr});
  if (t.kind == kKindHash) return EmitForm(id, {OP_FR, OP_LIT}, {fr, ReadLiteral()});
  PushBack();
  EmitForm(id, {OP_FR, OP_FR}, {fr, ReadRegister()});
}

// MOV W,...: #lit, M, ++fr, --fr, <<fr, >>fr, /fr, <>fr, fr-W or fr.
void BuiltinAssembler::MoveToW() {
  ExpectComma();
  const Token t = NextToken();
  if (t.kind == kKindHash) return EmitForm(isa::kMOV, {OP_W, OP_LIT}, {0, ReadLiteral()});
  if (t.kind == kKindM) return EmitForm(isa::kMOV, {OP_W, OP_M}, {});
  if (t.kind == kKindIncDec) {
    const std::uint16_t step = t.value == 0 ? OP_PLUS : OP_MINUS;
    return EmitForm(isa::kMOV, {OP_W, step, step, OP_FR}, {0, 0, 0, ReadRegister()});
  }
  if (t.kind == kKindBinary && t.value == kOpShiftLeft)
    return EmitForm(isa::kMOV, {OP_W, OP_LSHIFT, OP_FR}, {0, 0, ReadRegister()});
  if (t.kind == kKindBinary && t.value == kOpShiftRight)
    return EmitForm(isa::kMOV, {OP_W, OP_RSHIFT, OP_FR}, {0, 0, ReadRegister()});
  if (t.kind == kKindBinary && t.value == kOpDivide)
    return EmitForm(isa::kMOV, {OP_W, OP_DIV, OP_FR}, {0, 0, ReadRegister()});
  if (t.kind == kKindCompare && t.value == kOpNotEqual)
    return EmitForm(isa::kMOV, {OP_W, OP_LEFT, OP_RIGHT, OP_FR}, {0, 0, 0, ReadRegister()});
  PushBack();
  const std::int32_t fr = ReadRegister();
  // fr-W: the expression stopped in front of "-W".
  if (AcceptOperator(kKindBinary, kOpSubtract)) {
    if (!Accept(kKindW)) Fail(msg::kExpectedW);
    return EmitForm(isa::kMOV, {OP_W, OP_FR, OP_MINUS, OP_W}, {0, fr});
  }
  EmitForm(isa::kMOV, {OP_W, OP_FR}, {0, fr});
}

// MOV M,...: W, #lit or fr.
void BuiltinAssembler::MoveToM() {
  ExpectComma();
  const Token& t = NextToken();
  if (t.kind == kKindW) return EmitForm(isa::kMOV, {OP_M, OP_W}, {});
  if (t.kind == kKindHash)
    return EmitForm(isa::kMOV, {OP_M, OP_LIT}, {0, PassAwareValue() & isa::kModeField});
  PushBack();
  EmitForm(isa::kMOV, {OP_M, OP_FR}, {0, ReadRegister()});
}

// MOV !OPTION,... or MOV !port,...: W, #lit or fr.
void BuiltinAssembler::MoveToPort() {
  std::uint16_t port = OP_OPTION;
  std::int32_t number = 0;
  if (!Accept(kKindOption)) {
    number = PassAwareValue();
    if (!isa::IsPort(isa::kBuiltinReader, number)) Fail(msg::kPortRange);
    port = OP_FR;
  }
  ExpectComma();
  const Token& t = NextToken();
  if (t.kind == kKindW) return EmitForm(isa::kMOV, {OP_NOT, port, OP_W}, {0, number});
  if (t.kind == kKindHash)
    return EmitForm(isa::kMOV, {OP_NOT, port, OP_LIT}, {0, number, ReadLiteral()});
  PushBack();
  EmitForm(isa::kMOV, {OP_NOT, port, OP_FR}, {0, number, ReadRegister()});
}

void BuiltinAssembler::MoveForm() {
  const Token first = NextToken();
  if (first.kind == kKindW) return MoveToW();
  if (first.kind == kKindM) return MoveToM();
  if (first.kind == kKindBang) return MoveToPort();
  PushBack();
  const std::int32_t fr = ReadRegister();
  ExpectComma();
  const Token& t = NextToken();
  if (t.kind == kKindW) return EmitForm(isa::kMOV, {OP_FR, OP_W}, {fr});
  if (t.kind == kKindHash) return EmitForm(isa::kMOV, {OP_FR, OP_LIT}, {fr, ReadLiteral()});
  if (t.kind == kKindM) return EmitForm(isa::kMOV, {OP_FR, OP_M}, {fr});
  PushBack();
  EmitForm(isa::kMOV, {OP_FR, OP_FR}, {fr, ReadRegister()});
}

// fr1,#lit or fr1,fr2, then the test and the skip; a compare-and-jump goes on with its target.
void BuiltinAssembler::CompareForm(std::uint16_t id, bool jumps) {
  const std::int32_t fr1 = ReadRegister();
  ExpectComma();
  const bool literal = Accept(kKindHash);
  const std::int32_t second = literal ? ReadLiteral() : ReadRegister();
  const std::uint16_t kind = literal ? OP_LIT : OP_FR;
  if (!jumps) return EmitForm(id, {OP_FR, kind}, {fr1, second});
  EmitJumpForm(id, {OP_FR, kind, OP_FR}, {fr1, second}, true);
}

// ADD, SUB, AND, OR, XOR: W,fr (ADD, AND, OR, XOR), W,#lit (AND, OR, XOR), or fr,...
void BuiltinAssembler::ArithmeticForm(std::uint16_t id) {
  if (id != isa::kSUB && Accept(kKindW)) {
    ExpectComma();
    if (id != isa::kADD && Accept(kKindHash))
      return EmitForm(id, {OP_W, OP_LIT}, {0, ReadLiteral()});
    return EmitForm(id, {OP_W, OP_FR}, {0, ReadRegister()});
  }
  const std::int32_t fr = ReadRegister();
  ExpectComma();
  SecondOperandFr(id, fr);
}

// CLR W, CLR WDT or CLR !WDT, NOT W, TEST W, or the instruction on a register.
void BuiltinAssembler::WOrRegisterForm(std::uint16_t id) {
  if (Accept(kKindW)) return EmitForm(id, {OP_W}, {});
  if (id == isa::kCLR) {
    if (Accept(kKindWdt)) return EmitForm(id, {OP_NOT, OP_WDT}, {});
    if (Accept(kKindBang)) {
      if (!Accept(kKindWdt)) Fail(msg::kExpectedWdt);
      return EmitForm(id, {OP_NOT, OP_WDT}, {});
    }
  }
  EmitForm(id, {OP_FR}, {ReadRegister()});
}

// ADDB, SUBB fr,[/]bit and MOVB bit,[/]bit.
void BuiltinAssembler::BitPairForm(std::uint16_t id) {
  const std::uint16_t first = id == isa::kMOVB ? OP_BIT : OP_FR;
  const std::int32_t value = id == isa::kMOVB ? ReadBit() : ReadRegister();
  ExpectComma();
  if (AcceptOperator(kKindBinary, kOpDivide))
    return EmitForm(id, {first, OP_DIV, OP_BIT}, {value, 0, ReadBit()});
  EmitForm(id, {first, OP_BIT}, {value, ReadBit()});
}

// MOVSZ W,++fr or W,--fr.
void BuiltinAssembler::MoveSkipForm() {
  if (!Accept(kKindW)) Fail(msg::kExpectedW);
  ExpectComma();
  const Token& t = NextToken();
  if (t.kind != kKindIncDec) Fail(msg::kExpectedIncDec);
  const std::uint16_t step = t.value == 0 ? OP_PLUS : OP_MINUS;
  EmitForm(isa::kMOVSZ, {OP_W, step, step, OP_FR}, {0, 0, 0, ReadRegister()});
}

// JMP W, JMP PC+W, JMP [@]target, CALL [@]target.
void BuiltinAssembler::JumpOrCallForm(std::uint16_t id) {
  if (id == isa::kJMP && Accept(kKindW)) return EmitForm(id, {OP_W}, {});
  const bool page = Accept(kKindAt);
  const std::int32_t target = PassAwareValue();
  // PC+W: the expression stopped in front of "+W"; the word is ADD PC,W.
  if (id == isa::kJMP && !page && AcceptOperator(kKindBinary, kOpAdd)) {
    if (!Accept(kKindW)) Fail(msg::kExpectedW);
    return EmitForm(isa::kADD, {OP_FR, OP_W}, {Register(target)});
  }
  if (id == isa::kCALL && (target & isa::kUpperHalfOfPage)) Fail(msg::kCallHalfPage);
  if (page) Emit(isa::PageWord(target));
  EmitForm(id, {OP_FR}, {target});
}

// The instructions of the form table, by their operands.
void BuiltinAssembler::FormInstruction(std::uint16_t id) {
  switch (id) {
    case isa::kMOV: return MoveForm();
    case isa::kADD:
    case isa::kSUB:
    case isa::kAND:
    case isa::kOR:
    case isa::kXOR: return ArithmeticForm(id);
    case isa::kCLR:
    case isa::kNOT:
    case isa::kTEST: return WOrRegisterForm(id);
    case isa::kCLRB:
    case isa::kSETB:
    case isa::kSNB:
    case isa::kSB: return EmitForm(id, {OP_BIT}, {ReadBit()});
    case isa::kADDB:
    case isa::kSUBB:
    case isa::kMOVB: return BitPairForm(id);
    case isa::kMOVSZ: return MoveSkipForm();
    case isa::kIJNZ:
    case isa::kDJNZ: return EmitJumpForm(id, {OP_FR, OP_FR}, {ReadRegister()}, true);
    case isa::kCSE:
    case isa::kCSNE:
    case isa::kCSA:
    case isa::kCSAE:
    case isa::kCSB:
    case isa::kCSBE: return CompareForm(id, false);
    case isa::kCJE:
    case isa::kCJNE:
    case isa::kCJA:
    case isa::kCJAE:
    case isa::kCJB:
    case isa::kCJBE: return CompareForm(id, true);
    case isa::kJB:
    case isa::kJNB: return EmitJumpForm(id, {OP_BIT, OP_FR}, {ReadBit()}, true);
    case isa::kJC:
    case isa::kJZ:
    case isa::kJNC:
    case isa::kJNZ: return EmitJumpForm(id, {OP_FR}, {}, false);
    case isa::kJMP:
    case isa::kCALL: return JumpOrCallForm(id);
    default: Fail(msg::kExpectedStatement);
  }
}

void BuiltinAssembler::Instruction(std::int32_t id) {
  const isa::MnemonicRow* found = RowOf(id);
  if (!found) Fail(msg::kExpectedStatement);
  const isa::MnemonicRow& row = *found;
  switch (row.format) {
    case isa::kFmtForms: return FormInstruction(row.id);
    case isa::kFmtNone: return Emit(row.tmpl);
    case isa::kFmtFr: return Emit(isa::RowWord(row.tmpl, ReadRegister()));
    // SNB PC.0 at an odd address, SB PC.0 at an even one: the next word is skipped either way.
    case isa::kFmtSkip:
      return Emit(isa::RowWord(row.tmpl, (location_ & 1) ? 0 : isa::kSkipEvenBit));
    case isa::kFmtRetwList:
      do Emit(isa::RetwWord(PassAwareValue()));
      while (MoreValues());
      return;
    case isa::kFmtBankPageMode: {
      const std::int32_t value = PassAwareValue();
      if (row.id == isa::kPAGE) return Emit(isa::PageWord(value));
      if (row.id == isa::kBANK)
        return Emit(
            isa::BankWord(value >> isa::BankShift(isa::kBuiltinReader, image_.Device4K != 0)));
      return Emit(isa::RowWord(row.tmpl, value & isa::kModeField));
    }
    default: Fail(msg::kExpectedStatement);
  }
}

}  // namespace build_debug
