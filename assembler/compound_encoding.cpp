// The instructions of the form table: the native instructions whose operands choose between
// several encodings, and the compound mnemonics that expand into two to four words.

#include <string>

#include "assembler/banks.h"
#include "assembler/encoding.h"
#include "assembler/instruction_forms.h"
#include "assembler/instruction_tables.h"
#include "assembler/lexer.h"
#include "assembler/messages.h"
#include "assembler/operands.h"
#include "assembler/run.h"

namespace tarn {
namespace {

constexpr int kFsr = 4;  // the register that selects the bank of indirect access

// Checks each encoded operand against its mask and leaves it ANDed with the mask. Returns the
// warning of the last operand that did not fit (0 for none); register fields that do not fit
// are reduced by StripBankBits, which reports for itself.
int FitOperands(TarnRun& run, const InstructionForm& form, OperandRecords& ops) {
  int finding = 0;
  for (int i = 0; i < kMatchedOperands; ++i) {
    uint16_t mask = form.masks[i];
    if (mask == 0) continue;
    OperandRecord& r = ops[static_cast<size_t>(i)];
    if (CheckRange(r.value, mask)) {
      if (mask == kRegisterField && r.kind == OP_FR)
        r.value = StripBankBits(run, r.value);
      else if (mask == kLiteralField && r.kind == OP_LIT)
        finding = kMsgLiteralTruncatedTo8Bits;
      else if (mask == kModeField)
        finding = kMsgModeValueTruncated;
      else
        finding = kMsgValueOutOfRange;
    } else if (r.bit != 0 && r.kind != OP_BIT) {
      finding = kMsgNonBitfieldOperator;
    }
    r.value &= mask;
  }
  return finding;
}

bool IsPlainJump(int id) { return id == kCALL || id == kJMP || id == kGOTO; }

}  // namespace

StatementWords EncodeCompound(TarnRun& run, int id) {
  StatementWords out;
  InstructionState& in = run.instruction;
  bool page_prefix = ClassifyOperands(run, id);
  OperandRecords ops = in.operands;
  // Writing FSR changes the bank that indirect access reaches: what BANK said is void.
  if (id == kMOV && ops[0].kind == OP_FR && ops[0].value == kFsr) run.tracking.bank_countdown = 0;

  const InstructionForm* form = FindForm(id, run.device.device_class, ops);
  if (!form) {
    ReportMessage(run, kError, kMsgBadInstruction);
    out.words = {0};
    in.size = 1;
    return out;
  }
  in.size = form->size;
  int finding = FitOperands(run, *form, ops);
  // MOV !fr,#lit writes a port's direction register: only 5 to 9 are ports.
  if (form->encoding == kRuleWritePortLiteral && (ops[1].value < 5 || ops[1].value > 9) &&
      finding == 0)
    finding = kMsgValueOutOfRange;
  if (finding != 0) ReportMessage(run, kWarning, finding);

  const uint16_t* w = form->words;
  auto value = [&](int i) { return ops[static_cast<size_t>(i)].value; };
  auto bit_field = [&](int i) {
    const OperandRecord& r = ops[static_cast<size_t>(i)];
    return BitField(run, r.value, r.bit);
  };
  auto word = [](int32_t v) { return static_cast<uint16_t>(v & kWordBits); };
  int jmp_field = run.device.jmp_mask;

  int jump = -1;             // the index of the jump word, which the page prefix precedes
  int32_t target = 0;        // its address
  bool checks_page = false;  // the jump leaves the page that PAGE selected
  // A compound jump's address is its last operand.
  auto jump_word = [&](uint16_t tmpl, int operand) {
    target = value(operand);
    jump = static_cast<int>(out.words.size());
    checks_page = true;
    out.words.push_back(word(tmpl | (target & jmp_field)));
  };

  switch (form->encoding) {
    case kRuleOneWord: {
      if (id == kCALL) {
        target = value(0);
        if (target & kUpperHalfOfPage) {
          SetMessageArgument(run, std::to_string(target));
          ReportMessage(run, kError, kMsgNotInLowerHalfOfPage);
        }
        if (target > run.device.call_mask) ReportMessage(run, kComment, kMsgAddressBeyondMemory);
        out.words.push_back(word(w[0] | (target & run.device.call_mask)));
        jump = 0;
      } else if ((id == kJMP || id == kGOTO) && form->masks[0] != 0) {
        target = value(0);
        if (target > jmp_field) ReportMessage(run, kComment, kMsgAddressBeyondMemory);
        out.words.push_back(word(w[0] | (target & jmp_field)));
        jump = 0;
        checks_page = true;
      } else {
        // JMP W and JMP PC+W are their bare templates.
        int32_t fields = 0;
        for (int i = 0; i < kMatchedOperands; ++i) {
          if (form->masks[i] != 0) fields |= value(i);
        }
        out.words.push_back(word(w[0] | fields));
        if (IsPlainJump(id)) jump = 0;
      }
      out.skip = id == kMOVSZ;
      break;
    }
    case kRuleThroughW:  // MOV, ADD, SUB, AND, OR, XOR fr,#lit and fr,fr
      out.words = {word(w[0] | value(1)), word(w[1] | value(0))};
      break;
    case kRuleMoveBit:  // MOVB dst,src
      out.words = {word(w[0] | bit_field(1)), word(w[1] | bit_field(0)), word(w[2] | bit_field(1)),
                   word(w[3] | bit_field(0))};
      break;
    case kRuleMoveInvertedBit:  // MOVB dst,/src
      out.words = {word(w[0] | bit_field(2)), word(w[1] | bit_field(0)), word(w[2] | bit_field(2)),
                   word(w[3] | bit_field(0))};
      break;
    case kRuleLoop:  // IJNZ, DJNZ fr,addr
      out.words = {word(w[0] | value(0))};
      jump_word(w[1], 1);
      break;
    case kRuleCompareSkipAbove:  // CSA, CSBE fr,#lit: compares against the complement
      ops[1].value = 255 - ops[1].value;
      [[fallthrough]];
    case kRuleCompareSkip:  // CSE, CSNE, CSAE, CSB
      out.words = {word(w[0] | value(1)), word(w[1] | value(0)), w[2]};
      out.skip = true;
      break;
    case kRuleCompareSkipRegisters:  // CSA, CSBE fr,fr
      out.words = {word(w[0] | value(0)), word(w[1] | value(1)), w[2]};
      out.skip = true;
      break;
    case kRuleCompareJumpAbove:  // CJA, CJBE fr,#lit,addr
      ops[1].value = 255 - ops[1].value;
      [[fallthrough]];
    case kRuleCompareJump:  // CJE, CJNE, CJAE, CJB
      out.words = {word(w[0] | value(1)), word(w[1] | value(0)), w[2]};
      jump_word(w[3], 2);
      break;
    case kRuleCompareJumpRegisters:  // CJA, CJBE fr,fr,addr
      out.words = {word(w[0] | value(0)), word(w[1] | value(1)), w[2]};
      jump_word(w[3], 2);
      break;
    case kRuleBitJump:  // JB, JNB bit,addr
      out.words = {word(w[0] | bit_field(0))};
      jump_word(w[1], 1);
      break;
    case kRuleFlagJump:  // JC, JZ, JNC, JNZ addr
      out.words = {w[0]};
      jump_word(w[1], 0);
      break;
    case kRuleMoveToM:  // MOV M,fr
      out.words = {word(w[0] | value(1)), w[1]};
      break;
    case kRuleMoveFromM:  // MOV fr,M
      out.words = {w[0], word(w[1] | value(0))};
      break;
    case kRuleWriteNamedPort:  // MOV !port,value and MOV !OPTION,value
      out.words = {word(w[0] | value(2)), w[1]};
      break;
    case kRuleWritePortRegister:  // MOV !fr,fr
    case kRuleWritePortLiteral:   // MOV !fr,#lit
      out.words = {word(w[0] | value(2)), word(w[1] | value(1))};
      break;
    case kRuleBitOperation:  // CLRB, SETB, SNB, SB
      out.words = {word(w[0] | bit_field(0))};
      out.skip = id == kSB || id == kSNB;
      break;
    case kRuleAddBit:  // ADDB, SUBB fr,bit
      out.words = {word(w[0] | bit_field(1)), word(w[1] | value(0))};
      break;
    case kRuleAddInvertedBit:  // ADDB, SUBB fr,/bit
      out.words = {word(w[0] | bit_field(2)), word(w[1] | value(0))};
      break;
    default:
      ReportMessage(run, kError, kMsgBadInstruction);
      out.words.assign(form->size, 0);
      break;
  }

  if (jump >= 0 && page_prefix && TakesPagePrefix(id)) {
    int page_word = MakePageWord(run, true, target);
    out.words.insert(out.words.begin() + jump, static_cast<uint16_t>(page_word));
    out.page_inserted = true;
  }
  if (checks_page && run.tracking.PageActive() && PageOf(target) != run.tracking.page) {
    ReportMessage(run, kWarning, kMsgNotInSelectedPage);
  }
  if (IsPlainJump(id)) ClearTracking(run);
  in.size = static_cast<int>(out.words.size());
  return out;
}

}  // namespace tarn
