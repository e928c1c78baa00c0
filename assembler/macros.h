#pragma once
// Macros and REPT blocks: the macro table, the expansions in progress with their arguments and
// local names, and the capture and replay of REPT blocks.
//
// Invariants: every stored macro body ends with its ENDM line; an expansion's `next_line` never
// passes its body's end; a REPT state holds at most kReptLineLimit lines and kReptLevelLimit
// levels, and `replay` never passes `lines.size()`.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "assembler/text.h"

namespace tarn {

struct TarnRun;

inline constexpr int kMacroArgumentLimit = 20;
inline constexpr size_t kMacroArgumentLength = 1024;
// Deep enough for any macro that ends its own recursion; a macro that calls itself without
// end stops here instead of eating memory.
inline constexpr int kMacroDepthLimit = 1000;
inline constexpr size_t kReptLineLimit = 500;
inline constexpr size_t kReptLevelLimit = 10;
inline constexpr int kReptCountLimit = 255;

struct MacroRecord {
  std::string name;
  int declared_count = -1;  // -1: any number of arguments
  int local_count = 0;
  std::vector<std::string> body;  // with parameters as \n and locals as `n; ends with ENDM
};

struct ReptLevel {
  int count = 0;
  size_t first = 0;   // the block's first stored line
  int iteration = 0;  // runs completed
};

// The REPT blocks of one source of lines: the files, or one macro expansion.
struct ReptState {
  bool active = false;
  std::vector<std::string> lines;  // the outermost REPT line, then every line of the block
  size_t replay = 0;               // the next stored line to deliver; == lines.size() reads on
  std::vector<ReptLevel> levels;
  int refused_levels = 0;   // REPTs past the nesting limit; their ENDRs close nothing
  bool overflowed = false;  // the store is full: no block repeats any more
};

struct Expansion {
  MacroRecord* macro = nullptr;
  size_t next_line = 0;
  int local_base = 0;  // the first local-name number of this expansion
  // The arguments of this call; an inner call of the same macro has its own.
  std::vector<std::string> arguments;
  ReptState rept;  // REPT blocks inside the body
};

struct MacroState {
  // By name, any case; a record never moves while the table holds it (expansions point at it).
  std::unordered_map<std::string, MacroRecord, FoldedHash, FoldedEqual> macros;
  std::vector<Expansion> expansions;  // the innermost last
  int local_total = 0;                // local names handed out in this pass
  int expansions_started = 0;         // in this pass; numbers the label prefix
  ReptState file_rept;                // REPT blocks read from the source files
};

MacroRecord* FindMacro(TarnRun& run, std::string_view name);

// Reads a macro definition: the parameters from the rest of the current line (after MACRO),
// then the body lines up to ENDM. 0, or -1 after error 14 or 17.
int DefineMacro(TarnRun& run, std::string_view name);

// Reads the arguments of a call from the rest of the current line and starts the expansion.
// -1 when the call fails (in pass 1 a wrong argument count fails silently).
int ExpandMacroCall(TarnRun& run, MacroRecord& macro);

// ENDM or EXITM inside an expansion: the rest of the body is not delivered. -1 outside one.
int EndMacroExpansion(TarnRun& run);

bool InMacroExpansion(const TarnRun& run);

// The unique symbol name of a LOCAL name written as "`n" in the innermost expansion:
// "??000" and (local base + n) in hexadecimal. Other words come back unchanged.
std::string LocalSymbolName(const TarnRun& run, std::string_view word);

// The body-line copier: `stored` with its arguments, \0, \% and "?" wrappings substituted.
// Lines are capped at the line buffer, with error 74.
// The copy goes into *line, whose room is kept from line to line.
void CopyBodyLine(TarnRun& run, const Expansion& expansion, std::string_view stored,
                  std::string* line);

// The next line of the innermost expansion (or of a REPT block inside it) into *line; false
// when no expansion is running.
bool NextExpansionLine(TarnRun& run, std::string* line);

// REPT state of the innermost source of lines.
ReptState& CurrentRept(TarnRun& run);
// True while a REPT block is active (the word "%" is then the iteration number).
bool ReptActive(const TarnRun& run);
// The iteration number of the current REPT level, 1 on its first run.
int ReptIteration(const TarnRun& run);
// True while any active REPT level has a count of 0 or less: its statements are ignored.
bool ReptSkipping(const TarnRun& run);
// The REPT statement with its evaluated count. -1 when the nesting limit refuses it (error 47).
int BeginRept(TarnRun& run, int count);
// ENDR: 0 when the block runs again, 1 when it is finished, -1 without an active REPT.
int EndRept(TarnRun& run);
// A line of the files while a REPT block is active: the next stored line when one is being
// replayed (true), else false after storing `line` as read (the caller delivers it).
bool ReplayReptLine(TarnRun& run, ReptState& rept, std::string* line);
void StoreReptLine(TarnRun& run, ReptState& rept, std::string_view line);

// Expansions, local names and REPT blocks start afresh in each pass; the macro table stays.
void ResetMacrosForPass(TarnRun& run);
// Frees the stored macro bodies and REPT lines.
void FreeMacroStorage(TarnRun& run);

// A value written in the current radix, as macro arguments and \0 are.
std::string FormatInRadix(int value, int radix);

}  // namespace tarn
