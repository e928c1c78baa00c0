#include "services/gui/keyboard.h"

#include <QPointer>
#include <QRadioButton>

namespace gui {

void SetTabOrder(const QList<QWidget*>& widgets) {
  QWidget* previous = nullptr;
  for (QWidget* widget : widgets) {
    if (widget == nullptr || widget->focusPolicy() == Qt::NoFocus) continue;
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

void TabEntersAtChecked(const QList<QRadioButton*>& buttons) {
  if (buttons.isEmpty()) return;
  QList<QPointer<QRadioButton>> set;
  for (QRadioButton* button : buttons) set.push_back(button);
  // The others keep taking a click and the arrow keys' move; only Tab passes them over.
  const auto update = [set] {
    QRadioButton* entry = nullptr;
    for (const QPointer<QRadioButton>& button : set)
      if (button && button->isChecked()) entry = button;
    for (const QPointer<QRadioButton>& button : set)
      if (entry == nullptr && button) entry = button;
    for (const QPointer<QRadioButton>& button : set)
      if (button) button->setFocusPolicy(button == entry ? Qt::StrongFocus : Qt::ClickFocus);
  };
  for (QRadioButton* button : buttons)
    QObject::connect(button, &QAbstractButton::toggled, button, update);
  update();
}

}  // namespace gui
