#include "workbench/gui/replace_progress.h"

#include <QCoreApplication>

#include "workbench/gui/cancel_window.h"

namespace gui {

ReplaceAllProgress::ReplaceAllProgress(QWidget* parent, std::chrono::milliseconds show_after)
    : parent_(parent), show_after_(show_after) {
  since_start_.start();
}

ReplaceAllProgress::~ReplaceAllProgress() = default;

bool ReplaceAllProgress::Step(std::int32_t done, std::int32_t total) {
  if (!window_) {
    if (since_start_.elapsed() < show_after_.count()) return true;
    window_ = ShowCancelWindow("Replacing...", "Replace All", total, parent_);
  }
  window_->setMaximum(total);
  window_->setValue(done);
  // The window is modal: only its Cancel and the painting get through, nothing that edits.
  QCoreApplication::processEvents();
  return !window_->wasCanceled();
}

}  // namespace gui
