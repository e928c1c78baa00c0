#pragma once
// Replace All's window for a long run: once the search has gone on for a second, a small
// application-modal window shows how far it has come and offers Cancel, which leaves the text
// as it was. A quick Replace All never shows it.

#include <QElapsedTimer>
#include <QProgressDialog>

#include <chrono>
#include <memory>

#include "workbench/editor_find.h"

class QWidget;

namespace gui {

class ReplaceAllProgress : public workbench::ReplaceProgress {
 public:
  static constexpr std::chrono::milliseconds kShowAfter{1000};

  explicit ReplaceAllProgress(QWidget* parent, std::chrono::milliseconds show_after = kShowAfter);
  ~ReplaceAllProgress() override;
  ReplaceAllProgress(const ReplaceAllProgress&) = delete;
  ReplaceAllProgress& operator=(const ReplaceAllProgress&) = delete;

  bool Step(std::int32_t done, std::int32_t total) override;

  // The window, once shown, or null: for tests.
  QProgressDialog* Window() const { return window_.get(); }

 private:
  QWidget* parent_;
  std::chrono::milliseconds show_after_;
  QElapsedTimer since_start_;
  std::unique_ptr<QProgressDialog> window_;
};

}  // namespace gui
