#pragma once
// LegacyEditorWidget: the window the legacy editor (workbench/old_editor.h) is drawn on. It
// measures the editor font, hands key, mouse and wheel events to the editor, and draws the
// rows the editor built through update() and paintEvent, the caret included. The editor's
// timers and the click clock come in from outside, so tests drive them without waiting.

#include <QFont>
#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "editor_control/gui/editor_text.h"
#include "platform/clock.h"
#include "workbench/old_editor.h"

namespace gui {

// The editor's two timers on the Qt event loop.
class QtLegacyTimers : public QObject, public workbench::LegacyTimers {
 public:
  explicit QtLegacyTimers(workbench::LegacyEditor& editor);
  void SetCursorTimer(bool on) override;
  void SetSelectTimer(bool on) override;
  bool CursorTimerOn() const { return cursor_.isActive(); }
  bool SelectTimerOn() const { return select_.isActive(); }

 private:
  QTimer cursor_;
  QTimer select_;
};

// Milliseconds of the machine's steady clock.
class SteadyClock : public platform::Clock {
 public:
  std::uint32_t TickCount() const override;
  void Sleep(std::uint32_t milliseconds) override;
};

class LegacyEditorWidget : public QWidget, public workbench::LegacyScreen {
  Q_OBJECT

 public:
  LegacyEditorWidget(workbench::LegacyEditor& editor, const platform::Clock& clock,
                     QWidget* parent = nullptr);
  ~LegacyEditorWidget() override;

  void SetEditorFont(const QString& name, int size);
  const QFont& EditorFont() const { return font_; }
  // LegacyLayOut for the widget's size and the font's cell.
  void LayOut();
  // Everything drawn again.
  void Repaint();

  void RowsChanged(int first_row, int count) override;
  void FrameChanged() override;
  void CaretChanged() override;

  // Fired when the caret is drawn at another place or the text changed.
  std::function<void()> OnCaretMoved;
  // Told of a typed or composed character the buffer cannot hold; that input types nothing.
  std::function<void(scrivlet::gui::UnheldCharacter)> OnUnheldCharacter;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  // TAB is a character here, not a move to the next control.
  bool focusNextPrevChild(bool next) override;

 private:
  QRect CaretRect() const;
  void TypeCharacters(const QString& text);

  workbench::LegacyEditor& editor_;
  const platform::Clock& clock_;
  int caret_told_ = -1;
  std::uint64_t revision_told_ = 0;
  QFont font_;
};

}  // namespace gui
