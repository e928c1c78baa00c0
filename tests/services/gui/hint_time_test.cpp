// The application's hint display time: which hints it times, and that they show.

#include "services/gui/hint_time.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>

namespace gui {
namespace {

struct Filter : HintDisplayTime {
  using HintDisplayTime::eventFilter;
};

TEST(HintDisplayTimeTest, HintsWithoutATimeOfTheirOwnShowForTheApplicationsTime) {
  Filter hints;
  EXPECT_EQ(hints.Milliseconds(), 2500);
  hints.SetMilliseconds(3500);
  EXPECT_EQ(hints.Milliseconds(), 3500);

  struct Case {
    const char* what;
    const char* hint;
    int own_time;
    bool taken;
  };
  const Case cases[] = {
      {"a hint", "a hint", -1, true},
      {"a hint with its own time", "timed", 10000, false},
      {"no hint", "", -1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QLabel widget("text");
    widget.setToolTip(c.hint);
    widget.setToolTipDuration(c.own_time);
    widget.show();
    QToolTip::hideText();
    QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), widget.mapToGlobal(QPoint(2, 2)));
    EXPECT_EQ(hints.eventFilter(&widget, &event), c.taken);
    if (c.taken) {
      EXPECT_TRUE(QToolTip::isVisible());
      EXPECT_EQ(QToolTip::text(), c.hint);
    }
    QToolTip::hideText();
  }
  // Other events pass.
  QLabel widget("text");
  widget.setToolTip("a hint");
  QEvent other(QEvent::Enter);
  EXPECT_FALSE(hints.eventFilter(&widget, &other));
}

}  // namespace
}  // namespace gui
