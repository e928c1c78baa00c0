#include "assembler/passes.h"

#include "assembler/run.h"

namespace tarn {

void RunPass1(TarnRun&) {}

void RunPass2(TarnRun&) {}

void PrintStackStatistics(TarnRun& run) {
  Print(run, "\nExpression Evaluation Stack Stats - Min: %d, Max: %d\n", 0, 0);
}

}  // namespace tarn
