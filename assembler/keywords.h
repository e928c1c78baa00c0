#pragma once
// Keyword lookup: classifies the current token text as a directive, a mnemonic (or register
// or bit name) of the tables the syntax mode allows, or a macro name.

#include <cstdint>
#include <string_view>

#include "assembler/folded_map.h"
#include "instruction_set/instruction_set.h"

namespace tarn {

struct TarnRun;
struct MacroRecord;
using ::instruction_set::MnemonicRow;

// Several names share one id.
enum DirectiveId : uint16_t {
  kDirList = 6,
  kDirDevice = 7,  // DEVICE, PROCESSOR
  kDirRadix = 8,
  kDirTitle = 9,  // TITLE, STITLE
  kDirSubtitle = 10,
  kDirLpage = 11,
  kDirSpac = 12,
  kDirInclude = 13,
  kDirMacro = 14,
  kDirEndm = 15,
  kDirExitm = 16,
  kDirIf = 18,
  kDirElse = 19,
  kDirEndif = 20,
  kDirOrg = 21,
  kDirEnd = 22,
  kDirEqu = 23,
  kDirRes = 24,
  kDirSet = 25,  // SET, =
  kDirZero = 26,
  kDirFuses = 29,
  kDirReset = 30,
  kDirDs = 31,
  kDirId = 32,
  kDirIfdef = 33,
  kDirIfndef = 34,
  kDirExpand = 35,
  kDirNoexpand = 36,
  kDirCase = 37,  // CASE, NOCASE
  kDirRept = 38,
  kDirEndr = 39,
  kDirFuse = 40,   // __FUSE
  kDirFusex = 41,  // __FUSEX
  kDirGlobal = 42,
  kDirFreq = 44,
  kDirBreak = 45,
  kDirWatch = 46,
  kDirIrcCal = 47,
  kDirError = 48,
};

struct DirectiveRow {
  const char* name;
  DirectiveId id;
};

// The result of the last lookup.
struct KeywordState {
  bool directive = false;
  uint32_t id = 0;            // directive id, or instruction id
  uint8_t operand_count = 0;  // 1 for a register or bit name
  uint8_t format = 0;         // the operand format of a mnemonic
  uint16_t opcode_template = 0;
  MacroRecord* macro = nullptr;
};

// Every directive and every mnemonic of one syntax mode in one hash table, built once per
// run for its mode: a lookup hashes the word in place and allocates nothing. It finds what
// FindDirective, then FindMnemonic would.
class KeywordIndex {
 public:
  struct Entry {
    const DirectiveRow* directive = nullptr;
    const MnemonicRow* mnemonic = nullptr;
  };
  // The entry of `word` (any case) under `syntax_mode`, or nullptr.
  const Entry* Find(std::string_view word, int syntax_mode);

 private:
  void Build(int syntax_mode);

  int mode_ = -1;
  FoldedMap<Entry> entries_;
};

// The directive named `word` (any case), or nullptr.
const DirectiveRow* FindDirective(std::string_view word);

// Classifies run.lexer.text: 1 and the keyword state filled when it is a keyword or a macro
// name, else 0 (with the operand format cleared).
int LookupKeyword(TarnRun& run);

}  // namespace tarn
