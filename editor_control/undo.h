#pragma once
// TUndoRecord: one undoable change.

#include <cstdint>
#include <string>

namespace scrivlet {

struct TUndoRecord {
  int32_t Start = 0;     // where the change begins
  int32_t End = 0;       // where the text that the change inserted ends
  int32_t Group = 0;     // the update depth at the time of the change
  std::string Replaced;  // the text the change removed, breaks as CR LF
  // The command that made it: the records of one step are undone and redone together.
  int64_t Step = 0;

  // What the record costs against UndoMaxSpace: a 12-byte header, the text and its zero.
  int64_t Size() const { return static_cast<int64_t>(Replaced.size()) + 13; }
};

}  // namespace scrivlet
