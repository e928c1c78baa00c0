#include "services/gui/radio_group.h"

#include <gtest/gtest.h>

#include <QRadioButton>

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
