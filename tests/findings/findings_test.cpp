#include "findings/findings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace locseq::findings {
namespace {

using Rsq = std::optional<double>;

// A step with its overall RSQ per variant (none: undefined), its groups
// (retained members only) and the RSQj of its data years, classified.
struct StepSpec {
  Rsq classified, allocated;
  std::vector<std::vector<std::int32_t>> groups;
  std::vector<Rsq> years;  // data years 1, 2, ...
};

FitSums sums(Rsq rsq) {
  return {1, rsq.value_or(0), 0, rsq.value_or(0), rsq.has_value()};
}

std::vector<BlockResult> blocks(const std::vector<StepSpec>& steps) {
  std::vector<BlockResult> out;
  for (const StepSpec& s : steps) {
    BlockResult b;
    b.fit[kClassified].overall = sums(s.classified);
    b.fit[kWithAllocated].overall = sums(s.allocated);
    for (const auto& members : s.groups) b.groups.push_back({0, members, {}});
    for (std::size_t y = 0; y < s.years.size(); ++y) {
      b.fit[kClassified].years.push_back({static_cast<std::int32_t>(y + 1), 1, sums(s.years[y])});
    }
    // One location in no group: the adjusted RSQ is the RSQ.
    b.fit[kWithAllocated].years.push_back({1, 1, sums(0.5)});
    out.push_back(b);
  }
  return out;
}

TEST(Findings, TheRunsExtremesAreTheFirstOnATieAndSkipWhatIsUndefined) {
  const std::vector<StepSpec> steps = {
      {0.5, 0.4, {{1, 2}, {3, 4}}, {0.5}},
      {std::nullopt, 0.9, {{1, 2}, {3, 4}}, {0.7, std::nullopt}},
      {0.8, std::nullopt, {{1, 3}, {2, 4}}, {0.3, 0.6, 0.2}},
      {0.8, 0.7, {{1, 3}, {2, 4}}, {0.3, 0.6, 0.2, 0.9}},
      {0.5, 0.4, {{1, 2}, {3, 4}}, {0.3, 0.6, 0.2, 0.9}},
  };
  const RunFindings f = find_run(blocks(steps));
  EXPECT_EQ(f.best[kClassified], 2u);     // 0.8 at steps 3 and 4
  EXPECT_EQ(f.best[kWithAllocated], 1u);  // 0.9
  EXPECT_EQ(f.weakest, 0u);               // 0.5 at steps 1 and 5
  ASSERT_TRUE(f.allocation_change);       // steps 1, 4, 5 have both
  EXPECT_DOUBLE_EQ(*f.allocation_change, ((0.4 - 0.5) + (0.7 - 0.8) + (0.4 - 0.5)) / 3);
  // Steps 3 and 5 regroup everything (index -0.5), steps 2 and 4 nothing.
  EXPECT_EQ(f.least_stable, 2u);
  EXPECT_FALSE(f.steps[0].stability);
  EXPECT_EQ(f.steps[1].stability, 1.0);
  EXPECT_EQ(f.moves, 4u);
  ASSERT_EQ(f.years.size(), 4u);
  EXPECT_DOUBLE_EQ(f.years[0].mean_rsq, (0.5 + 0.7 + 0.3 + 0.3 + 0.3) / 5);
  EXPECT_EQ(f.years[1].steps, 3);  // undefined at step 2
  EXPECT_EQ(f.hardest_year, 2u);   // year 3: 0.2
  EXPECT_EQ(f.easiest_year, 3u);   // year 4: 0.9
  EXPECT_EQ(f.undefined_year_fits, 1u);
}

TEST(Findings, TheAdjustedFitTakesTheLocationsOfTheYearsAndTheGroups) {
  struct Case {
    std::string name;
    std::vector<std::int32_t> locmod;  // per data year
    std::int32_t groups;
    Rsq rsq;
    double n;
    Rsq adjusted;
  };
  const std::vector<Case> cases = {
      {"4 locations in 3 groups", {4}, 3, 0.9, 4, 1 - 0.1 * 4 / 1},
      {"8 locations in 3 groups", {8, 8}, 3, 0.8, 8, 1 - 0.2 * 8 / 5},
      {"a location missing a year; a year without data",
       {20, 19, 0},
       5,
       0.7,
       19.5,
       1 - 0.3 * 19.5 / 14.5},
      {"as many groups as locations", {3}, 3, 0.99, 3, std::nullopt},
      {"RSQ undefined", {8}, 3, std::nullopt, 8, std::nullopt},
      {"no year with data", {0, 0}, 1, 0.5, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BlockResult b;
    b.CutLevel = c.groups;
    b.fit[kWithAllocated].overall = sums(c.rsq);
    for (const std::int32_t n : c.locmod) b.fit[kWithAllocated].years.push_back({1, n, sums(0.5)});
    const AdjustedFit a = adjusted_fit(b, kWithAllocated);
    EXPECT_EQ(a.groups, c.groups);
    EXPECT_DOUBLE_EQ(a.locations, c.n);
    ASSERT_EQ(a.value.has_value(), c.adjusted.has_value());
    if (c.adjusted) {
      EXPECT_DOUBLE_EQ(*a.value, *c.adjusted);
    }
  }
}

TEST(Findings, StepsAreRankedByTheAdjustedFit) {
  // RSQ ranks the 4 locations in 3 groups first; the adjusted RSQ the 8.
  std::vector<BlockResult> b(2);
  for (std::size_t i = 0; i < 2; ++i) {
    const std::int32_t n = i == 0 ? 4 : 8;
    b[i].CutLevel = 3;
    for (VariantFit& v : b[i].fit) {
      v.overall = sums(i == 0 ? 0.9 : 0.8);
      v.years.push_back({1, n, sums(0.5)});
    }
  }
  b[0].groups = {{0, {1, 2}, {}}, {0, {3}, {}}, {0, {4}, {}}};
  const RunFindings f = find_run(b);
  EXPECT_EQ(f.best[kClassified], 1u);
  EXPECT_EQ(f.best[kWithAllocated], 1u);
  EXPECT_EQ(f.weakest, 0u);
  EXPECT_EQ(f.steps[0].single_site, 2);
  EXPECT_EQ(f.single_site_steps, 1u);
}

TEST(Findings, NothingDefinedIsNothingFound) {
  const RunFindings none = find_run({});
  EXPECT_FALSE(none.best[kClassified] || none.weakest || none.allocation_change ||
               none.least_stable || none.hardest_year);
  const RunFindings undefined =
      find_run(blocks({{std::nullopt, std::nullopt, {{1}}, {std::nullopt}}}));
  EXPECT_FALSE(undefined.best[kClassified] || undefined.best[kWithAllocated] || undefined.weakest ||
               undefined.allocation_change || undefined.hardest_year);
  EXPECT_EQ(undefined.undefined_year_fits, 1u);
}

TEST(Findings, AStepCountsItsAllocatedLocations) {
  BlockResult b;
  b.groups = {{0, {1, 2}, {7}}, {0, {3}, {8, 9}}};
  b.eliminated.resize(4);
  const StepFindings s = find_step(b, nullptr);
  EXPECT_EQ(s.allocated, 3);
  EXPECT_EQ(s.membership.at(9), 2);
  EXPECT_FALSE(s.stability);
  const RunFindings f = find_run(std::vector<BlockResult>{b, b});
  EXPECT_EQ(f.eliminated, 8u);
  EXPECT_EQ(f.allocated, 6u);
  EXPECT_EQ(f.steps[1].stability, 1.0);
}

TEST(Findings, AnAllocationsMarginIsItsRunnerUpOverItsNearestLessOne) {
  const struct {
    std::vector<std::int32_t> cells;
    std::vector<double> means;
    std::optional<double> margin;
  } cases[] = {
      {{3, 3, 3}, {2.0, 1.0, 1.5}, 0.5},
      {{3, 3}, {1.0, 1.0}, 0.0},                   // a tie: no margin at all
      {{3, 0, 3}, {4.0, 0.0, 5.0}, 0.25},          // a group out of reach is passed over
      {{3, 0}, {4.0, 0.0}, std::nullopt},          // one group in reach
      {{0, 0}, {0.0, 0.0}, std::nullopt},          // none
      {{3, 3}, {0.0, 2.0}, std::nullopt},          // the nearest at distance 0
      {{2, 2, 2, 2}, {9.0, 2.0, 4.0, 2.5}, 0.25},  // the runner-up among several
  };
  for (const auto& c : cases) {
    EliminatedLocation e{1, c.cells, c.means, 1};
    EXPECT_EQ(allocation_margin(e), c.margin) << c.means[0] << " " << c.means[1];
  }
}

TEST(Findings, TheRepresentativeIsTheRetainedMemberNearestTheCentroid) {
  Group g{7, {5, 2, 9}, {4}};
  g.member_cells = {3, 3, 3};
  g.member_sed = {0.5, 0.25, 0.25};  // a tie between 2 and 9: the lower number
  g.allocated_sed = {0.1};           // nearer, but not retained
  EXPECT_EQ(representative(g), 2);
  EXPECT_EQ(distance_to_centroid(g, 3), 0.1);
  g.member_cells = {3, 0, 3};  // 2 without a cell has no distance
  EXPECT_EQ(distance_to_centroid(g, 1), std::nullopt);
  EXPECT_EQ(representative(g), 9);
  g.member_cells = {0, 0, 0};
  EXPECT_EQ(representative(g), 0);
}

}  // namespace
}  // namespace locseq::findings
