#pragma once
// Left clicks and double clicks sent straight to a window offscreen.

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace gui {

inline void SendClick(QWidget& window, const QRect& rect, bool twice = false) {
  const QPointF at = rect.center();
  QMouseEvent press(QEvent::MouseButtonPress, at, window.mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &press);
  if (!twice) return;
  QMouseEvent dbl(QEvent::MouseButtonDblClick, at, window.mapToGlobal(at), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &dbl);
}

}  // namespace gui
