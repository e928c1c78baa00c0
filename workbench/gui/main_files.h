#pragma once
// MainWindowFiles: everything of the main window that deals with files and text. It owns the
// editor array (one TScrivlet per open file) and the open files' model, which the file list at
// the left shows: row n is editor n, named by its file or "{Blank_<n><suffix>}" while it has
// none. The File and Edit menu commands, the recent files, the workspace, the file-list popup and
// the Ctrl+Tab switching between editors live here; the legacy single-buffer editor is reached
// through the main window when the enhanced editor is off.
//
// A Cancel in a save question ends the command that asked: the commands raise the silent
// abort, and the main window's close is refused.

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "workbench/gui/editor_array.h"
#include "workbench/gui/file_commands.h"
#include "workbench/open_files.h"

class QAction;
class QKeyEvent;
class QLabel;
class QListWidget;
class QMenu;
class QStackedWidget;

namespace scrivlet {
class TScrivlet;
}
namespace workbench {
class IdeSession;
}

namespace gui {

class FileListHoverPanel;
class FilesLoadedDrawer;
class TEditorFRM;

// Where other parts of the main window hook into the file commands. Each may stay empty.
struct MainFilesHooks {
  // The run buttons and items follow whether a named file is in front.
  std::function<void(bool named)> update_run_buttons;
  // The keyword list of a file type (0 none, 1 assembly, 2 BASIC) for an editor.
  std::function<void(TScrivlet& editor, int kind)> set_editor_keywords;
  // The colours of the configuration for an editor; it is highlighted again.
  std::function<void(TScrivlet& editor)> apply_highlight;
  // A running simulator takes the newly selected named file.
  std::function<void()> start_simulator;
};

class MainWindowFiles : public QObject {
 public:
  // File types as the array keeps them; kDefaultKind asks for the configured default.
  static constexpr int kUnknownKind = workbench::OpenFiles::kUnknownKind;
  static constexpr int kAssemblyKind = workbench::OpenFiles::kAssemblyKind;
  static constexpr int kBasicKind = workbench::OpenFiles::kBasicKind;
  static constexpr int kDefaultKind = 4;

  // The editors are made in `area`; `list` is the file list, drawn by this object from now on.
  MainWindowFiles(TEditorFRM& form, workbench::IdeSession& session, QStackedWidget& area,
                  QListWidget& list);
  ~MainWindowFiles() override;

  T_ZKEditorArray& Editors() { return editors_; }
  const T_ZKEditorArray& Editors() const { return editors_; }
  const workbench::OpenFiles& Rows() const { return files_; }
  int CurrentIndex() const { return files_.Current(); }
  // The editor in front; null while the legacy editor is shown.
  TScrivlet* CurrentScrivlet() const;
  // The name the window's caption and the file commands use: the full path, or "Untitled.SRC".
  const std::string& CurrentFileName() const { return current_name_; }
  MainFilesHooks& Hooks() { return hooks_; }
  // Tests put a failing writer in place of the real one.
  void SetBytesWriter(workbench::FileBytesWriter writer);

  // Brings editor `index` to the front; nothing out of range or with the legacy editor. A file
  // changed on disk since it was loaded is offered for reload.
  void SelectEditor(int index);
  void ReselectEditor() { SelectEditor(files_.Current()); }
  // The program became the active one again: the file in front, changed or deleted
  // meanwhile, is noticed.
  void ApplicationActivated();
  // A status line was shown: the next edit of the editor in front makes it stale.
  void StatusShown();
  // Opens a file in an editor of its own, not writable when read-only; a file already open is
  // selected.
  void OpenSourceFile(const std::string& name, bool read_only = false);
  // Loads the file into an editor; false (told) when it could not be loaded.
  bool OpenInEnhancedEditor(const std::string& name, bool read_only = false);
  // A new editor of that kind (kUnknownKind, kAssemblyKind, kBasicKind, kDefaultKind).
  void FileNew(int kind);
  void FileClose();
  void FileCloseAll();
  void ShowCloseAll();
  // The legacy editor's caret, line:column, in the caret's panel.
  void ShowLegacyCaret();
  // Each false when nothing was saved (told).
  bool FileSave();
  bool FileSaveAs();
  // Opens recent file `n` (0..4); a file gone from disk is told and leaves the list.
  void OpenRecentFile(int n);
  // The first dropped file is opened.
  void DropFiles(const std::vector<std::string>& files);

  // The save question for the editor in front: false for Cancel and for a Yes whose save did
  // not happen.
  [[nodiscard]] bool AskSaveChanges();
  // The close of the main window: every modified editor in turn is brought to the front and
  // asked for; false when the close is to be refused.
  [[nodiscard]] bool CloseQuery();
  bool CurrentFileModified() const;
  // False when the file's editor is unmodified or read-only; true when no editor holds it.
  bool FileNeedsSave(const std::string& name) const;
  // The file-list row equal to name (without regard to case), -1.
  int FindEditorByName(const std::string& name) const;
  // 1 for assembly, 2 for BASIC.
  int DefaultEditorType() const;
  // Sets the current file: window caption, recent files.
  void SetCurrentFileName(const std::string& name);

  // Top file marks from the file list's popup.
  void SetAsTop();
  void SetAsNormal();
  void RemoveFromKnownTopFiles();

  // Start-up: the recent files from the settings; shut-down: back to them.
  void ReadRecentFiles();
  void WriteRecentFiles();
  // Start-up, when asked for: the files open at the last close, those still on disk.
  void OpenWorkspaceFiles();
  // Close: the names of the open files, when the workspace is to be restored.
  void SaveWorkspaceFiles();

  // After the configuration dialog: the enhanced or the legacy editor, fonts and tab stops.
  void ApplyEditorMode();
  // Ctrl+Tab and Ctrl+Shift+Tab between editors; true when the key was taken.
  bool HandleEditorTabKeys(int key, Qt::KeyboardModifiers modifiers, bool down);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool Legacy() const;
  std::string Text(int id) const;
  // The language question of a new or never saved file: Yes the default type, No the other.
  int AskLanguage(int text_id, int caption_id) const;
  // A list kept in the settings could not be written there.
  void TellNotWritten(const char* list) const;
  // The file list takes the model's rows: their count and names, in order.
  void ShowRows();
  // The editor, its Windows item, its row and its list item go; another editor is in front.
  void DropEditor(int index);
  // A new editor's font, tab stops and events, as the first editor has them.
  void TakeEditorEvents(int index);
  // Undo and Redo on or off as the editor in front can, and how far back Undo reaches: what
  // the status line is to tell, once, as the limits drop the first of the editor's steps.
  std::string ShowUndoState(TScrivlet& editor);
  void EditorChange(TScrivlet& editor);
  void EditorSelMove(TScrivlet& editor);
  void RefreshModifiedMark();
  void CloseCurrent();
  bool SaveSourceFile(const std::string& name);
  // Loads the file into editor `index` as a fresh text under its name, not writable when
  // read-only; false when it could not be read (nothing told).
  bool LoadIntoEditor(const std::string& name, int index, bool read_only);
  // Before a save over the file the editor in front was loaded from: when someone else wrote
  // it meanwhile, the user may load that version instead; true when it was loaded (and there
  // is nothing to write).
  bool TookNewerVersion(const std::string& name);
  // The file of editor `index` (or of the legacy editor) has gone from disk: says so and offers
  // to save it again; not saved, the editor counts as modified.
  void OfferToSaveAgain(int index);
  void OfferLegacyToSaveAgain();
  // The question for a file gone from disk, and the save on Yes; true when the file is on disk
  // again.
  bool SavedAgain(const std::string& name);
  // The switch between the editors carries the file in front over: into the legacy editor
  // with its edits, and back after the save question (Cancel brings the edits along unsaved).
  void EnterLegacyEditor();
  void LeaveLegacyEditor();
  bool SaveEditorFile(const std::string& name);
  // The Windows menu holds one item per row, in row order, up to `index`.
  void AddWindowsItems(int index);
  void ShowRecentFiles();
  void FilePopup();
  void BindCommands();
  void BuildRecentItems();
  void RunEdit(const std::function<void(scrivlet::TScrivlet&)>& command);
  // Runs a command from a click; a Cancel in its save question ends it quietly.
  void RunCommand(const std::function<void()>& command);

  TEditorFRM& form_;
  workbench::IdeSession& session_;
  QStackedWidget& area_;
  QListWidget& list_;
  T_ZKEditorArray editors_;
  workbench::OpenFiles files_;
  EditorFileSaving saving_;
  FilesLoadedDrawer* drawer_ = nullptr;
  FileListHoverPanel* hover_ = nullptr;
  QLabel* caret_panel_ = nullptr;
  QAction* save_button_ = nullptr;  // the tool bar's Save
  QMenu* popup_ = nullptr;
  MainFilesHooks hooks_;

  std::string current_name_;
  bool read_only_loaded_ = false;
  bool reloading_ = false;
  bool last_modified_drawn_ = false;
  bool front_was_modified_ = false;  // the editor in front at its last change
  bool ctrl_was_down_ = false;
  bool last_was_tab_ = false;
  bool first_switch_ = true;
};

}  // namespace gui
