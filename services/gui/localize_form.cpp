#include "services/gui/localize_form.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include "services/gui/radio_group.h"
#include "services/gui/text.h"

namespace gui {
namespace {

using workbench::ComponentKind;

// The object that carries a tool button's texts: the action it shows, when it has one.
QObject* HintCarrier(QWidget& widget) {
  if (auto* tool = qobject_cast<QToolButton*>(&widget))
    if (QAction* action = tool->defaultAction()) return action;
  return &widget;
}

QString NameOf(QWidget& widget) {
  QString name = widget.objectName();
  if (name.isEmpty()) {
    QObject* carrier = HintCarrier(widget);
    if (carrier != &widget) name = carrier->objectName();
  }
  return name;
}

void SetHint(QWidget& widget, const std::string& hint) {
  const QString text = ShownText(hint);
  QObject* carrier = HintCarrier(widget);
  if (auto* action = qobject_cast<QAction*>(carrier)) {
    action->setToolTip(text);
    action->setStatusTip(text);
  } else {
    widget.setToolTip(text);
    widget.setStatusTip(text);
  }
}

void SetCaption(QWidget& widget, const std::string& caption) {
  const QString text = ShownText(caption);
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    label->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
    button->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
    group->setTitle(text);
  }
}

QStringList ToQtList(const std::vector<std::string>& items) {
  QStringList list;
  for (const std::string& item : items) list.push_back(ShownText(item));
  return list;
}

// New texts for the same items: the choice made in them stays (a language change while a
// window is open must not change what the user picked).
void SetItems(QWidget& widget, const workbench::ComponentTexts& texts) {
  QStringList items = ToQtList(*texts.items);
  if (auto* radio = qobject_cast<RadioGroup*>(&widget)) {
    const int chosen = radio->ItemIndex();
    radio->SetItems(items);
    radio->SetItemIndex(chosen);
  } else if (auto* list = qobject_cast<QListWidget*>(&widget)) {
    const int chosen = list->currentRow();
    list->clear();
    list->addItems(items);
    if (texts.drop_last_item && list->count() > 0) delete list->takeItem(list->count() - 1);
    if (chosen >= 0 && chosen < list->count()) list->setCurrentRow(chosen);
  }
}

// A menu item's name: its action's, or that of the submenu it opens.
QString NameOf(QAction& action) {
  QString name = action.objectName();
  if (name.isEmpty())
    if (QMenu* menu = action.menu()) name = menu->objectName();
  return name;
}

void ApplyMenuTexts(const workbench::MenuTable& table, QAction& action) {
  if (action.isSeparator()) return;
  auto texts = table.TextsFor(FromQt(NameOf(action)));
  if (!texts) return;
  action.setText(ShownText(texts->caption));
  action.setStatusTip(ShownText(texts->hint));
  action.setToolTip(ShownText(texts->hint));
}

}  // namespace

ComponentKind KindOf(const QWidget& widget) {
  if (qobject_cast<const RadioGroup*>(&widget)) return ComponentKind::RadioGroup;
  if (qobject_cast<const QGroupBox*>(&widget)) return ComponentKind::GroupBox;
  if (qobject_cast<const QCheckBox*>(&widget)) return ComponentKind::CheckBox;
  if (qobject_cast<const QPushButton*>(&widget)) return ComponentKind::Button;
  if (qobject_cast<const QToolButton*>(&widget)) return ComponentKind::ToolButton;
  if (qobject_cast<const QLabel*>(&widget)) return ComponentKind::Label;
  if (qobject_cast<const QListWidget*>(&widget)) return ComponentKind::ListBox;
  return ComponentKind::Other;
}

bool LocalizeForm(QWidget& form, const workbench::Localizer& texts) {
  const std::string form_name = FromQt(form.objectName());
  const workbench::FormTable table = texts.LoadFormTable(form_name);
  if (table.Empty()) return true;
  if (auto fields = table.Fields(form_name)) form.setWindowTitle(ShownText((*fields)[0]));

  // Refilling a radio group replaces its buttons, so widgets of the snapshot can go away
  // while it is walked.
  QList<QPointer<QWidget>> widgets;
  for (QWidget* widget : form.findChildren<QWidget*>()) widgets.append(widget);
  for (const QPointer<QWidget>& widget : widgets) {
    if (!widget) continue;
    const ComponentKind kind = KindOf(*widget);
    if (kind == ComponentKind::Other) continue;
    // A group's own enabled state, not the one it takes from a disabled parent.
    const bool enabled = !widget->testAttribute(Qt::WA_ForceDisabled);
    workbench::ComponentTexts texts =
        workbench::TextsForComponent(table, form_name, FromQt(NameOf(*widget)), kind, enabled);
    if (texts.caption) SetCaption(*widget, *texts.caption);
    if (texts.hint) SetHint(*widget, *texts.hint);
    if (texts.items) SetItems(*widget, texts);
  }
  return true;
}

void LocalizeMenu(QWidget& menu, const workbench::Localizer& texts,
                  int /*language: one language is built in*/) {
  const workbench::MenuTable table = texts.LoadMenuTable(FromQt(menu.objectName()));
  if (table.Empty()) return;
  for (QAction* top : menu.actions()) {
    ApplyMenuTexts(table, *top);
    if (QMenu* sub = top->menu())
      for (QAction* child : sub->actions()) ApplyMenuTexts(table, *child);
  }
}

int RegisterFormLanguageCallback(QWidget& form, workbench::Localizer& localizer) {
  QWidget* target = &form;
  workbench::Localizer* texts = &localizer;
  const int slot =
      texts->RegisterLanguageCallback([target, texts](int) { LocalizeForm(*target, *texts); });
  QObject::connect(&form, &QObject::destroyed,
                   [texts, slot] { texts->UnregisterLanguageCallback(slot); });
  return slot;
}

int RegisterMenuLanguageCallback(QWidget& menu, workbench::Localizer& localizer,
                                 workbench::LanguageCallback callback) {
  workbench::Localizer* texts = &localizer;
  const int slot = texts->RegisterMenuLanguageCallback(std::move(callback));
  if (slot >= 0)
    QObject::connect(&menu, &QObject::destroyed,
                     [texts, slot] { texts->UnregisterLanguageCallback(slot); });
  return slot;
}

}  // namespace gui
