#include "assembler/symbols.h"

#include <algorithm>

#include "assembler/run.h"
#include "assembler/sources.h"
#include "assembler/text.h"

namespace tarn {
namespace {

// The first eight bytes of the folded name as a number that orders as they do; a shorter name
// is padded with zero bytes, which sort first as its end would.
uint64_t FoldedHead(std::string_view name) {
  uint64_t head = 0;
  for (size_t i = 0; i < 8; ++i) {
    unsigned char c = i < name.size() ? static_cast<unsigned char>(UpperChar(name[i])) : 0;
    head = head << 8 | c;
  }
  return head;
}

}  // namespace

SymbolNode* SymbolTable::Find(std::string_view name) {
  const uint32_t* index = first_.Find(name);
  return index ? &nodes_[*index] : nullptr;
}

SymbolNode& SymbolTable::Insert(SymbolNode node) {
  uint32_t index = static_cast<uint32_t>(nodes_.size());
  SymbolNode& stored = nodes_.emplace_back(std::move(node));
  // A later node of a name only shows in the walk, after the earlier ones.
  first_.Emplace(stored.name, index);
  ordered_valid_ = false;
  return stored;
}

void SymbolTable::Clear() {
  first_.Clear();
  nodes_.clear();
  ordered_.clear();
  ordered_valid_ = true;
}

const std::vector<uint32_t>& SymbolTable::Ordered() const {
  if (!ordered_valid_) {
    // Sorted on the first eight folded bytes, where most names differ, by a stable radix sort
    // (equal heads keep the order of insertion); the whole names then order each run of
    // equal heads, the insertion order the nodes of one name.
    struct Key {
      uint64_t head;
      uint32_t index;
    };
    std::vector<Key> keys(nodes_.size());
    for (uint32_t i = 0; i < keys.size(); ++i) keys[i] = {FoldedHead(nodes_[i].name), i};
    std::vector<Key> sorted(keys.size());
    for (int shift = 0; shift < 64; shift += 8) {
      size_t starts[257] = {};
      for (const Key& k : keys) ++starts[((k.head >> shift) & 0xFF) + 1];
      // A byte that every name shares orders nothing.
      if (std::find(starts + 1, starts + 257, keys.size()) != starts + 257) continue;
      for (int b = 1; b < 257; ++b) starts[b] += starts[b - 1];
      for (const Key& k : keys) sorted[starts[(k.head >> shift) & 0xFF]++] = k;
      keys.swap(sorted);
    }
    auto by_name = [this](const Key& a, const Key& b) {
      return CompareNoCase(nodes_[a.index].name, nodes_[b.index].name) < 0;
    };
    for (size_t first = 0; first < keys.size();) {
      size_t last = first + 1;
      while (last < keys.size() && keys[last].head == keys[first].head) ++last;
      if (last - first > 1) std::stable_sort(keys.begin() + first, keys.begin() + last, by_name);
      first = last;
    }
    ordered_.resize(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) ordered_[i] = keys[i].index;
    ordered_valid_ = true;
  }
  return ordered_;
}

SymbolNode* FindSymbol(TarnRun& run, std::string_view name) { return run.symbols.Find(name); }

SymbolNode& NewSymbol(TarnRun& run, std::string_view name, int32_t value, uint16_t bit,
                      uint8_t kind) {
  SymbolNode node;
  node.name = std::string(name);
  node.line = ListingLineNumber(run);
  node.value = value;
  node.bit = bit;
  node.kind = kind;
  node.has_bit = bit != 0 || run.expression.dot_used;
  return run.symbols.Insert(std::move(node));
}

int DefineSymbolBit(TarnRun& run, std::string_view name, int32_t value, uint16_t bit,
                    uint8_t kind) {
  NewSymbol(run, name, value, bit, kind);
  return 1;
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

}  // namespace tarn
