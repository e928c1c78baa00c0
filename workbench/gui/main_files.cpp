#include "workbench/gui/main_files.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <filesystem>
#include <optional>
#include <sstream>
#include <utility>

#include "editor_control/gui/scrivlet_widget.h"
#include "platform/message_box.h"
#include "platform/modal_dialogs.h"
#include "platform/text.h"
#include "resources/code_widget_names.h"
#include "resources/string_ids.h"
#include "services/gui/guarded.h"
#include "services/gui/text.h"
#include "services/silent_abort.h"
#include "services/windows_menu.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/file_list.h"
#include "workbench/gui/file_list_hover.h"
#include "workbench/gui/old_editor_pane.h"
#include "workbench/session/session.h"
#include "workbench/workspace.h"
#include "workbench/zero_bytes.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;
namespace files_popup = widget_names::FilesLoadedPOPMNU;

namespace gui {
namespace {

namespace Ids = string_ids::EditorUnit;

constexpr const char* kRecentItems[workbench::RecentFiles::kEntries] = {
    main_menu::FileZeroItem, main_menu::FileOneItem, main_menu::FileTwoItem,
    main_menu::FileThreeItem, main_menu::FileFourItem};

bool FileExists(const std::string& name) {
  std::error_code error;
  return !name.empty() && std::filesystem::is_regular_file(name, error);
}

// "Source Files (*.SRC)|*.SRC|All Files (*.*)|*.*" as the file dialog takes it. Extensions
// compare without regard to case here as on the system the filters were written for.
QString DialogFilter(const std::string& table_filter) {
  QStringList filters;
  QString all_files;
  std::vector<std::string> parts;
  std::string part;
  for (char c : table_filter + "|") {
    if (c != '|') {
      part += c;
      continue;
    }
    parts.push_back(part);
    part.clear();
  }
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string description = parts[i];
    // A mask lists its patterns with ";"; the dialog takes them apart at blanks.
    QStringList patterns;
    for (const QString& mask : ToQt(parts[i + 1]).split(';', Qt::SkipEmptyParts)) {
      if (mask == "*.*") {
        patterns << "*";
        continue;
      }
      patterns << mask;
      if (mask.toLower() != mask) patterns << mask.toLower();
    }
    if (auto open = description.find('('); open != std::string::npos) description.erase(open);
    const QString filter =
        ToQt(std::string(platform::TrimBlanks(description))) + " (" + patterns.join(' ') + ")";
    // The two tables' filters both end in "All Files": offer it once, last.
    if (patterns == QStringList{"*"}) {
      all_files = filter;
    } else {
      filters << filter;
    }
  }
  if (!all_files.isEmpty()) filters << all_files;
  return filters.join(";;");
}

}  // namespace

MainWindowFiles::MainWindowFiles(TEditorFRM& form, workbench::IdeSession& session,
                                 QStackedWidget& area, QListWidget& list)
    : QObject(&form),
      form_(form),
      session_(session),
      area_(area),
      list_(list),
      editors_(area),
      files_(session.Texts().LU_GetString(Ids::SCU_BLANK_PREFIX)),
      saving_(editors_, session.Texts(), session.Boxes(), session.Globals().IdeOptions) {
  drawer_ = new FilesLoadedDrawer(editors_, &list_);
  list_.setItemDelegate(drawer_);
  ShowRows();
  list_.setCurrentRow(0);
  hover_ = new FileListHoverPanel(list_, form_, [this](int row) {
    TScrivlet* editor = editors_.GetEditor(row);
    const bool modified = editor && editor->Memo().Modified();
    std::string text = modified ? "*" : "";
    return text += files_.Name(row);
  });
  // A click or an arrow key on the list: that row's editor comes to the front.
  connect(&list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row == files_.Current() || row < 0) return;
    RunGuarded(session_.Boxes(), [this, row] {
      RunCommand([this, row] {
        SelectEditor(row);
        if (files_.IsNamed(row) && hooks_.start_simulator) hooks_.start_simulator();
      });
    });
  });
  connect(
      qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
          RunGuarded(session_.Boxes(), [this] { RunCommand([this] { ApplicationActivated(); }); });
      });
  // The tool bar stands before the file commands are made; the button is looked up once,
  // not at every keystroke.
  save_button_ = form_.findChild<QAction*>(editor_frm::FileSaveTBTN);
  caret_panel_ = new QLabel(&form_);
  caret_panel_->setObjectName(editor_frm::StatusPanel1);
  caret_panel_->setMinimumWidth(80);
  form_.statusBar()->addPermanentWidget(caret_panel_);
  TakeEditorEvents(0);
  current_name_ = Text(Ids::SCU_UNTITLED);
  BuildRecentItems();
  BindCommands();
  ShowCloseAll();
}

MainWindowFiles::~MainWindowFiles() = default;

void MainWindowFiles::RunCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const workbench::SilentAbort&) {
  }
}

std::string MainWindowFiles::Text(int id) const { return session_.Texts().LU_GetString(id); }

bool MainWindowFiles::Legacy() const { return form_.LegacyShown(); }

TScrivlet* MainWindowFiles::CurrentScrivlet() const {
  return Legacy() ? nullptr : editors_.GetEditor(files_.Current());
}

void MainWindowFiles::SetBytesWriter(workbench::FileBytesWriter writer) {
  editors_.SetBytesWriter(std::move(writer));
}

void MainWindowFiles::ShowRows() {
  // The model's operations add a row at the end, rename one or take one out; the list keeps
  // its items (and where it is scrolled to) and takes the names. No change of the list's own
  // current row may count as a click on it: SelectEditor sets that.
  const QSignalBlocker quiet(list_);
  while (list_.count() > files_.Count()) delete list_.takeItem(list_.count() - 1);
  while (list_.count() < files_.Count()) list_.addItem(QString());
  for (int i = 0; i < files_.Count(); ++i) {
    const QString name = NameToQt(files_.Name(i));
    if (list_.item(i)->text() != name) list_.item(i)->setText(name);
  }
}

void MainWindowFiles::DropEditor(int index) {
  editors_.CloseEditor(index);
  form_.WindowsMenu().WindowsMenuRemove(workbench::kFileItem, index);
  files_.Remove(index);
  ShowRows();
}

int MainWindowFiles::DefaultEditorType() const {
  return session_.Globals().IdeOptions.DefaultIsAssembly ? kAssemblyKind : kBasicKind;
}

int MainWindowFiles::AskLanguage(int text_id, int caption_id) const {
  const int fallback = DefaultEditorType();
  const int other = fallback == kAssemblyKind ? kBasicKind : kAssemblyKind;
  const auto language = [this](int kind) {
    return Text(kind == kAssemblyKind ? Ids::SCU_LANGUAGE_ASSEMBLY : Ids::SCU_LANGUAGE_QVB);
  };
  return session_.Messages().YesNoBoxById3(text_id, caption_id, language(fallback),
                                           language(fallback),
                                           language(other)) == platform::kAnswerYes
             ? fallback
             : other;
}

void MainWindowFiles::TellNotWritten(const char* list) const {
  session_.Boxes().Show(
      {std::string("The list of ") + list + " could not be written to the settings.", "Settings",
       platform::BoxButtons::Ok});
}

void MainWindowFiles::TakeEditorEvents(int index) {
  TScrivlet* editor = editors_.GetEditor(index);
  if (!editor) return;
  const workbench::GlobalValues& globals = session_.Globals();
  editor->SetFonts(QFont(ToQt(globals.EditorFontName), globals.EditorOptions.Fontsize),
                   QFont(ToQt(globals.EditorFontName), globals.EditorOptions.Fontsize));
  editor->Memo().SetTabStops(globals.EditorOptions.Tabsize);
  editor->Memo().OnChange = [this, editor](scrivlet::TScrivlet&) { EditorChange(*editor); };
  editor->OnUnheldCharacter = [this](scrivlet::gui::UnheldCharacter unheld) {
    form_.StatusLine(FromQt(scrivlet::gui::UnheldCharacterMessage(unheld)));
  };
  editor->Memo().OnSelMove = [this, editor](scrivlet::TScrivlet&) { EditorSelMove(*editor); };
  editor->installEventFilter(this);
  // Files dragged onto the text are files to open, not text to insert.
  editor->viewport()->installEventFilter(this);
}

std::string MainWindowFiles::ShowUndoState(TScrivlet& editor) {
  const scrivlet::TScrivlet& memo = editor.Memo();
  QAction* undo = form_.MenuItem(main_menu::EditUndoMenuMENUITM);
  undo->setEnabled(memo.CanUndo());
  form_.MenuItem(main_menu::EditRedoMenuMENUITM)->setEnabled(memo.CanRedo());
  // Once the limits have dropped older steps, Undo's hint says how far back it still reaches.
  std::string reach;
  if (memo.UndoStepsDropped()) {
    const int steps = memo.UndoSteps();
    reach = "Undo reaches back " + std::to_string(steps) + (steps == 1 ? " change" : " changes") +
            "; older ones are not kept";
  }
  undo->setStatusTip(ToQt(reach));
  // A grey item shows no hint: the status line tells it once, when the first steps go.
  constexpr char kTold[] = "UndoReachTold";
  const bool told = editor.property(kTold).toBool();
  editor.setProperty(kTold, !reach.empty());
  return told ? std::string() : reach;
}

void MainWindowFiles::EditorChange(TScrivlet& editor) {
  // Modified follows the undo position against the last save by itself: an Undo back to the
  // saved text clears it, a Redo away from it sets it again.
  scrivlet::TScrivlet& memo = editor.Memo();
  if (&editor == CurrentScrivlet()) {
    const std::string reach = ShowUndoState(editor);
    // A build's status speaks of the saved text: the first edit after it makes it stale.
    if (memo.Modified() && !front_was_modified_) form_.StatusLine("");
    front_was_modified_ = memo.Modified();
    if (!reach.empty()) form_.StatusLine(reach);
  }
  RefreshModifiedMark();
}

void MainWindowFiles::StatusShown() {
  TScrivlet* editor = CurrentScrivlet();
  front_was_modified_ = editor && editor->Memo().Modified();
}

void MainWindowFiles::EditorSelMove(TScrivlet& editor) {
  if (&editor != CurrentScrivlet()) return;
  scrivlet::TScrivlet& memo = editor.Memo();
  caret_panel_->setText(QString::number(memo.GetSelLine() + 1) + ":" +
                        QString::number(memo.GetSelCol() + 1));
}

void MainWindowFiles::RefreshModifiedMark() {
  TScrivlet* editor = editors_.GetEditor(files_.Current());
  const bool modified = editor && editor->Memo().Modified();
  // A new file holds nothing to save until it is typed into.
  if (save_button_) save_button_->setEnabled(modified || files_.IsNamed(files_.Current()));
  if (modified == last_modified_drawn_) return;
  last_modified_drawn_ = modified;
  list_.viewport()->update();
}

bool MainWindowFiles::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
      event->type() == QEvent::Drop)
    return form_.TakeFileDrag(*static_cast<QDropEvent*>(event)) ||
           QObject::eventFilter(watched, event);
  const bool down = event->type() == QEvent::KeyPress;
  if (down || event->type() == QEvent::KeyRelease) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (HandleEditorTabKeys(key->key(), key->modifiers(), down)) return true;
  }
  return QObject::eventFilter(watched, event);
}

bool MainWindowFiles::HandleEditorTabKeys(int key, Qt::KeyboardModifiers modifiers, bool down) {
  const bool tab = down && (key == Qt::Key_Tab || key == Qt::Key_Backtab);
  const bool ctrl = modifiers & Qt::ControlModifier;
  const bool shift = modifiers & Qt::ShiftModifier || key == Qt::Key_Backtab;
  if (!tab && !last_was_tab_ && !ctrl) first_switch_ = true;
  int target = -1;
  bool swallow = false;
  if (tab && ctrl) {
    if (files_.Count() < 2) {
      swallow = true;
    } else if (first_switch_) {
      target = files_.PreviousOrFirst();
      first_switch_ = false;
    } else if (ctrl_was_down_) {
      target = files_.Neighbour(shift);
    }
  }
  ctrl_was_down_ = ctrl;
  last_was_tab_ = tab;
  if (target < 0) return swallow;
  RunCommand([this, target] {
    SelectEditor(target);
    if (files_.IsNamed(target) && hooks_.start_simulator) hooks_.start_simulator();
  });
  if (TScrivlet* editor = CurrentScrivlet()) editor->setFocus();
  return true;
}

void MainWindowFiles::SetCurrentFileName(const std::string& name) {
  workbench::GlobalValues& globals = session_.Globals();
  current_name_ = name;
  const std::filesystem::path path(name);
  globals.CurrentFile.FullName = name;
  globals.CurrentFile.Folder = path.has_parent_path() ? path.parent_path().string() + "/" : "";
  globals.CurrentFile.NameOnly = path.stem().string();
  globals.CurrentFile.Extension = path.extension().string();
  std::string caption = path.filename().string() + " - " + FromQt(QApplication::applicationName());
  if (read_only_loaded_) caption += Text(Ids::SCU_READ_ONLY_SUFFIX);
  if (!form_.ModeCaption().empty()) caption = form_.ModeCaption();
  form_.setWindowTitle(ToQt(caption));
  session_.Recent().AddRecentFile(name);
  ShowRecentFiles();
}

void MainWindowFiles::AddWindowsItems(int index) {
  workbench::WindowsMenuUnit& menu = form_.WindowsMenu();
  for (int i = 0; i <= index && i < files_.Count(); ++i)
    menu.WindowsMenuAdd(files_.Name(i), workbench::kFileItem);
}

void MainWindowFiles::SelectEditor(int index) {
  if (index < 0 || index >= files_.Count() || Legacy()) return;
  TScrivlet* old_editor = editors_.GetEditor(files_.Current());
  TScrivlet* editor = editors_.GetEditor(index);
  if (!editor) return;
  area_.setCurrentWidget(editor);
  files_.Select(index);
  read_only_loaded_ = !editors_.GetWritable(index);
  editor->Memo().ReadOnly = read_only_loaded_;
  list_.setCurrentRow(index);
  const std::string row = files_.Name(index);
  last_modified_drawn_ = !editor->Memo().Modified();
  front_was_modified_ = editor->Memo().Modified();
  EditorChange(*editor);
  EditorSelMove(*editor);
  current_name_ = row;
  form_.WindowsMenu().CheckFileItem(row);
  const bool named = files_.IsNamed(index);
  if (!named) current_name_ = Text(Ids::SCU_UNTITLED);
  if (hooks_.update_run_buttons) hooks_.update_run_buttons(named);
  if (editor != old_editor && old_editor) {
    editor->SetFonts(old_editor->Font(), old_editor->Font());
    editor->Memo().SetTabStops(old_editor->Memo().GetTabStops());
    if (hooks_.apply_highlight) hooks_.apply_highlight(*editor);
  }
  if (named && !reloading_ && editors_.GoneFromDisk(index)) {
    OfferToSaveAgain(index);
  } else if (named && !reloading_ && editors_.NewerOnDisk(index)) {
    reloading_ = true;
    struct Guard {
      bool& flag;
      ~Guard() { flag = false; }
    } guard{reloading_};
    OpenInEnhancedEditor(editors_.GetFileName(index));
    SelectEditor(index);
  }
  SetCurrentFileName(current_name_);
}

void MainWindowFiles::ApplicationActivated() {
  if (Legacy())
    OfferLegacyToSaveAgain();
  else
    ReselectEditor();
}

bool MainWindowFiles::SavedAgain(const std::string& name) {
  const bool save =
      session_.Messages().YesNoBoxById1(Ids::SCU_FILE_GONE, Ids::SCU_FILE_GONE_CAPTION, name) ==
      platform::kAnswerYes;
  const bool guarded = std::exchange(reloading_, true);
  if (save) (void)SaveEditorFile(name);
  reloading_ = guarded;
  return FileExists(name);
}

void MainWindowFiles::OfferToSaveAgain(int index) {
  if (SavedAgain(editors_.GetFileName(index))) return;
  // The editor holds the only copy of the text now: Close and the end of the program ask.
  scrivlet::TScrivlet& memo = editors_.GetEditor(index)->Memo();
  if (!memo.Modified()) {
    memo.SetModified(true);
    EditorChange(*editors_.GetEditor(index));
  }
}

void MainWindowFiles::OfferLegacyToSaveAgain() {
  LegacyEditorPane& pane = form_.OldEditor();
  if (!pane.GoneFromDisk() || SavedAgain(pane.FileName())) return;
  pane.Editor().SetModified(true);
}

void MainWindowFiles::FileNew(int kind) {
  if (Legacy()) {
    if (!AskSaveChanges()) workbench::Abort();
    form_.OldEditor().Clear();
    SetCurrentFileName(Text(Ids::SCU_UNTITLED));
    return;
  }
  if (kind == kDefaultKind) kind = DefaultEditorType();
  int index = 0;
  // The first new file takes the editor the window starts with, while that is still empty.
  const bool reuse = files_.TakeFirstNew(editors_.GetEditor(0)->Memo().Modified());
  if (reuse) {
    index = 0;
  } else {
    index = editors_.AddEditor();
    if (index < 0) return;
    TakeEditorEvents(index);
    editors_.SetFileType(index, static_cast<std::uint8_t>(kind));
    if (hooks_.set_editor_keywords) hooks_.set_editor_keywords(*editors_.GetEditor(index), kind);
    (void)files_.AddBlank(kind);
    ShowRows();
    if (session_.Globals().IdeOptions.UseTemplates &&
        (kind == kAssemblyKind || kind == kBasicKind)) {
      const std::string path =
          session_.Templates().TemplateFor(kind == kAssemblyKind ? ".src" : ".qvb");
      if (!path.empty()) (void)editors_.LoadTemplate(path, index);
    }
  }
  SelectEditor(index);
  AddWindowsItems(index);
  if (hooks_.update_run_buttons) hooks_.update_run_buttons(false);
  SetCurrentFileName(Text(Ids::SCU_UNTITLED));
  ShowCloseAll();
  form_.FocusEditor();
}

// Close All stands in the menu only while there is more than one editor to close.
void MainWindowFiles::ShowCloseAll() {
  form_.MenuItem(main_menu::FileCloseAllMENUITM)->setVisible(files_.Count() > 1);
}

bool MainWindowFiles::LoadIntoEditor(const std::string& name, int index, bool read_only) {
  const std::string old_row = files_.Name(index);
  if (!editors_.LoadFile(name, index)) return false;
  if (read_only) editors_.SetWritable(index, false);
  scrivlet::TScrivlet& memo = editors_.GetEditor(index)->Memo();
  memo.SetModified(false);
  memo.ClearUndo();
  (void)ShowUndoState(*editors_.GetEditor(index));
  AddWindowsItems(index);
  form_.WindowsMenu().RenameFileItem(old_row, name);
  form_.WindowsMenu().CheckFileItem(name);
  (void)files_.Rename(index, name);
  ShowRows();
  if (hooks_.set_editor_keywords)
    hooks_.set_editor_keywords(*editors_.GetEditor(index), editors_.GetFileType(index));
  if (const std::size_t zeros = editors_.Item(index).ZeroBytes; zeros > 0)
    session_.Boxes().Show(workbench::ZeroBytesNotice(name, zeros));
  if (editors_.Item(index).ShownAsBytes) session_.Boxes().Show(workbench::ShownAsBytesNotice(name));
  return true;
}

bool MainWindowFiles::OpenInEnhancedEditor(const std::string& name, bool read_only) {
  int index = editors_.IndexOfFile(name);
  int made = -1;
  if (index < 0) {
    TScrivlet* current = editors_.GetEditor(files_.Current());
    if (files_.IsNamed(files_.Current()) || !current || current->Memo().Modified()) {
      const int before = files_.Count();
      FileNew(kUnknownKind);
      if (files_.Count() > before) made = files_.Current();
    }
    index = files_.Current();
  } else {
    const bool reload =
        editors_.NewerOnDisk(index) &&
        session_.Messages().YesNoBoxById1(Ids::SCU_NEWER_ON_DISK, Ids::SCU_NEWER_ON_DISK_CAPTION,
                                          name) == platform::kAnswerYes;
    if (!reload) {
      // The answer holds for this open: selecting the editor does not ask a second time.
      const bool guarded = std::exchange(reloading_, true);
      SelectEditor(index);
      reloading_ = guarded;
      return true;
    }
  }

  const bool loaded = LoadIntoEditor(name, index, read_only);
  if (!loaded) {
    if (!FileExists(name))
      (void)session_.Messages().MsgBoxById1(Ids::SCU_OPEN_FILE_MISSING,
                                            Ids::SCU_FILE_NOT_FOUND_CAPTION, name);
    else
      session_.Boxes().Show({name + " could not be read.", Text(Ids::SCU_FILE_NOT_FOUND_CAPTION),
                             platform::BoxButtons::Ok});
    // The editor made for the file goes again: a failed open leaves the window as it was.
    if (made >= 0) {
      SelectEditor(files_.Previous());
      DropEditor(made);
    }
  }
  SelectEditor(index < files_.Count() ? index : files_.Current());
  if (loaded && hooks_.apply_highlight) hooks_.apply_highlight(*editors_.GetEditor(index));
  return loaded;
}

void MainWindowFiles::OpenSourceFile(const std::string& name, bool read_only) {
  workbench::GlobalValues& globals = session_.Globals();
  if (Legacy()) {
    if (platform::SameText(std::filesystem::path(name).extension().string(),
                           Text(Ids::SCU_EXT_QVB))) {
      (void)session_.Messages().MsgBoxById(Ids::SCU_QVB_IN_OLD_EDITOR, Ids::SCU_QVB_LOAD_CAPTION);
      return;
    }
    const bool loaded = form_.OldEditor().OpenFile(name);
    read_only_loaded_ = read_only;
    if (!loaded) return;
    SetCurrentFileName(name);
  } else {
    if (!OpenInEnhancedEditor(name, read_only)) return;
    SetCurrentFileName(name);
    ShowCloseAll();
  }
  if (EditorFileSaving::IsReadOnlyFile(name))
    (void)session_.Messages().MsgBoxById(Ids::SCU_OPENED_READ_ONLY,
                                         Ids::SCU_OPENED_READ_ONLY_CAPTION);
  if (Legacy() || !globals.IdeOptions.UseTarn || !session_.TopFiles().IsKnownTopFile(name)) return;
  if (globals.IdeOptions.WarnLoadingKnownTopFile &&
      session_.Messages().YesNoBoxById1(Ids::SCU_KNOWN_TOP_FILE, Ids::SCU_KNOWN_TOP_FILE_CAPTION,
                                        name) == platform::kAnswerNo)
    return;
  SetAsTop();
}

bool MainWindowFiles::CurrentFileModified() const {
  if (Legacy())
    return form_.OldEditor().Editor().Modified() && !session_.Globals().WrenfieldMode &&
           !read_only_loaded_;
  return saving_.FileModified(files_.Current());
}

bool MainWindowFiles::FileNeedsSave(const std::string& name) const {
  if (Legacy()) return CurrentFileModified();
  const int index = editors_.IndexOfFile(name);
  return index < 0 || saving_.FileModified(index);
}

int MainWindowFiles::FindEditorByName(const std::string& name) const { return files_.Find(name); }

bool MainWindowFiles::TookNewerVersion(const std::string& name) {
  LegacyEditorPane& pane = form_.OldEditor();
  const bool newer = Legacy() ? pane.FileName() == name && pane.NewerOnDisk()
                              : editors_.GetFileName(files_.Current()) == name &&
                                    editors_.NewerOnDisk(files_.Current());
  if (!newer ||
      session_.Messages().YesNoBoxById1(Ids::SCU_NEWER_ON_DISK, Ids::SCU_NEWER_ON_DISK_CAPTION,
                                        name) != platform::kAnswerYes)
    return false;
  if (Legacy()) return pane.OpenFile(name);
  if (!LoadIntoEditor(name, files_.Current(), false)) return false;
  SelectEditor(files_.Current());
  if (hooks_.apply_highlight) hooks_.apply_highlight(*editors_.GetEditor(files_.Current()));
  return true;
}

bool MainWindowFiles::SaveSourceFile(const std::string& name) {
  if (TookNewerVersion(name)) return true;
  if (Legacy())
    return saving_.MakeBackup(name) && form_.OldEditor().SaveFile(name, editors_.BytesWriter());
  if (!saving_.SaveSourceFile(files_.Current(), name)) return false;
  const std::string old_row = files_.Name(files_.Current());
  if (old_row != name) {
    AddWindowsItems(files_.Current());
    form_.WindowsMenu().RenameFileItem(old_row, name);
  }
  (void)files_.Rename(files_.Current(), name);
  ShowRows();
  last_modified_drawn_ = true;
  RefreshModifiedMark();
  if (hooks_.update_run_buttons) hooks_.update_run_buttons(true);
  if (read_only_loaded_) {
    read_only_loaded_ = false;
    SelectEditor(files_.Current());
  }
  return true;
}

bool MainWindowFiles::SaveEditorFile(const std::string& name) {
  if (EditorFileSaving::IsReadOnlyFile(name) || read_only_loaded_) {
    (void)session_.Messages().MsgBoxById(Ids::SCU_SAVE_READ_ONLY, Ids::SCU_SAVE_READ_ONLY_CAPTION);
    return false;
  }
  if (name.empty() || platform::SameText(name, Text(Ids::SCU_UNTITLED))) return FileSaveAs();
  return SaveSourceFile(name);
}

bool MainWindowFiles::FileSave() { return SaveEditorFile(current_name_); }

bool MainWindowFiles::AskSaveChanges() {
  // The legacy editor's file may have gone while the program stayed active.
  if (Legacy()) OfferLegacyToSaveAgain();
  if (!CurrentFileModified()) return true;
  const int answer =
      session_.Boxes().Show({platform::FormatText(Text(Ids::SCU_SAVE_CHANGES), {current_name_}),
                             "Confirm", platform::BoxButtons::YesNoCancel});
  if (answer == platform::kAnswerNo) return true;
  if (answer != platform::kAnswerYes) return false;
  (void)SaveEditorFile(current_name_);
  return !CurrentFileModified();
}

bool MainWindowFiles::CloseQuery() {
  if (Legacy()) {
    if (!AskSaveChanges()) return false;
    // Editors the legacy editor could not take over stay behind it, with their edits.
    for (int i = 0; i < editors_.Count(); ++i)
      if (!saving_.AskSaveChanges(i)) return false;
    return true;
  }
  const int was = files_.Current();
  for (int i = 0; i < editors_.Count(); ++i) {
    // Selecting an editor whose file has gone tells of it and offers to save it again first.
    if (!saving_.FileModified(i) && !editors_.FileIsGone(i)) continue;
    SelectEditor(i);
    if (!AskSaveChanges()) return false;
  }
  SelectEditor(was);
  return true;
}

bool MainWindowFiles::FileSaveAs() {
  const workbench::GlobalValues& globals = session_.Globals();
  const std::string current = current_name_;
  const bool read_only = EditorFileSaving::IsReadOnlyFile(current) || read_only_loaded_;
  if (read_only)
    (void)session_.Messages().MsgBoxById(Ids::SCU_SAVE_READ_ONLY, Ids::SCU_SAVE_READ_ONLY_CAPTION);
  int type = Legacy() ? kAssemblyKind : editors_.GetFileType(files_.Current());
  if (type == kUnknownKind)
    type = AskLanguage(Ids::SCU_SAVE_AS_LANGUAGE, Ids::SCU_SAVE_AS_LANGUAGE_CAPTION);
  QFileDialog dialog(&form_);
  dialog.setObjectName(editor_frm::SaveDialog);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // asked below, with our own question
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setWindowTitle(ToQt(Text(Ids::SCU_SAVE_AS_TITLE)));
  const bool assembly = type == kAssemblyKind;
  dialog.setNameFilter(DialogFilter(Text(assembly ? Ids::SCU_FILTER_SRC : Ids::SCU_FILTER_QVB)));
  dialog.setDefaultSuffix(ToQt(Text(assembly ? Ids::SCU_EXT_SRC : Ids::SCU_EXT_QVB).substr(1)));
  if (!globals.CurrentFile.Folder.empty())
    dialog.setDirectory(NameToQt(globals.CurrentFile.Folder));
  if (session_.Dialogs().Run(dialog) != QDialog::Accepted) return false;
  const QStringList chosen_files = dialog.selectedFiles();
  if (chosen_files.isEmpty()) return false;
  const std::optional<std::string> chosen_name = NameFromQt(chosen_files.first());
  if (!chosen_name) {
    session_.Boxes().Show(UnusableNameNotice(chosen_files.first()));
    return false;
  }
  const std::string& chosen = *chosen_name;

  if (platform::SameText(chosen, current) && read_only_loaded_) {
    (void)session_.Messages().MsgBoxById(Ids::SCU_SAVE_AS_SAME_NAME,
                                         Ids::SCU_SAVE_READ_ONLY_CAPTION);
    return false;
  }
  if (FileExists(chosen) &&
      session_.Boxes().Show({platform::FormatText(Text(Ids::SCU_OVERWRITE), {chosen}), "Confirm",
                             platform::BoxButtons::YesNoCancel}) != platform::kAnswerYes)
    return false;
  // A file opened read-only becomes an ordinary file under its new name.
  const bool was_writable = editors_.GetWritable(files_.Current());
  if (!Legacy()) editors_.SetWritable(files_.Current(), true);
  if (!SaveSourceFile(chosen)) {
    editors_.SetWritable(files_.Current(), was_writable);
    return false;
  }
  if (!Legacy()) {
    if (editors_.GetFileType(files_.Current()) == kUnknownKind)
      editors_.SetFileType(files_.Current(), static_cast<std::uint8_t>(type));
    if (hooks_.set_editor_keywords)
      hooks_.set_editor_keywords(*editors_.GetEditor(files_.Current()),
                                 editors_.GetFileType(files_.Current()));
  }
  read_only_loaded_ = false;
  SelectEditor(files_.Current());
  SetCurrentFileName(chosen);
  return true;
}

void MainWindowFiles::CloseCurrent() {
  form_.MenuItem(main_menu::FileCloseAllMENUITM)->setVisible(true);
  if (!AskSaveChanges()) workbench::Abort();
  const int closing = files_.Current();
  SelectEditor(closing == 0 ? 1 : closing - 1);
  DropEditor(closing);
  // The editor in front stays; selecting it again brings the window up to date.
  SelectEditor(files_.Current());
  ShowCloseAll();
}

void MainWindowFiles::FileClose() {
  if (Legacy()) {
    FileNew(kDefaultKind);
    return;
  }
  if (files_.Count() == 1) {
    // Closing the only file leaves a new blank editor: one is made before the old one goes.
    FileNew(kDefaultKind);
    if (files_.Count() == 1) FileNew(kDefaultKind);
    SelectEditor(0);
    CloseCurrent();
    if (hooks_.update_run_buttons) hooks_.update_run_buttons(false);
    return;
  }
  CloseCurrent();
}

void MainWindowFiles::FileCloseAll() {
  if (Legacy()) {
    FileClose();
    return;
  }
  for (bool last = false; !last;) {
    SelectEditor(files_.Count() - 1);
    if (files_.Count() == 1) {
      FileNew(kDefaultKind);
      if (files_.Count() == 1) FileNew(kDefaultKind);
      SelectEditor(0);
      last = true;
    }
    CloseCurrent();
  }
}

void MainWindowFiles::DropFiles(const std::vector<std::string>& files) {
  if (files.empty()) return;
  if (Legacy() && !AskSaveChanges()) return;
  OpenSourceFile(files.front());
  if (hooks_.update_run_buttons) hooks_.update_run_buttons(true);
}

void MainWindowFiles::BuildRecentItems() {
  QMenu* reopen = form_.MenuItem(main_menu::FileReOpenMENUITM)->menu();
  for (int n = 0; n < workbench::RecentFiles::kEntries; ++n) {
    QAction* item = reopen->addAction(kRecentItems[n]);
    item->setObjectName(kRecentItems[n]);
    connect(item, &QAction::triggered, this, [this, n] {
      RunGuarded(session_.Boxes(), [this, n] { RunCommand([this, n] { OpenRecentFile(n); }); });
    });
  }
  ShowRecentFiles();
}

void MainWindowFiles::ShowRecentFiles() {
  const workbench::RecentFiles& recent = session_.Recent();
  form_.MenuItem(main_menu::FileReOpenMENUITM)->setVisible(!recent.Entry(0).empty());
  for (int n = 0; n < workbench::RecentFiles::kEntries; ++n) {
    QAction* item = form_.MenuItem(kRecentItems[n]);
    const std::string& entry = recent.Entry(n);
    std::string caption = "&";
    caption += std::to_string(n);
    caption += ' ';
    caption += entry;
    item->setText(ToQt(caption));
    item->setVisible(!entry.empty());
  }
}

void MainWindowFiles::ReadRecentFiles() {
  session_.Recent().ReadRecentFiles(session_.Registry());
  ShowRecentFiles();
}

void MainWindowFiles::WriteRecentFiles() {
  if (!session_.Recent().WriteRecentFiles(session_.Registry())) TellNotWritten("recent files");
}

void MainWindowFiles::OpenRecentFile(int n) {
  if (n < 0 || n >= workbench::RecentFiles::kEntries) return;
  const std::string entry = session_.Recent().Entry(n);
  if (entry.empty()) return;
  if (FileExists(entry)) {
    if (Legacy() && !AskSaveChanges()) workbench::Abort();
    OpenSourceFile(entry);
    if (hooks_.update_run_buttons) hooks_.update_run_buttons(true);
    return;
  }
  (void)session_.Messages().MsgBoxById1(Ids::SCU_RECENT_FILE_MISSING,
                                        Ids::SCU_FILE_NOT_FOUND_CAPTION, entry);
  session_.Recent().RemoveRecentFile(entry);
  WriteRecentFiles();
  ReadRecentFiles();
}

void MainWindowFiles::OpenWorkspaceFiles() {
  if (!session_.Globals().IdeOptions.RestoreWorkspace) return;
  std::vector<std::string> files;
  if (!workbench::LoadWorkspace(session_.Registry(), files)) return;
  for (const std::string& file : files)
    if (FileExists(file)) OpenSourceFile(file);
  SelectEditor(0);
}

void MainWindowFiles::SaveWorkspaceFiles() {
  if (!session_.Globals().IdeOptions.RestoreWorkspace) return;
  std::vector<std::string> files;
  for (int i = 0; i < editors_.Count(); ++i) {
    const std::string name = editors_.GetFileName(i);
    if (!name.empty() && name != T_ZKEditorArray::kUntitled) files.push_back(name);
  }
  if (!workbench::SaveWorkspace(session_.Registry(), files)) TellNotWritten("open files");
}

void MainWindowFiles::SetAsTop() {
  editors_.SetTop(files_.Current());
  list_.viewport()->update();
  if (!session_.TopFiles().AddKnownTopFile(editors_.GetFileName(files_.Current())))
    TellNotWritten("known top files");
}

void MainWindowFiles::SetAsNormal() {
  editors_.ClearTop(files_.Current());
  list_.viewport()->update();
}

void MainWindowFiles::RemoveFromKnownTopFiles() {
  SetAsNormal();
  if (!session_.TopFiles().RemoveKnownTopFile(editors_.GetFileName(files_.Current())))
    TellNotWritten("known top files");
}

void MainWindowFiles::FilePopup() {
  QMenu& menu = *popup_;
  const auto item = [&menu](const char* name) {
    for (QAction* action : menu.actions())
      if (action->objectName() == name) return action;
    return static_cast<QAction*>(nullptr);
  };
  item(files_popup::CloseFileMNUITM)->setText(ToQt(Text(Ids::SCU_CLOSE_FILE) + current_name_));
  QAction* normal = item(files_popup::SetAsNormalMNUITM);
  QAction* top = item(files_popup::SetAsTopMNUITM);
  QAction* remove = item(files_popup::RemoveFromKnownTopFileListMNUITM);
  const bool assembly = editors_.GetFileType(files_.Current()) == kAssemblyKind;
  if (!files_.IsNamed(files_.Current()) || !session_.Globals().IdeOptions.UseTarn) {
    normal->setVisible(false);
    top->setVisible(false);
    remove->setVisible(false);
  } else if (editors_.TopIndex() == files_.Current()) {
    normal->setVisible(true);
    top->setVisible(false);
    remove->setVisible(assembly);
  } else {
    normal->setVisible(false);
    top->setVisible(assembly);
    top->setText(ToQt(Text(Ids::SCU_SET_AS_TOP)));
    remove->setVisible(false);
  }
}

void MainWindowFiles::RunEdit(const std::function<void(scrivlet::TScrivlet&)>& command) {
  if (TScrivlet* editor = CurrentScrivlet()) {
    command(editor->Memo());
    EditorChange(*editor);
  }
}

void MainWindowFiles::EnterLegacyEditor() {
  LegacyEditorPane& pane = form_.OldEditor();
  TScrivlet* editor = editors_.GetEditor(files_.Current());
  const std::string row = files_.Name(files_.Current());
  const bool named = files_.IsNamed(files_.Current());
  const bool modified = editor && editor->Memo().Modified();
  bool taken = editor != nullptr;
  if (taken && named &&
      platform::SameText(std::filesystem::path(row).extension().string(), Text(Ids::SCU_EXT_QVB))) {
    (void)session_.Messages().MsgBoxById(Ids::SCU_QVB_IN_OLD_EDITOR, Ids::SCU_QVB_LOAD_CAPTION);
    taken = false;
  }
  if (taken) {
    std::ostringstream bytes;
    editor->Memo().SaveToStream(bytes);
    const TEA& entry = editors_.Item(files_.Current());
    taken = pane.TakeText(bytes.str(), named ? row : "",
                          entry.HasFileTime ? entry.FileTime : std::filesystem::file_time_type{},
                          modified);
  } else {
    pane.Clear();
  }
  read_only_loaded_ = taken && !editors_.GetWritable(files_.Current());
  if (taken && modified) {
    // The edits live on in the legacy editor alone; the editor behind it goes back to the file,
    // so that no second copy of them can be saved or come back later.
    if (named) {
      (void)LoadIntoEditor(row, files_.Current(), false);
    } else {
      editor->Memo().ClearText();
      editor->Memo().SetModified(false);
      editor->Memo().ClearUndo();
    }
  }
  form_.UseLegacyEditor();
  SetCurrentFileName(taken && named ? row : Text(Ids::SCU_UNTITLED));
}

void MainWindowFiles::LeaveLegacyEditor() {
  LegacyEditorPane& pane = form_.OldEditor();
  bool carry = false;
  if (CurrentFileModified()) {
    const int answer =
        session_.Boxes().Show({platform::FormatText(Text(Ids::SCU_SAVE_CHANGES), {current_name_}),
                               "Confirm", platform::BoxButtons::YesNoCancel});
    if (answer == platform::kAnswerYes) (void)SaveEditorFile(current_name_);
    // Cancel, or a save that did not happen: the edits come along unsaved.
    carry = answer != platform::kAnswerNo && CurrentFileModified();
  }
  const std::string file = pane.FileName();
  const std::string text = carry ? pane.Editor().SaveText() : std::string();
  form_.UseEnhancedEditor();
  int index = file.empty() ? -1 : editors_.IndexOfFile(file);
  if (!file.empty() && index < 0) {
    // A file the legacy editor held read-only stays read-only.
    if (OpenInEnhancedEditor(file, read_only_loaded_)) index = files_.Current();
  } else if (index >= 0 && !carry) {
    // The file as the legacy editor left it on disk.
    (void)LoadIntoEditor(file, index, false);
  }
  if (carry && index < 0) {
    FileNew(kAssemblyKind);
    index = files_.Current();
  }
  if (carry) {
    scrivlet::TScrivlet& memo = editors_.GetEditor(index)->Memo();
    memo.SetTextBuf(text);
    memo.SetModified(true);
  }
  if (index >= 0) files_.Restore(index);
}

void MainWindowFiles::ApplyEditorMode() {
  workbench::GlobalValues& globals = session_.Globals();
  const bool enhanced = !form_.UsesLegacyEditor();
  // The file in front goes over to the editor now asked for, before the menus change.
  if (enhanced && Legacy()) LeaveLegacyEditor();
  if (QToolBar* tools = form_.findChild<QToolBar*>(editor_frm::ToolBar))
    tools->setVisible(enhanced);
  // The commands of one editor mode show, and hold their keys, only in it.
  for (const workbench::MainCommand& command : workbench::MainCommands()) {
    if (command.modes == workbench::kBothModes) continue;
    form_.MenuItem(command.item)
        ->setVisible(!command.hidden && workbench::LiveIn(command, form_.CurrentEditorMode()));
    form_.SetCommandKeys(command.item);
  }
  form_.MenuItem(main_menu::EditClearErrorsMENUITM)
      ->setVisible(enhanced || globals.IdeOptions.UseTarn);
  if (!enhanced) {
    if (Legacy())
      form_.UseLegacyEditor();
    else
      EnterLegacyEditor();
    // The caret's panel tells the legacy editor's caret while it is in front.
    form_.OldEditor().Widget().OnCaretMoved = [this] { ShowLegacyCaret(); };
    ShowLegacyCaret();
    return;
  }
  form_.FileList().setVisible(!(globals.DebugFlags & workbench::kDebugHideFileList));
  for (int i = 0; i < editors_.Count(); ++i) {
    TScrivlet* editor = editors_.GetEditor(i);
    const QFont font(ToQt(globals.EditorFontName), globals.EditorOptions.Fontsize);
    editor->SetFonts(font, font);
    editor->Memo().SetTabStops(globals.EditorOptions.Tabsize);
    if (hooks_.apply_highlight) hooks_.apply_highlight(*editor);
  }
  BindCommands();
  SelectEditor(std::min(files_.Current(), files_.Count() - 1));
  if (TScrivlet* editor = CurrentScrivlet()) EditorSelMove(*editor);
}

void MainWindowFiles::ShowLegacyCaret() {
  if (!Legacy()) return;
  const workbench::LegacyEditor& editor = form_.OldEditor().Editor();
  caret_panel_->setText(QString::number(editor.CursorLine() + 1) + ":" +
                        QString::number(editor.CursorColumn() + 1));
}

void MainWindowFiles::BindCommands() {
  TEditorFRM& f = form_;
  for (const char* item :
       {main_menu::FileOpenMENUITM, main_menu::FileSaveMENUITM, main_menu::EditUndoMenuMENUITM,
        main_menu::EditRedoMenuMENUITM, main_menu::EditCutMENUITM, main_menu::EditCopyMENUITM,
        main_menu::EditPasteMENUITM})
    f.SetCommandKeys(item);

  f.SetMenuHandler(main_menu::FileNewAssemblyMENUITM, [this] { FileNew(kAssemblyKind); });
  f.SetMenuHandler(main_menu::FileNewQvBasicMENUITM, [this] { FileNew(kBasicKind); });
  f.SetMenuHandler(editor_frm::FileNewTBTN, [this] {
    FileNew(AskLanguage(Ids::SCU_NEW_EDITOR_LANGUAGE, Ids::SCU_NEW_EDITOR_LANGUAGE_CAPTION));
  });
  f.SetMenuHandler(main_menu::FileOpenMENUITM, [this] {
    if (Legacy() && !AskSaveChanges()) workbench::Abort();
    QFileDialog dialog(&form_);
    dialog.setObjectName(editor_frm::OpenDialog);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(DialogFilter("Source Files (*.SRC;*.QVB)|*.SRC;*.QVB|" +
                                      Text(Ids::SCU_FILTER_SRC) + "|" + Text(Ids::SCU_FILTER_QVB)));
    const std::string& folder = session_.Globals().CurrentFile.Folder;
    if (!folder.empty()) dialog.setDirectory(NameToQt(folder));
    if (session_.Dialogs().Run(dialog) != QDialog::Accepted) return;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) return;
    const std::optional<std::string> name = NameFromQt(files.first());
    if (!name) {
      session_.Boxes().Show(UnusableNameNotice(files.first()));
      return;
    }
    OpenSourceFile(*name);
    if (hooks_.update_run_buttons) hooks_.update_run_buttons(true);
    form_.FocusEditor();
  });
  f.SetMenuHandler(main_menu::FileCloseMENUITM, [this] { FileClose(); });
  f.SetMenuHandler(main_menu::FileCloseAllMENUITM, [this] { FileCloseAll(); });
  f.SetMenuHandler(main_menu::FileSaveMENUITM, [this] { (void)FileSave(); });
  f.SetMenuHandler(main_menu::FileSaveAsMENUITM, [this] { (void)FileSaveAs(); });
  f.SetMenuHandler(main_menu::EditUndoMenuMENUITM,
                   [this] { RunEdit([](scrivlet::TScrivlet& e) { e.Undo(); }); });
  f.SetMenuHandler(main_menu::EditRedoMenuMENUITM,
                   [this] { RunEdit([](scrivlet::TScrivlet& e) { e.Redo(); }); });
  struct LegacyEdit {
    const char* item;
    void (scrivlet::TScrivlet::*enhanced)();
    void (LegacyEditorPane::*legacy)();
  };
  static constexpr LegacyEdit kEdits[] = {
      {main_menu::EditCutMENUITM, &scrivlet::TScrivlet::CutToClipboard, &LegacyEditorPane::EditCut},
      {main_menu::EditCopyMENUITM, &scrivlet::TScrivlet::CopyToClipboard,
       &LegacyEditorPane::EditCopy},
      {main_menu::EditPasteMENUITM, &scrivlet::TScrivlet::PasteFromClipboard,
       &LegacyEditorPane::EditPaste}};
  for (const LegacyEdit& edit : kEdits) {
    f.SetMenuHandler(edit.item, [this, edit] {
      if (Legacy()) {
        (form_.OldEditor().*edit.legacy)();
        return;
      }
      RunEdit([&edit](scrivlet::TScrivlet& e) { (e.*edit.enhanced)(); });
    });
  }

  if (!popup_) {
    popup_ = form_.findChild<QMenu*>(files_popup::FilesLoadedPOPMNU);
    connect(popup_, &QMenu::aboutToShow, this, [this] { FilePopup(); });
    const std::pair<const char*, std::function<void()>> popup_items[] = {
        {files_popup::CloseFileMNUITM, [this] { FileClose(); }},
        {files_popup::SetAsNormalMNUITM, [this] { SetAsNormal(); }},
        {files_popup::SetAsTopMNUITM, [this] { SetAsTop(); }},
        {files_popup::RemoveFromKnownTopFileListMNUITM, [this] { RemoveFromKnownTopFiles(); }}};
    for (const auto& [name, run] : popup_items)
      for (QAction* action : popup_->actions())
        if (action->objectName() == name)
          // An init-capture: clang 14 cannot capture a structured binding itself.
          connect(action, &QAction::triggered, this, [this, run = run] {
            RunGuarded(session_.Boxes(), [this, &run] { RunCommand(run); });
          });
  }
}

}  // namespace gui
