#pragma once
// TClockForm, "Clock": the frequency of the key's clock output, On/Off and Reset, a thin
// shell over build_debug::ClockControl. Shown modally while the link is open; its timer keeps
// the link alive and closes the window when the link is gone.

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

#include "build_debug/debug/clock_control.h"
#include "services/gui/form_placement.h"

namespace workbench {
class RegistrySettings;
}

namespace gui {

class TClockForm : public QDialog {
  Q_OBJECT

 public:
  TClockForm(build_debug::ClockControl& control, workbench::RegistrySettings& settings,
             QWidget* parent = nullptr);
  ~TClockForm() override;

  QLineEdit& Edit() { return *edit_; }
  QSlider& TrackBar() { return *track_; }
  QCheckBox& CheckBox() { return *on_; }
  QPushButton& ResetButton() { return *reset_; }
  QPushButton& OkayButton() { return *okay_; }
  QTimer& Timer() { return timer_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Sync();

  build_debug::ClockControl& control_;
  workbench::RegistrySettings& settings_;
  WidgetPlacement placement_{*this};
  QLineEdit* edit_;
  QSlider* track_;
  QCheckBox* on_;
  QPushButton* reset_;
  QPushButton* okay_;
  QTimer timer_;
};

}  // namespace gui
