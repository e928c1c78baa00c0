#pragma once
// A captioned group of radio buttons kept as a list of item texts with one selected index,
// the way the IDE's forms and their text tables see a radio group. The item buttons belong
// to the group; form localization replaces them as a whole.
//
// Invariant: ItemIndex() is -1 or a valid item; replacing the items leaves no item selected.

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class QGridLayout;
class QRadioButton;

namespace gui {

class RadioGroup : public QGroupBox {
  Q_OBJECT

 public:
  explicit RadioGroup(QWidget* parent = nullptr);

  void SetItems(const QStringList& items);
  QStringList Items() const;
  int ItemIndex() const;
  void SetItemIndex(int index);
  // Items are laid out top to bottom, then left to right.
  void SetColumns(int columns);
  int Columns() const { return columns_; }
  // The item buttons, in item order. Tab enters them at the checked one.
  const QList<QRadioButton*>& ItemButtons() const { return items_; }
  // Emits idClicked(index) when the user picks an item.
  QButtonGroup& Buttons() { return buttons_; }

 private:
  void LayOut();

  QButtonGroup buttons_;
  QGridLayout* grid_;
  QList<QRadioButton*> items_;
  int columns_ = 1;
};

}  // namespace gui
