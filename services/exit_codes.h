#pragma once
// What a run started with "/h /p" tells its caller through the program's exit code: whether
// the chip was programmed as asked, and if not, where it stopped. A run started with "/h /d"
// or "/h /da" that cannot reach the debugger (no key answered, programming for debug failed or
// was cancelled) ends with the same codes; other runs exit with 0.

namespace workbench {

enum UnattendedExit : int {
  kExitDone = 0,          // programmed (and verified, with "/v")
  kExitBuildFailed = 1,   // the source did not assemble or compile
  kExitLinkFailed = 2,    // no key answered, the port could not be opened, or the key failed
  kExitCancelled = 3,     // Cancel during programming, or in a question before it
  kExitVerifyFailed = 4,  // the chip read back differs from what was programmed
};

}  // namespace workbench
