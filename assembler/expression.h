#pragma once
// The expression evaluator: one recursive descent over the lexer's tokens. Values are pairs
// of a 32-bit value and a bit field, so that register-bit addresses such as RA.2 survive
// arithmetic; results are left on a small stack that the caller pops.
//
// Invariants: -kStackLimit <= depth <= kStackLimit; the slot of depth d is stack[kStackLimit + d];
// a push past the top ends the run with exit code 8, a pop past the bottom with exit code 9.
// Arithmetic wraps in 32 bits.

#include <array>
#include <cstdint>

namespace tarn {

struct TarnRun;

struct ExprValue {
  int32_t value = 0;
  uint16_t bit = 0;
};

inline constexpr int kStackLimit = 32;

struct ExpressionState {
  // The base is in the middle: popping below it reads cleared slots, value 0.
  std::array<ExprValue, 2 * kStackLimit + 1> stack{};
  int depth = 0;
  int lowest = 0;  // the lowest and highest depth reached in the run
  int highest = 0;
  // The depths written since the stack was last cleared: only those slots need clearing.
  int written_low = 1;
  int written_high = 0;

  // Set by the directives whose names must be defined already (IF, ORG, EQU...): an
  // undefined name is then an error in pass 1 too.
  bool forward_reference = false;
  // Whether the last dot-level operand had a "."; a symbol defined then carries a bit field.
  bool dot_used = false;
  // Set by the encoder around one operand: bit numbers up to 31 in the IDE's mode.
  bool wide_bit = false;
  // The location counter of the statement, which "$" reads; the passes keep it here.
  uint16_t location = 0;
};

// Evaluates one expression from the current token and leaves its value on the stack. 0, or
// -1 when an error-level report (or an illegal character) happened meanwhile. The current
// token afterwards is the first one not used.
//   comparison     := additive [ ("=" | "==" | "!=" | "<" | ">" | "<=" | ">=" | "&&" | "||")
//   additive ] additive       := multiplicative { ("+" | "-" | "|") multiplicative } multiplicative
//   := dot { ("*" | "/" | "//" | "&" | "^" | "<<" | ">>" | "><") dot } dot            := primary [
//   "." primary ] primary        := number | string | "(" comparison ")" | ("+" | "-" | "~" | "!" |
//   "||" | ".") primary
//                   | name | at-name
int EvalExpression(TarnRun& run);

void PushValue(TarnRun& run, int32_t value, uint16_t bit);
ExprValue PopValue(TarnRun& run);
int32_t PopInt(TarnRun& run);
// The line reader clears the stack for every line it delivers.
void ClearExpressionStack(TarnRun& run);

// "\nExpression Evaluation Stack Stats - Min: %d, Max: %d\n", after each pass.
void PrintStackStatistics(TarnRun& run);

// The operators, for the evaluator and its tests. Division by zero gives 0; the caller warns.
int32_t DivideValues(int32_t left, int32_t right);
int32_t RemainderOf(int32_t left, int32_t right);
int32_t ReverseBits(int32_t value, int32_t count);

}  // namespace tarn
