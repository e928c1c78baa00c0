#pragma once
// TParagraphsList: the editor's text as a table of paragraphs.
//
// invariant (checked by TScrivlet::SelfTest):
//   StartOffset(0) == 0 and StartOffset(i + 1) == StartOffset(i) + Length(i) + 2, because
//   every paragraph break counts as 2 characters whatever the file's line-break style;
//   CharCount == StartOffset(last) + Length(last);
//   FirstLine(0) == 0 and FirstLine(i + 1) == FirstLine(i) + visible lines of i;
//   LineCount == the sum of all display lines, VisibleLineCount that of the visible ones;
//   the layout backlog and the changed range name paragraphs below Count only.

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <ostream>
#include <string_view>
#include <vector>

#include "editor_control/dyn_array2.h"
#include "editor_control/paragraph.h"

namespace scrivlet {

class TScrivNavigator;

enum class TScrivLineBreak { pbCRLF, pbLFCR, pbCR, pbLF };

// A large buffer that loaded paragraphs point into.
struct TTextBlock {
  std::unique_ptr<char[]> Text;
  int32_t Size = 0;
};

// Called now and then during a long load or save.
using TProgressCallback = std::function<void(class TParagraphsList&)>;

struct TInsertResult {
  bool RunsRemoved = false;     // style runs lay inside the removed range
  int32_t ParagraphsAdded = 0;  // negative when paragraphs went
  int32_t OffsetDelta = 0;
};

class TParagraphsList : public TDynArray2<TParagraph, 1820> {
 public:
  TParagraphsList();
  ~TParagraphsList();

  std::vector<TTextBlock> TextBlocks;
  bool StaticFormat = false;
  bool ChangePending = false;
  int32_t FirstChangedLine = 0;
  int32_t FirstChanged = 0;
  int32_t LastChanged = -1;
  int32_t PendingLineDelta = 0;
  int32_t LastScanned = -1;
  int32_t FirstToFormat = 0;
  int32_t LastToFormat = -1;
  bool AllFormatted = false;

  // The counts the invariant ties to the paragraphs; only the table's own changes move them.
  int32_t CharCount() const { return char_count_; }
  int32_t LineCount() const { return line_count_; }
  int32_t VisibleLineCount() const { return visible_line_count_; }

  void Get(int32_t i, TParagraph& out) const { out = Items(i); }
  void Put(int32_t i, const TParagraph& in) { Items(i) = in; }

  // Reads the text up to the stream's end or its first zero byte; returns the last break
  // style seen (pbCRLF when there was none).
  TScrivLineBreak LoadFromStream(std::istream& stream, char nul_replacement, int progress_interval,
                                 const TProgressCallback& progress, bool discard_trailing);

  // Replaces the text between two navigators (from <= to) by `text` (a CR, or CR LF, breaks
  // a paragraph; a lone LF is an ordinary character). With keep_styles and StaticFormat, the
  // inline toggles that the removed range leaves switched are put back behind the text.
  TInsertResult InsertText(std::string_view text, TScrivNavigator& from, bool keep_styles,
                           bool discard_trailing, TScrivNavigator& to);

  void SaveToStream(std::ostream& stream, bool strip_empty_runs, int progress_interval,
                    const TProgressCallback& progress, TScrivLineBreak line_break,
                    bool discard_trailing) const;

  void MarkStale(int32_t first_para, int32_t line_span, int32_t last_para);
  void MarkAllForLayout();
  void Clear();
  // An empty list becomes the empty text: one empty paragraph of one display line.
  void StartEmpty();

  // Replaces the display lines of paragraph i, shifting the lines of the paragraphs behind;
  // returns the change of its line count. The layout engine's way in.
  int32_t SetParagraphLines(int32_t i, const std::vector<TLineRecord>& lines);
  // The layout engine laid out paragraphs up to `last` again, their records already holding
  // the new lines: all their display lines changed by line_delta, the visible ones by
  // visible_delta. The counts follow and the paragraphs behind `last` move down or up.
  void LinesChanged(int32_t last, int32_t line_delta, int32_t visible_delta);

  // Hides (collapse) or shows the paragraphs behind `para` while their stop level stays at
  // or above `level`; true when any paragraph changed.
  bool Collapse(int32_t para, int32_t level, bool collapse);
  bool CollapseRange(int32_t para, int32_t from_level, int32_t to_level, bool collapse);

  // Every navigator of the list with a resolved paragraph at or below last_para and an offset
  // at or after from_offset drops its cached line and run indexes.
  static void ForgetNavigatorCaches(const std::vector<TScrivNavigator*>& list, int32_t from_offset,
                                    int32_t last_para);

  // Visible display lines of paragraph i (0 while collapsed).
  int32_t VisibleLines(int32_t i) const;

  // Size of the private buffer that a paragraph of n characters gets on an edit:
  // n + n / 64 + 1; "Text too long" when that leaves the 32-bit range.
  static int32_t EditBufferSize(int64_t n);

  // The character at an absolute offset: 13 at a paragraph end, 10 one further; 0 past
  // the end of the text.
  uint8_t GetCharAt(int32_t offset) const;
  int32_t ParagraphAt(int32_t offset) const;  // the paragraph that covers an offset

 private:
  friend struct TParagraphsListTestAccess;  // the self-test's tests damage the counts
  struct Replacement;                       // InsertText's steps
  void ResetAfterLoad();

  int32_t char_count_ = 0;
  int32_t line_count_ = 0;
  int32_t visible_line_count_ = 0;
};

}  // namespace scrivlet
