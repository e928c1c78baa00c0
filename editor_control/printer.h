#pragma once
// TScrivletPrinter: prints the text of a TScrivlet with its highlighting, in columns, with
// header, footer and line or paragraph numbers, on a print target (the Qt binding's is a
// QPrinter, a real printer or a PDF file). It lays the text out again at the printer's
// resolution on a hidden copy, so that the printed line breaks fit the page; the copy owns
// private texts, so printing never touches the editor's text.
//
// invariant: while the hidden copy exists it registers for the source's text changes and
//            is dropped by any of them; the pagination belongs to the copy and the printer
//            metrics it was made for.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor_control/paint.h"
#include "editor_control/scrivlet.h"

namespace scrivlet {

// A font the printer draws a header or footer in.
struct TPrintFont {
  std::string Name = "Arial";
  int32_t Size = 10;  // points
  uint8_t Style = 0;  // bold, italic, underline, strikeout bits
  int32_t Color = 0;  // TColor
};

// The printer as the printing logic sees it: sizes in printer pixels of the whole paper.
struct TPrinterMetrics {
  int32_t PhysWidth = 0, PhysHeight = 0;  // the paper
  int32_t OffsetX = 0, OffsetY = 0;       // where the printable area begins
  int32_t DpiX = 0, DpiY = 0;
};

class TScrivPrintTarget {
 public:
  virtual ~TScrivPrintTarget() = default;
  virtual TPrinterMetrics Metrics() = 0;
  // The editor's fonts measured at the printer's resolution.
  virtual TTextMeasurer& Measurer() = 0;
  // The height of "A" in the editor's font at the printer's resolution.
  virtual int32_t HeightOfA() = 0;
  virtual void BeginDoc(const std::string& title) = 0;
  virtual void NewPage() = 0;
  virtual void EndDoc() = 0;
  // Drawing on the current page, in paper coordinates.
  virtual TScrivCanvas& Canvas() = 0;
  // Header or footer text, word-wrapped in `band`, aligned, not clipped.
  virtual void DrawBandText(const TScrivRect& band, std::string_view text, TAlignment align, const TPrintFont& font) = 0;
};

class TScrivletPrinter {
 public:
  TScrivletPrinter();
  ~TScrivletPrinter();
  TScrivletPrinter(const TScrivletPrinter&) = delete;
  TScrivletPrinter& operator=(const TScrivletPrinter&) = delete;

  // --- published properties (lengths in inches) ---
  TScrivlet* GetMemoToPrint() const { return memo_; }
  void SetMemoToPrint(TScrivlet* memo);
  int32_t GetColumns() const { return columns_; }
  void SetColumns(int32_t n);  // below 1 becomes 1
  float GetGutterWidth() const { return gutter_; }
  void SetGutterWidth(float v) { Stale(gutter_, v); }
  float GetMarginLeft() const { return marginLeft_; }
  void SetMarginLeft(float v) { Stale(marginLeft_, v); }
  float GetMarginRight() const { return marginRight_; }
  void SetMarginRight(float v) { Stale(marginRight_, v); }
  float GetMarginTop() const { return marginTop_; }
  void SetMarginTop(float v) { Stale(marginTop_, v); }
  float GetMarginBottom() const { return marginBottom_; }
  void SetMarginBottom(float v) { Stale(marginBottom_, v); }
  // 0 or more: inches; negative: that many times the height of "A".
  float GetLineSpacing() const { return lineSpacing_; }
  void SetLineSpacing(float v) { Stale(lineSpacing_, v); }
  bool GetWordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on);
  bool GetPlainText() const { return plainText_; }
  void SetPlainText(bool on);
  bool LineNumbers = false;
  bool ParagraphNumbers = false;  // wins over LineNumbers
  std::string Header;             // "{p}" stands for the page number
  std::string Footer;
  float HeaderYPos = 0.4f;  // top of the header band from the paper's top
  float FooterYPos = 0.4f;  // top of the footer band from the paper's bottom
  TAlignment HeaderAlign = TAlignment::taLeftJustify;
  TAlignment FooterAlign = TAlignment::taLeftJustify;
  TPrintFont HeaderFont;
  TPrintFont FooterFont;
  std::string PreviewTitle;  // kept only: no preview is shown
  int32_t StartingLineNumber = 1;
  int32_t StartingPageNumber = 1;
  std::string Title = "QVKey";  // the print job's title: the application's
  std::function<void(TScrivlet&)> OnFormatPrint;  // Sender: the hidden copy
  std::function<void(TScrivletPrinter&)> OnProgress;
  std::function<void(TScrivletPrinter&)> OnPreview;  // kept only

  // --- public state ---
  int32_t CurrentPage = -1;
  bool Aborted = false;
  // Pages of the current pagination (paginates for `target` when needed).
  int32_t PageCount(TScrivPrintTarget& target);
  int32_t LinesPerPage() const { return linesPerPage_; }
  double LinePitch() const { return pitch_; }

  // --- printing ---
  void Print(TScrivPrintTarget& target);
  void PrintSelection(TScrivPrintTarget& target);
  void PrintRange(TScrivPrintTarget& target, int32_t fromPage, int32_t toPage);  // from 0
  // By the print dialog's choice; pages numbered from 1 as the dialog shows them.
  enum class TPrintRange { prAllPages, prSelection, prPageNums };
  void PrintWithDialog(TScrivPrintTarget& target, TPrintRange range, int32_t fromPage, int32_t toPage);
  void CancelPrint() { Aborted = true; }

  // The hidden copy (nullptr until needed), for tests and OnFormatPrint.
  TScrivlet* HiddenCopy() const { return copy_.get(); }
  // The display line printed at padded line q, or -1 for a blank that fills a forced page.
  int32_t DisplayLineAt(int32_t q) const;

 private:
  template <typename T>
  void Stale(T& field, T value) {
    field = value;
    paginated_ = false;
  }
  void DropCopy();
  void BuildCopy(bool selection);
  void Paginate(TScrivPrintTarget& target);
  // toPage -1: to the last page.
  void PrintPages(TScrivPrintTarget& target, int32_t fromPage, int32_t toPage, bool selection);
  void PrintColumn(TScrivPrintTarget& target, int32_t page, int32_t column);
  void PrintBand(TScrivPrintTarget& target, int32_t page, bool footer);

  TScrivlet* memo_ = nullptr;
  int32_t columns_ = 1;
  float gutter_ = 0.5f;
  float marginLeft_ = 0.75f, marginRight_ = 0.5f, marginTop_ = 0.75f, marginBottom_ = 0.75f;
  float lineSpacing_ = -1.5f;
  bool wordWrap_ = true;
  bool plainText_ = false;

  // The hidden copy and its pagination.
  std::unique_ptr<TScrivlet> copy_;
  bool copyOfSelection_ = false;
  int32_t firstSourcePara_ = 0;
  std::vector<int32_t> forcedBreakParas_;  // paragraphs of the copy that began with a form feed
  bool paginated_ = false;
  TPrinterMetrics metrics_;
  int32_t heightOfA_ = 0;
  int32_t linesPerPage_ = 1;
  double pitch_ = 1;
  std::vector<int32_t> breakLines_;   // display line of each forced break
  std::vector<int32_t> breakBlanks_;  // the blank lines each break adds
  int32_t totalBlanks_ = 0;
  // The source's change listener finds the printer through this; gone with the printer.
  std::shared_ptr<TScrivletPrinter*> self_;
};

}  // namespace scrivlet
