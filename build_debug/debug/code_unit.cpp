#include "build_debug/debug/code_unit.h"

#include <algorithm>

#include "build_debug/image/listing_line.h"

namespace build_debug {

int CodeView::LineCount() const { return std::clamp(image_.LineCount, 0, kMaxListingLines); }

void CodeView::SetFirstLine(int line) {
  first_line_ = std::clamp(line, 0, std::max(0, LineCount() - 1));
}

void CodeView::SetLinesPerPage(int lines) { lines_per_page_ = std::max(1, lines); }

namespace {
int AddressLine(const ObjectImage& image, int address) {
  if (address < 0 || address >= kProgramWords) return -1;
  return image.AddressLine[static_cast<std::size_t>(address)];
}
}  // namespace

int CodeView::PcLine() const { return AddressLine(image_, debug_.Live().PC); }

int CodeView::BreakLine() const { return AddressLine(image_, debug_.Live().BreakAddress); }

CodeMark CodeView::Mark(int line) const {
  if (line < 0) return CodeMark::Normal;
  if (line == BreakLine()) return CodeMark::Break;
  if (line == PcLine()) return CodeMark::Pc;
  return CodeMark::Normal;
}

int CodeView::LineAddress(int line) const {
  if (line < 0) return -1;
  for (int address = 0; address < ProgramSize(image_); ++address)
    if (image_.AddressLine[static_cast<std::size_t>(address)] == line) return address;
  return -1;
}

void CodeView::FollowPc() {
  const int pc_line = PcLine();
  if (pc_line < 0) return;
  const int quarter = lines_per_page_ / 4;
  if (pc_line < first_line_ + quarter)
    SetFirstLine(pc_line - quarter);
  else if (pc_line >= first_line_ + lines_per_page_ - quarter)
    SetFirstLine(pc_line - lines_per_page_ + quarter + 1);
}

std::vector<int> CodeView::LinesToRedraw(bool full) {
  drawn_.resize(static_cast<std::size_t>(lines_per_page_));
  std::vector<int> changed;
  for (int position = 0; position < lines_per_page_; ++position) {
    const int line = first_line_ + position;
    Drawn now;
    if (line < LineCount()) now = {line, Mark(line), GetListLine(image_, line)};
    auto& before = drawn_[static_cast<std::size_t>(position)];
    if (full || !(before == now)) changed.push_back(position);
    before = std::move(now);
  }
  return changed;
}

bool CodeView::CanChange() const {
  return debug_.LastStatus() == kStatusStopped && debug_.FreshData();
}

void CodeView::Click(int position) {
  const int address = LineAddress(first_line_ + position);
  if (CanChange() && address >= 0) debug_.ToggleBreakpoint(address);
}

void CodeView::DoubleClick(int position) {
  const int address = LineAddress(first_line_ + position);
  if (CanChange() && address >= 0) debug_.SetProgramCounter(address);
}

}  // namespace build_debug
