#include "build_debug/key/gui/multi_prog_form.h"

#include <QApplication>

#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

#include "platform/message_box.h"

namespace gui {
namespace {

TEST(MultiProgForm, EachButtonNamesItselfInABox) {
  platform::RecordingMessageBoxes boxes;
  boxes.AnswerWithFirstButton();
  TMultiProgFRM form(boxes);
  EXPECT_EQ(form.windowTitle(), "Multiple Programming");
  EXPECT_FALSE(form.isVisible());
  struct Case {
    QPushButton& button;
    const char* text;
  };
  const Case cases[] = {
      {form.StartButton(), "Start"},
      {form.FileButton(), "File"},
      {form.EndButton(), "End"},
  };
  for (const Case& c : cases) {
    boxes.Clear();
    boxes.AnswerWithFirstButton();
    c.button.click();
    ASSERT_EQ(boxes.Boxes().size(), 1u) << c.text;
    EXPECT_EQ(boxes.Boxes()[0].text, c.text);
    EXPECT_EQ(boxes.Boxes()[0].caption, "Click");
  }
  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR")) {
    form.show();
    QApplication::processEvents();
    form.grab().save(QString(folder) + "/multi_prog_form.png");
  }
}

}  // namespace
}  // namespace gui
