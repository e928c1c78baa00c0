#pragma once
// The entry and exit routines of the IDE's units that are not built yet. The main window calls
// each at its place in start-up and shut-down; each routine does nothing until its unit
// arrives, and then the unit's own routine takes its place.

#include <string>

namespace workbench {

// The assemble/compile dispatcher.
void AssembleCompileInit();
void AssembleCompileCleanup();

}  // namespace workbench
