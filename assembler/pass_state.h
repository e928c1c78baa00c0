#pragma once
// What one pass over the source keeps from statement to statement: the location counter, the
// label of the current line, the conditional stack, the end flag and the settings only the
// passes read. Both passes run the same statement code, so all of it starts afresh with
// ResetForPass; only `pass1_definitions` and `oscillator_keyword` last from pass 1 into pass 2
// (a symbol keeps the line of its pass-1 definition itself).
//
// Invariants: conditionals.levels.size() <= kConditionalLimit; `label` is empty when the line
// has no label; a name in `pass1_definitions` is upper case.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>

#include "assembler/conditionals.h"
#include "assembler/messages.h"
#include "assembler/text.h"

namespace tarn {

struct StatementLabel {
  std::string name;  // as it is defined: local labels joined, LOCAL names replaced
  bool present = false;
  bool column_one = false;  // the label began in the first column of the line
  bool local = false;       // written ":name"
};

struct CommandLineSettings {
  bool taken = false;
  int radix = 10;
  int warning_level = 1;
  std::array<unsigned char, kMessageCount + 1> quiet{};
};

struct PassState {
  uint16_t location = 0;  // the program address of the statement
  StatementLabel label;
  ConditionalStack conditionals;
  bool end_seen = false;  // END was read
  // Pass 2 between a MACRO that pass 1 has read and its ENDM: the body lines are listed only.
  bool in_macro_body = false;
  bool strict = false;  // /S 1: a line that begins with an operator is error 1
  // KESTRIAN mode: the first fuse keyword of the OSC group, for warning 69 in pass 2. Set in
  // pass 1 and kept for pass 2.
  std::string oscillator_keyword;
  bool list_expansions = true;  // EXPAND / NOEXPAND / LIST X=
  bool subtitle_given = false;  // SUBTITL keeps the first one
  int list_columns = 0;         // LIST C=, for the listing writer

  // The command line's values of what RADIX and LIST change, taken at the start of pass 1:
  // each pass starts from them.
  CommandLineSettings command_line;

  // "MACRO " and the macro's name (upper case) -> listing line of its definition in pass 1.
  // Pass 2 meets the same definitions again: only a definition on another line is a
  // redefinition there.
  std::unordered_map<std::string, int, FoldedHash, FoldedEqual> pass1_definitions;

  void ResetForPass() {
    location = 0;
    label = StatementLabel{};
    conditionals = ConditionalStack{};
    end_seen = false;
    in_macro_body = false;
    strict = false;
    list_expansions = true;
    subtitle_given = false;
    list_columns = 0;
  }
};

}  // namespace tarn
