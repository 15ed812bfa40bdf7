#include "core/non_finite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "data/centring.h"
#include "fit/allocation.h"
#include "fit/model_fit.h"
#include "groups/group_means.h"
#include "groups/sed.h"
#include "support/arrays.h"

namespace locseq {
namespace {

using testing::Cell;
using testing::TestArrays;

constexpr float kLargest = std::numeric_limits<float>::max();
constexpr float kInf = std::numeric_limits<float>::infinity();
const std::optional<NonFinite> none;

TEST(ValueBound, TheLargestValueOverFourTimesTheLocationsCutToTwoDigits) {
  const struct {
    std::int32_t locations;
    const char* text;
  } cases[] = {{1, "8.5e+37"},    {5, "1.7e+37"},       {20, "4.2e+36"},        {300, "2.8e+35"},
               {5000, "1.7e+34"}, {1000000, "8.5e+31"}, {2147483647, "3.9e+28"}};
  for (const auto& c : cases) {
    const ValueBound b = value_bound(c.locations);
    EXPECT_EQ(b.text, c.text) << c.locations;
    const double limit = static_cast<double>(kLargest) / (4.0 * c.locations);
    EXPECT_LE(static_cast<double>(b.value), limit * (1 + 0x1p-24)) << c.locations;
    EXPECT_GE(static_cast<double>(b.value), 0.9 * limit) << c.locations;
  }
}

TEST(ValueBound, AGroupOfEveryLocationSumsTwiceTheBoundFinitely) {
  // The worst a run can meet: every location in one group, each centred
  // value twice the bound (a value at the bound less a mean at minus it),
  // summed one by one in single precision.
  for (std::int32_t locations : {1, 2, 3, 7, 20, 299, 300, 1000, 4999, 5000}) {
    const float value = value_bound(locations).value;
    const float centred = static_cast<float>(2.0 * static_cast<double>(value) + 0.0);
    float sum = 0.0f;
    for (std::int32_t i = 0; i < locations; ++i) sum = sum + centred;
    EXPECT_TRUE(std::isfinite(sum)) << locations;
  }
}

// A block of four locations and three genotypes: groups {1, 2} and {3};
// location 4 eliminated and allocated to group 2.
struct Block {
  TestArrays t{1, 4, 3, 2};
  Block() {
    t.set_groups({1, 1, 1, 0}, {5, 3}, {{1, 2}, {3}});
    EliminatedLocation four{4, {}, {}, 2};
    EnlargeGroups(t.a.grouping, {four}, t.a.enlarged);
  }
};

TEST(NonFinite, EachStageNamesTheCellThatBrokeItsFirstSum) {
  const struct {
    const char* what;
    std::vector<Cell> year;                                        // as the stage finds it
    std::function<std::optional<NonFinite>(const Carved&)> stage;  // run on the block
    std::int32_t location, genotype;                               // 0: every sum finite
    const char* says;
  } cases[] = {
      {"centring: a value near the largest less a mean of the other sign",
       {{1, 1, 1}, {2, 1, -3e38f}, {2, 2, 3e38f}, {2, 3, 3e38f}},
       [](const Carved& a) {
         return CentreYear(a.year) ? none : std::optional(CentringOverflow(a.year));
       },
       2,
       1,
       "the value -3e+38 less the location's mean 1e+38 is beyond single precision"},
      {"centring: a mean as large with values near it",
       {{2, 1, 3e38f}, {2, 2, kLargest}, {3, 1, kLargest}, {3, 2, -kLargest}},
       [](const Carved& a) {
         return CentreYear(a.year) ? none : std::optional(CentringOverflow(a.year));
       },
       0,
       0,
       ""},
      {"group means: the second member of a group",
       {{1, 2, 2e38f}, {2, 2, 2e38f}, {3, 2, 3e38f}},
       [](const Carved& a) {
         return FormGroupMeans(a.year, a.grouping, a.centroids)
                    ? none
                    : std::optional(GroupMeansOverflow(a.year, a.grouping, a.centroids));
       },
       2,
       2,
       "its centred value 2e+38 added to the sum 2e+38 of group 1's members is beyond"},
      {"group means: the largest values of both signs",
       {{1, 1, kLargest}, {2, 1, -kLargest}, {3, 1, kLargest}},
       [](const Carved& a) {
         return FormGroupMeans(a.year, a.grouping, a.centroids)
                    ? none
                    : std::optional(GroupMeansOverflow(a.year, a.grouping, a.centroids));
       },
       0,
       0,
       ""},
      {"fit: the means of a group enlarged by an allocated location",
       {{3, 3, 3e38f}, {4, 3, 3e38f}},
       [](const Carved& a) {
         if (!FormGroupMeans(a.year, a.grouping, a.centroids))
           return std::optional(GroupMeansOverflow(a.year, a.grouping, a.centroids));
         return FitYear(a.year, a.grouping, a.enlarged, a.centroids, a.fit, 1);
       },
       4,
       3,
       "of group 2's members is beyond single precision"},
      {"fit: a member's value that is not finite",
       {{1, 1, 1}, {2, 1, 2}, {2, 3, 1}},
       [](const Carved& a) {
         if (!FormGroupMeans(a.year, a.grouping, a.centroids))
           return std::optional(GroupMeansOverflow(a.year, a.grouping, a.centroids));
         a.year.YearData(2, 3) = kInf;
         return FitYear(a.year, a.grouping, a.enlarged, a.centroids, a.fit, 1);
       },
       2,
       3,
       "the sums of squares of the fit are not finite at its centred value inf (group 1's "
       "mean 1)"},
      {"distances: an eliminated location's value that is not finite",
       {{1, 1, 1}, {3, 1, 2}, {4, 1, 3}, {4, 2, -kInf}},
       [](const Carved& a) {
         if (!FormGroupMeans(a.year, a.grouping, a.centroids))
           return std::optional(GroupMeansOverflow(a.year, a.grouping, a.centroids));
         if (AddYearDistances(a.year, a.grouping, a.centroids, a.distances)) return none;
         return std::optional(DistanceOverflow(a.year, a.grouping, a.centroids, a.distances));
       },
       4,
       2,
       "the squared distance of its centred value -inf to the mean 0 of group 1 is not finite"},
      {"distances: the largest values, squared in double precision",
       {{1, 1, kLargest}, {4, 1, -kLargest}},
       [](const Carved& a) {
         if (!FormGroupMeans(a.year, a.grouping, a.centroids))
           return std::optional(GroupMeansOverflow(a.year, a.grouping, a.centroids));
         if (AddYearDistances(a.year, a.grouping, a.centroids, a.distances)) return none;
         return std::optional(DistanceOverflow(a.year, a.grouping, a.centroids, a.distances));
       },
       0,
       0,
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Block b;
    b.t.set_year(c.year);
    const std::vector<float> before = testing::all(b.t.a.year.YearData);
    const std::optional<NonFinite> bad = c.stage(b.t.a);
    if (c.location == 0) {
      EXPECT_FALSE(bad) << bad->what;
      continue;
    }
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->location, c.location);
    EXPECT_EQ(bad->genotype, c.genotype);
    EXPECT_NE(bad->what.find(c.says), std::string::npos) << bad->what;
    if (std::string(c.what).rfind("centring", 0) == 0) {
      EXPECT_EQ(testing::all(b.t.a.year.YearData), before) << "a centring that failed changed";
    }
  }
}

TEST(NonFinite, TheMessageNamesTheYearTheLocationAndTheGenotype) {
  const NonFinite bad{3, 2, "the value 3e+38 less the location's mean -1e+38 is beyond"};
  EXPECT_EQ(non_finite_message(bad, 1, testing::name8("2019"), testing::name8("DUBBO"),
                               testing::name8(""), 5),
            "year 1 (2019), location 3 (DUBBO), genotype 2: the value 3e+38 less the location's "
            "mean -1e+38 is beyond; the sums of a job of 5 locations stay finite for values of "
            "magnitude up to 1.7e+37");
}

}  // namespace
}  // namespace locseq
