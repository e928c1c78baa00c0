#include "assembler/instruction_forms.h"

#include "assembler/instruction_tables.h"

namespace tarn {

const InstructionForm* FindForm(int id, int device_class, const OperandRecords& operands) {
  FormKinds kinds{};
  for (size_t i = 0; i < kinds.size(); ++i) kinds[i] = operands[i].kind;
  return FormOf(static_cast<uint16_t>(id), kinds, static_cast<uint8_t>(device_class));
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
