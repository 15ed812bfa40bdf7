#include "groups/sed.h"

#include <gtest/gtest.h>

#include <vector>

namespace locseq {
namespace {

using Ints = std::vector<std::int32_t>;

// One year's data and group means, and the block's accumulators.
struct Distances {
  Distances(std::int32_t maxl, std::int32_t maxg, std::int32_t ngp, Ints elimination)
      : MAXL(maxl),
        MAXG(maxg),
        NGP(ngp),
        x(static_cast<std::size_t>(maxl * maxg), 0.0f),
        n(static_cast<std::size_t>(maxl * maxg), 0),
        means(static_cast<std::size_t>(ngp * maxg), 0.0f),
        counts(static_cast<std::size_t>(ngp * maxg), 0),
        EliminationVector(std::move(elimination)),
        sums(static_cast<std::size_t>((maxl - ngp) * ngp), 0.0),
        sed_counts(static_cast<std::size_t>((maxl - ngp) * ngp), 0),
        EliminatedLocations(static_cast<std::size_t>(maxl), -5) {}

  void set(long u, long j, float v) {
    Mat<float>(x.data(), MAXL, MAXG)(u, j) = v;
    Mat<std::int32_t>(n.data(), MAXL, MAXG)(u, j) = 1;
  }
  void set_mean(long k, long j, float m, std::int32_t count) {
    Mat<float>(means.data(), NGP, MAXG)(k, j) = m;
    Mat<std::int32_t>(counts.data(), NGP, MAXG)(k, j) = count;
  }
  void new_year() {
    x.assign(x.size(), 0.0f);
    n.assign(n.size(), 0);
  }
  void add() {
    AddYearDistances(Mat<const float>(x.data(), MAXL, MAXG),
                     Mat<const std::int32_t>(n.data(), MAXL, MAXG),
                     Mat<const float>(means.data(), NGP, MAXG),
                     Mat<const std::int32_t>(counts.data(), NGP, MAXG),
                     Vec<const std::int32_t>(EliminationVector.data(), MAXL),
                     Mat<double>(sums.data(), MAXL - NGP, NGP),
                     Mat<std::int32_t>(sed_counts.data(), MAXL - NGP, NGP),
                     Vec<std::int32_t>(EliminatedLocations.data(), MAXL), MAXL, MAXG, NGP);
  }
  double sum(long e, long k) { return Mat<double>(sums.data(), MAXL - NGP, NGP)(e, k); }
  std::int32_t count(long e, long k) {
    return Mat<std::int32_t>(sed_counts.data(), MAXL - NGP, NGP)(e, k);
  }

  std::int32_t MAXL, MAXG, NGP;
  std::vector<float> x;
  Ints n;
  std::vector<float> means;
  Ints counts, EliminationVector;
  std::vector<double> sums;
  Ints sed_counts, EliminatedLocations;
};

TEST(AddYearDistances, SharedGenotypesOnly) {
  struct Case {
    std::int32_t group_count_2;  // members of the group with genotype 2
    double sum;
    std::int32_t count;
  };
  for (Case c : {Case{3, 0.5, 2}, Case{0, 0.25, 1}}) {
    Distances d(3, 2, 1, {1, 0, 1});
    d.set(2, 1, 1.0f);
    d.set(2, 2, -1.0f);
    d.set_mean(1, 1, 0.5f, 2);
    d.set_mean(1, 2, c.group_count_2 > 0 ? -0.5f : 0.0f, c.group_count_2);
    d.add();
    EXPECT_EQ(d.EliminatedLocations[0], 2);
    EXPECT_EQ(d.sum(1, 1), c.sum) << c.group_count_2;
    EXPECT_EQ(d.count(1, 1), c.count) << c.group_count_2;
  }
}

TEST(AddYearDistances, YearsAddUp) {
  Distances d(3, 2, 2, {0, 1, 1});
  d.set_mean(1, 1, 0.0f, 1);
  d.set_mean(1, 2, 0.0f, 1);
  d.set_mean(2, 1, 1.0f, 1);
  d.set(1, 1, 2.0f);
  d.add();
  d.new_year();
  d.set(1, 1, -1.0f);
  d.set(1, 2, 3.0f);
  d.add();
  EXPECT_EQ(d.sum(1, 1), 4.0 + 1.0 + 9.0);
  EXPECT_EQ(d.count(1, 1), 3);
  EXPECT_EQ(d.sum(1, 2), 1.0 + 4.0);  // group 2 has no genotype 2
  EXPECT_EQ(d.count(1, 2), 2);
  // A year without any observation at the location adds nothing.
  d.new_year();
  d.set(2, 1, 5.0f);  // a retained location is no row
  d.add();
  EXPECT_EQ(d.sums, (std::vector<double>{14.0, 5.0}));
  EXPECT_EQ(d.sed_counts, (Ints{3, 2}));
}

TEST(AddYearDistances, RowsFollowAscendingEliminatedLocations) {
  // Vector 1, 0, 1, 0, 0: rows are locations 2, 4, 5.
  Distances d(5, 1, 2, {1, 0, 1, 0, 0});
  d.set_mean(1, 1, 0.0f, 1);
  d.set_mean(2, 1, 1.0f, 2);
  d.set(2, 1, 1.0f);
  d.set(4, 1, 2.0f);
  d.set(5, 1, 3.0f);
  d.add();
  EXPECT_EQ((Ints(d.EliminatedLocations.begin(), d.EliminatedLocations.begin() + 3)),
            (Ints{2, 4, 5}));
  EXPECT_EQ(d.sums, (std::vector<double>{1.0, 4.0, 9.0, 0.0, 1.0, 4.0}));
  EXPECT_EQ(d.sed_counts, (Ints{1, 1, 1, 1, 1, 1}));
}

TEST(AddYearDistances, EntriesOtherThanZeroAreNotEliminated) {
  Distances d(5, 1, 1, {2, 0, -1, 1, 0});
  d.set_mean(1, 1, 0.0f, 1);
  for (long u = 1; u <= 5; ++u) d.set(u, 1, static_cast<float>(u));
  d.add();
  EXPECT_EQ(d.EliminatedLocations[0], 2);
  EXPECT_EQ(d.EliminatedLocations[1], 5);
  EXPECT_EQ(d.sum(1, 1), 4.0);
  EXPECT_EQ(d.sum(2, 1), 25.0);
}

TEST(AddYearDistances, NoEliminatedLocationLeavesEverythingAlone) {
  Distances d(3, 2, 2, {1, 1, 1});
  d.sums.assign(d.sums.size(), 7.5);
  d.sed_counts.assign(d.sed_counts.size(), 3);
  for (long u = 1; u <= 3; ++u) d.set(u, 1, 1.0f);
  d.set_mean(1, 1, 5.0f, 1);
  d.add();
  EXPECT_EQ(d.sums, (std::vector<double>(2, 7.5)));
  EXPECT_EQ(d.sed_counts, (Ints(2, 3)));
  EXPECT_EQ(d.EliminatedLocations, (Ints(3, -5)));
}

TEST(AddYearDistances, DifferenceAndSquareInDoublePrecision) {
  // 3e38 - (-3e38) overflows single precision, and so does the square of 6e20.
  for (float v : {3.0e38f, 3.0e20f}) {
    Distances d(2, 1, 1, {1, 0});
    d.set(2, 1, v);
    d.set_mean(1, 1, -v, 1);
    d.add();
    const double diff = 2.0 * static_cast<double>(v);
    EXPECT_EQ(d.sum(1, 1), diff * diff) << v;
  }
}

}  // namespace
}  // namespace locseq
