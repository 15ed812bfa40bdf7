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

}  // namespace
}  // namespace locseq::classify
