#include "services/gui/radio_group.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "tests/services/gui/tab_walk.h"

namespace {

TEST(RadioGroup, NewItemsLeaveNoneSelected) {
  gui::RadioGroup group;
  group.SetItems({"Slowest", "4 MHz", "Fastest"});
  EXPECT_EQ(group.ItemIndex(), -1);
  group.SetItemIndex(2);
  EXPECT_EQ(group.ItemIndex(), 2);
  group.SetItemIndex(-1);
  EXPECT_EQ(group.ItemIndex(), -1);
  group.SetItemIndex(1);
  group.SetItems({"English"});
  EXPECT_EQ(group.ItemIndex(), -1);
  EXPECT_EQ(group.Items(), QStringList{"English"});
  EXPECT_EQ(group.findChildren<QRadioButton*>().size(), 1);
  group.SetItemIndex(5);  // out of range: nothing selected
  EXPECT_EQ(group.ItemIndex(), -1);
}

TEST(RadioGroup, UserPickReportsItsIndex) {
  gui::RadioGroup group;
  group.SetItems({"Assembly", "QV/B"});
  group.SetColumns(2);
  int picked = -1;
  QObject::connect(&group.Buttons(), &QButtonGroup::idClicked, [&](int id) { picked = id; });
  group.findChildren<QRadioButton*>()[1]->click();
  EXPECT_EQ(picked, 1);
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_EQ(group.Columns(), 2);
}

}  // namespace

namespace {

TEST(RadioGroup, TabEntersAtTheCheckedItemAndLeavesAtTheNextTab) {
  QWidget window;
  auto* before = new QLineEdit(&window);
  before->setObjectName("before");
  auto* group = new gui::RadioGroup(&window);
  group->SetItems({"Slowest", "4 MHz", "Fastest"});
  auto* after = new QPushButton("after", &window);
  auto* layout = new QVBoxLayout(&window);
  for (QWidget* w : std::initializer_list<QWidget*>{before, group, after}) layout->addWidget(w);
  ASSERT_TRUE(testing_gui::InFront(window));
  struct Row {
    int checked;  // -1: none
    QStringList forth, back;
  };
  const Row rows[] = {
      {1, {"4 MHz", "after"}, {"4 MHz", "before"}},
      {2, {"Fastest", "after"}, {"Fastest", "before"}},
      {-1, {"Slowest", "after"}, {"Slowest", "before"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.checked);
    group->SetItemIndex(r.checked);
    before->setFocus();
    EXPECT_EQ(testing_gui::TabWalk(2), r.forth);
    EXPECT_EQ(testing_gui::TabWalk(2, true), r.back);
  }
  // The arrow keys move the check, and Tab enters at the new one.
  group->SetItemIndex(0);
  group->ItemButtons()[0]->setFocus();
  QTest::keyClick(group->ItemButtons()[0], Qt::Key_Down);
  EXPECT_EQ(group->ItemIndex(), 1);
  before->setFocus();
  EXPECT_EQ(testing_gui::TabWalk(1), QStringList{"4 MHz"});
  // Items put in again keep the rule.
  group->SetItems({"English", "Deutsch"});
  QApplication::processEvents();  // new buttons of a shown group show from the event loop
  group->SetItemIndex(1);
  before->setFocus();
  EXPECT_EQ(testing_gui::TabWalk(2), (QStringList{"Deutsch", "after"}));
}

}  // namespace
