#include "build_debug/key/gui/qt_event_poster.h"

#include <QApplication>
#include <QThread>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace gui {
namespace {

TEST(QtEventPoster, EventsPostedFromAWorkerRunLaterOnTheGuiThreadInOrder) {
  QtEventPoster poster;
  std::vector<int> order;
  std::vector<bool> on_gui_thread;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i)
      poster.Post([&, i] {
        order.push_back(i);
        on_gui_thread.push_back(QThread::currentThread() == qApp->thread());
      });
  });
  worker.join();
  EXPECT_TRUE(order.empty());  // nothing runs until the event loop takes it
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (order.size() < 3 && std::chrono::steady_clock::now() < deadline)
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(on_gui_thread, (std::vector<bool>{true, true, true}));
}

TEST(QtEventPoster, EventsStillQueuedWhenThePosterGoesAreDropped) {
  int runs = 0;
  {
    auto poster = std::make_unique<QtEventPoster>();
    poster->Post([&] { ++runs; });
  }
  QApplication::processEvents();
  EXPECT_EQ(runs, 0);
}

}  // namespace
}  // namespace gui
