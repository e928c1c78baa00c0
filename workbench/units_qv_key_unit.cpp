// Entry routines of this unit; empty until the unit is built.
#include "workbench/ide_units.h"

namespace workbench {

void QVU_Init() {}
void QVU_Cleanup() {}

}  // namespace workbench
