#include "assembler/directives.h"

#include "assembler/conditionals.h"
#include "assembler/directive_support.h"
#include "assembler/keywords.h"
#include "assembler/labels.h"
#include "assembler/lexer.h"
#include "assembler/macros.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/statements.h"
#include "assembler/symbols.h"
#include "assembler/text.h"

namespace tarn {
namespace {

struct DirectiveEntry {
  DirectiveId id;
  DirectiveHandler handler;
  int line_class;  // in pass 2
};

// One row per directive id (the names that share an id share its row).
// clang-format off
constexpr DirectiveEntry kDirectiveEntries[] = {
    // id             handler         pass-2 line class
    {kDirList,      DoList,          kLinePlain},
    {kDirDevice,    DoDevice,        kLineFuses},
    {kDirRadix,     DoRadix,         kLinePlain},
    {kDirTitle,     DoTitle,         kLinePlain},
    {kDirSubtitle,  DoSubtitle,      kLinePlain},
    {kDirLpage,     DoLabelOnly,     kLinePageEject},
    {kDirSpac,      DoSpac,          kLineBlankLines},
    {kDirInclude,   DoInclude,       kLinePlainNoMarker},
    {kDirMacro,     DoMacro,         kLinePlain},
    {kDirEndm,      DoEndm,          kLinePlain},
    {kDirExitm,     DoEndm,          kLinePlain},
    {kDirIf,        DoConditional,   kLinePlain},
    {kDirElse,      DoConditional,   kLinePlain},
    {kDirEndif,     DoConditional,   kLinePlain},
    {kDirOrg,       DoOrg,           kLineValue},
    {kDirEnd,       DoEnd,           kLinePlain},
    {kDirEqu,       DoEqu,           kLineValue},
    {kDirRes,       DoRes,           kLineValue},
    {kDirSet,       DoSet,           kLineValue},
    {kDirZero,      DoZero,          kLineValue},
    {kDirFuses,     DoDevice,        kLineFuses},
    {kDirReset,     DoReset,         kLineResetVector},
    {kDirDs,        DoDs,            kLineValue},
    {kDirId,        DoId,            kLinePlain},
    {kDirIfdef,     DoConditional,   kLinePlain},
    {kDirIfndef,    DoConditional,   kLinePlain},
    {kDirExpand,    DoExpand,        kLinePlain},
    {kDirNoexpand,  DoExpand,        kLinePlain},
    {kDirCase,      DoLabelOnly,     kLinePlainNoMarker},
    {kDirRept,      DoRept,          kLinePlain},
    {kDirEndr,      DoEndr,          kLinePlain},
    {kDirFuse,      DoFuseWord,      kLineValue},
    {kDirFusex,     DoFuseWord,      kLineValue},
    {kDirGlobal,    DoEqu,           kLineValue},
    {kDirFreq,      DoFreq,          kLineValue},
    {kDirBreak,     DoBreak,         kLineValue},
    {kDirWatch,     DoWatch,         kLineValue},
    {kDirIrcCal,    DoIrcCal,        kLineValue},
    {kDirError,     DoError,         kLinePlain},
};
// clang-format on

const DirectiveEntry* FindEntry(uint32_t id) {
  for (const DirectiveEntry& entry : kDirectiveEntries) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

// The location counter after `words` more words; error 43 (and false) when that would leave
// program memory, so that nothing is ever placed outside it.
bool MoveLocation(TarnRun& run, int64_t target) {
  if (target < 0 || target > static_cast<int64_t>(run.device.program_size)) {
    ReportMessage(run, kError, kMsgAddressBeyondMemory);
    return false;
  }
  run.pass_state.location = static_cast<uint16_t>(target);
  return true;
}

// A failed operand of EQU, RES and the like: its error goes on the listing line, and the
// statement is done without failing.
int MarkFailedExpression(TarnRun& run) {
  MarkMessage(run, -1, run.messages.last_error_code);
  return 0;
}

int RequireLabel(TarnRun& run) {
  if (!run.pass_state.label.present) return ReportMessage(run, kError, kMsgMissingLabel);
  return 0;
}

// RES and ZERO: the location counter grows by the operand; the words passed over stay empty.
int Reserve(TarnRun& run, StatementResult& result) {
  if (DefineDirectiveLabel(run) < 0) return -1;
  ExprValue v;
  Operand o = ReadOperand(run, true, &v);
  if (o == Operand::kMissing) return -1;
  int start = run.pass_state.location;
  result.value = start;
  if (o == Operand::kFailed) return MarkFailedExpression(run);
  return MoveLocation(run, int64_t{start} + v.value) ? 0 : -1;
}

}  // namespace

int RunDirective(TarnRun& run, uint32_t id, StatementResult& result) {
  const DirectiveEntry* entry = FindEntry(id);
  if (!entry) return ReportMessage(run, kError, kMsgBadInstruction);
  result.line_class = entry->line_class;
  return entry->handler(run, id, result);
}

bool IsConditionalDirective(uint32_t id) {
  return id == kDirIf || id == kDirElse || id == kDirEndif || id == kDirIfdef || id == kDirIfndef;
}

Operand ReadOperand(TarnRun& run, bool forward, ExprValue* value) {
  if (NextToken(run) == Token::kEndOfLine) {
    ReportMessage(run, kError, kMsgMissingExpression);
    return Operand::kMissing;
  }
  if (forward) run.expression.forward_reference = true;
  int status = EvalExpression(run);
  *value = PopValue(run);
  run.expression.forward_reference = false;
  return status == 0 ? Operand::kValue : Operand::kFailed;
}

int DefineDirectiveLabel(TarnRun& run) { return DefineStatementLabel(run, ColumnRule::kColumnOne); }

bool ReadNameOrString(TarnRun& run, std::string* text) {
  Token t = NextToken(run);
  if (t != Token::kName && t != Token::kString) return false;
  *text = run.lexer.text;
  return true;
}

// EQU and GLOBAL: the label becomes a DATA symbol with the value and its bit field.
int DoEqu(TarnRun& run, uint32_t, StatementResult& result) {
  if (RequireLabel(run) < 0) return -1;
  ExprValue v;
  Operand o = ReadOperand(run, true, &v);
  if (o == Operand::kMissing) return -1;
  if (o == Operand::kFailed) return MarkFailedExpression(run);
  DefineName(run, run.pass_state.label.name, v.value, v.bit, kSymData);
  result.value = v.value;
  result.bit = v.bit;
  return 0;
}

// SET and "=": a VAR symbol, updated in place when it exists.
int DoSet(TarnRun& run, uint32_t, StatementResult& result) {
  if (RequireLabel(run) < 0) return -1;
  ExprValue v;
  Operand o = ReadOperand(run, false, &v);
  if (o == Operand::kMissing) return -1;
  if (o == Operand::kFailed) {
    ReportMessage(run, kCheckError, run.messages.last_error_code);
    return 0;
  }
  const std::string& name = run.pass_state.label.name;
  SymbolNode* symbol = FindSymbol(run, name);
  if (symbol && symbol->kind == kSymVar) {
    symbol->value = v.value;
    symbol->bit = v.bit;
  } else {
    DefineName(run, name, v.value, v.bit, kSymVar);
  }
  result.value = v.value;
  result.bit = v.bit;
  return 0;
}

int DoOrg(TarnRun& run, uint32_t, StatementResult& result) {
  ExprValue v;
  Operand o = ReadOperand(run, true, &v);
  if (o == Operand::kMissing) return -1;
  if (o == Operand::kFailed) {
    MarkMessage(run, -1, run.messages.last_error_code);
  } else {
    // The end of program memory itself is no address either.
    if (v.value < 0 ||
        static_cast<int64_t>(v.value) >= static_cast<int64_t>(run.device.program_size)) {
      return ReportMessage(run, kError, kMsgAddressBeyondMemory);
    }
    run.pass_state.location = static_cast<uint16_t>(v.value);
  }
  result.value = run.pass_state.location;
  return DefineDirectiveLabel(run);
}

int DoRes(TarnRun& run, uint32_t, StatementResult& result) { return Reserve(run, result); }

int DoZero(TarnRun& run, uint32_t, StatementResult& result) { return Reserve(run, result); }

int DoDs(TarnRun& run, uint32_t, StatementResult& result) {
  const StatementLabel& label = run.pass_state.label;
  if (label.present) DefineName(run, label.name, run.pass_state.location, 0, kSymMemv);
  ExprValue v;
  Operand o = ReadOperand(run, true, &v);
  if (o == Operand::kMissing) return -1;
  result.value = run.pass_state.location;
  if (o == Operand::kFailed) return MarkFailedExpression(run);
  return MoveLocation(run, int64_t{run.pass_state.location} + v.value) ? 0 : -1;
}

int DoEnd(TarnRun& run, uint32_t, StatementResult& result) {
  run.pass_state.end_seen = true;
  result.end = true;
  return DefineDirectiveLabel(run);
}

// LPAGE, CASE and NOCASE: their effects belong to the listing, or to nothing.
int DoLabelOnly(TarnRun& run, uint32_t, StatementResult&) { return DefineDirectiveLabel(run); }

// INCLUDE name | "name". A bare name is taken up to the next blank, so that INCLUDE defs.inc
// does not stop at the dot.
int DoInclude(TarnRun& run, uint32_t, StatementResult&) {
  Token t = NextToken(run);
  std::string name;
  if (t == Token::kString) {
    name = run.lexer.text;
  } else if (t == Token::kName) {
    std::string_view line = run.lexer.line;
    size_t end = run.lexer.start;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t' && line[end] != ';' &&
           line[end] != '\n' && line[end] != '\r') {
      ++end;
    }
    name = line.substr(run.lexer.start, end - run.lexer.start);
  } else {
    return ReportMessage(run, kError, kMsgBadString);
  }
  if (run.pass == 2 && name.size() > 63) ReportMessage(run, kError, kMsgIncludePathTooLong);
  return IncludeFile(run, name);
}

int DoMacro(TarnRun& run, uint32_t, StatementResult&) {
  if (RequireLabel(run) < 0) return -1;
  const std::string& name = run.pass_state.label.name;
  // Pass 2 meets the definition again; only another line's definition is a second one.
  std::string key = "MACRO " + UpperCase(name);
  auto& defined = run.pass_state.pass1_definitions;
  bool again = run.pass == 2 && defined.count(key) && defined[key] == ListingLineNumber(run);
  if (FindMacro(run, name) && !again) {
    SetMessageArgument(run, name);
    return ReportMessage(run, kError, kMsgMacroRedefined);
  }
  if (again) {
    // The macro table lasts from pass 1: the body only passes by, each line a plain line.
    run.pass_state.in_macro_body = true;
    return 0;
  }
  if (run.pass == 1) defined.emplace(key, ListingLineNumber(run));
  return DefineMacro(run, name);
}

// ENDM and EXITM end the innermost expansion (which also takes the expansion's part off the
// last global label); outside one they are error 17.
int DoEndm(TarnRun& run, uint32_t, StatementResult& result) {
  if (!InMacroExpansion(run)) return ReportMessage(run, kError, kMsgUnmatchedMacro);
  EndMacroExpansion(run);
  result.line_class = kLineNotListed;
  return 0;
}

int DoRept(TarnRun& run, uint32_t, StatementResult&) {
  if (DefineDirectiveLabel(run) < 0) return -1;
  SetLineEntry(run, 1);
  // A REPT inside a block that runs 0 times only keeps its ENDR matched.
  if (ReptSkipping(run)) return BeginRept(run, 0);
  ExprValue v;
  Operand o = ReadOperand(run, true, &v);
  if (o == Operand::kMissing) return -1;
  if (o == Operand::kFailed) {
    MarkMessage(run, -1, run.messages.last_error_code);
    v.value = 0;
  }
  return BeginRept(run, v.value) < 0 ? -1 : 0;
}

int DoEndr(TarnRun& run, uint32_t, StatementResult& result) {
  SetLineEntry(run, 1);
  if (EndRept(run) == 0) result.line_class = kLineNotListed;
  return 0;
}

int DoConditional(TarnRun& run, uint32_t id, StatementResult&) {
  switch (id) {
    case kDirIf: return DoIf(run);
    case kDirIfdef: return DoIfdef(run, false);
    case kDirIfndef: return DoIfdef(run, true);
    case kDirElse: return DoElse(run);
    default: return DoEndif(run);
  }
}

}  // namespace tarn
