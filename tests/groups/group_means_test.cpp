#include "groups/group_means.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/arrays.h"

namespace locseq {
namespace {

using testing::all;
using testing::Ints;
using testing::TestArrays;
using Reals = std::vector<float>;

TEST(FormGroupMeans, MeansOverThePresentCellsOfTheMembers) {
  // Group 1 (label 7): locations 1, 2, 3; group 2 (label 6): location 5
  // alone; location 4 is eliminated and never counts. Everything starts stale.
  TestArrays t(1, 5, 3, 2);
  t.fill_stale();
  t.set_groups({1, 1, 1, 0, 1}, {7, 6}, {{1, 2, 3}, {5}});
  t.set_year({{1, 1, 1.0f},
              {2, 1, 3.0f},
              {3, 2, -2.0f},
              {4, 1, 50.0f},
              {4, 3, 9.0f},
              {5, 1, 0.25f},
              {5, 2, -0.5f}});
  ASSERT_TRUE(FormGroupMeans(t.a.year, t.a.grouping, t.a.centroids));
  // Genotype by genotype: group 1, group 2. No member has genotype 3.
  EXPECT_EQ(all(t.a.centroids.GroupMeans), (Reals{2.0f, 0.25f, -2.0f, -0.5f, 0.0f, 0.0f}));
  EXPECT_EQ(all(t.a.centroids.GroupCounts), (Ints{2, 1, 1, 1, 0, 0}));

  // The next year leaves nothing of this one.
  t.set_year({{3, 3, -1.0f}});
  ASSERT_TRUE(FormGroupMeans(t.a.year, t.a.grouping, t.a.centroids));
  EXPECT_EQ(all(t.a.centroids.GroupMeans), (Reals{0, 0, 0, 0, -1.0f, 0}));
  EXPECT_EQ(all(t.a.centroids.GroupCounts), (Ints{0, 0, 0, 0, 1, 0}));
}

TEST(FormGroupMeans, RunningSumsAreSinglePrecisionInMemberListOrder) {
  // 1e8 + 1 is 1e8 in single precision; summed the other way the 1 survives.
  for (const auto& [members, mean] :
       {std::pair{Ints{1, 2, 3}, 0.0f}, std::pair{Ints{1, 3, 2}, 1.0f / 3.0f}}) {
    TestArrays t(1, 4, 1, 1);
    t.set_groups({1, 1, 1, 0}, {6}, {members});
    t.set_year({{1, 1, 1.0e8f}, {2, 1, 1.0f}, {3, 1, -1.0e8f}});
    ASSERT_TRUE(FormGroupMeans(t.a.year, t.a.grouping, t.a.centroids));
    EXPECT_EQ(t.a.centroids.GroupMeans(1, 1), mean);
  }
}

}  // namespace
}  // namespace locseq
