#include "classify/pair_sums.h"

#include <gtest/gtest.h>

#include <random>

namespace locseq::classify {
namespace {

// Sums kept from a larger retained set serve a smaller one exactly as sums
// formed afresh, and are formed again only when a year's shared genotypes
// change.
TEST(PairSums, KeptSumsEqualFreshOnes) {
  const std::int32_t Y = 3, L = 6, G = 5;
  std::mt19937 rng(3);
  std::uniform_real_distribution<float> u(-5.0f, 5.0f);
  std::vector<std::vector<float>> values(Y, std::vector<float>(L * G));
  std::vector<std::vector<std::int32_t>> presence(Y, std::vector<std::int32_t>(L * G, 1));
  for (auto& y : values) {
    for (float& v : y) v = u(rng);
  }
  presence[1][1 * L + 2] = 0;  // year 2: location 3 lacks genotype 2
  const struct {
    std::vector<std::int32_t> retained;
    std::int64_t shared;  // genotype-years
    std::int64_t formed;  // years formed so far
  } steps[] = {
      {{1, 2, 3, 4, 5, 6}, 14, 3}, {{1, 2, 3, 5, 6}, 14, 3}, {{1, 2, 5}, 15, 4}, {{2, 5}, 15, 4}};
  PairSums kept(Y);
  for (const auto& s : steps) {
    const std::size_t n = s.retained.size();
    std::vector<double> d(n * (n - 1) / 2, 0.0), fresh(d);
    std::int64_t shared = 0;
    PairSums once(Y);
    for (std::int32_t y = 1; y <= Y; ++y) {
      const Mat<const float> v(values[y - 1].data(), L, G);
      const Mat<const std::int32_t> p(presence[y - 1].data(), L, G);
      shared += kept.add_year(y, s.retained, v, p, d);
      once.add_year(y, s.retained, v, p, fresh);
    }
    EXPECT_EQ(shared, s.shared);
    EXPECT_EQ(kept.formed(), s.formed);
    EXPECT_EQ(d, fresh);
    // And the first pair by hand, over the shared genotypes.
    double want = 0.0;
    for (std::int32_t y = 0; y < Y; ++y) {
      double year = 0.0;
      for (std::int32_t j = 0; j < G; ++j) {
        bool all = true;
        for (std::int32_t i : s.retained) all = all && presence[y][j * L + i - 1];
        const double t = static_cast<double>(values[y][j * L + s.retained[0] - 1]) -
                         static_cast<double>(values[y][j * L + s.retained[1] - 1]);
        if (all) year += t * t;
      }
      want += year;
    }
    EXPECT_EQ(d[0], want);
  }
}

}  // namespace
}  // namespace locseq::classify
