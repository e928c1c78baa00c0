#include "assembler/labels.h"

#include "assembler/lexer.h"
#include "assembler/macros.h"
#include "assembler/messages.h"
#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/symbols.h"
#include "assembler/text.h"

namespace tarn {
namespace {

bool LabelMayStandAnywhere(const TarnRun& run, const StatementLabel& label, ColumnRule rule) {
  if (rule == ColumnRule::kColumnOne) return false;
  if (rule == ColumnRule::kInstruction && InMacroExpansion(run)) return true;
  bool local_rule = run.options.kestrian && run.options.local_label_column_one;
  return label.local && !local_rule;
}

}  // namespace

int TakeLabel(TarnRun& run) {
  StatementLabel& label = run.pass_state.label;
  label = StatementLabel{};
  label.present = true;
  label.column_one = run.lexer.start == 0;
  std::string& name = label.name;
  name.assign(run.lexer.text);
  if (name[0] == '`' && InMacroExpansion(run)) name = LocalSymbolName(run, name);
  if (name.size() >= 2 && name.back() == ':') name.pop_back();
  if (name[0] == ':') {
    label.local = true;
    std::string joined = run.sources.last_global_label + name;
    if (joined.size() > kLocalLabelLimit) {
      SetMessageArgument(run, name);
      name.clear();
      return ReportMessage(run, kError, kMsgLocalSymbolTooLong);
    }
    name = std::move(joined);
  } else if (!InMacroExpansion(run)) {
    run.sources.last_global_label = name;
  }
  if (IsRedefinition(run, name)) {
    SetMessageArgument(run, name);
    return ReportMessage(run, kError, kMsgSymbolRedefined);
  }
  return 0;
}

int DefineStatementLabel(TarnRun& run, ColumnRule rule) {
  const StatementLabel& label = run.pass_state.label;
  if (!label.present) return 0;
  if (!label.column_one && !LabelMayStandAnywhere(run, label, rule))
    return ReportMessage(run, kError, kMsgLabelNotInColumnOne);
  DefineName(run, label.name, run.pass_state.location, 0, kSymAddr);
  return 0;
}

namespace {

// IsRedefinition for the symbol the name finds.
bool IsRedefinitionOf(TarnRun& run, const SymbolNode* symbol) {
  if (!symbol || symbol->kind == kSymVar) return false;
  return run.pass != 2 || symbol->pass1_line != ListingLineNumber(run);
}

}  // namespace

bool IsRedefinition(TarnRun& run, std::string_view name) {
  return IsRedefinitionOf(run, FindSymbol(run, name));
}

void DefineName(TarnRun& run, std::string_view name, int32_t value, uint16_t bit, uint8_t kind) {
  if (run.pass == 2) {
    if (SymbolNode* symbol = FindSymbol(run, name)) {
      // A second definition has been reported by the caller; the first one stands.
      if (!IsRedefinitionOf(run, symbol)) {
        symbol->value = value;
        symbol->bit = bit;
      }
      return;
    }
  } else {
    SymbolNode* symbol = FindSymbol(run, name);
    // A name that is a SET variable stays one: a second node of the name would never be found.
    if (symbol && symbol->kind == kSymVar) {
      symbol->value = value;
      symbol->bit = bit;
      return;
    }
    int line = ListingLineNumber(run);
    if (!symbol) {
      NewSymbol(run, name, value, bit, kind).pass1_line = line;
      return;
    }
    if (symbol->pass1_line == SymbolNode::kNotDefinedInPass1) symbol->pass1_line = line;
  }
  DefineSymbolBit(run, name, value, bit, kind);
}

}  // namespace tarn
