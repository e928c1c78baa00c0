#include "workbench/gui/debug_windows.h"

#include <QAction>
#include <QActionGroup>
#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>

#include <filesystem>

#include "build_debug/debug/gui/clock_form.h"
#include "build_debug/debug/gui/code_form.h"
#include "build_debug/debug/gui/debug_form.h"
#include "build_debug/debug/gui/irc_form.h"
#include "build_debug/debug/gui/register_form.h"
#include "build_debug/debug/gui/watch_form.h"
#include "build_debug/debug/gui/zk_code_form.h"
#include "platform/modal_dialogs.h"
#include "resources/widget_names.h"
#include "services/silent_abort.h"
#include "workbench/gui/editor_form.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;

namespace gui {

namespace {

// What a session locks in the main window: the text size, the Run menu, the editing commands.
constexpr const char* kLockedItems[] = {
    main_menu::EditTextBiggerMENUITM, main_menu::EditTextSmallerMENUITM, main_menu::RunMENUITM,
    main_menu::EditUndoMenuMENUITM,   main_menu::EditRedoMenuMENUITM,    main_menu::EditCutMENUITM,
    main_menu::EditCopyMENUITM,       main_menu::EditPasteMENUITM,
};

QRect PrimaryScreenArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

DebugWindows::Binder DebugWindows::AddTo(ProgramParts& parts) {
  auto windows = std::make_shared<DebugWindows>();
  // Only the caller of the binder keeps the windows: the parts outlive the session, and the
  // controls must not.
  std::weak_ptr<DebugWindows> weak = windows;
  auto maker = [weak](auto make) {
    return [weak, make](TEditorFRM& owner, workbench::IdeSession& session) -> QWidget* {
      auto self = weak.lock();
      self->MakeControls(owner, session);
      return make(*self, owner, session);
    };
  };
  parts.makers["TDebugFRM"] =
      maker([](DebugWindows& w, TEditorFRM& owner, workbench::IdeSession& s) -> QWidget* {
        return w.Keep(new TDebugFRM(*w.control_, s.Texts(), &owner), w.debug_form_);
      });
  parts.makers["TClockForm"] =
      maker([](DebugWindows& w, TEditorFRM& owner, workbench::IdeSession& s) -> QWidget* {
        return w.Keep(new TClockForm(*w.clock_, s.Registry(), &owner), w.clock_form_);
      });
  parts.makers["TIrcFRM"] =
      maker([](DebugWindows& w, TEditorFRM& owner, workbench::IdeSession& s) -> QWidget* {
        return w.Keep(new TIrcFRM(s.KeyUnit(), s.Texts(), &owner), w.irc_form_);
      });
  parts.makers["TRegisterForm"] =
      maker([](DebugWindows& w, TEditorFRM& owner, workbench::IdeSession& s) -> QWidget* {
        // The chip is known at the session's start; until then the smallest part's layout.
        auto* form = w.Keep(new TRegisterForm(s.Debug(), s.Image(), s.Registry(), 2, 1, &owner),
                            w.register_form_);
        w.register_place_ = std::make_unique<WidgetPlacement>(*form);
        return form;
      });
  parts.makers["TWatchForm"] =
      maker([](DebugWindows& w, TEditorFRM& owner, workbench::IdeSession& s) -> QWidget* {
        auto* form =
            w.Keep(new TWatchForm(s.Debug(), s.Image(), s.Messages(), s.Registry(), &owner),
                   w.watch_form_);
        w.watch_place_ = std::make_unique<WidgetPlacement>(*form);
        return form;
      });
  parts.makers["TCodeForm"] =
      maker([](DebugWindows& w, TEditorFRM& owner, workbench::IdeSession& s) -> QWidget* {
        auto* form =
            w.Keep(new TCodeForm(s.Debug(), s.Image(), s.Registry(), true, &owner), w.code_form_);
        w.code_place_ = std::make_unique<WidgetPlacement>(*form);
        return form;
      });
  parts.makers["TZK_CodeFRM"] =
      maker([](DebugWindows& w, TEditorFRM& owner, workbench::IdeSession& s) -> QWidget* {
        auto* form = w.Keep(new TZK_CodeFRM(s.Debug(), s.Tarn(), s.Messages(), s.Registry(),
                                            owner.WindowsMenu(), &owner),
                            w.list_form_);
        w.list_place_ = std::make_unique<WidgetPlacement>(*form);
        return form;
      });
  auto pending = std::make_shared<std::shared_ptr<DebugWindows>>(std::move(windows));
  return [pending](TEditorFRM& main_form, workbench::IdeSession& session) {
    std::shared_ptr<DebugWindows> bound = std::move(*pending);
    bound->Bind(main_form, session);
    return bound;
  };
}

DebugWindows::~DebugWindows() {
  // A session still open when the program ends is ended as its window's hiding ends it: the
  // key's clock is switched off and the port let go (a deleted window gets no hide of its own).
  for (const QPointer<QWidget>& made : made_)
    if (made && made.data() == debug_form_ && made->isVisible()) made->hide();
  // The forms refer to the controls below: they go first, the last made first.
  for (auto made = made_.rbegin(); made != made_.rend(); ++made) delete made->data();
}

template <typename Form>
Form* DebugWindows::Keep(Form* form, Form*& slot) {
  slot = form;
  made_.emplace_back(form);
  return form;
}

void DebugWindows::MakeControls(TEditorFRM& owner, workbench::IdeSession& session) {
  if (control_) return;
  main_form_ = &owner;
  session_ = &session;
  control_ = std::make_unique<build_debug::DebugControl>(
      session.Debug(), session.KeyLink(), session.KeyUnit(), session.Image(), session.Messages(),
      session.Registry(), session.KeyNotices(), *this);
  clock_ = std::make_unique<build_debug::ClockControl>(
      session.KeyLink(), session.KeyUnit(), session.Debug(), session.Image(), priority_,
      [&owner](const std::string& text) { owner.StatusLine(text); });
}

void DebugWindows::Bind(TEditorFRM& main_form, workbench::IdeSession& session) {
  MakeControls(main_form, session);
  build_debug::DebugRunHooks hooks;
  hooks.hide_debug_window = [this] {
    if (debug_form_) debug_form_->hide();
  };
  hooks.show_debug_window = [this] {
    if (debug_form_) debug_form_->show();
  };
  hooks.assemble_current = [&main_form, &session] {
    main_form.ClickMenuItem(main_menu::RunAssembleMENUITM);
    // The build has told what went wrong; the command stops here.
    if (!session.AssembleCompile().LastBuildOk()) workbench::Abort();
  };
  hooks.wrenfield_mode = [&session] { return session.Globals().WrenfieldMode; };
  hooks.show_clock_window = [this, &session] {
    if (!clock_form_) return;
    KeyHeld(true);
    // Let go also when the window's run ends in an exception.
    const std::unique_ptr<const DebugWindows, void (*)(const DebugWindows*)> let_go(
        this, [](const DebugWindows* windows) { windows->KeyHeld(false); });
    std::ignore = session.Dialogs().Run(*clock_form_);
  };
  hooks.enable_clock_button = [&main_form](bool enabled) {
    if (auto* button = main_form.findChild<QAction*>(editor_frm::ClockTBTN))
      button->setEnabled(enabled);
  };
  run_ = std::make_unique<build_debug::DebugRunCommands>(session.KeyLink(), session.KeyUnit(),
                                                         session.Debug(), std::move(hooks));
  main_form.SetMenuHandler(main_menu::RunDebugMENUITM, [this] { run_->RunDebug(); });
  main_form.SetMenuHandler(main_menu::RunDebugAgainMENUITM, [this] { run_->RunDebugAgain(); });
  main_form.SetMenuHandler(main_menu::RunClockMENUITM, [this] { run_->RunClock(); });
}

void DebugWindows::DebugProgrammed() {
  if (debug_form_) debug_form_->DebugProgrammed();
}

bool DebugWindows::UsesExternalAssembler() const { return session_->Globals().IdeOptions.UseTarn; }

int DebugWindows::ListingLine(int pc) const {
  if (UsesExternalAssembler())
    return list_form_ ? const_cast<TZK_CodeFRM*>(list_form_)->List().LineOfAddress(pc) : -1;
  const auto& lines = session_->Image().AddressLine;
  return lines[static_cast<std::size_t>(pc) % lines.size()];
}

bool DebugWindows::LoadListing() {
  if (!list_form_) return false;
  if (!list_form_->LoadListFile(session_->AssembleCompile().GetLastAssembledFile())) return false;
  list_form_->SetToolbarMode(build_debug::kToolbarAll);
  list_form_->List().SetHoldsDebugListing(true);
  return true;
}

void DebugWindows::ListPrepareDebugView() {
  if (list_form_) list_form_->PrepareDebugView();
}

void DebugWindows::ListLeaveDebug() {
  if (list_form_ && list_form_->List().HoldsDebugListing()) list_form_->LeaveDebug();
}

QWidget* DebugWindows::WindowOf(Window window) const {
  switch (window) {
    case kRegisters: return register_form_;
    case kCode: return code_form_;
    case kList: return list_form_;
    case kWatch: return watch_form_;
  }
  return nullptr;
}

void DebugWindows::Show(Window window, bool full_redraw) {
  if (window == kRegisters && register_form_) {
    const auto& key = session_->KeyUnit();
    register_form_->SetDevice(key.DeviceCode(), key.Banks());
  }
  if (window == kCode && code_form_) {
    // A program debugged from the command line was never assembled here: it is the file named.
    std::string source = session_->AssembleCompile().GetLastAssembledFile();
    if (source.empty()) source = session_->Globals().CommandLineFile;
    code_form_->SetSourceName(std::filesystem::path(source).filename().string());
  }
  QWidget* form = WindowOf(window);
  if (!form) return;
  form->show();
  form->raise();
  if (full_redraw) form->update();
}

void DebugWindows::Hide(Window window) {
  if (QWidget* form = WindowOf(window)) form->hide();
}

void DebugWindows::BringToFront() {
  for (Window window : {kRegisters, kCode, kList, kWatch})
    if (QWidget* form = WindowOf(window); form && form->isVisible()) form->raise();
}

workbench::PlacedWindow* DebugWindows::Placed(Window window) {
  switch (window) {
    case kRegisters: return register_place_.get();
    case kCode: return code_place_.get();
    case kList: return list_place_.get();
    case kWatch: return watch_place_.get();
  }
  return nullptr;
}

std::string DebugWindows::PlacementName(Window window) const {
  switch (window) {
    case kRegisters: return TRegisterForm::kPlacement;
    case kCode: return TCodeForm::kPlacement;
    case kList: return TZK_CodeFRM::kPlacement;
    case kWatch: return TWatchForm::kPlacement;
  }
  return {};
}

void DebugWindows::EnableMainCommands(bool enabled) {
  // A session locks them before it takes the key and unlocks them once it has let it go.
  KeyHeld(!enabled);
  if (!main_form_) return;
  // The items are locked as a group, which leaves each item's own state alone: unlocking gives
  // back what the rules of each item ask for by then (a Wrenfield run keeps its editing
  // locked), also for an item hidden meanwhile, which reads as disabled while hidden.
  if (!locked_) {
    locked_ = new QActionGroup(main_form_);
    locked_->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (const char* name : kLockedItems) locked_->addAction(main_form_->MenuItem(name));
  }
  locked_->setEnabled(enabled);
  if (auto* button = main_form_->findChild<QAction*>(editor_frm::ClockTBTN))
    button->setEnabled(enabled);
}

bool DebugWindows::DebugOnly() const {
  // A run hidden by "/h" to debug is closed by the main window's own handler of the session's
  // end (the key notice 4); closing it here as well would close it twice.
  return false;
}

void DebugWindows::CloseMainWindow() {
  // From the event loop: the session ends inside the debug window's own hide.
  if (main_form_)
    QMetaObject::invokeMethod(
        main_form_, [form = main_form_] { form->close(); }, Qt::QueuedConnection);
}

void DebugWindows::ShowIrcWindow() {
  if (irc_form_) std::ignore = session_->Dialogs().Run(*irc_form_);
}

int DebugWindows::WantedWidth(Window window) const {
  return window == kList && list_form_ ? list_form_->WantedWidth() : 0;
}

build_debug::LayoutRect DebugWindows::ScreenArea() const {
  const QRect area = PrimaryScreenArea();
  return {area.left(), area.top(), area.width(), area.height()};
}

build_debug::FrameMargins DebugWindows::WindowFrame() const {
  // The windows of a session just shown are not framed yet: they get the main window's frame.
  const QWidget* window = debug_form_ ? static_cast<const QWidget*>(debug_form_) : main_form_;
  if (!window) return {};
  const QMargins frame = gui::WindowFrame(*window);
  return {frame.left(), frame.top(), frame.right(), frame.bottom()};
}

}  // namespace gui
