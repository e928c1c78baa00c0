#include "workbench/error_marking.h"

#include <algorithm>
#include <vector>

#include "editor_control/scrivlet.h"

namespace workbench {
namespace {

int ClampParagraph(const scrivlet::TScrivlet& editor, int paragraph) {
  return std::clamp(paragraph, 0, std::max(0, editor.ParagraphCount() - 1));
}

std::int32_t ParagraphEnd(const scrivlet::TScrivlet& editor, int paragraph) {
  return editor.ParagraphStart(paragraph) + scrivlet::para::Length(editor.Table.Items(paragraph));
}

}  // namespace

void ScrollToLine(scrivlet::TScrivlet& editor, int line) {
  line = ClampParagraph(editor, line);
  const std::int32_t length = editor.GetSelLength();
  if (editor.GetSelPar() != line) {
    editor.SetSelPar(line);
    editor.SetSelLength(length);
  }
  editor.ScrollInView();
}

void JumpToLine(scrivlet::TScrivlet& editor, int line) {
  editor.SetSelPar(ClampParagraph(editor, line));
  editor.ScrollInView();
}

void RehighlightParagraph(scrivlet::TScrivlet& editor, int paragraph) {
  if (paragraph < 0 || paragraph >= editor.ParagraphCount()) return;
  scrivlet::TParagraph& p = editor.Table.Items(paragraph);
  const std::int32_t start = p.StartOffset;
  // The program's runs on a source line are error marks alone; the key runs are rebuilt.
  if (p.HasExtension())
    std::erase_if(p.Ext->Runs, [](const scrivlet::TStyleRun& run) {
      return (run.RunFlags & scrivlet::kRunByKey) == 0;
    });
  p.Flags &= static_cast<std::uint8_t>(~scrivlet::kScanFlags);
  scrivlet::TScrivLayout& layout = editor.Layout();
  layout.RescanParagraph(paragraph);
  // Bold keywords are wider than the marked text was: the line is measured again.
  layout.AddToBacklog(paragraph, paragraph);
  scrivlet::TParagraphsList::ForgetNavigatorCaches(editor.Navigators(), start, paragraph);
  if (editor.UpdateDepth() == 0) {
    if (editor.GetUpdateMode() == scrivlet::TzkUpdateMode::umImmediate)
      layout.FormatBacklog();
    else
      editor.ResumeFormatting();
  }
  editor.Invalidate();
}

void ErrorMarking::Mark(scrivlet::TScrivlet& editor, int paragraph, std::int32_t start,
                        std::int32_t stop, bool range) {
  // The mark only adds its background: every piece of the range keeps the font style and the
  // colour its keyword or comment run gave it.
  struct Piece {
    std::int32_t from;
    std::uint8_t style;
    std::int32_t foregnd;
  };
  const scrivlet::TParagraph& p = editor.Table.Items(paragraph);
  const std::int32_t base = p.StartOffset;
  const auto look = [&](const scrivlet::TStyleRun& run) {
    if ((run.RunFlags & scrivlet::kRunHasAttributes) == 0)
      return Piece{0, editor.FontStyle(), scrivlet::kNoColor};
    return Piece{0, static_cast<std::uint8_t>(run.RunFlags & 0x3F), run.Foregnd};
  };
  std::vector<Piece> pieces{look(scrivlet::para::Style(p))};
  pieces.front().from = start;
  if (const auto* runs = scrivlet::para::Runs(p))
    for (const scrivlet::TStyleRun& run : *runs) {
      const std::int32_t at = base + run.Offset;
      if (at >= stop) break;
      Piece piece = look(run);
      piece.from = std::max(at, start);
      if (piece.from == pieces.back().from)
        pieces.back() = piece;
      else
        pieces.push_back(piece);
    }
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::int32_t to = i + 1 < pieces.size() ? pieces[i + 1].from : stop;
    editor.ApplyStyleRange(pieces[i].from, to, pieces[i].style, true, kErrorMarkContext, 0,
                           options_.ErrorBgColor, pieces[i].foregnd, true);
  }
  line_ = paragraph;
  start_ = start;
  stop_ = stop;
  range_ = range;
}

void ErrorMarking::MarkErrorLine(scrivlet::TScrivlet& editor, int line) {
  ClearErrorMarking(editor);
  const int paragraph = ClampParagraph(editor, line - 1);
  editor.SetSelPar(paragraph);
  ScrollToLine(editor, paragraph);
  Mark(editor, paragraph, editor.ParagraphStart(paragraph), ParagraphEnd(editor, paragraph), false);
}

void ErrorMarking::MarkErrorRange(scrivlet::TScrivlet& editor, int line, std::int32_t start,
                                  std::int32_t stop) {
  ClearErrorMarking(editor);
  const int paragraph = ClampParagraph(editor, line - 1);
  editor.SetSelPar(paragraph);
  ScrollToLine(editor, paragraph);
  start = std::clamp(start, 0, editor.CharCount());
  stop = std::clamp(stop, start, editor.CharCount());
  Mark(editor, paragraph, start, stop, true);
  editor.SetSelLength(0);
}

void ErrorMarking::ClearErrorMarking(scrivlet::TScrivlet& editor) {
  if (line_ < 0) return;
  const int line = std::exchange(line_, -1);
  if (line >= editor.ParagraphCount()) return;
  const bool modified = editor.Modified();
  RehighlightParagraph(editor, line);
  editor.SetModified(modified);
}

void ErrorMarking::ClearErrorStyles(scrivlet::TScrivlet& editor) {
  line_ = -1;
  // Highlighting from scratch drops every run the program set, error marks among them.
  editor.ReapplyHighlighting();
}

void ErrorMarking::CaretMoved(scrivlet::TScrivlet& editor) {
  if (line_ < 0 || !range_ || editor.GetSelPar() != line_) return;
  if (editor.GetSelStart() <= stop_) return;
  ClearErrorMarking(editor);
}

}  // namespace workbench
