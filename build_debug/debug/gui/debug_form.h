#pragma once
// TDebugFRM, "Debug": the control panel of a debug session, a thin shell over
// build_debug::DebugControl. Showing the window starts the session, hiding it ends it; the
// buttons, the numeric-pad keys and the timer go to the control, and the panel it keeps is
// shown after each of them.

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <memory>

#include "build_debug/debug/debug_control.h"
#include "services/gui/form_placement.h"

namespace workbench {
class Localizer;
}

namespace gui {

class TDebugFRM : public QWidget {
  Q_OBJECT

 public:
  TDebugFRM(build_debug::DebugControl& control, workbench::Localizer& texts,
            QWidget* parent = nullptr);
  ~TDebugFRM() override;

  // WM_DEBUG_PROGRAMMED.
  void DebugProgrammed();

  QPushButton& Button(const char* name) const;
  QLabel& SpeedLabel() const { return *speed_label_; }
  QLabel& StatusPanel() const { return *status_panel_; }
  QTimer& Timer() { return timer_; }
  build_debug::DebugControl& Control() { return control_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QPushButton* AddButton(const char* name, const char* caption,
                         void (build_debug::DebugControl::*click)());
  void Sync();

  build_debug::DebugControl& control_;
  WidgetPlacement placement_{*this};
  QTimer timer_;
  QLabel* speed_label_;
  QLabel* status_panel_;
  QPushButton* slower_;
  QPushButton* faster_;
  int language_slot_ = -1;
  workbench::Localizer& texts_;
};

}  // namespace gui
