#pragma once
// The directives: one handler per directive id, each for both passes, and the class of the
// listing line that each directive's line gets in pass 2.

#include <cstdint>

namespace tarn {

struct TarnRun;
struct StatementResult;

// Runs directive `id` with its name as the lexer's current token; the statement's label (if
// any) is in run.pass_state.label. Fills `result` (line class and value) and returns 0, or -1
// when the statement fails.
int RunDirective(TarnRun& run, uint32_t id, StatementResult& result);

// The conditional directives run even inside a skipped block.
bool IsConditionalDirective(uint32_t id);

}  // namespace tarn
