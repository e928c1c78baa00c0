#pragma once
// TProgressFRM, "Device Operation": the progress of a chip operation, with Cancel while a
// programming run can be stopped. It shows what build_debug::ProgressWindow decides for each
// progress code; the widgets sit at fixed pixel places because the window's size rules
// (height ending at the Cancel button's top, width fitted to the label) are in pixels.

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <optional>

#include "build_debug/key/progress_window.h"

namespace workbench {
class Localizer;
}

namespace gui {

class TProgressFRM : public QWidget {
  Q_OBJECT

 public:
  // on_cancel is the key protocol's CancelProgramming.
  TProgressFRM(workbench::Localizer& texts, std::function<void()> on_cancel,
               QWidget* parent = nullptr);
  ~TProgressFRM() override;

  // WM_DEVICE_PROGRESS.
  void DeviceProgress(int code, int parameter);

  QLabel& OperationLabel() { return *operation_; }
  QProgressBar& Bar() { return *bar_; }
  QPushButton& CancelButton() { return *cancel_; }
  QLabel& DebugLabel() { return *debug_label2_; }
  const build_debug::ProgressWindow& State() const { return state_; }

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void Present();

  workbench::Localizer& texts_;
  std::function<void()> on_cancel_;
  QLabel* operation_;
  QProgressBar* bar_;
  QPushButton* cancel_;
  QLabel* debug_label1_;
  QLabel* debug_label2_;
  build_debug::ProgressWindow state_;
  int language_slot_ = -1;
};

}  // namespace gui
