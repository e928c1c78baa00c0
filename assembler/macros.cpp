#include "assembler/macros.h"

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

void FreeMacroStorage(TarnRun& run) {
  run.macros.expansions.clear();
  run.macros.macros.clear();
  run.macros.file_rept = ReptState{};
}

}  // namespace tarn
