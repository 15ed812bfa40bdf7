#include "groups/group_means.h"

#include <gtest/gtest.h>

#include <vector>

namespace locseq {
namespace {

using Ints = std::vector<std::int32_t>;

// A year's prepared data with a grouping of its retained locations. The
// outputs start out full of stale values, as between two years.
struct Grouping {
  Grouping(std::int32_t maxl, std::int32_t maxg, Ints elimination, Ints sizes, Ints member_list)
      : MAXL(maxl),
        MAXG(maxg),
        NGP(static_cast<std::int32_t>(sizes.size())),
        x(static_cast<std::size_t>(maxl * maxg), 0.0f),
        n(static_cast<std::size_t>(maxl * maxg), 0),
        means(static_cast<std::size_t>(NGP * maxg), -5.0f),
        counts(static_cast<std::size_t>(NGP * maxg), -5),
        GroupSizes(std::move(sizes)),
        GroupMemberList(std::move(member_list)),
        MemberLocations(static_cast<std::size_t>(maxl), -5),
        EliminationVector(std::move(elimination)) {
    GroupMemberList.resize(static_cast<std::size_t>(maxl), -5);
  }

  void set(long i, long j, float v) {
    Mat<float>(x.data(), MAXL, MAXG)(i, j) = v;
    Mat<std::int32_t>(n.data(), MAXL, MAXG)(i, j) = 1;
  }
  void form() {
    FormGroupMeans(Mat<const float>(x.data(), MAXL, MAXG),
                   Mat<const std::int32_t>(n.data(), MAXL, MAXG),
                   Mat<float>(means.data(), NGP, MAXG), Mat<std::int32_t>(counts.data(), NGP, MAXG),
                   Vec<const std::int32_t>(GroupSizes.data(), NGP),
                   Vec<const std::int32_t>(GroupMemberList.data(), MAXL),
                   Vec<std::int32_t>(MemberLocations.data(), MAXL),
                   Vec<const std::int32_t>(EliminationVector.data(), MAXL), MAXL, MAXG, NGP);
  }
  float mean(long k, long j) { return Mat<float>(means.data(), NGP, MAXG)(k, j); }
  std::int32_t count(long k, long j) { return Mat<std::int32_t>(counts.data(), NGP, MAXG)(k, j); }

  std::int32_t MAXL, MAXG, NGP;
  std::vector<float> x;
  Ints n;
  std::vector<float> means;
  Ints counts;
  Ints GroupSizes, GroupMemberList, MemberLocations, EliminationVector;
};

TEST(FormGroupMeans, MeansOverPresentMemberCells) {
  // Group 1: locations 1, 2, 3; group 2: location 4 alone.
  Grouping g(4, 3, {1, 1, 1, 1}, {3, 1}, {1, 2, 3, 4});
  g.set(1, 1, 1.0f);
  g.set(2, 1, 3.0f);
  g.set(3, 2, -2.0f);  // the third member lacks genotype 1
  g.set(4, 1, 0.25f);
  g.set(4, 2, -0.5f);
  g.form();
  EXPECT_EQ(g.mean(1, 1), 2.0f);
  EXPECT_EQ(g.count(1, 1), 2);
  EXPECT_EQ(g.mean(1, 2), -2.0f);
  EXPECT_EQ(g.count(1, 2), 1);
  EXPECT_EQ(g.mean(1, 3), 0.0f);  // no member has genotype 3
  EXPECT_EQ(g.count(1, 3), 0);
  // A one-member group repeats its member's values.
  EXPECT_EQ(g.mean(2, 1), 0.25f);
  EXPECT_EQ(g.mean(2, 2), -0.5f);
  EXPECT_EQ(g.mean(2, 3), 0.0f);
  EXPECT_EQ(g.counts, (Ints{2, 1, 1, 1, 0, 0}));
  EXPECT_EQ(g.MemberLocations, (Ints{1, 2, 3, 4}));
}

TEST(FormGroupMeans, RetainedNumbersSkipEliminatedLocations) {
  // Vector 1, 0, 1, 1: retained numbers 1, 2, 3 are locations 1, 3, 4.
  Grouping g(4, 1, {1, 0, 1, 1}, {1, 2}, {2, 3, 1});
  for (long u = 1; u <= 4; ++u) g.set(u, 1, static_cast<float>(10 * u));
  g.form();
  EXPECT_EQ(g.MemberLocations, (Ints{3, 4, 1, 0}));
  EXPECT_EQ(g.mean(1, 1), 30.0f);
  EXPECT_EQ(g.mean(2, 1), 25.0f);  // locations 4 and 1; location 2 never counts
  EXPECT_EQ(g.count(2, 1), 2);
}

TEST(FormGroupMeans, EntriesOtherThanZeroOrOneAreNotRetained) {
  Grouping g(6, 1, {1, 2, 1, -1, 0, 1}, {3}, {1, 2, 3});
  for (long u = 1; u <= 6; ++u) g.set(u, 1, static_cast<float>(u));
  g.form();
  EXPECT_EQ(g.MemberLocations, (Ints{1, 3, 6, 0, 0, 0}));
  EXPECT_EQ(g.mean(1, 1), 10.0f / 3.0f);
}

TEST(FormGroupMeans, RunningSumsAreSinglePrecisionInListOrder) {
  // 1e8 + 1 is 1e8 in single precision; summed the other way the 1 survives.
  Grouping a(3, 1, {1, 1, 1}, {3}, {1, 2, 3});
  a.set(1, 1, 1.0e8f);
  a.set(2, 1, 1.0f);
  a.set(3, 1, -1.0e8f);
  Grouping b = a;
  b.GroupMemberList = {1, 3, 2};
  a.form();
  b.form();
  EXPECT_EQ(a.mean(1, 1), 0.0f);
  EXPECT_EQ(b.mean(1, 1), 1.0f / 3.0f);
}

TEST(FormGroupMeans, EveryOutputIsRebuilt) {
  Grouping g(3, 2, {1, 1, 0}, {1, 1}, {2, 1});
  g.set(2, 1, 4.0f);
  g.form();
  EXPECT_EQ(g.means, (std::vector<float>{4.0f, 0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(g.counts, (Ints{1, 0, 0, 0}));
  EXPECT_EQ(g.MemberLocations, (Ints{2, 1, 0}));
  // The next year, with other data, leaves nothing of this one.
  g.n.assign(g.n.size(), 0);
  g.x.assign(g.x.size(), 0.0f);
  g.set(1, 2, -1.0f);
  g.form();
  EXPECT_EQ(g.means, (std::vector<float>{0.0f, 0.0f, 0.0f, -1.0f}));
  EXPECT_EQ(g.counts, (Ints{0, 0, 0, 1}));
}

}  // namespace
}  // namespace locseq
