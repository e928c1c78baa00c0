#include "workbench/open_files.h"

#include <utility>

#include "platform/text.h"

namespace workbench {

OpenFiles::OpenFiles(std::string blank_prefix) : blank_prefix_(std::move(blank_prefix)) {
  rows_.push_back({"", BlankName(blank_counter_, kUnknownKind)});
}

std::string OpenFiles::BlankName(int number, int kind) const {
  std::string name = blank_prefix_ + std::to_string(number);
  if (kind == kAssemblyKind) name += "_ASSEMBLY";
  if (kind == kBasicKind) name += "_QV/B";
  return name + "}";
}

const std::string& OpenFiles::Name(int index) const {
  static const std::string kNone;
  if (!InRange(index)) return kNone;
  const Row& row = rows_[static_cast<std::size_t>(index)];
  return row.Path.empty() ? row.BlankName : row.Path;
}

bool OpenFiles::IsNamed(int index) const {
  return InRange(index) && !rows_[static_cast<std::size_t>(index)].Path.empty();
}

int OpenFiles::Find(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (platform::SameText(Name(i), name)) return i;
  return -1;
}

bool OpenFiles::TakeFirstNew(bool first_modified) {
  const bool take = !first_new_done_ && Count() == 1 && !IsNamed(0) && !first_modified;
  first_new_done_ = true;
  return take;
}

int OpenFiles::AddBlank(int kind) {
  rows_.push_back({"", BlankName(++blank_counter_, kind)});
  return Count() - 1;
}

std::string OpenFiles::Rename(int index, const std::string& path) {
  if (!InRange(index)) return {};
  std::string old = Name(index);
  rows_[static_cast<std::size_t>(index)].Path = path;
  return old;
}

void OpenFiles::Remove(int index) {
  // The last row stays: the window always shows one editor.
  if (!InRange(index) || Count() == 1) return;
  rows_.erase(rows_.begin() + index);
  if (current_ == index)
    current_ = -1;
  else if (current_ > index)
    --current_;
}

void OpenFiles::Select(int index) {
  if (!InRange(index)) return;
  // Selecting the row in front again (activation, a reload) keeps the one before it.
  if (current_ >= 0 && current_ != index) previous_ = current_;
  current_ = index;
}

void OpenFiles::Restore(int index) {
  if (InRange(index)) current_ = index;
}

int OpenFiles::PreviousOrFirst() const { return previous_ < Count() ? previous_ : 0; }

int OpenFiles::Neighbour(bool up) const {
  if (up) return current_ > 0 ? current_ - 1 : Count() - 1;
  return current_ + 1 < Count() ? current_ + 1 : 0;
}

}  // namespace workbench
