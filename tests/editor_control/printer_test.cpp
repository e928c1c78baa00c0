// Printing on a recording target with a fixed measurer: paper 8.5 x 11 inches at 100
// pixels an inch, characters 10 pixels wide, lines 20 high (so "A" is 20 high and the
// default pitch of 1.5 times it is 30 pixels).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editor_control/printer.h"
#include "test_support.h"

namespace scrivlet {
namespace {

using testing::FixedWidthMeasurer;
using testing::Load;

struct Drawn {
  int32_t X, Baseline;
  std::string Text;
  int32_t Color;
};

struct Band {
  TScrivRect Rect;
  std::string Text;
  TAlignment Align;
};

class RecordingTarget : public TScrivPrintTarget, public TScrivCanvas {
 public:
  FixedWidthMeasurer measurer{10, 20};
  std::vector<std::vector<Drawn>> Pages;
  std::vector<std::vector<Band>> Bands;
  int Docs = 0, Ends = 0;
  TPrinterMetrics Metrics() override { return {850, 1100, 0, 0, 100, 100}; }
  TTextMeasurer& Measurer() override { return measurer; }
  int32_t HeightOfA() override { return 20; }
  void BeginDoc(const std::string&) override {
    ++Docs;
    Pages.assign(1, {});
    Bands.assign(1, {});
  }
  void NewPage() override {
    Pages.emplace_back();
    Bands.emplace_back();
  }
  void EndDoc() override { ++Ends; }
  TScrivCanvas& Canvas() override { return *this; }
  void DrawBandText(const TScrivRect& band, std::string_view text, TAlignment align,
                    const TPrintFont&) override {
    Bands.back().push_back({band, std::string(text), align});
  }
  int32_t Ascent() override { return 15; }
  int32_t Descent() override { return 4; }
  void FillBackground(const TScrivRect&, int32_t, int32_t, int32_t) override {}
  void FillRect(const TScrivRect&, int32_t) override {}
  void DrawText(std::span<const int32_t> xs, int32_t baseline, std::string_view bytes, uint8_t,
                int32_t color) override {
    Pages.back().push_back({xs.front(), baseline, std::string(bytes), color});
  }
  void DrawLine(int32_t, int32_t, int32_t, int32_t, const TScrivPen&) override {}

  // The text of a page, line by line as the baselines order it.
  std::string PageText(size_t page) const {
    std::string out;
    int32_t y = -1;
    for (const Drawn& d : Pages[page]) {
      if (d.Text.find(": ") != std::string::npos) continue;  // numbers
      if (y != -1 && d.Baseline != y) out += "|";
      out += d.Text;
      y = d.Baseline;
    }
    return out;
  }
};

std::string Lines(int n, const char* prefix = "line") {
  std::string s;
  for (int i = 0; i < n; ++i) s += (i > 0 ? "\r\n" : "") + std::string(prefix) + std::to_string(i);
  return s;
}

class PrinterTest : public ::testing::Test {
 protected:
  FixedWidthMeasurer screen{7, 12};
  TScrivlet memo;
  TScrivletPrinter printer;
  RecordingTarget target;
  void SetUp() override {
    testing::LayOutAtOnce(memo, screen, 400, 200);
    printer.SetMemoToPrint(&memo);
  }
};

TEST_F(PrinterTest, LinesPerPageFollowMarginsAndSpacingAndThePitchIsNeverZero) {
  Load(memo, "text");
  struct Case {
    float spacing, top, bottom;
    int32_t lines;
    double pitch;
  };
  const Case cases[] = {
      {-1.5f, 0.75f, 0.75f, 950 / 30, 30},  // the defaults
      {0.25f, 0.75f, 0.75f, 950 / 25, 25},
      {-1.0f, 1.0f, 1.0f, 900 / 20, 20},
      {0.0f, 0.75f, 0.75f, 950, 1},  // a zero pitch would stack every line on one
  };
  for (const Case& c : cases) {
    printer.SetLineSpacing(c.spacing);
    printer.SetMarginTop(c.top);
    printer.SetMarginBottom(c.bottom);
    EXPECT_EQ(printer.PageCount(target), 1);
    EXPECT_EQ(printer.LinesPerPage(), c.lines) << c.spacing;
    EXPECT_DOUBLE_EQ(printer.LinePitch(), c.pitch);
  }
}

TEST_F(PrinterTest, PropertiesStartAtTheirDefaultsAndColumnsBelowOneAreOne) {
  TScrivletPrinter p;
  EXPECT_EQ(p.GetColumns(), 1);
  EXPECT_FLOAT_EQ(p.GetGutterWidth(), 0.5f);
  EXPECT_FLOAT_EQ(p.GetMarginLeft(), 0.75f);
  EXPECT_FLOAT_EQ(p.GetMarginRight(), 0.5f);
  EXPECT_FLOAT_EQ(p.GetMarginTop(), 0.75f);
  EXPECT_FLOAT_EQ(p.GetMarginBottom(), 0.75f);
  EXPECT_FLOAT_EQ(p.GetLineSpacing(), -1.5f);
  EXPECT_FLOAT_EQ(p.HeaderYPos, 0.4f);
  EXPECT_FLOAT_EQ(p.FooterYPos, 0.4f);
  EXPECT_TRUE(p.GetWordWrap());
  EXPECT_FALSE(p.GetPlainText());
  EXPECT_EQ(p.StartingLineNumber, 1);
  EXPECT_EQ(p.StartingPageNumber, 1);
  EXPECT_EQ(p.CurrentPage, -1);
  for (int n : {0, -3}) {
    p.SetColumns(n);
    EXPECT_EQ(p.GetColumns(), 1);
  }
}

TEST_F(PrinterTest, AnExactlyFullLastPageCountsNoExtraSheet) {
  struct Case {
    int lines, columns, pages;
  };
  for (const Case& c : {Case{31, 1, 1}, Case{32, 1, 2}, Case{62, 1, 2}, Case{62, 2, 1},
                        Case{63, 2, 2}, Case{1, 1, 1}}) {
    Load(memo, Lines(c.lines));
    printer.SetColumns(c.columns);
    EXPECT_EQ(printer.PageCount(target), c.pages) << c.lines << " lines in " << c.columns;
    printer.Print(target);
    EXPECT_EQ(target.Pages.size(), static_cast<size_t>(c.pages));
  }
}

TEST_F(PrinterTest, ColumnsSitSideBySideAndWrapToTheirWidthLessTheGutter) {
  printer.SetColumns(2);
  // Usable width 850 - 75 - 50 - one 50 gutter = 675, two columns of 337: 33 characters.
  Load(memo, std::string(100, 'x') + "\r\n" + Lines(60));
  EXPECT_EQ(printer.PageCount(target), 2);
  ASSERT_NE(printer.HiddenCopy(), nullptr);
  EXPECT_EQ(printer.HiddenCopy()->Table.Items(0).FirstLine, 0);
  EXPECT_EQ(printer.HiddenCopy()->Table.Items(1).FirstLine, 4) << "100 characters in 4 lines";
  printer.Print(target);
  ASSERT_EQ(target.Pages.size(), 2u);
  std::vector<int32_t> xs;
  for (const Drawn& d : target.Pages[0])
    if (std::find(xs.begin(), xs.end(), d.X) == xs.end()) xs.push_back(d.X);
  EXPECT_EQ(xs, (std::vector<int32_t>{75, 75 + (850 - 125) / 2}));
  EXPECT_EQ(target.Pages[0].front().Text, std::string(33, 'x'));
  EXPECT_EQ(target.Pages[0].front().Baseline, 75 + 0 + 15);
  EXPECT_EQ(target.Pages[0][1].Baseline, 75 + 30 + 15) << "the pitch";
}

TEST_F(PrinterTest, AFormFeedStartsANewPageAndIsNotPrinted) {
  struct Case {
    const char* text;
    int pages;
    std::vector<std::string> page_texts;
  };
  const Case cases[] = {
      {"a\r\n\fb\r\nc", 2, {"a", "b|c"}},
      {"\fa\r\nb", 1, {"a|b"}},  // a break at the top of a page adds no empty sheet
      {"a\r\n\fb\r\n\fc", 3, {"a", "b", "c"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Load(memo, c.text);
    EXPECT_EQ(printer.PageCount(target), c.pages);
    printer.Print(target);
    ASSERT_EQ(target.Pages.size(), c.page_texts.size());
    for (size_t i = 0; i < c.page_texts.size(); ++i) EXPECT_EQ(target.PageText(i), c.page_texts[i]);
  }
}

TEST_F(PrinterTest, HeaderAndFooterReplaceTheFirstPageMarkAndKeepTheirAlignment) {
  Load(memo, Lines(40));
  printer.Header = "Page {p} of {p}";
  printer.Footer = "{p}";
  printer.HeaderAlign = TAlignment::taCenter;
  printer.FooterAlign = TAlignment::taRightJustify;
  printer.StartingPageNumber = 5;
  printer.Print(target);
  ASSERT_EQ(target.Bands.size(), 2u);
  ASSERT_EQ(target.Bands[0].size(), 2u);
  const Band& header = target.Bands[0][0];
  EXPECT_EQ(header.Text, "Page 5 of {p}");
  EXPECT_EQ(header.Align, TAlignment::taCenter);
  EXPECT_EQ(header.Rect, (TScrivRect{75, 40, 800, 75}));
  const Band& footer = target.Bands[1][1];
  EXPECT_EQ(footer.Text, "6");
  EXPECT_EQ(footer.Align, TAlignment::taRightJustify);
  EXPECT_EQ(footer.Rect, (TScrivRect{75, 1060, 800, 1100}));
  printer.Header.clear();
  printer.Footer.clear();
  printer.Print(target);
  EXPECT_TRUE(target.Bands[0].empty()) << "empty texts draw no band";
}

TEST_F(PrinterTest, LineAndParagraphNumbersEndAtTheColumnsEdge) {
  Load(memo, std::string(100, 'x') + "\r\nshort");
  struct Case {
    bool lines, paragraphs;
    int32_t start;
    std::vector<std::string> numbers;
  };
  const Case cases[] = {
      {true, false, 1, {"1: ", "2: ", "3: ", "4: ", "5: "}},
      {true, false, 10, {"10: ", "11: ", "12: ", "13: ", "14: "}},
      {false, true, 1, {"1: ", "2: "}},
      {true, true, 7, {"7: ", "8: "}},  // paragraph numbers win
  };
  printer.SetMarginLeft(0.75f);
  printer.SetMarginRight(5.0f);  // 850 - 75 - 500 = 275: 27 characters a line
  for (const Case& c : cases) {
    printer.LineNumbers = c.lines;
    printer.ParagraphNumbers = c.paragraphs;
    printer.StartingLineNumber = c.start;
    printer.Print(target);
    std::vector<std::string> numbers;
    for (const Drawn& d : target.Pages[0]) {
      if (d.Text.find(": ") == std::string::npos) continue;
      numbers.push_back(d.Text);
      EXPECT_EQ(d.X + 10 * static_cast<int32_t>(d.Text.size()), 75) << d.Text;
    }
    EXPECT_EQ(numbers, c.numbers);
  }
}

TEST_F(PrinterTest, APageRangePrintsThoseOnlyAndPagesBeyondTheEndStartNoSheet) {
  Load(memo, Lines(31 * 3));
  std::vector<int32_t> progress;
  printer.OnProgress = [&](TScrivletPrinter& p) { progress.push_back(p.CurrentPage); };
  printer.PrintRange(target, 1, 1);
  ASSERT_EQ(target.Pages.size(), 1u);
  EXPECT_EQ(target.PageText(0).substr(0, 6), "line31");
  EXPECT_EQ(progress, (std::vector<int32_t>{1, -1}));
  progress.clear();
  printer.PrintRange(target, 2, 4);
  EXPECT_EQ(target.Pages.size(), 1u);
  EXPECT_EQ(progress, (std::vector<int32_t>{2, 3, 4, -1}));
  EXPECT_EQ(target.Docs, target.Ends);
}

TEST_F(PrinterTest, CancelDuringProgressStopsBeforeThatPageAndStillEndsTheDocument) {
  Load(memo, Lines(31 * 3));
  printer.OnProgress = [&](TScrivletPrinter& p) {
    if (p.CurrentPage == 1) p.CancelPrint();
  };
  printer.Print(target);
  EXPECT_TRUE(printer.Aborted);
  EXPECT_EQ(target.Pages.size(), 1u);
  EXPECT_EQ(target.Ends, 1);
  EXPECT_EQ(printer.CurrentPage, -1);
}

TEST_F(PrinterTest, PrintingASelectionLeavesTheEditorsTextUntouchedAndKeepsItsNumbering) {
  memo.SetStaticFormat(true);
  Load(memo,
       "first line\r\nsecond \x02"
       "bold\x02 line\r\nthird line\r\nfourth");
  const std::string before = memo.Text();
  std::vector<std::string> paragraphs;
  for (int32_t i = 0; i < memo.ParagraphCount(); ++i)
    paragraphs.push_back(testing::ParaText(memo.Table, i));
  memo.Select(19, 35);  // "\x02bold\x02 line\r\nthi" from inside the second paragraph
  printer.ParagraphNumbers = true;
  printer.PrintSelection(target);
  EXPECT_EQ(memo.Text(), before);
  for (int32_t i = 0; i < memo.ParagraphCount(); ++i)
    EXPECT_EQ(testing::ParaText(memo.Table, i), paragraphs[i]);
  EXPECT_EQ(target.PageText(0), "bold line|thi");
  std::vector<std::string> numbers;
  for (const Drawn& d : target.Pages[0])
    if (d.Text.find(": ") != std::string::npos) numbers.push_back(d.Text);
  EXPECT_EQ(numbers, (std::vector<std::string>{"2: ", "3: "}));
  EXPECT_EQ(printer.HiddenCopy(), nullptr) << "a selection's copy is freed after printing";
  memo.SelfTest();
}

TEST_F(PrinterTest, TheCopyKeepsTheHighlightingUnlessPlainTextAndGoesWithAnEdit) {
  memo.Keywords.AddKeyword("MOVWF", kWholeWord, kStyleBold, 1, 0, kNoColor, 0x800000);
  Load(memo, "x MOVWF y");
  printer.Print(target);
  const auto find = [&](const std::string& text) {
    for (const Drawn& d : target.Pages[0])
      if (d.Text == text) return d.Color;
    return -2;
  };
  EXPECT_EQ(find("MOVWF"), 0x800000);
  ASSERT_NE(printer.HiddenCopy(), nullptr);
  memo.SetSelStart(0);
  memo.InsertTextBuf("z");
  EXPECT_EQ(printer.HiddenCopy(), nullptr) << "a change of the text drops the copy";
  printer.SetPlainText(true);
  printer.Print(target);
  EXPECT_EQ(find("MOVWF"), -2) << "one piece in the font colour";
  EXPECT_EQ(target.PageText(0), "zx MOVWF y");
  bool formatted = false;
  printer.OnFormatPrint = [&](TScrivlet& copy) { formatted = &copy == printer.HiddenCopy(); };
  printer.SetMemoToPrint(&memo);
  EXPECT_EQ(printer.PageCount(target), 1);
  EXPECT_TRUE(formatted);
}

}  // namespace
}  // namespace scrivlet
