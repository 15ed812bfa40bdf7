#include "findings/stability.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace locseq::findings {
namespace {

using Labels = std::vector<std::int32_t>;

TEST(Stability, AdjustedRandIndexAgainstHandComputedValues) {
  struct Case {
    std::string name;
    Labels a, b;
    std::optional<double> ari;
  };
  const std::vector<Case> cases = {
      {"identical, other numbers", {1, 1, 2, 2, 3}, {7, 7, 5, 5, 9}, 1.0},
      // Table 2,1,0 / 0,1,2: index 2, row pairs 6, column pairs 3 of 15.
      {"partly agreeing", {1, 1, 1, 2, 2, 2}, {1, 1, 2, 2, 3, 3}, 8.0 / 33.0},
      // Every cell 1: index 0, expected 2/3, maximum 2.
      {"independent", {1, 1, 2, 2}, {1, 2, 1, 2}, -0.5},
      {"both all in one group", {1, 1, 1}, {2, 2, 2}, 1.0},
      {"both all apart", {1, 2, 3}, {4, 5, 6}, 1.0},
      {"all in one against all apart", {1, 1, 1}, {1, 2, 3}, 0.0},
      {"two items together in both", {1, 1}, {3, 3}, 1.0},
      {"two items together, then apart", {1, 1}, {1, 2}, 0.0},
      {"one item", {1}, {1}, std::nullopt},
      {"no item", {}, {}, std::nullopt},
      {"lengths differ", {1, 2}, {1}, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ari = adjusted_rand_index(c.a, c.b);
    ASSERT_EQ(ari.has_value(), c.ari.has_value());
    if (c.ari) {
      EXPECT_DOUBLE_EQ(*ari, *c.ari);
    }
    const auto back = adjusted_rand_index(c.b, c.a);
    ASSERT_EQ(back.has_value(), c.ari.has_value());
    if (c.ari) {
      EXPECT_DOUBLE_EQ(*back, *c.ari);  // symmetric
    }
  }
}

// A block whose group k has the retained members and allocated locations given.
BlockResult block(const std::vector<std::pair<Labels, Labels>>& groups) {
  BlockResult b;
  for (const auto& [members, allocated] : groups) b.groups.push_back({0, members, allocated});
  return b;
}

TEST(Stability, StepsAreComparedOverTheLocationsWithAGroupInBoth) {
  struct Case {
    std::string name;
    BlockResult previous, current;
    std::optional<double> ari;
  };
  const std::vector<Case> cases = {
      {"allocated locations count, others do not", block({{{1, 2}, {}}, {{3}, {4}}}),
       block({{{2, 1}, {9}}, {{4, 3}, {}}}), 1.0},
      {"a location that is in one step only is left out", block({{{1, 2, 5}, {}}, {{3, 4}, {}}}),
       block({{{1, 2}, {}}, {{3, 4, 6}, {}}}), 1.0},
      // Table 3,0 / 1,2: index 3+1, rows 3+3, columns 1+6 of 15.
      {"one location changes group", block({{{1, 2, 3}, {}}, {{4, 5, 6}, {}}}),
       block({{{4, 5}, {}}, {{1, 2, 3, 6}, {}}}),
       (2 * 15 * 4 - 2 * 6 * 7) / double(15 * 13 - 2 * 6 * 7)},
      {"independent", block({{{1, 2}, {}}, {{3, 4}, {}}}), block({{{1, 3}, {}}, {{2, 4}, {}}}),
       -0.5},
      {"fewer than two shared locations", block({{{1, 2}, {}}}), block({{{2, 3}, {}}}),
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto ari = stability_ari(c.previous, c.current);
    ASSERT_EQ(ari.has_value(), c.ari.has_value());
    if (c.ari) {
      EXPECT_DOUBLE_EQ(*ari, *c.ari);
    }
  }
}

}  // namespace
}  // namespace locseq::findings
