#include "services/gui/guarded.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPushButton>
#include <stdexcept>

#include "platform/message_box.h"
#include "services/silent_abort.h"

namespace {

TEST(Guarded, SilentAbortEndsTheCommandWithoutABox) {
  platform::RecordingMessageBoxes boxes;
  bool after = false;
  EXPECT_FALSE(gui::RunGuarded(boxes, [&] {
    workbench::Abort();
    after = true;
  }));
  EXPECT_FALSE(after);
  EXPECT_TRUE(boxes.Boxes().empty());
  EXPECT_TRUE(gui::RunGuarded(boxes, [] {}));
}

TEST(Guarded, OtherFailuresAreShownNotThrownThroughTheEventLoop) {
  platform::RecordingMessageBoxes boxes;
  boxes.Answer(platform::kAnswerOk);
  QCoreApplication::setApplicationName("QVKey");
  EXPECT_FALSE(
      gui::RunGuarded(boxes, [] { throw std::runtime_error("Setting 'x' has no value"); }));
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Setting 'x' has no value");
  EXPECT_EQ(boxes.Boxes()[0].caption, "QVKey");
  EXPECT_EQ(boxes.Boxes()[0].buttons, platform::BoxButtons::Ok);
}

TEST(Guarded, SlotsWithAndWithoutTheSignalsArguments) {
  platform::RecordingMessageBoxes boxes;
  QPushButton button;
  button.setCheckable(true);
  int plain = 0;
  bool checked = false;
  QObject::connect(&button, &QPushButton::clicked, gui::Guard(boxes, [&] { ++plain; }));
  QObject::connect(&button, &QPushButton::clicked, gui::Guard(boxes, [&](bool c) { checked = c; }));
  QObject::connect(&button, &QPushButton::clicked, gui::Guard(boxes, [] { workbench::Abort(); }));
  int* seen_count = &plain;
  QObject::connect(
      &button, &QPushButton::clicked,
      gui::Guard(boxes, [count = 0, seen_count]() mutable { *seen_count += ++count; }));
  button.click();
  EXPECT_EQ(plain, 2);
  EXPECT_TRUE(checked);
  EXPECT_TRUE(boxes.Boxes().empty());
}

}  // namespace
