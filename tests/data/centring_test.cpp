#include "data/centring.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/arrays.h"

namespace locseq {
namespace {

using testing::Ints;
using testing::row;
using testing::TestArrays;
using Reals = std::vector<float>;

TEST(CentreAndStandardiseYear, EachLocationOnItsOwn) {
  // Each case is one location of the same year: the locations must not
  // touch each other. Cells past the given ones are absent.
  const struct {
    const char* what;
    Reals x;
    Ints n;  // incidence
    Reals centred, standardised;
  } cases[] = {
      {"three present among absent cells (d = 1)",
       {1, 0, 2, 0, 3},
       {1, 0, 1, 0, 1},
       {-1, 0, 0, 0, 1},
       {-1, 0, 0, 0, 1}},
      {"two values: d = sqrt(8 / 1), the divisor n - 1",
       {2, 6},
       {1, 1},
       {-2, 2},
       {-0.70710677f, 0.70710677f}},
      {"one present cell becomes exactly 0.0 and stays", {0, 3.7f}, {0, 1}, {0, 0}, {0, 0}},
      {"equal values keep their centred zeros", {5.5, 5.5, 5.5}, {1, 1, 1}, {0, 0, 0}, {0, 0, 0}},
      {"only the present cells count for the spread (n = 3, d = 2)",
       {0, 10, 0, 12, 0, 14},
       {0, 1, 0, 1, 0, 1},
       {0, -2, 0, 0, 0, 2},
       {0, -1, 0, 0, 0, 1}},
      {"a stray value in an absent cell is neither read nor changed",
       {1, 3, 100},
       {1, 1, 0},
       {-1, 1, 100},
       {-0.70710677f, 0.70710677f, 100}},
      {"no present cell: nothing changes", {7, 0, -7}, {0, 0, 0}, {7, 0, -7}, {7, 0, -7}},
      // In single precision 1e8 + 1 - 1e8 would be 0 and the middle value stay 1.
      {"the mean is summed in double precision",
       {1e8f, 1, -1e8f},
       {1, 1, 1},
       {1e8f, static_cast<float>(1.0 - 1.0 / 3.0), -1e8f},
       {}},
  };
  const long L = static_cast<long>(std::size(cases));
  TestArrays t(1, static_cast<std::int32_t>(L), 6, 1);
  const Year& year = t.a.year;
  for (long u = 1; u <= L; ++u) {
    const auto& c = cases[u - 1];
    for (std::size_t j = 0; j < c.x.size(); ++j) {
      year.YearData(u, static_cast<long>(j) + 1) = c.x[j];
      year.IncidenceMatrix(u, static_cast<long>(j) + 1) = c.n[j];
    }
  }
  const std::vector<std::int32_t> incidence = testing::all(year.IncidenceMatrix);
  auto expect = [&](int stage) {
    for (long u = 1; u <= L; ++u) {
      const auto& c = cases[u - 1];
      Reals expected = stage == 0 ? c.centred : c.standardised;
      if (expected.empty()) continue;
      expected.resize(6, 0.0f);
      EXPECT_EQ(row(year.YearData, u), expected) << c.what << (stage == 0 ? ", centred" : "");
    }
  };
  ASSERT_TRUE(CentreYear(year));
  expect(0);
  StandardiseYear(year);
  expect(1);
  EXPECT_EQ(testing::all(year.IncidenceMatrix), incidence);
}

}  // namespace
}  // namespace locseq
