#pragma once
// The legacy editor's print options (TPrintForm) and the window that counts the pages while a
// job prints (TPrintStatusForm), over a printer reached through PrintTarget.
//
// A caller prints like this:
//   TPrintForm::Job job{has_selection, font_size, sections, lines, selected_lines};
//   if (auto chosen = print_form.Execute(job)) {        // runs through the modal seam
//     status.Start(chosen->layout.pages);
//     for each page: status.NextPage(); if (status.Cancelled()) break; ...
//     status.Finish();
//   }
// The pages go to QtPrintTarget::Printer(), which Execute has set up with the chosen printer,
// orientation and font.

#include <QDialog>
#include <QPrinter>
#include <optional>
#include <string>
#include <vector>

#include "workbench/small_dialogs.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace platform {
class ModalDialogService;
}

namespace gui {

class RadioGroup;

// What the print form needs of a printer: which there are, and how big a page and a character
// of a font are on it, in the printer's pixels.
class PrintTarget {
 public:
  virtual ~PrintTarget() = default;
  virtual std::vector<std::string> PrinterNames() const = 0;
  // The index of the printer in use in PrinterNames, or -1.
  virtual int CurrentPrinter() const = 0;
  virtual bool Landscape() const = 0;
  virtual void Apply(int printer, bool landscape) = 0;
  struct Metrics {
    int page_width = 0;
    int page_height = 0;
    int char_width = 0;   // of "X"
    int char_height = 0;  // of "X"
  };
  virtual Metrics Measure(const std::string& font_name, int font_size) const = 0;
};

// The machine's printers through Qt. Without any printer the job goes to a PDF file, the one
// entry of the list then.
class QtPrintTarget : public PrintTarget {
 public:
  static constexpr char kPrintToFile[] = "Print to File (PDF)";
  QtPrintTarget();
  std::vector<std::string> PrinterNames() const override;
  int CurrentPrinter() const override;
  bool Landscape() const override;
  void Apply(int printer, bool landscape) override;
  Metrics Measure(const std::string& font_name, int font_size) const override;
  QPrinter& Printer() { return printer_; }

 private:
  mutable QPrinter printer_;
};

class TPrintForm : public QDialog {
 public:
  // What the caller knows of the text.
  struct Job {
    bool has_selection = false;
    int font_size = 9;
    int sections = 1;
    int line_count = 0;            // of the whole text
    int selection_line_count = 0;  // of the lines the selection touches
  };
  // What the user chose, and the page layout for it.
  struct Choice {
    bool selection = false;  // print the selected lines only
    int font_size = 9;
    int sections = 1;
    workbench::PrintLayout layout;
  };

  // `font_name` is the editor font's (EditorFontName), read at each layout.
  TPrintForm(PrintTarget& printer, const std::string& font_name,
             platform::ModalDialogService& dialogs, QWidget* owner = nullptr);

  // Shows the form modally; the choice on "Okay", nothing on "Cancel".
  std::optional<Choice> Execute(const Job& job);

  // Applies the controls to the printer and lays out the page again.
  void UpdateSettings();
  const workbench::PrintLayout& Layout() const { return layout_; }

  QComboBox* PrinterComboBox;
  RadioGroup* RangeGroup;
  RadioGroup* OrientationGroup;
  QSpinBox* FontSizeSpinEdit;
  QSpinBox* SectionsSpinEdit;
  QLabel* SizeLabel;
  QLabel* CharacterLabel;
  QLabel* PagesLabel;
  QPushButton* OkayButton;
  QPushButton* CancelButton;

 private:
  void FormActivate();

  PrintTarget& printer_;
  const std::string& font_name_;
  platform::ModalDialogService& dialogs_;
  Job job_;
  workbench::PrintLayout layout_;
  bool filling_ = false;
};

// Counts the pages while a job prints; Cancel asks the printing loop to stop.
class TPrintStatusForm : public QDialog {
 public:
  explicit TPrintStatusForm(QWidget* owner = nullptr);

  // Shows the form for a job of `pages` pages, at page 0.
  void Start(int pages);
  // A new page begins.
  void NextPage();
  bool Cancelled() const { return cancelled_; }
  void Finish() { hide(); }

  QLabel* PagesLabel;
  QPushButton* CancelButton;

 private:
  void ShowPage();

  int pages_ = 0;
  int page_ = 0;
  bool cancelled_ = false;
};

}  // namespace gui
