#include "workbench/highlight_settings.h"

#include "editor_control/scrivlet.h"
#include "workbench/keyword_lists.h"

namespace workbench {

int DefaultEditorType(const IdeOptions& options) { return options.DefaultIsAssembly ? 1 : 2; }

char CommentKeyOf(int file_type) {
  switch (file_type) {
    case 1: return ';';
    case 2: return '\'';
    default: return 0;
  }
}

void SetEditorKeywords(scrivlet::TScrivlet& editor, const T_MultiKeywordList& lists, int kind,
                       const IdeOptions& options) {
  if (kind == kDefaultEditorKind) kind = DefaultEditorType(options);
  const int index = kind == 1 || kind == 2 ? kind : 0;
  if (const scrivlet::TKeywordList* list = lists.GetList(index))
    editor.Keywords.Assign(*list);
  else
    editor.Keywords.Clear();
}

void ApplyHighlightSettings(scrivlet::TScrivlet& editor, const EditorOptions& options,
                            char comment_key) {
  constexpr std::int32_t window = scrivlet::TScrivlet::kClWindow;
  constexpr std::int32_t window_text = scrivlet::TScrivlet::kClWindowText;
  scrivlet::TKeywordAttributes keyword;
  keyword.Options = scrivlet::kWholeWord;
  keyword.Style = options.BoldCode ? scrivlet::kStyleBold : 0;
  keyword.Context = 1;
  keyword.Cursor = 0;
  keyword.Backgnd = window;
  keyword.Foregnd = options.ColoredCode ? options.CodeColor : window_text;
  scrivlet::TKeywordList& keywords = editor.Keywords;
  keywords.BeginUpdate();
  for (std::int32_t i = 0; i < keywords.Count(); ++i) keywords.SetKeywordAttributes(i, keyword);
  keywords.EndUpdate();

  editor.StartStopKeys.Clear();
  if (options.ColoredComments) {
    const std::string comment = comment_key != 0 ? std::string(1, comment_key) : std::string();
    // Without a comment character the key never matches; its colour is the text's own.
    if (!comment.empty())
      editor.StartStopKeys.AddStartStopKey(comment, "", 0, 0, kCommentContext, 0,
                                           scrivlet::kNoColor, options.CommentColor, true);
    editor.StartStopKeys.AddStartStopKey("\"", "\"", 0, 0, kStringContext, 0, scrivlet::kNoColor,
                                         window_text, false);
  }
  editor.ReapplyHighlighting();
}

}  // namespace workbench
