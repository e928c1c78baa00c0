#include "assembler/expression.h"

#include <climits>
#include <string>

#include "assembler/instruction_tables.h"
#include "assembler/keywords.h"
#include "assembler/lexer.h"
#include "assembler/macros.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/symbols.h"

namespace tarn {
namespace {

// Local labels joined to the last global label are kept on this many characters.
constexpr size_t kLocalLabelLimit = 130;

int32_t Wrap(uint32_t v) { return static_cast<int32_t>(v); }
uint32_t U(int32_t v) { return static_cast<uint32_t>(v); }

void Warn53(TarnRun& run) { ReportMessage(run, kWarning, kMsgNonBitfieldOperator); }

int MaxBitNumber(const TarnRun& run) {
  return run.expression.wide_bit && run.options.kestrian ? 31 : 7;
}

void Comparison(TarnRun& run);
void Primary(TarnRun& run);

// A register or bit name stands for its value; it enters the symbol table on first use so
// that the cross-reference shows it.
void RegisterOrBitName(TarnRun& run, std::string_view name) {
  const KeywordState& k = run.keyword;
  bool bit_name = k.format == kFmtBitName;
  int32_t reg = bit_name ? (k.opcode_template & 0xFF) : k.opcode_template;
  uint16_t bit = bit_name ? static_cast<uint16_t>(k.opcode_template >> 8) : 0;
  PushValue(run, reg, bit);
  if (!FindSymbol(run, name)) DefineSymbolBit(run, name, reg, bit, bit_name ? kSymResb : kSymResv);
}

void NamePrimary(TarnRun& run) {
  std::string_view name = run.lexer.text;
  std::string joined;  // a local name made whole
  // The statement's own keyword (its mnemonic) stays in force while its operands are read.
  KeywordState statement_keyword = run.keyword;
  bool keyword = LookupKeyword(run);
  if (keyword) {
    if (run.keyword.id == kName && run.keyword.operand_count == 1 && !run.keyword.directive &&
        !run.keyword.macro) {
      RegisterOrBitName(run, name);
    } else {
      SetMessageArgument(run, name);
      ReportMessage(run, kError, kMsgReservedWord);
    }
  }
  run.keyword = statement_keyword;
  if (keyword) {
    NextToken(run);
    return;
  }
  if (name == "$") {
    PushValue(run, run.expression.location, 0);
  } else if (name == "%" && ReptActive(run)) {
    PushValue(run, ReptIteration(run), 0);
  } else {
    if (name[0] == '`' && InMacroExpansion(run)) {
      joined = LocalSymbolName(run, name);
      name = joined;
    } else if (name[0] == ':') {
      joined = run.sources.last_global_label;
      joined += name;
      if (joined.size() > kLocalLabelLimit) joined.resize(kLocalLabelLimit);
      name = joined;
    }
    if (const SymbolNode* symbol = FindSymbol(run, name)) {
      PushValue(run, symbol->value, symbol->bit);
    } else if (run.pass == 2 || run.expression.forward_reference) {
      // Nothing is pushed: the caller's pop reads a cleared slot.
      SetMessageArgument(run, name);
      ReportMessage(run, kError, kMsgSymbolUndefined);
    }
  }
  NextToken(run);
}

void UnaryPrimary(TarnRun& run, Token op) {
  NextToken(run);
  Primary(run);
  ExprValue v = PopValue(run);
  if (op != Token::kPlus && op != Token::kDot && v.bit != 0) Warn53(run);
  int32_t result = v.value;
  switch (op) {
    case Token::kMinus: result = Wrap(0u - U(v.value)); break;
    case Token::kTilde: result = ~v.value; break;
    case Token::kNot: result = v.value == 0 ? 1 : 0; break;
    case Token::kLogicalOr: result = v.value < 0 ? Wrap(0u - U(v.value)) : v.value; break;
    case Token::kDot: result = v.bit; break;
    default: break;
  }
  PushValue(run, result, 0);
}

void Primary(TarnRun& run) {
  Token t = run.lexer.kind;
  switch (t) {
    case Token::kNumber:
      PushValue(run, ConvertNumber(run), 0);
      NextToken(run);
      return;
    case Token::kString: {
      // The first character as a signed byte, whatever the signedness of char.
      int32_t c = run.lexer.text.empty() ? 0 : static_cast<signed char>(run.lexer.text[0]);
      PushValue(run, c, 0);
      NextToken(run);
      return;
    }
    case Token::kLeftParen:
      NextToken(run);
      Comparison(run);
      if (run.lexer.kind != Token::kRightParen) {
        ReportMessage(run, kError, kMsgMissingRightParenthesis);
        return;
      }
      NextToken(run);
      return;
    case Token::kPlus:
    case Token::kMinus:
    case Token::kTilde:
    case Token::kNot:
    case Token::kLogicalOr:
    case Token::kDot: UnaryPrimary(run, t); return;
    case Token::kName:
    case Token::kAtName: NamePrimary(run); return;
    default: ReportMessage(run, kError, kMsgBadExpression); return;
  }
}

void Dot(TarnRun& run) {
  run.expression.dot_used = false;
  Primary(run);
  if (run.lexer.kind != Token::kDot) return;
  run.expression.dot_used = true;
  NextToken(run);
  Primary(run);
  ExprValue number = PopValue(run);
  ExprValue left = PopValue(run);
  int max = MaxBitNumber(run);
  if (run.pass == 2) {
    if (left.bit != 0 || number.bit != 0) Warn53(run);
    if (number.value < 0 || number.value > max)
      ReportMessage(run, kWarning, kMsgBitNumberOutOfRange);
  }
  PushValue(run, left.value, static_cast<uint16_t>(number.value & max));
}

bool IsMultiplicative(Token t) {
  switch (t) {
    case Token::kStar:
    case Token::kSlash:
    case Token::kModulo:
    case Token::kAnd:
    case Token::kCaret:
    case Token::kShiftLeft:
    case Token::kShiftRight:
    case Token::kReverse: return true;
    default: return false;
  }
}

void Multiplicative(TarnRun& run) {
  Dot(run);
  while (IsMultiplicative(run.lexer.kind)) {
    Token op = run.lexer.kind;
    NextToken(run);
    Dot(run);
    ExprValue r = PopValue(run);
    ExprValue l = PopValue(run);
    if (l.bit != 0 || r.bit != 0) Warn53(run);
    ExprValue result;
    switch (op) {
      case Token::kStar: result.value = Wrap(U(l.value) * U(r.value)); break;
      case Token::kSlash:
        if (r.value == 0) ReportMessage(run, kWarning, kMsgDivisionByZero);
        result.value = DivideValues(l.value, r.value);
        break;
      case Token::kModulo: result.value = RemainderOf(l.value, r.value); break;
      case Token::kAnd:
        result.value = l.value & r.value;
        result.bit = l.bit & r.bit;
        break;
      case Token::kCaret:
        result.value = l.value ^ r.value;
        result.bit = l.bit ^ r.bit;
        break;
      case Token::kShiftLeft: result.value = Wrap(U(l.value) << (U(r.value) & 31)); break;
      case Token::kShiftRight: result.value = l.value >> (U(r.value) & 31); break;
      case Token::kReverse: result.value = ReverseBits(l.value, r.value); break;
      default: break;
    }
    PushValue(run, result.value, result.bit);
  }
}

void Additive(TarnRun& run) {
  Multiplicative(run);
  while (run.lexer.kind == Token::kPlus || run.lexer.kind == Token::kMinus ||
         run.lexer.kind == Token::kOr) {
    Token op = run.lexer.kind;
    NextToken(run);
    Multiplicative(run);
    ExprValue r = PopValue(run);
    ExprValue l = PopValue(run);
    if (l.bit != 0 && r.bit != 0) Warn53(run);
    if (op == Token::kOr) {
      PushValue(run, l.value | r.value, static_cast<uint16_t>(l.bit | r.bit));
      continue;
    }
    // Bit numbers carry into the register address in steps of 8.
    int bit = op == Token::kPlus ? l.bit + r.bit : l.bit - r.bit;
    int carry = 0;
    if (op == Token::kPlus && bit > 7) {
      carry = bit / 8;
      bit %= 8;
    } else if (op == Token::kMinus && bit < 0) {
      carry = -((-bit + 7) / 8);
      bit -= carry * 8;
    }
    uint32_t value = op == Token::kPlus ? U(l.value) + U(r.value) : U(l.value) - U(r.value);
    PushValue(run, Wrap(value + static_cast<uint32_t>(carry)), static_cast<uint16_t>(bit));
  }
}

bool IsComparison(Token t) {
  switch (t) {
    case Token::kAssign:
    case Token::kEqual:
    case Token::kNotEqual:
    case Token::kLess:
    case Token::kGreater:
    case Token::kLessEqual:
    case Token::kGreaterEqual:
    case Token::kLogicalAnd:
    case Token::kLogicalOr: return true;
    default: return false;
  }
}

bool Less(const ExprValue& l, const ExprValue& r) {
  return l.value != r.value ? l.value < r.value : l.bit < r.bit;
}

// One comparison at most: a second comparison operator ends the expression.
void Comparison(TarnRun& run) {
  Additive(run);
  Token op = run.lexer.kind;
  if (!IsComparison(op)) return;
  NextToken(run);
  Additive(run);
  ExprValue r = PopValue(run);
  ExprValue l = PopValue(run);
  bool equal = l.value == r.value && l.bit == r.bit;
  bool result = false;
  switch (op) {
    case Token::kAssign:
    case Token::kEqual: result = equal; break;
    case Token::kNotEqual: result = !equal; break;
    case Token::kLess: result = Less(l, r); break;
    case Token::kGreater: result = Less(r, l); break;
    case Token::kLessEqual: result = !Less(r, l); break;
    case Token::kGreaterEqual: result = !Less(l, r); break;
    case Token::kLogicalAnd:
    case Token::kLogicalOr:
      if (l.bit != 0 || r.bit != 0) Warn53(run);
      result = op == Token::kLogicalAnd ? (l.value != 0 && r.value != 0)
                                        : (l.value != 0 || r.value != 0);
      break;
    default: break;
  }
  PushValue(run, result ? 1 : 0, 0);
}

}  // namespace

int32_t DivideValues(int32_t left, int32_t right) {
  if (right == 0) return 0;
  if (left == INT32_MIN && right == -1) return INT32_MIN;
  return left / right;
}

int32_t RemainderOf(int32_t left, int32_t right) {
  if (right == 0 || right == -1) return 0;
  return left % right;
}

int32_t ReverseBits(int32_t value, int32_t count) {
  if (count <= 0) return value;
  unsigned n = U(count) & 31;
  uint32_t v = U(value);
  uint32_t mask = n == 0 ? 0 : (1u << n) - 1;
  uint32_t reversed = 0;
  for (unsigned i = 0; i < n; ++i) {
    if (v & (1u << i)) reversed |= 1u << (n - 1 - i);
  }
  return Wrap((v & ~mask) | reversed);
}

int EvalExpression(TarnRun& run) {
  run.messages.error_calls = 0;
  run.messages.last_error_code = 0;
  Comparison(run);
  return run.messages.error_calls != 0 ? -1 : 0;
}

void PushValue(TarnRun& run, int32_t value, uint16_t bit) {
  ExpressionState& e = run.expression;
  ++e.depth;
  if (e.depth > kStackLimit) {
    Print(run, "\nStack overflow exceeded max value of %d", kStackLimit);
    throw TarnExit{8};
  }
  if (e.depth > e.highest) e.highest = e.depth;
  if (e.depth < e.written_low) e.written_low = e.depth;
  if (e.depth > e.written_high) e.written_high = e.depth;
  e.stack[static_cast<size_t>(kStackLimit + e.depth)] = {value, bit};
}

ExprValue PopValue(TarnRun& run) {
  ExpressionState& e = run.expression;
  ExprValue v = e.stack[static_cast<size_t>(kStackLimit + e.depth)];
  --e.depth;
  if (e.depth < -kStackLimit) {
    Print(run, "\nStack underflow exceeded min value of %d", -kStackLimit);
    throw TarnExit{9};
  }
  if (e.depth < e.lowest) e.lowest = e.depth;
  return v;
}

int32_t PopInt(TarnRun& run) { return PopValue(run).value; }

void ClearExpressionStack(TarnRun& run) {
  ExpressionState& e = run.expression;
  for (int d = e.written_low; d <= e.written_high; ++d)
    e.stack[static_cast<size_t>(kStackLimit + d)] = ExprValue{};
  e.written_low = 1;
  e.written_high = 0;
  e.depth = 0;
}

void PrintStackStatistics(TarnRun& run) {
  Print(run, "\nExpression Evaluation Stack Stats - Min: %d, Max: %d\n", run.expression.lowest,
        run.expression.highest);
}

}  // namespace tarn
