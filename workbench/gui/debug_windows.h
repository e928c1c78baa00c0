#pragma once
// The windows of a debug session as the program builds them: the debug, clock, IRC, register,
// watch, code and list windows, the controls they run on, and their ties to the main window
// (the Run menu's Debug, Debug (reenter) and Clock items, the commands a session locks) and
// to the key's "programmed for debug" report.
//
// The forms are made by the makers this adds, in IdeForms' order; the controls they refer to
// are made with the first of them. The forms go before the controls: this object deletes the
// forms it made when it goes, ahead of the main window that owns them.

#include <QActionGroup>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include "build_debug/debug/clock_control.h"
#include "build_debug/debug/debug_control.h"
#include "build_debug/debug/debug_run_commands.h"
#include "build_debug/debug/process_priority.h"
#include "services/gui/form_placement.h"
#include "workbench/gui/application.h"

namespace gui {

class TClockForm;
class TCodeForm;
class TDebugFRM;
class TIrcFRM;
class TRegisterForm;
class TWatchForm;
class TZK_CodeFRM;

class DebugWindows : public build_debug::DebugSurroundings {
 public:
  // Called once every form exists: binds the windows to the main window and hands them over;
  // the caller keeps them for the run.
  using Binder = std::function<std::shared_ptr<DebugWindows>(TEditorFRM&, workbench::IdeSession&)>;
  // Adds the makers of the session's forms to `parts`.
  static Binder AddTo(ProgramParts& parts);

  DebugWindows() = default;
  ~DebugWindows() override;
  DebugWindows(const DebugWindows&) = delete;
  DebugWindows& operator=(const DebugWindows&) = delete;

  // The Run menu's items and what the session asks of the main window.
  void Bind(TEditorFRM& main_form, workbench::IdeSession& session);
  // The key's "programmed for debug" report: the debug window takes over.
  void DebugProgrammed();
  // Told when a debug session or the clock window takes the key (true) and lets it go: the
  // other windows' commands that need the key wait meanwhile.
  void OnKeyHeld(std::function<void(bool held)> held) { key_held_ = std::move(held); }

  TDebugFRM* DebugForm() const { return debug_form_; }
  TClockForm* ClockForm() const { return clock_form_; }
  TIrcFRM* IrcForm() const { return irc_form_; }
  TRegisterForm* RegisterForm() const { return register_form_; }
  TWatchForm* WatchForm() const { return watch_form_; }
  TCodeForm* CodeForm() const { return code_form_; }
  TZK_CodeFRM* ListForm() const { return list_form_; }
  build_debug::DebugControl* Control() const { return control_.get(); }

  // DebugSurroundings.
  bool UsesExternalAssembler() const override;
  int ListingLine(int pc) const override;
  bool LoadListing() override;
  bool TellListingFailure() const override { return true; }
  void ListPrepareDebugView() override;
  void ListLeaveDebug() override;
  void Show(Window window, bool full_redraw) override;
  void Hide(Window window) override;
  void BringToFront() override;
  workbench::PlacedWindow* Placed(Window window) override;
  std::string PlacementName(Window window) const override;
  void EnableMainCommands(bool enabled) override;
  bool DebugOnly() const override;
  void CloseMainWindow() override;
  void ShowIrcWindow() override;
  int WantedWidth(Window window) const override;
  build_debug::LayoutRect ScreenArea() const override;
  build_debug::FrameMargins WindowFrame() const override;

 private:
  // The controls, with the first form that needs them.
  void MakeControls(TEditorFRM& owner, workbench::IdeSession& session);
  QWidget* WindowOf(Window window) const;
  // A form made here, kept for deletion ahead of the main window.
  template <typename Form>
  Form* Keep(Form* form, Form*& slot);

  void KeyHeld(bool held) const {
    if (key_held_) key_held_(held);
  }

  TEditorFRM* main_form_ = nullptr;
  workbench::IdeSession* session_ = nullptr;
  std::function<void(bool held)> key_held_;
  build_debug::NiceProcessPriority priority_;
  std::unique_ptr<build_debug::DebugControl> control_;
  std::unique_ptr<build_debug::ClockControl> clock_;
  std::unique_ptr<build_debug::DebugRunCommands> run_;
  std::vector<QPointer<QWidget>> made_;
  // The main window's items a session locks, owned by the main window.
  QPointer<QActionGroup> locked_;
  TDebugFRM* debug_form_ = nullptr;
  TClockForm* clock_form_ = nullptr;
  TIrcFRM* irc_form_ = nullptr;
  TRegisterForm* register_form_ = nullptr;
  TWatchForm* watch_form_ = nullptr;
  TCodeForm* code_form_ = nullptr;
  TZK_CodeFRM* list_form_ = nullptr;
  std::unique_ptr<WidgetPlacement> register_place_;
  std::unique_ptr<WidgetPlacement> watch_place_;
  std::unique_ptr<WidgetPlacement> code_place_;
  std::unique_ptr<WidgetPlacement> list_place_;
};

}  // namespace gui
