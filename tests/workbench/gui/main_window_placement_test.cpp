// The main window's stored place, restored on a screen smaller than the one it was saved on
// (or the same screen with a larger scale factor), stands whole on the screen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>

#include "stored_option_start.h"

namespace {

class MainWindowPlacementTest : public testing_gui::StoredOptionStart {};

TEST_F(MainWindowPlacementTest, AStoredPlaceLargerThanTheScreenIsRestoredWholeOnIt) {
  // Saved on a 3200x2000 screen, or on a 1600x1000 one at half the scale factor.
  ASSERT_TRUE(session_->Registry().WriteFormBounds(
      "EditorWindow", {.top = 250, .left = 800, .height = 1500, .width = 1600, .visible = true}));
  StartWithEditorOption(true);
  const QRect area = form_->screen()->availableGeometry();
  const QRect frame = form_->frameGeometry();
  EXPECT_TRUE(area.contains(frame))
      << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height() << " on "
      << area.width() << "x" << area.height();
}

}  // namespace
