#include "groups/sed.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/arrays.h"

namespace locseq {
namespace {

using testing::all;
using testing::Ints;
using testing::TestArrays;
using Sums = std::vector<double>;

// Group k's mean for genotype j, over `count` present cells.
void centroid(TestArrays& t, long k, long j, float mean, std::int32_t count) {
  t.a.centroids.GroupMeans(k, j) = mean;
  t.a.centroids.GroupCounts(k, j) = count;
}

TEST(AddYearDistances, OverTheGenotypesBothHaveAddedUpOverTheYears) {
  // Eliminated locations 1, 4 and 5 are the rows; 2 and 3 are the groups'
  // members. Group 2 has no genotype 2.
  TestArrays t(2, 5, 2, 2);
  t.set_groups({0, 1, 1, 0, 0}, {1, 2}, {{2}, {3}});
  centroid(t, 1, 1, 0.0f, 1);
  centroid(t, 1, 2, 0.0f, 1);
  centroid(t, 2, 1, 1.0f, 1);
  // Year 1: locations 1 and 4; the members' own cells play no part.
  t.set_year({{1, 1, 2.0f}, {4, 2, 3.0f}, {2, 1, 50.0f}, {3, 2, 50.0f}});
  ASSERT_TRUE(AddYearDistances(t.a.year, t.a.grouping, t.a.centroids, t.a.distances));
  // Year 2: location 1 again, location 5 has one cell.
  t.set_year({{1, 1, -1.0f}, {1, 2, 3.0f}, {5, 1, 0.5f}});
  ASSERT_TRUE(AddYearDistances(t.a.year, t.a.grouping, t.a.centroids, t.a.distances));
  // Rows 1, 2, 3 (locations 1, 4, 5); group 1, then group 2.
  EXPECT_EQ(all(t.a.distances.SedSums), (Sums{4.0 + 1.0 + 9.0, 9.0, 0.25, 1.0 + 4.0, 0.0, 0.25}));
  EXPECT_EQ(all(t.a.distances.SedCounts), (Ints{3, 1, 1, 2, 0, 1}));
}

TEST(AddYearDistances, NoEliminatedLocationLeavesTheTablesAlone) {
  TestArrays t(1, 3, 2, 2);
  t.fill_stale();
  t.set_groups({1, 1, 1}, {1, 2}, {{1}, {2, 3}});
  t.set_year({{1, 1, 1.0f}, {2, 1, 1.0f}, {3, 1, 1.0f}});
  centroid(t, 1, 1, 5.0f, 1);
  ASSERT_TRUE(AddYearDistances(t.a.year, t.a.grouping, t.a.centroids, t.a.distances));
  EXPECT_EQ(all(t.a.distances.SedSums), Sums(2, -5.0));
  EXPECT_EQ(all(t.a.distances.SedCounts), Ints(2, -5));
}

TEST(AddYearDistances, DifferenceAndSquareInDoublePrecision) {
  // 3e38 - (-3e38) overflows single precision, and so does the square of 6e20.
  for (float v : {3.0e38f, 3.0e20f}) {
    TestArrays t(1, 2, 1, 1);
    t.set_groups({1, 0}, {1}, {{1}});
    t.set_year({{2, 1, v}});
    centroid(t, 1, 1, -v, 1);
    ASSERT_TRUE(AddYearDistances(t.a.year, t.a.grouping, t.a.centroids, t.a.distances));
    const double diff = 2.0 * static_cast<double>(v);
    EXPECT_EQ(t.a.distances.SedSums(1, 1), diff * diff) << v;
  }
}

}  // namespace
}  // namespace locseq
