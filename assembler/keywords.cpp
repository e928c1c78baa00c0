#include "assembler/keywords.h"

#include "assembler/instruction_tables.h"
#include "assembler/macros.h"
#include "assembler/options.h"
#include "assembler/run.h"
#include "assembler/text.h"

namespace tarn {
namespace {

// The 43 directive names.
// clang-format off
constexpr DirectiveRow kDirectives[] = {
    {"=",         kDirSet},
    {"ID",        kDirId},
    {"IF",        kDirIf},
    {"DS",        kDirDs},
    {"END",       kDirEnd},
    {"EQU",       kDirEqu},
    {"ORG",       kDirOrg},
    {"RES",       kDirRes},
    {"SET",       kDirSet},
    {"LIST",      kDirList},
    {"ELSE",      kDirElse},
    {"ENDM",      kDirEndm},
    {"ENDR",      kDirEndr},
    {"REPT",      kDirRept},
    {"SPAC",      kDirSpac},
    {"ZERO",      kDirZero},
    {"CASE",      kDirCase},
    {"FREQ",      kDirFreq},
    {"RADIX",     kDirRadix},
    {"TITLE",     kDirTitle},
    {"LPAGE",     kDirLpage},
    {"MACRO",     kDirMacro},
    {"EXITM",     kDirExitm},
    {"ENDIF",     kDirEndif},
    {"RESET",     kDirReset},
    {"IFDEF",     kDirIfdef},
    {"FUSES",     kDirFuses},
    {"BREAK",     kDirBreak},
    {"WATCH",     kDirWatch},
    {"ERROR",     kDirError},
    {"DEVICE",    kDirDevice},
    {"STITLE",    kDirTitle},
    {"IFNDEF",    kDirIfndef},
    {"EXPAND",    kDirExpand},
    {"NOCASE",    kDirCase},
    {"__FUSE",    kDirFuse},
    {"GLOBAL",    kDirGlobal},
    {"SUBTITL",   kDirSubtitle},
    {"INCLUDE",   kDirInclude},
    {"__FUSEX",   kDirFusex},
    {"IRC_CAL",   kDirIrcCal},
    {"NOEXPAND",  kDirNoexpand},
    {"PROCESSOR", kDirDevice},
};
// clang-format on

}  // namespace

const DirectiveRow* FindDirective(std::string_view word) {
  if (word.empty() || word.size() > 9) return nullptr;
  for (const DirectiveRow& row : kDirectives) {
    if (EqualsNoCase(row.name, word)) return &row;
  }
  return nullptr;
}

void KeywordIndex::Build(int syntax_mode) {
  entries_.Clear();
  mode_ = syntax_mode;
  // Directives win over mnemonics, and an earlier table over a later one: emplace keeps the
  // first entry of a name.
  for (const DirectiveRow& row : kDirectives) entries_.Emplace(row.name, Entry{&row, nullptr});
  // In FindMnemonic's order; a row whose name length is outside its table's range is never
  // found there.
  for (const MnemonicTable* table : SearchedTables(syntax_mode)) {
    if (!table) continue;
    for (const MnemonicRow& row : table->rows) {
      if (InLengthRange(*table, row.name)) entries_.Emplace(row.name, Entry{nullptr, &row});
    }
  }
}

const KeywordIndex::Entry* KeywordIndex::Find(std::string_view word, int syntax_mode) {
  if (syntax_mode != mode_) Build(syntax_mode);
  return entries_.Find(word);
}

int LookupKeyword(TarnRun& run) {
  KeywordState& k = run.keyword;
  std::string_view word = run.lexer.text;
  k = KeywordState{};
  if (const KeywordIndex::Entry* entry = run.keyword_index.Find(word, run.options.syntax_mode)) {
    if (entry->directive) {
      k.directive = true;
      k.id = entry->directive->id;
      return 1;
    }
    const MnemonicRow* row = entry->mnemonic;
    k.id = row->id;
    k.operand_count = row->operand_count;
    k.format = row->format;
    k.opcode_template = row->tmpl;
    return 1;
  }
  if (MacroRecord* macro = FindMacro(run, word)) {
    k.macro = macro;
    return 1;
  }
  return 0;
}

}  // namespace tarn
