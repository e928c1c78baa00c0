#pragma once
// LegacyTextBuffer: the legacy editor's flat text, one block of Capacity characters with a gap
// where the next character goes.
//
// invariant: 0 <= gap_start_ <= length_ <= capacity_; text position p lies at block index p
// when p < gap_start_, else at p + capacity_ - length_ (the gap is capacity_ - length_ long).
// The block has one byte more than the capacity: the NUL behind a full text.

#include <cstdint>
#include <string>
#include <vector>

namespace workbench {

// The legacy editor holds at most this many characters (a line break is one).
inline constexpr int kLegacyCapacity = 1'000'000;

class LegacyTextBuffer {
 public:
  explicit LegacyTextBuffer(int capacity = kLegacyCapacity);

  int Length() const { return length_; }
  int Capacity() const { return capacity_; }
  int GapStart() const { return gap_start_; }
  int Room() const { return capacity_ - length_; }
  // Counts the changes of the text: what was saved is known by the count it had then.
  std::uint64_t Revision() const { return revision_; }

  // 0 <= pos < Length().
  char At(int pos) const { return block_[Index(pos)]; }

  // Moves the gap to pos by copying only the characters between the old and the new place.
  void MoveGap(int pos);
  // Stores c at pos; false (and nothing stored) when the buffer is full.
  [[nodiscard]] bool InsertAt(int pos, char c);
  // Removes [start, stop).
  void DeleteRange(int start, int stop);
  void Clear();

  // The whole text in one piece with a NUL after it; the gap moves to the end. Valid until
  // the next change.
  const char* Terminated();
  std::string Text(int start, int stop) const;

 private:
  std::size_t Index(int pos) const {
    return static_cast<std::size_t>(pos < gap_start_ ? pos : pos + capacity_ - length_);
  }

  std::vector<char> block_;
  int capacity_;
  int length_ = 0;
  int gap_start_ = 0;
  std::uint64_t revision_ = 0;
};

}  // namespace workbench
