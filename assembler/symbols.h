#pragma once
// The symbol table: every user symbol with its kind, value and bit field, for both passes.
//
// Invariants: names compare without regard to case (ASCII letters folded to upper case, then
// byte order); the walk visits symbols in that order, and symbols of equal names in the order
// they were inserted; a lookup finds the first one inserted. A lookup hashes the folded name
// in place and allocates nothing; the order of the walk is sorted once, when first asked for
// after an insertion.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "assembler/folded_map.h"
#include "assembler/text.h"

namespace tarn {

struct TarnRun;

enum SymbolKind : uint8_t {
  kSymData = 0,  // EQU, GLOBAL, FREQ, IRC_CAL, __TARN
  kSymAddr = 1,  // labels, BREAK
  kSymResv = 2,  // a register name used in an operand
  kSymDefn = 3,
  kSymVar = 4,  // SET and "="
  kSymBdat = 5,
  kSymBvar = 6,
  kSymResb = 7,   // a bit name used in an operand; RESET
  kSymMemv = 8,   // DS labels
  kSymWatch = 9,  // WATCH: 9 + the watch type, up to 16
};

struct SymbolNode {
  std::string name;  // as first written
  int line = 0;      // the listing line of the definition
  int32_t value = 0;
  uint16_t bit = 0;
  uint8_t kind = kSymData;
  bool has_bit = false;  // a bit field, or "." in the defining expression
  // On the first node of a name: the listing line of the name's first definition in pass 1,
  // or kNotDefinedInPass1 (no line has that number). Pass 2 meets the same definitions again: only
  // a definition on another line is a redefinition there.
  int pass1_line = kNotDefinedInPass1;
  static constexpr int kNotDefinedInPass1 = -1;
};

struct SymbolValue {
  int32_t value = 0;
  uint16_t bit = 0;
};

class SymbolTable {
 public:
  SymbolNode* Find(std::string_view name);
  // Always a new node, even when the name exists (the callers check first).
  SymbolNode& Insert(SymbolNode node);
  // The number of symbols ever inserted.
  int Count() const { return static_cast<int>(nodes_.size()); }
  void Clear();

  // Visits the symbols in name order.
  template <typename Visit>
  void Walk(Visit&& visit) const {
    for (uint32_t i : Ordered()) visit(nodes_[i]);
  }

 private:
  const std::vector<uint32_t>& Ordered() const;

  std::deque<SymbolNode> nodes_;  // in the order of insertion; a node never moves
  // The first node of each name; the keys are the nodes' own names.
  FoldedMap<uint32_t> first_;
  mutable std::vector<uint32_t> ordered_;  // node indexes in name order
  mutable bool ordered_valid_ = true;
};

SymbolNode* FindSymbol(TarnRun& run, std::string_view name);
// Insert a new symbol with the current listing line; has-bit is set when the bit field is not
// 0 or the defining expression used ".". Return 1.
int DefineSymbolBit(TarnRun& run, std::string_view name, int32_t value, uint16_t bit, uint8_t kind);
// The same, giving the new node.
SymbolNode& NewSymbol(TarnRun& run, std::string_view name, int32_t value, uint16_t bit,
                      uint8_t kind);
// Define the name, or replace the value and bit of a symbol of the same kind; 0 (and nothing
// changes) when the name exists with another kind, else 1.
int SetSymbol(TarnRun& run, std::string_view name, int32_t value, uint8_t kind);
int SetSymbolBit(TarnRun& run, std::string_view name, int32_t value, uint16_t bit, uint8_t kind);
// Value and bit of a node; an absent node gives 0 and 0.
SymbolValue ValueOf(const SymbolNode* node);

}  // namespace tarn
