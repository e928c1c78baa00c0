#include "assembler/encoding.h"

#include "assembler/banks.h"
#include "assembler/expression.h"
#include "assembler/instruction_tables.h"
#include "assembler/lexer.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/text.h"
#include "instruction_set/form_encoding.h"
#include "instruction_set/words.h"

namespace tarn {
namespace {

// The one-word instructions that skip the next word.
bool IsSkipInstruction(uint32_t id) {
  switch (id) {
    case kDECSZ:
    case kINCSZ:
    case kSB:
    case kSNB:
    case kSC:
    case kSKIP:
    case kSZ:
    case kSNC:
    case kSNZ: return true;
    default: return false;
  }
}

// The comma-separated operands of the statement, each an expression with its bit part. With
// `designators`, a second operand W or F is the MCHIP destination: W for 0, F for 1.
//   operands := [ operand { "," operand } ]
//   operand  := expression | W | F
std::vector<ExprValue> ReadOperands(TarnRun& run, bool designators) {
  std::vector<ExprValue> operands;
  LexerState& lx = run.lexer;
  NextToken(run);
  if (lx.kind == Token::kEndOfLine) return operands;
  for (;;) {
    if (designators && operands.size() == 1 && lx.kind == Token::kName &&
        (EqualsNoCase(lx.text, "W") || EqualsNoCase(lx.text, "F"))) {
      operands.push_back({EqualsNoCase(lx.text, "F") ? 1 : 0, 0});
      NextToken(run);
    } else {
      size_t position = lx.position;
      bool ended = lx.line_ended;
      EvalExpression(run);
      operands.push_back(PopValue(run));
      // A token that starts no expression (the evaluator reported it) is passed over.
      if (lx.position == position && lx.line_ended == ended && lx.kind != Token::kComma &&
          lx.kind != Token::kEndOfLine) {
        NextToken(run);
      }
    }
    if (lx.kind == Token::kComma) {
      NextToken(run);
      continue;
    }
    if (lx.kind == Token::kEndOfLine) break;
    // Anything else begins one more operand, written without its comma.
  }
  return operands;
}

// BANK: the bank of a register address becomes the selected bank for the next code lines.
int BankField(TarnRun& run, int32_t value) {
  int limit = run.device.device_class == 2 ? 511 : 255;
  if (value > limit) ReportMessage(run, kWarning, kMsgValueOutOfRange);
  int shift = BankShift(kTarnReader, SixteenRegistersPerBank(run));
  int bank = ((value & 255) >> shift) & kSelectMask;
  run.tracking.bank = bank;
  run.tracking.bank_countdown = kTrackingLines;
  return bank;
}

// PAGE: the page of a program address becomes the selected page for the next code lines.
int PageField(TarnRun& run, int32_t value) {
  if (value > 4095) {
    ReportMessage(run, kWarning, kMsgValueOutOfRange);
    value &= 0xFFF;
  }
  int page = PageOf(value);
  run.tracking.page = page;
  run.tracking.page_countdown = kTrackingLines;
  return page;
}

int ModeField(TarnRun& run, const ExprValue& v) {
  if (v.bit != 0) ReportMessage(run, kWarning, kMsgNonBitfieldOperator);
  if (CheckRange(v.value, 15)) ReportMessage(run, kWarning, kMsgModeValueTruncated);
  return v.value & 15;
}

}  // namespace

StatementWords EncodeOperands(TarnRun& run, const KeywordState& mnemonic, uint16_t address) {
  StatementWords out;
  out.skip = IsSkipInstruction(mnemonic.id);
  std::vector<ExprValue> ops = ReadOperands(run, mnemonic.format == kFmtFrDest);
  size_t n = ops.size();
  int32_t first = n > 0 ? ops[0].value : 0;
  int32_t field = 0;
  switch (mnemonic.format) {
    case kFmtNone:
      if (n > 0) ReportMessage(run, kError, kMsgTooManyOperands);
      break;
    case kFmtFr:
      if (n == 0)
        ReportMessage(run, kError, kMsgMissingFileRegister);
      else if (n > 1)
        ReportMessage(run, kError, kMsgTooManyOperands);
      field = StripBankBits(run, first);
      break;
    case kFmtLiteral:
      if (n == 0)
        ReportMessage(run, kError, kMsgMissingLiteral);
      else if (n > 1)
        ReportMessage(run, kError, kMsgTooManyOperands);
      if (n > 0 && ops[0].bit != 0) ReportMessage(run, kWarning, kMsgNonBitfieldOperator);
      if (CheckRange(first, kLiteralField))
        ReportMessage(run, kWarning, kMsgLiteralTruncatedTo8Bits);
      field = first & kLiteralField;
      break;
    case kFmtBankPageMode:
      if (n == 0)
        ReportMessage(run, kError, kMsgMissingOperands);
      else if (n > 1)
        ReportMessage(run, kError, kMsgTooManyOperands);
      if (mnemonic.id == kBANK) {
        field = BankField(run, first);
        out.bank_or_page = true;
      } else if (mnemonic.id == kPAGE) {
        field = PageField(run, first);
        out.bank_or_page = true;
      } else {
        field = ModeField(run, n > 0 ? ops[0] : ExprValue{});
      }
      break;
    case kFmtFrDest: {
      uint32_t d = 1;
      if (n == 0)
        ReportMessage(run, kError, kMsgMissingFileRegister);
      else if (n == 1)
        ReportMessage(run, kComment, kMsgNoDestinationBit);
      else if (n > 2)
        ReportMessage(run, kError, kMsgTooManyOperands);
      if (n >= 2) d = static_cast<uint32_t>(ops[1].value);
      if (d > 1) {
        ReportMessage(run, kError, kMsgBadDestinationBit);
        d = 1;
      }
      field = StripBankBits(run, first) | (d == 1 ? run.device.destination_bit : 0);
      break;
    }
    case kFmtFrBit: {
      if (n < 2)
        ReportMessage(run, kError, kMsgMissingOperands);
      else if (n > 2)
        ReportMessage(run, kError, kMsgTooManyOperands);
      int32_t bit = n >= 2 ? ops[1].value : 0;
      if (bit < 0 || bit > 7) {
        ReportMessage(run, kError, kMsgBitNumberOutOfRange);
        bit &= 7;
      }
      field = StripBankBits(run, first) | bit * 32;
      break;
    }
    case kFmtSkip:
      if (n > 0) ReportMessage(run, kError, kMsgTooManyOperands);
      // Skips the next word when it is the second of a pair: bit 8 set at even addresses.
      field = (address & 1) == 0 ? kSkipEvenBit : 0;
      break;
    default: ReportMessage(run, kError, kMsgBadInstruction); break;
  }
  out.words.push_back(RowWord(mnemonic.opcode_template, field));
  return out;
}

StatementWords EncodeStatement(TarnRun& run, KeywordState mnemonic, uint16_t address) {
  StatementWords out;
  switch (mnemonic.format) {
    case kFmtForms: out = EncodeCompound(run, static_cast<int>(mnemonic.id)); break;
    case kFmtDataList:
    case kFmtRetwList: {
      DataList list = EncodeDataList(run, mnemonic.format == kFmtRetwList);
      if (!list.well_formed) ReportMessage(run, kError, kMsgBadInstruction);
      out.words = std::move(list.words);
      break;
    }
    default: out = EncodeOperands(run, mnemonic, address); break;
  }
  run.instruction.size = static_cast<int>(out.words.size());
  return out;
}

int StoreStatementWords(TarnRun& run, int address, const std::vector<uint16_t>& words) {
  int size = static_cast<int>(words.size());
  int memory = static_cast<int>(run.device.program_size);
  if (address + size > memory) ReportMessage(run, kError, kMsgAddressBeyondMemory);
  std::vector<uint16_t>& image = run.image.words;
  for (int i = 0; i < size; ++i) {
    int at = address + i;
    if (at < 0 || at >= memory) continue;
    if (image[static_cast<size_t>(at)] != kBlankWord)
      ReportMessage(run, kError, kMsgOverwritingLocation);
    image[static_cast<size_t>(at)] = words[static_cast<size_t>(i)];
  }
  return address + size;
}

void FollowPreviousSkip(TarnRun& run, const StatementWords& statement) {
  // A skip passes over one word only; a PAGE word before the jump is accepted as it is.
  if (statement.words.size() >= 2 && run.encoding.previous_skip && !statement.page_inserted) {
    ReportMessage(run, kWarning, kMsgMultiWordAfterSkip);
  }
  if (!statement.bank_or_page) run.encoding.previous_skip = statement.skip;
}

void ResetEncodingState(TarnRun& run) {
  run.encoding = EncodingState{};
  run.tracking = BankPageTracking{};
}

void CountDownTracking(TarnRun& run) {
  BankPageTracking& t = run.tracking;
  if (t.page_countdown > 0) --t.page_countdown;
  if (t.bank_countdown > 0) --t.bank_countdown;
}

void ClearTracking(TarnRun& run) {
  run.tracking.bank_countdown = 0;
  run.tracking.page_countdown = 0;
}

}  // namespace tarn
