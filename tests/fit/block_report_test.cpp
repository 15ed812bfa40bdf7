// The fixed-layout reports of a block, written from its results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fit/allocation_report.h"
#include "fit/fit_report.h"
#include "support/arrays.h"
#include "support/memory_files.h"

namespace locseq {
namespace {

using testing::name8;
using testing::OutFile;
using testing::str;

std::string blanks(std::size_t n) {
  return std::string(n, ' ');
}

// Numbers from..to, each right-aligned in w columns.
std::string fields(int from, int to, std::size_t w, const char* suffix = "") {
  std::string out;
  for (int v = from; v <= to; ++v) {
    const std::string s = std::to_string(v) + suffix;
    out += blanks(w - s.size()) + s;
  }
  return out;
}

// The three reports of one block.
struct Reports {
  Reports(const BlockResult& block, const std::vector<Name8>& names) {
    write_allocation_alc(block, alc.unit);
    write_allocation_cos(block, cos.unit);
    write_allocation_sco(block, names, sco.unit);
    write_fit_cos(block, cos.unit);
    write_fit_sco(block, sco.unit);
  }
  OutFile sco{"JOB.SCO"}, cos{"JOB.COS"}, alc{"JOB.ALC"};
};

VariantFit variant(std::vector<YearFit> years, FitSums overall) {
  return {std::move(years), overall};
}

TEST(BlockReports, ASmallBlock) {
  // Locations 2 and 5 eliminated; group 1 (label 1) is location 1, group 2
  // (label 4) locations 4 and 3. Location 2 goes to group 2, 5 to group 1.
  BlockResult b;
  b.groups = {{1, {1}, {5}}, {4, {4, 3}, {2}}};
  b.eliminated = {{2, {3, 2}, {1.0 / 3.0, 0.25}, 2}, {5, {2, 0}, {2.5, 0.0}, 1}};
  b.fit[kClassified] = variant({{1, 3, {10, 8, 2, 0.8, true}}, {2, 4, {30, 6, 24, 0.2, true}}},
                               {40, 14, 26, 14.0 / 40.0, true});
  b.fit[kWithAllocated] = variant({{1, 5, {20, 10, 10, 0.5, true}}, {2, 6, {20, 2, 18, 0.1, true}}},
                                  {40, 12, 28, 0.3, true});
  const Reports r(b,
                  {name8("North"), name8("Loc-2"), name8("South"), name8("East"), name8("West")});

  const std::string allocation =
      "   1   1   2   1   5\n"
      "   4   2   3   4   3   2\n";
  const std::string counts =
      "      2         3         2\n"
      "      5         2         0\n";
  const std::string means =
      "      2  0.33      0.25    \n"
      "      5   2.5       0.0    \n";
  const std::string labels = blanks(7) + fields(1, 1, 10) + fields(4, 4, 10) + "\n";
  const std::string without =
      "      1         3    0.100E+02 0.800E+01 0.200E+01      0.80\n"
      "      2         4    0.300E+02 0.600E+01 0.240E+02      0.20\n";
  const std::string without_overall = blanks(20) + " 0.400E+02 0.140E+02 0.260E+02      0.35\n";
  const std::string with =
      "      1         5    0.200E+02 0.100E+02 0.100E+02      0.50\n"
      "      2         6    0.200E+02 0.200E+01 0.180E+02      0.10\n";
  const std::string with_overall = blanks(20) + " 0.400E+02 0.120E+02 0.280E+02      0.30\n";
  const std::string year_head = "   Year     LocMod        TSSj      ESSj      RSSj'      RSQj\n";
  const std::string overall_head =
      " Overall                   TSS       ESS       RSS'       RSQ\n";

  EXPECT_EQ(r.alc.str(), allocation);
  EXPECT_EQ(r.cos.str(), "   2\n" + counts + means + allocation + without + without_overall + with +
                             with_overall);
  EXPECT_EQ(r.sco.str(),
            "   Number of eliminated locations is       2\n"
            " Number of squared distances\n"
            " ElmLoc  Location group\n" +
                labels + counts +
                " squared Euclidean distances\n"
                " ElmLoc  Location group\n" +
                labels + means +
                " Group      1\n"
                "   Number of old members     1\n"
                "     They are North   \n"
                "   Number of new members     1\n"
                "     They are West    \n"
                " Group      4\n"
                "   Number of old members     2\n"
                "     They are East    South   \n"
                "   Number of new members     1\n"
                "     They are Loc-2   \n"
                " Model fit without eliminated locations\n" +
                year_head + without + overall_head + without_overall +
                " Model fit with eliminated locations\n" + year_head + with + overall_head +
                with_overall);
}

TEST(BlockReports, NoEliminatedLocation) {
  BlockResult b;
  b.groups = {{1, {1}, {}}, {4, {3, 2}, {}}};
  const Reports r(b, {name8("L1"), name8("L2"), name8("L3")});
  const std::string allocation =
      "   1   1   1   1\n"
      "   4   2   2   3   2\n";
  EXPECT_EQ(r.alc.str(), allocation);
  const std::string zero = blanks(20) + " 0.000E+00 0.000E+00 0.000E+00      0.00\n";
  EXPECT_EQ(r.cos.str(), "   0\n" + allocation + zero + zero);  // no year rows
  EXPECT_EQ(r.sco.str().substr(0, r.sco.str().find(" Model fit")),
            "   Number of eliminated locations is       0\n"
            " Group      1\n"
            "   Number of old members     1\n"
            "     They are L1      \n"
            " Group      4\n"
            "   Number of old members     2\n"
            "     They are L3      L2      \n");
}

}  // namespace
}  // namespace locseq
