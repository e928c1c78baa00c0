#pragma once
// TRegisterForm, the register window of a debug session: every register of the chip drawn by
// the window itself from the live debug state, with change marks, bit rows and a program panel
// around the PC. Clicks and keys go to build_debug::RegisterControl.

#include <QScrollBar>
#include <QTimer>
#include <QWidget>

#include <vector>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/debug/register_unit.h"
#include "services/gui/form_placement.h"

namespace workbench {
class RegistrySettings;
}

namespace gui {

class TRegisterForm : public QWidget, public build_debug::DebugView {
  Q_OBJECT

 public:
  static constexpr char kPlacement[] = "RegisterWindow";

  // device_code and banks as the key protocol found them for the chip being debugged.
  TRegisterForm(build_debug::DebugProtocol& debug, const build_debug::ObjectImage& image,
                workbench::RegistrySettings& settings, int device_code, int banks,
                QWidget* parent = nullptr);
  ~TRegisterForm() override;

  // DebugView.
  bool IsShowing() const override { return isVisible(); }
  void RedrawDebugState(bool first_refresh) override;
  void RedrawBreakpoint() override { update(); }

  // The chip of the session about to start (as the key protocol found it): its banks and
  // memory size shape the window.
  void SetDevice(int device_code, int banks);

  build_debug::RegisterControl& Control() { return control_; }
  QScrollBar& PanelScrollBar() { return *panel_bar_; }
  // Where a register's value cell, a bit cell or a panel line is drawn (for clicks).
  QRect ValueRect(int slot) const;
  QRect BitRect(int slot, int bit) const;
  QRect FlagRect(bool pd) const;
  QRect PanelLineRect(int line) const;
  bool HintShown() const { return hint_timer_.isActive(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab and arrows stay here

 private:
  // Cell geometry in character cells of the window's fixed-pitch font.
  QRect Cell(int column, int row, int width) const;
  void DrawCell(QPainter& painter, const QRect& rect, const QString& text, int style) const;
  void DrawEditedCell(QPainter& painter, const QRect& rect, const QString& text, int style,
                      int digit) const;
  void FitToLayout();
  void FollowPc();
  void SetPanelPosition(int position);
  std::vector<int> Order() const;
  int PanelAddressAt(const QPoint& point) const;

  build_debug::DebugProtocol& debug_;
  const build_debug::ObjectImage& image_;
  workbench::RegistrySettings& settings_;
  build_debug::RegisterControl control_;
  build_debug::RegisterLayout layout_;
  WidgetPlacement placement_{*this};
  QScrollBar* panel_bar_;
  QTimer cursor_timer_;
  QTimer hint_timer_;
  // The state of the last stop, as it stood when the views were redrawn: the snapshot is
  // taken right after the redraw, before the window paints.
  build_debug::DebugState before_;
  bool cursor_on_ = false;
  int cell_w_ = 8;
  int cell_h_ = 16;
};

}  // namespace gui
