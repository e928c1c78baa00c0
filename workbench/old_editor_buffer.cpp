#include "workbench/old_editor_buffer.h"

#include <algorithm>
#include <cstring>

namespace workbench {

LegacyTextBuffer::LegacyTextBuffer(int capacity)
    : block_(static_cast<std::size_t>(capacity) + 1), capacity_(capacity) {}

void LegacyTextBuffer::MoveGap(int pos) {
  const int gap = capacity_ - length_;
  char* block = block_.data();
  if (pos < gap_start_)
    std::memmove(block + pos + gap, block + pos, static_cast<std::size_t>(gap_start_ - pos));
  else if (pos > gap_start_)
    std::memmove(block + gap_start_, block + gap_start_ + gap,
                 static_cast<std::size_t>(pos - gap_start_));
  gap_start_ = pos;
}

bool LegacyTextBuffer::InsertAt(int pos, char c) {
  if (length_ == capacity_) return false;
  MoveGap(pos);
  block_[static_cast<std::size_t>(gap_start_)] = c;
  ++gap_start_;
  ++length_;
  ++revision_;
  return true;
}

void LegacyTextBuffer::DeleteRange(int start, int stop) {
  if (stop <= start) return;
  MoveGap(start);
  length_ -= stop - start;
  ++revision_;
}

void LegacyTextBuffer::Clear() {
  if (length_ > 0) ++revision_;
  length_ = 0;
  gap_start_ = 0;
}

const char* LegacyTextBuffer::Terminated() {
  MoveGap(length_);
  block_[static_cast<std::size_t>(length_)] = 0;
  return block_.data();
}

std::string LegacyTextBuffer::Text(int start, int stop) const {
  std::string text;
  if (stop <= start) return text;
  text.reserve(static_cast<std::size_t>(stop - start));
  const int before_gap = std::min(stop, gap_start_);
  if (start < before_gap) text.append(block_.data() + start, block_.data() + before_gap);
  const int after_gap = std::max(start, gap_start_);
  if (after_gap < stop)
    text.append(block_.data() + Index(after_gap), block_.data() + Index(stop - 1) + 1);
  return text;
}

}  // namespace workbench
