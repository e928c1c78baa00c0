#include "assembler/keywords.h"

#include <span>

#include "assembler/macros.h"
#include "assembler/options.h"
#include "assembler/run.h"
#include "assembler/text.h"

namespace tarn {
namespace {

// The 43 directive names.
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

// A few mnemonic rows in the shape of the instruction tables, until those tables arrive.
struct StubRow {
  const char* name;
  uint32_t id;
  uint8_t operand_count;
  uint8_t format;
  uint16_t tmpl;
};

struct StubTable {
  std::span<const StubRow> rows;
  size_t min_length;
  size_t max_length;
};

constexpr StubRow kNativeRows[] = {
    {"W",     39, 1, 1,  0x000},
    {"MOV",   22, 4, 0,  0x000},
    {"NOP",   11, 2, 1,  0x000},
    {"SLEEP", 38, 2, 1,  0x003},
};
constexpr StubRow kCompoundRows[] = {
    {"JNZ",    123, 3, 0,  0x000},
    {"RA",     39,  1, 1,  0x005},
    {"RB",     39,  1, 1,  0x006},
    {"STATUS", 39,  1, 1,  0x003},
    {"C",      39,  1, 43, 0x003},
    {"Z",      39,  1, 43, 0x203},
    {"PA2",    39,  1, 43, 0x703},
};
constexpr StubRow kMchipRows[] = {
    {"MOVLW",  81, 3, 9, 0xC00},
    {"RETURN", 84, 2, 1, 0x00C},
};
constexpr StubRow kDebuggerRows[] = {
    {"DEBUG",    89, 2, 1, 0x044},
    {"PUSH_DD0", 93, 2, 1, 0x048},
};

constexpr StubTable kNative{kNativeRows, 1, 5};
constexpr StubTable kCompound{kCompoundRows, 1, 6};
constexpr StubTable kMchip{kMchipRows, 1, 6};
constexpr StubTable kDebugger{kDebuggerRows, 4, 8};

const StubRow* FindInStub(const StubTable& table, std::string_view word) {
  if (word.size() < table.min_length || word.size() > table.max_length) return nullptr;
  for (const StubRow& row : table.rows) {
    if (EqualsNoCase(row.name, word)) return &row;
  }
  return nullptr;
}

const StubRow* FindMnemonicRow(std::string_view word, int mode) {
  if (const StubRow* row = FindInStub(kNative, word)) return row;
  bool compound = mode == kModeKestrian || mode == kModeAll || mode == kModeDebugger;
  bool mchip = mode == kModeMchip || mode == kModeAll || mode == kModeDebugger;
  if (compound) {
    if (const StubRow* row = FindInStub(kCompound, word)) return row;
  }
  if (mchip) {
    if (const StubRow* row = FindInStub(kMchip, word)) return row;
  }
  if (mode == kModeDebugger) return FindInStub(kDebugger, word);
  return nullptr;
}

}  // namespace

const DirectiveRow* FindDirective(std::string_view word) {
  if (word.empty() || word.size() > 9) return nullptr;
  for (const DirectiveRow& row : kDirectives) {
    if (EqualsNoCase(row.name, word)) return &row;
  }
  return nullptr;
}

int LookupKeyword(TarnRun& run) {
  KeywordState& k = run.keyword;
  const std::string& word = run.lexer.text;
  k = KeywordState{};
  if (const DirectiveRow* row = FindDirective(word)) {
    k.directive = true;
    k.id = row->id;
    return 1;
  }
  if (const auto* row = FindMnemonicRow(word, run.options.syntax_mode)) {
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
