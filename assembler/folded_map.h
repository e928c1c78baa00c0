#pragma once
// A hash table of names compared without regard to case, for the look-ups every statement
// makes (keywords, symbols): the entries in one array in the order entered, and an
// open-addressing index of 8-byte slots over them, so a look-up hashes the name once, probes a
// few neighbouring slots and allocates nothing, and a table stays small enough to be built
// afresh for every run.
//
// Invariants: the number of slots is 0 or a power of two, at most half of them used; a used
// slot holds the upper half of its name's hash and the entry's index + 1 (0 is an empty
// slot); an entry's `name` views characters owned elsewhere, which stay in place while the
// map holds them; a name is entered once (the first value stays). A value's address holds
// until the next Emplace.

#include <cstdint>
#include <string_view>
#include <vector>

#include "assembler/text.h"

namespace tarn {

template <typename Value>
class FoldedMap {
 public:
  // The value of `name` (any case), or nullptr.
  Value* Find(std::string_view name) {
    if (entries_.empty()) return nullptr;
    uint64_t hash = FoldedHash{}(name);
    uint64_t tag = hash >> 32;
    size_t mask = slots_.size() - 1;
    for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
      uint64_t slot = slots_[i];
      if (slot == 0) return nullptr;
      if (slot >> 32 == tag) {
        Entry& entry = entries_[(slot & 0xFFFFFFFFu) - 1];
        if (EqualsNoCase(entry.name, name)) return &entry.value;
      }
    }
  }
  const Value* Find(std::string_view name) const {
    return const_cast<FoldedMap*>(this)->Find(name);
  }

  // Enters `name` with `value` unless the name is there already; gives the value it holds.
  Value& Emplace(std::string_view name, const Value& value) {
    if ((entries_.size() + 1) * 2 > slots_.size()) Grow();
    uint64_t hash = FoldedHash{}(name);
    uint64_t tag = hash >> 32;
    size_t mask = slots_.size() - 1;
    for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
      uint64_t slot = slots_[i];
      if (slot == 0) {
        entries_.push_back(Entry{name, value, hash});
        slots_[i] = tag << 32 | entries_.size();
        return entries_.back().value;
      }
      if (slot >> 32 == tag) {
        Entry& entry = entries_[(slot & 0xFFFFFFFFu) - 1];
        if (EqualsNoCase(entry.name, name)) return entry.value;
      }
    }
  }

  void Clear() {
    slots_.clear();
    entries_.clear();
  }
  size_t Size() const { return entries_.size(); }

 private:
  struct Entry {
    std::string_view name;
    Value value;
    uint64_t hash;  // kept for growing
  };

  void Grow() {
    slots_.assign(slots_.empty() ? 64 : slots_.size() * 2, 0);
    size_t mask = slots_.size() - 1;
    for (size_t e = 0; e < entries_.size(); ++e) {
      size_t i = static_cast<size_t>(entries_[e].hash) & mask;
      while (slots_[i] != 0) i = (i + 1) & mask;
      slots_[i] = (entries_[e].hash >> 32) << 32 | (e + 1);
    }
  }

  std::vector<Entry> entries_;
  std::vector<uint64_t> slots_;
};

}  // namespace tarn
