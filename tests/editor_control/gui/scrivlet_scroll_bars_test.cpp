// The widget's Qt scroll bars against the control's own scroll figures, offscreen: after a
// load, a paste, typed breaks and a deletion, in background and in immediate layout, and the
// bars' own commands (their context menu, a value set from code) moving the text with them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QMainWindow>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sstream>
#include <string>

#include "editor_control/gui/scrivlet_widget.h"

namespace scrivlet::gui {
namespace {

const char* ModeName(TzkUpdateMode m) {
  return m == TzkUpdateMode::umBackground ? "background" : "immediate";
}

std::string Lines(int count, const std::string& line) {
  std::string s;
  for (int i = 0; i < count; ++i) s += line + "\r\n";
  return s;
}

class ScrollBarsTest : public ::testing::Test {
 protected:
  QMainWindow window;
  TScrivlet* w = nullptr;
  TMemoryClipboard clipboard;
  QFont font{"DejaVu Sans Mono", 10};

  void SetUp() override {
    TScrivletServices services;
    services.Clipboard = &clipboard;
    w = new TScrivlet(&window, services);
    window.setCentralWidget(w);
    window.resize(420, 260);
    w->SetFonts(font, font);
    w->Memo().SetScrollBars(TScrollStyle::ssBoth);
    w->Memo().ScrollTime = 0;
    window.show();
    w->setFocus();
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();
  }
  scrivlet::TScrivlet::ScrollBarInfo Core(Qt::Orientation o) {
    return o == Qt::Vertical ? w->Memo().VertScrollBar() : w->Memo().HorzScrollBar();
  }
  QScrollBar* Bar(Qt::Orientation o) {
    return o == Qt::Vertical ? w->verticalScrollBar() : w->horizontalScrollBar();
  }
  // The format slices run from the event loop until the layout backlog is done.
  void RunSlices() {
    QElapsedTimer clock;
    clock.start();
    do QCoreApplication::processEvents();
    while (w->Memo().Layout().BacklogPending() && clock.elapsed() < 5000);
    QCoreApplication::processEvents();
    ASSERT_FALSE(w->Memo().Layout().BacklogPending());
  }
  void Load(const std::string& text) {
    std::istringstream in(text);
    w->Memo().LoadFromStream(in);
  }
  void ExpectBarFollows(Qt::Orientation o) {
    const auto core = Core(o);
    QScrollBar* bar = Bar(o);
    EXPECT_EQ(bar->maximum(), std::max(0, core.Range - core.Page));
    EXPECT_EQ(bar->pageStep(), std::max(1, core.Page));
    EXPECT_EQ(bar->value(), core.Position);
  }
  int32_t LineHeight() { return w->Memo().LineHeight(); }
  int32_t ClientHeight() { return w->viewport()->height(); }
  // The last full page of `lines` lines, as the vertical bar's maximum: the text's height
  // less its page, the client height less 3.
  int32_t VerticalMaximum(int32_t lines) {
    return std::max(0, std::max(lines * LineHeight(), ClientHeight() - LineHeight() - 1) -
                           (ClientHeight() - 3));
  }
};

// One row of the table: what the user did, the bar it concerns, and the maximum that bar
// must then show (computed from the text's geometry).
struct Row {
  const char* name;
  Qt::Orientation bar;
  std::function<int32_t()> act;  // returns the expected maximum
};

TEST_F(ScrollBarsTest, BarsFollowTheLayoutAfterLoadsAndEditsInEveryUpdateMode) {
  const std::string long_line(200, 'x');
  const Row rows[] = {
      {"long lines without wrap", Qt::Horizontal,
       [&] {
         w->Memo().SetWordWrap(false);
         Load(Lines(10, long_line));
         RunSlices();
         const int32_t margins = w->Memo().GetLeftMargin() + w->Memo().GetRightMargin();
         // The control lays characters side by side at their whole-pixel advances.
         const int32_t widest = 200 * QFontMetrics(font).horizontalAdvance(QChar('x'));
         return widest + margins - (w->viewport()->width() - margins);
       }},
      {"word wrap with 10 paragraphs", Qt::Vertical,
       [&] {
         std::string para;
         for (int i = 0; i < 40; ++i) para += "word" + std::to_string(i) + " ";
         Load(Lines(10, para));
         RunSlices();
         EXPECT_GT(w->Memo().LineCount(), 30);
         return VerticalMaximum(w->Memo().LineCount());
       }},
      {"a 10-line paste into a 10-line text", Qt::Vertical,
       [&] {
         w->Memo().SetWordWrap(false);
         Load(Lines(10, "MOVWF PORTB"));
         RunSlices();
         clipboard.Put(Lines(10, "GOTO start"), false);
         w->Memo().SetSelStart(w->Memo().CharCount());
         QTest::keyClick(w, Qt::Key_V, Qt::ControlModifier);
         RunSlices();
         EXPECT_EQ(w->Memo().LineCount(), 21);
         return VerticalMaximum(21);
       }},
      {"five Returns at the top", Qt::Vertical,
       [&] {
         w->Memo().SetWordWrap(false);
         Load(Lines(10, "MOVWF PORTB"));
         RunSlices();
         w->Memo().SetSelStart(0);
         for (int i = 0; i < 5; ++i) QTest::keyClick(w, Qt::Key_Return);
         RunSlices();
         return VerticalMaximum(16);
       }},
      {"15 of 25 lines deleted", Qt::Vertical,
       [&] {
         w->Memo().SetWordWrap(false);
         Load(Lines(25, "MOVWF PORTB"));
         RunSlices();
         EXPECT_GT(VerticalMaximum(26), 0);
         EXPECT_EQ(w->verticalScrollBar()->maximum(), VerticalMaximum(26));
         w->Memo().Select(0, w->Memo().ParagraphStart(15));
         QTest::keyClick(w, Qt::Key_Delete);
         RunSlices();
         return VerticalMaximum(11);
       }},
  };
  for (const TzkUpdateMode mode : {TzkUpdateMode::umBackground, TzkUpdateMode::umImmediate}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.name) + ", " + ModeName(mode));
      w->Memo().SetUpdateMode(mode);
      w->Memo().SetWordWrap(true);
      Load("");
      const int32_t expected = row.act();
      EXPECT_EQ(Bar(row.bar)->maximum(), expected);
      ExpectBarFollows(Qt::Vertical);
      ExpectBarFollows(Qt::Horizontal);
    }
  }
  // The five rows are not all empty cases.
  EXPECT_GT(VerticalMaximum(26), 0);
}

TEST_F(ScrollBarsTest, DeletingLinesBelowAViewAtTheEndBringsTheViewBack) {
  w->Memo().SetWordWrap(false);
  Load(Lines(25, "MOVWF PORTB"));
  RunSlices();
  w->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  ASSERT_EQ(w->Memo().VertScroll(), VerticalMaximum(26));
  w->Memo().Select(w->Memo().ParagraphStart(10), w->Memo().CharCount());
  QTest::keyClick(w, Qt::Key_Delete);
  RunSlices();
  EXPECT_EQ(w->Memo().VertScroll(), 0);
  ExpectBarFollows(Qt::Vertical);
}

// Opens the bar's own context menu and picks the item with the given text; a menu that
// never shows is closed after two seconds so that the test cannot hang.
bool PickFromBarMenu(QScrollBar* bar, const QString& item) {
  bool picked = false;
  QTimer::singleShot(0, bar, [&] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      for (QAction* a : menu->actions())
        if (a->text() == item) {
          picked = true;
          menu->setActiveAction(a);
          QTest::keyClick(menu, Qt::Key_Return);  // the menu's own choice, as a click makes it
          return;
        }
      menu->close();
    }
  });
  QTimer::singleShot(2000, bar, [] {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  });
  QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(5, bar->height() / 2),
                      bar->mapToGlobal(QPoint(5, bar->height() / 2)));
  QApplication::sendEvent(bar, &e);
  QCoreApplication::processEvents();
  return picked;
}

TEST_F(ScrollBarsTest, TheBarsOwnCommandsAndValuesSetFromCodeMoveTheText) {
  w->Memo().SetWordWrap(false);
  Load(Lines(100, std::string(150, 'y')));
  RunSlices();
  const int32_t lh = LineHeight();
  QScrollBar* v = w->verticalScrollBar();
  QScrollBar* h = w->horizontalScrollBar();

  ASSERT_TRUE(PickFromBarMenu(v, "Bottom"));
  EXPECT_EQ(w->Memo().VertScroll(), VerticalMaximum(101));
  EXPECT_EQ(w->Memo().VertScroll(), w->Memo().MaxVertScroll());
  ExpectBarFollows(Qt::Vertical);
  ASSERT_TRUE(PickFromBarMenu(v, "Top"));
  EXPECT_EQ(w->Memo().VertScroll(), 0);
  ExpectBarFollows(Qt::Vertical);

  v->setValue(7 * lh);
  EXPECT_EQ(w->Memo().VertScroll(), 7 * lh);
  EXPECT_EQ(w->Memo().GetTopLine(), 7);
  ExpectBarFollows(Qt::Vertical);
  h->setValue(40);
  EXPECT_EQ(w->Memo().HorzScroll(), 40);
  ExpectBarFollows(Qt::Horizontal);
  ASSERT_TRUE(PickFromBarMenu(h, "Right edge"));
  EXPECT_EQ(w->Memo().HorzScroll(), h->maximum());
  EXPECT_GT(h->maximum(), 0);
  ASSERT_TRUE(PickFromBarMenu(h, "Left edge"));
  EXPECT_EQ(w->Memo().HorzScroll(), 0);

  // Without fine scrolling the text moves by whole lines, and the bar shows where it went.
  w->Memo().SetOptions(w->Memo().GetOptions() | zkoNoFineScroll);
  v->setValue(3 * lh + lh / 2);
  EXPECT_EQ(w->Memo().VertScroll(), 3 * lh);
  ExpectBarFollows(Qt::Vertical);
}

}  // namespace
}  // namespace scrivlet::gui
