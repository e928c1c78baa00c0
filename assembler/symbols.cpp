#include "assembler/symbols.h"

#include <algorithm>

#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/text.h"

namespace tarn {

SymbolNode* SymbolTable::Find(std::string_view name) {
  auto it = first_.find(name);
  return it == first_.end() ? nullptr : &nodes_[it->second];
}

SymbolNode& SymbolTable::Insert(SymbolNode node) {
  uint32_t index = static_cast<uint32_t>(nodes_.size());
  SymbolNode& stored = nodes_.emplace_back(std::move(node));
  // A later node of a name only shows in the walk, after the earlier ones.
  first_.emplace(std::string_view(stored.name), index);
  ordered_valid_ = false;
  return stored;
}

void SymbolTable::Clear() {
  first_.clear();
  nodes_.clear();
  ordered_.clear();
  ordered_valid_ = true;
}

const std::vector<uint32_t>& SymbolTable::Ordered() const {
  if (!ordered_valid_) {
    ordered_.resize(nodes_.size());
    for (uint32_t i = 0; i < ordered_.size(); ++i) ordered_[i] = i;
    // Stable: nodes of one name keep the order they were inserted in.
    std::stable_sort(ordered_.begin(), ordered_.end(), [this](uint32_t a, uint32_t b) {
      return CompareNoCase(nodes_[a].name, nodes_[b].name) < 0;
    });
    ordered_valid_ = true;
  }
  return ordered_;
}

SymbolNode* FindSymbol(TarnRun& run, std::string_view name) { return run.symbols.Find(name); }

int DefineSymbolBit(TarnRun& run, std::string_view name, int32_t value, uint16_t bit, uint8_t kind) {
  SymbolNode node;
  node.name = std::string(name);
  node.line = ListingLineNumber(run);
  node.value = value;
  node.bit = bit;
  node.kind = kind;
  node.has_bit = bit != 0 || run.expression.dot_used;
  run.symbols.Insert(std::move(node));
  return 1;
}

int DefineSymbol(TarnRun& run, std::string_view name, int32_t value, uint8_t kind) {
  return DefineSymbolBit(run, name, value, 0, kind);
}

int SetSymbolBit(TarnRun& run, std::string_view name, int32_t value, uint16_t bit, uint8_t kind) {
  SymbolNode* node = run.symbols.Find(name);
  if (!node) return DefineSymbolBit(run, name, value, bit, kind);
  if (node->kind != kind) return 0;
  node->value = value;
  node->bit = bit;
  return 1;
}

int SetSymbol(TarnRun& run, std::string_view name, int32_t value, uint8_t kind) {
  return SetSymbolBit(run, name, value, 0, kind);
}

SymbolValue ValueOf(const SymbolNode* node) {
  if (!node) return {};
  return {node->value, node->bit};
}

int SymbolCount(const TarnRun& run) { return run.symbols.Count(); }

void FreeSymbols(TarnRun& run) { run.symbols.Clear(); }

}  // namespace tarn
