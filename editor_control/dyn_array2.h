#pragma once
// TDynArray2: an array of fixed-size records kept in blocks, so that the table never needs
// one large contiguous allocation and a record never moves when the table grows.
//
// invariant: Capacity() == blocks * PerBlock, at least one block once anything was allocated;
//            0 <= Count() <= Capacity();
//            record i lives in block i / PerBlock at slot i % PerBlock;
//            slots at Count() and above hold default-constructed records.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "editor_control/errors.h"

namespace scrivlet {

template <class Record, int kPerBlock>
class TDynArray2 {
 public:
  static constexpr int32_t PerBlock = kPerBlock;

  TDynArray2() = default;
  TDynArray2(const TDynArray2&) = delete;
  TDynArray2& operator=(const TDynArray2&) = delete;

  int32_t Count() const { return count_; }
  int32_t Capacity() const { return static_cast<int32_t>(blocks_.size()) * PerBlock; }
  int32_t BlockCount() const { return static_cast<int32_t>(blocks_.size()); }

  Record& Items(int32_t i) {
    if (i < 0 || i >= count_) throw ERangeError();
    return Slot(i);
  }
  const Record& Items(int32_t i) const {
    if (i < 0 || i >= count_) throw ERangeError();
    return Slot(i);
  }

  // Keeps (n - 1) / PerBlock + 1 blocks: never fewer than one.
  void SetCapacity(int32_t n) {
    const int32_t blocks = (n > 0 ? (n - 1) / PerBlock : 0) + 1;
    if (blocks * PerBlock < count_) return;  // would drop records in use
    while (static_cast<int32_t>(blocks_.size()) > blocks) blocks_.pop_back();
    while (static_cast<int32_t>(blocks_.size()) < blocks)
      blocks_.push_back(std::make_unique<Record[]>(PerBlock));
  }

  // Grows the capacity when needed and never frees blocks.
  void SetCount(int32_t n) {
    if (n < 0) n = 0;
    if (n > Capacity()) SetCapacity(n);
    for (int32_t i = n; i < count_; ++i) Slot(i) = Record{};
    count_ = n;
  }

  // Only grows, so nothing behind the new count needs clearing.
  int32_t Add(Record record) {
    if (count_ >= Capacity()) SetCapacity(count_ + 1);
    Slot(count_) = std::move(record);
    return count_++;
  }

  // Opens n default records at index `at`, moving the records behind it up.
  void InsertSlots(int32_t at, int32_t n) {
    if (n <= 0) return;
    const int32_t old = count_;
    SetCount(count_ + n);
    for (int32_t i = old - 1; i >= at; --i) Slot(i + n) = std::move(Slot(i));
    for (int32_t i = at; i < at + n; ++i) Slot(i) = Record{};
  }

  // Removes n records at index `at`, moving the records behind it down.
  void DeleteSlots(int32_t at, int32_t n) {
    if (n <= 0) return;
    for (int32_t i = at + n; i < count_; ++i) Slot(i - n) = std::move(Slot(i));
    SetCount(count_ - n);
  }

  // Calls f(record) for every record from index `from` to the end, block by block.
  template <class F>
  void ForEachFrom(int32_t from, F&& f) {
    if (from < 0) from = 0;
    int32_t i = from;
    while (i < count_) {
      Record* block = blocks_[i / PerBlock].get();
      int32_t slot = i % PerBlock;
      const int32_t last = std::min<int32_t>(PerBlock, slot + (count_ - i));
      for (; slot < last; ++slot, ++i) f(block[slot]);
    }
  }

  // For records that carry StartOffset and FirstLine.
  void ShiftOffsets(int32_t from, int32_t delta) {
    if (delta != 0) ForEachFrom(from, [delta](Record& r) { r.StartOffset += delta; });
  }
  void ShiftLines(int32_t from, int32_t delta) {
    if (delta != 0) ForEachFrom(from, [delta](Record& r) { r.FirstLine += delta; });
  }
  void ShiftBoth(int32_t from, int32_t d_offset, int32_t d_line) {
    if (d_offset == 0 && d_line == 0) return;
    ForEachFrom(from, [d_offset, d_line](Record& r) {
      r.StartOffset += d_offset;
      r.FirstLine += d_line;
    });
  }

 protected:
  Record& Slot(int32_t i) { return blocks_[i / PerBlock][i % PerBlock]; }
  const Record& Slot(int32_t i) const { return blocks_[i / PerBlock][i % PerBlock]; }

 private:
  std::vector<std::unique_ptr<Record[]>> blocks_;
  int32_t count_ = 0;
};

}  // namespace scrivlet
