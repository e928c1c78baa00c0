#include "instruction_set/instruction_set.h"

namespace instruction_set {

const char* OperandKindName(uint16_t kind) {
  switch (kind) {
    case OP_NULL: return "OP_NULL";
    case OP_W: return "OP_W";
    case OP_M: return "OP_M";
    case OP_FR: return "OP_FR";
    case OP_NOT: return "OP_NOT";
    case OP_DIV: return "OP_DIV";
    case OP_MINUS: return "OP_MINUS";
    case OP_PLUS: return "OP_PLUS";
    case OP_LEFT: return "OP_LEFT";
    case OP_RIGHT: return "OP_RIGHT";
    case OP_LSHIFT: return "OP_LSHIFT";
    case OP_RSHIFT: return "OP_RSHIFT";
    case OP_LIT: return "OP_LIT";
    case OP_OPTION: return "OP_OPTION";
    case OP_WDT: return "OP_WDT";
    case OP_PC: return "OP_PC";
    case OP_RA: return "OP_RA";
    case OP_RB: return "OP_RB";
    case OP_RC: return "OP_RC";
    case OP_RD: return "OP_RD";
    case OP_RE: return "OP_RE";
    case OP_BIT: return "OP_BIT";
    default: return "UNKNOWN";
  }
}

namespace {

// The text of one operand record; prefix operators are written before what follows them.
const char* RecordText(uint16_t kind, uint16_t mask) {
  switch (kind) {
    case OP_W: return "W";
    case OP_M: return "M";
    case OP_FR: return mask == kAddressMask ? "addr" : "fr";
    case OP_BIT: return "bit";
    case OP_LIT: return mask == kAddressMask ? "#addr" : "#lit";
    case OP_NOT: return "!";
    case OP_DIV: return "/";
    case OP_MINUS: return "-";
    case OP_PLUS: return "+";
    case OP_LEFT: return "<";
    case OP_RIGHT: return ">";
    case OP_LSHIFT: return "<<";
    case OP_RSHIFT: return ">>";
    case OP_OPTION: return "OPTION";
    case OP_WDT: return "WDT";
    case OP_PC: return "PC";
    case OP_RA: return "RA";
    case OP_RB: return "RB";
    case OP_RC: return "RC";
    case OP_RD: return "RD";
    case OP_RE: return "RE";
    default: return "?";
  }
}

bool IsPrefix(uint16_t kind) {
  return kind == OP_NOT || kind == OP_DIV || kind == OP_MINUS || kind == OP_PLUS || kind == OP_LEFT ||
         kind == OP_RIGHT || kind == OP_LSHIFT || kind == OP_RSHIFT;
}

}  // namespace

std::string OperandSyntax(const InstructionForm& form) {
  std::string text;
  bool after_prefix = false;
  for (int i = 0; i < kFormOperands && form.kinds[i] != OP_NULL; ++i) {
    uint16_t kind = form.kinds[i];
    // A "-" or "+" in front of W joins it to the operand before: fr-W, PC+W.
    bool joins = (kind == OP_MINUS || kind == OP_PLUS) && i + 1 < kFormOperands && form.kinds[i + 1] == OP_W;
    if (i > 0 && !after_prefix && !joins) text += ',';
    text += RecordText(kind, form.masks[i]);
    after_prefix = IsPrefix(kind);
  }
  return text;
}

}  // namespace instruction_set
