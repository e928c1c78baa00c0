#include "assembler/object_writers.h"

#include "assembler/run.h"

namespace tarn {

int WriteObject(TarnRun&) { return 0; }

}  // namespace tarn
