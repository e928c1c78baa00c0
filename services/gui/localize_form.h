#pragma once
// Form and menu texts applied to Qt widgets. A form's table is found by the form's object
// name and each component's line by the component's object name; the component's class
// says which fields it takes:
//   QLabel (also a captioned panel), QCheckBox, QPushButton, QGroupBox: caption and hint;
//   RadioGroup: caption, hint, and its items while it is enabled;
//   QListWidget: hint, and its items when its line gives some;
//   QToolButton (or the action it shows): hint.
// A hint becomes the tool tip and the status-bar tip.

#include "services/localize.h"

class QWidget;

namespace gui {

workbench::ComponentKind KindOf(const QWidget& widget);

// Applies the form table named after form's object name; always true.
bool LocalizeForm(QWidget& form, const workbench::Localizer& texts);
// Applies the menu table named after menu's object name (a QMenuBar or a QMenu) to its items
// and to their direct children; deeper items keep their captions.
void LocalizeMenu(QWidget& menu, const workbench::Localizer& texts, int language);

// A callback that localizes the form at every language change; it goes when the form does
// (a form must not outlive the localizer it registered with).
int RegisterFormLanguageCallback(QWidget& form, workbench::Localizer& texts);
// Registers the callback for a menu (only once localization has started; -1 before).
int RegisterMenuLanguageCallback(QWidget& menu, workbench::Localizer& texts,
                                 workbench::LanguageCallback callback);

}  // namespace gui
