// The widget's painting rendered offscreen into an image: colours land on the pixels the
// core said, the right line and the end-of-text mark show, a pen without colour draws nothing,
// a coloured run's letters stay on its background.

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <sstream>

#include "editor_control/gui/qt_canvas.h"
#include "editor_control/gui/scrivlet_widget.h"

namespace scrivlet::gui {
namespace {

class ScrivletPaintTest : public ::testing::Test {
 protected:
  TScrivlet w;
  QImage image{300, 120, QImage::Format_RGB32};
  void SetUp() override {
    w.resize(300 + 2 * w.frameWidth(), 120 + 2 * w.frameWidth());
    w.SetFonts(QFont("DejaVu Sans Mono", 10), QFont("DejaVu Sans Mono", 10));
    w.Memo().SetUpdateMode(TzkUpdateMode::umImmediate);
    w.Memo().SetWordWrap(false);
    w.Memo().EndOfTextMark.Color = -1;
  }
  void Load(const std::string& text) {
    std::istringstream in(text);
    w.Memo().LoadFromStream(in);
  }
  void Render() {
    image.fill(Qt::black);
    w.RenderClient(image);
  }
  bool ColumnHas(int x, QColor color) const {
    for (int y = 0; y < image.height(); ++y)
      if (image.pixelColor(x, y) == color) return true;
    return false;
  }
  int CountIn(QRect r, QColor color) const {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += image.pixelColor(x, y) == color;
    return n;
  }
};

TEST(QtColorTest, ColoursAreBgrAndSystemColoursComeFromThePalette) {
  QPalette palette;
  palette.setColor(QPalette::Base, QColor(1, 2, 3));
  palette.setColor(QPalette::Highlight, QColor(4, 5, 6));
  EXPECT_EQ(QtColor(255, palette), QColor(255, 0, 0));
  EXPECT_EQ(QtColor(0xFF0000, palette), QColor(0, 0, 255));
  EXPECT_EQ(QtColor(8421504, palette), QColor(128, 128, 128));
  EXPECT_EQ(QtColor(scrivlet::TScrivlet::kClWindow, palette), QColor(1, 2, 3));
  EXPECT_EQ(QtColor(scrivlet::TScrivlet::kClHighlight, palette), QColor(4, 5, 6));
}

TEST_F(ScrivletPaintTest, TheRightLineIsDrawnAtItsColumnForPositiveAndNegativePositions) {
  Load("MOVLW 1");
  w.Memo().RightLinePen = {0x00FF00, 1, TPenStyle::psSolid};
  const int space = w.Measurer().Width(" ", 0);
  struct Case {
    int pos, x;
  };
  for (const Case& c : {Case{20, 8 + 20 * space}, Case{-100, 8 + 100}}) {
    w.Memo().SetRightLinePos(c.pos);
    Render();
    EXPECT_TRUE(ColumnHas(c.x, Qt::green)) << c.pos;
    EXPECT_FALSE(ColumnHas(c.x + 1, Qt::green)) << c.pos;
    EXPECT_FALSE(ColumnHas(c.x - 1, Qt::green)) << c.pos;
  }
}

TEST_F(ScrivletPaintTest, AKeywordWithoutBackgroundKeepsTheParagraphBackgroundBehindIt) {
  w.Memo().Keywords.AddKeyword("MOVLW", kWholeWord, kStyleBold, 1, 0, kNoColor, 0xFF0000);
  Load("MOVLW 1");
  para::Extend(w.Memo().Table.Items(0)).ParBackColor = 0x00FFFF;  // yellow
  Render();
  const int lh = w.Memo().LineHeight();
  const int word_end = 8 + w.Measurer().Width("MOVLW", kStyleBold);
  const QRect word(8, 0, word_end - 8, lh);
  EXPECT_GT(CountIn(word, Qt::yellow), word.width() * word.height() / 2)
      << "background behind the letters";
  EXPECT_GT(CountIn(word, Qt::blue), 10) << "the keyword's blue letters";
  EXPECT_EQ(CountIn(QRect(0, lh, 300, 120 - lh), Qt::yellow), 0) << "only the paragraph's line";
}

TEST_F(ScrivletPaintTest, TheEndOfTextMarkShowsInItsPenAndNotAtAllWithoutColour) {
  Load("a\r\nb");
  const int y = 2 * w.Memo().LineHeight();
  w.Memo().EndOfTextMark = {255, 1, TPenStyle::psSolid};
  Render();
  EXPECT_EQ(image.pixelColor(150, y), QColor(Qt::red));
  w.Memo().EndOfTextMark.Color = -1;
  Render();
  EXPECT_NE(image.pixelColor(150, y), QColor(Qt::red));
}

// A font of the family at the first pixel size from `from` whose advance Qt spaces at a
// fraction above the whole pixels the layout counts: drawn with the font's own spacing, a
// line would run past the places the layout gave its characters.
QFont FractionalFont(const QString& family, int from) {
  for (int px = from; px < from + 12; ++px) {
    QFont f(family);
    f.setPixelSize(px);
    f.setKerning(false);
    const double advance = QFontMetricsF(f).horizontalAdvance(QChar('x'));
    const double fraction = advance - std::floor(advance);
    if (fraction > 0.15 && fraction < 0.5) return f;
  }
  return QFont(family);
}

TEST_F(ScrivletPaintTest, ARunsLettersUpToTheLinesEndStayOnItsBackground) {
  struct Case {
    const char* what;
    QFont font;
    uint8_t style;
    int from_column;
    const char* line;
  };
  const Case cases[] = {
      {"fixed pitch, the whole line", FractionalFont("DejaVu Sans Mono", 12), 0, 0,
       "0x010  MOVLW  0x3F    ; the mask W"},
      {"fixed pitch, from column 24", FractionalFont("DejaVu Sans Mono", 12), 0, 24,
       "0x011  MOVWF  PORTB   ; to the port W"},
      {"proportional italic", QFont("DejaVu Serif", 11), kStyleItalic, 0, "round again f"},
  };
  const QColor window(Qt::green), back(Qt::red);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    w.SetFonts(c.font, c.font);
    w.Memo().Color = 0x00FF00;
    Load(c.line);
    const auto length = static_cast<int32_t>(std::string(c.line).size());
    w.Memo().ApplyStyleRange(c.from_column, length, c.style, true, 0, 0, 0x0000FF, 0xFFFFFF, true);
    Render();
    const int lh = w.Memo().LineHeight();
    const std::string text(c.line);
    const int last_x =
        8 + w.Measurer().Width(std::string_view(text).substr(0, text.size() - 1), c.style);
    const int end_x = 8 + w.Measurer().Width(text, c.style);
    int red_end = -1;
    for (int x = 0; x < image.width(); ++x)
      if (ColumnHas(x, back)) red_end = x;
    EXPECT_GE(red_end, end_x - 1) << "the background covers the last character's cell";
    EXPECT_EQ(CountIn(QRect(red_end + 1, 0, image.width() - red_end - 1, lh), window),
              (image.width() - red_end - 1) * lh)
        << "nothing of the letters right of the background";
    int ink_in_cell = 0;  // white letters on red or green: the only pixels with blue in them
    for (int y = 0; y < lh; ++y)
      for (int x = last_x; x < end_x; ++x) ink_in_cell += image.pixelColor(x, y).blue() > 96;
    EXPECT_GT(ink_in_cell, 0) << "the last letter in its cell";
  }
}

TEST_F(ScrivletPaintTest, UnderlineAndStrikeoutRunUnderTheWholeRunAndNoFurther) {
  w.SetFonts(FractionalFont("DejaVu Sans Mono", 12), FractionalFont("DejaVu Sans Mono", 12));
  Load("under x strike");
  w.Memo().ApplyStyleRange(0, 5, kStyleUnderline, true, 0, 0, kNoColor, 0xFF0000, true);
  w.Memo().ApplyStyleRange(8, 14, kStyleStrikeout, true, 0, 0, kNoColor, 0xFF0000, true);
  Render();
  const int cell = w.Measurer().Width("x", 0);
  const int lh = w.Memo().LineHeight();
  // The longest stretch of blue in one row of the line: a line's, letters break up.
  const auto longest = [&](int from, int to) {
    int best = 0;
    for (int y = 0; y < lh; ++y) {
      int run = 0;
      for (int x = from - 2; x < to + 2; ++x) {
        run = image.pixelColor(x, y) == QColor(Qt::blue) ? run + 1 : 0;
        best = std::max(best, run);
      }
    }
    return best;
  };
  EXPECT_EQ(longest(8, 8 + 5 * cell), 5 * cell) << "underline";
  EXPECT_EQ(longest(8 + 8 * cell, 8 + 14 * cell), 6 * cell) << "strikeout";
}

TEST_F(ScrivletPaintTest, TheBackgroundPictureIsTiledBehindTheText) {
  QPixmap tile(4, 4);
  tile.fill(Qt::magenta);
  w.SetBackgroundBmp(tile);
  Load("");
  Render();
  EXPECT_EQ(image.pixelColor(200, 100), QColor(Qt::magenta));
  EXPECT_EQ(image.pixelColor(3, 3), QColor(Qt::magenta));
}

}  // namespace
}  // namespace scrivlet::gui
