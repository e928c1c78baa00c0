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
#include "instruction_set/form_encoding.h"
#include "instruction_set/words.h"

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

// The target of CALL, JMP or GOTO: CALL reaches the first half of a page only. Returns whether
// the jump is checked against the page that PAGE selected (not CALL's).
bool CheckPlainTarget(TarnRun& run, int id, int32_t target) {
  if (id != kCALL) {
    if (target > run.device.jmp_mask) ReportMessage(run, kComment, kMsgAddressBeyondMemory);
    return true;
  }
  if (target & kUpperHalfOfPage) {
    SetMessageArgument(run, std::to_string(target));
    ReportMessage(run, kError, kMsgNotInLowerHalfOfPage);
  }
  if (target > run.device.call_mask) ReportMessage(run, kComment, kMsgAddressBeyondMemory);
  return false;
}

// Whether the instruction skips the next word: MOVSZ, SB, SNB and the compare-and-skip forms.
bool Skips(int id, const InstructionForm& form) {
  switch (form.encoding) {
    case kRuleCompareSkip:
    case kRuleCompareSkipAbove:
    case kRuleCompareSkipRegisters: return true;
    default: return id == kMOVSZ || id == kSB || id == kSNB;
  }
}

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
  // MOV !fr,#lit writes a port's direction register: only tarn's ports are taken.
  if (form->encoding == kRuleWritePortLiteral && !IsPort(kTarnReader, ops[1].value) && finding == 0)
    finding = kMsgValueOutOfRange;
  if (finding != 0) ReportMessage(run, kWarning, finding);

  const int32_t address_field = id == kCALL ? run.device.call_mask : run.device.jmp_mask;
  int jump = -1;             // the index of the jump word, which the page prefix precedes
  int32_t target = 0;        // its address
  bool checks_page = false;  // the jump leaves the page that PAGE selected
  if (IsPlainJump(id)) {
    jump = 0;  // JMP W and JMP PC+W are their bare templates, without a target
    if (form->masks[0] != 0) {
      target = ops[0].value;
      checks_page = CheckPlainTarget(run, id, target);
    }
  }

  FormWords encoded = EncodeForm(*form, [&](int record, FieldUse use) -> int32_t {
    const OperandRecord& r = ops[static_cast<size_t>(record)];
    switch (use) {
      case FieldUse::kBit: return BitField(run, r.value, r.bit);
      case FieldUse::kAddress: return r.value & address_field;
      default: return r.value;
    }
  });
  if (encoded.count == 0) {
    ReportMessage(run, kError, kMsgBadInstruction);
    out.words.assign(form->size, 0);
  } else {
    out.words.assign(encoded.words.begin(), encoded.words.begin() + encoded.count);
  }
  if (encoded.jump >= 0) {
    // A compound jump's address is its last operand.
    jump = encoded.jump;
    target = ops[static_cast<size_t>(encoded.jump_record)].value;
    checks_page = true;
  }
  out.skip = Skips(id, *form);

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
