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
  virtual void DrawBandText(const TScrivRect& band, std::string_view text, TAlignment align,
                            const TPrintFont& font) = 0;
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
  float GetMarginLeft() const { return margin_left_; }
  void SetMarginLeft(float v) { Stale(margin_left_, v); }
  float GetMarginRight() const { return margin_right_; }
  void SetMarginRight(float v) { Stale(margin_right_, v); }
  float GetMarginTop() const { return margin_top_; }
  void SetMarginTop(float v) { Stale(margin_top_, v); }
  float GetMarginBottom() const { return margin_bottom_; }
  void SetMarginBottom(float v) { Stale(margin_bottom_, v); }
  // 0 or more: inches; negative: that many times the height of "A".
  float GetLineSpacing() const { return line_spacing_; }
  void SetLineSpacing(float v) { Stale(line_spacing_, v); }
  bool GetWordWrap() const { return word_wrap_; }
  void SetWordWrap(bool on);
  bool GetPlainText() const { return plain_text_; }
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
  std::string Title = "QVKey";                    // the print job's title: the application's
  std::function<void(TScrivlet&)> OnFormatPrint;  // Sender: the hidden copy
  std::function<void(TScrivletPrinter&)> OnProgress;
  std::function<void(TScrivletPrinter&)> OnPreview;  // kept only

  // --- public state ---
  int32_t CurrentPage = -1;
  bool Aborted = false;
  // Pages of the current pagination (paginates for `target` when needed).
  int32_t PageCount(TScrivPrintTarget& target);
  int32_t LinesPerPage() const { return lines_per_page_; }
  double LinePitch() const { return pitch_; }

  // --- printing ---
  void Print(TScrivPrintTarget& target);
  void PrintSelection(TScrivPrintTarget& target);
  void PrintRange(TScrivPrintTarget& target, int32_t from_page, int32_t to_page);  // from 0
  // By the print dialog's choice; pages numbered from 1 as the dialog shows them.
  enum class TPrintRange { prAllPages, prSelection, prPageNums };
  void PrintWithDialog(TScrivPrintTarget& target, TPrintRange range, int32_t from_page,
                       int32_t to_page);
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
  // to_page -1: to the last page.
  void PrintPages(TScrivPrintTarget& target, int32_t from_page, int32_t to_page, bool selection);
  void PrintColumn(TScrivPrintTarget& target, int32_t page, int32_t column);
  void PrintBand(TScrivPrintTarget& target, int32_t page, bool footer);

  TScrivlet* memo_ = nullptr;
  int32_t columns_ = 1;
  float gutter_ = 0.5f;
  float margin_left_ = 0.75f, margin_right_ = 0.5f, margin_top_ = 0.75f, margin_bottom_ = 0.75f;
  float line_spacing_ = -1.5f;
  bool word_wrap_ = true;
  bool plain_text_ = false;

  // The hidden copy and its pagination.
  std::unique_ptr<TScrivlet> copy_;
  bool copy_of_selection_ = false;
  int32_t first_source_para_ = 0;
  std::vector<int32_t> forced_break_paras_;  // paragraphs of the copy that began with a form feed
  bool paginated_ = false;
  TPrinterMetrics metrics_;
  int32_t height_of_a_ = 0;
  int32_t lines_per_page_ = 1;
  double pitch_ = 1;
  std::vector<int32_t> break_lines_;   // display line of each forced break
  std::vector<int32_t> break_blanks_;  // the blank lines each break adds
  int32_t total_blanks_ = 0;
  // The source's change listener finds the printer through this; gone with the printer.
  std::shared_ptr<TScrivletPrinter*> self_;
};

}  // namespace scrivlet
