#pragma once
// TScrivlet on screen: a QAbstractScrollArea shell over the text core. It measures and
// draws with Qt, carries out what the core asks of its window (repaint, caret, scroll
// bars), and hands keys, mouse and wheel to the core's input handling. Everything the
// control decides lives in the core; this class only translates.

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QFont>
#include <QPixmap>
#include <functional>
#include <memory>
#include <string>

#include "editor_control/gui/editor_text.h"
#include "editor_control/gui/qt_clipboard.h"
#include "editor_control/gui/qt_slice_scheduler.h"
#include "editor_control/gui/qt_text_measurer.h"
#include "editor_control/input.h"
#include "editor_control/scrivlet.h"

class QMenu;

namespace scrivlet::gui {

// The virtual key code of a Qt key (0 for keys the control has no code for).
uint16_t VirtualKeyOf(int qt_key);
uint8_t ShiftBitsOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);

class TScrivlet : public QAbstractScrollArea, public TScrivletWindow, public TScrivInputHost {
  Q_OBJECT
 public:
  // Services left empty are bound to Qt's: the event loop's slice scheduler, the system
  // clipboard. The window seam is this widget.
  explicit TScrivlet(QWidget* parent = nullptr, TScrivletServices services = {});
  ~TScrivlet() override;

  scrivlet::TScrivlet& Memo() { return *memo_; }
  TScrivInput& Input() { return *input_; }
  QtTextMeasurer& Measurer() { return measurer_; }

  // The control font and the alternate font (style bit 5); the text is measured again.
  void SetFonts(const QFont& font, const QFont& alt_font);
  const QFont& Font() const { return font_; }
  // Tiled behind the text, aligned to the scroll offsets; a null pixmap fills with Color.
  void SetBackgroundBmp(const QPixmap& picture);
  // The properties the window's style holds.
  void SetTabStop(bool on);

  // Paints the whole client area into `target` as the screen shows it (without the caret).
  void RenderClient(QPaintDevice& target);
  // Where the self-test's and other handlers' exceptions go; by default to qWarning.
  std::function<void(const std::string&)> OnError;

  // TScrivletWindow
  void Invalidate() override;
  void UpdateCaret() override;
  void UpdateScrollBars() override;
  void RecreateWindow() override;
  void CaretShapeChanged() override;

  // TScrivInputHost
  void SetCursor(TScrivCursor cursor, int16_t run_cursor) override;
  bool HasPopupMenu() override { return popup_menu_ != nullptr; }
  void OpenPopup(int32_t x, int32_t y, bool default_menu) override;
  bool Focused() override { return hasFocus(); }
  void TakeFocus() override { setFocus(Qt::MouseFocusReason); }
  int32_t WheelScrollLines() override;
  void ScheduleAutoScroll(int32_t delay_ms) override;
  void Repaint() override { viewport()->update(); }

  bool CaretShown() const { return caret_on_; }
  // A menu of the program's own in place of the default one (not owned; nullptr: none).
  void SetPopupMenu(QMenu* menu) { popup_menu_ = menu; }
  // The default popup menu, once it was needed.
  QMenu* DefaultPopup() const { return default_popup_; }
  // Fired with the default menu before it shows, so that a program may change the items.
  std::function<void(QMenu&)> OnInternalPopup;
  // Told of a typed, composed, pasted or dropped character the control cannot hold; the
  // input that brought it is refused whole. By default to qWarning.
  std::function<void(UnheldCharacter)> OnUnheldCharacter;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void scrollContentsBy(int, int) override {}
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void PaintInto(QPainter& painter, const QRect& rect, bool with_caret);
  void OnScrollAction(Qt::Orientation orientation, int action);
  void OnScrollValue(Qt::Orientation orientation, int value);
  void Report(const std::exception& e);
  void SyncBounds();
  void StartExternalDrag();
  // Types the characters one by one as keys would; a text with a character the control
  // cannot hold types nothing.
  bool TypeCharacters(const QString& text);
  void RefuseCharacter(UnheldCharacter unheld);
  // Runs an input handler; an exception (the self-test's, a text too long) is reported.
  template <typename F>
  bool Guarded(F f);

  QtTextMeasurer measurer_;
  QtSliceScheduler scheduler_;
  QtClipboard clipboard_;
  TScrivClipboard* clipboard_in_use_ = nullptr;
  std::unique_ptr<scrivlet::TScrivlet> memo_;
  QFont font_;
  QFont alt_font_;
  QPixmap background_;
  QBasicTimer blink_;
  bool caret_on_ = false;
  bool syncing_bars_ = false;
  std::unique_ptr<TScrivInput> input_;
  QMenu* popup_menu_ = nullptr;
  QMenu* default_popup_ = nullptr;
  QBasicTimer auto_scroll_;
};

}  // namespace scrivlet::gui
