#pragma once
// The instruction of the current statement: its classified operand records, the page-prefix
// flag and its size in words.
//
// Invariant: records after the last operand read are OP_NULL with value and bit part 0.

#include "assembler/instruction_forms.h"

namespace tarn {

struct InstructionState {
  OperandRecords operands{};
  int operand_count = 0;     // records read, at most kMatchedOperands are kept
  bool page_prefix = false;  // "@" before the address operand
  int size = 1;              // words
};

}  // namespace tarn
