#include "assembler/pass1.h"

#include "assembler/labels.h"
#include "assembler/lexer.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/statements.h"
#include "assembler/symbols.h"

namespace tarn {

int RunPass1(TarnRun& run) {
  BeginPass(run);
  int outcome = 0;
  for (;;) {
    if (ReadLine(run) < 0) {
      ReportMessage(run, kError, kMsgUnexpectedEof);
      throw TarnExit{1};
    }
    Token first = NextToken(run);
    if (first == Token::kName) {
      if (ProcessStatement(run).status != 0) {
        outcome = -1;
        break;
      }
      if (run.pass_state.end_seen) break;
    } else if (first == Token::kComma || first == Token::kNumber || first == Token::kString ||
               (first != Token::kEndOfLine && run.pass_state.strict)) {
      // No statement begins so; strict parsing refuses any other first token as well.
      ReportMessage(run, kError, kMsgBadInstruction);
    }
  }
  if (outcome == 0) SetPass1Defaults(run);
  run.sources.lines_read_pass1 = run.sources.total_lines;
  return outcome;
}

void SetPass1Defaults(TarnRun& run) {
  if (!FindSymbol(run, "__QV_IRC_CAL")) {
    DefineName(run, "__QV_IRC_CAL", 0, 0, kSymData);
    run.image.irc_cal = 0;
    ReportAtLineOne(run, kWarning, kMsgNoIrcCal);
  }
  if (!FindSymbol(run, "__QV_FREQ")) {
    run.image.frequency = 50000000;
    DefineName(run, "__QV_FREQ", 50000000, 0, kSymData);
    ReportAtLineOne(run, kWarning, kMsgNoFreq);
  }
  if (!run.device.declared) ReportAtLineOne(run, kWarning, kMsgNoDevice);
}

}  // namespace tarn
