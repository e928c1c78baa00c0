#pragma once
// TEditorFRM: QVKey's main window. It brings the IDE's units up in their order when it is
// created (StartUp), carries out the command line before the message loop (PrepareRun), and
// brings them down again in their order when it closes and is destroyed.

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "services/main_commands.h"
#include "services/windows_menu.h"
#include "workbench/command_line.h"
#include "workbench/start_up.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QSplitter;
class QStackedWidget;

namespace workbench {
class IdeSession;
}

namespace scrivlet::gui {
class TScrivlet;
}

namespace gui {

class IdeForms;
class LegacyEditorPane;
class RunCommands;
class PrintCommands;
class TErrorList;
class MainWindowErrorEditors;
class MainWindowFind;
class MainWindowFiles;
class T_ZKEditorArray;

class TEditorFRM : public QMainWindow {
  Q_OBJECT

 public:
  // `parameters`: the program's own, without its name. `screen_size` answers the usable size
  // of the screen (width, height) for the first-run placement.
  TEditorFRM(workbench::IdeSession& session, std::vector<std::string> parameters,
             QSize screen_size);
  ~TEditorFRM() override;

  // Between the creation of every form and the message loop. Returns whether the window is
  // to be shown (the application's ShowMainForm).
  bool PrepareRun();

  void DoFormShow();
  void DoFormActivate();
  // Files dropped on the window: the first one is opened, after the save question.
  void FormDropFiles(const std::vector<std::string>& files);
  // A drag or drop of files anywhere on the window, the editors included: taken as a copy
  // and, when dropped, opened. False when it carries no files, or cannot be a copy.
  bool TakeFileDrag(QDropEvent& event);
  // Opens a file in an editor of its own, not writable when read-only; a file already open is
  // selected.
  void OpenSourceFile(const std::string& name, bool read_only = false);
  // The source editors, one per open file, and the file commands over them.
  T_ZKEditorArray& Editors();
  int CurrentEditorIndex() const;
  // The editor in front; null while the legacy editor is shown.
  scrivlet::gui::TScrivlet* CurrentScrivlet() const;
  void SelectEditor(int index);
  // The keyboard goes to the editor in front (or the legacy editor).
  void FocusEditor();
  MainWindowFiles& Files() const { return *files_; }
  // After the configuration dialog: the enhanced or the legacy editor, and the editor in front
  // again.
  void ApplyEditorMode();
  void ReselectEditor();
  void SaveMainPlacement();
  void ShowHint(const QString& hint);

  // The handlers of menu items that later parts fill (by the item's name). A click on an item
  // without one does nothing.
  void SetMenuHandler(const std::string& item_name, std::function<void()> handler);
  // Runs the item's handler; a silent abort passes out of it.
  void ClickMenuItem(const std::string& item_name);

  // The menu item of that name; a name the menus do not hold throws std::logic_error.
  QAction* MenuItem(const std::string& item_name) const;
  workbench::EditorMode CurrentEditorMode() const;
  // Gives the item the keys the command table has for it in the current editor mode.
  void SetCommandKeys(const char* item);
  // The error list below the editors and the error mark (error_list.h; the members are
  // defined in editor_form_errors.cpp).
  void LoadErrorList();
  void JumpToError(int row);
  void MarkErrorLine(int line);
  void MarkErrorRange(int line, int start, int stop);
  void ClearErrorMarking();
  void ClearErrorStyles();
  void ScrollToLine(int line);
  TErrorList& Errors() const { return *errors_; }
  // The keyword lists, once at start-up; then every editor takes its list and colours.
  void LoadKeywordLists();
  // Kind: the file type, or 4 for the configured default.
  void SetEditorKeywords(scrivlet::gui::TScrivlet& editor, int kind);
  void ApplyHighlightSettings(scrivlet::gui::TScrivlet& editor);
  // Find and replace in the editor in front (main_find.h).
  MainWindowFind& Find() const { return *find_; }

  // The other forms, once they exist (they are created right after the main window).
  void AttachForms(IdeForms* forms) { forms_ = forms; }
  IdeForms* Forms() const { return forms_; }
  workbench::WindowsMenuUnit& WindowsMenu() { return windows_menu_; }
  // A click on a "Windows" item by its Tag: up to 999 an editor, 1001 the list window, 1002
  // the device window; 1000 brings up the main window itself.
  void SetWindowsMenuHandler(std::function<void(int tag)> handler);
  QListWidget& FileList() const { return *file_list_; }
  QSplitter& FileListSplitter() const { return *main_splitter_; }
  QListWidget& ErrorList() const { return *error_list_; }
  QLabel& StatusPanel0() const { return *status_panel_; }
  // The build's status (StatusLine).
  QLabel& StatusPanel2() const { return *build_status_panel_; }
  const workbench::CommandLineRequests& Requests() const { return requests_; }
  workbench::CommandLineRequests& Requests() { return requests_; }
  // The Run menu, its tool buttons and the end of a programming run.
  RunCommands& Run() const { return *run_commands_; }

  // The legacy editor, shown in place of the editors when the enhanced editor is off.
  LegacyEditorPane& OldEditor() const { return *legacy_editor_; }
  // What the configuration asks for.
  bool UsesLegacyEditor() const;
  // Which editor the window shows; after the configuration changed it differs from
  // UsesLegacyEditor() until ApplyEditorMode has carried the file in front over.
  bool LegacyShown() const { return legacy_shown_; }
  // Shows the legacy editor in place of the editors and binds its commands.
  void UseLegacyEditor();
  // The editors again in place of the legacy editor (their commands are the file commands').
  void UseEnhancedEditor() { legacy_shown_ = false; }
  // The save question for the editor in front; false on Cancel or when the save failed.
  bool AskSaveChanges();
  void FormPaint();
  void FormResize();
  void FormDeactivate();
  // Editor `index`'s text into the legacy editor's flat buffer, for the built-in assembler;
  // false when there is no such editor or its text is too large (refusal says so).
  bool CopyEditorToOldBuffer(int index, std::string& refusal);
  bool AssembleOldBuffer(std::string& error_text);
  // The caption of the C compiler's mode once its output is loaded (empty before): it names
  // the loaded file, whatever editor is selected.
  const std::string& ModeCaption() const { return mode_caption_; }
  // The build status line.
  void StatusLine(const std::string& text);
  const workbench::T_ZKCmdLineParse& CommandLine() const { return command_line_; }
  // A ".qvh" file from the command line, for the device window at the first paint.
  const std::string& PendingImageFile() const { return pending_image_file_; }
  // Loads an image file into the device window and shows the window (the device window's
  // LoadImageFile); bound by the program once the device window exists.
  using ImageFileLoader = std::function<void(const std::string& file, bool read_only)>;
  void SetImageFileLoader(ImageFileLoader loader) { image_file_loader_ = std::move(loader); }
  // The first paint's step: hands the pending image file to the device window, once.
  void LoadPendingImageFile();

 signals:
  // The close went through: the program ends.
  void Closed();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildWindow();
  void BuildMenus();
  void StartUp();
  void DoCommandLineActions();
  bool FormCloseQuery();
  void FormClose();
  void FormDestroy();
  // Empties tarn's output folder; a file that stays is told.
  void ClearTarnOutput();
  void OpenCommandLineFile();
  void ShowWindowsMenu();
  void WindowsMenuClick(int tag);
  void Report(const char* text, const char* caption) const;
  // The error list, find and replace, and the highlighting hooks of the editors.
  void BuildEditorServices();

  workbench::IdeSession& session_;
  std::vector<std::string> parameters_;
  QSize screen_size_;
  workbench::DebugBoxes debug_boxes_;
  workbench::T_ZKCmdLineParse command_line_;
  workbench::CommandLineRequests requests_;
  std::map<std::string, std::function<void()>> menu_handlers_;
  workbench::WindowsMenuUnit windows_menu_;
  std::function<void(int tag)> windows_menu_handler_;
  ImageFileLoader image_file_loader_;
  IdeForms* forms_ = nullptr;

  QMenu* file_list_menu_ = nullptr;
  QSplitter* main_splitter_ = nullptr;
  QSplitter* error_splitter_ = nullptr;
  QListWidget* file_list_ = nullptr;
  QStackedWidget* editor_area_ = nullptr;
  QListWidget* error_list_ = nullptr;
  QLabel* status_panel_ = nullptr;
  QLabel* build_status_panel_ = nullptr;
  std::unique_ptr<LegacyEditorPane> legacy_editor_;
  std::unique_ptr<MainWindowErrorEditors> error_editors_;
  std::unique_ptr<TErrorList> errors_;
  std::unique_ptr<MainWindowFind> find_;
  std::unique_ptr<MainWindowFiles> files_;
  std::unique_ptr<RunCommands> run_commands_;
  std::unique_ptr<PrintCommands> print_commands_;

  std::string pending_image_file_;
  std::string mode_caption_;
  bool pending_image_read_only_ = false;
  bool first_placement_ = true;
  bool first_paint_ = true;
  bool activate_done_ = false;
  bool file_step_done_ = false;
  bool destroyed_ = false;
  bool legacy_shown_ = false;
};

}  // namespace gui
