#pragma once
// TScrivNavigator: one position in the editor's text, with a lazy cache of where it lies in
// the paragraph table (paragraph, position in it, display line, style run).
//
// invariant: resolved (ParaIndex >= 0) means Para is the record of paragraph ParaIndex and
//            PosInPara == Offset - Para->StartOffset, within 0 .. length + 1;
//            RunIndex is -1 or lies between the number of runs that start before the
//            position and the number that start at or before it;
//            LineInPara is -1 or a line with Start <= position <= End (computed lazily as
//            the last line whose start is at or before the position; a column move to a
//            line's end keeps it on that line).
// Offsets count every paragraph break as 2 characters (read back as CR, LF).

#include <bitset>
#include <cstdint>
#include <functional>
#include <string>

#include "editor_control/paragraphs_list.h"

namespace scrivlet {

class TScrivlet;
using TSeparators = std::bitset<256>;

class TScrivNavigator {
 public:
  // Registered with the memo, whose edits keep it in place; it must not outlive the memo.
  explicit TScrivNavigator(TScrivlet& memo);
  // A private navigator over a bare table: not registered, no display settings.
  explicit TScrivNavigator(TParagraphsList& list);
  ~TScrivNavigator();
  TScrivNavigator(const TScrivNavigator&) = delete;
  TScrivNavigator& operator=(const TScrivNavigator&) = delete;

  bool StickToEnd = false;  // moves to the end of new text that replaces its position
  // Destroyed by the memo (with delete, so such a navigator must come from new) when the text
  // at its position is deleted; OnFree tells its owner.
  bool FreeOnDelete = false;
  std::function<void(TScrivNavigator&)> OnFree;
  TScrivlet* const Memo;

  void Assign(const TScrivNavigator& other);
  void Unresolve();
  bool Resolved() const { return para_index_ >= 0; }

  // By offset.
  int32_t Offset() const { return offset_; }
  void SetOffset(int32_t n);
  int32_t GetParaIndex();
  TParagraph* GetPara();
  int32_t GetPosInPara();

  // By paragraph and position.
  void SetParaIndex(int32_t i);
  void SetPosInPara(int32_t n);
  int32_t GetRunIndex();
  void SetRunIndex(int32_t k);
  void SkipRunsHere();
  bool PrevRun(int32_t limit);
  bool NextRun(int32_t limit);
  void StepBackRun();
  const TStyleRun& CurrentStyle();
  void CopyStyle(TStyleRun& out) { out = CurrentStyle(); }
  void InsertRun(const TStyleRun& run);
  void DeleteRun();
  uint8_t InlineStyle();
  uint8_t CharAt();  // 13 at a paragraph end, 10 one further, 0 at the end of the text
  std::string CopyText(int32_t n);

  // By display line and column.
  int32_t GetDisplayLine();
  void SetDisplayLine(int32_t n);
  int32_t GetVisibleLine();
  void SetVisibleLine(int32_t n);
  bool IsVisible();
  int32_t GetLineInPara();
  int32_t ColumnInLine();
  void SetColumnInLine(int32_t col);
  std::string LineText();

  // By word.
  void WordStartBack(const TSeparators& seps);
  void NextWordStart(const TSeparators& seps);
  void WordEnd(const TSeparators& seps);
  void CurrentWordStart(const TSeparators& seps);

  // By pixel, in client coordinates (needs a memo with a measurer).
  void SetFromPoint(int32_t x, int32_t y);
  void SetFromX(int32_t x);
  int32_t GetX();
  int32_t GetY();
  void GetPoint(int32_t& x, int32_t& y) {
    x = GetX();
    y = GetY();
  }
  int32_t CharWidth();

  // The cached values as they stand, for the self-test and the edit primitive.
  int32_t CachedParaIndex() const { return para_index_; }
  int32_t CachedRunIndex() const { return run_index_; }
  int32_t CachedLineInPara() const { return line_in_para_; }
  int32_t CachedPosInPara() const { return pos_in_para_; }
  const TParagraph* CachedPara() const { return para_; }
  void DropLineAndRunCaches() { run_index_ = line_in_para_ = -1; }
  // Moves a resolved navigator by whole paragraphs after rows were added or removed in front
  // of it; its position inside the paragraph stays.
  void ShiftParagraphIndex(int32_t added, int32_t offset_delta);

 private:
  void Resolve();
  void ResolveAt(int32_t index);
  int32_t ComputeRunIndex() const;
  int32_t ComputeLineInPara() const;
  int32_t Length() const { return para::Length(*para_); }
  uint8_t CharAtOffset(int32_t offset) const;

  TParagraphsList& list_;
  int32_t offset_ = 0;
  TParagraph* para_ = nullptr;
  int32_t para_index_ = -1;
  int32_t pos_in_para_ = -1;
  int32_t run_index_ = -1;
  int32_t line_in_para_ = -1;
};

}  // namespace scrivlet
