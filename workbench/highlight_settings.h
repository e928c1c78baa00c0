#pragma once
// The syntax highlighting of a source editor: which keyword list it takes (by the type of
// its file) and how keywords, comments and strings look under the configuration's colours.
// Each editor holds a copy of its list, so restyling one editor leaves the shared lists as
// they were loaded.

#include <cstdint>

#include "services/options.h"

namespace scrivlet {
class TScrivlet;
}

namespace workbench {

class T_MultiKeywordList;

// The editor kinds of the file commands: the file types, and 4 for the configured default.
inline constexpr int kDefaultEditorKind = 4;

// The style contexts of the sections. Text under a context keeps its keywords uncoloured, and
// a click on it names it; 2 is the error mark's.
inline constexpr std::int32_t kCommentContext = 3;
inline constexpr std::int32_t kStringContext = 4;

// 1 (assembly) when the default editor type is assembly, else 2 (BASIC).
int DefaultEditorType(const IdeOptions& options);
// The comment key of a language: ';' for assembly (and for the list window's editor), '\''
// for BASIC, none (0) for a file of neither kind.
char CommentKeyOf(int file_type);

// The editor takes list 1 for assembly, list 2 for BASIC and the empty list 0 otherwise.
void SetEditorKeywords(scrivlet::TScrivlet& editor, const T_MultiKeywordList& lists, int kind,
                       const IdeOptions& options);
// Restyles the editor's keywords and replaces its comment and string keys; the text is
// highlighted again (error marks go with that).
void ApplyHighlightSettings(scrivlet::TScrivlet& editor, const EditorOptions& options,
                            char comment_key);

}  // namespace workbench
