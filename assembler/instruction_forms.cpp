#include "assembler/instruction_forms.h"

#include "assembler/instruction_tables.h"

namespace tarn {

const InstructionForm* FindForm(int id, int device_class, const OperandRecords& operands) {
  for (const InstructionForm& form : kInstructionForms) {
    if (form.id == 0) break;
    if (form.id != id) continue;
    if (form.device_class != kAnyClass && form.device_class != device_class) continue;
    bool same = true;
    for (int i = 0; i < kMatchedOperands && same; ++i) same = form.kinds[i] == operands[i].kind;
    if (same) return &form;
  }
  return nullptr;
}

bool TakesPagePrefix(int id) {
  switch (id) {
    case kCALL:
    case kJMP:
    case kGOTO:
    case kIJNZ:
    case kDJNZ:
    case kCJE:
    case kCJNE:
    case kCJA:
    case kCJAE:
    case kCJB:
    case kCJBE:
    case kJB:
    case kJC:
    case kJZ:
    case kJNB:
    case kJNC:
    case kJNZ: return true;
    default: return false;
  }
}

int SizeOfInstruction(int id, int device_class, const OperandRecords& operands, bool page_prefix) {
  const InstructionForm* form = FindForm(id, device_class, operands);
  if (!form) return 1;
  // Pass 2 inserts the PAGE word only into a matched form; counting it here for an unmatched
  // one would move every later address between the passes.
  return form->size + (page_prefix && TakesPagePrefix(id) ? 1 : 0);
}

}  // namespace tarn
