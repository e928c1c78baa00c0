#pragma once
// TCodeForm, "CodeWindow": the built-in assembler's listing while debugging, drawn line by
// line by the window itself over build_debug::CodeView, with the PC and break lines marked.

#include <QScrollBar>
#include <QWidget>

#include <string>

#include "build_debug/debug/code_unit.h"
#include "build_debug/debug/debug_protocol.h"

namespace workbench {
class RegistrySettings;
}

namespace gui {

class TCodeForm : public QWidget, public build_debug::DebugView {
  Q_OBJECT

 public:
  static constexpr char kPlacement[] = "CodeWindow";

  // `remember_placement`: the IDE option that keeps where the window stood.
  TCodeForm(build_debug::DebugProtocol& debug, const build_debug::ObjectImage& image,
            workbench::RegistrySettings& settings, bool remember_placement,
            QWidget* parent = nullptr);
  ~TCodeForm() override;

  // The caption: the window's name, " -  " and the source file name.
  void SetSourceName(const std::string& name);

  // DebugView.
  bool IsShowing() const override { return isVisible(); }
  void RedrawDebugState(bool first_refresh) override;
  void RedrawBreakpoint() override { Redraw(false); }

  build_debug::CodeView& View() { return view_; }
  QScrollBar& ScrollBar() { return *bar_; }
  QRect LineRect(int position) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Redraw(bool full);
  int PositionAt(const QPoint& point) const;

  build_debug::DebugProtocol& debug_;
  const build_debug::ObjectImage& image_;
  workbench::RegistrySettings& settings_;
  bool remember_placement_;
  build_debug::CodeView view_;
  QScrollBar* bar_;
  int line_h_ = 16;
};

}  // namespace gui
