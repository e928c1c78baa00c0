#include "assembler/statements.h"

#include "assembler/devices.h"
#include "assembler/directives.h"
#include "assembler/encoding.h"
#include "assembler/image.h"
#include "assembler/instruction_tables.h"
#include "assembler/labels.h"
#include "assembler/lexer.h"
#include "assembler/macros.h"
#include "assembler/messages.h"
#include "assembler/operands.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/symbols.h"
#include "assembler/text.h"

namespace tarn {
namespace {

// The register and bit names among the operands enter the symbol table on first use, as the
// evaluator enters them, so that the cross-reference lists them.
void EnterOperandNames(TarnRun& run) {
  for (Token t = NextToken(run); t != Token::kEndOfLine; t = NextToken(run)) {
    if (t != Token::kName) continue;
    std::string_view name = run.lexer.text;
    if (!LookupKeyword(run)) continue;
    const KeywordState& k = run.keyword;
    if (k.directive || k.macro || k.id != kName || k.operand_count != 1 || FindSymbol(run, name))
      continue;
    bool bit_name = k.format == kFmtBitName;
    int32_t reg = bit_name ? (k.opcode_template & 0xFF) : k.opcode_template;
    uint16_t bit = bit_name ? static_cast<uint16_t>(k.opcode_template >> 8) : 0;
    DefineSymbolBit(run, name, reg, bit, bit_name ? kSymResb : kSymResv);
  }
}

int Instruction(TarnRun& run, const KeywordState& k, std::string_view word,
                StatementResult& result) {
  if (k.id == kName && k.operand_count == 1) {
    SetMessageArgument(run, word);
    return ReportMessage(run, kError, kMsgReservedWord);
  }
  if (DefineStatementLabel(run, ColumnRule::kInstruction) < 0) return -1;
  if (!InMacroExpansion(run)) SetLineEntry(run, 1);
  result.line_class = kLineCode;
  if (run.pass == 2) {
    result.instruction = true;
    result.mnemonic = k;
    return 0;
  }
  int size = 1;
  switch (k.format) {
    case kFmtDataList: size = static_cast<int>(EncodeDataList(run, false).words.size()); break;
    case kFmtRetwList: size = static_cast<int>(EncodeDataList(run, true).words.size()); break;
    case kFmtForms: size = SizeInstruction(run, static_cast<int>(k.id)); break;
    default: EnterOperandNames(run); break;
  }
  AdvanceLocation(run, size);
  return 0;
}

int MacroCall(TarnRun& run, MacroRecord& macro) {
  if (DefineStatementLabel(run, ColumnRule::kInstruction) < 0) return -1;
  SetLineEntry(run, 1);
  return ExpandMacroCall(run, macro) < 0 ? -1 : 0;
}

// Inside a false conditional block only the conditional directives count; inside a REPT block
// that runs 0 times only REPT and ENDR.
bool Ignored(const TarnRun& run, bool keyword, const KeywordState& k) {
  bool directive = keyword && k.directive;
  if (run.pass_state.conditionals.Skipping() && !(directive && IsConditionalDirective(k.id)))
    return true;
  if (ReptSkipping(run) && !(directive && (k.id == kDirRept || k.id == kDirEndr))) return true;
  return false;
}

// A macro's name before MACRO is the label of a definition, not a call: the macro exists in
// pass 2 already, and a second definition must reach error 12.
bool DefinesMacro(TarnRun& run) { return NextWordIs(run, "MACRO"); }

// The ENDM line of a macro body, with or without a label before ENDM.
bool IsEndmLine(TarnRun& run) {
  return EqualsNoCase(run.lexer.text, "ENDM") || NextWordIs(run, "ENDM");
}

}  // namespace

void BeginPass(TarnRun& run) {
  PassState& ps = run.pass_state;
  CommandLineSettings& cl = ps.command_line;
  if (!cl.taken) {
    cl.taken = true;
    cl.radix = run.options.radix;
    cl.warning_level = run.options.warning_level;
    cl.quiet = run.messages.quiet;
  } else {
    run.options.radix = cl.radix;
    run.options.warning_level = cl.warning_level;
    run.messages.quiet = cl.quiet;
  }
  ps.ResetForPass();
  ps.strict = run.options.strict_statements;
  run.expression.wide_bit = false;
  run.expression.forward_reference = false;
  ResetEncodingState(run);
  if (run.pass == 2) {
    SetUpDevice(run);
    return;
  }
  run.image.break_address = kNoBreak;
  if (run.options.kestrian && !FindSymbol(run, "__TARN")) DefineName(run, "__TARN", 1, 0, kSymData);
  if (run.options.irc_cal_zero && !FindSymbol(run, "__QV_IRC_CAL")) {
    DefineName(run, "__QV_IRC_CAL", 0, 0, kSymData);
    run.image.irc_cal = 0;
  }
}

StatementResult ProcessStatement(TarnRun& run) {
  StatementResult result;
  PassState& ps = run.pass_state;
  ps.label = StatementLabel{};
  run.expression.forward_reference = false;
  run.expression.dot_used = false;
  run.expression.location = ps.location;

  if (ps.in_macro_body) {
    if (IsEndmLine(run)) ps.in_macro_body = false;
    return result;
  }

  std::string_view word = run.lexer.text;
  bool keyword = LookupKeyword(run) != 0;
  KeywordState k = run.keyword;
  if (keyword && k.macro && DefinesMacro(run)) keyword = false;
  if (Ignored(run, keyword, k)) return result;

  if (!keyword) {
    if (TakeLabel(run) < 0) {
      result.status = -1;
      return result;
    }
    if (run.pass == 2) ClearTracking(run);
    Token t = NextToken(run);
    if (t == Token::kEndOfLine) {
      result.status = DefineStatementLabel(run, ColumnRule::kLabelAlone);
      return result;
    }
    word = run.lexer.text;
    if ((t != Token::kName && t != Token::kAssign) || !LookupKeyword(run)) {
      result.status = ReportMessage(run, kError, kMsgBadInstruction);
      return result;
    }
    k = run.keyword;
  }

  if (k.directive) {
    result.status = RunDirective(run, k.id, result);
  } else if (k.macro) {
    result.status = MacroCall(run, *k.macro);
  } else {
    result.status = Instruction(run, k, word, result);
  }
  return result;
}

void AdvanceLocation(TarnRun& run, int words) {
  run.pass_state.location = static_cast<uint16_t>(run.pass_state.location + words);
}

}  // namespace tarn
