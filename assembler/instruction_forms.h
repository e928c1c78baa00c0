#pragma once
// The instruction forms: for each instruction, the operand kinds it accepts and the one to
// four 12-bit words it becomes, and the operand records that the classifier fills.
//
// Invariants: kInstructionForms holds kFormCount rows and then an end row with id 0; a row's
// size is 1 to 4 and only its first `size` word templates are used; a mask of 0 means that the
// operand at that record position is not encoded; kinds after the last operand are OP_NULL.
// Matching compares the first kMatchedOperands kinds, and the first matching row wins.

#include <array>
#include <cstdint>

namespace tarn {

// Operand kinds, by the classifier's names. Code 19 is not assigned.
enum OperandKind : uint16_t {
  OP_NULL = 0,
  OP_W = 1,
  OP_M = 2,
  OP_FR = 3,       // any other expression
  OP_NOT = 4,      // "!"
  OP_DIV = 5,      // "/"
  OP_MINUS = 6,    // "-"
  OP_PLUS = 7,     // "+"
  OP_LEFT = 8,     // "<"
  OP_RIGHT = 9,    // ">"
  OP_LSHIFT = 10,  // "<<"
  OP_RSHIFT = 11,  // ">>"
  OP_LIT = 12,     // "#" expression
  OP_OPTION = 13,
  OP_WDT = 14,
  OP_PC = 15,
  OP_RA = 16,
  OP_RB = 17,
  OP_RC = 18,
  OP_RD = 20,
  OP_RE = 21,
  OP_BIT = 23,  // an expression that carries a bit number
};

// "OP_FR" and the like; "UNKNOWN" for a code without a name.
const char* OperandKindName(uint16_t kind);

// Device class restriction of a form.
enum FormClass : uint8_t { kAnyClass = 0, kClass2K = 1, kClass4K = 2 };

struct InstructionForm {
  uint16_t id;
  uint8_t device_class;  // FormClass
  uint8_t size;          // words
  uint8_t encoding;      // the encoder's case
  uint8_t spare;
  uint16_t words[4];  // templates
  uint16_t masks[5];  // per operand record
  uint16_t kinds[5];  // per operand record
};

inline constexpr int kFormCount = 134;
inline constexpr int kMatchedOperands = 4;
extern const InstructionForm kInstructionForms[kFormCount + 1];

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
