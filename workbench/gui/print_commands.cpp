#include "workbench/gui/print_commands.h"

#include <QApplication>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <algorithm>

#include "editor_control/gui/qt_print_target.h"
#include "editor_control/gui/scrivlet_widget.h"
#include "platform/modal_dialogs.h"
#include "resources/code_widget_names.h"
#include "resources/string_ids.h"
#include "services/file_routines.h"
#include "services/gui/text.h"
#include "workbench/gui/editor_form.h"
#include "workbench/gui/ide_forms.h"
#include "workbench/gui/main_files.h"
#include "workbench/gui/old_editor_pane.h"
#include "workbench/gui/print_forms.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;
namespace editor_frm = widget_names::EditorFRM;

namespace gui {
namespace {

namespace ids = string_ids::EditorUnit;
using scrivlet::TScrivletPrinter;
using Range = TScrivletPrinter::TPrintRange;

// Lets go of the editor and of the job's progress handler however the print ends.
class PrintGuard {
 public:
  PrintGuard(TScrivletPrinter& printer, scrivlet::TScrivlet& memo) : printer_(printer) {
    printer_.SetMemoToPrint(&memo);
  }
  ~PrintGuard() {
    printer_.SetMemoToPrint(nullptr);
    printer_.OnProgress = nullptr;
  }
  PrintGuard(const PrintGuard&) = delete;
  PrintGuard& operator=(const PrintGuard&) = delete;

 private:
  TScrivletPrinter& printer_;
};

}  // namespace

void FormatPrintedSource(scrivlet::TScrivlet& copy) {
  copy.StartStopKeys.Clear();
  copy.StartStopKeys.AddStartStopKey(";", "", 0, 0, 0, 0, scrivlet::TScrivlet::kClWindow,
                                     scrivlet::TScrivlet::kClWindowText, true);
  copy.SetFontStyle(scrivlet::kStyleBold);
}

PrintCommands::PrintCommands(TEditorFRM& form, workbench::IdeSession& session)
    : form_(form), session_(session) {
  form_.SetMenuHandler(main_menu::FilePrintMENUITM, [this] { FilePrint(); });
  printer_.OnFormatPrint = FormatPrintedSource;
}

PrintCommands::~PrintCommands() = default;

QPrinter& PrintCommands::Device() {
  if (!device_) {
    device_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Without a printer on the machine the dialog offers a PDF file, as the legacy editor's
    // print does.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
      device_->setOutputFormat(QPrinter::PdfFormat);
  }
  return *device_;
}

TPrintStatusForm* PrintCommands::StatusForm() const {
  IdeForms* forms = form_.Forms();
  return forms ? &forms->PrintStatus() : nullptr;
}

void PrintCommands::FilePrint() {
  if (form_.UsesLegacyEditor()) {
    form_.OldEditor().LegacyPrint();
    return;
  }
  if (scrivlet::gui::TScrivlet* editor = form_.CurrentScrivlet()) PrintEditor(*editor);
}

void PrintCommands::PrintEditor(scrivlet::gui::TScrivlet& editor) {
  scrivlet::TScrivlet& memo = editor.Memo();
  QPrinter& device = Device();
  // A range chosen for an earlier print does not carry over to this one.
  device.setPrintRange(QPrinter::AllPages);
  // A print to a file goes beside its source under the source's name, whatever the last
  // print chose.
  if (device.outputFormat() == QPrinter::PdfFormat)
    device.setOutputFileName(NameToQt(workbench::PrintFileFor(form_.Files().CurrentFileName())));
  QPrintDialog dialog(&device, &form_);
  dialog.setObjectName(editor_frm::PrintDialog);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, memo.SelLower() != memo.SelUpper());
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  if (session_.Dialogs().Run(dialog) != QDialog::Accepted) return;

  Range range = Range::prAllPages;
  int from = 0;
  int to = 0;
  if (dialog.printRange() == QAbstractPrintDialog::Selection) {
    range = Range::prSelection;
  } else if (dialog.printRange() == QAbstractPrintDialog::PageRange && dialog.fromPage() > 0) {
    range = Range::prPageNums;
    from = dialog.fromPage();
    to = std::max(dialog.toPage(), from);
  }

  QFont font = editor.Font();
  font.setFixedPitch(true);
  font.setStyleHint(QFont::TypeWriter);
  scrivlet::gui::QtPrintTarget target(device, font, font);
  printer_.Title = FromQt(QApplication::applicationName());
  TPrintStatusForm* status = StatusForm();
  bool started = false;
  printer_.OnProgress = [&](TScrivletPrinter& printer) {
    if (!status) return;
    if (printer.CurrentPage < 0) {
      status->Finish();
      return;
    }
    if (!started) {
      started = true;
      // Modal while the job prints: its Cancel can be pressed between pages, and nothing
      // else reaches the editors meanwhile.
      status->setWindowModality(Qt::ApplicationModal);
      status->Start(printer.PageCount(target));
    }
    status->NextPage();
    QCoreApplication::processEvents();
    if (status->Cancelled()) {
      printer.CancelPrint();
      status->Finish();
    }
  };
  const PrintGuard guard(printer_, memo);
  try {
    printer_.PrintWithDialog(target, range, from, to);
  } catch (const scrivlet::gui::EPrinterError&) {
    const QString where =
        device.outputFileName().isEmpty() ? device.printerName() : device.outputFileName();
    session_.Messages().MsgBoxById1(ids::SCU_CANNOT_PRINT, ids::SCU_CANNOT_PRINT_CAPTION,
                                    FromQt(where));
  }
}

}  // namespace gui
