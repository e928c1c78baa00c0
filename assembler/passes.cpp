#include "assembler/passes.h"

#include "assembler/run.h"

namespace tarn {

void RunPass2(TarnRun&) {}

}  // namespace tarn
