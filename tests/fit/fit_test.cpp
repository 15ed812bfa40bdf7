#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "fit/allocation.h"
#include "fit/model_fit.h"
#include "fit/overall_fit.h"
#include "groups/group_means.h"
#include "support/arrays.h"

namespace locseq {
namespace {

using testing::all;
using testing::Cell;
using testing::Ints;
using testing::TestArrays;
using Reals = std::vector<double>;

// A block with its groups and `allocated_to`, the group of each eliminated
// location (0 for none), enlarged as the allocation leaves them.
void set_block(TestArrays& t, const Ints& elimination, const std::vector<Ints>& groups,
               const Ints& allocated_to) {
  Ints labels;
  for (std::size_t k = 1; k <= groups.size(); ++k) labels.push_back(static_cast<std::int32_t>(k));
  t.set_groups(elimination, labels, groups);
  std::vector<EliminatedLocation> eliminated;
  for (std::int32_t e = 1; e <= t.a.grouping.EliminatedCount; ++e) {
    eliminated.push_back({t.a.grouping.EliminatedLocations(e),
                          {},
                          {},
                          allocated_to[static_cast<std::size_t>(e - 1)]});
  }
  EnlargeGroups(t.a.grouping, eliminated, t.a.enlarged);
}

// Year y of the MODFIT pass: the group means, then the fit.
void fit_year(TestArrays& t, const std::vector<Cell>& cells, std::int32_t y) {
  t.set_year(cells);
  ASSERT_TRUE(FormGroupMeans(t.a.year, t.a.grouping, t.a.centroids));
  ASSERT_FALSE(FitYear(t.a.year, t.a.grouping, t.a.enlarged, t.a.centroids, t.a.fit, y));
}

// Row y of variant v: LocMod, TSSj, ESSj, RSSj, RSQj.
Reals row(const TestArrays& t, long y, long v) {
  const FitTables& f = t.a.fit;
  return {static_cast<double>(f.LocMod(y, v)), f.TSSj(y, v), f.ESSj(y, v), f.RSSj(y, v),
          f.RSQj(y, v)};
}

TEST(FitYear, OneGroupOfTwoMembers) {
  const struct {
    const char* what;
    std::vector<Cell> cells;
    Reals row;  // in both variants: nothing is allocated
  } cases[] = {
      {"group means 2 and -2", {{1, 1, 1}, {1, 2, -1}, {2, 1, 3}, {2, 2, -3}}, {2, 20, 16, 4, 0.8}},
      {"no present cell", {}, {0, 0, 0, 0, 0}},
      {"the second member lacks genotype 2, whose mean (-1) it does not explain",
       {{1, 1, 1}, {1, 2, -1}, {2, 1, 3}},
       {2, 11, 9, 2, 9.0 / 11.0}},
      {"a member without a present cell is not counted",
       {{2, 1, 3}, {2, 2, -3}},
       {1, 18, 18, 0, 1}},
      {"single present cells, centred to 0.0: the ratio is 0.0",
       {{1, 1, 0}, {2, 2, 0}},
       {2, 0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    TestArrays t(3, 3, 2, 1);
    t.fill_stale();
    set_block(t, {1, 1, 0}, {{1, 2}}, {0});
    fit_year(t, c.cells, 2);
    EXPECT_EQ(row(t, 2, 1), c.row) << c.what;
    EXPECT_EQ(row(t, 2, 2), c.row) << c.what;
    for (long y : {1, 3}) {  // only row 2 is written
      for (long v : {1, 2}) EXPECT_EQ(row(t, y, v), Reals(5, -5.0)) << c.what;
    }
  }
}

TEST(FitYear, AnAllocatedLocationEntersVariantTwoOnly) {
  // Location 3 is allocated to the group; location 4, eliminated but left
  // unallocated, enters neither variant.
  TestArrays t(1, 4, 2, 1);
  set_block(t, {1, 1, 0, 0}, {{1, 2}}, {1, 0});
  fit_year(t,
           {{1, 1, 1},
            {1, 2, -1},
            {2, 1, 3},
            {2, 2, -3},
            {3, 1, 5},
            {3, 2, -5},
            {4, 1, 50},
            {4, 2, -50}},
           1);
  EXPECT_EQ(row(t, 1, 1), (Reals{2, 20, 16, 4, 0.8}));
  EXPECT_EQ(row(t, 1, 2), (Reals{3, 70, 54, 16, 54.0 / 70.0}));  // means 3 and -3
  EXPECT_EQ(all(t.a.centroids.GroupMeans), (std::vector<float>{3, -3}));
  EXPECT_EQ(all(t.a.centroids.GroupCounts), (Ints{3, 3}));
}

TEST(FitYear, LocModCountsMembersWithAPresentCellOnceEach) {
  // Locations 1, 4 and 6 have no cell; 6 is allocated to group 1.
  TestArrays t(1, 6, 3, 2);
  set_block(t, {1, 1, 1, 1, 1, 0}, {{1, 2}, {3, 4, 5}}, {1});
  fit_year(t, {{2, 1, 1}, {3, 1, 1}, {3, 2, -1}, {5, 1, 2}, {5, 2, 0}, {5, 3, -2}}, 1);
  EXPECT_EQ(t.a.fit.LocMod(1, 1), 3);
  EXPECT_EQ(t.a.fit.LocMod(1, 2), 3);
}

TEST(FitYear, SumsOfSquaresOverRandomYears) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> value(-3.0f, 3.0f);
  // Five locations in two groups, 6 and 7 allocated, 8 eliminated and left out.
  TestArrays t(4, 8, 5, 2);
  set_block(t, {1, 1, 1, 1, 1, 0, 0, 0}, {{1, 4, 2}, {3, 5}}, {2, 1, 0});
  for (std::int32_t y = 1; y <= 4; ++y) {
    t.set_year({});
    for (long u = 1; u <= 8; ++u) {
      for (long j = 1; j <= 5; ++j) {
        if (rng() % 4 != 0) {
          t.a.year.YearData(u, j) = value(rng);
          t.a.year.IncidenceMatrix(u, j) = 1;
        }
      }
    }
    ASSERT_TRUE(FormGroupMeans(t.a.year, t.a.grouping, t.a.centroids));
    ASSERT_FALSE(FitYear(t.a.year, t.a.grouping, t.a.enlarged, t.a.centroids, t.a.fit, y));
    for (long v : {1, 2}) {
      const double T = t.a.fit.TSSj(y, v), E = t.a.fit.ESSj(y, v), Q = t.a.fit.RSQj(y, v);
      EXPECT_EQ(t.a.fit.RSSj(y, v), T - E);
      EXPECT_GT(T, 0.0);
      EXPECT_EQ(Q, E / T);
      EXPECT_TRUE(Q >= 0.0 && Q <= 1.0) << Q;
      EXPECT_LE(t.a.fit.LocMod(y, v), v == 1 ? 5 : 7);
    }
  }
}

TEST(FitOfBlock, OverallSumsAndTheirRatio) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* what;
    std::vector<std::array<double, 2>> years;  // TSSj, ESSj of years 1, 2, ...
    double TSS, ESS, RSQ;
    bool defined;
  } cases[] = {
      {"below the threshold", {{5.0e-7, 4.0e-7}}, 5.0e-7, 4.0e-7, 0.0, false},
      {"the threshold is the 32-bit 1.0E-6 widened",
       {{static_cast<double>(1.0e-6f), 5.0e-7}},
       static_cast<double>(1.0e-6f),
       5.0e-7,
       0.0,
       false},
      {"the 64-bit 1.0E-6 lies above it", {{1.0e-6, 5.0e-7}}, 1.0e-6, 5.0e-7, 0.5, true},
      {"a pass without present cells", {{0, 0}, {0, 0}}, 0, 0, 0, false},
      {"not a number", {{nan, 1}}, nan, 1, 0, false},
      {"the ratio of the sums, not the mean of the yearly ratios",
       {{10, 8}, {30, 6}},
       40,
       14,
       14.0 / 40.0,
       true},
      // In any other order the two small ones would add up to a change.
      {"added in year order", {{1, 0.5}, {1e-16, 0}, {1e-16, 0}}, 1, 0.5, 0.5, true},
  };
  for (const auto& c : cases) {
    const auto K = static_cast<std::int32_t>(c.years.size());
    TestArrays t(K + 1, 1, 1, 1);
    for (std::int32_t y = 1; y <= K; ++y) {
      const auto [T, E] = c.years[static_cast<std::size_t>(y - 1)];
      for (long v : {1, 2}) {
        t.a.fit.TSSj(y, v) = T;
        t.a.fit.ESSj(y, v) = E;
        t.a.fit.RSSj(y, v) = T - E;
        t.a.fit.RSQj(y, v) = T > 0.0 ? E / T : 0.0;
      }
    }
    t.a.fit.TSSj(K + 1, 1) = 99.0;  // a year after the block's last
    const std::array<VariantFit, 2> f = FitOfBlock(t.a.fit, 1, K);
    for (const VariantFit& fit : f) {
      const FitSums& o = fit.overall;
      EXPECT_TRUE(o.TSS == c.TSS || (std::isnan(o.TSS) && std::isnan(c.TSS))) << c.what;
      EXPECT_EQ(o.ESS, c.ESS) << c.what;
      EXPECT_EQ(o.RSQ, c.RSQ) << c.what;
      EXPECT_EQ(o.rsq_defined, c.defined) << c.what;
      ASSERT_EQ(fit.years.size(), c.years.size()) << c.what;
      for (const YearFit& y : fit.years) {
        EXPECT_EQ(y.sums.rsq_defined, y.sums.TSS > 0.0) << c.what << ", year " << y.year;
      }
    }
  }
}

TEST(FitOfBlock, TheYearsOfThePassInEachVariant) {
  // The third block from year 2: years 2, 3 and 4 of 5.
  TestArrays t(5, 1, 1, 1);
  for (long y = 1; y <= 5; ++y) {
    for (long v : {1, 2}) {
      t.a.fit.LocMod(y, v) = static_cast<std::int32_t>(10 * y + v);
      t.a.fit.TSSj(y, v) = static_cast<double>(y * v);
    }
  }
  const std::array<VariantFit, 2> f = FitOfBlock(t.a.fit, 2, 4);
  for (std::int32_t v : {1, 2}) {
    const VariantFit& fit = f[static_cast<std::size_t>(v - 1)];
    Ints years, loc_mod;
    for (const YearFit& y : fit.years) {
      years.push_back(y.year);
      loc_mod.push_back(y.LocMod);
    }
    EXPECT_EQ(years, (Ints{2, 3, 4}));
    EXPECT_EQ(loc_mod, (Ints{20 + v, 30 + v, 40 + v}));
    EXPECT_EQ(fit.overall.TSS, 9.0 * v);
  }
}

}  // namespace
}  // namespace locseq
