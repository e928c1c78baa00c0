#pragma once
// tarn's matching of the instruction forms (instruction_set/instruction_forms.h) against the
// operand records that the classifier fills.
//
// Invariant: matching compares the first kMatchedOperands kinds, and the first matching row
// whose class restriction allows the device wins.

#include <array>
#include <cstdint>
#include <tuple>

#include "instruction_set/instruction_forms.h"
#include "instruction_set/instruction_set.h"

namespace tarn {

// The operand kinds, the form rows and the form table are the instruction set's
// (instruction_set/instruction_forms.h).
using namespace ::instruction_set;

inline constexpr int kMatchedOperands = std::tuple_size_v<FormKinds>;

struct OperandRecord {
  uint16_t kind = OP_NULL;
  int32_t value = 0;
  int32_t bit = 0;  // the bit part of an expression
};

using OperandRecords = std::array<OperandRecord, kMatchedOperands>;

// The first form of this id whose class restriction allows `device_class` and whose first four
// kinds equal the records' kinds; nullptr when none does.
const InstructionForm* FindForm(int id, int device_class, const OperandRecords& operands);

// True for the instructions whose address operand takes the page prefix "@": CALL, JMP, GOTO,
// IJNZ, DJNZ, CJE to CJBE, JB, JC, JZ, JNB, JNC, JNZ.
bool TakesPagePrefix(int id);

// The size in words of an instruction with these operands: the matching form's size (1 when
// none matches), one more for a page prefix on an instruction that takes one.
int SizeOfInstruction(int id, int device_class, const OperandRecords& operands, bool page_prefix);

}  // namespace tarn
