// Opens a source in one TScrivlet with the IDE's kind of keyword colours (bold mnemonics,
// ";" comments, quoted strings), for looking at the widget. Not installed.
//
//   scrivlet_demo FILE [--select FROM,TO] [--block COL1,PAR1,COL2,PAR2] [--marks]
//                      [--right-line N] [--shot PNG] [--pdf PDF]
// --shot renders the window into PNG after it has shown and quits; --pdf prints the text in
// two columns with a header and line numbers into PDF and quits.

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>

#include "editor_control/gui/qt_print_target.h"
#include "editor_control/gui/scrivlet_widget.h"
#include "editor_control/printer.h"

namespace {

const char* const kMnemonics[] = {
    "MOVWF",   "MOVF",   "MOVLW",  "ADDWF", "ANDWF",  "CLRF",  "CLRW",   "COMF",  "DECF",
    "DECFSZ",  "INCF",   "INCFSZ", "IORWF", "RLF",    "RRF",   "SUBWF",  "SWAPF", "XORWF",
    "BCF",     "BSF",    "BTFSC",  "BTFSS", "ANDLW",  "CALL",  "CLRWDT", "GOTO",  "IORLW",
    "RETLW",   "SLEEP",  "XORLW",  "NOP",   "OPTION", "TRIS",  "EQU",    "ORG",   "END",
    "INCLUDE", "DEVICE", "FUSE",   "RES",   "DW",     "MACRO", "ENDM"};

bool Pair(const QStringList& args, const QString& name, QList<int>& out, int count) {
  const auto at = args.indexOf(name);
  if (at < 0 || at + 1 >= args.size()) return false;
  out.clear();
  for (const QString& part : args[at + 1].split(',')) out << part.toInt();
  return out.size() == count;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2) {
    std::fprintf(stderr,
                 "usage: scrivlet_demo FILE [--select A,B] [--block C1,P1,C2,P2] [--marks] "
                 "[--right-line N] [--shot PNG]\n");
    return 2;
  }
  QMainWindow window;
  auto* editor = new scrivlet::gui::TScrivlet(&window);
  window.setCentralWidget(editor);
  window.setWindowTitle("TScrivlet - " + args[1]);
  window.resize(760, 520);
  scrivlet::TScrivlet& memo = editor->Memo();
  editor->SetFonts(QFont("DejaVu Sans Mono", 10), QFont("DejaVu Sans", 10));
  memo.SetScrollBars(scrivlet::TScrollStyle::ssBoth);
  memo.SetWordWrap(false);
  memo.SetStaticFormat(false);
  // The IDE's colours: mnemonics bold in the code colour, comments in the comment colour,
  // strings in the window text colour.
  for (const char* k : kMnemonics)
    memo.Keywords.AddKeyword(k, scrivlet::kWholeWord, scrivlet::kStyleBold, 1, 0,
                             scrivlet::TScrivlet::kClWindow, 0x800000);
  memo.StartStopKeys.AddStartStopKey(";", "", 0, 0, 2, 0, scrivlet::kNoColor, 0x008000, true);
  memo.StartStopKeys.AddStartStopKey("\"", "\"", 0, 0, 3, 0, scrivlet::kNoColor,
                                     scrivlet::TScrivlet::kClWindowText, true);
  memo.SetOptions(memo.GetOptions() | scrivlet::zkoBlockSelection | scrivlet::zkoAutoIndent);
  std::ifstream in(args[1].toStdString(), std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot open %s\n", qPrintable(args[1]));
    return 1;
  }
  memo.LoadFromStream(in);
  memo.SetRightLinePos(
      args.contains("--right-line") ? args[args.indexOf("--right-line") + 1].toInt() : 80);
  if (args.contains("--marks"))
    memo.SetShowNonPrintChars(scrivlet::zkNPSpace | scrivlet::zkNPTab | scrivlet::zkNPReturn);
  QList<int> v;
  if (Pair(args, "--select", v, 2)) memo.Select(v[0], v[1]);
  if (Pair(args, "--block", v, 4)) memo.SelectColumnBlock(v[0], v[1], v[2], v[3]);
  if (const auto pdf = args.indexOf("--pdf"); pdf >= 0 && pdf + 1 < args.size()) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setResolution(300);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(args[pdf + 1]);
    scrivlet::gui::QtPrintTarget target(printer, editor->Font(), QFont("DejaVu Sans", 10));
    scrivlet::TScrivletPrinter print;
    print.SetMemoToPrint(&memo);
    print.SetColumns(2);
    print.LineNumbers = true;
    print.SetGutterWidth(0.8f);
    print.Header = args[1].toStdString() + " - page {p}";
    print.HeaderAlign = scrivlet::TAlignment::taCenter;
    print.Footer = "QVKey";
    print.FooterAlign = scrivlet::TAlignment::taRightJustify;
    try {
      print.Print(target);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
      return 1;
    }
    return 0;
  }
  editor->OnError = [&window](const std::string& text) {
    QMessageBox::warning(&window, "TScrivlet", QString::fromStdString(text));
  };
  window.show();
  window.activateWindow();
  editor->setFocus();
  const auto shot = args.indexOf("--shot");
  if (shot >= 0 && shot + 1 < args.size()) {
    QTimer::singleShot(1500, [&] {
      if (!window.grab().save(args[shot + 1]))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[shot + 1]));
      app.quit();
    });
  }
  return app.exec();
}
