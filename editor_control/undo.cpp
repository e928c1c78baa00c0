// Undo and redo: the record list, its limits and the replay through the edit primitive.

#include <algorithm>

#include "editor_control/scrivlet.h"

namespace scrivlet {

inline constexpr int32_t kUndoMaxLevelLimit = 134217727;  // 2^27 - 1

bool TScrivlet::CanUndo() const { return undoLevel_ >= (undoing_ ? 2 : 1); }

bool TScrivlet::CanRedo() const {
  const auto count = static_cast<int32_t>(undoList_.size());
  return undoing_ ? count >= undoLevel_ : undoLevel_ < count;
}

bool TScrivlet::Modified() const { return undoLevel_ != savePoint_; }

void TScrivlet::SetModified(bool on) {
  if (on == Modified()) return;
  if (on) LoseSavePoint();
  else savePoint_ = undoLevel_;
}

void TScrivlet::ClearUndo() {
  const bool modified = Modified();
  undoList_.clear();
  undoLevel_ = 0;
  undoBytes_ = 0;
  savePoint_ = 0;
  if (modified) LoseSavePoint();
}

// Dropping the oldest record moves every position down by one and loses the one before it;
// dropping a redo record loses the positions behind it.
void TScrivlet::FreeRecord(size_t i) {
  const auto at = static_cast<int32_t>(i);
  if (savePoint_ >= 0) {
    if (at < undoLevel_) savePoint_ = savePoint_ <= at ? -1 : savePoint_ - 1;
    else if (savePoint_ > at) LoseSavePoint();
  }
  undoBytes_ -= undoList_[i].Size();
  if (static_cast<int32_t>(i) < undoLevel_) --undoLevel_;
  undoList_.erase(undoList_.begin() + static_cast<std::ptrdiff_t>(i));
}

void TScrivlet::FreeRedoRecords() {
  while (static_cast<int32_t>(undoList_.size()) > undoLevel_) FreeRecord(undoList_.size() - 1);
}

void TScrivlet::TrimToSpace(int32_t space) {
  while (undoBytes_ > space && static_cast<int32_t>(undoList_.size()) > undoLevel_)
    FreeRecord(undoList_.size() - 1);
  while (undoBytes_ > space && !undoList_.empty()) FreeRecord(0);
}

void TScrivlet::SetUndoMaxLevel(int32_t n) {
  if (n > kUndoMaxLevelLimit) throw EListError(kUndoSetTooHigh);
  if (n >= 0) {
    const auto keep = static_cast<size_t>(std::max(undoLevel_, n));
    while (undoList_.size() > keep) FreeRecord(undoList_.size() - 1);
    while (undoLevel_ > n) FreeRecord(0);
  }
  undoMaxLevel_ = n;
}

void TScrivlet::SetUndoMaxSpace(int32_t n) {
  if (n > 0) TrimToSpace(n);
  undoMaxSpace_ = n;
}

// One step swaps the record for its mirror image: the text the change had inserted becomes
// the text to put back on the way in the other direction.
void TScrivlet::Replay(bool redo) {
  undoing_ = true;
  BeginUpdate();
  auto finish = [this] {
    EndUpdate();
    undoing_ = false;
  };
  try {
    for (;;) {
      const auto count = static_cast<int32_t>(undoList_.size());
      if (redo ? undoLevel_ >= count : undoLevel_ <= 0) break;
      const size_t i = static_cast<size_t>(redo ? undoLevel_ : undoLevel_ - 1);
      TUndoRecord& old = undoList_[i];
      const int32_t group = old.Group;
      SetSelStart(old.Start);
      SetSelLength(old.End - old.Start);
      TUndoRecord mirror;
      mirror.Start = SelLower();
      mirror.Group = group;
      mirror.Replaced = SelText();
      mirror.End = mirror.Start + static_cast<int32_t>(old.Replaced.size());
      InsertTextBuf(old.Replaced);
      undoBytes_ += mirror.Size() - old.Size();
      old = std::move(mirror);
      undoLevel_ += redo ? 1 : -1;
      // A group saved half way is two steps: each ends at the saved text.
      if (group == 0 || undoLevel_ == savePoint_) break;
      const auto next = redo ? static_cast<size_t>(undoLevel_) : static_cast<size_t>(undoLevel_ - 1);
      if ((redo ? undoLevel_ >= count : undoLevel_ <= 0) || undoList_[next].Group != group) break;
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}

void TScrivlet::Undo() { Replay(false); }
void TScrivlet::Redo() { Replay(true); }

}  // namespace scrivlet
