#pragma once
// TScrivlet: the editor control's text core, free of any window system. It owns the
// paragraph table, the registered navigators, the selection, the single edit primitive and
// the undo list; the Qt shell draws it and feeds it input.
//
// invariant: every change of the text passes through InsertTextBuf;
//            the selection's start navigator's offset <= its end navigator's;
//            records below UndoLevel can be undone, those at and above it redone, and
//            UndoBytes is the sum of their sizes (SelfTest checks all of this).

#include <algorithm>
#include <climits>
#include <cstdint>
#include <exception>
#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor_control/clipboard.h"
#include "editor_control/format_thread.h"
#include "editor_control/highlighter.h"
#include "editor_control/keyword_list.h"
#include "editor_control/layout.h"
#include "editor_control/navigator.h"
#include "editor_control/paint.h"
#include "editor_control/paragraphs_list.h"
#include "editor_control/start_stop_keys.h"
#include "editor_control/string_views.h"
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
enum TChangeCode : int {
  kChangeAfter = 1,
  kCaretMoved = 2,
  kStyleAtCaret = 4,
  kFontChanged = 512,
  kChangeBefore = 1024
};

enum class TzkUpdateMode { umImmediate, umOnNeed, umBackground };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TBorderStyle { bsNone, bsSingle };
enum TzkNonPrintChar : uint8_t { zkNPSpace = 1 << 0, zkNPTab = 1 << 1, zkNPReturn = 1 << 2 };

// What the control asks of its window; the Qt shell carries it out, tests record it.
class TScrivletWindow {
 public:
  virtual ~TScrivletWindow() = default;
  virtual void Invalidate() {}
  virtual void UpdateCaret() {}
  virtual void UpdateScrollBars() {}
  virtual void RecreateWindow() {}  // a property that the window's style holds changed
  virtual void CaretShapeChanged() {}
};

// The services a control is given; only `main` binds the real ones.
struct TScrivletServices {
  TTickClock* Clock = nullptr;              // nullptr: the machine's monotonic clock
  TSliceScheduler* Scheduler = nullptr;     // nullptr: no background formatting
  TScrivletWindow* Window = nullptr;        // nullptr: no window
  TScrivClipboard* Clipboard = nullptr;     // nullptr: copy and paste do nothing
  TSliceScheduler* ScrollTicker = nullptr;  // steps of an animated scroll; nullptr: at once
};

class TUpdateGuard;

class TScrivlet {
 public:
  explicit TScrivlet(TScrivletServices services = {});
  virtual ~TScrivlet();
  TScrivlet(const TScrivlet&) = delete;
  TScrivlet& operator=(const TScrivlet&) = delete;

  static constexpr const char* kVersion = "TScrivlet 2.0";

  // --- the text ---
  TParagraphsList Table;  // the paragraph table
  TScrivParaStrings Paragraphs{*this};
  TScrivLinesStrings Lines{*this};
  int32_t CharCount() const { return Table.CharCount(); }
  std::string Text();  // the whole text with CR LF breaks
  std::string GetTextRange(int32_t from, int32_t to);
  void LoadFromStream(std::istream& stream);
  void SaveToStream(std::ostream& stream);
  void SetTextBuf(std::string_view text);
  void ClearText() { SetTextBuf({}); }

  // --- the edit primitive: replaces the selection by text (up to its first zero byte) ---
  virtual void InsertTextBuf(std::string_view text);
  void ClearSelection() { InsertTextBuf({}); }

  // The outermost update opens a new undo step: what happens inside it, in brackets of any
  // depth, is undone at once; the next bracket is a step of its own.
  void BeginUpdate() {
    if (update_depth_ == 0 && edits_running_ == 0) ++step_serial_;
    ++update_depth_;
  }
  // After a change: the listeners get code 1, then OnChange fires.
  virtual void Change();
  // The caret display follows the caret: OnSelMove and code 2 when its offset or pending
  // spaces changed since the last update, OnStyleChange and code 4 when the style there did.
  void UpdateCaret();
  void EndUpdate();

  // --- selection (positions are absolute offsets) ---
  // The lower and the higher end of the selection, whichever end the caret is at.
  int32_t SelLower() const { return sel_start_nav_->Offset(); }
  int32_t SelUpper() const { return sel_end_nav_->Offset(); }
  // The caret stands at the lower end; the other end is the anchor a shifted move keeps.
  bool CaretAtSelStart() const { return caret_ == sel_start_nav_; }
  int32_t SelAnchor() const { return CaretAtSelStart() ? SelUpper() : SelLower(); }
  // The paragraphs the selection's ends stand in.
  int32_t SelLowerPara() { return sel_start_nav_->GetParaIndex(); }
  int32_t SelUpperPara() { return sel_end_nav_->GetParaIndex(); }
  int32_t GetSelLength() const { return sel_length_; }      // signed, measured from the caret
  int32_t GetSelStart() const { return caret_->Offset(); }  // the caret
  void SetSelStart(int32_t n);
  void SetSelLength(int32_t n);
  void Select(int32_t anchor, int32_t caret);  // caret end and anchor end
  std::string SelText() { return GetSelText(); }
  std::string GetSelText();  // CR LF for every break; the column text for a column block
  // Pending spaces go in front of the text with zkoPutExtraSpaces; then the edit primitive.
  void SetSelText(std::string_view text);
  void SelectAll();
  int32_t GetSelLine();
  void SetSelLine(int32_t line);
  int32_t GetSelPar();
  void SetSelPar(int32_t par);
  int32_t GetSelCol();
  void SetSelCol(int32_t col);
  void SelectColumnBlock(int32_t col1, int32_t par1, int32_t col2, int32_t par2);
  // Character columns of a paragraph, tabs expanded, style characters taking none.
  int32_t ColumnToPos(int32_t para_index, int32_t col);
  int32_t ColumnOf(int32_t para_index, int32_t pos);
  TScrivNavigator& CaretNav() { return *caret_; }
  // The caret, already at `at`'s offset, takes the place `at` resolved there (a wrapped
  // line's end rather than the next line's start); false when `at` stands elsewhere.
  bool SettleCaret(const TScrivNavigator& at);

  // --- find and style toggles ---
  // Searches from the caret (or from the text's start or end) and selects the hit: forward
  // with the caret at its end, backward with the caret at its start. False when not found;
  // the selection then stays.
  bool FindText(std::string_view text, bool forward, bool from_boundary, bool whole_word,
                bool match_case);
  // Replace All: every hit FindText finds going forward from the text's start, each search
  // going on behind the text put in, replaced by one change (one undo record) built in one
  // pass, so the time grows with the text and the hits. `progress`, when set, hears now and
  // then how far the scan has come; false from it cancels. The number replaced; -1 when
  // cancelled (or the text changed meanwhile), the text then as it was. The caret ends
  // behind the change.
  using TReplaceProgress = std::function<bool(int32_t done, int32_t total)>;
  int32_t ReplaceAll(std::string_view text, std::string_view replacement, bool whole_word,
                     bool match_case, const TReplaceProgress& progress = {});
  void ToggleStyle(uint8_t code);
  void ToggleBold() { ToggleStyle(2); }
  void ToggleItalic() { ToggleStyle(1); }
  void ToggleUnderline() { ToggleStyle(21); }
  void ToggleHighlight() { ToggleStyle(3); }
  void ToggleAltFont() { ToggleStyle(4); }

  // --- scrolling ---
  int32_t GetTopLine();
  void SetTopLine(int32_t line);
  void SetVScroll(int32_t y);
  void SetHScroll(int32_t x);
  // Scrolls so that the caret shows, by steps of five character widths sideways.
  void ScrollInView();
  // Scrolls to a pixel offset pair, animated over ScrollTime milliseconds when a ticker is set.
  void ScrollTo(int32_t x, int32_t y);
  // The scroll bars' commands; a thumb position is in scroll units.
  enum class TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scThumb };
  void VScrollCommand(TScrollCode code, int32_t pos = 0);
  void HScrollCommand(TScrollCode code, int32_t pos = 0);
  // The last full page: the vertical offset that shows the text's end with 3 pixels to spare.
  int32_t MaxVertScroll() const;
  // The window's scroll bars show the ranges and positions again; every layout pass ends
  // with it, since the text's height and its widest line may have changed.
  void UpdateScrollBars() {
    if (window_ != nullptr) window_->UpdateScrollBars();
  }

  // --- clipboard and column blocks ---
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void InsertColumnText(std::string_view text);
  std::string GetColumnText();

  // --- undo ---
  void Undo();
  void Redo();
  bool CanUndo() const;
  bool CanRedo() const;
  void ClearUndo();
  int32_t GetUndoMaxLevel() const { return undo_max_level_; }
  void SetUndoMaxLevel(int32_t n);
  static constexpr int32_t kDefaultUndoMaxSpace = 4194304;  // bytes
  int32_t GetUndoMaxSpace() const { return undo_max_space_; }
  void SetUndoMaxSpace(int32_t n);
  const std::vector<TUndoRecord>& UndoList() const { return undo_list_; }
  int32_t UndoLevel() const { return undo_level_; }
  int64_t UndoBytes() const { return undo_bytes_; }
  // How far back Undo reaches: the steps it can take back.
  int32_t UndoSteps() const;
  // A limit dropped older steps since the history began (the last load or ClearUndo).
  bool UndoStepsDropped() const { return undo_steps_dropped_; }

  // Walks the table, the navigators and the undo list; raises EScrivletError at the first
  // mismatch ("Error 2 in " and the version, and so on).
  void SelfTest();

  // --- published properties: reading, and setters with the effects they have ---
  TAlignment GetAlignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TBorderStyle GetBorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle b);
  TScrollStyle GetScrollBars() const { return scroll_bars_; }
  void SetScrollBars(TScrollStyle s);
  bool GetWordWrap() const { return word_wrap_; }
  void SetWordWrap(bool on);
  bool GetApplyKeyWords() const { return apply_key_words_; }
  void SetApplyKeyWords(bool on);
  bool GetApplyStartStopKeys() const { return apply_start_stop_keys_; }
  void SetApplyStartStopKeys(bool on);
  int32_t GetCaretWidth() const { return caret_width_; }
  void SetCaretWidth(int32_t w);
  int32_t EffectiveCaretWidth() const {
    return caret_width_ != 0 ? caret_width_ : LineHeight() / 14 + 1;
  }
  int32_t GetColumnWrap() const { return column_wrap_; }
  void SetColumnWrap(int32_t n);
  bool GetDisplayOnly() const { return display_only_; }
  void SetDisplayOnly(bool on);
  int32_t HighlightBackgnd = kClWindow;
  int32_t HighlightColor = 255;
  void SetHighlightBackgnd(int32_t c);
  void SetHighlightColor(int32_t c);
  bool GetJustified() const { return justified_; }
  void SetJustified(bool on);
  int32_t GetLeftMargin() const { return left_margin_; }
  void SetLeftMargin(int32_t n);
  int32_t GetRightMargin() const { return right_margin_; }
  void SetRightMargin(int32_t n);
  // Read: 0 in the form designer while automatic, else the height in pixels. Write: up to
  // 65,535; 0 or less follows the font.
  int32_t GetLineHeight() const;
  void SetLineHeight(int32_t n);
  int32_t LineHeight() const;  // the height in use
  uint32_t GetOptions() const { return options_; }
  void SetOptions(uint32_t o);
  bool GetOverwrite() const { return overwrite_; }
  void SetOverwrite(bool on);
  int32_t GetRightLinePos() const { return right_line_pos_; }
  void SetRightLinePos(int32_t n);
  int32_t GetSelBackColor() const { return sel_back_color_; }
  void SetSelBackColor(int32_t c);
  int32_t GetSelTextColor() const { return sel_text_color_; }
  void SetSelTextColor(int32_t c);
  // Read: every member character in ascending order; write: each character becomes a
  // member, and LF and CR always are.
  std::string GetSeparators() const;
  void SetSeparators(std::string_view chars);
  void SetSeparatorSet(const TSeparators& chars);
  const TSeparators& SeparatorSet() const { return separators_; }
  uint8_t GetShowNonPrintChars() const { return show_non_print_chars_; }
  void SetShowNonPrintChars(uint8_t set);
  bool GetStaticFormat() const { return Table.StaticFormat; }
  // Style characters are read when a text is loaded: a text that is there is saved and
  // loaded again under the new setting (Modified stays).
  void SetStaticFormat(bool on);
  int32_t GetTabStops() const { return tab_stops_; }
  void SetTabStops(int32_t n);
  TzkUpperCase GetUpperCaseType() const { return Keywords.UpperCaseType(); }
  void SetUpperCaseType(TzkUpperCase t);
  TzkUpdateMode GetUpdateMode() const { return update_mode_; }
  void SetUpdateMode(TzkUpdateMode m);
  std::string GetVersion() const { return kVersion; }
  void SetVersion(std::string_view) {}  // read-only
  std::string GetWordWrapChars() const { return word_wrap_chars_; }
  void SetWordWrapChars(std::string_view chars);
  const TSeparators& WordWrapCharSet() const { return word_wrap_set_; }
  // The control font's style bits and its measurer changed: everything is measured again.
  void FontChanged();
  uint8_t FontStyle() const { return font_style_; }
  // Measures again, as the measurer's fonts may have changed with the style.
  void SetFontStyle(uint8_t style);
  // Stored only; read by keyboard, mouse and painting.
  bool HideSelection = true;
  bool WantTabs = true;
  bool EnableHotKeys = true;
  int32_t MouseWheelFactor = -1;
  bool PassOverCodes = true;
  bool ReadOnly = false;
  int32_t ScrollTime = 300;
  bool ShowEndParSelected = true;
  bool DropEmptyStyleRuns = true;
  TScrivLineBreak LineBreak = TScrivLineBreak::pbCRLF;
  char NullReplacement = 0;
  int ProgressInterval = 300;
  TProgressCallback OnProgress;
  static constexpr int32_t kClWindow = -16777211;
  static constexpr int32_t kClWindowText = -16777208;
  static constexpr int32_t kClHighlight = -16777203;
  static constexpr int32_t kClHighlightText = -16777202;

  // --- painting: stored here, read by the painter; the shell repaints after a change ---
  int32_t Color = kClWindow;
  int32_t FontColor = kClWindowText;
  TScrivPen EndOfTextMark{255, 1, TPenStyle::psSolid};
  TScrivPen RightLinePen{8421504, 1, TPenStyle::psDot};
  TScrivPen SpecUnderline{255, 1, TPenStyle::psSolid};
  // The state queries that menus and the popup enable their commands by.
  bool CanCut() const { return !ReadOnly && !display_only_ && SelLower() != SelUpper(); }
  bool CanCopy() const { return !display_only_ && SelLower() != SelUpper(); }
  bool CanPaste() const { return !ReadOnly && !display_only_; }
  bool CanSelectAll() const { return !display_only_ && Table.CharCount() > 0; }
  bool CanDelete() const { return CanCut(); }

  // --- geometry ---
  int32_t ClientWidth() const { return client_width_; }
  int32_t ClientHeight() const { return client_height_; }
  int32_t HorzScroll() const { return horz_scroll_; }  // pixels; SetHScroll changes it
  int32_t VertScroll() const { return vert_scroll_; }  // pixels; SetVScroll changes it
  TTextMeasurer* Measurer() const { return measurer_; }
  void SetMeasurer(TTextMeasurer* measurer);  // not owned; measures again
  void SetBounds(int32_t width, int32_t height);

  TKeywordList Keywords;
  TStartStopKeyList StartStopKeys;
  TScrivHighlighter* GetHighlighter() const { return highlighter_; }
  void SetHighlighter(TScrivHighlighter* h);
  TScrivletEngine* Engine = nullptr;  // the layout engine unless a test puts another one in
  TScrivLayout& Layout() { return *layout_; }

  // --- layout drivers ---
  // Everything is marked for layout and laid out as UpdateMode says.
  void Relayout();
  // Recomputes the highlighting of the whole text.
  void ReapplyHighlighting();
  void ApplyStyleRange(int32_t start_offset, int32_t stop_offset, uint8_t style, bool style_flag,
                       int32_t context, int16_t cursor, int32_t backgnd, int32_t foregnd,
                       bool range_flag);
  // One slice of background formatting; true while work is left.
  bool FormatStep();
  void ResumeFormatting();
  // The window exists (the Qt shell calls these): with umBackground formatting starts.
  void CreateHandle();
  void DestroyHandle();
  bool HandleAllocated() const { return handle_; }
  // Background slices will run: the mode asks for them and a pacer exists.
  bool FormatsInBackground() const {
    return update_mode_ == TzkUpdateMode::umBackground && format_thread_ != nullptr;
  }
  TTickClock& Clock() { return *clock_; }
  void Invalidate() {
    if (window_ != nullptr) window_->Invalidate();
  }
  void Repaint() {
    if (window_ != nullptr) {
      window_->UpdateCaret();
      window_->Invalidate();
    }
  }

  // --- the text by paragraph and display line ---
  int32_t GetTextLen() const { return Table.CharCount(); }
  int32_t LineCount() const { return Table.LineCount(); }
  int32_t ParagraphCount() const { return Table.Count(); }
  std::string GetParagraphText(int32_t index) const;
  void SetParagraphText(int32_t index, std::string_view text);
  int32_t ParagraphStart(int32_t index) const { return Table.Items(index).StartOffset; }
  uint8_t GetCharAt(int32_t offset) const { return Table.GetCharAt(offset); }
  std::string GetLineText(int32_t line);
  // Lays out on need until display line `line` exists (or the text ends).
  void EnsureLine(int32_t line);

  // --- scroll bars ---
  struct ScrollBarInfo {
    int32_t Unit = 1, Range = 0, Page = 0, Position = 0;
  };
  ScrollBarInfo HorzScrollBar() const;
  ScrollBarInfo VertScrollBar() const;
  int32_t VisibleLines() const { return ClientHeight() / std::max(1, LineHeight()) + 1; }

  // --- events ---
  std::function<void(TScrivlet&)> OnStyleChange;
  std::function<void(TScrivlet&)> OnSelMove;
  std::function<void(TScrivlet&)> OnHScroll;
  std::function<void(TScrivlet&)> OnVScroll;
  std::function<void(TScrivlet&, int32_t, int32_t, int32_t)> OnContext;

  // --- state ---
  // Open updates: while one is open, changes wait for its end to be laid out and shown.
  int32_t UpdateDepth() const { return update_depth_; }
  // The text differs from the last load or save: the undo position stands away from the save
  // point. SetModified(false) puts the save point at the current position; SetModified(true)
  // tells that no position of the history holds the saved text any more.
  bool Modified() const;
  void SetModified(bool on);
  bool Undoing() const { return undoing_; }
  bool UndoBreak = false;
  bool Loading = false;    // the form is being read
  bool Designing = false;  // in the form designer
  // A column block: the selection's character columns, the caret's and the anchor's.
  bool BlockMode() const { return block_mode_; }
  int32_t BlockStartCol() const { return block_start_col_; }
  int32_t BlockEndCol() const { return block_end_col_; }
  // The selection is a column block from now on, between these columns.
  void SetColumnBlock(int32_t caret_col, int32_t anchor_col) {
    block_mode_ = true;
    block_start_col_ = caret_col;
    block_end_col_ = anchor_col;
  }
  void EndColumnBlock() { block_mode_ = false; }
  // The blanks the caret stands behind past its line's end; typed text goes in behind them.
  const std::string& PendingSpaces() const { return pending_spaces_; }
  void SetPendingSpaces(std::string blanks) { pending_spaces_ = std::move(blanks); }
  void AddPendingSpace(char blank) { pending_spaces_.push_back(blank); }
  // One pending blank fewer; false when there was none.
  bool DropPendingSpace() {
    if (pending_spaces_.empty()) return false;
    pending_spaces_.pop_back();
    return true;
  }
  // The caret's x that vertical moves keep, kNoDesiredX while none is kept.
  int32_t DesiredX() const { return desired_x_; }
  void SetDesiredX(int32_t x) { desired_x_ = x; }
  static constexpr int32_t kNoDesiredX = INT32_MIN;

  // --- events ---
  std::function<void(TScrivlet&, std::string&)> OnBeforeChange;
  std::function<void(TScrivlet&, int32_t, int32_t)> OnParse;
  std::function<void(TScrivlet&)> OnChange;
  std::vector<std::function<void(TScrivlet&, int)>> ChangeListeners;

  // --- navigators ---
  // The navigator anyone may move for a hit test or a measurement; it marks nothing.
  TScrivNavigator& WorkNav() { return *work_nav_; }
  const std::vector<TScrivNavigator*>& Navigators() const { return navigators_; }

 private:
  friend class TScrivletPrinter;  // places its hidden copy's columns left of the view's 0
  int32_t horz_scroll_ = 0;
  int32_t vert_scroll_ = 0;
  int32_t client_width_ = 100;  // SetBounds changes both
  int32_t client_height_ = 60;
  int32_t update_depth_ = 0;  // BeginUpdate opens one, EndUpdate closes one
  uint8_t font_style_ = 0;
  TTextMeasurer* measurer_ = nullptr;
  friend class TScrivNavigator;
  friend class TScrivHighlighter;
  void Register(TScrivNavigator* nav) { navigators_.push_back(nav); }
  void Unregister(TScrivNavigator* nav);
  void NotifyListeners(int code);
  void RefreshAfterChange();

  // Edit primitive pieces.
  void DeleteColumnBlock();
  struct KeptSelection;
  // Keeping the selection opens an update in `update`, which the caller ends after the restore.
  std::unique_ptr<KeptSelection> KeepSelectionForPaste(TUpdateGuard& update);
  // Returns whether there was a selection to restore.
  bool RestoreSelectionAfterPaste(std::unique_ptr<KeptSelection> kept);
  void ScrollStep();
  void ApplyScroll(int32_t x, int32_t y);
  // The scroll events of the offsets that moved.
  void FireScrollEvents(bool moved_x, bool moved_y);
  void CorrectNavigators(int32_t old_start, int32_t old_end, int32_t new_end, int32_t first_para,
                         int32_t last_para, const TInsertResult& r);
  void Rehighlight(int32_t start, int32_t end, bool runs_removed, bool key_style_at_start);
  void DropEmptyRuns(int32_t first_para, int32_t last_para);
  int32_t WidenOverTrailingBlanks(std::string_view text);

  // Undo pieces.
  void FreeRecord(size_t i);
  void FreeRedoRecords();
  // A limit frees steps whole: half a step undone or redone gives a text that never was.
  void FreeOldestStep();
  void FreeNewestRedoStep();
  // The oldest record belongs to the newest step that can be undone, which no limit drops.
  bool OldestIsNewestStep() const {
    return undo_level_ > 0 &&
           undo_list_.front().Step == undo_list_[static_cast<size_t>(undo_level_ - 1)].Step;
  }
  void TrimToSpace(int32_t space);
  void Replay(bool redo);
  void LoseSavePoint() { save_point_ = -1; }

  std::vector<TScrivNavigator*> navigators_;
  std::vector<std::unique_ptr<TScrivNavigator>> owned_;
  // The control's own navigators; the caret is the selection's start or end one, or the
  // paste caret while a paste keeps the selection.
  TScrivNavigator* top_line_nav_;
  TScrivNavigator* sel_start_nav_;
  TScrivNavigator* sel_end_nav_;
  TScrivNavigator* paste_caret_nav_;
  TScrivNavigator* caret_;
  TScrivNavigator* scratch_[4];
  TScrivNavigator* work_nav_;
  int32_t sel_length_ = 0;  // SetSelLength and Select change it, the edit primitive clears it
  bool block_mode_ = false;
  int32_t block_start_col_ = 0;
  int32_t block_end_col_ = 0;
  std::string pending_spaces_;
  int32_t desired_x_ = kNoDesiredX;
  std::vector<TUndoRecord> undo_list_;
  int32_t undo_level_ = 0;
  int64_t undo_bytes_ = 0;
  int32_t undo_max_level_ = 65536;
  int32_t undo_max_space_ = kDefaultUndoMaxSpace;
  bool undoing_ = false;
  bool replaying_record_ = false;  // Undo or Redo puts a record's text back
  bool undo_steps_dropped_ = false;
  int64_t step_serial_ = 0;    // the undo step that changes made now belong to
  int32_t edits_running_ = 0;  // edit primitives under way, the nested ones included
  int32_t save_point_ = 0;     // the UndoLevel whose text was last loaded or saved; -1: none
  bool dropping_runs_ = false;
  bool verbatim_ = false;   // a change goes in as given, as an undo does, yet is recorded
  int64_t edit_count_ = 0;  // changes and loads so far
  TScrivHighlighter* highlighter_ = nullptr;

  // Properties.
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TBorderStyle border_style_ = TBorderStyle::bsSingle;
  TScrollStyle scroll_bars_ = TScrollStyle::ssNone;
  bool word_wrap_ = true;
  bool apply_key_words_ = true;
  bool apply_start_stop_keys_ = true;
  int32_t caret_width_ = 1;
  int32_t column_wrap_ = 0;
  bool display_only_ = false;
  bool justified_ = false;
  int32_t left_margin_ = 8;
  int32_t right_margin_ = 8;
  int32_t line_height_ = 0;  // 0: automatic
  uint32_t options_ = zkoPutExtraSpaces | zkoWrapCaret | zkoInsertKeyActive |
                      zkoWideOverwriteCaret | zkoAutoScrollBars;
  bool overwrite_ = false;
  int32_t right_line_pos_ = 0;
  int32_t sel_back_color_ = kClHighlight;
  int32_t sel_text_color_ = kClHighlightText;
  TSeparators separators_;
  uint8_t show_non_print_chars_ = 0;
  int32_t tab_stops_ = 8;
  TzkUpdateMode update_mode_ = TzkUpdateMode::umBackground;
  std::string word_wrap_chars_;
  TSeparators word_wrap_set_;
  bool handle_ = false;

  // Services and the engine.
  std::unique_ptr<TSteadyClock> own_clock_;
  TTickClock* clock_;
  TSliceScheduler* scheduler_;
  TScrivletWindow* window_;
  TScrivClipboard* clipboard_;
  TSliceScheduler* scroll_ticker_;
  // An animated scroll under way, and when the last one ended.
  struct ScrollAnimation {
    bool Running = false;
    int64_t Start = 0, Previous = 0;
    int32_t FromX = 0, FromY = 0, ToX = 0, ToY = 0;
  } scroll_;
  int64_t last_scroll_end_ = INT64_MIN / 2;
  int32_t caret_offset_ = 0;
  int32_t caret_pending_ = 0;
  uint8_t caret_style_ = 0;
  std::unique_ptr<TScrivLayout> layout_;
  std::unique_ptr<TzkFormatThread> format_thread_;
};

// Holds an update of `memo` open for a scope: the update ends when the scope is left,
// by an exception too. A failure of the update's end itself reaches the caller, except
// while another exception is leaving the scope: that one says what went wrong first, and
// a second one thrown past it would end the program.
class TUpdateGuard {
 public:
  explicit TUpdateGuard(TScrivlet& memo) : memo_(memo) { Open(); }
  // An update that Open() opens later, if at all; unopened, the guard ends nothing.
  struct Deferred {};
  TUpdateGuard(TScrivlet& memo, Deferred) : memo_(memo) {}
  void Open() {
    exceptions_at_start_ = std::uncaught_exceptions();
    memo_.BeginUpdate();
    open_ = true;
  }
  ~TUpdateGuard() noexcept(false) {
    if (!open_) return;
    if (std::uncaught_exceptions() <= exceptions_at_start_) {
      memo_.EndUpdate();
      return;
    }
    try {
      memo_.EndUpdate();
    } catch (...) {  // the exception already unwinding propagates in its place
    }
  }
  TUpdateGuard(const TUpdateGuard&) = delete;
  TUpdateGuard& operator=(const TUpdateGuard&) = delete;

 private:
  TScrivlet& memo_;
  int exceptions_at_start_ = 0;
  bool open_ = false;
};

}  // namespace scrivlet
