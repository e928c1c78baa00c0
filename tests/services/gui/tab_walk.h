#pragma once
// Keyboard use of a window in a test: the window in front, and the controls the focus goes
// through as the user presses Tab.

#include <QAbstractButton>
#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <ostream>

// Test failures show a control's name as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace testing_gui {

// The window shown and in front, so that the focus can go to its controls.
inline bool InFront(QWidget& window) {
  window.show();
  window.activateWindow();
  const bool active = QTest::qWaitForWindowActive(&window);
  QApplication::processEvents();
  return active;
}

// What a control is called in a walk: its object name, or a button's text when it has none.
inline QString ControlName(const QWidget* widget) {
  if (widget == nullptr) return "(none)";
  if (!widget->objectName().isEmpty()) return widget->objectName();
  if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  return widget->metaObject()->className();
}

// Presses Tab (Shift+Tab when `back`) `presses` times from the control that has the focus,
// naming each control the focus lands on.
inline QStringList TabWalk(int presses, bool back = false) {
  QStringList names;
  for (int i = 0; i < presses; ++i) {
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr) {
      names.push_back(ControlName(nullptr));
      break;
    }
    QTest::keyClick(focus, back ? Qt::Key_Backtab : Qt::Key_Tab,
                    back ? Qt::ShiftModifier : Qt::NoModifier);
    names.push_back(ControlName(QApplication::focusWidget()));
  }
  return names;
}

}  // namespace testing_gui
