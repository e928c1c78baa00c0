#pragma once
// The instruction of the current statement: its classified operand records, the page-prefix
// flag and its size in words.
//
// Invariant: records after the last operand read are OP_NULL with value and bit part 0.

#include "assembler/instruction_forms.h"

namespace tarn {

struct TarnRun;

struct InstructionState {
  OperandRecords operands{};
  int operand_count = 0;     // records read; at most kMatchedOperands are kept
  bool page_prefix = false;  // "@" before the address operand
  int size = 1;              // words
};

// Reads the operands of the statement, whose mnemonic is the current token, into
// run.instruction, one record per operand and per operator token:
//   operands := record { [","] record }
//   record   := "+" | "-" | "/" | "!" | "<" | ">" | "<<" | ">>"
//             | "#" expression                         OP_LIT
//             | W | M | PC | OPTION | WDT              their own kinds
//             | RA..RE right after "!"                 OP_RA..OP_RE
//             | expression                             OP_BIT with a bit part, else OP_FR
// "@" (alone or before a name) sets the page prefix. MOV W,fr-W keeps "-W" out of the
// register expression. Error 72 when two operands stand without a comma. Returns the
// page-prefix flag.
bool ClassifyOperands(TarnRun& run, int id);

// Pass 1: classifies the operands and sets run.instruction.size from the matching form
// (1 when none matches), one more with the page prefix on a jump. Returns the size.
int SizeInstruction(TarnRun& run, int id);

}  // namespace tarn
