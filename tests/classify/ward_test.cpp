#include "classify/ward.h"

#include <gtest/gtest.h>

#include <random>

#include "classify/ward_reference.h"

namespace locseq::classify {
namespace {

using testing::Points;

void expect_same(const std::vector<Fusion>& got, const std::vector<Fusion>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t r = 0; r < got.size(); ++r) {
    EXPECT_EQ(got[r].gi, want[r].gi) << "fusion " << r + 1;
    EXPECT_EQ(got[r].gj, want[r].gj) << "fusion " << r + 1;
    EXPECT_EQ(got[r].gij, want[r].gij) << "fusion " << r + 1;
    EXPECT_NEAR(got[r].level, want[r].level, 1e-9 * want[r].level + 1e-12) << "fusion " << r + 1;
  }
}

// Random points against the brute-force reference; and the rises of all
// fusions add up to the sum of squares about the grand centroid.
TEST(WardHierarchy, MatchesBruteForceAndSumsToTheTotal) {
  const struct {
    int n, dim;
    unsigned seed;
  } cases[] = {{2, 1, 1},  {3, 2, 2},  {5, 1, 3},  {8, 3, 4},
               {13, 5, 5}, {20, 2, 6}, {40, 7, 7}, {60, 30, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE("n " + std::to_string(c.n) + ", seed " + std::to_string(c.seed));
    std::mt19937_64 rng(c.seed);
    std::normal_distribution<double> z(0.0, 10.0);
    Points x(static_cast<std::size_t>(c.n), std::vector<double>(static_cast<std::size_t>(c.dim)));
    for (auto& p : x) {
      for (double& v : p) v = z(rng);
    }
    const std::vector<Fusion> got = ward_hierarchy(c.n, testing::squared_distances(x));
    expect_same(got, testing::brute_force_ward(x));
    double total = 0.0, sum = 0.0;
    for (std::size_t k = 0; k < x[0].size(); ++k) {
      double mean = 0.0;
      for (const auto& p : x) mean += p[k] / c.n;
      for (const auto& p : x) total += (p[k] - mean) * (p[k] - mean);
    }
    for (const Fusion& f : got) sum += f.level;
    EXPECT_NEAR(sum, total, 1e-10 * total);
  }
}

// Equal rises go to the pair with the smaller first label, then the smaller
// second label; the smaller label is written first.
TEST(WardHierarchy, Ties) {
  const struct {
    const char* name;
    Points x;
    std::vector<Fusion> want;
  } cases[] = {
      {"a row of four", {{0}, {1}, {2}, {3}}, {{1, 2, 5, 0.5}, {3, 4, 6, 0.5}, {5, 6, 7, 4.0}}},
      {"two pairs apart",
       {{0}, {10}, {1}, {11}},
       {{1, 3, 5, 0.5}, {2, 4, 6, 0.5}, {5, 6, 7, 100.0}}},
      {"a square",
       {{0, 0}, {1, 0}, {0, 1}, {1, 1}},
       {{1, 2, 5, 0.5}, {3, 4, 6, 0.5}, {5, 6, 7, 1.0}}},
      {"three alike", {{0}, {0}, {0}, {5}}, {{1, 2, 5, 0.0}, {3, 5, 6, 0.0}, {4, 6, 7, 18.75}}},
      {"no tie: a later pair first",
       {{0}, {7}, {3}, {3.5}},
       {{3, 4, 5, 0.125}, {1, 5, 6, 169.0 / 24}, {2, 6, 7, 841.0 / 48}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto n = static_cast<std::int32_t>(c.x.size());
    expect_same(ward_hierarchy(n, testing::squared_distances(c.x)), c.want);
  }
}

// The kept minima give the joins and levels of the search over all pairs,
// to the bit: on points of a small grid (many equal rises, and rises equal
// but for rounding), on integer dissimilarities that are not distances of
// points at all, and on real ones; and on the latter the levels follow
// Ward's sums of squares within groups from their definition.
TEST(WardHierarchy, FollowsTheSearchOverAllPairsToTheBit) {
  const struct {
    const char* kind;
    int n;
    unsigned seed;
  } cases[] = {{"grid", 2, 1},   {"grid", 30, 2},     {"grid", 120, 3},
               {"grid", 300, 4}, {"integers", 25, 5}, {"integers", 200, 6},
               {"reals", 40, 7}, {"reals", 250, 8},   {"one value", 50, 9}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " n " + std::to_string(c.n));
    std::mt19937_64 rng(c.seed);
    const auto N = static_cast<std::size_t>(c.n);
    std::vector<double> d;
    std::vector<std::vector<double>> full(N, std::vector<double>(N, 0.0));
    if (std::string(c.kind) == "grid") {
      std::uniform_int_distribution<int> u(0, 4);
      Points x(N, std::vector<double>(3));
      for (auto& p : x) {
        for (double& v : p) v = 0.1 * u(rng);
      }
      d = testing::squared_distances(x);
    } else {
      std::uniform_int_distribution<int> u(1, 20);
      std::uniform_real_distribution<double> r(0.0, 100.0);
      for (std::size_t a = 0; a < N; ++a) {
        for (std::size_t b = a + 1; b < N; ++b) {
          const double v = c.kind[0] == 'i' ? u(rng) : c.kind[0] == 'r' ? r(rng) : 7.0;
          d.push_back(v);
          full[a][b] = full[b][a] = v;
        }
      }
    }
    const std::vector<Fusion> got = ward_hierarchy(c.n, d);
    const std::vector<Fusion> want = testing::ward_by_full_search(c.n, d);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t r = 0; r < got.size(); ++r) {
      ASSERT_EQ(got[r].gi * 100000 + got[r].gj, want[r].gi * 100000 + want[r].gj)
          << "fusion " << r + 1;
      ASSERT_EQ(got[r].level, want[r].level) << "fusion " << r + 1;
    }
    if (std::string(c.kind) == "reals" && c.n <= 40) {
      expect_same(got, testing::brute_force_ward_on(full));
    }
  }
}

}  // namespace
}  // namespace locseq::classify
