#include "assembler/symbols.h"

#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/text.h"

namespace tarn {

SymbolNode* SymbolTable::Find(std::string_view name) {
  // lower_bound: of several symbols with one name, the first inserted.
  std::string key = UpperCase(name);
  auto it = nodes_.lower_bound(key);
  if (it == nodes_.end() || it->first != key) return nullptr;
  return &it->second;
}

SymbolNode& SymbolTable::Insert(SymbolNode node) {
  ++count_;
  std::string key = UpperCase(node.name);
  // A new node goes after every node of the same name, as it would as a right leaf.
  return nodes_.emplace(std::move(key), std::move(node))->second;
}

void SymbolTable::Clear() {
  nodes_.clear();
  count_ = 0;
}

SymbolNode* FindSymbol(TarnRun& run, std::string_view name) { return run.symbols.Find(name); }

int DefineSymbolBit(TarnRun& run, std::string_view name, int32_t value, uint16_t bit, uint8_t kind) {
  SymbolNode node;
  node.name = std::string(name);
  node.line = static_cast<uint16_t>(ListingLineNumber(run));
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
