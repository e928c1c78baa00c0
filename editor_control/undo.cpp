// Undo and redo: the record list, its limits and the replay through the edit primitive.

#include <algorithm>

#include "editor_control/flag_scope.h"
#include "editor_control/scrivlet.h"

namespace scrivlet {

inline constexpr int32_t kUndoMaxLevelLimit = 134217727;  // 2^27 - 1

// While a replayed record is being put back, UndoLevel still counts it; once its step is
// taken (when the replay's update ends and tells the change) the level is exact again.
bool TScrivlet::CanUndo() const { return undo_level_ >= (replaying_record_ ? 2 : 1); }

bool TScrivlet::CanRedo() const {
  const auto count = static_cast<int32_t>(undo_list_.size());
  return replaying_record_ ? count >= undo_level_ : undo_level_ < count;
}

bool TScrivlet::Modified() const { return undo_level_ != save_point_; }

void TScrivlet::SetModified(bool on) {
  if (on == Modified()) return;
  if (on)
    LoseSavePoint();
  else
    save_point_ = undo_level_;
}

int32_t TScrivlet::UndoSteps() const {
  int32_t steps = 0;
  for (int32_t i = 0; i < undo_level_; ++i)
    if (i == 0 || i == save_point_ ||
        undo_list_[static_cast<size_t>(i)].Step != undo_list_[static_cast<size_t>(i - 1)].Step)
      ++steps;
  return steps;
}

void TScrivlet::ClearUndo() {
  const bool modified = Modified();
  undo_steps_dropped_ = false;
  undo_list_.clear();
  undo_level_ = 0;
  undo_bytes_ = 0;
  save_point_ = 0;
  if (modified) LoseSavePoint();
}

// Dropping the oldest record moves every position down by one and loses the one before it;
// dropping a redo record loses the positions behind it.
void TScrivlet::FreeRecord(size_t i) {
  const auto at = static_cast<int32_t>(i);
  if (save_point_ >= 0) {
    if (at < undo_level_)
      save_point_ = save_point_ <= at ? -1 : save_point_ - 1;
    else if (save_point_ > at)
      LoseSavePoint();
  }
  undo_bytes_ -= undo_list_[i].Size();
  if (static_cast<int32_t>(i) < undo_level_) --undo_level_;
  undo_list_.erase(undo_list_.begin() + static_cast<std::ptrdiff_t>(i));
}

void TScrivlet::FreeRedoRecords() {
  while (static_cast<int32_t>(undo_list_.size()) > undo_level_) FreeRecord(undo_list_.size() - 1);
}

void TScrivlet::FreeOldestStep() {
  const int64_t step = undo_list_.front().Step;
  const bool undoable = undo_level_ > 0;
  do {
    FreeRecord(0);
  } while (!undo_list_.empty() && undo_list_.front().Step == step);
  if (undoable) undo_steps_dropped_ = true;
}

void TScrivlet::FreeNewestRedoStep() {
  const int64_t step = undo_list_.back().Step;
  do {
    FreeRecord(undo_list_.size() - 1);
  } while (static_cast<int32_t>(undo_list_.size()) > undo_level_ && undo_list_.back().Step == step);
}

void TScrivlet::TrimToSpace(int32_t space) {
  while (undo_bytes_ > space && static_cast<int32_t>(undo_list_.size()) > undo_level_)
    FreeNewestRedoStep();
  while (undo_bytes_ > space && !undo_list_.empty() && !OldestIsNewestStep()) FreeOldestStep();
}

void TScrivlet::SetUndoMaxLevel(int32_t n) {
  if (n > kUndoMaxLevelLimit) throw EListError(kUndoSetTooHigh);
  if (n >= 0) {
    const auto keep = static_cast<size_t>(std::max(undo_level_, n));
    while (undo_list_.size() > keep) FreeNewestRedoStep();
    // No level at all turns the history off; any other keeps the newest step.
    while (undo_level_ > n && (n == 0 || !OldestIsNewestStep())) FreeOldestStep();
  }
  undo_max_level_ = n;
}

void TScrivlet::SetUndoMaxSpace(int32_t n) {
  if (n > 0) TrimToSpace(n);
  undo_max_space_ = n;
}

// One step swaps the record for its mirror image: the text the change had inserted becomes
// the text to put back on the way in the other direction.
void TScrivlet::Replay(bool redo) {
  // The update ends first, while the replay still counts as undoing; then the flag goes back.
  FlagScope undoing(undoing_, true);
  TUpdateGuard update(*this);
  for (;;) {
    const auto count = static_cast<int32_t>(undo_list_.size());
    if (redo ? undo_level_ >= count : undo_level_ <= 0) break;
    const size_t i = static_cast<size_t>(redo ? undo_level_ : undo_level_ - 1);
    TUndoRecord& old = undo_list_[i];
    const int32_t group = old.Group;
    SetSelStart(old.Start);
    SetSelLength(old.End - old.Start);
    const int64_t step = old.Step;
    TUndoRecord mirror;
    mirror.Start = SelLower();
    mirror.Group = group;
    mirror.Step = step;
    mirror.Replaced = SelText();
    mirror.End = mirror.Start + static_cast<int32_t>(old.Replaced.size());
    {
      FlagScope replaying(replaying_record_, true);
      InsertTextBuf(old.Replaced);
    }
    undo_bytes_ += mirror.Size() - old.Size();
    old = std::move(mirror);
    undo_level_ += redo ? 1 : -1;
    // A step saved half way is two steps: each ends at the saved text.
    if (undo_level_ == save_point_) break;
    const auto next =
        redo ? static_cast<size_t>(undo_level_) : static_cast<size_t>(undo_level_ - 1);
    if ((redo ? undo_level_ >= count : undo_level_ <= 0) || undo_list_[next].Step != step) break;
  }
}

void TScrivlet::Undo() { Replay(false); }
void TScrivlet::Redo() { Replay(true); }

}  // namespace scrivlet
