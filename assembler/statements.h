#pragma once
// One statement of either pass: conditional assembly, labels, directives, macro calls and
// instructions. Pass 1 and pass 2 run the same code; where a directive does more (or other
// things) in pass 2, the branch on run.pass is in its own handler.
//
// A pass runs it like this (pass 1 in RunPass1; pass 2 the same way, reporting instead of
// stopping):
//   run.pass = n; OpenMainSource(run); BeginPass(run);
//   while ReadLine(run) >= 0:
//     first token a name -> r = ProcessStatement(run)
//       r.instruction (pass 2): encode at run.pass_state.location, then AdvanceLocation
//       r.line_class, r.value/bit, r.words, r.address, r.blank_lines: the listing line
//       r.end: the pass ends after this line
//   the end of the source without run.pass_state.end_seen is error 32.

#include <cstdint>
#include <vector>

#include "assembler/keywords.h"
#include "assembler/listing.h"

namespace tarn {

struct TarnRun;

// What a statement leaves for its pass.
struct StatementResult {
  int status = 0;    // 0; -1 when the statement failed (pass 1 stops at it)
  bool end = false;  // END: the pass ends after this line
  // Pass 2, an instruction: the lexer's current token is its mnemonic, `mnemonic` its lookup;
  // the label is defined. The encoder reads the operands and places the words at
  // run.pass_state.location.
  bool instruction = false;
  KeywordState mnemonic;

  int line_class = kLinePlain;  // of the listing line
  int32_t value = 0;            // class 0
  uint16_t bit = 0;
  int blank_lines = 0;          // class 5
  int address = 0;              // class 7: the reset vector
  std::vector<uint16_t> words;  // class 6: FUSE, FUSEX; class 7: the reset word
};

// The start of either pass, after the main source was opened: the pass state starts afresh,
// the settings that directives change (radix, warning level, quiet messages) are those of the
// command line again, and in pass 2 the device too, so that the DEVICE and FUSES statements
// build the same words again. Pass 1 also defines __TARN (IDE mode) and, with /X 1,
// __QV_IRC_CAL = 0.
void BeginPass(TarnRun& run);

// The statement of the current line, whose first token (the current token) is a name. In
// pass 1 instructions are sized and the location counter grows; in pass 2 they come back
// with `instruction` set for the encoder.
StatementResult ProcessStatement(TarnRun& run);

// Moves the location counter past a statement of `words` words.
void AdvanceLocation(TarnRun& run, int words);

}  // namespace tarn
