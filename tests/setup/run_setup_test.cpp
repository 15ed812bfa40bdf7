#include "setup/run_setup.h"

#include <gtest/gtest.h>

#include <limits>

namespace locseq {
namespace {

TEST(SquareRootRule, SmallestWholeNumberWhoseSquareReachesMaxl) {
  const std::pair<int, int> table[] = {{1, 1},    {2, 2},    {3, 2},    {4, 2},   {5, 3},
                                       {100, 10}, {101, 11}, {121, 11}, {122, 12}};
  for (auto [maxl, ngp] : table) EXPECT_EQ(square_root_rule(maxl), ngp) << "MAXL " << maxl;
  // The rule holds over the whole 32-bit range.
  for (std::int32_t maxl : {1999999, 2000000, 2000001, 46340 * 46340, 46340 * 46340 + 1,
                            std::numeric_limits<std::int32_t>::max()}) {
    std::int64_t n = square_root_rule(maxl);
    EXPECT_GE(n * n, maxl);
    EXPECT_LT((n - 1) * (n - 1), maxl);
  }
}

RunParameters params(std::int32_t y, std::int32_t l, std::int32_t g, std::int32_t n) {
  RunParameters p;
  p.MAXY = y;
  p.MAXL = l;
  p.MAXG = g;
  p.NGP = n;
  return p;
}

TEST(RequiredSizes, WorkedExamples) {
  EXPECT_EQ(required_sizes(params(10, 100, 50, 10)),
            (std::array<std::int64_t, 4>{981, 5501, 8418, 360}));
  EXPECT_EQ(required_sizes(params(5, 300, 1000, 18)),
            (std::array<std::int64_t, 4>{5117, 318001, 331460, 1905}));
}

TEST(RequiredSizes, HugeHeadsSaturateInsteadOfWrapping) {
  const std::int32_t big = std::numeric_limits<std::int32_t>::max();
  auto sizes = required_sizes(params(big, big, big, square_root_rule(big)));
  for (std::int64_t s : sizes) EXPECT_GT(s, 10000000);
  // L G + N G + 2 (L - N) N passes 2^63 for a typed NGP of three quarters of MAXL.
  sizes = required_sizes(params(big, big, big, big / 4 * 3));
  EXPECT_EQ(sizes[2], std::numeric_limits<std::int64_t>::max());
}

TEST(Carve, ArraysLieSideBySideInTheOrderOfTheCarvingTable) {
  WorkAreas areas;
  RunParameters p = params(3, 7, 5, 2);  // V = 10
  Arrays a = carve(areas, p);
  const std::int32_t* mz = areas.MZ.data();
  // First elements (1-based) from the carving table, L = 7, G = 5, N = 2, V = 10.
  EXPECT_EQ(a.TSSj.data() - areas.DZ.data(), 10);
  EXPECT_EQ(a.RSQj.data() - areas.DZ.data(), 10 + 6 * 3);
  EXPECT_EQ(a.GroupMeans.data() - areas.Z.data(), 35);
  EXPECT_EQ(a.GroupSizes.data() - mz, 3 * 7 - 1);
  EXPECT_EQ(a.FusionPairs.data() - mz, 6 * 7 - 1);
  EXPECT_EQ(a.EliminationVector.data() - mz, 8 * 7 - 2 - 1);
  EXPECT_EQ(a.IncidenceMatrix.data() - mz, 9 * 7 - 2 - 1);
  EXPECT_EQ(a.AllocatedGroupSizes.data() - mz, 10 * 7 - 2 + 35 + 10 + 10 - 1);
  EXPECT_EQ(a.LocMod.data() - mz, 11 * 7 - 2 + 35 + 10 + 20 - 1);
  EXPECT_EQ(a.LocMod.data() + 6 - mz, required_sizes(p)[2] - 1);
  EXPECT_EQ(a.GenotypeNames.data() - areas.AZ.data(), 3 * 7 + 3 - 1);
  // The enlarged membership has room for every location in every group.
  EXPECT_EQ(a.AllocatedGroupMembers.rows(), 2);
  EXPECT_EQ(a.AllocatedGroupMembers.cols(), 7);
}

}  // namespace
}  // namespace locseq
