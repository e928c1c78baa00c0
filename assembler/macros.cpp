#include "assembler/macros.h"

#include <cstdio>

#include "assembler/run.h"
#include "assembler/text.h"

namespace tarn {

MacroRecord* FindMacro(TarnRun& run, std::string_view name) {
  auto it = run.macros.macros.find(UpperCase(name));
  return it == run.macros.macros.end() ? nullptr : &it->second;
}

bool InMacroExpansion(const TarnRun& run) { return !run.macros.expansions.empty(); }

bool ReptActive(const TarnRun& run) {
  for (const Expansion& e : run.macros.expansions) {
    if (e.rept.active) return true;
  }
  return run.macros.file_rept.active;
}

const ReptState* InnermostActiveRept(const TarnRun& run) {
  const MacroState& m = run.macros;
  for (auto it = m.expansions.rbegin(); it != m.expansions.rend(); ++it) {
    if (it->rept.active) return &it->rept;
  }
  return m.file_rept.active ? &m.file_rept : nullptr;
}

int ReptIteration(const TarnRun& run) {
  const ReptState* rept = InnermostActiveRept(run);
  if (!rept || rept->levels.empty()) return 1;
  return rept->levels.back().iteration + 1;
}

std::string LocalSymbolName(const TarnRun& run, std::string_view word) {
  if (run.macros.expansions.empty() || word.size() < 2 || word[0] != '`') return std::string(word);
  int index = 0;
  for (char c : word.substr(1)) {
    if (c < '0' || c > '9') return std::string(word);
    index = index * 10 + (c - '0');
    if (index > 1000000) return std::string(word);
  }
  char name[32];
  std::snprintf(name, sizeof name, "??000%01X", static_cast<unsigned>(run.macros.expansions.back().local_base + index));
  return name;
}

void FreeMacroStorage(TarnRun& run) {
  run.macros.expansions.clear();
  run.macros.macros.clear();
  run.macros.file_rept = ReptState{};
}

}  // namespace tarn
