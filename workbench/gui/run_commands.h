#pragma once
// The Run menu and its tool buttons on the main window: the build driver that every command
// needing a program runs first (AssembleCurrent), what the assemble/compile dispatcher asks of
// the main window while it builds (the file to build, the save before it), the run buttons'
// state, and the end of a programming run as the key worker reports it.
//
// A failed build ends in the silent abort, so the command that asked for it stops there;
// Debug, Debug (reenter) and Clock are bound by the debug windows' own part, which builds by
// clicking "RunAssembleMENUITM".

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "build_debug/key/key_protocol.h"
#include "build_debug/tools/assemble_compile.h"
#include "services/exit_codes.h"

class QAction;
class QObject;

namespace workbench {
class IdeSession;
}

namespace gui {

class TEditorFRM;

// The hourglass for as long as the object lives: a command that ends in an abort or an
// exception still gives the cursor back.
class HourglassCursor {
 public:
  HourglassCursor();
  ~HourglassCursor();
  HourglassCursor(const HourglassCursor&) = delete;
  HourglassCursor& operator=(const HourglassCursor&) = delete;
};

// The windows of build, program and debug that live above this library; the program binds
// them once every form exists. An empty hook does nothing.
struct RunWindows {
  // After a good build: the device window drops a read-only image it shows and, when it is
  // visible, shows the new one.
  std::function<void()> image_built;
  std::function<void()> show_device_window;
  // The list window with tarn's listing of that source; false when it cannot be loaded.
  std::function<bool(const std::string& source)> show_list_file;
  // The built-in assembler's code window: shown, or hidden when it is visible.
  std::function<void()> toggle_code_window;
  // The device window's Program, Verify and Read: off while a programming run holds the link.
  std::function<void(bool enabled)> key_commands_enabled;
};

class RunCommands {
 public:
  RunCommands(TEditorFRM& form, workbench::IdeSession& session);
  ~RunCommands();
  RunCommands(const RunCommands&) = delete;
  RunCommands& operator=(const RunCommands&) = delete;

  void SetWindows(RunWindows windows) { windows_ = std::move(windows); }

  // Builds the file in front of the user; raises the silent abort when the build failed.
  void AssembleCurrent();
  // The file to build: the top file or the visible one, each saved first when it needs it;
  // empty when the user cancelled.
  std::string GetAssemblyFileName();
  // False when the build must not go on: the save was cancelled, refused or failed.
  bool ConfirmSaveBeforeBuild(const std::string& name);

  void RunProgram();
  void RunRun();
  void ShowListOrCode();
  void StartQvSim(bool launch);
  void UpdateRunButtons(bool enabled);

  // The key worker's end-of-run reports (kKeyCancelled ... kKeyDebugHidden), on the UI thread.
  void KeyNotify(int code);
  // A programming run took the link or let it go: the commands that need the key follow.
  void LinkHeldByRun(bool held);
  // The command-line action ended in the silent abort: a failed build or a cancelled question.
  void CommandLineAborted();
  // The command line's clicks have run. False when what they asked for cannot go on and
  // nothing is left that would end the run: a debug run whose key did not answer (neither a
  // programming run nor a debug session holds the key); the exit code is then set.
  bool CommandLineActionGoesOn();
  // What a Program or Debug run hidden by "/h" ends the program with.
  workbench::UnattendedExit ExitCode() const { return exit_code_; }

  QAction* ToolButton(const char* name) const;

 private:
  class Editors;

  void BindCommands();
  void AddToolButtons();
  void ShowBuildBox(build_debug::BuildResult result, const std::string& message);
  void BuildSucceeded(build_debug::BuildResult result);
  void BuildFailed(build_debug::BuildResult result);
  // The built-in assembler's error token, found again in the enhanced editor.
  void MarkBuiltInError();
  std::vector<std::string> ErrorLines() const;
  std::uint8_t CurrentFileType() const;
  void ShowClockNotice();
  void ProgramRequestEnded(build_debug::RunOutcome outcome);
  // "/v": the chip read back and compared with what was programmed.
  workbench::UnattendedExit VerifyProgrammedChip();
  void SetExitCode(workbench::UnattendedExit code);
  std::vector<QAction*> KeyCommands() const;
  // A run button's state; a key command's waits while a run holds the link.
  void SetButtonEnabled(QAction* button, bool enabled);

  TEditorFRM& form_;
  workbench::IdeSession& session_;
  RunWindows windows_;
  std::unique_ptr<QObject> shortcuts_first_;
  // Run's clock notice waits for the programming run to end well.
  bool clock_notice_pending_ = false;
  bool link_held_ = false;
  workbench::UnattendedExit exit_code_ = workbench::kExitDone;
};

}  // namespace gui
