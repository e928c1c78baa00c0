// File, Print of the main window, headless, into PDF files: the enhanced editor through the
// print dialog (answered through the modal-dialog seam) with its ranges, the page count in the
// print-status form, Cancel and a printer that cannot start; the legacy editor through its
// print form. What was printed is read back from the PDF; the editor's text never changes.

#include "workbench/gui/print_commands.h"
#include "resources/code_widget_names.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <regex>

#include "editor_control/gui/scrivlet_widget.h"
#include "pdf_reading.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "services/gui/text.h"
#include "stored_option_start.h"
#include "workbench/gui/old_editor_pane.h"
#include "workbench/gui/print_forms.h"
#include "workbench/session/session.h"

namespace main_menu = widget_names::MainMenu;
namespace print_form = widget_names::PrintForm;

namespace {

using testing_gui::PdfPageCount;
using testing_gui::PdfPageLines;

// The numbers of the "line N" texts of each page, in print order.
std::vector<std::vector<int>> PrintedLineNumbers(
    const std::vector<std::vector<std::string>>& pages) {
  std::vector<std::vector<int>> numbers;
  const std::regex line(R"(line (\d+))");
  for (const auto& page : pages) {
    numbers.emplace_back();
    for (const std::string& text : page)
      for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it)
        numbers.back().push_back(std::stoi((*it)[1]));
  }
  return numbers;
}

class PrintCommandsTest : public testing_gui::StoredOptionStart {
 protected:
  // The print form works on the legacy printer: it goes first.
  ~PrintCommandsTest() override { forms_.reset(); }

  // The start-up with the editor option stored as `enhanced`, and `lines` lines of source
  // open ("line 1" ...); the legacy editor prints into the same PDF file.
  void Start(bool enhanced, int lines) {
    const std::string source = folder_.Path() + "print.src";
    {
      std::ofstream out(source, std::ios::binary);
      for (int i = 1; i <= lines; ++i) out << "\tMOV\tW,#" << i % 256 << "\t; line " << i << "\r\n";
    }
    legacy_printer_.Printer().setOutputFormat(QPrinter::PdfFormat);
    legacy_printer_.Printer().setOutputFileName(gui::ToQt(Pdf()));
    gui::FormServices services;
    services.printer = &legacy_printer_;
    // The first show starts with a new file; the source opens after it.
    StartWithEditorOption(enhanced, std::move(services));
    form_->OpenSourceFile(source);
  }

  std::string Pdf() const { return folder_.Path() + "print.pdf"; }

  // The print dialog's answer: OK into the PDF file with that range, or Cancel.
  void AnswerPrintDialog(QAbstractPrintDialog::PrintRange range, int from = 0, int to = 0,
                         const std::string& file = "") {
    dialogs_.Answer(QDialog::Accepted, [=, this](QDialog& dialog) {
      auto& print = dynamic_cast<QPrintDialog&>(dialog);
      proposed_ = gui::FromQt(print.printer()->outputFileName());
      selection_offered_ = print.testOption(QAbstractPrintDialog::PrintSelection);
      print.printer()->setOutputFormat(QPrinter::PdfFormat);
      print.printer()->setOutputFileName(gui::ToQt(file.empty() ? Pdf() : file));
      print.setPrintRange(range);
      if (range == QAbstractPrintDialog::PageRange) print.setFromTo(from, to);
    });
  }

  scrivlet::TScrivlet& Memo() { return form_->CurrentScrivlet()->Memo(); }
  gui::TPrintStatusForm& Status() { return forms_->PrintStatus(); }

  gui::QtPrintTarget legacy_printer_;
  bool selection_offered_ = false;
  std::string proposed_;
};

TEST_F(PrintCommandsTest, AllPagesThenAPageRangePrintTheEditorsLinesInOrder) {
  Start(true, 200);
  const std::string before = Memo().Text();
  AnswerPrintDialog(QAbstractPrintDialog::AllPages);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  ASSERT_EQ(dialogs_.Dialogs().size(), 1u);
  EXPECT_FALSE(selection_offered_);
  const int pages = PdfPageCount(Pdf());
  ASSERT_GT(pages, 2);
  // The status form counted every page and is gone.
  EXPECT_EQ(gui::FromQt(Status().PagesLabel->text()),
            std::to_string(pages) + " of " + std::to_string(pages));
  EXPECT_FALSE(Status().isVisible());
  EXPECT_EQ(Memo().Text(), before);
  EXPECT_FALSE(Memo().Modified());

  const auto all = PdfPageLines(Pdf());
  if (!all) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: the text is not read back";
  const std::vector<std::vector<int>> numbers = PrintedLineNumbers(*all);
  ASSERT_EQ(numbers.size(), static_cast<std::size_t>(pages));
  std::vector<int> flat;
  for (const auto& page : numbers) flat.insert(flat.end(), page.begin(), page.end());
  std::vector<int> expected(200);
  for (int i = 0; i < 200; ++i) expected[static_cast<std::size_t>(i)] = i + 1;
  EXPECT_EQ(flat, expected);

  // Page 2 alone: the same lines as the second page above.
  AnswerPrintDialog(QAbstractPrintDialog::PageRange, 2, 2);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  EXPECT_EQ(PdfPageCount(Pdf()), 1);
  const auto second = PdfPageLines(Pdf());
  ASSERT_TRUE(second);
  EXPECT_EQ(PrintedLineNumbers(*second), std::vector<std::vector<int>>{numbers[1]});
  EXPECT_EQ(Memo().Text(), before);
}

TEST_F(PrintCommandsTest, PrintingToAFileProposesTheSourcesNameBesideIt) {
  if (!QPrinterInfo::availablePrinterNames().isEmpty())
    GTEST_SKIP() << "a printer is installed: the dialog prints to it, not to a file";
  Start(true, 3);
  AnswerPrintDialog(QAbstractPrintDialog::AllPages, 0, 0, folder_.Path() + "elsewhere.pdf");
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  EXPECT_EQ(proposed_, folder_.Path() + "print.pdf");
  // Each print proposes its own source's name again, whatever the last one chose.
  const std::string other = folder_.Path() + "other.src";
  { std::ofstream(other, std::ios::binary) << "\tNOP\r\n"; }
  form_->OpenSourceFile(other);
  AnswerPrintDialog(QAbstractPrintDialog::AllPages);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  EXPECT_EQ(proposed_, folder_.Path() + "other.pdf");
}

TEST_F(PrintCommandsTest, ASelectionPrintsItsLinesAndLeavesTheTextByteForByte) {
  Start(true, 30);
  const std::string before = Memo().Text();
  // From the middle of line 10 to the middle of line 12.
  const std::size_t start = before.find("; line 10\r");
  const std::size_t stop = before.find("line 12\r") + 4;
  Memo().SetSelStart(static_cast<int32_t>(start));
  Memo().SetSelLength(static_cast<int32_t>(stop - start));
  AnswerPrintDialog(QAbstractPrintDialog::Selection);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  EXPECT_TRUE(selection_offered_);
  EXPECT_EQ(PdfPageCount(Pdf()), 1);
  EXPECT_EQ(Memo().Text(), before);
  EXPECT_EQ(Memo().SelLower(), static_cast<int32_t>(start));
  EXPECT_EQ(Memo().SelUpper(), static_cast<int32_t>(stop));
  EXPECT_FALSE(Memo().Modified());
  const auto printed = PdfPageLines(Pdf());
  if (!printed)
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: the text is not read back";
  ASSERT_EQ(printed->size(), 1u);
  ASSERT_EQ((*printed)[0].size(), 3u);
  // Cut where the selection begins and ends.
  EXPECT_EQ(platform::TrimBlanks((*printed)[0][0]), "; line 10");
  EXPECT_EQ(PrintedLineNumbers(*printed), (std::vector<std::vector<int>>{{10, 11}}));
  EXPECT_EQ(platform::TrimBlanks((*printed)[0][2]).substr(0, 3), "MOV");
}

TEST_F(PrintCommandsTest, CancelInTheDialogOrTheStatusFormAndAPrinterThatCannotStart) {
  Start(true, 200);
  dialogs_.Answer(QDialog::Rejected);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  EXPECT_FALSE(std::filesystem::exists(Pdf()));

  // Cancel pressed while the first page prints: the job stops there.
  AnswerPrintDialog(QAbstractPrintDialog::AllPages);
  QTimer::singleShot(0, Status().CancelButton, &QPushButton::click);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  EXPECT_TRUE(Status().Cancelled());
  EXPECT_EQ(gui::FromQt(Status().PagesLabel->text()).substr(0, 5), "1 of ");
  EXPECT_FALSE(Status().isVisible());
  EXPECT_LE(PdfPageCount(Pdf()), 1);

  AnswerPrintDialog(QAbstractPrintDialog::AllPages, 0, 0, folder_.Path() + "no/such/x.pdf");
  boxes_.Answer(platform::kAnswerOk);
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  ASSERT_EQ(boxes_.Boxes().size(), 1u);
  EXPECT_EQ(boxes_.Boxes()[0].caption, "Print Error");
  EXPECT_EQ(boxes_.Boxes()[0].text, "Couldn't print on:\r\r" + folder_.Path() + "no/such/x.pdf");
  EXPECT_FALSE(Status().isVisible());
}

TEST_F(PrintCommandsTest, TheLegacyEditorPrintsThroughItsPrintForm) {
  Start(false, 200);
  ASSERT_TRUE(form_->UsesLegacyEditor());
  const std::string before = form_->OldEditor().Editor().Text();
  int sections = 0;
  dialogs_.Answer(QDialog::Accepted, [&](QDialog& dialog) {
    auto& print = dynamic_cast<gui::TPrintForm&>(dialog);
    print.SectionsSpinEdit->setValue(2);
    sections = print.SectionsSpinEdit->value();
  });
  form_->ClickMenuItem(main_menu::FilePrintMENUITM);
  ASSERT_EQ(dialogs_.Dialogs().size(), 1u);
  EXPECT_EQ(dialogs_.Dialogs()[0].name, print_form::PrintForm);
  EXPECT_EQ(sections, 2);
  EXPECT_EQ(form_->OldEditor().Editor().Text(), before);
  const int pages = PdfPageCount(Pdf());
  ASSERT_GE(pages, 1);
  const auto printed = PdfPageLines(Pdf());
  if (!printed)
    GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: the text is not read back";
  ASSERT_EQ(printed->size(), static_cast<std::size_t>(pages));
  // Two sections side by side: every line once, the left section's before the right one's.
  std::vector<int> all;
  for (const auto& page : PrintedLineNumbers(*printed))
    all.insert(all.end(), page.begin(), page.end());
  std::sort(all.begin(), all.end());
  std::vector<int> expected(200);
  for (int i = 0; i < 200; ++i) expected[static_cast<std::size_t>(i)] = i + 1;
  EXPECT_EQ(all, expected);
}

}  // namespace
