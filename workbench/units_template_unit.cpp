// Entry routines of this unit; empty until the unit is built.
#include "workbench/ide_units.h"

namespace workbench {

void TemplateInit(const std::string& /*exe_folder*/) {}
void TemplateCleanup() {}

}  // namespace workbench
