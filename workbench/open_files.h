#pragma once
// OpenFiles: the files open in the main window's editors, in the order of the file list; row n
// is editor n of the editor array. A row is named by its file's full path from the first load
// or save of its editor on; until then it carries its blank name, the blank prefix ("{Blank_")
// + a number + "_ASSEMBLY" (assembly), "_QV/B" (BASIC) or nothing (unknown type) + "}". The
// number counts every editor made, so a blank name is never given twice in a run. One row is
// in front (the editor shown); the one in front before it is the previous row, where the first
// Ctrl+Tab goes.
//
// invariant: Count() >= 1. Current() is a row, except between the removal of the row in front
// and the next Select, when it is -1. Previous() is the row index the front last left; it is
// not moved when rows go, so it may lie beyond the last row.

#include <string>
#include <vector>

namespace workbench {

class OpenFiles {
 public:
  // File types as the editor array keeps them; they choose a blank name's suffix.
  static constexpr int kUnknownKind = 0;
  static constexpr int kAssemblyKind = 1;
  static constexpr int kBasicKind = 2;

  // The window starts with one blank editor of unknown type, numbered 1, in front.
  explicit OpenFiles(std::string blank_prefix);

  int Count() const { return static_cast<int>(rows_.size()); }
  // The row's path, or its blank name; "" out of range.
  const std::string& Name(int index) const;
  // Whether the row's editor has a file; false out of range.
  bool IsNamed(int index) const;
  // The row named `name` without regard to case, -1.
  int Find(const std::string& name) const;

  // The first new file of the run takes the row the window starts with, while that is the only
  // row, blank and its editor unmodified: true then. Any later new file gets a row of its own.
  [[nodiscard]] bool TakeFirstNew(bool first_modified);
  // A row for a new editor, appended, named by the next blank number; its index.
  int AddBlank(int kind);
  // The row's editor was loaded from or saved to `path`; answers the name the row had.
  std::string Rename(int index, const std::string& path);
  // The row goes and the rows after it move up; the row in front stays in front.
  void Remove(int index);

  int Current() const { return current_; }
  int Previous() const { return previous_; }
  // Brings the row to the front; the row in front before it becomes the previous one. Out of
  // range: nothing.
  void Select(int index);
  // Brings the row to the front and leaves the previous row as it was: the editor in front
  // returns from behind the legacy editor.
  void Restore(int index);
  // Where the first Ctrl+Tab goes: the previous row, or the first when that has gone.
  int PreviousOrFirst() const;
  // The row above (up) or below the one in front, wrapping at the ends.
  int Neighbour(bool up) const;

 private:
  struct Row {
    std::string Path;  // empty while blank
    std::string BlankName;
  };
  bool InRange(int index) const { return index >= 0 && index < Count(); }
  std::string BlankName(int number, int kind) const;

  std::string blank_prefix_;
  std::vector<Row> rows_;
  int blank_counter_ = 1;
  bool first_new_done_ = false;
  int current_ = 0;
  int previous_ = 0;
};

}  // namespace workbench
