#pragma once
// The symbol table: names with their kinds and values, compared without regard to case.

#include <cstdint>
#include <string>

namespace tarn {

struct Symbol {
  std::string name;
  int kind = 0;
  int32_t value = 0;
  int bit_part = 0;
  int line = 0;
};

class SymbolTable {
 public:
  // The number of symbols ever inserted.
  int Count() const { return count_; }
  // Visits the symbols in the order the cross-reference lists them.
  template <typename Visit>
  void ForEachInOrder(Visit&&) const {}

 private:
  int count_ = 0;
};

}  // namespace tarn
