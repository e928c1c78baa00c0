// TEditorFRM's error list, error mark and highlighting members: the list and the marking live
// in TErrorList, the highlighting in highlight_settings.h; this file ties them to the editors.

#include "workbench/gui/editor_form_errors.h"

#include <QAction>
#include <QListWidget>
#include <QSplitter>
#include <QVariant>

#include "editor_control/gui/scrivlet_widget.h"
#include "resources/widget_names.h"
#include "services/gui/guarded.h"
#include "workbench/error_marking.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/goto_line_form.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/main_files.h"
#include "workbench/highlight_settings.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;

namespace gui {
namespace {

// Set on an editor whose caret moves the error list follows.
constexpr char kWatchedProperty[] = "qvErrorMarkWatched";

}  // namespace

bool MainWindowErrorEditors::UsesEnhancedEditor() const { return !form_.UsesLegacyEditor(); }

std::string MainWindowErrorEditors::CurrentFileName() const {
  return form_.Files().CurrentFileName();
}

int MainWindowErrorEditors::FindEditorByName(const std::string& name) const {
  return form_.Files().FindEditorByName(name);
}

void MainWindowErrorEditors::OpenSourceFile(const std::string& name) {
  form_.OpenSourceFile(name);
  if (const auto& update = form_.Files().Hooks().update_run_buttons) update(true);
}

void MainWindowErrorEditors::SelectEditor(int index) { form_.SelectEditor(index); }

scrivlet::gui::TScrivlet* MainWindowErrorEditors::CurrentScrivlet() const {
  return form_.CurrentScrivlet();
}

void TEditorFRM::BuildEditorServices() {
  error_editors_ = std::make_unique<MainWindowErrorEditors>(*this, session_);
  errors_ = std::make_unique<TErrorList>(*error_list_, *error_splitter_, session_, *error_editors_);
  find_ = std::make_unique<MainWindowFind>(*this, session_);
  MainFilesHooks& hooks = files_->Hooks();
  hooks.set_editor_keywords = [this](scrivlet::gui::TScrivlet& editor, int kind) {
    SetEditorKeywords(editor, kind);
  };
  hooks.apply_highlight = [this](scrivlet::gui::TScrivlet& editor) {
    ApplyHighlightSettings(editor);
  };
  SetMenuHandler(main_menu::EditClearErrorsMENUITM, [this] {
    // Nothing left to delete is no failure of the command: the list empties either way.
    (void)session_.Tarn().ClearTarnErrors();
    session_.QvBasic().ClearQvBasicErrors();
    LoadErrorList();
    ClearErrorStyles();
  });
  SetMenuHandler(main_menu::EditGoToLineMENUITM, [this] {
    if (forms_ == nullptr || CurrentScrivlet() == nullptr) return;
    TGotoLineNumDLG& goto_line = forms_->GotoLine();
    if (!goto_line.Execute()) return;
    // The editor may have gone while the dialog was up.
    if (scrivlet::gui::TScrivlet* editor = CurrentScrivlet())
      workbench::JumpToLine(editor->Memo(), goto_line.LineNumber() - 1);
  });
  SetCommandKeys(main_menu::EditGoToLineMENUITM);
}

void TEditorFRM::LoadKeywordLists() {
  const build_debug::QvBasicUnit& basic = session_.QvBasic();
  workbench::LoadKeywordLists(session_.KeywordLists(), session_.Messages(),
                              basic.QvBasicInstalled()
                                  ? std::optional<std::string>(basic.QvBasicReservedFile())
                                  : std::nullopt);
  T_ZKEditorArray& editors = files_->Editors();
  for (int i = 0; i < editors.Count(); ++i) {
    scrivlet::gui::TScrivlet* editor = editors.GetEditor(i);
    SetEditorKeywords(*editor, editors.GetFileType(i));
    ApplyHighlightSettings(*editor);
  }
}

void TEditorFRM::SetEditorKeywords(scrivlet::gui::TScrivlet& editor, int kind) {
  workbench::SetEditorKeywords(editor.Memo(), session_.KeywordLists(), kind,
                               session_.Globals().IdeOptions);
  // Every editor passes here once it is made: its caret moves may take an error mark off.
  if (!editor.property(kWatchedProperty).toBool()) {
    editor.setProperty(kWatchedProperty, true);
    errors_->WatchEditor(editor);
  }
}

void TEditorFRM::ApplyHighlightSettings(scrivlet::gui::TScrivlet& editor) {
  const T_ZKEditorArray& editors = files_->Editors();
  const int type = editors.GetFileType(editors.IndexOfEditor(&editor));
  workbench::ApplyHighlightSettings(editor.Memo(), session_.Globals().EditorOptions,
                                    workbench::CommentKeyOf(type));
}

void TEditorFRM::LoadErrorList() { errors_->LoadErrorList(); }
void TEditorFRM::JumpToError(int row) { errors_->JumpToError(row); }
void TEditorFRM::MarkErrorLine(int line) { errors_->MarkErrorLine(line); }
void TEditorFRM::MarkErrorRange(int line, int start, int stop) {
  errors_->MarkErrorRange(line, start, stop);
}
void TEditorFRM::ClearErrorMarking() { errors_->ClearErrorMarking(); }
void TEditorFRM::ClearErrorStyles() {
  errors_->ClearErrorStyles();
  StatusLine("");
}
void TEditorFRM::ScrollToLine(int line) { errors_->ScrollToLine(line); }

}  // namespace gui
