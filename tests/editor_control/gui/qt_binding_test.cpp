// The Qt binding of the editor control: measuring with Qt's fonts, and format slices run
// by the event loop.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <sstream>
#include <string>

#include "editor_control/gui/qt_clipboard.h"
#include "editor_control/gui/qt_slice_scheduler.h"
#include "editor_control/gui/qt_text_measurer.h"
#include "editor_control/scrivlet.h"

namespace scrivlet::gui {
namespace {

TEST(QtTextMeasurerTest, WidthsAddUpAndBoldIsMeasuredInItsOwnFont) {
  QFont font("DejaVu Sans", 11);
  QtTextMeasurer m(font, QFont("DejaVu Sans Mono", 11));
  // Kerning off: a pair that kerns in running text still measures as its two letters.
  EXPECT_EQ(m.Width("AV", 0), m.Width("A", 0) + m.Width("V", 0));
  EXPECT_EQ(m.Width("To", 0), m.Width("T", 0) + m.Width("o", 0));
  EXPECT_GT(m.Height(), 0);
  EXPECT_TRUE(m.FontForStyle(kStyleBold).bold());
  EXPECT_TRUE(m.FontForStyle(kStyleItalic | kStyleUnderline).italic());
  EXPECT_EQ(m.Width("iiii", kStyleAltFont), m.Width("mmmm", kStyleAltFont))
      << "the alternate font is monospaced";
}

TEST(QtSliceSchedulerTest, TheEventLoopRunsTheSlicesUntilTheBacklogIsDone) {
  QtTextMeasurer measurer(QFont("DejaVu Sans Mono", 10), QFont("DejaVu Sans Mono", 10));
  QtSliceScheduler scheduler;
  TScrivlet s({nullptr, &scheduler, nullptr});
  s.SetMeasurer(&measurer);
  s.SetBounds(200, 100);
  s.CreateHandle();
  std::string text;
  for (int i = 0; i < 5000; ++i)
    text += "MOVWF PORTB ; set the port bits and go on with a long comment\r\n";
  std::istringstream in(text);
  s.LoadFromStream(in);
  ASSERT_NE(s.Table.LastToFormat, -1);
  // Bounded: the loop ends when the backlog is done, or fails after many rounds.
  for (int round = 0; round < 100000 && s.Table.LastToFormat != -1; ++round)
    QCoreApplication::processEvents();
  EXPECT_EQ(s.Table.LastToFormat, -1);
  EXPECT_GT(s.LineCount(), 5001) << "the lines wrapped";
  s.SelfTest();
}

TEST(QtSliceSchedulerTest, ACancelledSliceNeverRuns) {
  QtSliceScheduler scheduler;
  bool ran = false;
  scheduler.RequestSlice([&] { ran = true; });
  scheduler.Cancel();
  for (int round = 0; round < 10; ++round) QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
}

TEST(QtClipboardTest, AColumnBlockKeepsItsFormBetweenTwoControlsAndPlainTextPastesPlainly) {
  QtClipboard clipboard;
  TScrivletServices services;
  services.Clipboard = &clipboard;
  TScrivlet from(services), to(services);
  for (TScrivlet* s : {&from, &to}) {
    s->SetWordWrap(false);
    s->SetOptions(s->GetOptions() | zkoBlockSelection);
  }
  std::istringstream a("abc\r\ndef"), b("123\r\n456");
  from.LoadFromStream(a);
  to.LoadFromStream(b);
  from.SelectColumnBlock(0, 0, 2, 1);
  from.CopyToClipboard();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "ab\r\nde\r\n");
  to.SetSelStart(1);
  to.PasteFromClipboard();
  EXPECT_EQ(to.Text(), "1ab23\r\n4de56");

  // Another program's text: LF breaks, no block marker.
  QGuiApplication::clipboard()->setText("x\ny");
  to.SetSelStart(0);
  to.PasteFromClipboard();
  EXPECT_EQ(to.Text(), "x\r\ny1ab23\r\n4de56");
}

}  // namespace
}  // namespace scrivlet::gui
