#pragma once
// A window used from the keyboard alone: the order Tab goes through its controls, and radio
// buttons that Tab enters at the checked one.

#include <QList>

class QRadioButton;
class QWidget;

namespace gui {

// Tab goes through `widgets` in this order; those that take no focus are passed over.
void SetTabOrder(const QList<QWidget*>& widgets);

// Tab enters the buttons at the checked one, or at the first while none is checked, and
// leaves them at the next Tab; the arrow keys move the check among them. Holds as the check
// moves and while the buttons live.
void TabEntersAtChecked(const QList<QRadioButton*>& buttons);

}  // namespace gui
