#pragma once
// PrintCommands: the main window's File, Print. With the enhanced editor it asks the print
// dialog (through the modal-dialog seam) for the printer and the range and prints the editor
// in front with the window's TScrivletPrinter, counting the pages in TPrintStatusForm; with the
// legacy editor it is the legacy editor's own print (TPrintForm, TPrintStatusForm).
//
// The printer prints from a copy of its own, so a print never changes the editor's text. It
// holds the editor only while it prints: an editor closed later leaves nothing behind.

#include <QPrinter>
#include <memory>

#include "editor_control/printer.h"

namespace scrivlet::gui {
class TScrivlet;
}
namespace workbench {
class IdeSession;
}

namespace gui {

class TEditorFRM;
class TPrintStatusForm;

class PrintCommands {
 public:
  // Binds File, Print of `form`.
  PrintCommands(TEditorFRM& form, workbench::IdeSession& session);
  ~PrintCommands();
  PrintCommands(const PrintCommands&) = delete;
  PrintCommands& operator=(const PrintCommands&) = delete;

  void FilePrint();
  scrivlet::TScrivletPrinter& Printer() { return printer_; }
  // The printer the print dialog sets up; made at the first print.
  QPrinter& Device();

 private:
  void PrintEditor(scrivlet::gui::TScrivlet& editor);
  TPrintStatusForm* StatusForm() const;

  TEditorFRM& form_;
  workbench::IdeSession& session_;
  std::unique_ptr<QPrinter> device_;
  scrivlet::TScrivletPrinter printer_;
};

// What the printed copy of a source looks like: its comments in plain window text and the
// whole text bold in a fixed-pitch font (the hidden copy's OnFormatPrint).
void FormatPrintedSource(scrivlet::TScrivlet& copy);

}  // namespace gui
