// The widget's painting rendered offscreen into an image: colours land on the pixels the
// core said, the right line and the end-of-text mark show, a pen without colour draws nothing.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
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
  const int wordEnd = 8 + w.Measurer().Width("MOVLW", kStyleBold);
  const QRect word(8, 0, wordEnd - 8, lh);
  EXPECT_GT(CountIn(word, Qt::yellow), word.width() * word.height() / 2) << "background behind the letters";
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
