#include "workbench/gui/editor_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <filesystem>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "build_debug/tools/c_output_loader.h"
#include "editor_control/gui/scrivlet_widget.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "resources/code_widget_names.h"
#include "resources/string_ids.h"
#include "services/gui/form_placement.h"
#include "services/gui/guarded.h"
#include "services/gui/localize_form.h"
#include "services/gui/text.h"
#include "services/silent_abort.h"
#include "workbench/gui/editor_form_errors.h"
#include "workbench/gui/main_files.h"
#include "workbench/gui/old_editor_pane.h"
#include "workbench/gui/print_commands.h"
#include "workbench/gui/run_commands.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;
namespace files_popup = widget_names::FilesLoadedPOPMNU;

namespace gui {
namespace {

constexpr char kPlacementKey[] = "EditorWindow";
constexpr char kFileListWidth[] = "FileListWidth";

// The main menu by item name; an empty name is a separator.
struct MenuColumn {
  const char* name;
  std::vector<const char*> items;
};

const std::vector<MenuColumn>& MainMenuColumns() {
  static const std::vector<MenuColumn> columns = {
      {main_menu::FileMENUITM,
       {main_menu::FileNewAssemblyMENUITM, main_menu::FileNewQvBasicMENUITM,
        main_menu::FileOpenMENUITM, main_menu::FileCloseMENUITM, main_menu::FileCloseAllMENUITM, "",
        main_menu::FileSaveMENUITM, main_menu::FileSaveAsMENUITM, main_menu::FileReOpenMENUITM, "",
        main_menu::FileListToggleMENUITM, main_menu::FilePrintMENUITM, "",
        main_menu::FileExitMENUITM}},
      {main_menu::EditMENUITM,
       {main_menu::EditUndoMenuMENUITM, main_menu::EditRedoMenuMENUITM, "",
        main_menu::EditCutMENUITM, main_menu::EditCopyMENUITM, main_menu::EditPasteMENUITM, "",
        main_menu::EditFindMENUITM, main_menu::EditFindNextMenuMENUITM,
        main_menu::EditFindReplaceMENUITM, main_menu::EditReplaceMENUITM, "",
        main_menu::EditTextBiggerMENUITM, main_menu::EditTextSmallerMENUITM,
        main_menu::EditGoToLineMENUITM, main_menu::EditClearErrorsMENUITM}},
      {main_menu::RunMENUITM,
       {main_menu::RunAssembleMENUITM, main_menu::RunProgramMENUITM, main_menu::RunRunMENUITM,
        main_menu::RunDebugMENUITM, main_menu::RunDebugAgainMENUITM,
        main_menu::RunViewDebugCodeMENUITM, "", main_menu::RunStartQVSimMENUITM,
        main_menu::RunClockMENUITM, main_menu::RunDeviceMENUITM, main_menu::RunConfigureMENUITM, "",
        main_menu::QvFactoryTestMENUITM}},
      {main_menu::WindowsMENUITM, {}},
      {main_menu::HelpMENUITM,
       {main_menu::HelpContentsMENUITM, main_menu::HelpQvbHelpMENUITM, main_menu::HelpDebugMENUITM,
        "", main_menu::HelpAboutMENUITM}},
  };
  return columns;
}

}  // namespace

TEditorFRM::TEditorFRM(workbench::IdeSession& session, std::vector<std::string> parameters,
                       QSize screen_size)
    : session_(session),
      parameters_(std::move(parameters)),
      screen_size_(screen_size),
      debug_boxes_(session.Globals(), session.Boxes()),
      windows_menu_(session.Texts()) {
  setObjectName(editor_frm::EditorFRM);
  BuildWindow();
  StartUp();
  run_commands_ = std::make_unique<RunCommands>(*this, session_);
}

TEditorFRM::~TEditorFRM() { FormDestroy(); }

void TEditorFRM::BuildWindow() {
  setWindowTitle("QVKey");
  BuildMenus();

  auto* tools = addToolBar("Tools");
  tools->setObjectName(editor_frm::ToolBar);
  tools->setMovable(false);
  struct FileTool {
    const char* button;
    const char* text;
  };
  static constexpr FileTool kFileTools[] = {
      {editor_frm::FileNewTBTN, "New"},
      {editor_frm::FileOpenTBTN, "Open"},
      {editor_frm::FileSaveTBTN, "Save"},
  };
  for (const FileTool& tool : kFileTools) {
    QAction* action = tools->addAction(tool.text);
    action->setObjectName(tool.button);
    // New asks for the language first: it has a handler of its own, under the button's name.
    const std::string item = std::string_view(tool.button) == editor_frm::FileNewTBTN
                                 ? std::string(tool.button)
                                 : workbench::CommandOfButton(tool.button).item;
    connect(action, &QAction::triggered, this, [this, item] {
      RunGuarded(session_.Boxes(), [this, item] {
        try {
          ClickMenuItem(item);
        } catch (const workbench::SilentAbort&) {
        }
      });
    });
  }
  // The Run commands bind these two.
  tools->addAction("Assemble")->setObjectName(editor_frm::AssemblyTBTN);
  tools->addAction("QVSim")->setObjectName(editor_frm::QvSimTBTN);

  main_splitter_ = new QSplitter(Qt::Horizontal, this);
  main_splitter_->setObjectName(editor_frm::FileListSPLT);
  file_list_ = new QListWidget(main_splitter_);
  file_list_->setObjectName(editor_frm::FilesLoadedLB);
  file_list_->setContextMenuPolicy(Qt::CustomContextMenu);
  file_list_menu_ = new QMenu(this);
  file_list_menu_->setObjectName(files_popup::FilesLoadedPOPMNU);
  for (const char* name :
       {files_popup::CloseFileMNUITM, files_popup::SetAsNormalMNUITM, files_popup::SetAsTopMNUITM,
        files_popup::RemoveFromKnownTopFileListMNUITM})
    file_list_menu_->addAction(name)->setObjectName(name);
  connect(file_list_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { file_list_menu_->popup(file_list_->mapToGlobal(at)); });

  error_splitter_ = new QSplitter(Qt::Vertical, main_splitter_);
  error_splitter_->setObjectName(editor_frm::ErrorSPLT);
  editor_area_ = new QStackedWidget(error_splitter_);
  editor_area_->setObjectName(editor_frm::EditorPNL);
  error_list_ = new QListWidget(error_splitter_);
  error_list_->setObjectName(editor_frm::ErrorLB);
  error_list_->hide();
  main_splitter_->setStretchFactor(0, 0);
  main_splitter_->setStretchFactor(1, 1);
  main_splitter_->setSizes({150, 650});
  setCentralWidget(main_splitter_);

  status_panel_ = new QLabel(this);
  status_panel_->setObjectName(editor_frm::StatusPanel0);
  status_panel_->setFixedWidth(300);
  statusBar()->addWidget(status_panel_);
  // The build's status has a panel of its own beside the hint: a message of the status bar
  // would hide the hint, and a long one would run under the caret's panel.
  build_status_panel_ = new QLabel(this);
  build_status_panel_->setObjectName(editor_frm::StatusPanel2);
  build_status_panel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusBar()->addWidget(build_status_panel_, 1);
  resize(800, 600);
  files_ = std::make_unique<MainWindowFiles>(*this, session_, *editor_area_, *file_list_);
  BuildEditorServices();
}

void TEditorFRM::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(main_menu::MainMenu);
  for (const MenuColumn& column : MainMenuColumns()) {
    QMenu* menu = bar->addMenu(column.name);
    menu->setObjectName(column.name);
    menu->installEventFilter(this);
    for (const char* item : column.items) {
      if (*item == 0) {
        menu->addSeparator();
        continue;
      }
      if (std::string_view(item) == main_menu::FileReOpenMENUITM) {
        menu->addMenu(item)->setObjectName(item);
        continue;
      }
      QAction* action = menu->addAction(item);
      action->setObjectName(item);
      const std::string name = item;
      connect(action, &QAction::triggered, this, [this, name] {
        RunGuarded(session_.Boxes(), [this, name] {
          try {
            ClickMenuItem(name);
          } catch (const workbench::SilentAbort&) {
          }
        });
      });
    }
  }
  SetMenuHandler(main_menu::FileExitMENUITM, [this] { close(); });
}

QAction* TEditorFRM::MenuItem(const std::string& item_name) const {
  for (QAction* action : menuBar()->findChildren<QAction*>())
    if (action->objectName() == ToQt(item_name)) return action;
  for (QMenu* menu : menuBar()->findChildren<QMenu*>())
    if (menu->objectName() == ToQt(item_name)) return menu->menuAction();
  throw std::logic_error("the main window's menus have no item \"" + item_name + "\"");
}

workbench::EditorMode TEditorFRM::CurrentEditorMode() const {
  return UsesLegacyEditor() ? workbench::EditorMode::kLegacy : workbench::EditorMode::kEnhanced;
}

void TEditorFRM::SetCommandKeys(const char* item) {
  MenuItem(item)->setShortcut(QKeySequence(ToQt(workbench::KeysIn(item, CurrentEditorMode()))));
}

void TEditorFRM::SetMenuHandler(const std::string& item_name, std::function<void()> handler) {
  menu_handlers_[item_name] = std::move(handler);
}

void TEditorFRM::ClickMenuItem(const std::string& item_name) {
  auto handler = menu_handlers_.find(item_name);
  if (handler != menu_handlers_.end() && handler->second) handler->second();
}

void TEditorFRM::SetWindowsMenuHandler(std::function<void(int tag)> handler) {
  windows_menu_handler_ = std::move(handler);
}

void TEditorFRM::ShowWindowsMenu() {
  QMenu* menu = MenuItem(main_menu::WindowsMENUITM)->menu();
  menu->clear();
  for (const workbench::WindowsMenuItem& item : windows_menu_.Items()) {
    QString caption = ShownText(item.Caption);
    // A file item is chosen by its number; an "&" of the file's name is no key.
    if (item.Tag < workbench::kEditorWindowItem) caption = '&' + caption.replace('&', "&&");
    QAction* action = menu->addAction(caption);
    action->setObjectName(ToQt(item.Name));
    const QKeySequence keys(ToQt(item.ShortCut));
    // Ctrl+L and Ctrl+I belong to View List (or List Toggle) and Device as well: a key that
    // two actions hold fires neither, so the window item only shows it.
    if (!keys.isEmpty() && workbench::KeysSharedIn(item.Name, CurrentEditorMode())) {
      action->setText(action->text() + '\t' + keys.toString(QKeySequence::NativeText));
    } else {
      action->setShortcut(keys);
    }
    action->setCheckable(item.Checked);
    action->setChecked(item.Checked);
    const int tag = item.Tag;
    connect(action, &QAction::triggered, this, [this, tag] { WindowsMenuClick(tag); });
  }
}

void TEditorFRM::WindowsMenuClick(int tag) {
  if (tag <= workbench::kEditorWindowItem) {
    raise();
    activateWindow();
    if (tag < workbench::kEditorWindowItem)
      RunGuarded(session_.Boxes(), [this, tag] { SelectEditor(tag); });
    return;
  }
  if (windows_menu_handler_)
    RunGuarded(session_.Boxes(), [this, tag] { windows_menu_handler_(tag); });
}

void TEditorFRM::Report(const char* text, const char* caption) const {
  debug_boxes_.Report(text, caption);
}

void TEditorFRM::StartUp() {
  workbench::GlobalValues& globals = session_.Globals();
  requests_ = {};
  MenuItem(main_menu::QvFactoryTestMENUITM)->setVisible(false);
  MenuItem(main_menu::HelpDebugMENUITM)->setVisible(false);
  globals.EditorFontName = "Courier New";
  globals.EditorFontSize = 9;
  globals.EditorFontStyle = 0;
  QApplication::setApplicationName(ToQt("QV-Key v" + workbench::IdeVersion()));

  const workbench::DebugSwitch debug = workbench::ReadDebugSwitch(parameters_);
  if (debug.on) {
    globals.DebugMode = true;
    if (debug.hide_file_list) globals.DebugFlags |= workbench::kDebugHideFileList;
    Report(workbench::DebugModeText().c_str(), workbench::kDebugModeCaption);
  }

  build_debug::ObjectImage* image = session_.GetObjectImage();
  image->ClockHz = build_debug::kDefaultClockHz;
  legacy_editor_ = std::make_unique<LegacyEditorPane>(session_, editor_area_);
  print_commands_ = std::make_unique<PrintCommands>(*this, session_);
  editor_area_->addWidget(&legacy_editor_->Widget());
  legacy_editor_->Widget().OnUnheldCharacter = [this](scrivlet::gui::UnheldCharacter unheld) {
    StatusLine(FromQt(scrivlet::gui::UnheldCharacterMessage(unheld)));
  };

  Report("About to initialize COM port", workbench::kStartUpCaption);
  session_.KeyLink().ComInit();
  // The key worker reports through the session's relay, which the windows bind to.
  session_.KeyUnit().QVU_Init();

  activate_done_ = false;
  globals.WrenfieldMode = false;
  image->Device4K = false;

  Report("About to initialize registry", workbench::kStartUpCaption);
  RunGuarded(session_.Boxes(), [this] {
    RestoreFormPlacement(session_.Registry(), kPlacementKey, *this);
    std::int32_t width = 0;
    if (session_.Registry().ReadRegInt(kFileListWidth, width) && width >= 0)
      main_splitter_->setSizes({width, std::max(1, this->width() - width)});
  });

  workbench::Localizer& texts = session_.Texts();
  RegisterMenuLanguageCallback(*menuBar(), texts, [this, &texts](int language) {
    LocalizeMenu(*file_list_menu_, texts, language);
    LocalizeMenu(*menuBar(), texts, language);
    LocalizeForm(*this, texts);
  });

  windows_menu_.InitWindowsMenu([this] { ShowWindowsMenu(); });
  windows_menu_.WindowsMenuAdd("", workbench::kEditorWindowItem);

  Report("About to initialize TARN", workbench::kStartUpCaption);
  // The tools report their own trouble; start-up goes on without them.
  std::ignore = session_.Tarn().TARN_Init(globals.ExeFolder, globals.DataFolder);
  ClearTarnOutput();
  Report("About to initialize QV/B", workbench::kStartUpCaption);
  std::ignore = session_.QvBasic().QvBasicInit(globals.DataFolder);
  session_.QvBasic().QvBasicClearOutputDir();
  std::ignore = session_.QvSim().QvSimInit(globals.DataFolder);
  Report("About to initialize Assemble/Compile Unit", workbench::kStartUpCaption);
  session_.AssembleCompile().AssembleCompileInit();
  // Without templates a new file starts empty.
  std::ignore = session_.Templates().InitTemplates(globals.DataFolder);

  files_->ReadRecentFiles();
  Report("About to create editors", workbench::kStartUpCaption);
  if (UsesLegacyEditor()) UseLegacyEditor();

  error_splitter_->setHandleWidth(3);
  error_list_->hide();
  main_splitter_->setHandleWidth(3);
  if (globals.DebugFlags & workbench::kDebugHideFileList) file_list_->hide();

  Report("About to set syntax highlighting", workbench::kStartUpCaption);
  LoadKeywordLists();
  MenuItem(main_menu::EditReplaceMENUITM)->setVisible(false);

  Report("About to check command line", workbench::kStartUpCaption);
  DoCommandLineActions();
}

void TEditorFRM::DoCommandLineActions() {
  const workbench::CommandLineActions actions(
      session_.Globals(), session_.Texts(), session_.Messages(), session_.Boxes(),
      [this](const std::string& port) { session_.KeyLink().SetComPort(port); });
  actions.Run(parameters_, command_line_, requests_);
}

bool TEditorFRM::PrepareRun() {
  workbench::GlobalValues& globals = session_.Globals();
  if (!requests_.ComPort.empty()) session_.KeyLink().SetComPort(requests_.ComPort);
  if (!globals.CommandLineFile.empty())
    globals.CommandLineFile = std::filesystem::absolute(globals.CommandLineFile).string();

  bool show = true;
  if (!globals.CommandLineFile.empty()) {
    if (!requests_.HideWindow) {
      DoFormShow();
      DoFormActivate();
    } else if (globals.WrenfieldMode) {
      DoFormActivate();
      show = false;
    } else {
      OpenCommandLineFile();
      show = false;
    }
  }

  const std::pair<bool, const char*> clicks[] = {
      {requests_.DebugRequested, main_menu::RunDebugMENUITM},
      {requests_.DebugAgainRequested, main_menu::RunDebugAgainMENUITM},
      {requests_.ProgramRequested, main_menu::RunProgramMENUITM},
  };
  try {
    for (const auto& [asked, item] : clicks)
      if (asked) ClickMenuItem(item);
  } catch (const workbench::SilentAbort&) {
    Run().CommandLineAborted();
    close();
    return false;
  }
  // A hidden window closes when its action ends; an action that could not start never ends.
  if (!show && requests_.HideWindow && !Run().CommandLineActionGoesOn()) {
    close();
    return false;
  }
  return show;
}

bool TEditorFRM::UsesLegacyEditor() const { return !session_.Globals().EditorOptions.UseNewEditor; }

void TEditorFRM::UseLegacyEditor() {
  legacy_shown_ = true;
  editor_area_->setCurrentWidget(&legacy_editor_->Widget());
  file_list_->hide();
  error_list_->hide();
  if (QToolBar* tools = findChild<QToolBar*>(editor_frm::ToolBar)) tools->hide();
  for (const workbench::MainCommand& command : workbench::MainCommands())
    if (!workbench::LiveIn(command, workbench::EditorMode::kLegacy))
      MenuItem(command.item)->setVisible(false);
  legacy_editor_->Widget().setFocus();
  BindLegacyEditorCommands(*this, *legacy_editor_);
}

void TEditorFRM::FormPaint() {
  if (legacy_editor_) legacy_editor_->Paint();
}

void TEditorFRM::FormResize() {
  if (!legacy_editor_) return;
  if (destroyed_)
    legacy_editor_->FreeRows();
  else
    legacy_editor_->LayOut();
}

void TEditorFRM::FormDeactivate() {
  if (legacy_editor_) legacy_editor_->Deactivate();
}

bool TEditorFRM::CopyEditorToOldBuffer(int index, std::string& refusal) {
  scrivlet::gui::TScrivlet* editor = Editors().GetEditor(index);
  if (!editor) return legacy_editor_->CopyEditorToOldBuffer(std::nullopt);
  if (legacy_editor_->CopyEditorToOldBuffer(editor->Memo().Text())) return true;
  refusal = legacy_editor_->Refusal();
  return false;
}

T_ZKEditorArray& TEditorFRM::Editors() { return files_->Editors(); }
int TEditorFRM::CurrentEditorIndex() const { return files_->CurrentIndex(); }
scrivlet::gui::TScrivlet* TEditorFRM::CurrentScrivlet() const { return files_->CurrentScrivlet(); }
void TEditorFRM::SelectEditor(int index) { files_->SelectEditor(index); }
void TEditorFRM::ApplyEditorMode() {
  files_->ApplyEditorMode();
  find_->BindCommands();
  if (!UsesLegacyEditor()) LoadErrorList();
}
void TEditorFRM::ReselectEditor() { files_->ReselectEditor(); }

bool TEditorFRM::AssembleOldBuffer(std::string& error_text) {
  return legacy_editor_->AssembleOldBuffer(error_text);
}

void TEditorFRM::StatusLine(const std::string& text) {
  build_status_panel_->setText(ToQt(text));
  build_status_panel_->setToolTip(build_status_panel_->text());
  if (!text.empty()) files_->StatusShown();
}

void TEditorFRM::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  FormResize();
}

void TEditorFRM::OpenCommandLineFile() {
  OpenSourceFile(session_.Globals().CommandLineFile, requests_.ReadOnly);
}

void TEditorFRM::OpenSourceFile(const std::string& name, bool read_only) {
  files_->OpenSourceFile(name, read_only);
}

void TEditorFRM::FormDropFiles(const std::vector<std::string>& files) { files_->DropFiles(files); }

bool TEditorFRM::TakeFileDrag(QDropEvent& event) {
  // Dropped files come as file URLs; the whole path is kept, however long.
  std::vector<std::string> files;
  if (event.mimeData()->hasUrls())
    for (const QUrl& url : event.mimeData()->urls())
      if (url.isLocalFile()) {
        if (std::optional<std::string> name = NameFromQt(url.toLocalFile()))
          files.push_back(std::move(*name));
        else if (event.type() == QEvent::Drop)
          session_.Boxes().Show(UnusableNameNotice(url.toLocalFile()));
      }
  // Taken as a copy, never a move: the program a file came from may delete it after a move.
  if (files.empty() || !(event.possibleActions() & Qt::CopyAction)) return false;
  event.setDropAction(Qt::CopyAction);
  event.accept();
  if (event.type() == QEvent::Drop)
    RunGuarded(session_.Boxes(), [this, &files] { FormDropFiles(files); });
  return true;
}

void TEditorFRM::dragEnterEvent(QDragEnterEvent* event) { TakeFileDrag(*event); }

void TEditorFRM::dragMoveEvent(QDragMoveEvent* event) { TakeFileDrag(*event); }

void TEditorFRM::dropEvent(QDropEvent* event) { TakeFileDrag(*event); }

void TEditorFRM::DoFormShow() {
  workbench::GlobalValues& globals = session_.Globals();
  LocalizeForm(*this, session_.Texts());
  Report("Entering \"FormShow\"", workbench::kFormShowCaption);

  workbench::RegistrySettings& registry = session_.Registry();
  if (first_placement_) {
    if (!registry.RegKeyExists(kPlacementKey)) {
      // The tool bar whole: its last buttons are not hidden behind its extension arrow.
      const QToolBar* tools = findChild<QToolBar*>(editor_frm::ToolBar);
      const int least_width = tools && tools->isVisibleTo(this) ? tools->sizeHint().width() : 0;
      const workbench::ScreenBounds bounds =
          workbench::FirstRunBounds(screen_size_.width(), screen_size_.height(), least_width);
      (void)registry.WriteFormBounds(kPlacementKey, {.top = bounds.top,
                                                     .left = bounds.left,
                                                     .height = bounds.height,
                                                     .width = bounds.width,
                                                     .visible = isVisible()});
    }
    first_placement_ = false;
  }
  workbench::FormBounds stored;
  // A place kept on a larger screen (or at a smaller scale factor) opens whole on this one.
  if (registry.ReadFormBounds(kPlacementKey, stored))
    WidgetPlacement(*this).SetBounds(stored.left, stored.top, stored.width, stored.height);
  setAcceptDrops(true);

  // The command line's file is opened once: a second show would only add a blank editor.
  if (!file_step_done_) {
    file_step_done_ = true;
    const std::string& file = globals.CommandLineFile;
    if (!file.empty() && !globals.WrenfieldMode && std::filesystem::exists(file)) {
      if (platform::SameText(std::filesystem::path(file).extension().string(), ".qvh")) {
        pending_image_file_ = file;
        pending_image_read_only_ = requests_.ReadOnly;
      } else {
        files_->FileNew(MainWindowFiles::kDefaultKind);
        OpenCommandLineFile();
        files_->SelectEditor(0);
      }
    } else {
      files_->FileNew(MainWindowFiles::kAssemblyKind);
      if (!globals.WrenfieldMode) files_->OpenWorkspaceFiles();
    }
  }
  FocusEditor();
  Report("Exiting \"FormShow\"", workbench::kFormShowCaption);
}

void TEditorFRM::FocusEditor() {
  if (UsesLegacyEditor()) {
    legacy_editor_->Widget().setFocus();
  } else if (scrivlet::gui::TScrivlet* editor = CurrentScrivlet()) {
    editor->setFocus();
  }
}

void TEditorFRM::DoFormActivate() {
  workbench::GlobalValues& globals = session_.Globals();
  Report("Entered \"FormActivate\"", workbench::kFormActivateCaption);
  if (!globals.WrenfieldMode) FormPaint();
  if (!activate_done_) {
    activate_done_ = true;
    const std::filesystem::path base =
        std::filesystem::path(globals.CommandLineFile).replace_extension();
    if (globals.WrenfieldMode && build_debug::CompanionFile(base.string(), ".cod") &&
        build_debug::CompanionFile(base.string(), ".lst")) {
      // A refused file has been reported; the window stays as it was.
      if (!session_.QVC().QVCLoad(base.string())) return;
      std::string caption = globals.CommandLineFile + " - Wrenfield QVC Mode - " +
                            FromQt(QApplication::applicationName());
      if (requests_.ReadOnly)
        caption += session_.Texts().LU_GetString(string_ids::EditorUnit::SCU_READ_ONLY_SUFFIX);
      mode_caption_ = caption;
      setWindowTitle(ToQt(caption));
      for (const char* item :
           {main_menu::FileNewAssemblyMENUITM, main_menu::FileNewQvBasicMENUITM,
            main_menu::FileOpenMENUITM, main_menu::FileSaveMENUITM, main_menu::FileSaveAsMENUITM,
            main_menu::FileListToggleMENUITM, main_menu::FilePrintMENUITM, main_menu::EditMENUITM,
            main_menu::RunAssembleMENUITM})
        MenuItem(item)->setEnabled(false);
    }
  }
  Report("Exiting \"FormActivate\"", workbench::kFormActivateCaption);
}

void TEditorFRM::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous()) return;
  RunGuarded(session_.Boxes(), [this] { DoFormShow(); });
  // The window paints once it has been shown; the device window's file waits for that.
  if (first_paint_)
    QTimer::singleShot(
        0, this, [this] { RunGuarded(session_.Boxes(), [this] { LoadPendingImageFile(); }); });
}

void TEditorFRM::LoadPendingImageFile() {
  if (!first_paint_) return;
  first_paint_ = false;
  if (pending_image_file_.empty()) return;
  const std::string file = std::exchange(pending_image_file_, {});
  const bool read_only = std::exchange(pending_image_read_only_, false);
  if (image_file_loader_) image_file_loader_(file, read_only);
}

bool TEditorFRM::eventFilter(QObject* watched, QEvent* event) {
  // Esc in a menu of the menu bar leaves the bar in its keyboard mode, which takes every key
  // until a second Esc, with nothing to show it: one Esc gives the keys back to the editor.
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    if (auto* menu = qobject_cast<QMenu*>(watched); menu && menu->parent() == menuBar())
      QMetaObject::invokeMethod(
          this,
          [this] {
            if (menuBar()->hasFocus()) {
              QKeyEvent leave(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
              QApplication::sendEvent(menuBar(), &leave);
            }
            // A menu opened from no control of the window leaves the keys nowhere.
            if (focusWidget() == nullptr || focusWidget() == menuBar()) FocusEditor();
          },
          Qt::QueuedConnection);
  }
  return QMainWindow::eventFilter(watched, event);
}

bool TEditorFRM::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    ShowHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  if (event->type() == QEvent::WindowActivate)
    RunGuarded(session_.Boxes(), [this] { DoFormActivate(); });
  if (event->type() == QEvent::WindowDeactivate) FormDeactivate();
  return QMainWindow::event(event);
}

void TEditorFRM::ShowHint(const QString& hint) {
  status_panel_->setText(hint);
  const int text_width = status_panel_->fontMetrics().horizontalAdvance(hint);
  status_panel_->setFixedWidth(text_width > 290 ? text_width + 20 : 300);
}

void TEditorFRM::SaveMainPlacement() {
  // A run that never showed the window ("/h") has nothing of its own to keep.
  if (!WidgetPlacement(*this).WasShown()) return;
  RunGuarded(session_.Boxes(), [this] {
    auto burst = session_.Registry().Burst();
    SaveFormPlacement(session_.Registry(), kPlacementKey, *this);
    (void)session_.Registry().WriteRegInt(kFileListWidth, file_list_->width());
    (void)burst.End();
  });
}

bool TEditorFRM::FormCloseQuery() { return files_->CloseQuery(); }

bool TEditorFRM::AskSaveChanges() { return files_->AskSaveChanges(); }

void TEditorFRM::FormClose() {
  SaveMainPlacement();
  files_->SaveWorkspaceFiles();
}

void TEditorFRM::closeEvent(QCloseEvent* event) {
  bool close = false;
  RunGuarded(session_.Boxes(), [this, &close] {
    close = FormCloseQuery();
    if (close) FormClose();
  });
  if (!close) {
    event->ignore();
    return;
  }
  event->accept();
  emit Closed();
}

void TEditorFRM::ClearTarnOutput() {
  if (session_.Tarn().TarnClearOutputDir()) return;
  session_.Boxes().Show({"Not every file in the folder\r\r" + session_.Tarn().TarnGetOutputDir() +
                             "\r\rcould be deleted. Files of an earlier assembly may remain there.",
                         "TARN Output", platform::BoxButtons::Ok});
}

void TEditorFRM::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  FormResize();
  files_->WriteRecentFiles();
  ClearTarnOutput();
  session_.Tarn().TarnCleanup();
  session_.QvBasic().QvBasicCleanup();
  session_.QvSim().QvSimCleanup();
  session_.AssembleCompile().AssembleCompileCleanup();
  session_.Templates().DoneTemplates();
  session_.KeyUnit().QVU_Cleanup();
}

}  // namespace gui
