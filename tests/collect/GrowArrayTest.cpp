// GrowArray: growth rules, first-occurrence removal, searches, ownership transfer.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "collect/GrowArray.h"

namespace {

struct Tri {
  std::uint16_t a, b, c;
};

std::vector<int> Values(const GrowArray<int>& a) { return {a.begin(), a.end()}; }

TEST(GrowArray, FirstAppendGives16SlotsAndThe17thDoubles) {
  GrowArray<std::uint32_t> a;
  EXPECT_EQ(a.Capacity(), 0u);
  EXPECT_EQ(a.Data(), nullptr);
  a.Append(100);
  EXPECT_EQ(a.Capacity(), 16u);
  for (std::uint32_t i = 1; i < 16; ++i) a.Append(100 + i);
  EXPECT_EQ(a.Capacity(), 16u);
  EXPECT_EQ(a.Append(116), 16u);
  EXPECT_EQ(a.Capacity(), 32u);
  ASSERT_EQ(a.Count(), 17u);
  for (std::uint32_t i = 0; i < 17; ++i) EXPECT_EQ(a[i], 100 + i);
}

TEST(GrowArray, AppendingItsOwnElementSurvivesTheGrowth) {
  GrowArray<std::uint64_t> a;
  for (std::uint64_t i = 0; i < 16; ++i) a.Append(i * 11 + 5);
  a.Append(a[3]);  // the reference points into the block that the growth frees
  EXPECT_EQ(a.Capacity(), 32u);
  EXPECT_EQ(a.Last(), 38u);
}

TEST(GrowArray, ReserveSetsTheExactCapacityAndKeepsElements) {
  GrowArray<int> a;
  a.Reserve(5);
  EXPECT_EQ(a.Capacity(), 5u);
  for (int i = 0; i < 5; ++i) a.Append(i);
  EXPECT_EQ(a.Capacity(), 5u);
  a.Append(5);  // full: doubles from the reserved size
  EXPECT_EQ(a.Capacity(), 10u);
  a.Reserve(7);
  EXPECT_EQ(a.Capacity(), 7u);
  a.Reserve(2);  // below the count: no element is lost
  EXPECT_EQ(a.Capacity(), 6u);
  EXPECT_EQ(Values(a), (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(GrowArray, RemoveTakesOnlyTheFirstOccurrenceAndKeepsOrder) {
  struct Case {
    std::vector<int> start;
    int value;
    bool found;
    std::vector<int> after;
  };
  const Case cases[] = {
      {{1, 7, 2, 7, 3}, 7, true, {1, 2, 7, 3}},
      {{7, 7}, 7, true, {7}},
      {{1, 2, 3}, 3, true, {1, 2}},
      {{1, 2, 3}, 9, false, {1, 2, 3}},
      {{}, 1, false, {}},
  };
  for (const Case& c : cases) {
    GrowArray<int> a;
    for (int v : c.start) a.Append(v);
    EXPECT_EQ(a.Remove(c.value), c.found);
    EXPECT_EQ(Values(a), c.after);
  }
}

TEST(GrowArray, SearchesComparePointersByAddressAndRecordsByValue) {
  int objects[3] = {5, 5, 5};  // equal values, distinct addresses
  GrowArray<int*> p;
  p.Append(&objects[0]);
  p.Append(&objects[2]);
  EXPECT_EQ(p.IndexOf(&objects[2]), 1);
  EXPECT_FALSE(p.Contains(&objects[1]));
  EXPECT_TRUE(p.AddUnique(&objects[1]));
  EXPECT_FALSE(p.AddUnique(&objects[0]));
  EXPECT_EQ(p.Count(), 3u);
  p.RemoveAt(0);
  EXPECT_EQ(p[0], &objects[2]);
  EXPECT_EQ(objects[0], 5);  // the pointee is untouched

  GrowArray<Tri> t;
  t.Append({1, 2, 3});
  t.Append({4, 5, 6});
  EXPECT_EQ(t.IndexOf({4, 5, 6}), 1);
  EXPECT_EQ(t.IndexOf({4, 5, 7}), -1);
}

TEST(GrowArray, MoveTransfersStorageAndDestroyEmpties) {
  GrowArray<int> a;
  a.Append(1);
  a.Append(2);
  const int* block = a.Data();
  GrowArray<int> b(std::move(a));
  EXPECT_EQ(b.Data(), block);
  EXPECT_EQ(a.Data(), nullptr);
  EXPECT_EQ(a.Count(), 0u);
  a = std::move(b);
  EXPECT_EQ(Values(a), (std::vector<int>{1, 2}));
  a.Destroy();
  EXPECT_EQ(a.Capacity(), 0u);
  EXPECT_EQ(a.Data(), nullptr);
  a.Append(3);  // usable again after Destroy
  EXPECT_EQ(a.Capacity(), 16u);
}

}  // namespace
