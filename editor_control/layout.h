#pragma once
// TScrivLayout: the engine that turns the paragraph table into highlighted, laid-out text.
// It colours paragraphs by start/stop sections and keywords, breaks them into display
// lines, and drives the layout after edits. Every width comes from the control's
// TTextMeasurer; all of it runs on the thread that owns the control.
//
// invariant: paragraphs 0 .. Table.LastScanned carry pfKeysScanned and each one's style
//            record is the section state that the one before it ends in, except where a
//            start state went stale: such a paragraph has lost pfKeysScanned,
//            pfKeywordsScanned and pfFormatted and lies in the layout backlog, whose slices
//            rescan it and hand a changed end state on to the next one;
//            a paragraph with pfFormatted has line records that LayoutParagraph would write
//            again for the current settings.

#include <array>
#include <bitset>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor_control/paragraph.h"
#include "editor_control/style_run.h"

namespace scrivlet {

class TScrivlet;
class TScrivNavigator;

// Where highlighting and layout plug into the edit primitive; a test may put a recorder in
// the layout engine's place.
class TScrivletEngine {
 public:
  virtual ~TScrivletEngine() = default;
  // The style runs at the two ends of a change need repair.
  virtual void RepairRuns(TScrivNavigator& /*from*/, TScrivNavigator& /*to*/,
                          bool /*runs_removed*/) {}
  virtual void ScanSections(TScrivNavigator& /*from*/, TScrivNavigator& /*to*/) {}
  virtual void ScanKeywords(TScrivNavigator& /*from*/, TScrivNavigator& /*to*/) {}
  // The refresh after a change: lay out and repaint FirstChanged .. LastChanged.
  virtual void RefreshChanged() {}
};

// The x of every character start of one display line and of the line's end, relative to
// the client area's left edge before scrolling: layout, painting and hit-testing share it.
struct TLineGeometry {
  std::vector<int32_t> X;  // X[k]: start of character Start + k; X.back(): end of the line
  int32_t Start = 0;
};

// The style byte a character is measured and drawn in: its inline toggles combined with
// the style run in force there, over the control font's own style bits.
uint8_t CombinedStyle(uint8_t inline_style, uint8_t run_flags, uint8_t font_style);

// Two section states are equal when a rescan may stop there.
bool SameScanState(const TStyleRun& a, const TStyleRun& b);

class TScrivLayout : public TScrivletEngine {
 public:
  explicit TScrivLayout(TScrivlet& memo);

  // --- layout ---
  // Lays out paragraph i from its first line (scanning its keys first when needed) and
  // returns the change of its line count. FirstLine of the paragraphs behind is not shifted:
  // the caller does that once for a whole range.
  int32_t LayoutParagraph(int32_t i);
  // Lays out first .. last (clamped); with only_backlog from FirstToFormat on and skipping
  // the paragraphs already formatted. Line counts, FirstLine values and the navigators'
  // line caches are right afterwards.
  // Stops after the paragraph during which the clock passed `deadline`.
  void FormatRange(int32_t first, int32_t last, bool with_progress, bool only_backlog,
                   int64_t deadline = INT64_MAX);
  // One slice of background formatting; true while work is left. OnProgress fires at its
  // pace, and once more when the backlog is done.
  bool FormatSlice(int64_t deadline);
  // Lays out the whole backlog now.
  void FormatBacklog();
  // Lays out paragraphs of the backlog until paragraph `para` is laid out (layout on need).
  void FormatUpTo(int32_t para);
  // Marks every paragraph for layout; the widths measured so far are forgotten.
  void MarkAllForLayout();
  // Adds first .. last to the layout backlog.
  void AddToBacklog(int32_t first, int32_t last);
  bool BacklogPending() const;
  // The refresh after an edit: the changed paragraphs that are visible are laid out at once,
  // the rest joins the backlog.
  void RefreshChanged() override;

  // The wrap width: pixels, or characters with a positive ColumnWrap.
  int32_t WrapWidth() const;
  // The width that right and centre alignment and justification fill.
  int32_t AlignWidth() const;
  TLineGeometry MeasureLine(const TParagraph& p, int32_t line);
  // Fonts changed: measured widths are forgotten.
  void ForgetMetrics();

  int32_t LongestLineWidth = 0;
  int32_t LongestLinePara = -1;

  // --- highlighting ---
  // Rescans the sections and keywords of paragraph i from its start state; when the state
  // it ends in differs from the next paragraph's start state, that one is marked stale.
  // True when the end state changed.
  bool RescanParagraph(int32_t i);
  // Every paragraph up to i gets its scan (in order, so each starts in a valid state).
  void EnsureScanned(int32_t i);
  // The edit primitive's rescan of an edited range: the range's paragraphs, then the ones
  // behind while the section state they start in changes.
  void ScanSections(TScrivNavigator& from, TScrivNavigator& to) override;
  void ScanKeywords(TScrivNavigator& from, TScrivNavigator& to) override;
  // The runs at both ends of an edit; the rescan that follows rebuilds the key-made ones.
  void RepairRuns(TScrivNavigator& from, TScrivNavigator& to, bool runs_removed) override;
  // Gives from .. to (absolute offsets, any order) the attributes of `run` (Apply: with
  // bit 7 set); with Remove the runs inside go first. The text behind keeps its look.
  void StyleRange(int32_t from, int32_t to, bool remove, bool apply, const TStyleRun& run);
  // Forgets every colour and scan and lays the text out again.
  void ReapplyHighlighting();

 private:
  struct Hit {
    int32_t Keyword;
    int32_t Offset;
    int32_t Length;
  };
  struct ScanBuffers {
    std::string Folded;
    std::string Masked;
    std::vector<Hit> Candidates;
    std::vector<Hit> Hits;
    std::vector<TStyleRun> Program;
    std::vector<TStyleRun> Sections;
    std::vector<TStyleRun> Runs;
    std::vector<TStyleRun> Merged;
  };
  int32_t CharWidth(uint8_t c, uint8_t style);
  int32_t SpaceWidth(uint8_t style);
  int32_t NextTab(int32_t x, uint8_t style);
  struct Metrics {
    std::array<int32_t, 256> Width;
    int32_t Space = 1;
    int32_t Overhang = 0;
  };
  Metrics& MetricsOf(uint8_t style);
  // Fills `lines` (kept by the caller, so that its buffer serves paragraph after paragraph).
  void BreakIntoLines(const TParagraph& p, std::vector<TLineRecord>& lines);
  void FinishLayoutRange(int32_t first, int32_t last, int32_t visible_delta, int32_t line_delta);

  void ScanParagraphSections(int32_t i, TStyleRun& state, std::vector<TStyleRun>& runs,
                             ScanBuffers& b);
  void ScanParagraphKeywords(int32_t i, std::vector<TStyleRun>& runs, ScanBuffers& b);
  void PrepareKeywordBuckets();
  TStyleRun SectionState(int32_t pair, const TStyleRun& outer) const;
  TStyleRun BaseState(const TStyleRun& outer) const;

  TScrivlet& memo_;
  std::array<std::unique_ptr<Metrics>, 256> metrics_;
  // Keyword indexes by the first byte of their match form, in list order.
  std::array<std::vector<int32_t>, 256> case_buckets_;
  std::array<std::vector<int32_t>, 256> fold_buckets_;
  uint32_t bucket_revision_ = UINT32_MAX;
  int32_t bucket_count_ = -1;
  std::vector<int32_t> scratch_widths_;
  // Work buffers of the layout and the rescan, kept from paragraph to paragraph: a slice that
  // rescans thousands of paragraphs would otherwise allocate and free a dozen small blocks for
  // each, and the allocator merging those later makes the slice overrun its budget.
  // A rescan that a highlighter hook starts inside another one gets buffers of its own.
  std::vector<TLineRecord> scratch_lines_;
  ScanBuffers scan_;
  bool rescanning_ = false;
  // The start state the last rescan handed on, shared by the paragraphs that start in it.
  std::shared_ptr<const TStyleRun> handed_style_;
  // The range the last edit rescanned, so that its keyword call does not scan it again.
  int32_t last_scan_from_ = -1;
  int32_t last_scan_to_ = -1;
  int32_t last_scan_chars_ = -1;
  int64_t last_progress_ = 0;
};

}  // namespace scrivlet
