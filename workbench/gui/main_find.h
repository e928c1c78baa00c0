#pragma once
// MainWindowFind: the Edit menu's Find, Find Next and Find/Replace in the editor in front,
// through the two modeless dialogs. The legacy editor keeps its own find and replace: its
// Find and Find Next search again with the text of its find/replace form.

#include <string>

#include "workbench/editor_find.h"

namespace workbench {
class IdeSession;
}

namespace gui {

class TEditorFRM;
class TEditFindDialog;
class TEditReplaceDialog;

class MainWindowFind {
 public:
  // The dialogs are made as children of the main window.
  MainWindowFind(TEditorFRM& form, workbench::IdeSession& session);

  // The Edit menu items and their keys; again after every change of the editor mode, since the
  // legacy editor binds its own.
  void BindCommands();

  // Edit, Find: the dialog takes the selected text and comes up.
  void EditFind();
  // Edit, Find Next: the find dialog's text and options once more; nothing without a text.
  void EditFindNext();
  // Edit, Find/Replace.
  void EditFindReplace();

  TEditFindDialog& FindDialog() const { return *find_dialog_; }
  TEditReplaceDialog& ReplaceDialog() const { return *replace_dialog_; }
  // The main window's Tag: whether the find dialog is up.
  bool FindDialogOpen() const { return find_dialog_open_; }

 private:
  void Edit_FindDialogFind();
  void Edit_ReplaceDialogFind();
  void Edit_ReplaceDialogReplace(bool all);
  // The selected text of the editor in front, when it is one line.
  std::string SelectedLine() const;

  TEditorFRM& form_;
  workbench::IdeSession& session_;
  workbench::EditorFinder finder_;
  TEditFindDialog* find_dialog_;
  TEditReplaceDialog* replace_dialog_;
  bool find_dialog_open_ = false;
};

}  // namespace gui
