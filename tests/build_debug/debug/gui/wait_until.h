#pragma once
// Handles the UI thread's events until a condition holds: windows driven by their own timers
// are waited for by what they show, never for a time.

#include <QApplication>

#include <chrono>
#include <functional>

namespace gui {

// False when ten seconds pass first.
inline bool Until(const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

}  // namespace gui
