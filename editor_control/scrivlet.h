#pragma once
// TScrivlet: the editor control's text core, free of any window system. It owns the
// paragraph table, the registered navigators, the selection, the single edit primitive and
// the undo list; the Qt shell draws it and feeds it input.
//
// invariant: every change of the text passes through InsertTextBuf;
//            SelStartNav->Offset() <= SelEndNav->Offset();
//            records below UndoLevel can be undone, those at and above it redone, and
//            UndoBytes is the sum of their sizes (SelfTest checks all of this).

#include <climits>
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "editor_control/highlighter.h"
#include "editor_control/keyword_list.h"
#include "editor_control/navigator.h"
#include "editor_control/paragraphs_list.h"
#include "editor_control/start_stop_keys.h"
#include "editor_control/text_measurer.h"
#include "editor_control/undo.h"

namespace scrivlet {

enum TScrivletOption : uint32_t {
  zkoKeepColumnPos = 1u << 0,
  zkoPutExtraSpaces = 1u << 1,
  zkoWrapCaret = 1u << 2,
  zkoInsertKeyActive = 1u << 3,
  zkoWideOverwriteCaret = 1u << 4,
  zkoLargeWordSelect = 1u << 5,
  zkoAutoScrollBars = 1u << 6,
  zkoNoDragnDrop = 1u << 7,
  zkoAutoIndent = 1u << 8,
  zkoBackIndent = 1u << 9,
  zkoWindowsSelColors = 1u << 10,
  zkoFullLineSelect = 1u << 11,
  zkoDiscardTrailingSpaces = 1u << 12,
  zkoNoFineScroll = 1u << 13,
  zkoNoLineSelection = 1u << 14,
  zkoNoDefaultPopup = 1u << 15,
  zkoBlockSelection = 1u << 16,
  zkoAutoLineBreak = 1u << 17,
  zkoPlainClipboard = 1u << 18,
  zkoPersistentBlocks = 1u << 19,
  zkoNoOverwriteBlocks = 1u << 20,
  zkoSmartTabs = 1u << 21,
  zkoKeepParBackgnd = 1u << 22,
};

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Codes the change listeners get.
enum TChangeCode : int { kChangeAfter = 1, kCaretMoved = 2, kStyleAtCaret = 4, kChangeBefore = 1024 };

// Where highlighting and layout plug into the core; each does nothing until the layout
// engine is attached.
class TScrivletEngine {
 public:
  virtual ~TScrivletEngine() = default;
  // The style runs at the two ends of a change need repair.
  virtual void RepairRuns(TScrivNavigator& /*from*/, TScrivNavigator& /*to*/, bool /*runsRemoved*/) {}
  virtual void ScanSections(TScrivNavigator& /*from*/, TScrivNavigator& /*to*/) {}
  virtual void ScanKeywords(TScrivNavigator& /*from*/, TScrivNavigator& /*to*/) {}
  // The refresh after a change: lay out and repaint FirstChanged .. LastChanged.
  virtual void RefreshChanged() {}
};

class TScrivlet {
 public:
  TScrivlet();
  virtual ~TScrivlet();
  TScrivlet(const TScrivlet&) = delete;
  TScrivlet& operator=(const TScrivlet&) = delete;

  static constexpr const char* kVersion = "TScrivlet 2.0";

  // --- the text ---
  TParagraphsList Paragraphs;
  int32_t CharCount() const { return Paragraphs.CharCount; }
  std::string Text();  // the whole text with CR LF breaks
  std::string GetTextRange(int32_t from, int32_t to);
  void LoadFromStream(std::istream& stream);
  void SaveToStream(std::ostream& stream);
  void SetTextBuf(std::string_view text);
  void ClearText() { SetTextBuf({}); }

  // --- the edit primitive: replaces the selection by text (up to its first zero byte) ---
  virtual void InsertTextBuf(std::string_view text);
  void ClearSelection() { InsertTextBuf({}); }

  void BeginUpdate() { ++UpdateDepth; }
  void EndUpdate();

  // --- selection (positions are absolute offsets) ---
  int32_t SelStart() const { return SelStartNav->Offset(); }
  int32_t SelEnd() const { return SelEndNav->Offset(); }
  int32_t SelLength = 0;  // signed, measured from the caret
  void SetSelStart(int32_t n);
  void SetSelLength(int32_t n);
  void Select(int32_t anchor, int32_t caret);  // caret end and anchor end
  std::string SelText() { return GetTextRange(SelStart(), SelEnd()); }
  TScrivNavigator& CaretNav() { return *Caret; }

  // --- undo ---
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  void ClearUndo();
  int32_t GetUndoMaxLevel() const { return undoMaxLevel_; }
  void SetUndoMaxLevel(int32_t n);
  int32_t GetUndoMaxSpace() const { return undoMaxSpace_; }
  void SetUndoMaxSpace(int32_t n);
  const std::vector<TUndoRecord>& UndoList() const { return undoList_; }
  int32_t UndoLevel() const { return undoLevel_; }
  int64_t UndoBytes() const { return undoBytes_; }

  // Walks the table, the navigators and the undo list; raises EScrivletError at the first
  // mismatch ("Error 2 in " and the version, and so on).
  void SelfTest();

  // --- settings the core reads ---
  bool GetStaticFormat() const { return Paragraphs.StaticFormat; }
  // Style characters are read when a text is loaded: a text that is there is saved and
  // loaded again under the new setting (Modified stays).
  void SetStaticFormat(bool on);
  uint32_t Options = 0;
  bool DropEmptyStyleRuns = true;
  TScrivLineBreak LineBreak = TScrivLineBreak::pbCRLF;
  char NullReplacement = 0;
  int ProgressInterval = 100;
  TProgressCallback OnProgress;
  bool WordWrap = true;
  TAlignment Alignment = TAlignment::taLeftJustify;
  int32_t TabStops = 8;
  int32_t LeftMargin = 8;
  int32_t RightMargin = 8;
  int32_t TopMargin = 0;
  int32_t ClientWidth = 100;
  int32_t HorzScroll = 0;  // pixels
  int32_t VertScroll = 0;  // pixels
  TTextMeasurer* Measurer = nullptr;  // not owned
  TSeparators Separators;
  int32_t LineHeight() const { return Measurer ? Measurer->Height() : 1; }

  TKeywordList Keywords;
  TStartStopKeyList StartStopKeys;
  TScrivHighlighter* GetHighlighter() const { return highlighter_; }
  void SetHighlighter(TScrivHighlighter* h);
  TScrivletEngine* Engine = nullptr;  // not owned

  // --- state ---
  int32_t UpdateDepth = 0;
  bool Modified = false;
  bool Undoing() const { return undoing_; }
  bool UndoBreak = false;
  bool Loading = false;    // the form is being read
  bool Designing = false;  // in the form designer
  bool BlockMode = false;
  int32_t BlockStartCol = 0;
  int32_t BlockEndCol = 0;
  std::string PendingSpaces;
  int32_t DesiredX = kNoDesiredX;
  static constexpr int32_t kNoDesiredX = INT32_MIN;

  // --- events ---
  std::function<void(TScrivlet&, std::string&)> OnBeforeChange;
  std::function<void(TScrivlet&, int32_t, int32_t)> OnParse;
  std::function<void(TScrivlet&)> OnChange;
  std::vector<std::function<void(TScrivlet&, int)>> ChangeListeners;

  // --- navigators ---
  TScrivNavigator* TopLineNav;
  TScrivNavigator* SelStartNav;
  TScrivNavigator* SelEndNav;
  TScrivNavigator* PasteCaretNav;
  TScrivNavigator* Caret;
  TScrivNavigator* Scratch[4];
  TScrivNavigator* WorkNav;
  const std::vector<TScrivNavigator*>& Navigators() const { return navigators_; }

 private:
  friend class TScrivNavigator;
  friend class TScrivHighlighter;
  void Register(TScrivNavigator* nav) { navigators_.push_back(nav); }
  void Unregister(TScrivNavigator* nav);
  void NotifyListeners(int code);
  void RefreshAfterChange();

  // Edit primitive pieces.
  void DeleteColumnBlock();
  int32_t ColumnToPos(int32_t paraIndex, int32_t col);
  void CorrectNavigators(int32_t oldStart, int32_t oldEnd, int32_t newEnd, int32_t firstPara,
                         int32_t lastPara, const TInsertResult& r);
  void Rehighlight(int32_t start, int32_t end, bool runsRemoved, bool keyStyleAtStart);
  void DropEmptyRuns(int32_t firstPara, int32_t lastPara);
  int32_t WidenOverTrailingBlanks(std::string_view text);

  // Undo pieces.
  void FreeRecord(size_t i);
  void FreeRedoRecords();
  void TrimToSpace(int32_t space);
  void Replay(bool redo);

  std::vector<TScrivNavigator*> navigators_;
  std::vector<std::unique_ptr<TScrivNavigator>> owned_;
  std::vector<TUndoRecord> undoList_;
  int32_t undoLevel_ = 0;
  int64_t undoBytes_ = 0;
  int32_t undoMaxLevel_ = 65536;
  int32_t undoMaxSpace_ = 4194304;
  bool undoing_ = false;
  bool droppingRuns_ = false;
  TScrivHighlighter* highlighter_ = nullptr;
};

}  // namespace scrivlet
