#include "base/slot_list.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vtsetup {
namespace {

using List = SlotList<int>;

// The callers' walk: First, then Next until the position runs out, skipping empty steps. Bounded so
// that a broken link chain fails the test instead of hanging it.
std::vector<int*> Walk(const List& list) {
  std::vector<int*> items;
  std::uint16_t position = 0;
  int* item = list.First(position);
  for (int steps = 0; position != 0xFFFF && steps <= 0x10000; ++steps) {
    if (item != nullptr) {
      items.push_back(item);
    }
    item = list.Next(position);
  }
  return items;
}

TEST(SlotList, EmptyListEndsAtOnce) {
  const List list;
  std::uint16_t position = 0;
  EXPECT_EQ(list.First(position), nullptr);
  EXPECT_EQ(position, 0xFFFF);
  position = 0;
  EXPECT_EQ(list.Next(position), nullptr);
  EXPECT_EQ(position, 0xFFFF);
  EXPECT_EQ(list.Count(), 0u);
}

TEST(SlotList, GrowsEightSlotsAtATimeAndKeepsInsertionOrder) {
  int values[9] = {};
  List list;
  std::vector<int*> expected;
  for (int i = 0; i < 9; ++i) {
    ASSERT_TRUE(list.AddLast(&values[i]));
    expected.push_back(&values[i]);
    EXPECT_EQ(list.Capacity(), i < 8 ? 8u : 16u) << "after " << i + 1 << " appends";
  }
  std::uint16_t position = 0xFFFF;
  EXPECT_EQ(list.First(position), &values[0]);
  EXPECT_NE(position, 0xFFFF);
  EXPECT_EQ(list.Count(), 9u);
  EXPECT_EQ(Walk(list), expected);
}

TEST(SlotList, NextFromAPositionOutsideTheSlotsEnds) {
  int value = 0;
  List list;
  ASSERT_TRUE(list.AddLast(&value));
  for (const std::uint16_t start :
       {std::uint16_t{8}, std::uint16_t{9}, std::uint16_t{0xFFFE}, std::uint16_t{0xFFFF}}) {
    std::uint16_t position = start;
    EXPECT_EQ(list.Next(position), nullptr) << "from " << start;
    EXPECT_EQ(position, 0xFFFF) << "from " << start;
  }
}

TEST(SlotList, RefusesAnAppendBeyond65528Entries) {
  std::vector<int> values(65529);
  List list;
  std::vector<int*> expected;
  for (int i = 0; i < 65528; ++i) {
    ASSERT_TRUE(list.AddLast(&values[i])) << "append " << i;
    expected.push_back(&values[i]);
  }
  EXPECT_EQ(list.Capacity(), 65528u);
  EXPECT_FALSE(list.AddLast(&values[65528]));
  EXPECT_EQ(list.Count(), 65528u);
  EXPECT_EQ(list.Capacity(), 65528u);
  EXPECT_EQ(Walk(list), expected);
}

}  // namespace
}  // namespace vtsetup
