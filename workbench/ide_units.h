#pragma once
// The entry and exit routines of the IDE's units that are not built yet. The main window calls
// each at its place in start-up and shut-down; each routine does nothing until its unit
// arrives, and then the unit's own routine takes its place.

#include <string>

namespace workbench {

// The key link (serial port) and the key worker.
void ComInit();
void SetComPort(const std::string& port);
void QVU_Init();
void QVU_Cleanup();

// The tarn bridge.
void TARN_Init(const std::string& exe_folder);
void TarnClearOutputDir();
void TarnCleanup();

// The BASIC compiler and simulator bridges.
void QvBasicInit(const std::string& exe_folder);
void QvBasicClearOutputDir();
void QvBasicCleanup();
void QvSimInit(const std::string& exe_folder);
void QvSimCleanup();

// The assemble/compile dispatcher and the template unit.
void AssembleCompileInit();
void AssembleCompileCleanup();
void TemplateInit(const std::string& exe_folder);
void TemplateCleanup();

}  // namespace workbench
