#include "workbench/gui/run_commands.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <tuple>
#include <vector>

#include "build_debug/image/object_image.h"
#include "build_debug/key/device_settings.h"
#include "build_debug/tools/simulator_bridge.h"
#include "code_page/windows_1252.h"
#include "editor_control/gui/scrivlet_widget.h"
#include "platform/message_box.h"
#include "platform/modal_dialogs.h"
#include "platform/text.h"
#include "resources/code_widget_names.h"
#include "resources/string_ids.h"
#include "services/gui/guarded.h"
#include "services/gui/text.h"
#include "services/replace_file.h"
#include "services/silent_abort.h"
#include "workbench/gui/configuration_form.h"
#include "workbench/gui/editor_array.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/file_commands.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/main_files.h"
#include "workbench/gui/notice_forms.h"
#include "workbench/gui/old_editor_pane.h"
#include "workbench/session/session.h"
#include "workbench/small_dialogs.h"
#include "workbench/start_up.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;

namespace gui {
namespace {

namespace ids = string_ids::EditorUnit;
using build_debug::BuildResult;

std::string FileNameOnly(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

bool Succeeded(BuildResult result) {
  return result == BuildResult::kBuiltIn || result == BuildResult::kTarnBuilt;
}

// The Run menu's items that have keys (the command table holds them).
constexpr const char* kRunItems[] = {
    main_menu::RunAssembleMENUITM,   main_menu::RunProgramMENUITM,
    main_menu::RunRunMENUITM,        main_menu::RunDebugMENUITM,
    main_menu::RunDebugAgainMENUITM, main_menu::RunViewDebugCodeMENUITM,
    main_menu::RunStartQVSimMENUITM, main_menu::RunClockMENUITM,
    main_menu::RunDeviceMENUITM,     main_menu::RunConfigureMENUITM,
};

// The tool buttons after the main window's own; each clicks the item the command table gives
// it, and their hints come with the form's texts.
struct ToolItem {
  const char* button;
  const char* caption;
};
constexpr ToolItem kToolItems[] = {
    {editor_frm::ProgramTBTN, "Program"}, {editor_frm::RunTBTN, "Run"},
    {editor_frm::DebugTBTN, "Debug"},     {editor_frm::DebugAgainTBTN, "Debug Again"},
    {editor_frm::ClockTBTN, "Clock"},     {editor_frm::DeviceTBTN, "Device"},
};

// Where a key command keeps the state it goes back to when the run lets the link go.
constexpr char kEnabledAfterRun[] = "enabledAfterRun";

// The buttons that UpdateRunButtons switches.
constexpr const char* kRunButtons[] = {editor_frm::AssemblyTBTN, editor_frm::ProgramTBTN,
                                       editor_frm::DebugTBTN, editor_frm::DebugAgainTBTN,
                                       editor_frm::RunTBTN};

// The commands that need the key, off while a programming run holds the link.
constexpr const char* kKeyMenuItems[] = {
    main_menu::RunProgramMENUITM,    main_menu::RunRunMENUITM,   main_menu::RunDebugMENUITM,
    main_menu::RunDebugAgainMENUITM, main_menu::RunClockMENUITM, main_menu::QvFactoryTestMENUITM};
constexpr const char* kKeyToolButtons[] = {editor_frm::ProgramTBTN, editor_frm::RunTBTN,
                                           editor_frm::DebugTBTN, editor_frm::DebugAgainTBTN,
                                           editor_frm::ClockTBTN};

// The status line after a cancelled run, a run that programmed the chip, and after the chip of
// a "/v" run read back right.
// The language tables have no line for either.
constexpr char kCancelledText[] = "Programming cancelled : the chip holds only part of the program";
constexpr char kVerifiedText[] = "Device verified OK";
constexpr char kProgrammedText[] = "Device programmed";

// Whether a key is the shortcut of a menu command that is off for the moment: the item, or
// the menu it is in (a locked Run menu fires none of its items).
bool KeyOfCommandOff(const QList<QAction*>& actions, const QKeySequence& pressed, bool locked) {
  for (const QAction* action : actions) {
    if (!action->isVisible()) continue;
    const bool off = locked || !action->isEnabled();
    if (const QMenu* menu = action->menu()) {
      if (KeyOfCommandOff(menu->actions(), pressed, off)) return true;
    } else if (off && action->shortcuts().contains(pressed)) {
      return true;
    }
  }
  return false;
}

// The Run menu's shortcuts come before the source editors' own keys (Ctrl+I and Ctrl+U
// style the text there, Ctrl+P too): the editors claim their keys as shortcut overrides, so
// the claim is refused for a key that an enabled Run item has. The key of a command that is
// off does nothing: it never falls through to the editor as an edit.
class RunShortcutsFirst : public QObject {
 public:
  explicit RunShortcutsFirst(TEditorFRM& form) : form_(form) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    const bool pressed_now = event->type() == QEvent::KeyPress;
    if (event->type() != QEvent::ShortcutOverride && !pressed_now) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !form_.isAncestorOf(widget)) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    if (pressed_now) return KeyOfCommandOff(form_.menuBar()->actions(), pressed, false);
    const auto menu_takes = [this, &pressed](const char* name) {
      const QAction* item = form_.MenuItem(name);
      return item && item->isEnabled() && !item->shortcut().isEmpty() &&
             item->shortcut() == pressed;
    };
    bool menu_key = false;
    // The find keys (Ctrl+F, Ctrl+H) are also the editor's own.
    for (const char* find : {main_menu::EditFindMENUITM, main_menu::EditFindNextMenuMENUITM,
                             main_menu::EditFindReplaceMENUITM})
      menu_key = menu_key || menu_takes(find);
    // A locked Run menu (a debug session) fires none of its items.
    if (form_.MenuItem(main_menu::RunMENUITM)->isEnabled())
      for (const char* run : kRunItems) menu_key = menu_key || menu_takes(run);
    if (!menu_key) return false;
    event->ignore();
    return true;
  }

 private:
  TEditorFRM& form_;
};

}  // namespace

HourglassCursor::HourglassCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
HourglassCursor::~HourglassCursor() { QApplication::restoreOverrideCursor(); }

// What the dispatcher asks of the main window while it builds.
class RunCommands::Editors : public build_debug::BuildEditors {
 public:
  explicit Editors(RunCommands& commands) : commands_(commands), form_(commands.form_) {}

  bool HasEditor(int index) const override { return form_.Editors().GetEditor(index) != nullptr; }
  bool EditorIsEmpty(int index) const override {
    return form_.Editors().GetEditor(index)->Memo().CharCount() == 0;
  }
  std::uint8_t EditorFileType(int index) const override {
    return form_.Editors().GetFileType(index);
  }
  std::string CurrentFileName() const override { return commands_.GetAssemblyFileName(); }
  std::optional<int> FindEditor(const std::string& file) const override {
    const int index = form_.Editors().IndexOfFile(file);
    if (index < 0) return std::nullopt;
    return index;
  }
  bool CopyEditorToOldBuffer(int index, std::string& refusal) override {
    return form_.CopyEditorToOldBuffer(index, refusal);
  }
  bool AssembleOldBuffer(std::string& error_text) override {
    return form_.AssembleOldBuffer(error_text);
  }

 private:
  RunCommands& commands_;
  TEditorFRM& form_;
};

RunCommands::RunCommands(TEditorFRM& form, workbench::IdeSession& session)
    : form_(form), session_(session), shortcuts_first_(std::make_unique<RunShortcutsFirst>(form)) {
  AddToolButtons();
  BindCommands();
  QApplication::instance()->installEventFilter(shortcuts_first_.get());
}

RunCommands::~RunCommands() = default;

QAction* RunCommands::ToolButton(const char* name) const {
  return form_.findChild<QAction*>(QString::fromLatin1(name));
}

void RunCommands::AddToolButtons() {
  auto* tools = form_.findChild<QToolBar*>(editor_frm::ToolBar);
  for (const ToolItem& tool : kToolItems) {
    QAction* action = tools->addAction(QString::fromLatin1(tool.caption));
    action->setObjectName(tool.button);
    // The button itself goes by the same name, for those that look for the widget.
    tools->widgetForAction(action)->setObjectName(tool.button);
    const std::string item = workbench::CommandOfButton(tool.button).item;
    QObject::connect(action, &QAction::triggered, &form_,
                     Guard(session_.Boxes(), [this, item] { form_.ClickMenuItem(item); }));
  }
  // The assembler switch is kept for the settings it sets; nobody sees it.
  QAction* toggle = tools->addAction("TARN");
  toggle->setObjectName(editor_frm::ToggleAssemblerTBTN);
  toggle->setCheckable(true);
  toggle->setVisible(false);
  toggle->setEnabled(false);
  QObject::connect(toggle, &QAction::toggled, &form_,
                   [this](bool down) { session_.Globals().IdeOptions.UseTarn = down; });

  QObject::connect(ToolButton(editor_frm::AssemblyTBTN), &QAction::triggered, &form_,
                   Guard(session_.Boxes(), [this] {
                     form_.ClickMenuItem(main_menu::RunAssembleMENUITM);
                     form_.show();
                   }));
  QObject::connect(ToolButton(editor_frm::QvSimTBTN), &QAction::triggered, &form_,
                   Guard(session_.Boxes(), [this] { StartQvSim(true); }));
}

void RunCommands::BindCommands() {
  // View List holds Ctrl+L only with the enhanced editor (the legacy one's List Toggle has it);
  // the file commands swap it when the editor changes.
  for (const char* run : kRunItems) form_.SetCommandKeys(run);
  MainFilesHooks& hooks = form_.Files().Hooks();
  hooks.update_run_buttons = [this](bool named) { UpdateRunButtons(named); };
  // A running simulator follows the file in front; a failed build has been told.
  hooks.start_simulator = [this] {
    try {
      StartQvSim(false);
    } catch (const workbench::SilentAbort&) {
    }
  };

  form_.SetMenuHandler(main_menu::RunAssembleMENUITM, [this] { AssembleCurrent(); });
  form_.SetMenuHandler(main_menu::RunProgramMENUITM, [this] { RunProgram(); });
  form_.SetMenuHandler(main_menu::RunRunMENUITM, [this] { RunRun(); });
  form_.SetMenuHandler(main_menu::RunViewDebugCodeMENUITM, [this] {
    HourglassCursor hourglass;
    if (!session_.Globals().WrenfieldMode) AssembleCurrent();
    ShowListOrCode();
  });
  // The legacy editor's List Toggle is View List under the name it had there.
  form_.SetMenuHandler(main_menu::FileListToggleMENUITM,
                       [this] { form_.ClickMenuItem(main_menu::RunViewDebugCodeMENUITM); });
  form_.SetMenuHandler(main_menu::RunStartQVSimMENUITM,
                       [this] { ToolButton(editor_frm::QvSimTBTN)->trigger(); });
  form_.SetMenuHandler(main_menu::RunDeviceMENUITM, [this] {
    if (windows_.show_device_window) windows_.show_device_window();
  });
  form_.SetMenuHandler(main_menu::RunConfigureMENUITM, [this] {
    workbench::DebugBoxes(session_.Globals(), session_.Boxes())
        .Report("About to show configure dialog", "DEBUG - RunConfigure");
    if (IdeForms* forms = form_.Forms()) session_.Dialogs().Run(forms->Config());
  });
  form_.SetMenuHandler(main_menu::QvFactoryTestMENUITM, [this] {
    // The monitor would open the port the run is using.
    if (session_.KeyUnit().RunHoldsLink()) return;
    QAction* item = form_.MenuItem(main_menu::QvFactoryTestMENUITM);
    item->setCheckable(true);
    item->setChecked(!item->isChecked());
    session_.KeyLink().SetCtsMonitor(item->isChecked());
  });
}

// The build driver.

void RunCommands::AssembleCurrent() {
  form_.StatusLine("");
  HourglassCursor hourglass;
  const bool use_tarn = session_.Globals().IdeOptions.UseTarn;
  build_debug::AssembleCompileUnit& dispatcher = session_.AssembleCompile();
  Editors editors(*this);
  std::string message;
  BuildResult result;
  if (form_.UsesLegacyEditor()) {
    result = dispatcher.BuildLegacyEditor(use_tarn, editors, message);
  } else {
    form_.ClearErrorMarking();
    result = dispatcher.BuildEditor(use_tarn, form_.CurrentEditorIndex(), editors, message);
  }
  if (!message.empty()) ShowBuildBox(result, message);
  if (form_.isVisible()) form_.LoadErrorList();
  if (Succeeded(result))
    BuildSucceeded(result);
  else
    BuildFailed(result);
  form_.FormPaint();
  if (!Succeeded(result)) throw workbench::SilentAbort();
}

void RunCommands::ShowBuildBox(BuildResult result, const std::string& message) {
  const workbench::MessageStrings& boxes = session_.Messages();
  switch (result) {
    case BuildResult::kNothingBuilt:
      std::ignore =
          boxes.MsgBoxById1(ids::SCU_FORMAT_ONLY, ids::SCU_BUILD_PROBLEM_CAPTION, message);
      break;
    case BuildResult::kTarnFailed:
      std::ignore = boxes.MsgBoxById1(ids::SCU_FORMAT_ONLY, ids::SCU_TARN_ERROR_CAPTION, message);
      break;
    case BuildResult::kBasicFailed:
      std::ignore = boxes.MsgBoxById1(ids::SCU_FORMAT_ONLY, ids::SCU_QVB_ERROR, message);
      break;
    case BuildResult::kBuiltInFailed: {
      const workbench::Localizer& texts = session_.Texts();
      session_.Boxes().Show({texts.LU_GetString(ids::SCU_ASSEMBLY_ERROR) + ": " + message,
                             texts.LU_GetString(ids::SCU_BUILTIN_ERROR_CAPTION),
                             platform::BoxButtons::Ok});
      break;
    }
    default: break;
  }
}

void RunCommands::BuildSucceeded(BuildResult result) {
  const workbench::Localizer& texts = session_.Texts();
  const build_debug::AssembleCompileUnit& dispatcher = session_.AssembleCompile();
  const bool use_tarn = session_.Globals().IdeOptions.UseTarn;
  std::string status = texts.LU_GetString(ids::SCU_ASSEMBLY_SUCCESSFUL);
  if (dispatcher.WasQvBasicBuild() && use_tarn)
    status = FileNameOnly(dispatcher.GetLastQvBasicSource()) +
             texts.LU_GetString(ids::SCU_COMPILE_SUCCESSFUL);
  else if (result == BuildResult::kTarnBuilt && use_tarn)
    status = FileNameOnly(dispatcher.GetLastAssembledFile()) + " : " + status;
  form_.StatusLine(status);
  if (windows_.image_built) windows_.image_built();
}

void RunCommands::BuildFailed(BuildResult result) {
  const workbench::Localizer& texts = session_.Texts();
  std::string status = texts.LU_GetString(
      result == BuildResult::kBasicFailed ? ids::SCU_QVB_ERROR : ids::SCU_ASSEMBLY_ERROR);
  // Only a built-in assembly that ran has an error of its own in the image.
  if (result == BuildResult::kBuiltInFailed) {
    const build_debug::ObjectImage& image = session_.Image();
    status += ": ";
    // The built-in assembler read the editor's Windows-1252 text; an ERROR directive's text
    // is the source's.
    status += code_page::Utf8FromWindows1252(image.ErrorText ? image.ErrorText : "");
    form_.OldEditor().ShowErrorToken();
  }
  form_.StatusLine(status);
  const bool enhanced = !form_.UsesLegacyEditor();
  const workbench::IdeOptions& options = session_.Globals().IdeOptions;
  if (enhanced && options.UseTarn && options.JumpToAssemblyError && form_.ErrorList().count() > 0) {
    const int row = session_.AssembleCompile().FindErrorLine(ErrorLines());
    if (row >= 0) {
      form_.JumpToError(row);
      form_.ErrorList().setCurrentRow(row);
    }
  }
  if (enhanced && result == BuildResult::kBuiltInFailed) MarkBuiltInError();
}

std::vector<std::string> RunCommands::ErrorLines() const {
  std::vector<std::string> lines;
  const QListWidget& list = form_.ErrorList();
  for (int i = 0; i < list.count(); ++i) lines.push_back(FromQt(list.item(i)->text()));
  return lines;
}

void RunCommands::MarkBuiltInError() {
  // The built-in assembler read a flat copy of the editor's text; its error is found again in
  // the editor by the text of its line and then by the token from that line on. The texts are
  // taken from the flat copy directly, leaving the user's clipboard alone.
  scrivlet::gui::TScrivlet* editor = form_.CurrentScrivlet();
  if (!editor) return;
  const std::string flat = form_.OldEditor().Editor().Text();
  const build_debug::ObjectImage& image = session_.Image();
  const auto size = static_cast<std::int32_t>(flat.size());
  const std::int32_t start = std::clamp(image.ErrorStart, 0, size);
  const std::int32_t end = std::clamp(image.ErrorEnd, start, size);
  std::size_t line_start = flat.find_last_of("\r\n", start == 0 ? 0 : start - 1);
  line_start = (line_start == std::string::npos || start == 0) ? 0 : line_start + 1;
  std::size_t line_end = flat.find_first_of("\r\n", static_cast<std::size_t>(start));
  if (line_end == std::string::npos) line_end = flat.size();
  const std::string line_text = flat.substr(line_start, line_end - line_start);
  const std::string token =
      flat.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));
  if (line_text.empty() || token.empty()) return;

  scrivlet::TScrivlet& memo = editor->Memo();
  memo.SetSelLine(0);
  if (!memo.FindText(line_text, true, true, true, true)) return;
  const int line = memo.GetSelLine() + 1;
  memo.SetSelLine(line - 1);
  if (!memo.FindText(token, true, false, false, true)) return;
  const std::int32_t found = memo.SelLower();
  form_.MarkErrorRange(line, found, found + std::abs(memo.GetSelLength()));
}

// The file to build and its save.

std::string RunCommands::GetAssemblyFileName() {
  MainWindowFiles& files = form_.Files();
  const std::string visible = files.CurrentFileName();
  std::string top = form_.Editors().TopFileName();
  const bool top_is_visible = top == visible;
  if (!top.empty() && !top_is_visible && session_.Globals().IdeOptions.WarnUsingTopFile &&
      session_.Messages().YesNoBoxById1(ids::SCU_USE_TOP_FILE, ids::SCU_USE_TOP_FILE_CAPTION,
                                        FileNameOnly(top)) == platform::kAnswerNo)
    top.clear();
  bool ok = true;
  if (!top.empty() && !top_is_visible && files.FileNeedsSave(top) && !form_.UsesLegacyEditor()) {
    const int was = form_.CurrentEditorIndex();
    form_.SelectEditor(form_.Editors().IndexOfFile(top));
    ok = ConfirmSaveBeforeBuild(top);
    form_.SelectEditor(was);
  }
  if (ok) ok = ConfirmSaveBeforeBuild(visible);
  if (!ok) return {};
  return top.empty() ? visible : top;
}

bool RunCommands::ConfirmSaveBeforeBuild(const std::string& name) {
  MainWindowFiles& files = form_.Files();
  if (!files.FileNeedsSave(name) || !session_.Globals().EditorOptions.SaveBeforeBuild) return true;
  IdeForms* forms = form_.Forms();
  if (forms && forms->FileSaveNotification().AskSaveBeforeAssembly(name) != QDialog::Accepted) {
    form_.ClickMenuItem(main_menu::EditClearErrorsMENUITM);
    return false;
  }
  const bool read_only =
      !form_.UsesLegacyEditor() && !form_.Editors().GetWritable(form_.CurrentEditorIndex());
  if (read_only || EditorFileSaving::IsReadOnlyFile(name)) {
    std::ignore = session_.Messages().MsgBoxById(ids::SCU_BUILD_READ_ONLY, ids::SCU_READ_ONLY_FILE);
    return false;
  }
  // A failed save has said why; a Save As that was cancelled leaves the file untitled.
  std::ignore = files.FileSave();
  return !platform::SameText(files.CurrentFileName(), T_ZKEditorArray::kUntitled) &&
         !files.FileNeedsSave(files.CurrentFileName());
}

// Programming and running.

void RunCommands::RunProgram() {
  // Refused before the build: the run that holds the link programs what it took at its start.
  if (session_.KeyUnit().RunHoldsLink()) return;
  HourglassCursor hourglass;
  build_debug::ObjectImage& image = session_.Image();
  if (session_.Globals().WrenfieldMode)
    build_debug::CopyWorkingToProgramming(image);
  else
    AssembleCurrent();
  // A refused start has nothing to tell: the run that holds the link tells its own end.
  std::ignore = session_.KeyUnit().StartProgramQV(false);
}

void RunCommands::RunRun() {
  build_debug::QvKeyUnit& key = session_.KeyUnit();
  // Its check of the key would send on, and close, the link the run is using.
  if (key.RunHoldsLink()) return;
  HourglassCursor hourglass;
  // A loaded C compiler's program is what runs, as with Program: without the copy the key
  // would run whatever the programming image held before.
  if (session_.Globals().WrenfieldMode)
    build_debug::CopyWorkingToProgramming(session_.Image());
  else
    AssembleCurrent();
  // The build let the windows work: a run the device window started meanwhile tells its own
  // end.
  if (key.RunHoldsLink()) return;
  if (!key.QVU_VerifyKey()) {
    session_.KeyLink().ReportLinkError();
    return;
  }
  // "Download Successful." waits for the end of the run: programming may still fail.
  if (key.StartProgramQV(true)) clock_notice_pending_ = true;
}

void RunCommands::ShowClockNotice() {
  const std::int64_t hz = session_.KeyUnit().GetClockFrequency();
  if (IdeForms* forms = form_.Forms()) std::ignore = forms->ClockGenInfo().ShowClockInfo(hz);
  form_.StatusLine(workbench::ClockSignalText(hz));
}

void RunCommands::KeyNotify(int code) {
  workbench::CommandLineRequests& requests = form_.Requests();
  bool over = false;
  switch (code) {
    case build_debug::kKeyCancelled:
      if (session_.Globals().WrenfieldMode) form_.close();
      over = true;
      break;
    case build_debug::kKeyFinished: {
      const build_debug::RunOutcome outcome = session_.KeyUnit().LastRunOutcome();
      const bool programmed = outcome == build_debug::RunOutcome::kProgrammed;
      const bool clock_told = std::exchange(clock_notice_pending_, false) && programmed;
      if (clock_told) ShowClockNotice();
      // No box for a cancel; the build's "Assembly Successful" must not stand for the chip.
      if (outcome == build_debug::RunOutcome::kCancelled) form_.StatusLine(kCancelledText);
      // Run tells its clock instead.
      if (programmed && !clock_told) form_.StatusLine(kProgrammedText);
      over = std::exchange(requests.ProgramRequested, false);
      if (over) {
        ProgramRequestEnded(outcome);
      } else if (std::exchange(requests.DebugRequested, false) && !programmed) {
        // A debug run that did not program the chip gets no debug window to end it.
        over = true;
        SetExitCode(outcome == build_debug::RunOutcome::kCancelled ? workbench::kExitCancelled
                                                                   : workbench::kExitLinkFailed);
      }
      break;
    }
    case build_debug::kKeyDebugHidden: over = true; break;
    default: break;
  }
  if (over && requests.HideWindow) form_.close();
}

void RunCommands::ProgramRequestEnded(build_debug::RunOutcome outcome) {
  using build_debug::RunOutcome;
  switch (outcome) {
    case RunOutcome::kProgrammed:
      SetExitCode(form_.Requests().VerifyRequested ? VerifyProgrammedChip() : workbench::kExitDone);
      break;
    case RunOutcome::kCancelled: SetExitCode(workbench::kExitCancelled); break;
    case RunOutcome::kFailed:
    case RunOutcome::kNone: SetExitCode(workbench::kExitLinkFailed); break;
  }
}

workbench::UnattendedExit RunCommands::VerifyProgrammedChip() {
  // The worker has closed the link before its end was told. The read fills the programming
  // image; what was built is put back afterwards.
  build_debug::ObjectImage& image = session_.Image();
  const build_debug::WordArray programmed = image.ProgrammingImage;
  const std::uint8_t device4k = image.Device4K;
  const bool read = session_.KeyUnit().ReadQV();
  const bool chip4k = image.Device4K != 0;
  build_debug::WordArray chip = image.ProgrammingImage;
  image.ProgrammingImage = programmed;
  image.Device4K = device4k;
  // A failed read has been told by the key protocol.
  if (!read) return workbench::kExitLinkFailed;
  build_debug::WordArray expected = programmed;
  for (std::uint16_t& word : expected) word &= build_debug::kInstructionBits;
  const auto failure = build_debug::VerifyFailure(expected, chip, chip4k, device4k != 0);
  if (!failure) {
    form_.StatusLine(kVerifiedText);
    return workbench::kExitDone;
  }
  session_.Boxes().Show({"Verify failed at " + *failure, "Device", platform::BoxButtons::Ok});
  return workbench::kExitVerifyFailed;
}

void RunCommands::CommandLineAborted() {
  // Only an unattended Program says how it ended; a debug run ends when its window goes.
  if (!form_.Requests().ProgramRequested) return;
  SetExitCode(session_.AssembleCompile().LastBuildOk() ? workbench::kExitCancelled
                                                       : workbench::kExitBuildFailed);
}

bool RunCommands::CommandLineActionGoesOn() {
  const workbench::CommandLineRequests& requests = form_.Requests();
  if (requests.ProgramRequested) return true;  // its run's end ends it
  if (!requests.DebugRequested && !requests.DebugAgainRequested) return true;
  // A programming run for debug, or the session of a debug window, holds the key until it
  // ends, and its end ends the run.
  if (session_.KeyUnit().RunHoldsLink() || session_.KeyLink().IsLinkOpen()) return true;
  SetExitCode(workbench::kExitLinkFailed);
  return false;
}

void RunCommands::SetExitCode(workbench::UnattendedExit code) {
  if (form_.Requests().HideWindow) exit_code_ = code;
}

// While a run holds the link, the commands that need the key are off; what the other rules
// of the buttons decide meanwhile is kept for the end of the run.
void RunCommands::LinkHeldByRun(bool held) {
  if (held == link_held_) return;
  link_held_ = held;
  for (QAction* action : KeyCommands()) {
    if (held) {
      action->setProperty(kEnabledAfterRun, action->isEnabled());
      action->setEnabled(false);
    } else {
      const QVariant after = action->property(kEnabledAfterRun);
      if (after.isValid()) action->setEnabled(after.toBool());
      action->setProperty(kEnabledAfterRun, QVariant());
    }
  }
  if (windows_.key_commands_enabled) windows_.key_commands_enabled(!held);
}

std::vector<QAction*> RunCommands::KeyCommands() const {
  std::vector<QAction*> actions;
  for (const char* item : kKeyMenuItems) actions.push_back(form_.MenuItem(item));
  for (const char* button : kKeyToolButtons)
    if (QAction* action = ToolButton(button)) actions.push_back(action);
  return actions;
}

void RunCommands::SetButtonEnabled(QAction* button, bool enabled) {
  const bool key_command = std::any_of(
      std::begin(kKeyToolButtons), std::end(kKeyToolButtons),
      [button](const char* name) { return button->objectName() == QLatin1String(name); });
  if (link_held_ && key_command)
    button->setProperty(kEnabledAfterRun, enabled);
  else if (button->isEnabled() != enabled)
    button->setEnabled(enabled);
}

// The list, the simulator and the buttons.

void RunCommands::ShowListOrCode() {
  const std::string file = session_.AssembleCompile().GetLastAssembledFile();
  if (!file.empty() && session_.Globals().IdeOptions.UseTarn) {
    if (windows_.show_list_file && windows_.show_list_file(file)) {
      form_.WindowsMenu().WindowsMenuAdd("", workbench::kListWindowItem);
      return;
    }
    std::ignore =
        session_.Messages().MsgBoxById(ids::SCU_VIEW_LIST_FAILED, ids::SCU_VIEW_LIST_CAPTION);
    return;
  }
  if (windows_.toggle_code_window) windows_.toggle_code_window();
}

void RunCommands::StartQvSim(bool launch) {
  build_debug::StartQvSim(
      session_.QvSim(), session_.Messages(), launch, session_.Globals().IdeOptions.UseTarn,
      [this]() -> std::optional<std::string> {
        AssembleCurrent();
        const build_debug::AssembleCompileUnit& dispatcher = session_.AssembleCompile();
        if (!dispatcher.LastBuildOk()) return std::nullopt;
        return session_.Tarn().TarnGetOutputDir() +
               std::filesystem::path(dispatcher.GetLastAssembledFile())
                   .filename()
                   .replace_extension(".lst")
                   .string();
      });
}

void RunCommands::UpdateRunButtons(bool enabled) {
  const bool basic = CurrentFileType() == build_debug::kFileTypeBasic;
  const std::string hint =
      session_.Texts().LU_GetString(basic ? ids::SCU_HINT_COMPILE : ids::SCU_HINT_ASSEMBLE);
  QAction* assemble = ToolButton(editor_frm::AssemblyTBTN);
  assemble->setToolTip(ToQt(hint));
  assemble->setStatusTip(ToQt(hint));
  for (const char* name : kRunButtons) SetButtonEnabled(ToolButton(name), enabled);
  form_.MenuItem(main_menu::RunAssembleMENUITM)->setText(ShownText(hint));
}

std::uint8_t RunCommands::CurrentFileType() const {
  if (form_.UsesLegacyEditor()) return build_debug::kFileTypeAssembly;
  return form_.Editors().GetFileType(form_.CurrentEditorIndex());
}

}  // namespace gui
