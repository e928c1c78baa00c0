#include "services/gui/hint_time.h"

#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace gui {

bool HintDisplayTime::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  // Views, menus and tab bars show their items' hints themselves; a widget with a time of its
  // own keeps it.
  if (widget->toolTip().isEmpty() || widget->toolTipDuration() >= 0) return false;
  QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), widget->toolTip(), widget,
                     QRect(), milliseconds_);
  return true;
}

}  // namespace gui
