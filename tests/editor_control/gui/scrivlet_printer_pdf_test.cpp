// Printing through QPrinter into a PDF file: a highlighted source in two columns with a
// header and line numbers, and an unwritable file reported with the document still ended.

#include <gtest/gtest.h>

#include <QFile>
#include <QFont>
#include <QPrinter>
#include <QTemporaryDir>
#include <sstream>

#include "editor_control/gui/qt_print_target.h"
#include "editor_control/gui/qt_text_measurer.h"
#include "editor_control/printer.h"

namespace scrivlet::gui {
namespace {

class PdfPrintTest : public ::testing::Test {
 protected:
  QFont font{"DejaVu Sans Mono", 10};
  QtTextMeasurer screen{font, font};
  TScrivlet memo;
  TScrivletPrinter printer;
  QTemporaryDir dir;
  QPrinter pdf{QPrinter::HighResolution};
  void SetUp() override {
    memo.SetMeasurer(&screen);
    memo.Keywords.AddKeyword("MOVWF", kWholeWord, kStyleBold, 1, 0, kNoColor, 0x800000);
    memo.StartStopKeys.AddStartStopKey(";", "", 0, 0, 2, 0, kNoColor, 0x008000, true);
    std::string text;
    for (int i = 0; i < 300; ++i)
      text += "loop" + std::to_string(i) + ":\tMOVWF\tPORTB\t; line " + std::to_string(i) + "\r\n";
    std::istringstream in(text);
    memo.LoadFromStream(in);
    printer.SetMemoToPrint(&memo);
    pdf.setResolution(300);
    pdf.setOutputFormat(QPrinter::PdfFormat);
  }
};

TEST_F(PdfPrintTest, AHighlightedSourceInTwoColumnsWithHeaderAndNumbersBecomesItsPages) {
  pdf.setOutputFileName(dir.filePath("out.pdf"));
  QtPrintTarget target(pdf, font, font);
  printer.SetColumns(2);
  printer.LineNumbers = true;
  printer.Header = "blink.src page {p}";
  const std::string before = memo.Text();
  const int32_t pages = printer.PageCount(target);
  EXPECT_GT(pages, 1);
  int progress = 0;
  printer.OnProgress = [&](TScrivletPrinter&) { ++progress; };
  printer.Print(target);
  EXPECT_EQ(progress, pages + 1);
  EXPECT_EQ(memo.Text(), before);
  QFile file(dir.filePath("out.pdf"));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  // Every page object, and only those, is "/Type /Page" not followed by "s".
  int found = 0;
  for (qsizetype at = bytes.indexOf("/Type /Page"); at >= 0;
       at = bytes.indexOf("/Type /Page", at + 1))
    found += bytes.mid(at + 11, 1) != "s";
  EXPECT_EQ(found, pages);
}

TEST_F(PdfPrintTest, AFileThatCannotBeWrittenIsReportedAndTheRunStillEnds) {
  pdf.setOutputFileName(dir.filePath("no/such/folder/out.pdf"));
  QtPrintTarget target(pdf, font, font);
  int progress = 0;
  printer.OnProgress = [&](TScrivletPrinter&) { ++progress; };
  EXPECT_THROW(printer.Print(target), EPrinterError);
  EXPECT_EQ(printer.CurrentPage, -1);
  EXPECT_EQ(progress, 1) << "the final progress after the failed start";
}

}  // namespace
}  // namespace scrivlet::gui
