#include "build_debug/key/gui/progress_form.h"

#include <QApplication>
#include <QFontMetrics>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "build_debug/key/gui/qt_key_notifications.h"
#include "build_debug/key/key_protocol.h"
#include "services/localize.h"

namespace gui {
namespace {

using namespace build_debug;

class ProgressFormTest : public ::testing::Test {
 protected:
  ProgressFormTest() { texts_.InitLocalization("x"); }

  // Handles the UI thread's queue until `done` or ten seconds have passed.
  static void ProcessUntil(const std::atomic<bool>& done) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done && std::chrono::steady_clock::now() < deadline)
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
  }

  workbench::Localizer texts_;
  int cancels_ = 0;
  TProgressFRM form_{texts_, [this] { ++cancels_; }};
};

TEST_F(ProgressFormTest, ShowsTheOperationFromTheTablesAndFitsItsSize) {
  EXPECT_EQ(form_.windowTitle(), "Device Operation");
  EXPECT_EQ(form_.OperationLabel().text(), "Working...");
  EXPECT_EQ(form_.CancelButton().text(), "Cancel");
  EXPECT_FALSE(form_.isVisible());

  form_.DeviceProgress(kProgressStart, 0);
  form_.DeviceProgress(kProgressErasing, 0);
  EXPECT_TRUE(form_.isVisible());
  EXPECT_EQ(form_.OperationLabel().text(), "Erasing...");
  EXPECT_TRUE(form_.CancelButton().isHidden());
  EXPECT_EQ(form_.height(), form_.State().Geometry().cancel_top);
  EXPECT_EQ(form_.width(), 224);  // a short label keeps the minimum width
  EXPECT_TRUE(form_.DebugLabel().isHidden());

  form_.DeviceProgress(kProgressShowCancel, 0);
  form_.DeviceProgress(kProgressProgramming, 0);
  for (int i = 0; i < 10; ++i) form_.DeviceProgress(kProgressStep, i);
  EXPECT_EQ(form_.OperationLabel().text(), "Programming...");
  EXPECT_FALSE(form_.CancelButton().isHidden());
  EXPECT_EQ(form_.Bar().value(), 160);
  EXPECT_EQ(form_.Bar().maximum(), 512);
  const auto& g = form_.State().Geometry();
  EXPECT_EQ(form_.height(), g.cancel_top + g.cancel_height + g.bar_top);
  EXPECT_EQ(form_.CancelButton().x(), (form_.width() - g.cancel_width) / 2);

  if (const char* folder = std::getenv("QV_SCREENSHOT_DIR")) {
    QApplication::processEvents();
    form_.grab().save(QString(folder) + "/progress_form.png");
  }

  form_.CancelButton().click();
  EXPECT_EQ(cancels_, 1);
}

TEST_F(ProgressFormTest, ALabelWiderThanTheMinimumWidensTheWindow) {
  QFont large = form_.OperationLabel().font();
  large.setPointSize(large.pointSize() * 3);
  form_.OperationLabel().setFont(large);
  form_.DeviceProgress(kProgressDebugProgramming, 0);
  int text = QFontMetrics(large).horizontalAdvance("Programming for Debug...");
  ASSERT_GT(text + 8, 224);
  EXPECT_EQ(form_.width(), text + 8);
  EXPECT_EQ(form_.Bar().width(), form_.width() - 2 * form_.State().Geometry().bar_left);
  EXPECT_EQ(form_.OperationLabel().width(), form_.width());
}

// A worker's reports reach the window on the UI thread; a sent one waits for it.
TEST_F(ProgressFormTest, AWorkersReportsArriveOnTheUiThread) {
  std::vector<int> notified;
  QtKeyNotifications notes(
      form_, [&](int code) { notified.push_back(code); }, nullptr);
  std::atomic<bool> done{false};
  int bar_seen_by_worker = -1;
  std::thread worker([&] {
    notes.DeviceProgress(kProgressStart, 0, true);
    notes.DeviceProgress(kProgressShowCancel, 0, true);
    notes.DeviceProgress(kProgressStep, 0, false);
    notes.DeviceProgress(kProgressStep, 1, true);  // queued after the posted step
    bar_seen_by_worker = form_.State().Bar();
    notes.KeyNotify(kKeyFinished, false);
    notes.KeyNotify(kKeyFailed, true);
    done = true;
  });
  ProcessUntil(done);
  worker.join();
  EXPECT_EQ(bar_seen_by_worker, 32);
  EXPECT_EQ(notified, (std::vector<int>{kKeyFinished, kKeyFailed}));
  EXPECT_FALSE(form_.isVisible());  // the end of the run closes the window
}

}  // namespace
}  // namespace gui
