#pragma once
// LegacyEditorPane: the legacy editor as the main window uses it when the enhanced editor is
// off: the editor (workbench/old_editor.h) with its window, its timers and its clock, the
// Edit and File commands that act on it, printing, and the flat source text that the built-in
// assembler reads.
//
// The find/replace form and the two print forms are asked through LegacyEditorDialogs, which
// the program binds to TFindReplaceForm, TPrintForm and TPrintStatusForm.

#include <QPointer>
#include <QPrinter>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "build_debug/builtin_assembler.h"
#include "workbench/gui/old_editor_widget.h"
#include "workbench/old_editor.h"

namespace platform {
class Clipboard;
}
namespace workbench {
class IdeSession;
}

namespace gui {

class TEditorFRM;

// What the print form answered.
struct LegacyPrintChoice {
  bool selection = false;  // "Selection" in place of "All"
  int font_size = 9;
  int sections = 1;
  bool landscape = false;
};

// The print-status form as the printing loop sees it.
class LegacyPrintStatus {
 public:
  virtual ~LegacyPrintStatus() = default;
  // Shown with page 0 of `pages`.
  virtual void Start(int pages) = 0;
  virtual void NextPage() = 0;
  virtual bool Cancelled() = 0;
  virtual void Finish() = 0;
};

struct LegacyEditorDialogs {
  // The find/replace form, its Replace button enabled or not.
  std::function<workbench::LegacyFindChoice(bool replace_enabled)> find_replace;
  // The print form with the line counts; nothing when cancelled.
  std::function<std::optional<LegacyPrintChoice>(const workbench::LegacyPrintCounts&)> print;
  LegacyPrintStatus* print_status = nullptr;
};

class LegacyEditorPane {
 public:
  // `timers` and `clock` stand in for the Qt timers and the steady clock when given.
  LegacyEditorPane(workbench::IdeSession& session, QWidget* parent,
                   workbench::LegacyTimers* timers = nullptr,
                   const platform::Clock* clock = nullptr);
  ~LegacyEditorPane();

  workbench::LegacyEditor& Editor() { return editor_; }
  LegacyEditorWidget& Widget() { return *widget_; }
  void SetDialogs(LegacyEditorDialogs dialogs) { dialogs_ = std::move(dialogs); }
  // The printer that File, Print uses.
  QPrinter& Printer() { return printer_; }

  // FormPaint, FormResize, FormDeactivate.
  void Paint();
  void LayOut();
  void FreeRows() { editor_.FreeRows(); }
  void Deactivate() { editor_.HideLegacyCaret(); }

  // Files: the whole file or nothing, each failure with its box.
  [[nodiscard]] bool OpenFile(const std::string& name);
  [[nodiscard]] bool SaveFile(const std::string& name);
  void Clear() { editor_.ClearBuffer(); }

  // Edit and File commands.
  void EditCut();
  void EditCopy();
  void EditPaste();
  void EditFindReplace();
  void EditReplace();
  void TextBigger();
  void TextSmaller();
  void LegacyPrint();

  // The build: the enhanced editor's text into the flat buffer (nothing: no editor), and the
  // built-in assembler over the flat buffer. A text too large for the buffer is refused with
  // its box and the buffer keeps what it had.
  [[nodiscard]] bool CopyEditorToOldBuffer(const std::optional<std::string>& editor_text);
  [[nodiscard]] bool AssembleOldBuffer(std::string& error_text);
  // After a failed built-in assembly: the token where it failed is selected and shown.
  void ShowErrorToken();

 private:
  platform::Clipboard& Clipboard();
  void SetFontSize(int size);
  void PrintPages(int start, int end, const LegacyPrintChoice& choice);

  workbench::IdeSession& session_;
  workbench::LegacyEditor editor_;
  std::unique_ptr<QtLegacyTimers> own_timers_;
  SteadyClock own_clock_;
  std::unique_ptr<platform::Clipboard> own_clipboard_;
  QPointer<LegacyEditorWidget> widget_;
  LegacyEditorDialogs dialogs_;
  build_debug::BuiltinAssembler assembler_;
  QPrinter printer_;
};

// The legacy editor's commands on the main window's menu: Cut, Copy, Paste, Find/Replace,
// Replace, Text Bigger and Smaller, Save, Print, and Assemble with the built-in assembler.
void BindLegacyEditorCommands(TEditorFRM& form, LegacyEditorPane& pane,
                              workbench::IdeSession& session);

}  // namespace gui
