#pragma once
// The symbol table: names with their kinds and values, compared without regard to case.

namespace tarn {

class SymbolTable {
 public:
  // The number of symbols ever inserted.
  int Count() const { return count_; }

 private:
  int count_ = 0;
};

}  // namespace tarn
