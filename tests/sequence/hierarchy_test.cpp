#include "sequence/hierarchy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "support/arrays.h"

namespace locseq {
namespace {

using testing::head;
using testing::Ints;
using testing::TestArrays;
using Record = std::pair<std::int32_t, std::int32_t>;

// A block of n retained locations (of MAXL 12 unless more are needed) with
// its hierarchy records; every other entry stale, so that a cut that reads
// past its records or its groups shows up.
struct Block {
  Block(const std::vector<Record>& records, std::int32_t n, std::int32_t cut_level,
        std::int32_t maxl = 12)
      : t(1, maxl, 1, 1) {
    t.fill_stale();
    Grouping& g = t.a.grouping;
    for (std::size_t r = 0; r < records.size(); ++r) {
      g.FusionPairs(1, static_cast<long>(r) + 1) = records[r].first;
      g.FusionPairs(2, static_cast<long>(r) + 1) = records[r].second;
    }
    g.RetainedCount = n;
    g.CutLevel = cut_level;
  }
  const Grouping& g() const { return t.a.grouping; }
  TestArrays t;
};

TEST(GroupMembership, WorkedExamples) {
  const struct {
    const char* what;
    std::vector<Record> records;
    std::int32_t n, cut_level;
    Ints labels, sizes, members;
  } examples[] = {
      // clang-format off
      {"six locations, three groups; the records past the applied ones are never checked",
       {{2, 5}, {1, 3}, {7, 8}, {0, 0}, {99, 99}}, 6, 3, {4, 6, 9}, {1, 1, 4}, {4, 6, 3, 1, 5, 2}},
      {"never checked, even when they repeat an applied one", {{1, 2}, {1, 2}, {0, 0}}, 4, 3,
       {3, 4, 5}, {1, 1, 2}, {3, 4, 2, 1}},
      {"four locations, (2, 1)", {{2, 1}, {3, 4}, {5, 6}}, 4, 3, {3, 4, 5}, {1, 1, 2}, {3, 4, 2, 1}},
      {"five locations, two groups", {{3, 5}, {1, 6}, {2, 4}, {7, 8}}, 5, 2,
       {7, 8}, {3, 2}, {5, 3, 1, 4, 2}},
      {"one location reads no record", {{5, 5}}, 1, 1, {1}, {1}, {1}},
      {"n = NGP + 1: one merge", {{4, 2}, {6, 1}, {7, 3}, {8, 5}}, 5, 4,
       {1, 3, 5, 6}, {1, 1, 1, 2}, {1, 3, 5, 4, 2}},
      {"cut level 1: a formed group lists its members before a location's", {{1, 2}, {4, 3}}, 3, 1,
       {5}, {3}, {2, 1, 3}},
      {"untouched locations first, formed groups in record order", {{5, 2}, {6, 7}, {1, 3}}, 6, 4,
       {1, 3, 4, 8}, {1, 1, 1, 3}, {1, 3, 4, 5, 2, 6}},
      {"two formed groups: the more recent one's members first",
       {{1, 2}, {3, 4}, {5, 6}, {7, 9}, {8, 10}}, 6, 2, {8, 10}, {2, 4}, {4, 3, 6, 5, 2, 1}},
      {"the later group's members first, wherever the record names it",
       {{1, 2}, {3, 4}, {5, 6}, {7, 9}, {8, 10}}, 6, 1, {11}, {6}, {6, 5, 2, 1, 4, 3}},
      {"a record uses the label n + r of an earlier one", {{1, 2}, {5, 3}, {4, 6}}, 4, 2,
       {4, 6}, {1, 3}, {4, 2, 1, 3}},
      // clang-format on
  };
  for (const auto& x : examples) {
    Block b(x.records, x.n, x.cut_level);
    GroupMembership(b.g());
    EXPECT_EQ(head(b.g().GroupLabels, x.cut_level), x.labels) << x.what;
    EXPECT_EQ(head(b.g().GroupSizes, x.cut_level), x.sizes) << x.what;
    EXPECT_EQ(head(b.g().GroupMemberList, x.n), x.members) << x.what;
  }
}

// An independent model of the cut: a list of groups, each its member list.
std::vector<Ints> model_cut(const std::vector<Record>& records, std::int32_t n,
                            std::int32_t cut_level, Ints& labels) {
  std::vector<Ints> groups;
  labels.clear();
  for (std::int32_t t = 1; t <= n; ++t) {
    groups.push_back({t});
    labels.push_back(t);
  }
  for (std::int32_t r = 1; r <= n - cut_level; ++r) {
    auto [gi, gj] = records[static_cast<std::size_t>(r - 1)];
    auto pi = std::find(labels.begin(), labels.end(), gi) - labels.begin();
    auto pj = std::find(labels.begin(), labels.end(), gj) - labels.begin();
    auto lo = std::min(pi, pj), hi = std::max(pi, pj);
    Ints joined = groups[static_cast<std::size_t>(hi)];
    const Ints& first = groups[static_cast<std::size_t>(lo)];
    joined.insert(joined.end(), first.begin(), first.end());
    groups.erase(groups.begin() + hi);
    labels.erase(labels.begin() + hi);
    groups.erase(groups.begin() + lo);
    labels.erase(labels.begin() + lo);
    groups.push_back(joined);
    labels.push_back(n + r);
  }
  return groups;
}

TEST(GroupMembership, AgreesWithAListOfGroupsOnRandomHierarchies) {
  std::mt19937 rng(20240611);
  for (int trial = 0; trial < 200; ++trial) {
    const std::int32_t n = 2 + static_cast<std::int32_t>(rng() % 11);
    std::vector<Record> records;
    Ints current;
    for (std::int32_t t = 1; t <= n; ++t) current.push_back(t);
    for (std::int32_t r = 1; r < n; ++r) {
      auto a = rng() % current.size();
      auto b = (a + 1 + rng() % (current.size() - 1)) % current.size();
      records.emplace_back(current[a], current[b]);
      current.erase(current.begin() + static_cast<long>(std::max(a, b)));
      current.erase(current.begin() + static_cast<long>(std::min(a, b)));
      current.push_back(n + r);
    }
    const std::int32_t cut_level = 1 + static_cast<std::int32_t>(rng() % static_cast<unsigned>(n));
    Ints labels, sizes, members;
    for (const Ints& g : model_cut(records, n, cut_level, labels)) {
      sizes.push_back(static_cast<std::int32_t>(g.size()));
      members.insert(members.end(), g.begin(), g.end());
    }
    Block b(records, n, cut_level, n);
    GroupMembership(b.g());
    ASSERT_EQ(head(b.g().GroupLabels, cut_level), labels) << "trial " << trial;
    ASSERT_EQ(head(b.g().GroupSizes, cut_level), sizes) << "trial " << trial;
    ASSERT_EQ(head(b.g().GroupMemberList, n), members) << "trial " << trial;
  }
}

TEST(GroupMembership, RefusesRecordsThatNameNoCurrentGroup) {
  const struct {
    const char* what;
    std::vector<Record> records;
    long record;  // the record at fault
  } cases[] = {
      {"label absorbed by an earlier record", {{1, 2}, {1, 3}, {5, 4}}, 2},
      {"formed label absorbed earlier", {{1, 2}, {5, 3}, {5, 4}}, 3},
      {"absorbed label left behind the current groups", {{3, 4}, {4, 1}, {5, 2}}, 2},
      {"label of a later record", {{1, 6}, {2, 3}, {4, 5}}, 1},
      {"the label this record forms", {{1, 5}, {2, 3}, {4, 6}}, 1},
      {"label 0", {{1, 2}, {0, 3}, {5, 4}}, 2},
      {"negative label", {{-1, 2}, {1, 3}, {5, 4}}, 1},
      {"the same location twice", {{2, 2}, {1, 3}, {5, 4}}, 1},
      {"the same formed group twice", {{1, 2}, {5, 5}, {3, 4}}, 2},
  };
  for (const auto& c : cases) {
    Block b(c.records, 4, 1);
    try {
      GroupMembership(b.g());
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const BadFusion& bad) {
      EXPECT_EQ(bad.record, c.record) << c.what;
      EXPECT_FALSE(bad.why.empty()) << c.what;
    }
  }
}

TEST(CutHierarchy, ListsTheMembersAsLocationsAndTheEliminatedLocations) {
  // Only the entries exactly 1 are retained (locations 1, 4, 7, 8 are the
  // retained numbers 1 to 4) and only those exactly 0 eliminated (2, 6).
  Block b({{1, 2}, {3, 5}, {4, 6}}, 4, 2, 8);
  Grouping& g = b.t.a.grouping;
  const Ints elimination = {1, 0, 2, 1, -1, 0, 1, 1};
  std::copy(elimination.begin(), elimination.end(), g.EliminationVector.data());
  CutHierarchy(g);
  EXPECT_EQ(head(g.GroupLabels, 2), (Ints{4, 6}));
  EXPECT_EQ(head(g.GroupSizes, 2), (Ints{1, 3}));
  EXPECT_EQ(head(g.GroupMemberList, 4), (Ints{4, 2, 1, 3}));
  EXPECT_EQ(head(g.MemberLocations), (Ints{8, 4, 1, 7, 0, 0, 0, 0}));
  EXPECT_EQ(g.EliminatedCount, 2);
  EXPECT_EQ(head(g.EliminatedLocations, 2), (Ints{2, 6}));
}

}  // namespace
}  // namespace locseq
