#include "instruction_set/instruction_set.h"

namespace instruction_set {

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
  return kind == OP_NOT || kind == OP_DIV || kind == OP_MINUS || kind == OP_PLUS ||
         kind == OP_LEFT || kind == OP_RIGHT || kind == OP_LSHIFT || kind == OP_RSHIFT;
}

}  // namespace

std::string OperandSyntax(const InstructionForm& form) {
  std::string text;
  bool after_prefix = false;
  for (int i = 0; i < kFormOperands && form.kinds[i] != OP_NULL; ++i) {
    uint16_t kind = form.kinds[i];
    // A "-" or "+" in front of W joins it to the operand before: fr-W, PC+W.
    bool joins =
        (kind == OP_MINUS || kind == OP_PLUS) && i + 1 < kFormOperands && form.kinds[i + 1] == OP_W;
    if (i > 0 && !after_prefix && !joins) text += ',';
    text += RecordText(kind, form.masks[i]);
    after_prefix = IsPrefix(kind);
  }
  return text;
}

}  // namespace instruction_set
