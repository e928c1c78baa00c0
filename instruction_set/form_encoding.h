#pragma once
// The encoders of the instruction forms, one per rule: how a form's operands go into its words.
// Both assemblers take them; each keeps its own parser, checks and messages, and hands the
// encoder its operands through a reader of fields.
//
// Invariants: an encoder asks for each field it places when it places it, in the order of the
// words, so a reader's checks report in that order; every word is masked to kWordBits; a rule
// the encoders do not know gives no words.

#include <array>
#include <cstdint>

#include "instruction_set/instruction_set.h"

namespace instruction_set {

// How a rule reads an operand record.
enum class FieldUse : uint8_t {
  kValue,    // the value as the reader fitted it to the record's mask: a register, a literal
  kBit,      // a bit operand as its bit field (bit number << kBitShift | register)
  kAddress,  // a jump or call target, reduced to the field of its word
};

struct FormWords {
  std::array<uint16_t, 4> words{};
  int count = 0;
  int jump = -1;         // the word that takes the jump target (a page prefix goes before it)
  int jump_record = -1;  // the operand record of that target
};

namespace detail {

inline uint16_t Word(int32_t bits) { return static_cast<uint16_t>(bits & kWordBits); }

inline void Push(FormWords& out, int32_t bits) {
  out.words[static_cast<size_t>(out.count++)] = Word(bits);
}

// The jump word of a compound form: its template with the target of `record`.
template <class Field>
void PushJump(FormWords& out, uint16_t tmpl, int record, Field& field) {
  out.jump = out.count;
  out.jump_record = record;
  Push(out, tmpl | field(record, FieldUse::kAddress));
}

}  // namespace detail

// The words of `form`; `field(record, use)` gives the field of an operand record.
template <class Field>
FormWords EncodeForm(const InstructionForm& form, Field&& field) {
  using detail::Push;
  using detail::PushJump;
  FormWords out;
  const uint16_t* w = form.words;
  auto value = [&](int record) { return field(record, FieldUse::kValue); };
  auto bit = [&](int record) { return field(record, FieldUse::kBit); };
  switch (form.encoding) {
    case kRuleOneWord: {  // the template with every encoded operand
      int32_t fields = 0;
      for (int i = 0; i < 4; ++i) {
        if (form.masks[i] == 0) continue;
        fields |= field(i, form.masks[i] == kAddressMask ? FieldUse::kAddress : FieldUse::kValue);
      }
      Push(out, w[0] | fields);
      break;
    }
    case kRuleThroughW:  // MOV, ADD, SUB, AND, OR, XOR fr,#lit and fr,fr
      Push(out, w[0] | value(1));
      Push(out, w[1] | value(0));
      break;
    case kRuleMoveBit:  // MOVB dst,src
      Push(out, w[0] | bit(1));
      Push(out, w[1] | bit(0));
      Push(out, w[2] | bit(1));
      Push(out, w[3] | bit(0));
      break;
    case kRuleMoveInvertedBit:  // MOVB dst,/src
      Push(out, w[0] | bit(2));
      Push(out, w[1] | bit(0));
      Push(out, w[2] | bit(2));
      Push(out, w[3] | bit(0));
      break;
    case kRuleLoop:  // IJNZ, DJNZ fr,addr
      Push(out, w[0] | value(0));
      PushJump(out, w[1], 1, field);
      break;
    case kRuleCompareSkip:  // CSE, CSNE, CSAE, CSB
      Push(out, w[0] | value(1));
      Push(out, w[1] | value(0));
      Push(out, w[2]);
      break;
    case kRuleCompareSkipAbove:  // CSA, CSBE fr,#lit: W + fr carries past 0xFF exactly when fr >
                                 // lit
      Push(out, w[0] | (kLiteralField - value(1)));
      Push(out, w[1] | value(0));
      Push(out, w[2]);
      break;
    case kRuleCompareSkipRegisters:  // CSA, CSBE fr,fr
      Push(out, w[0] | value(0));
      Push(out, w[1] | value(1));
      Push(out, w[2]);
      break;
    case kRuleCompareJump:  // CJE, CJNE, CJAE, CJB
      Push(out, w[0] | value(1));
      Push(out, w[1] | value(0));
      Push(out, w[2]);
      PushJump(out, w[3], 2, field);
      break;
    case kRuleCompareJumpAbove:  // CJA, CJBE fr,#lit,addr
      Push(out, w[0] | (kLiteralField - value(1)));
      Push(out, w[1] | value(0));
      Push(out, w[2]);
      PushJump(out, w[3], 2, field);
      break;
    case kRuleCompareJumpRegisters:  // CJA, CJBE fr,fr,addr
      Push(out, w[0] | value(0));
      Push(out, w[1] | value(1));
      Push(out, w[2]);
      PushJump(out, w[3], 2, field);
      break;
    case kRuleBitJump:  // JB, JNB bit,addr
      Push(out, w[0] | bit(0));
      PushJump(out, w[1], 1, field);
      break;
    case kRuleFlagJump:  // JC, JZ, JNC, JNZ addr
      Push(out, w[0]);
      PushJump(out, w[1], 0, field);
      break;
    case kRuleMoveToM:  // MOV M,fr
      Push(out, w[0] | value(1));
      Push(out, w[1]);
      break;
    case kRuleMoveFromM:  // MOV fr,M
      Push(out, w[0]);
      Push(out, w[1] | value(0));
      break;
    case kRuleWriteNamedPort:  // MOV !port,value and MOV !OPTION,value
      Push(out, w[0] | value(2));
      Push(out, w[1]);
      break;
    case kRuleWritePortRegister:  // MOV !fr,fr
    case kRuleWritePortLiteral:   // MOV !fr,#lit
      Push(out, w[0] | value(2));
      Push(out, w[1] | value(1));
      break;
    case kRuleBitOperation:  // CLRB, SETB, SNB, SB
      Push(out, w[0] | bit(0));
      break;
    case kRuleAddBit:  // ADDB, SUBB fr,bit
      Push(out, w[0] | bit(1));
      Push(out, w[1] | value(0));
      break;
    case kRuleAddInvertedBit:  // ADDB, SUBB fr,/bit
      Push(out, w[0] | bit(2));
      Push(out, w[1] | value(0));
      break;
    default: break;
  }
  return out;
}

// The word of a mnemonic row that takes one field (or none): its template with the field.
constexpr uint16_t RowWord(uint16_t tmpl, int32_t field = 0) {
  return static_cast<uint16_t>((tmpl | field) & kWordBits);
}

}  // namespace instruction_set
