#include "findings/lineage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "findings/findings.h"

namespace locseq::findings {
namespace {

using Lineages = std::vector<std::int32_t>;

// Every one-to-one matching of current groups to previous groups that share
// a member, tried in turn: the most shared members, then the smallest list
// of lineages in group order (unmatched groups numbered on from `largest`).
Lineages brute_force(const Overlap& overlap, const Lineages& previous, std::int32_t largest) {
  const std::size_t r = overlap.size(), c = previous.size();
  std::vector<int> choice(r, -1);  // previous group of each current group, -1 none
  std::vector<char> taken(c, 0);
  std::int64_t best = -1;
  Lineages best_list;
  const auto visit = [&](auto& self, std::size_t g, std::int64_t total) -> void {
    if (g == r) {
      Lineages list;
      std::int32_t next = largest;
      for (const int p : choice) list.push_back(p < 0 ? ++next : previous[p]);
      if (total > best || (total == best && list < best_list)) best = total, best_list = list;
      return;
    }
    choice[g] = -1;
    self(self, g + 1, total);
    for (std::size_t p = 0; p < c; ++p) {
      if (taken[p] || overlap[g][p] == 0) continue;
      taken[p] = 1, choice[g] = static_cast<int>(p);
      self(self, g + 1, total + overlap[g][p]);
      taken[p] = 0, choice[g] = -1;
    }
  };
  visit(visit, 0, 0);
  return best_list;
}

TEST(Lineage, MatchesBruteForceOnSmallRandomCases) {
  std::mt19937 random(18);
  for (int trial = 0; trial < 3000; ++trial) {
    const std::size_t r = random() % 6, c = random() % 6;
    const int zeros = static_cast<int>(random() % 4);  // 0: no zero, 3: mostly zeros
    const int top = trial % 3 == 0 ? 1 : 4;            // many ties, or few
    Overlap overlap(r, std::vector<std::int64_t>(c, 0));
    for (auto& row : overlap) {
      for (auto& w : row) w = static_cast<int>(random() % 4) < zeros ? 0 : 1 + random() % top;
    }
    Lineages previous(c);
    std::iota(previous.begin(), previous.end(), 1);
    std::shuffle(previous.begin(), previous.end(), random);
    for (auto& l : previous) l += static_cast<std::int32_t>(random() % 3) * 10;
    std::sort(previous.begin(), previous.end());
    previous.erase(std::unique(previous.begin(), previous.end()), previous.end());
    std::shuffle(previous.begin(), previous.end(), random);
    for (auto& row : overlap) row.resize(previous.size());
    const std::int32_t largest =
        (previous.empty() ? 0 : *std::max_element(previous.begin(), previous.end())) +
        static_cast<std::int32_t>(random() % 3);
    std::int32_t after = largest;
    const Lineages found = match_lineages(overlap, previous, after);
    const Lineages expected = brute_force(overlap, previous, largest);
    ASSERT_EQ(found, expected) << "trial " << trial;
    const std::int32_t most =
        std::max({largest, found.empty() ? 0 : *std::max_element(found.begin(), found.end())});
    EXPECT_EQ(after, most) << "trial " << trial;
  }
}

TEST(Lineage, HundredsOfGroupsFollowTheirMembers) {
  // 300 groups renumbered at random, each sharing most of its members with
  // one previous group and a member with a few others.
  constexpr std::size_t n = 300;
  std::mt19937 random(7);
  std::vector<std::size_t> from(n);
  std::iota(from.begin(), from.end(), 0);
  std::shuffle(from.begin(), from.end(), random);
  Overlap overlap(n, std::vector<std::int64_t>(n, 0));
  for (std::size_t g = 0; g < n; ++g) {
    for (int k = 0; k < 3; ++k) overlap[g][random() % n] = 1;
    overlap[g][from[g]] = 10;
  }
  Lineages previous(n);
  std::iota(previous.begin(), previous.end(), 1);
  std::int32_t largest = n;
  const Lineages found = match_lineages(overlap, previous, largest);
  for (std::size_t g = 0; g < n; ++g) ASSERT_EQ(found[g], previous[from[g]]) << g;
  EXPECT_EQ(largest, static_cast<std::int32_t>(n));
}

TEST(Lineage, StepsFollowTheirGroups) {
  struct Case {
    std::string name;
    Membership previous;
    Lineages previous_lineages;
    Membership current;
    std::size_t groups;
    Lineages lineages;
    std::vector<Move> moves;
  };
  const std::vector<Case> cases = {
      {"first step", {}, {}, {{1, 2}, {2, 1}, {3, 3}}, 3, {1, 2, 3}, {}},
      {"the same groups, numbered anew",
       {{1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}},
       {1, 2, 3},
       {{1, 3}, {2, 3}, {3, 1}, {4, 1}, {5, 2}},
       3,
       {2, 3, 1},
       {}},
      {"one location moves",
       {{1, 1}, {2, 1}, {3, 1}, {4, 2}, {5, 2}, {6, 2}},
       {4, 7},
       {{1, 2}, {2, 2}, {3, 2}, {4, 1}, {5, 1}, {6, 2}},
       2,
       {7, 4},
       {{6, 2, 2, 7, 4}}},
      // Either matching shares two: the smaller list of lineages wins.
      {"a tie goes to the smaller list",
       {{1, 1}, {2, 1}, {3, 2}, {4, 2}},
       {5, 6},
       {{1, 1}, {3, 1}, {2, 2}, {4, 2}},
       2,
       {5, 6},
       {{2, 1, 2, 5, 6}, {3, 2, 1, 6, 5}}},
      {"a new group and one that shares nothing",
       {{1, 1}, {2, 1}, {3, 2}},
       {1, 2},
       {{1, 1}, {2, 1}, {7, 2}, {3, 3}},
       3,
       {1, 3, 2},
       {}},
      {"a split: the larger part keeps the lineage",
       {{1, 1}, {2, 1}, {3, 1}, {4, 2}},
       {1, 2},
       {{1, 1}, {2, 2}, {3, 2}, {4, 3}},
       3,
       {3, 1, 2},
       {{1, 1, 1, 1, 3}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::int32_t largest = 0;
    for (const std::int32_t l : c.previous_lineages) largest = std::max(largest, l);
    const Lineages found =
        step_lineages(c.previous, c.previous_lineages, c.current, c.groups, largest);
    EXPECT_EQ(found, c.lineages);
    EXPECT_TRUE(moved_locations(c.previous, c.previous_lineages, c.current, found) == c.moves);
  }
}

}  // namespace
}  // namespace locseq::findings
