// TEditorFRM's error list members: the list and the marking live in TErrorList.

#include "workbench/gui/editor_form_errors.h"

#include <QSplitter>

#include "platform/text.h"
#include "workbench/gui/editor_form.h"
#include "workbench/session/session.h"

namespace gui {

bool MainWindowErrorEditors::UsesEnhancedEditor() const { return !form_.UsesLegacyEditor(); }

std::string MainWindowErrorEditors::CurrentFileName() const {
  return session_.Globals().CurrentFile.FullName;
}

int MainWindowErrorEditors::FindEditorByName(const std::string& name) const {
  // Until the editors come, the file in front is the only one open.
  return platform::SameText(CurrentFileName(), name) ? 0 : -1;
}

void MainWindowErrorEditors::OpenSourceFile(const std::string& name) {
  form_.OpenSourceFile(name);
}

void MainWindowErrorEditors::SelectEditor(int) {}

scrivlet::gui::TScrivlet* MainWindowErrorEditors::CurrentScrivlet() const { return nullptr; }

void TEditorFRM::BuildErrorList() {
  error_editors_ = std::make_unique<MainWindowErrorEditors>(*this, session_);
  errors_ = std::make_unique<TErrorList>(*error_list_, *error_splitter_, session_, *error_editors_);
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
