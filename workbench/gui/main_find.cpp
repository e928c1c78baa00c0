#include "workbench/gui/main_find.h"

#include <QAction>
#include <QRect>

#include "editor_control/gui/scrivlet_widget.h"
#include "resources/widget_names.h"
#include "services/gui/guarded.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/find_dialogs.h"
#include "workbench/gui/old_editor_pane.h"
#include "workbench/gui/replace_progress.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;

namespace gui {
namespace {

// The caret's line across the editor, in screen coordinates: a hit never spans two lines.
QRect CaretLine(const scrivlet::gui::TScrivlet& editor) {
  const QRect caret =
      static_cast<const QWidget&>(editor).inputMethodQuery(Qt::ImCursorRectangle).toRect();
  const QWidget* view = editor.viewport();
  return QRect(view->mapToGlobal(QPoint(0, caret.top())), QSize(view->width(), caret.height()));
}

}  // namespace

MainWindowFind::MainWindowFind(TEditorFRM& form, workbench::IdeSession& session)
    : form_(form),
      session_(session),
      finder_(session.Texts(), session.Messages()),
      find_dialog_(new TEditFindDialog(&form)),
      replace_dialog_(new TEditReplaceDialog(&form)) {
  platform::MessageBoxService& boxes = session_.Boxes();
  find_dialog_->OnFind = [this, &boxes] { RunGuarded(boxes, [this] { Edit_FindDialogFind(); }); };
  find_dialog_->OnOpenChanged = [this](bool open) { find_dialog_open_ = open; };
  replace_dialog_->OnFind = [this, &boxes] {
    RunGuarded(boxes, [this] { Edit_ReplaceDialogFind(); });
  };
  replace_dialog_->OnReplace = [this, &boxes] {
    RunGuarded(boxes, [this] { Edit_ReplaceDialogReplace(false); });
  };
  replace_dialog_->OnReplaceAll = [this, &boxes] {
    RunGuarded(boxes, [this] { Edit_ReplaceDialogReplace(true); });
  };
  BindCommands();
}

void MainWindowFind::BindCommands() {
  const struct {
    const char* item;
    void (MainWindowFind::*run)();
  } commands[] = {
      {main_menu::EditFindMENUITM, &MainWindowFind::EditFind},
      {main_menu::EditFindNextMenuMENUITM, &MainWindowFind::EditFindNext},
      {main_menu::EditFindReplaceMENUITM, &MainWindowFind::EditFindReplace},
  };
  for (const auto& command : commands) {
    form_.SetMenuHandler(command.item, [this, run = command.run] { (this->*run)(); });
    form_.SetCommandKeys(command.item);
  }
}

std::string MainWindowFind::SelectedLine() const {
  scrivlet::gui::TScrivlet* editor = form_.CurrentScrivlet();
  if (editor == nullptr) return {};
  std::string text = editor->Memo().GetSelText();
  // A search never matches across lines: only the selection's first line can be found.
  if (const std::size_t end = text.find_first_of("\r\n"); end != std::string::npos) text.erase(end);
  return text;
}

void MainWindowFind::EditFind() {
  if (form_.UsesLegacyEditor()) {
    form_.OldEditor().EditFind();
    return;
  }
  find_dialog_->SetFindText(SelectedLine());
  find_dialog_->show();
  find_dialog_->raise();
  find_dialog_->activateWindow();
}

void MainWindowFind::EditFindNext() {
  if (form_.UsesLegacyEditor()) {
    form_.OldEditor().EditFindNext();
    return;
  }
  scrivlet::gui::TScrivlet* editor = form_.CurrentScrivlet();
  if (editor == nullptr) return;
  if (finder_.FindNext(editor->Memo(), find_dialog_->Options()))
    find_dialog_->KeepClearOf(CaretLine(*editor));
}

void MainWindowFind::EditFindReplace() {
  if (form_.UsesLegacyEditor()) {
    form_.OldEditor().EditFindReplace();
    return;
  }
  replace_dialog_->SetFindText(SelectedLine());
  replace_dialog_->show();
  replace_dialog_->raise();
  replace_dialog_->activateWindow();
}

void MainWindowFind::Edit_FindDialogFind() {
  if (scrivlet::gui::TScrivlet* editor = form_.CurrentScrivlet())
    if (finder_.FindDialogFind(editor->Memo(), find_dialog_->Options(), *find_dialog_))
      find_dialog_->KeepClearOf(CaretLine(*editor));
}

void MainWindowFind::Edit_ReplaceDialogFind() {
  if (scrivlet::gui::TScrivlet* editor = form_.CurrentScrivlet())
    if (finder_.FindNext(editor->Memo(), replace_dialog_->Options()))
      replace_dialog_->KeepClearOf(CaretLine(*editor));
}

void MainWindowFind::Edit_ReplaceDialogReplace(bool all) {
  scrivlet::gui::TScrivlet* editor = form_.CurrentScrivlet();
  if (editor == nullptr || editor->Memo().ReadOnly) return;
  const workbench::FindOptions options = replace_dialog_->Options();
  if (all) {
    ReplaceAllProgress progress(&form_);
    (void)finder_.ReplaceAll(editor->Memo(), options, replace_dialog_->ReplaceText(), &progress);
  } else if (finder_.Replace(editor->Memo(), options, replace_dialog_->ReplaceText())) {
    replace_dialog_->KeepClearOf(CaretLine(*editor));
  }
}

}  // namespace gui
