#pragma once
// Conditional assembly: IF, IFDEF, IFNDEF, ELSE and ENDIF over a stack of open levels.
//
// Invariant: levels.size() <= kConditionalLimit; a statement is skipped while any level skips.

#include <cstddef>
#include <vector>

namespace tarn {

struct TarnRun;

inline constexpr size_t kConditionalLimit = 100;

struct ConditionalStack {
  std::vector<bool> levels;  // per open level: its block is skipped
  bool Skipping() const {
    for (bool skip : levels) {
      if (skip) return true;
    }
    return false;
  }
};

// Each starts with the directive as the current token and returns 0, or -1 when the statement
// fails (pass 1 stops there).
//   IF expression       error 11 without it; a value below 1 skips the block
//   IFDEF name          error 11 without it, error 1 for another token
//   IFNDEF name
//   ELSE                error 19 without an open level
//   ENDIF               error 20 without an open level
int DoIf(TarnRun& run);
int DoIfdef(TarnRun& run, bool skip_when_defined);
int DoElse(TarnRun& run);
int DoEndif(TarnRun& run);

}  // namespace tarn
