#include "workbench/editor_find.h"

#include <algorithm>

#include "code_page/windows_1252.h"
#include "editor_control/scrivlet.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "resources/string_ids.h"
#include "services/localize.h"
#include "services/message_strings.h"
#include "workbench/error_marking.h"

namespace workbench {
namespace {

namespace Ids = string_ids::EditorUnit;

}  // namespace

bool EditorFinder::Search(scrivlet::TScrivlet& editor, const FindOptions& find) {
  // A hit that is selected is passed over whichever way the search goes: it starts at the
  // selection's far end, not at the caret.
  const std::int32_t caret = editor.GetSelStart();
  const std::int32_t anchor = caret + editor.GetSelLength();
  const std::int32_t from = find.down ? editor.SelUpper() : editor.SelLower();
  if (from != caret) editor.SetSelStart(from);
  if (editor.FindText(find.text, find.down, false, find.whole_word, find.match_case)) return true;
  editor.Select(anchor, caret);
  return false;
}

bool EditorFinder::SelectionIsHit(scrivlet::TScrivlet& editor, const FindOptions& find) {
  const std::string selected = editor.GetSelText();
  return find.match_case ? selected == find.text : platform::SameText(selected, find.text);
}

void EditorFinder::TellNotFound(const FindOptions& find) const {
  // The find text is the editor's Windows-1252; the box's text is UTF-8.
  messages_.MsgBoxById1(Ids::SCU_NOT_FOUND, Ids::SCU_NOT_FOUND_CAPTION,
                        code_page::Utf8FromWindows1252(find.text));
}

bool EditorFinder::FindDialogFind(scrivlet::TScrivlet& editor, const FindOptions& find,
                                  FindDialogPlace& dialog) {
  if (find.text.empty()) return false;
  const std::int32_t anchor = editor.GetSelStart() + editor.GetSelLength();
  const std::int32_t caret = editor.GetSelStart();
  for (bool came_round = false;; came_round = true) {
    if (Search(editor, find)) {
      ScrollToLine(editor, editor.GetSelPar());
      return true;
    }
    // Asking again after a search from the far end would ask for ever about a text that is
    // not there.
    if (came_round) {
      editor.Select(anchor, caret);
      TellNotFound(find);
      return false;
    }
    const std::string where =
        texts_.LU_GetString(find.down ? Ids::SCU_SEARCH_FROM_TOP : Ids::SCU_SEARCH_FROM_BOTTOM);
    const int answer = messages_.YesNoBoxById2(Ids::SCU_CONTINUE_SEARCH, Ids::SCU_NOT_FOUND_CAPTION,
                                               code_page::Utf8FromWindows1252(find.text), where);
    if (answer != platform::kAnswerYes) {
      dialog.Close();
      return false;
    }
    editor.SetSelStart(find.down ? 0 : editor.CharCount());
  }
}

bool EditorFinder::FindNext(scrivlet::TScrivlet& editor, const FindOptions& find) {
  if (find.text.empty()) return false;
  if (!Search(editor, find)) {
    TellNotFound(find);
    return false;
  }
  ScrollToLine(editor, editor.GetSelPar());
  return true;
}

bool EditorFinder::Replace(scrivlet::TScrivlet& editor, const FindOptions& find,
                           const std::string& replace) {
  if (find.text.empty()) return false;
  if (!SelectionIsHit(editor, find)) return FindNext(editor, find);
  editor.SetSelText(replace);
  return true;
}

int EditorFinder::ReplaceAll(scrivlet::TScrivlet& editor, const FindOptions& find,
                             const std::string& replace, ReplaceProgress* progress) {
  if (find.text.empty()) return 0;
  const int line = editor.GetSelPar();
  const std::int32_t column = editor.GetSelStart() - editor.ParagraphStart(line);
  scrivlet::TScrivlet::TReplaceProgress report;
  if (progress != nullptr)
    report = [progress](std::int32_t done, std::int32_t total) {
      return progress->Step(done, total);
    };
  // One pass and one change, so one undo step, however many hits.
  const std::int32_t count =
      editor.ReplaceAll(find.text, replace, find.whole_word, find.match_case, report);
  if (count < 0) return -1;
  editor.SetSelPar(line);
  const int back = editor.GetSelPar();
  const std::int32_t line_length = scrivlet::para::Length(editor.Table.Items(back));
  editor.SetSelStart(editor.ParagraphStart(back) + std::min(column, line_length));
  ScrollToLine(editor, back);
  messages_.MsgBoxById3(Ids::SCU_REPLACED_COUNT,
                        find.match_case ? Ids::SCU_REPLACE_CASE_CAPTION : Ids::SCU_REPLACE_CAPTION,
                        code_page::Utf8FromWindows1252(find.text),
                        code_page::Utf8FromWindows1252(replace), std::to_string(count));
  return count;
}

}  // namespace workbench
