#pragma once
// A hash table of names compared without regard to case, for the look-ups every statement
// makes (keywords, symbols): open addressing in one array, so a look-up hashes the name once,
// probes a few neighbouring slots and allocates nothing.
//
// Invariants: the number of slots is 0 or a power of two, at most half of them used; a used
// slot's `name` views characters owned elsewhere, which stay in place while the map holds
// them; a name is entered once (the first value stays).

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
    if (count_ == 0) return nullptr;
    uint64_t hash = FoldedHash{}(name);
    size_t mask = slots_.size() - 1;
    for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (!slot.used) return nullptr;
      if (slot.hash == hash && EqualsNoCase(slot.name, name)) return &slot.value;
    }
  }
  const Value* Find(std::string_view name) const { return const_cast<FoldedMap*>(this)->Find(name); }

  // Enters `name` with `value` unless the name is there already; gives the value it holds.
  Value& Emplace(std::string_view name, const Value& value) {
    if ((count_ + 1) * 2 > slots_.size()) Grow();
    uint64_t hash = FoldedHash{}(name);
    size_t mask = slots_.size() - 1;
    for (size_t i = static_cast<size_t>(hash) & mask;; i = (i + 1) & mask) {
      Slot& slot = slots_[i];
      if (!slot.used) {
        slot = Slot{name, hash, value, true};
        ++count_;
        return slot.value;
      }
      if (slot.hash == hash && EqualsNoCase(slot.name, name)) return slot.value;
    }
  }

  void Clear() {
    slots_.clear();
    count_ = 0;
  }
  size_t Size() const { return count_; }

 private:
  struct Slot {
    std::string_view name;
    uint64_t hash = 0;
    Value value{};
    bool used = false;
  };

  void Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
      if (!slot.used) continue;
      size_t i = static_cast<size_t>(slot.hash) & mask;
      while (slots_[i].used) i = (i + 1) & mask;
      slots_[i] = slot;
    }
  }

  std::vector<Slot> slots_;
  size_t count_ = 0;
};

}  // namespace tarn
