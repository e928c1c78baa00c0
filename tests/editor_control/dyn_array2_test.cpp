#include "editor_control/dyn_array2.h"

#include <gtest/gtest.h>

namespace scrivlet {
namespace {

struct Row {
  int32_t StartOffset = 0;
  int32_t FirstLine = 0;
  int32_t tag = 0;
};
using SmallArray = TDynArray2<Row, 4>;

TEST(DynArray2Test, CapacityIsWholeBlocksAndNeverBelowOne) {
  SmallArray a;
  a.SetCapacity(0);
  EXPECT_EQ(a.Capacity(), 4);
  a.SetCapacity(5);
  EXPECT_EQ(a.Capacity(), 8);
  a.SetCapacity(8);
  EXPECT_EQ(a.Capacity(), 8);
  a.SetCapacity(1);
  EXPECT_EQ(a.Capacity(), 4);
}

TEST(DynArray2Test, SetCountGrowsButNeverFreesBlocks) {
  SmallArray a;
  a.SetCount(9);
  EXPECT_EQ(a.Count(), 9);
  EXPECT_EQ(a.Capacity(), 12);
  a.SetCount(-3);
  EXPECT_EQ(a.Count(), 0);
  EXPECT_EQ(a.Capacity(), 12);
}

TEST(DynArray2Test, ItemsOutsideTheCountRaiseTheListIndexError) {
  SmallArray a;
  a.Add({});
  EXPECT_NO_THROW(a.Items(0));
  for (int32_t bad : {-1, 1, 100}) {
    try {
      a.Items(bad);
      FAIL() << bad;
    } catch (const ERangeError& e) {
      EXPECT_STREQ(e.what(), "List index out of bounds");
    }
  }
}

TEST(DynArray2Test, RecordsDoNotMoveWhenTheTableGrows) {
  SmallArray a;
  a.Add({0, 0, 7});
  const Row* first = &a.Items(0);
  for (int i = 0; i < 100; ++i) a.Add({});
  EXPECT_EQ(&a.Items(0), first);
  EXPECT_EQ(a.Items(0).tag, 7);
}

TEST(DynArray2Test, InsertAndDeleteSlotsMoveTheRecordsBehindAcrossBlocks) {
  SmallArray a;
  for (int i = 0; i < 10; ++i) a.Add({0, 0, i});
  a.InsertSlots(3, 2);
  ASSERT_EQ(a.Count(), 12);
  const int after_insert[] = {0, 1, 2, 0, 0, 3, 4, 5, 6, 7, 8, 9};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(a.Items(i).tag, after_insert[i]) << i;
  a.DeleteSlots(2, 5);
  const int after_delete[] = {0, 1, 5, 6, 7, 8, 9};
  ASSERT_EQ(a.Count(), 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(a.Items(i).tag, after_delete[i]) << i;
}

TEST(DynArray2Test, ShiftsTouchEveryRecordFromTheIndexOnOnly) {
  SmallArray a;
  for (int i = 0; i < 10; ++i) a.Add({i * 10, i, i});
  a.ShiftOffsets(3, 5);
  a.ShiftLines(8, -1);
  a.ShiftBoth(9, 100, 100);
  a.ShiftBoth(10, 1, 1);  // from >= Count: nothing
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(a.Items(i).StartOffset, i * 10 + (i >= 3 ? 5 : 0) + (i >= 9 ? 100 : 0)) << i;
    EXPECT_EQ(a.Items(i).FirstLine, i - (i >= 8 ? 1 : 0) + (i >= 9 ? 100 : 0)) << i;
  }
}

}  // namespace
}  // namespace scrivlet
