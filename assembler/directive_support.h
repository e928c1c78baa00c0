#pragma once
// Shared by the directive handlers: their signatures and the small readers of operands.

#include <cstdint>
#include <string>

#include "assembler/expression.h"

namespace tarn {

struct TarnRun;
struct StatementResult;

using DirectiveHandler = int (*)(TarnRun& run, uint32_t id, StatementResult& result);

// The outcome of an operand expression.
enum class Operand {
  kValue,    // evaluated
  kFailed,   // evaluated with an error; the caller marks or reports it
  kMissing,  // the statement ended: error 11 has been reported
};

// Reads the expression that follows the directive; with `forward` an undefined name is an
// error in pass 1 too.
Operand ReadOperand(TarnRun& run, bool forward, ExprValue* value);

// Defines the statement's label as ADDR with the location counter; it must stand in column 1
// (error 45). 0 or -1.
int DefineDirectiveLabel(TarnRun& run);

// The next token's text when it is a name or a string; false otherwise.
bool ReadNameOrString(TarnRun& run, std::string* text);

// The handlers, by file.
// directives.cpp
int DoEqu(TarnRun& run, uint32_t id, StatementResult& result);
int DoSet(TarnRun& run, uint32_t id, StatementResult& result);
int DoOrg(TarnRun& run, uint32_t id, StatementResult& result);
int DoRes(TarnRun& run, uint32_t id, StatementResult& result);
int DoZero(TarnRun& run, uint32_t id, StatementResult& result);
int DoDs(TarnRun& run, uint32_t id, StatementResult& result);
int DoEnd(TarnRun& run, uint32_t id, StatementResult& result);
int DoLabelOnly(TarnRun& run, uint32_t id, StatementResult& result);
int DoInclude(TarnRun& run, uint32_t id, StatementResult& result);
int DoMacro(TarnRun& run, uint32_t id, StatementResult& result);
int DoEndm(TarnRun& run, uint32_t id, StatementResult& result);
int DoRept(TarnRun& run, uint32_t id, StatementResult& result);
int DoEndr(TarnRun& run, uint32_t id, StatementResult& result);
int DoConditional(TarnRun& run, uint32_t id, StatementResult& result);
// symbol_directives.cpp
int DoReset(TarnRun& run, uint32_t id, StatementResult& result);
int DoFreq(TarnRun& run, uint32_t id, StatementResult& result);
int DoBreak(TarnRun& run, uint32_t id, StatementResult& result);
int DoWatch(TarnRun& run, uint32_t id, StatementResult& result);
int DoIrcCal(TarnRun& run, uint32_t id, StatementResult& result);
int DoError(TarnRun& run, uint32_t id, StatementResult& result);
int DoFuseWord(TarnRun& run, uint32_t id, StatementResult& result);
// setting_directives.cpp
int DoDevice(TarnRun& run, uint32_t id, StatementResult& result);
int DoId(TarnRun& run, uint32_t id, StatementResult& result);
int DoList(TarnRun& run, uint32_t id, StatementResult& result);
int DoRadix(TarnRun& run, uint32_t id, StatementResult& result);
int DoTitle(TarnRun& run, uint32_t id, StatementResult& result);
int DoSubtitle(TarnRun& run, uint32_t id, StatementResult& result);
// The most blank lines one SPAC writes.
inline constexpr int kMaxSpacLines = 1000;
int DoSpac(TarnRun& run, uint32_t id, StatementResult& result);
int DoExpand(TarnRun& run, uint32_t id, StatementResult& result);

}  // namespace tarn
