#include "fit/allocation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace locseq {
namespace {

using Ints = std::vector<std::int32_t>;

Name8 name8(const std::string& s) {
  Name8 n;
  n.fill(' ');
  for (std::size_t i = 0; i < s.size() && i < n.size(); ++i) n[i] = s[i];
  return n;
}

// A block after its SED pass: the groups (old members as location numbers),
// the elimination vector and the distance sums, with the three reports.
// Every output starts out full of stale values.
struct Allocation {
  Allocation(Ints elimination, Ints labels, const std::vector<Ints>& groups)
      : MAXL(static_cast<std::int32_t>(elimination.size())),
        NGP(static_cast<std::int32_t>(groups.size())),
        sums(static_cast<std::size_t>((MAXL - NGP) * NGP), 0.0),
        counts(static_cast<std::size_t>((MAXL - NGP) * NGP), 0),
        GroupLabels(std::move(labels)),
        AllocatedGroupSizes(static_cast<std::size_t>(MAXL), -5),
        AllocatedGroupMembers(static_cast<std::size_t>(NGP * MAXL), -5),
        EliminationVector(std::move(elimination)),
        LocationNames(static_cast<std::size_t>(MAXL)),
        sco(sco_out, "JOB.SCO"),
        cos(cos_out, "JOB.COS"),
        alc(alc_out, "JOB.ALC") {
    for (const Ints& g : groups) {
      GroupSizes.push_back(static_cast<std::int32_t>(g.size()));
      MemberLocations.insert(MemberLocations.end(), g.begin(), g.end());
    }
    GroupLabels.resize(static_cast<std::size_t>(MAXL), -5);
    GroupSizes.resize(static_cast<std::size_t>(MAXL), -5);
    MemberLocations.resize(static_cast<std::size_t>(MAXL), 0);
    for (std::int32_t u = 1; u <= MAXL; ++u) {
      if (EliminationVector[static_cast<std::size_t>(u - 1)] == 0) EliminatedLocations.push_back(u);
      LocationNames[static_cast<std::size_t>(u - 1)] =
          name8(std::string("L").append(std::to_string(u)));
    }
    EliminatedLocations.resize(static_cast<std::size_t>(MAXL), 0);
  }

  Mat<double> sum_matrix() { return {sums.data(), MAXL - NGP, NGP}; }
  Mat<std::int32_t> count_matrix() { return {counts.data(), MAXL - NGP, NGP}; }
  Mat<std::int32_t> members() { return {AllocatedGroupMembers.data(), NGP, MAXL}; }

  // Distance sum and number of terms of eliminated location e to group k.
  void distance(long e, long k, double sum, std::int32_t count) {
    sum_matrix()(e, k) = sum;
    count_matrix()(e, k) = count;
  }
  void run() {
    AllocateEliminatedLocations(
        sum_matrix(), count_matrix(), Vec<const std::int32_t>(GroupLabels.data(), MAXL),
        Vec<const std::int32_t>(GroupSizes.data(), MAXL),
        Vec<std::int32_t>(AllocatedGroupSizes.data(), MAXL),
        Vec<const std::int32_t>(MemberLocations.data(), MAXL), members(),
        Vec<const std::int32_t>(EliminationVector.data(), MAXL),
        Vec<const std::int32_t>(EliminatedLocations.data(), MAXL),
        Vec<const Name8>(LocationNames.data(), MAXL), MAXL, NGP, sco, cos, alc);
  }
  // Row k of AllocatedGroupMembers, all MAXL columns.
  Ints row(long k) {
    Ints out;
    for (long c = 1; c <= MAXL; ++c) out.push_back(members()(k, c));
    return out;
  }
  // AllocatedGroupSizes, all MAXL entries.
  Ints sizes() { return {AllocatedGroupSizes.begin(), AllocatedGroupSizes.end()}; }

  std::int32_t MAXL, NGP;
  std::vector<double> sums;
  Ints counts, GroupLabels, GroupSizes, AllocatedGroupSizes, MemberLocations, AllocatedGroupMembers,
      EliminationVector, EliminatedLocations;
  std::vector<Name8> LocationNames;
  std::ostringstream sco_out, cos_out, alc_out;
  records::Unit sco, cos, alc;
};

std::string blanks(std::size_t n) {
  return std::string(n, ' ');
}
std::string right(const std::string& s, std::size_t w) {
  return blanks(w - s.size()) + s;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(AllocateEliminatedLocations, ReportsOfASmallBlock) {
  // Locations 2 and 5 eliminated; group 1 (label 1) is location 1, group 2
  // (label 4) locations 4 and 3.
  Allocation a({1, 0, 1, 1, 0}, {1, 4}, {{1}, {4, 3}});
  const char* names[] = {"North", "Loc-2", "South", "East", "West"};
  for (std::size_t u = 0; u < 5; ++u) a.LocationNames[u] = name8(names[u]);
  a.distance(1, 1, 1.0, 3);  // mean 1/3
  a.distance(1, 2, 0.5, 2);  // mean 0.25: nearest
  a.distance(2, 1, 5.0, 2);  // mean 2.5: nearest, as group 2 has no term
  a.run();

  const std::string allocation =
      "   1   1   2   1   5\n"
      "   4   2   3   4   3   2\n";
  const std::string counts =
      "      2         3         2\n"
      "      5         2         0\n";
  const std::string means =
      "      2  0.33      0.25    \n"
      "      5   2.5       0.0    \n";
  const std::string labels = blanks(7) + right("1", 10) + right("4", 10) + "\n";
  EXPECT_EQ(a.alc_out.str(), allocation);
  EXPECT_EQ(a.cos_out.str(), "   2\n" + counts + means + allocation);
  EXPECT_EQ(a.sco_out.str(),
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
                "     They are Loc-2   \n");

  EXPECT_EQ(a.sizes(), (Ints{2, 3, 0, 0, 0}));
  EXPECT_EQ(a.row(1), (Ints{1, 5, 0, 0, 0}));
  EXPECT_EQ(a.row(2), (Ints{4, 3, 2, 0, 0}));
  // Means replace the sums where there were terms; the rest stays.
  EXPECT_EQ(a.sums, (std::vector<double>{1.0 / 3.0, 2.5, 0.0, 0.25, 0.0, 0.0}));
}

TEST(AllocateEliminatedLocations, NoEliminatedLocation) {
  Allocation a({1, 1, 1}, {1, 4}, {{1}, {3, 2}});
  a.run();
  const std::string allocation =
      "   1   1   1   1\n"
      "   4   2   2   3   2\n";
  EXPECT_EQ(a.alc_out.str(), allocation);
  EXPECT_EQ(a.cos_out.str(), "   0\n" + allocation);
  EXPECT_EQ(a.sco_out.str(),
            "   Number of eliminated locations is       0\n"
            " Group      1\n"
            "   Number of old members     1\n"
            "     They are L1      \n"
            " Group      4\n"
            "   Number of old members     2\n"
            "     They are L3      L2      \n");
  EXPECT_EQ(a.sizes(), (Ints{1, 2, 0}));
  EXPECT_EQ(a.row(1), (Ints{1, 0, 0}));
  EXPECT_EQ(a.row(2), (Ints{3, 2, 0}));
}

// The group location 4 (the one eliminated location) goes to among three
// single-location groups, given its three mean distances and counts.
std::int32_t nearest(std::vector<double> means, Ints counts) {
  Allocation a({1, 1, 1, 0}, {1, 2, 3}, {{1}, {2}, {3}});
  for (long k = 1; k <= 3; ++k) {
    const std::size_t i = static_cast<std::size_t>(k - 1);
    a.distance(1, k, means[i] * std::max(counts[i], 1), counts[i]);
  }
  a.run();
  std::int32_t g = 0;
  for (long k = 1; k <= 3; ++k) {
    if (a.sizes()[static_cast<std::size_t>(k - 1)] == 2) {
      EXPECT_EQ(g, 0) << "allocated twice";
      EXPECT_EQ(a.row(k)[1], 4);
      g = static_cast<std::int32_t>(k);
    }
  }
  return g;
}

TEST(AllocateEliminatedLocations, NearestGroup) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double big = static_cast<double>(1.0e30f);  // the start of the running minimum
  struct Case {
    const char* what;
    std::vector<double> means;
    Ints counts;
    std::int32_t group;
  };
  const Case cases[] = {
      {"first of equal minima", {2.5, 0.5, 0.5}, {1, 1, 1}, 2},
      {"smallest", {3.0, 2.0, 1.0}, {4, 4, 4}, 3},
      {"a count of 0 is never chosen", {0.0, 2.0, 3.0}, {0, 5, 5}, 2},
      {"no term with any group", {0.0, 0.0, 0.0}, {0, 0, 0}, 0},
      {"minimum held in 32 bits",
       {1.0 - std::ldexp(1.0, -26), 1.0 - std::ldexp(1.0, -27), 2.0},
       {1, 1, 1},
       2},
      {"not a number never passes", {nan, 1.0, nan}, {1, 1, 1}, 2},
      {"1.0E30 is below the start", {1.0e30, 2.0e30, 2.0e30}, {1, 1, 1}, 1},
      // 1.0E30 rounds up in 32 bits, so each later equal mean lies below the minimum.
      {"equal means above their 32-bit rounding", {1.0e30, 1.0e30, 1.0e30}, {1, 1, 1}, 3},
      {"just below the 32-bit start", {2.0e30, 1.00000001e30, 2.0e30}, {1, 1, 1}, 2},
      {"the start itself is not below it", {big, 2.0e30, big}, {1, 1, 1}, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(nearest(c.means, c.counts), c.group) << c.what;
}

TEST(AllocateEliminatedLocations, UnallocatedLocationShowsZeroRows) {
  Allocation a({1, 1, 0}, {1, 2}, {{1}, {2}});
  a.run();
  EXPECT_EQ(a.sizes(), (Ints{1, 1, 0}));
  EXPECT_EQ(a.cos_out.str(),
            "   1\n"
            "      3         0         0\n"
            "      3   0.0       0.0    \n"
            "   1   1   1   1\n"
            "   2   1   1   2\n");
  EXPECT_EQ(a.sco_out.str().find("new members"), std::string::npos);
}

TEST(AllocateEliminatedLocations, NewMembersFollowOldOnesInLocationOrder) {
  // Eliminated 1, 3, 6; locations 1 and 6 go to group 1, location 3 to group 2.
  Allocation a({0, 1, 0, 1, 1, 0}, {5, 4}, {{4, 2}, {5}});
  a.distance(1, 1, 1.0, 1);
  a.distance(1, 2, 2.0, 1);
  a.distance(2, 1, 2.0, 1);
  a.distance(2, 2, 1.0, 1);
  a.distance(3, 1, 3.0, 3);
  a.distance(3, 2, 9.0, 3);
  a.run();
  EXPECT_EQ(a.sizes(), (Ints{4, 2, 0, 0, 0, 0}));
  EXPECT_EQ(a.row(1), (Ints{4, 2, 1, 6, 0, 0}));
  EXPECT_EQ(a.row(2), (Ints{5, 3, 0, 0, 0, 0}));
  EXPECT_NE(a.sco_out.str().find("   Number of new members     2\n"
                                 "     They are L1      L6      \n"),
            std::string::npos);
  EXPECT_EQ(a.alc_out.str(),
            "   5   2   4   4   2   1   6\n"
            "   4   1   2   5   3\n");
}

TEST(AllocateEliminatedLocations, TwelveGroupsContinueOnASecondRecord) {
  // Locations 1 to 12 each a group of its own; 13 and 14 eliminated.
  Ints elimination(14, 1);
  elimination[12] = elimination[13] = 0;
  Ints labels;
  std::vector<Ints> groups;
  for (std::int32_t k = 1; k <= 12; ++k) {
    labels.push_back(k);
    groups.push_back({k});
  }
  Allocation a(elimination, labels, groups);
  for (long k = 1; k <= 12; ++k) {
    a.distance(1, k, static_cast<double>(k), 1);       // nearest: group 1
    a.distance(2, k, static_cast<double>(13 - k), 2);  // nearest: group 12
  }
  a.run();
  const std::vector<std::string> cos = lines_of(a.cos_out.str());
  ASSERT_EQ(cos.size(), 1u + 4u + 4u + 12u);
  std::string ones, twos, label_row = blanks(7);
  for (int k = 1; k <= 10; ++k) {
    ones += right("1", 10);
    twos += right("2", 10);
    label_row += right(std::to_string(k), 10);
  }
  EXPECT_EQ(cos[1], "     13" + ones);
  EXPECT_EQ(cos[2], blanks(7) + right("1", 10) + right("1", 10));
  EXPECT_EQ(cos[3], "     14" + twos);
  EXPECT_EQ(cos[5],
            "     13   1.0       2.0       3.0       4.0       5.0       6.0       7.0    "
            "   8.0       9.0       10.    ");
  EXPECT_EQ(cos[6], blanks(7) + "   11.       12.    ");
  EXPECT_EQ(cos[8], blanks(7) + "   1.0      0.50    ");
  EXPECT_EQ(cos[9], "   1   1   2   1  13");
  EXPECT_EQ(cos[20], "  12   1   2  12  14");

  const std::vector<std::string> sco = lines_of(a.sco_out.str());
  ASSERT_GE(sco.size(), 6u);
  EXPECT_EQ(sco[3], label_row);
  EXPECT_EQ(sco[4], blanks(7) + right("11", 10) + right("12", 10));
}

TEST(AllocateEliminatedLocations, LongListsContinueOnFurtherRecords) {
  // Group 1 (label 47): locations 1 to 22, then 26, 27, 28 allocated: 25
  // members. Group 2 (label 48): 23 to 25, then 29 and 30.
  Ints elimination(30, 1);
  for (std::size_t u = 25; u < 30; ++u) elimination[u] = 0;
  Ints first, second{23, 24, 25};
  for (std::int32_t u = 1; u <= 22; ++u) first.push_back(u);
  Allocation a(elimination, {47, 48}, {first, second});
  for (long e = 1; e <= 5; ++e) {
    a.distance(e, 1, e <= 3 ? 1.0 : 2.0, 1);
    a.distance(e, 2, e <= 3 ? 2.0 : 1.0, 1);
  }
  a.run();
  EXPECT_EQ(a.alc_out.str(),
            "  47  22  25   1   2   3   4   5   6   7   8   9  10  11  12  13  14  15  16  17"
            "  18  19  20\n"
            "              21  22  26  27  28\n"
            "  48   3   5  23  24  25  29  30\n");
  const std::string sco = a.sco_out.str();
  EXPECT_NE(
      sco.find("   Number of old members    22\n"
               "     They are L1      L2      L3      L4      L5      L6      L7      L8      "
               "L9      L10     \n"
               "              L11     L12     L13     L14     L15     L16     L17     L18     "
               "L19     L20     \n"
               "              L21     L22     \n"
               "   Number of new members     3\n"
               "     They are L26     L27     L28     \n"),
      std::string::npos)
      << sco;
}

TEST(AllocateEliminatedLocations, GroupMayOutgrowMaxlMinusNgp) {
  // MAXL 6, NGP 2: room for 4 eliminated locations, but group 1 ends with 5 members.
  Allocation a({1, 1, 1, 1, 0, 0}, {6, 4}, {{1, 2, 3}, {4}});
  a.distance(1, 1, 1.0, 1);
  a.distance(1, 2, 2.0, 1);
  a.distance(2, 1, 1.0, 1);
  a.distance(2, 2, 2.0, 1);
  a.run();
  EXPECT_EQ(a.sizes(), (Ints{5, 1, 0, 0, 0, 0}));
  EXPECT_EQ(a.row(1), (Ints{1, 2, 3, 5, 6, 0}));
  EXPECT_EQ(a.row(2), (Ints{4, 0, 0, 0, 0, 0}));
  EXPECT_EQ(a.alc_out.str(),
            "   6   3   5   1   2   3   5   6\n"
            "   4   1   1   4\n");
}

}  // namespace
}  // namespace locseq
