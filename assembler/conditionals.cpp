#include "assembler/conditionals.h"

#include "assembler/expression.h"
#include "assembler/lexer.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/symbols.h"

namespace tarn {
namespace {

// A new level; -1 after error 22 when kConditionalLimit levels are open.
int Open(TarnRun& run, bool skip) {
  ConditionalStack& c = run.pass_state.conditionals;
  if (c.levels.size() >= kConditionalLimit) return ReportMessage(run, kError, kMsgIfNestingTooDeep);
  c.levels.push_back(skip);
  return 0;
}

}  // namespace

int DoIf(TarnRun& run) {
  // Inside a skipped block only the nesting counts: the operand of a dead IF may name
  // symbols that the live branch never defines.
  if (run.pass_state.conditionals.Skipping()) return Open(run, true);
  if (NextToken(run) == Token::kEndOfLine) return ReportMessage(run, kError, kMsgMissingExpression);
  run.expression.forward_reference = true;
  int32_t value = 0;
  if (EvalExpression(run) != 0) {
    PopValue(run);
    MarkMessage(run, -1, run.messages.last_error_code);
  } else {
    value = PopValue(run).value;
  }
  return Open(run, value < 1);
}

int DoIfdef(TarnRun& run, bool skip_when_defined) {
  if (run.pass_state.conditionals.Skipping()) return Open(run, true);
  Token t = NextToken(run);
  if (t == Token::kEndOfLine) return ReportMessage(run, kError, kMsgMissingExpression);
  if (t != Token::kName) return ReportMessage(run, kError, kMsgBadInstruction);
  bool defined = FindSymbol(run, run.lexer.text) != nullptr;
  return Open(run, defined == skip_when_defined);
}

int DoElse(TarnRun& run) {
  ConditionalStack& c = run.pass_state.conditionals;
  if (c.levels.empty()) return ReportMessage(run, kError, kMsgUnmatchedElse);
  c.levels.back() = !c.levels.back();
  return 0;
}

int DoEndif(TarnRun& run) {
  ConditionalStack& c = run.pass_state.conditionals;
  if (c.levels.empty()) return ReportMessage(run, kError, kMsgUnmatchedEndif);
  c.levels.pop_back();
  return 0;
}

}  // namespace tarn
