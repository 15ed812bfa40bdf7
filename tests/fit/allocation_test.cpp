#include "fit/allocation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "support/arrays.h"

namespace locseq {
namespace {

using testing::all;
using testing::head;
using testing::Ints;
using testing::row;
using testing::TestArrays;
using Sums = std::vector<double>;

// What one eliminated location brings to the allocation: its sums and
// numbers of terms per group.
struct Distance {
  Sums sums;
  Ints cells;
};

TEST(AllocateEliminatedLocations, WhichGroupForEachLocation) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const double start = static_cast<double>(1.0e30f);  // the running minimum at first
  const Ints one = {1, 1, 1};
  const struct {
    const char* what;
    std::vector<Distance> eliminated;  // each against groups 1, 2, 3
    Ints groups;                       // the group of each, 0 for none
  } cases[] = {
      {"the smallest mean", {{{12, 8, 4}, {4, 4, 4}}}, {3}},
      {"the mean decides, not the sum", {{{10, 9, 30}, {5, 3, 10}}}, {1}},
      {"on equal means the lowest group", {{{2.5, 0.5, 0.5}, one}}, {2}},
      {"a group without terms is never chosen", {{{0, 10, 15}, {0, 5, 5}}}, {2}},
      {"no terms with any group: none", {{{0, 0, 0}, {0, 0, 0}}}, {0}},
      // The minimum taken at group 1 is held as the 32-bit 1.0.
      {"the running minimum in 32 bits",
       {{{1.0 - std::ldexp(1.0, -26), 1.0 - std::ldexp(1.0, -27), 2.0}, one}},
       {2}},
      {"not a number never wins", {{{nan, 1.0, nan}, one}, {{nan, nan, nan}, one}}, {2, 0}},
      {"infinity never wins", {{{inf, inf, inf}, one}}, {0}},
      {"1.0E30 is below the start", {{{1.0e30, 2.0e30, 2.0e30}, one}}, {1}},
      // 1.0E30 rounds up in 32 bits, so each later equal mean lies below the minimum.
      {"equal means below their 32-bit rounding", {{{1.0e30, 1.0e30, 1.0e30}, one}}, {3}},
      {"just below the 32-bit start", {{{2.0e30, 1.00000001e30, 2.0e30}, one}}, {2}},
      {"the start itself is not below it", {{{start, 2.0e30, start}, one}}, {0}},
      {"each location on its own",
       {{{1, 2, 3}, one}, {{3, 2, 1}, one}, {{0, 0, 0}, {0, 0, 0}}, {{2, 1, 2}, one}},
       {1, 3, 0, 2}},
  };
  for (const auto& c : cases) {
    // Groups 1, 2, 3 are locations 1, 2, 3; the eliminated ones follow.
    const auto E = static_cast<std::int32_t>(c.eliminated.size());
    TestArrays t(1, 3 + E, 1, 3);
    Ints elimination(static_cast<std::size_t>(3 + E), 0);
    elimination[0] = elimination[1] = elimination[2] = 1;
    t.set_groups(elimination, {5, 6, 7}, {{1}, {2}, {3}});
    for (std::int32_t e = 1; e <= E; ++e) {
      for (long k = 1; k <= 3; ++k) {
        const Distance& d = c.eliminated[static_cast<std::size_t>(e - 1)];
        t.a.distances.SedSums(e, k) = d.sums[static_cast<std::size_t>(k - 1)];
        t.a.distances.SedCounts(e, k) = d.cells[static_cast<std::size_t>(k - 1)];
      }
    }
    const Sums sums = all(t.a.distances.SedSums);
    const std::vector<EliminatedLocation> out =
        AllocateEliminatedLocations(t.a.distances, t.a.grouping);
    Ints groups;
    for (const EliminatedLocation& loc : out) groups.push_back(loc.group);
    EXPECT_EQ(groups, c.groups) << c.what;
    for (std::int32_t e = 1; e <= E; ++e) {
      const EliminatedLocation& loc = out[static_cast<std::size_t>(e - 1)];
      const Distance& d = c.eliminated[static_cast<std::size_t>(e - 1)];
      EXPECT_EQ(loc.location, 3 + e) << c.what;
      EXPECT_EQ(loc.cells, d.cells) << c.what;
      for (std::size_t k = 0; k < 3; ++k) {
        const double mean = d.cells[k] > 0 ? d.sums[k] / d.cells[k] : 0.0;
        EXPECT_TRUE(loc.mean_sed[k] == mean || (std::isnan(mean) && std::isnan(loc.mean_sed[k])))
            << c.what;
      }
    }
    // Nothing is changed in place.
    const Sums after = all(t.a.distances.SedSums);
    EXPECT_EQ(std::memcmp(after.data(), sums.data(), sums.size() * sizeof(double)), 0) << c.what;
  }
}

TEST(EnlargeGroupsAndGroupsOfBlock, OldMembersThenTheAllocatedInAllocationOrder) {
  // MAXL 7, NGP 2: group 1 (label 5) is locations 4 and 2, group 2 (label 6)
  // location 5. Eliminated 1, 3, 6, 7: 1, 6 and 7 go to group 1, 3 to
  // group 2, so group 1 ends with 5 members, more than MAXL - NGP.
  TestArrays t(1, 7, 1, 2);
  t.fill_stale();
  t.set_groups({0, 1, 0, 1, 1, 0, 0}, {5, 6}, {{4, 2}, {5}});
  std::vector<EliminatedLocation> eliminated = {{1, {2, 2}, {0.5, 1.5}, 1},
                                                {3, {2, 2}, {2.5, 0.25}, 2},
                                                {6, {2, 2}, {0.75, 1.0}, 1},
                                                {7, {2, 2}, {1.25, 3.0}, 1}};
  // The members' squared distances to their own group's centroid: member
  // p of the list at p; the second has no present cell.
  std::vector<double> sums = {1.0, 0.0, 6.0, 0, 0, 0, 0};
  std::vector<std::int32_t> counts = {4, 0, 3, 0, 0, 0, 0};
  const MemberDistances members{{sums.data(), 7}, {counts.data(), 7}};
  EnlargeGroups(t.a.grouping, eliminated, t.a.enlarged);
  EXPECT_EQ(head(t.a.enlarged.AllocatedGroupSizes), (Ints{5, 2, 0, 0, 0, 0, 0}));
  EXPECT_EQ(row(t.a.enlarged.AllocatedGroupMembers, 1), (Ints{4, 2, 1, 6, 7, 0, 0}));
  EXPECT_EQ(row(t.a.enlarged.AllocatedGroupMembers, 2), (Ints{5, 3, 0, 0, 0, 0, 0}));

  const std::vector<Group> groups = GroupsOfBlock(t.a.grouping, members, eliminated);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0].label, 5);
  EXPECT_EQ(groups[0].members, (Ints{4, 2}));
  EXPECT_EQ(groups[0].allocated, (Ints{1, 6, 7}));
  EXPECT_EQ(groups[1].label, 6);
  EXPECT_EQ(groups[1].members, (Ints{5}));
  EXPECT_EQ(groups[1].allocated, (Ints{3}));
  // Each location's mean distance to its own group: a member's over its
  // terms (0.0 and no terms for the one without a cell), an allocated
  // location's as the allocation measured it.
  EXPECT_EQ(groups[0].member_sed, (std::vector<double>{0.25, 0.0}));
  EXPECT_EQ(groups[0].member_cells, (Ints{4, 0}));
  EXPECT_EQ(groups[1].member_sed, (std::vector<double>{2.0}));
  EXPECT_EQ(groups[0].allocated_sed, (std::vector<double>{0.5, 0.75, 1.25}));
  EXPECT_EQ(groups[1].allocated_sed, (std::vector<double>{0.25}));

  // Left unallocated, they join no group.
  for (EliminatedLocation& loc : eliminated) loc.group = 0;
  EnlargeGroups(t.a.grouping, eliminated, t.a.enlarged);
  EXPECT_EQ(head(t.a.enlarged.AllocatedGroupSizes), (Ints{2, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(row(t.a.enlarged.AllocatedGroupMembers, 1), (Ints{4, 2, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(GroupsOfBlock(t.a.grouping, members, eliminated)[0].allocated.empty());
}

}  // namespace
}  // namespace locseq
