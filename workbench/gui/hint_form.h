#pragma once
// THintForm: the borderless tooltip window of the debug windows. It shows a text at a point
// for a while and then hides itself.
//   hint.ShowHintAt(point, lines, text, 2000, this);

#include <QTimer>
#include <QWidget>

namespace gui {

class THintForm : public QWidget {
 public:
  explicit THintForm(QWidget& owner);

  // Shows `text` (of `lines` lines) at `pos` (global) for `interval_ms`, then gives the focus
  // back to `focus_form`.
  void ShowHintAt(QPoint pos, int lines, const QString& text, int interval_ms, QWidget* focus_form);
  void HideHint();
  const QString& Text() const { return text_; }
  QTimer& HintTimer() { return timer_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void HintTimerTimer();

  QTimer timer_;
  QString text_;
  bool showing_ = false;
};

}  // namespace gui
