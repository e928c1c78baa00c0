// Entry routines of this unit; empty until the unit is built.
#include "workbench/ide_units.h"

namespace workbench {

void TARN_Init(const std::string& /*exe_folder*/) {}
void TarnClearOutputDir() {}
void TarnCleanup() {}

}  // namespace workbench
