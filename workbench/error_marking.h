#pragma once
// ErrorMarking: the error mark of an editor, a background over the line (or the token) that
// an error names, and the caret moves that go with it. The mark is a style run of context 2
// that the program sets; keyword and comment colours are the highlighter's and come back
// when the mark goes. Clearing a mark is no edit: it adds no undo step and keeps Modified.
//
// invariant: Line() == -1, or the mark stands over [Start(), Stop()) of paragraph Line() of
//            the editor it was made in (the caller keeps track of which editor that is).

#include <cstdint>

#include "services/options.h"

namespace scrivlet {
class TScrivlet;
}

namespace workbench {

// The style context of an error mark; a click on it comes back with this context.
inline constexpr std::int32_t kErrorMarkContext = 2;

class ErrorMarking {
 public:
  explicit ErrorMarking(const EditorOptions& options) : options_(options) {}

  // Line is 1-based, as the assembler counts; a line beyond the text marks the last one.
  void MarkErrorLine(scrivlet::TScrivlet& editor, int line);
  // Marks the characters [start, stop) (offsets) on line (1-based); the caret stays at the
  // line's start and nothing is left selected.
  void MarkErrorRange(scrivlet::TScrivlet& editor, int line, std::int32_t start, std::int32_t stop);
  // Takes the mark off again (when its line still exists) and forgets it.
  void ClearErrorMarking(scrivlet::TScrivlet& editor);
  // Forgets the mark without touching an editor (its editor is gone).
  void Forget() { line_ = -1; }
  // Every style the program set goes; the highlighting is computed again.
  void ClearErrorStyles(scrivlet::TScrivlet& editor);
  // The caret moved: a marked token loses its mark once the caret passes its end on the
  // marked line.
  void CaretMoved(scrivlet::TScrivlet& editor);

  int Line() const { return line_; }  // 0-based paragraph; -1 none
  std::int32_t Start() const { return start_; }
  std::int32_t Stop() const { return stop_; }
  bool IsRange() const { return range_; }

 private:
  void Mark(scrivlet::TScrivlet& editor, int paragraph, std::int32_t start, std::int32_t stop,
            bool range);

  const EditorOptions& options_;
  int line_ = -1;
  std::int32_t start_ = 0;
  std::int32_t stop_ = 0;
  bool range_ = false;
};

// The caret to the start of paragraph line (0-based; clamped to the text) unless it already
// lies on it, the line into view, and the selection's length as it was.
void ScrollToLine(scrivlet::TScrivlet& editor, int line);
// A jump that is no search: the caret to the start of paragraph line (clamped to the text)
// with nothing selected, so the next key types there instead of replacing what a find left
// selected; the line into view.
void JumpToLine(scrivlet::TScrivlet& editor, int line);

// Takes every style run the program set off the paragraph and scans its keywords and
// sections again; the text, its undo list and Modified stay as they are.
void RehighlightParagraph(scrivlet::TScrivlet& editor, int paragraph);

}  // namespace workbench
