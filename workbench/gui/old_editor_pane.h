#pragma once
// LegacyEditorPane: the legacy editor as the main window uses it when the enhanced editor is
// off: the editor (workbench/old_editor.h) with its window, its timers and its clock, the
// Edit and File commands that act on it, printing, and the flat source text that the built-in
// assembler reads.
//
// Find/replace asks TFindReplaceForm; printing asks TPrintForm, prints on the printer it set
// up and counts the pages in TPrintStatusForm. The forms come from the main window's IdeForms
// once they exist; before that, and without them, these commands do nothing.

#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "build_debug/builtin/builtin_assembler.h"
#include "services/replace_file.h"
#include "workbench/gui/old_editor_widget.h"
#include "workbench/gui/print_forms.h"
#include "workbench/old_editor.h"

namespace platform {
class Clipboard;
}
namespace workbench {
class IdeSession;
}

namespace gui {

class IdeForms;
class TEditorFRM;

class LegacyEditorPane {
 public:
  // `timers` and `clock` stand in for the Qt timers and the steady clock when given.
  LegacyEditorPane(workbench::IdeSession& session, QWidget* parent,
                   workbench::LegacyTimers* timers = nullptr,
                   const platform::Clock* clock = nullptr);
  ~LegacyEditorPane();

  workbench::LegacyEditor& Editor() { return editor_; }
  LegacyEditorWidget& Widget() { return *widget_; }
  // Where the forms are found when a command needs them.
  void SetForms(std::function<IdeForms*()> forms) { forms_ = std::move(forms); }

  // FormPaint, FormResize, FormDeactivate.
  void Paint();
  void LayOut();
  void FreeRows() { editor_.FreeRows(); }
  void Deactivate() { editor_.HideLegacyCaret(); }

  // Files: the whole file or nothing, each failure with its box. The buffer remembers the
  // file it was loaded from or saved to, and that file's time then.
  [[nodiscard]] bool OpenFile(const std::string& name);
  [[nodiscard]] bool SaveFile(const std::string& name,
                              const workbench::FileBytesWriter& writer = workbench::WriteAllBytes);
  // An empty buffer of no file.
  void Clear();
  // Text of another editor, of `file` (empty: none) as it was loaded at `file_time`, taken
  // over with its modified state; false (told) when it does not fit and the buffer is cleared.
  [[nodiscard]] bool TakeText(std::string_view file_bytes, const std::string& file,
                              std::filesystem::file_time_type file_time, bool modified);
  // The file the buffer holds; empty for a new text.
  const std::string& FileName() const { return file_name_; }
  // The file was written by someone else since the buffer was loaded or saved.
  bool NewerOnDisk() const;
  // Whether the file the buffer was loaded from or saved to has gone from disk since (another
  // program deleted, moved or renamed it). True once: the file's time is forgotten with it.
  bool GoneFromDisk();

  // Edit and File commands.
  void EditCut();
  void EditCopy();
  void EditPaste();
  // Find and Find Next search on from the caret with what the find/replace form holds,
  // without asking it; Find Next does nothing while it holds no text.
  void EditFind();
  void EditFindNext();
  void EditFindReplace();
  void EditReplace();
  void TextBigger();
  void TextSmaller();
  void LegacyPrint();

  // The build: the enhanced editor's text into the flat buffer (nothing: no editor), and the
  // built-in assembler over the flat buffer. A text too large for the buffer is refused: the
  // buffer keeps what it had, and the image fails with Refusal(), which names the built-in
  // assembler's limit; the assembly that follows such a copy fails with that text instead of
  // building what the buffer held before.
  [[nodiscard]] bool CopyEditorToOldBuffer(const std::optional<std::string>& editor_text);
  [[nodiscard]] bool AssembleOldBuffer(std::string& error_text);
  const std::string& Refusal() const { return refusal_; }
  // After a failed built-in assembly: the token where it failed is selected and shown.
  void ShowErrorToken();

 private:
  // The image fails with the refusal of a text too large for the buffer.
  void RefuseTooLargeText();
  platform::Clipboard& Clipboard();
  void SetFontSize(int size);
  // The file a job without a printer goes to, asked for; false when the user cancelled.
  bool ChoosePrintFile(QPrinter& printer);
  void PrintPages(QPrinter& printer, int start, int end, const TPrintForm::Choice& choice,
                  TPrintStatusForm& status);

  workbench::IdeSession& session_;
  workbench::LegacyEditor editor_;
  std::unique_ptr<QtLegacyTimers> own_timers_;
  SteadyClock own_clock_;
  std::unique_ptr<platform::Clipboard> own_clipboard_;
  QPointer<LegacyEditorWidget> widget_;
  std::function<IdeForms*()> forms_;
  std::string file_name_;
  std::filesystem::file_time_type file_time_{};
  bool copy_refused_ = false;
  std::string refusal_;  // the image's error text after a refused copy
  build_debug::BuiltinAssembler assembler_;
  // The print form's last font size and sections, offered again the next time.
  int print_font_size_ = 9;
  int print_sections_ = 1;
};

// The legacy editor's commands on the main window's menu: Cut, Copy, Paste, Find/Replace,
// Replace, Text Bigger and Smaller.
void BindLegacyEditorCommands(TEditorFRM& form, LegacyEditorPane& pane);

}  // namespace gui
