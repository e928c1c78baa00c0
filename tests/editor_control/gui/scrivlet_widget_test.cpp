// The widget driven through QTest offscreen: Qt keys reach the core as the control's keys
// and characters, menu shortcuts do not steal the control's own keys, the mouse, the wheel,
// the popup menu, and text dropped from another control.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QInputMethodEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <sstream>

#include "editor_control/gui/scrivlet_widget.h"

namespace scrivlet::gui {
namespace {

class ScrivletWidgetTest : public ::testing::Test {
 protected:
  QMainWindow window;
  TScrivlet* w = nullptr;
  TMemoryClipboard clipboard;
  void SetUp() override {
    TScrivletServices services;
    services.Clipboard = &clipboard;
    w = new TScrivlet(&window, services);
    window.setCentralWidget(w);
    window.resize(400, 200);
    w->SetFonts(QFont("DejaVu Sans Mono", 10), QFont("DejaVu Sans Mono", 10));
    w->Memo().SetUpdateMode(TzkUpdateMode::umImmediate);
    w->Memo().SetWordWrap(false);
    w->Memo().ScrollTime = 0;
    window.show();
    w->setFocus();
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();
  }
  void Load(const std::string& text) {
    std::istringstream in(text);
    w->Memo().LoadFromStream(in);
  }
  QPoint PointOf(int32_t offset) {
    TScrivNavigator nav(w->Memo());
    nav.SetOffset(offset);
    return QPoint(nav.GetX() + 1, nav.GetY() + w->Memo().LineHeight() / 2);
  }
};

TEST_F(ScrivletWidgetTest, QtKeysBecomeTheControlsKeysWithShiftAndCtrl) {
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int32_t caret, anchor;
    const char* text;
  };
  const char* kText = "abc def\r\nghi jkl";
  const Case cases[] = {
      {Qt::Key_Right, Qt::NoModifier, 5, 5, kText},
      {Qt::Key_Right, Qt::ShiftModifier, 5, 4, kText},
      {Qt::Key_Right, Qt::ControlModifier, 9, 9, kText},
      {Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier, 9, 4, kText},
      {Qt::Key_Left, Qt::NoModifier, 3, 3, kText},
      {Qt::Key_Left, Qt::ControlModifier, 0, 0, kText},
      {Qt::Key_Home, Qt::NoModifier, 0, 0, kText},
      {Qt::Key_End, Qt::ShiftModifier, 7, 4, kText},
      {Qt::Key_End, Qt::ControlModifier, 16, 16, kText},
      {Qt::Key_Down, Qt::NoModifier, 13, 13, kText},
      {Qt::Key_PageDown, Qt::NoModifier, 13, 13, kText},
      {Qt::Key_Delete, Qt::NoModifier, 4, 4, "abc ef\r\nghi jkl"},
      {Qt::Key_Delete, Qt::ControlModifier, 4, 4, "abc \r\nghi jkl"},
      {Qt::Key_Backspace, Qt::NoModifier, 3, 3, "abcdef\r\nghi jkl"},
      {Qt::Key_Backspace, Qt::ControlModifier, 0, 0, "def\r\nghi jkl"},
      {Qt::Key_Return, Qt::NoModifier, 6, 6, "abc \r\ndef\r\nghi jkl"},
      {Qt::Key_Tab, Qt::NoModifier, 5, 5, "abc \tdef\r\nghi jkl"},
      {Qt::Key_T, Qt::ControlModifier, 5, 5, "abc \tdef\r\nghi jkl"},
      {Qt::Key_X, Qt::NoModifier, 5, 5, "abc xdef\r\nghi jkl"},
      {Qt::Key_X, Qt::ShiftModifier, 5, 5, "abc Xdef\r\nghi jkl"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QKeySequence(c.key | c.mods).toString().toStdString());
    Load(kText);
    w->Memo().SetSelStart(4);
    const QString text =
        c.key == Qt::Key_X ? ((c.mods & Qt::ShiftModifier) ? "X" : "x") : QString();
    if (text.isEmpty())
      QTest::keyClick(w, c.key, c.mods);
    else
      QTest::keyClick(w, text[0].toLatin1(), c.mods);
    EXPECT_EQ(w->Memo().Text(), c.text);
    EXPECT_EQ(w->Memo().GetSelStart(), c.caret);
    const int32_t anchor = w->Memo().SelAnchor();
    EXPECT_EQ(anchor, c.anchor);
  }
}

TEST_F(ScrivletWidgetTest, TheControlClaimsItsOwnKeysBeforeMenuShortcutsSeeThem) {
  Load("abc");
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    bool read_only, claimed;
  };
  const Case cases[] = {
      {Qt::Key_Delete, Qt::NoModifier, false, true},
      {Qt::Key_Z, Qt::ControlModifier, false, true},
      {Qt::Key_C, Qt::ControlModifier, false, true},
      {Qt::Key_Left, Qt::ShiftModifier, false, true},
      {Qt::Key_O, Qt::ControlModifier, false, false},
      {Qt::Key_Z, Qt::ControlModifier, true, false},
      {Qt::Key_F, Qt::AltModifier, false, false},
  };
  for (const Case& c : cases) {
    w->Memo().ReadOnly = c.read_only;
    QKeyEvent override(QEvent::ShortcutOverride, c.key, c.mods);
    override.ignore();
    QApplication::sendEvent(w, &override);
    EXPECT_EQ(override.isAccepted(), c.claimed)
        << QKeySequence(c.key | c.mods).toString().toStdString();
  }
  w->Memo().ReadOnly = false;
  w->Memo().SetSelStart(0);
  QTest::keyClick(w, Qt::Key_Delete);
  EXPECT_EQ(w->Memo().Text(), "bc");
  QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w->Memo().Text(), "abc");
}

TEST_F(ScrivletWidgetTest, TabStaysInTheControlWithWantTabs) {
  Load("ab");
  w->Memo().SetSelStart(1);
  QTest::keyClick(w, Qt::Key_Tab);
  EXPECT_TRUE(w->hasFocus());
  EXPECT_EQ(w->Memo().Text(), "a\tb");
}

TEST_F(ScrivletWidgetTest, ShiftAltArrowsSelectAColumnWithoutTypingTheirCharacter) {
  w->Memo().SetOptions(w->Memo().GetOptions() | zkoBlockSelection);
  Load("abcdef\r\nabcdef");
  w->Memo().SetSelStart(1);
  QTest::keyClick(w, Qt::Key_Right, Qt::ShiftModifier | Qt::AltModifier);
  QTest::keyClick(w, Qt::Key_Down, Qt::ShiftModifier | Qt::AltModifier);
  QTest::keyClick(w, 'x', Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_TRUE(w->Memo().BlockMode());
  EXPECT_EQ(w->Memo().GetColumnText(), "b\r\nb\r\n");
  EXPECT_EQ(w->Memo().Text(), "abcdef\r\nabcdef");
}

TEST_F(ScrivletWidgetTest, TheMouseSelectsAndADoubleClickSelectsAWord) {
  Load("MOVWF PORTB\r\nGOTO loop");
  QTest::mouseClick(w->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(8));
  EXPECT_EQ(w->Memo().GetSelStart(), 8);
  EXPECT_TRUE(w->hasFocus());
  QTest::mouseClick(w->viewport(), Qt::LeftButton, Qt::ShiftModifier, PointOf(15));
  EXPECT_EQ(w->Memo().SelText(), "RTB\r\nGO");
  QTest::mouseClick(w->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(2));
  QTest::mouseDClick(w->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(2));
  EXPECT_EQ(w->Memo().SelText(), "MOVWF");
}

TEST_F(ScrivletWidgetTest, WheelDeltasBelowANotchAccumulate) {
  std::string text;
  for (int i = 0; i < 80; ++i) text += "line\r\n";
  Load(text);
  w->Memo().MouseWheelFactor = 1;
  const int32_t lh = w->Memo().LineHeight();
  auto wheel = [&](int delta) {
    QWheelEvent e(QPointF(20, 20), w->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                  QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->viewport(), &e);
  };
  wheel(-60);
  EXPECT_EQ(w->Memo().VertScroll(), 0);
  wheel(-60);
  EXPECT_EQ(w->Memo().VertScroll(), lh);
  EXPECT_EQ(w->verticalScrollBar()->value(), lh);
}

TEST_F(ScrivletWidgetTest, DraggingTheSelectionMovesItAsOneUndoStep) {
  Load("abc def ghi");
  w->Memo().Select(0, 4);
  QTest::mousePress(w->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(1));
  QTest::mouseMove(w->viewport(), PointOf(8));
  QTest::mouseRelease(w->viewport(), Qt::LeftButton, Qt::NoModifier, PointOf(8));
  EXPECT_EQ(w->Memo().Text(), "def abc ghi");
  EXPECT_EQ(w->Memo().SelText(), "abc ");
  QTest::keyClick(w, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w->Memo().Text(), "abc def ghi");
}

TEST_F(ScrivletWidgetTest, TextDroppedFromAnotherControlGoesInAtThePoint) {
  Load("one two");
  QMimeData data;
  data.setText("NEW ");
  const QPoint at = PointOf(4);
  QDragEnterEvent enter(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w->viewport(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w->viewport(), &drop);
  EXPECT_EQ(w->Memo().Text(), "one NEW two");
  EXPECT_EQ(w->Memo().SelText(), "NEW ");
  w->Memo().ReadOnly = true;
  QDragEnterEvent refused(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w->viewport(), &refused);
  EXPECT_FALSE(refused.isAccepted());
}

// Characters from other programs are the control's Windows-1252 characters; one it cannot hold
// keeps the whole drop or commit out and is named. (Dropped text once went through Latin-1,
// "€" becoming "?", and a dead key's committed "é" was never typed.)
TEST_F(ScrivletWidgetTest, DroppedAndComposedTextIsTakenAsItsCharactersOrRefusedWhole) {
  char32_t refused = 0;
  w->OnUnheldCharacter = [&](UnheldCharacter c) { refused = c.character; };
  Load("ab");
  struct Case {
    bool drop;  // else an input method's commit at the caret
    QString text;
    std::string after;
    char32_t refused;
  };
  const Case cases[] = {
      {true, QString::fromUtf16(u"\u00e9\u20ac"),
       "\xE9\x80"
       "ab",
       0},
      {true, QString::fromUtf16(u"x\u4e2d"),
       "\xE9\x80"
       "ab",
       U'\u4e2d'},
      {false, QString::fromUtf16(u"\u00e4"),
       "\xE9\x80"
       "ab\xE4",
       0},
      {false, QString::fromUtf16(u"\u0416"),
       "\xE9\x80"
       "ab\xE4",
       U'\u0416'},
  };
  for (const Case& c : cases) {
    refused = 0;
    if (c.drop) {
      QMimeData data;
      data.setText(c.text);
      const QPoint at = PointOf(0);
      QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(w->viewport(), &enter);
      QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(w->viewport(), &drop);
    } else {
      w->Memo().SetSelStart(w->Memo().CharCount());
      QInputMethodEvent commit;
      commit.setCommitString(c.text);
      QApplication::sendEvent(w, &commit);
    }
    EXPECT_EQ(w->Memo().Text(), c.after) << c.text.toStdString();
    EXPECT_EQ(refused, c.refused) << c.text.toStdString();
  }
}

TEST_F(ScrivletWidgetTest, TheRightButtonOpensTheDefaultPopupAndItsItemsRunTheirCommands) {
  Load("abc");
  w->Memo().Select(0, 3);
  QStringList seen;
  w->OnInternalPopup = [&](QMenu& menu) {
    for (QAction* a : menu.actions())
      seen << (a->isSeparator() ? "-" : a->text() + (a->isEnabled() ? "" : "(off)"));
  };
  QTest::mouseClick(w->viewport(), Qt::RightButton, Qt::NoModifier, PointOf(1));
  ASSERT_NE(w->DefaultPopup(), nullptr);
  EXPECT_EQ(seen, (QStringList{"&Undo(off)", "&Redo(off)", "-", "Cu&t", "&Copy", "&Paste(off)", "-",
                               "&Select all"}));
  w->DefaultPopup()->actions()[4]->trigger();  // Copy
  EXPECT_EQ(clipboard.Text(), "abc");
  w->DefaultPopup()->hide();
}

TEST_F(ScrivletWidgetTest, ADisplayOnlyControlScrollsWithArrowsAndShowsNoCaret) {
  std::string text;
  for (int i = 0; i < 80; ++i) text += "line\r\n";
  Load(text);
  w->Memo().SetDisplayOnly(true);
  w->Memo().SetSelStart(2);
  QTest::keyClick(w, Qt::Key_Down);
  EXPECT_EQ(w->Memo().VertScroll(), w->Memo().LineHeight());
  EXPECT_EQ(w->Memo().GetSelStart(), 2);
  QTest::keyClick(w, 'x');
  EXPECT_EQ(w->Memo().GetParagraphText(0), "line");
  w->UpdateCaret();
  EXPECT_FALSE(w->CaretShown());
}

TEST_F(ScrivletWidgetTest, ALongSessionOfKeysAndMouseLeavesCtrlESilent) {
  w->Memo().SetStaticFormat(true);
  Load("start:\tMOVWF PORTB ; set\r\n  loop: GOTO start\r\n");
  std::string errors;
  w->OnError = [&](const std::string& e) { errors += e; };
  const Qt::Key keys[] = {Qt::Key_Left,   Qt::Key_Right, Qt::Key_Up,        Qt::Key_Down,
                          Qt::Key_Home,   Qt::Key_End,   Qt::Key_Backspace, Qt::Key_Delete,
                          Qt::Key_Return, Qt::Key_Tab,   Qt::Key_PageDown,  Qt::Key_PageUp,
                          Qt::Key_B,      Qt::Key_Z,     Qt::Key_A,         Qt::Key_Space};
  const Qt::KeyboardModifiers mods[] = {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier};
  uint32_t seed = 22;
  auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  for (int step = 0; step < 1500; ++step) {
    if (next() % 5 == 0) {
      const QPoint p(static_cast<int>(next() % 380), static_cast<int>(next() % 150));
      QTest::mouseClick(w->viewport(), Qt::LeftButton,
                        next() % 3 == 0 ? Qt::ShiftModifier : Qt::NoModifier, p);
    } else {
      QTest::keyClick(w, keys[next() % std::size(keys)], mods[next() % std::size(mods)]);
    }
  }
  QTest::keyClick(w, Qt::Key_E, Qt::ControlModifier);
  EXPECT_EQ(errors, "");
  EXPECT_NO_THROW(w->Memo().SelfTest());
}

}  // namespace
}  // namespace scrivlet::gui
