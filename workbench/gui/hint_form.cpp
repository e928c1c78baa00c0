#include "workbench/gui/hint_form.h"

#include <QPainter>

#include "resources/code_widget_names.h"

namespace hint_form = widget_names::HintForm;

namespace gui {

THintForm::THintForm(QWidget& owner) : QWidget(&owner, Qt::ToolTip | Qt::FramelessWindowHint) {
  setObjectName(hint_form::HintForm);
  setAttribute(Qt::WA_ShowWithoutActivating);
  timer_.setSingleShot(false);
  connect(&timer_, &QTimer::timeout, this, [this] { HintTimerTimer(); });
}

void THintForm::ShowHintAt(QPoint pos, int lines, const QString& text, int interval_ms,
                           QWidget* focus_form) {
  // While the window comes up the timer must not hide it.
  showing_ = true;
  text_ = text;
  // The window hugs its text: 3 pixels of margin beside it, 2 above and 3 below.
  const QFontMetrics metrics(font());
  int width = 0;
  for (const QString& line : text.split(QLatin1Char('\n')))
    width = std::max(width, metrics.horizontalAdvance(line));
  setGeometry(pos.x(), pos.y(), width + 6, metrics.height() * lines + 5);
  show();
  update();
  timer_.start(interval_ms);
  if (focus_form) focus_form->activateWindow();
  showing_ = false;
}

void THintForm::HintTimerTimer() {
  if (showing_) return;
  hide();
  timer_.stop();
}

void THintForm::HideHint() { HintTimerTimer(); }

void THintForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(Qt::black);
  painter.setBrush(palette().color(QPalette::ToolTipBase));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  painter.setPen(palette().color(QPalette::ToolTipText));
  painter.drawText(QRect(3, 2, width() - 3, height() - 2), Qt::AlignLeft | Qt::AlignTop, text_);
}

}  // namespace gui
