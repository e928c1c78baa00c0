// The edit primitive: every change of the text, typed, pasted, set by a program, undone or
// redone, replaces the selection through InsertTextBuf.

#include <algorithm>

#include "editor_control/flag_scope.h"
#include "editor_control/scrivlet.h"

namespace scrivlet {
namespace {

std::string_view TextOf(const TParagraph& p) {
  return {p.Text ? p.Text : "", static_cast<size_t>(para::Length(p))};
}

}  // namespace

int32_t TScrivlet::ColumnToPos(int32_t para_index, int32_t col) {
  const std::string_view text = TextOf(Table.Items(para_index));
  int32_t c = 0;
  int32_t pos = 0;
  for (; pos < static_cast<int32_t>(text.size()) && c < col; ++pos) {
    const auto ch = static_cast<uint8_t>(text[static_cast<size_t>(pos)]);
    if (ch == 9 && GetTabStops() > 0)
      c = (c / GetTabStops() + 1) * GetTabStops();
    else if (!(GetStaticFormat() && IsStyleChar(ch)))
      ++c;
  }
  return pos;
}

void TScrivlet::DeleteColumnBlock() {
  const int32_t first = sel_start_nav_->GetParaIndex();
  const int32_t last = sel_end_nav_->GetParaIndex();
  const int32_t left = std::min(block_start_col_, block_end_col_);
  const int32_t right = std::max(block_start_col_, block_end_col_);
  block_mode_ = false;
  TUpdateGuard update(*this);
  for (int32_t i = first; i <= last; ++i) {
    const int32_t a = ColumnToPos(i, left);
    const int32_t b = ColumnToPos(i, right);
    if (a >= b) continue;
    const int32_t start = Table.Items(i).StartOffset;
    Select(start + b, start + a);
    InsertTextBuf({});
  }
}

// With trailing blanks discarded, a break typed behind blanks drops them; they are taken
// into the replaced range first so that the undo record holds them too.
int32_t TScrivlet::WidenOverTrailingBlanks(std::string_view text) {
  const size_t cr = text.find('\r');
  if (cr == std::string_view::npos) return 0;
  if (!std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cr), IsBlank)) return 0;
  const TParagraph& p = *sel_start_nav_->GetPara();
  int32_t pos = std::min(sel_start_nav_->GetPosInPara(), para::Length(p));
  const int32_t from = pos;
  while (pos > 0 && IsBlank(p.Text[pos - 1])) --pos;
  if (pos == from) return 0;
  sel_start_nav_->SetOffset(p.StartOffset + pos);
  sel_length_ = caret_ == sel_start_nav_ ? SelUpper() - SelLower() : SelLower() - SelUpper();
  return from - pos;
}

void TScrivlet::CorrectNavigators(int32_t old_start, int32_t old_end, int32_t new_end,
                                  int32_t first_para, int32_t last_para, const TInsertResult& r) {
  const std::vector<TScrivNavigator*> navs = navigators_;  // a FreeOnDelete one leaves the list
  for (TScrivNavigator* nav : navs) {
    if (nav == sel_start_nav_ || nav == sel_end_nav_) continue;
    const int32_t o = nav->Offset();
    const int32_t index = nav->CachedParaIndex();
    if (o < old_start) {
      if (index >= first_para && index <= last_para) {
        nav->Unresolve();
        nav->SetOffset(o);
      }
    } else if (o > old_end) {
      if (index > last_para) {
        nav->ShiftParagraphIndex(r.ParagraphsAdded, r.OffsetDelta);
      } else {
        nav->Unresolve();
        nav->SetOffset(o + r.OffsetDelta);
      }
    } else {
      const bool strictly_inside = nav->StickToEnd ? o < old_end : o > old_start;
      if (nav->FreeOnDelete && strictly_inside) {
        delete nav;
        continue;
      }
      nav->Unresolve();
      nav->SetOffset(nav->StickToEnd ? new_end : old_start);
    }
  }
}

void TScrivlet::Rehighlight(int32_t start, int32_t end, bool runs_removed,
                            bool plain_attrs_at_start) {
  TScrivNavigator& from = *scratch_[0];
  TScrivNavigator& to = *scratch_[1];
  from.SetOffset(start);
  to.SetOffset(end);
  if (Engine != nullptr) Engine->RepairRuns(from, to, runs_removed);
  // Text inside a style that a program applied keeps it; nothing to re-highlight there.
  if (!runs_removed && plain_attrs_at_start) return;
  if (OnParse) OnParse(*this, start, end);
  const int32_t first = from.GetParaIndex();
  const int32_t last = to.GetParaIndex();
  TParagraph& p = Table.Items(first);
  if (update_depth_ > 0) {
    for (int32_t i = first; i <= last; ++i)
      Table.Items(i).Flags &= static_cast<uint8_t>(~kScanFlags);
    return;
  }
  if (p.Flags & pfKeysScanned) {
    if (highlighter_ != nullptr)
      highlighter_->BeforeSections(from, to, StartStopKeys.Count(), Keywords.Count());
    if (Engine != nullptr) Engine->ScanSections(from, to);
  }
  if (p.Flags & pfKeywordsScanned) {
    if (Engine != nullptr) Engine->ScanKeywords(from, to);
    Table.Items(first).Flags |= pfKeywordsScanned;
  }
}

void TScrivlet::DropEmptyRuns(int32_t first_para, int32_t last_para) {
  FlagScope scope(dropping_runs_, true);
  for (int32_t i = first_para; i <= last_para && i < Table.Count(); ++i) {
    for (;;) {
      const TParagraph& p = Table.Items(i);
      const auto [a, b] = FindEmptyRun(TextOf(p));
      if (a == std::string_view::npos) break;
      const int32_t start = p.StartOffset;
      // The later character first, so the earlier one keeps its offset.
      Select(start + static_cast<int32_t>(b) + 1, start + static_cast<int32_t>(b));
      InsertTextBuf({});
      Select(start + static_cast<int32_t>(a) + 1, start + static_cast<int32_t>(a));
      InsertTextBuf({});
    }
  }
}

void TScrivlet::InsertTextBuf(std::string_view text_in) {
  // A change that no update holds is a step of its own, with all it does inside.
  if (update_depth_ == 0 && edits_running_ == 0) ++step_serial_;
  struct Running {
    explicit Running(int32_t& count) : count_(count) { ++count_; }
    ~Running() { --count_; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
    int32_t& count_;
  } running(edits_running_);
  ++edit_count_;
  std::string text(text_in.substr(0, text_in.find('\0')));
  if (OnBeforeChange) {
    OnBeforeChange(*this, text);
    text.resize(std::char_traits<char>::length(text.c_str()));
  }
  NotifyListeners(kChangeBefore);

  // A selection end between the CR and the LF of a break goes back to the paragraph end.
  for (TScrivNavigator* nav : {sel_start_nav_, sel_end_nav_})
    if (nav->GetPosInPara() > para::Length(*nav->GetPara())) nav->SetOffset(nav->Offset() - 1);
  sel_length_ = caret_ == sel_start_nav_ ? SelUpper() - SelLower() : SelLower() - SelUpper();

  if (SelLower() == SelUpper() && text.empty()) return;
  if (block_mode_) {
    DeleteColumnBlock();
    if (text.empty()) return;
  }

  pending_spaces_.clear();
  desired_x_ = kNoDesiredX;
  // Undo and Redo put back exactly the recorded text: none of the automatic edits then.
  const bool automatic = !undoing_ && !verbatim_;
  const bool discard = automatic && (options_ & zkoDiscardTrailingSpaces) != 0;
  if (discard) WidenOverTrailingBlanks(text);

  const int32_t old_start = SelLower();
  const int32_t old_end = SelUpper();
  const bool record = !undoing_ && !Loading && !Designing && undo_max_level_ != 0;
  if (!record && !undoing_) LoseSavePoint();
  bool extend = false;
  TUndoRecord rec;
  if (record) {
    // Judged as if the redo records were gone already; they go once the insertion stands.
    // A change after a save starts a record of its own, so Undo can stop at the saved text.
    const bool need_new =
        old_start != old_end || undo_level_ == 0 || UndoBreak || undo_level_ == save_point_;
    if (!need_new) {
      const TUndoRecord& last = undo_list_[static_cast<size_t>(undo_level_ - 1)];
      // Typing goes on in the record it began; inside an update only the update's own.
      extend = caret_->Offset() == last.End && last.End != last.Start &&
               last.Group == update_depth_ && (update_depth_ == 0 || last.Step == step_serial_);
    }
    if (!extend) {
      rec.Start = old_start;
      rec.Group = update_depth_;
      rec.Step = step_serial_;
      rec.Replaced = GetTextRange(old_start, old_end);
    }
  }
  const TStyleRun& start_style = sel_start_nav_->CurrentStyle();
  const bool plain_attrs_at_start =
      (start_style.RunFlags & kRunHasAttributes) != 0 && (start_style.RunFlags & kRunByKey) == 0;
  const int32_t first_para = sel_start_nav_->GetParaIndex();
  const int32_t last_para = sel_end_nav_->GetParaIndex();

  // An exception here leaves no half-made record: nothing was committed yet.
  ++update_depth_;
  TInsertResult r;
  try {
    // Dropping an empty run deletes its toggles one by one; putting them back would undo that.
    r = Table.InsertText(text, *sel_start_nav_, automatic && !dropping_runs_, discard,
                         *sel_end_nav_);
  } catch (...) {
    --update_depth_;
    throw;
  }
  --update_depth_;
  const int32_t new_end = old_end + r.OffsetDelta;

  if (record) {
    UndoBreak = false;
    FreeRedoRecords();
    if (extend) {
      undo_list_[static_cast<size_t>(undo_level_ - 1)].End = new_end;
    } else {
      // The limits make room by older steps only: the one being recorded stays whole.
      while (undo_max_level_ > 0 && undo_level_ > undo_max_level_ &&
             undo_list_.front().Step != step_serial_)
        FreeOldestStep();
      undo_bytes_ += rec.Size();
      undo_list_.push_back(std::move(rec));
      ++undo_level_;
      if (undo_max_space_ > 0) TrimToSpace(undo_max_space_);
      undo_list_.back().End = new_end;
    }
  }

  sel_start_nav_->Unresolve();
  sel_start_nav_->SetOffset(old_start);
  sel_end_nav_->Unresolve();
  sel_end_nav_->SetOffset(new_end);
  CorrectNavigators(old_start, old_end, new_end, first_para, last_para, r);

  TScrivNavigator end(*this);  // the caret's place, kept right by the edits that follow
  end.SetOffset(new_end);
  const int32_t changed_last = first_para + (last_para - first_para) + r.ParagraphsAdded;
  Rehighlight(old_start, new_end, r.RunsRemoved, plain_attrs_at_start);
  if (automatic && GetStaticFormat() && DropEmptyStyleRuns && !dropping_runs_)
    DropEmptyRuns(first_para, changed_last);

  sel_start_nav_->SetOffset(end.Offset());
  sel_end_nav_->SetOffset(end.Offset());
  caret_ = sel_start_nav_;
  sel_length_ = 0;
  if (update_depth_ == 0) RefreshAfterChange();
}

}  // namespace scrivlet
