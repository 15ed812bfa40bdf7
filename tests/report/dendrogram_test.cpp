#include "report/dendrogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace locseq::report {
namespace {

using Labels = std::vector<std::int32_t>;
using Heights = std::vector<double>;

struct Join {
  std::int32_t i, j;
  float d;
};

// Records with a wrong Gpij on purpose: the label formed is always n + r.
std::vector<HierarchyRecord> records(const std::vector<Join>& joins) {
  std::vector<HierarchyRecord> out;
  for (const Join& j : joins) out.push_back({j.i, j.j, 999, j.d});
  return out;
}

double f(float v) {
  return static_cast<double>(v);
}

struct LayoutCase {
  std::string name;
  std::int32_t n;
  std::vector<Join> joins;
  std::int32_t applied;
  bool valid, complete, fusion;
  Labels leaf_order;
  Labels roots;
  Heights heights;  // of the drawn joins, in record order
  std::optional<double> cut;
};

TEST(ReportDendrogram, LeafOrderHeightsAndCutFromRecords) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<LayoutCase> cases = {
      {"two pairs joined, cut at three groups",
       4,
       {{1, 2, 0.1f}, {3, 4, 0.2f}, {5, 6, 0.5f}},
       1,
       true,
       true,
       true,
       {1, 2, 3, 4},
       {7},
       {f(0.1f), f(0.2f), f(0.5f)},
       f(0.1f) + (f(0.2f) - f(0.1f)) / 2},
      {"Gpi side above Gpj side at every join",
       6,
       {{2, 5, 1}, {1, 3, 2}, {7, 8, 3}, {4, 9, 4}, {6, 10, 5}},
       3,
       true,
       true,
       true,
       {6, 4, 2, 5, 1, 3},
       {11},
       {1, 2, 3, 4, 5},
       3.5},
      {"levels decreasing along a join: join order",
       4,
       {{1, 2, 0.5f}, {3, 4, 0.2f}, {5, 6, 0.4f}},
       1,
       true,
       true,
       false,
       {1, 2, 3, 4},
       {7},
       {1, 2, 3},
       1.5},
      {"rising along the joins but not in file order: no cut line",
       4,
       {{1, 2, 0.3f}, {3, 4, 0.1f}, {5, 6, 0.5f}},
       1,
       true,
       true,
       true,
       {1, 2, 3, 4},
       {7},
       {f(0.3f), f(0.1f), f(0.5f)},
       std::nullopt},
      {"equal levels across the cut: no cut line",
       3,
       {{1, 2, 0.5f}, {3, 4, 0.5f}},
       1,
       true,
       true,
       true,
       {3, 1, 2},
       {5},
       {0.5, 0.5},
       std::nullopt},
      {"records after the cut join a group twice: groups only",
       4,
       {{1, 2, 1}, {3, 4, 2}, {5, 5, 3}},
       2,
       true,
       false,
       true,
       {1, 2, 3, 4},
       {5, 6},
       {1, 2},
       std::nullopt},
      {"records after the cut reuse an absorbed label: untouched leaves first",
       4,
       {{1, 2, 1}, {1, 3, 2}, {4, 5, 3}},
       1,
       true,
       false,
       true,
       {3, 4, 1, 2},
       {3, 4, 5},
       {1},
       std::nullopt},
      {"too few records for the whole tree",
       4,
       {{1, 2, 1}, {3, 4, 2}},
       1,
       true,
       false,
       true,
       {3, 4, 1, 2},
       {3, 4, 5},
       {1},
       std::nullopt},
      {"an applied record names a label not yet formed",
       4,
       {{1, 6, 1}, {2, 3, 2}, {4, 5, 3}},
       1,
       false,
       false,
       false,
       {1, 2, 3, 4},
       {1, 2, 3, 4},
       {},
       std::nullopt},
      {"fewer records than the cut applies",
       4,
       {{1, 2, 1}},
       2,
       false,
       false,
       false,
       {1, 2, 3, 4},
       {1, 2, 3, 4},
       {},
       std::nullopt},
      {"every record applied: one group, no line",
       3,
       {{2, 3, 1}, {1, 4, 2}},
       2,
       true,
       true,
       true,
       {1, 2, 3},
       {5},
       {1, 2},
       std::nullopt},
      {"no record applied: line below the lowest join",
       3,
       {{2, 3, 1}, {1, 4, 2}},
       0,
       true,
       true,
       true,
       {1, 2, 3},
       {5},
       {1, 2},
       0.5},
      {"a level that is not a number: join order",
       3,
       {{1, 2, 1}, {3, 4, static_cast<float>(nan)}},
       1,
       true,
       true,
       false,
       {3, 1, 2},
       {5},
       {1, 2},
       1.5},
      {"a negative level stands below its leaves: join order",
       3,
       {{1, 2, -1}, {3, 4, 2}},
       1,
       true,
       true,
       false,
       {3, 1, 2},
       {5},
       {1, 2},
       1.5},
      {"a single location", 1, {}, 0, true, true, true, {1}, {1}, {}, std::nullopt},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    const auto recs = records(c.joins);
    const DendrogramLayout d = layout_dendrogram(c.n, recs, c.applied);
    EXPECT_EQ(d.valid, c.valid);
    EXPECT_EQ(d.complete, c.complete);
    EXPECT_EQ(d.fusion_heights, c.fusion);
    EXPECT_EQ(d.leaf_order, c.leaf_order);
    EXPECT_EQ(d.roots, c.roots);
    ASSERT_EQ(d.joins, static_cast<std::int32_t>(c.heights.size()));
    for (std::size_t r = 0; r < c.heights.size(); ++r) {
      EXPECT_EQ(d.nodes[static_cast<std::size_t>(c.n) + r].height, c.heights[r]) << "join " << r;
    }
    ASSERT_EQ(d.cut.has_value(), c.cut.has_value());
    if (c.cut) {
      EXPECT_DOUBLE_EQ(*d.cut, *c.cut);
    }
  }
}

TEST(ReportDendrogram, JoinsStandMidwayBetweenWhatTheyJoin) {
  const auto recs = records({{1, 2, 1}, {3, 4, 2}, {5, 6, 3}});
  const DendrogramLayout d = layout_dendrogram(4, recs, 1);
  const Heights rows = {0, 1, 2, 3, 0.5, 2.5, 1.5};
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(d.nodes[i].position, rows[i]) << i;
  EXPECT_TRUE(d.nodes[4].applied);
  EXPECT_FALSE(d.nodes[5].applied);
}

TEST(ReportDendrogram, CutLineBetweenTheRightTwoHeights) {
  struct Case {
    Heights heights;
    std::int32_t applied;
    std::optional<double> cut;
  };
  const std::vector<Case> cases = {
      {{1, 2, 3}, 1, 1.5},          {{1, 2, 3}, 2, 2.5},   {{0.5}, 0, 0.25},
      {{3, 1, 2}, 2, std::nullopt}, {{1, 3, 2}, 1, 1.5},   {{2, 2}, 1, std::nullopt},
      {{1, 2}, 2, std::nullopt},    {{}, 0, std::nullopt}, {{0, 0}, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto cut = cut_height(c.heights, c.applied);
    ASSERT_EQ(cut.has_value(), c.cut.has_value()) << c.applied;
    if (c.cut) {
      EXPECT_DOUBLE_EQ(*cut, *c.cut);
    }
  }
}

}  // namespace
}  // namespace locseq::report
