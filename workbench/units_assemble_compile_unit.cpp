// Entry routines of this unit; empty until the unit is built.
#include "workbench/ide_units.h"

namespace workbench {

void AssembleCompileInit() {}
void AssembleCompileCleanup() {}

}  // namespace workbench
