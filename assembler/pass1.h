#pragma once
// Pass 1: defines every label and symbol and sizes every statement, so that pass 2 knows all
// addresses. It stops at the first statement that fails.

namespace tarn {

struct TarnRun;

// Runs pass 1 over the main source, which the caller has opened. 0 when it ran to END, -1
// when a statement stopped it. A source without END ends the run with error 32 (exit code 1).
int RunPass1(TarnRun& run);

// After a pass 1 that ran to its end: __QV_IRC_CAL and __QV_FREQ get their defaults when no
// directive gave them (warnings 65 and 66), and warning 71 says that no device was named; all
// three are reported at line 1.
void SetPass1Defaults(TarnRun& run);

}  // namespace tarn
