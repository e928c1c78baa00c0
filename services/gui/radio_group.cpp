#include "services/gui/radio_group.h"

#include <QGridLayout>
#include <QRadioButton>

#include "services/gui/keyboard.h"

namespace gui {

RadioGroup::RadioGroup(QWidget* parent) : QGroupBox(parent), grid_(new QGridLayout(this)) {
  buttons_.setExclusive(true);
}

void RadioGroup::SetItems(const QStringList& items) {
  for (QRadioButton* b : items_) {
    buttons_.removeButton(b);
    delete b;
  }
  items_.clear();
  for (int i = 0; i < items.size(); ++i) {
    auto* b = new QRadioButton(items[i], this);
    buttons_.addButton(b, i);
    items_.push_back(b);
  }
  // New buttons join the window's focus chain at its end: they go back to the group's place,
  // behind the control before it.
  QWidget* previous = previousInFocusChain();
  while (previous != this && previous != window() &&
         (isAncestorOf(previous) || previous->focusPolicy() == Qt::NoFocus))
    previous = previous->previousInFocusChain();
  if (previous != this && previous != window())
    for (QRadioButton* b : items_) {
      QWidget::setTabOrder(previous, b);
      previous = b;
    }
  TabEntersAtChecked(items_);
  LayOut();
}

QStringList RadioGroup::Items() const {
  QStringList texts;
  for (const QRadioButton* b : items_) texts.push_back(b->text());
  return texts;
}

int RadioGroup::ItemIndex() const { return buttons_.checkedId(); }

void RadioGroup::SetItemIndex(int index) {
  if (index >= 0 && index < items_.size()) {
    items_[index]->setChecked(true);
  } else if (QAbstractButton* checked = buttons_.checkedButton()) {
    // An exclusive group never unchecks its last button by itself.
    buttons_.setExclusive(false);
    checked->setChecked(false);
    buttons_.setExclusive(true);
  }
}

void RadioGroup::SetColumns(int columns) {
  columns_ = columns < 1 ? 1 : columns;
  LayOut();
}

void RadioGroup::LayOut() {
  for (QRadioButton* b : items_) grid_->removeWidget(b);
  const int count = static_cast<int>(items_.size());
  const int rows = (count + columns_ - 1) / columns_;
  for (int i = 0; i < count; ++i)
    grid_->addWidget(items_[i], i % (rows ? rows : 1), i / (rows ? rows : 1));
}

}  // namespace gui
