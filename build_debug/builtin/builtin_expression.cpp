// The built-in assembler's expressions: translated into postfix code, then evaluated on a
// 16-entry stack of 32-bit values. Arithmetic wraps, so no source reaches undefined behaviour.
//
// Precedence, lowest first, each level left-associative: AND OR XOR and the prefix NOT (which
// takes everything up to the next AND, OR or XOR); the comparisons; every other binary
// operator; the prefix operators - + ~ || and \.

#include <climits>
#include <cstdint>

#include "build_debug/builtin/builtin_assembler.h"
#include "build_debug/builtin/builtin_messages.h"
#include "build_debug/builtin/builtin_names.h"

namespace build_debug {
namespace {

namespace msg = builtin_messages;

constexpr int kValueStack = 16;
constexpr int kOperatorStack = 256;
constexpr int kCodeBytes = 255;
constexpr int kConstantBytes = 5;  // opcode and 32-bit value

constexpr std::int32_t kOpNegate = 26;
constexpr std::int32_t kOpConstant = 27;
constexpr std::int32_t kOpParenthesis = 28;

struct Step {
  std::int32_t op;
  std::int32_t value;
};

struct PendingOperator {
  std::int32_t op;
  int precedence;
};

int Precedence(std::uint8_t kind) {
  switch (kind) {
    case kKindLogical: return 1;
    case kKindCompare: return 2;
    default: return 3;
  }
}

constexpr int kPrefixPrecedence = 4;
constexpr int kNotPrecedence = 1;

std::uint32_t Truth(std::uint32_t value) { return value != 0 ? 0xFFFF'FFFFu : 0; }

std::uint32_t Reverse(std::uint32_t value, std::int32_t bits) {
  // Counts outside 1..32 are taken as the nearest of 0 and 32.
  if (bits <= 0) return 0;
  if (bits > 32) bits = 32;
  std::uint32_t result = 0;
  for (std::int32_t n = 0; n < bits; ++n) result = result << 1 | ((value >> n) & 1);
  return result;
}

std::uint32_t Binary(std::int32_t op, std::uint32_t a, std::uint32_t b) {
  auto sa = static_cast<std::int32_t>(a);
  auto sb = static_cast<std::int32_t>(b);
  switch (op) {
    case kOpAnd: return a & b;
    case kOpOr: return a | b;
    case kOpXor: return a ^ b;
    case kOpAdd: return a + b;
    case kOpSubtract: return a - b;
    case kOpMultiply: return a * b;
    case kOpDivide:
    case kOpRemainder:
      // A divisor of 0 counts as 1; INT_MIN / -1 stays INT_MIN with remainder 0.
      if (sb == 0) sb = 1;
      if (sa == INT_MIN && sb == -1) return op == kOpDivide ? a : 0;
      return static_cast<std::uint32_t>(op == kOpDivide ? sa / sb : sa % sb);
    case kOpShiftLeft: return a << (b & 31);
    case kOpShiftRight: return static_cast<std::uint32_t>(sa >> (b & 31));
    case kOpReverse: return Reverse(a, sb);
    case kOpBit: return (b & 7) << 8 | (a & 0xFF);
    case kOpLogicalAnd: return Truth(a) & Truth(b);
    case kOpLogicalOr: return Truth(a) | Truth(b);
    case kOpLogicalXor: return Truth(a) ^ Truth(b);
    case kOpLessEqual: return Truth(sa <= sb);
    case kOpGreaterEqual: return Truth(sa >= sb);
    case kOpEqual: return Truth(sa == sb);
    case kOpNotEqual: return Truth(sa != sb);
    case kOpLess: return Truth(sa < sb);
    case kOpGreater: return Truth(sa > sb);
  }
  return 0;
}

}  // namespace

// Kept whole: the precedence evaluator: its operand and operator stacks live in one loop.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
std::int32_t BuiltinAssembler::Expression(bool strict) {
  std::array<Step, kCodeBytes> code;
  int steps = 0;
  int code_bytes = 0;
  std::array<PendingOperator, kOperatorStack> operators;
  int pending = 0;
  int open = 0;
  bool operand_due = true;
  bool after_binary = false;
  expression_undefined_ = false;

  auto emit = [&](std::int32_t op, std::int32_t value, int bytes) {
    code_bytes += bytes;
    if (code_bytes > kCodeBytes) Fail(msg::kTooComplex);
    code[steps++] = {op, value};
  };
  auto push = [&](std::int32_t op, int precedence) {
    if (pending == kOperatorStack) Fail(msg::kTooComplex);
    operators[pending++] = {op, precedence};
  };
  auto pop_while = [&](int precedence) {
    while (pending > 0 && operators[pending - 1].op != kOpParenthesis &&
           operators[pending - 1].precedence >= precedence) {
      emit(operators[pending - 1].op, 0, 1);
      --pending;
    }
  };

  std::int32_t first_start = -1;
  std::int32_t last_end = 0;
  for (;;) {
    Token t = NextToken();
    if (first_start < 0) first_start = t.start;
    if (operand_due) {
      if (after_binary && t.kind >= kKindW && t.kind <= kKindWdt) {
        // fr-W and PC+W: the operator and W belong to the instruction.
        --pending;
        PushBack();
        PushBack();
        break;
      }
      after_binary = false;
      if (t.kind == kKindConstant || t.kind == kKindVariable) {
        emit(kOpConstant, t.value, kConstantBytes);
        operand_due = false;
      } else if (t.name && t.kind == kKindUndefined) {
        if (strict) Fail(msg::kUndefinedSymbol);
        expression_undefined_ = true;
        emit(kOpConstant, 0, kConstantBytes);
        operand_due = false;
      } else if (t.kind == kKindOpen) {
        push(kOpParenthesis, 0);
        ++open;
      } else if (t.kind == kKindUnary) {
        push(t.value, kPrefixPrecedence);
      } else if (t.kind == kKindBinary && t.value == kOpSubtract) {
        push(kOpNegate, kPrefixPrecedence);
      } else if (t.kind == kKindBinary && t.value == kOpAdd) {
        // A prefix + changes nothing.
      } else if (t.kind == kKindNot) {
        push(kOpNot, kNotPrecedence);
      } else {
        Fail(msg::kExpectedOperand);
      }
      last_end = t.end;
      continue;
    }
    if (t.kind == kKindBinary || t.kind == kKindLogical || t.kind == kKindCompare) {
      int precedence = Precedence(t.kind);
      pop_while(precedence);
      push(t.value, precedence);
      operand_due = true;
      after_binary = true;
      last_end = t.end;
      continue;
    }
    if (t.kind == kKindClose && open > 0) {
      pop_while(0);
      --pending;  // the parenthesis
      --open;
      last_end = t.end;
      continue;
    }
    // Inside parentheses only an operator or ")" may follow an operand. Outside, anything
    // else ends the expression; a ")" without "(" belongs to the instruction.
    if (open > 0) Fail(msg::kExpectedOperator);
    PushBack();
    break;
  }
  pop_while(0);

  expression_start_ = first_start;
  expression_end_ = last_end;
  span_start_ = first_start;
  span_end_ = last_end;

  std::array<std::uint32_t, kValueStack> stack;
  int depth = 0;
  for (int n = 0; n < steps; ++n) {
    const Step& step = code[n];
    switch (step.op) {
      case kOpConstant:
        if (depth == kValueStack) Fail(msg::kTooComplex);
        stack[depth++] = static_cast<std::uint32_t>(step.value);
        break;
      case kOpNegate: stack[depth - 1] = 0u - stack[depth - 1]; break;
      case kOpComplement: stack[depth - 1] = ~stack[depth - 1]; break;
      case kOpNot: stack[depth - 1] = ~Truth(stack[depth - 1]); break;
      case kOpAbsolute:
        if (static_cast<std::int32_t>(stack[depth - 1]) < 0)
          stack[depth - 1] = 0u - stack[depth - 1];
        break;
      case kOpArgument:
        stack[depth - 1] = static_cast<std::uint32_t>(
            MacroArgumentValue(static_cast<std::int32_t>(stack[depth - 1]), strict));
        break;
      default:
        --depth;
        stack[depth - 1] = Binary(step.op, stack[depth - 1], stack[depth]);
        break;
    }
  }
  return static_cast<std::int32_t>(stack[0]);
}

std::int32_t BuiltinAssembler::MacroArgumentValue(std::int32_t index, bool strict) {
  if (frames_.empty()) Fail(msg::kBackslashOutside);
  const MacroFrame& frame = frames_.back();
  if (index == 0) return frame.argument_count;
  if (index < 0 || index > frame.argument_count) Fail(msg::kArgumentIndex);
  const MacroArgument& argument =
      arguments_[static_cast<std::size_t>(frame.first_argument + index - 1)];
  if (argument.unresolved) {
    if (strict) Fail(msg::kArgumentUnresolvable);
    expression_undefined_ = true;
  }
  return argument.value;
}

}  // namespace build_debug
