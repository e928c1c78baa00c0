#pragma once
// TWatchForm, the watch window of a debug session: one line per watch entry of the object
// image, its name and its value in its format, drawn by the window itself. A click on a value
// edits it; the typed text goes to the chip through build_debug::CommitWatch.

#include <QWidget>

#include "build_debug/debug/debug_protocol.h"
#include "build_debug/debug/watch_unit.h"
#include "services/gui/form_placement.h"

namespace workbench {
class MessageStrings;
class RegistrySettings;
}  // namespace workbench

namespace gui {

class TWatchForm : public QWidget, public build_debug::DebugView {
  Q_OBJECT

 public:
  static constexpr char kPlacement[] = "WatchWindow";

  TWatchForm(build_debug::DebugProtocol& debug, const build_debug::ObjectImage& image,
             const workbench::MessageStrings& messages, workbench::RegistrySettings& settings,
             QWidget* parent = nullptr);
  ~TWatchForm() override;

  // DebugView.
  bool IsShowing() const override { return isVisible(); }
  void RedrawDebugState(bool first_refresh) override;
  void RedrawBreakpoint() override {}

  // The text a line shows now (the typed text while it is edited).
  QString ValueText(int index) const;
  QRect ValueRect(int index) const;
  const build_debug::WatchEditor& Editor() const { return editor_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }

 private:
  int Count() const;
  void FitToEntries();
  // Ends the edit; writes the typed text when asked and when something was typed.
  void EndEdit(bool write);

  build_debug::DebugProtocol& debug_;
  const build_debug::ObjectImage& image_;
  const workbench::MessageStrings& messages_;
  workbench::RegistrySettings& settings_;
  WidgetPlacement placement_{*this};
  build_debug::WatchEditor editor_{0};
  int name_columns_ = 8;
  int value_columns_ = 8;
  int cell_w_ = 8;
  int cell_h_ = 16;
};

}  // namespace gui
