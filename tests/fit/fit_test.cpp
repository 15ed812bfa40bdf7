#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fit/model_fit.h"
#include "fit/overall_fit.h"
#include "groups/group_means.h"

namespace locseq {
namespace {

using Ints = std::vector<std::int32_t>;
using Reals = std::vector<double>;

constexpr double kStale = -99.0;

// The fit tables of MAXY years and the overall accumulators, with .SCO and
// .COS for the report. Rows hold stale values until a year is fitted.
struct Tables {
  explicit Tables(std::int32_t maxy)
      : MAXY(maxy),
        locmod(static_cast<std::size_t>(2 * maxy), -9),
        tssj(static_cast<std::size_t>(2 * maxy), kStale),
        essj(tssj),
        rssj(tssj),
        rsqj(tssj),
        sco(sco_out, "JOB.SCO"),
        cos(cos_out, "JOB.COS") {}

  Mat<std::int32_t> LocMod() { return {locmod.data(), MAXY, 2}; }
  Mat<double> TSSj() { return {tssj.data(), MAXY, 2}; }
  Mat<double> ESSj() { return {essj.data(), MAXY, 2}; }
  Mat<double> RSSj() { return {rssj.data(), MAXY, 2}; }
  Mat<double> RSQj() { return {rsqj.data(), MAXY, 2}; }

  void set_row(long y, long v, std::int32_t loc_mod, double t, double e, double q) {
    LocMod()(y, v) = loc_mod;
    TSSj()(y, v) = t;
    ESSj()(y, v) = e;
    RSSj()(y, v) = t - e;
    RSQj()(y, v) = q;
  }
  void report(std::int32_t IYS, std::int32_t K) {
    ReportOverallFit(TSSj(), ESSj(), RSSj(), RSQj(), LocMod(), Vec<const double>(TSS.data(), 2),
                     Vec<const double>(ESS.data(), 2), Vec<const double>(RSS.data(), 2),
                     Vec<double>(RSQ.data(), 2), IYS, K, sco, cos);
  }

  std::int32_t MAXY;
  Ints locmod;
  Reals tssj, essj, rssj, rsqj;
  Reals TSS = Reals(2, 0.0), ESS = Reals(2, 0.0), RSS = Reals(2, 0.0), RSQ = Reals(2, 0.0);
  std::ostringstream sco_out, cos_out;
  records::Unit sco, cos;
};

// One year's prepared data and the groups of a block: old members and,
// for each group, the locations allocated to it.
struct Fit : Tables {
  Fit(std::int32_t maxl, std::int32_t maxg, std::int32_t maxy, const std::vector<Ints>& old,
      const std::vector<Ints>& allocated)
      : Tables(maxy),
        MAXL(maxl),
        MAXG(maxg),
        NGP(static_cast<std::int32_t>(old.size())),
        x(static_cast<std::size_t>(maxl * maxg), 0.0f),
        n(static_cast<std::size_t>(maxl * maxg), 0),
        means(static_cast<std::size_t>(NGP * maxg), 0.0f),
        counts(static_cast<std::size_t>(NGP * maxg), 0),
        AllocatedGroupMembers(static_cast<std::size_t>(NGP * maxl), 0) {
    for (std::size_t k = 0; k < old.size(); ++k) {
      GroupSizes.push_back(static_cast<std::int32_t>(old[k].size()));
      MemberLocations.insert(MemberLocations.end(), old[k].begin(), old[k].end());
      Ints all = old[k];
      all.insert(all.end(), allocated[k].begin(), allocated[k].end());
      AllocatedGroupSizes.push_back(static_cast<std::int32_t>(all.size()));
      for (std::size_t i = 0; i < all.size(); ++i) {
        members()(static_cast<long>(k) + 1, static_cast<long>(i) + 1) = all[i];
      }
    }
    GroupSizes.resize(static_cast<std::size_t>(maxl), 0);
    AllocatedGroupSizes.resize(static_cast<std::size_t>(maxl), 0);
    MemberLocations.resize(static_cast<std::size_t>(maxl), 0);
  }

  Mat<std::int32_t> members() { return {AllocatedGroupMembers.data(), NGP, MAXL}; }
  Mat<float> data() { return {x.data(), MAXL, MAXG}; }
  Mat<std::int32_t> incidence() { return {n.data(), MAXL, MAXG}; }
  Mat<float> GroupMeans() { return {means.data(), NGP, MAXG}; }
  Mat<std::int32_t> GroupCounts() { return {counts.data(), NGP, MAXG}; }

  void set(long u, long j, float v) {
    data()(u, j) = v;
    incidence()(u, j) = 1;
  }
  void set_location(long u, std::initializer_list<float> values) {
    long j = 0;
    for (float v : values) set(u, ++j, v);
  }
  // The year's means of the groups with their old members, as the driver
  // forms them before the fit.
  void form_means() {
    MeansOfGroups(
        data(), incidence(), GroupMeans(), GroupCounts(),
        Vec<const std::int32_t>(GroupSizes.data(), MAXL),
        [&](std::int32_t, std::int32_t, std::int32_t p) {
          return MemberLocations[static_cast<std::size_t>(p - 1)];
        },
        static_cast<std::int32_t>(MAXG), static_cast<std::int32_t>(NGP));
  }
  void fit(std::int32_t y) {
    FitYear(data(), incidence(), GroupMeans(), GroupCounts(),
            Vec<const std::int32_t>(GroupSizes.data(), MAXL),
            Vec<const std::int32_t>(AllocatedGroupSizes.data(), MAXL),
            Vec<const std::int32_t>(MemberLocations.data(), MAXL), members(), LocMod(), TSSj(),
            Vec<double>(TSS.data(), 2), ESSj(), Vec<double>(ESS.data(), 2), RSSj(),
            Vec<double>(RSS.data(), 2), RSQj(), MAXG, NGP, y);
  }
  // Row y, variant v: LocMod, TSSj, ESSj, RSSj, RSQj.
  Reals row(long y, long v) {
    return {static_cast<double>(LocMod()(y, v)), TSSj()(y, v), ESSj()(y, v), RSSj()(y, v),
            RSQj()(y, v)};
  }

  std::int32_t MAXL, MAXG, NGP;
  std::vector<float> x;
  Ints n;
  std::vector<float> means;
  Ints counts, GroupSizes, AllocatedGroupSizes, MemberLocations, AllocatedGroupMembers;
};

TEST(FitYear, OneGroupOfTwoMembers) {
  Fit f(2, 2, 3, {{1, 2}}, {{}});
  f.set_location(1, {1.0f, -1.0f});
  f.set_location(2, {3.0f, -3.0f});
  f.form_means();
  ASSERT_EQ(f.means, (std::vector<float>{2.0f, -2.0f}));
  f.fit(2);
  const Reals expected{2, 20.0, 16.0, 4.0, 0.8};
  EXPECT_EQ(f.row(2, 1), expected);
  EXPECT_EQ(f.row(2, 2), expected);  // nothing allocated: the same
  EXPECT_EQ(f.TSS, (Reals{20.0, 20.0}));
  EXPECT_EQ(f.ESS, (Reals{16.0, 16.0}));
  EXPECT_EQ(f.RSS, (Reals{4.0, 4.0}));
  // Only row 2 is written.
  for (long y : {1, 3}) {
    for (long v : {1, 2}) EXPECT_EQ(f.row(y, v), (Reals{-9, kStale, kStale, kStale, kStale}));
  }
}

TEST(FitYear, SmallYearsOfOneGroupOfTwoMembers) {
  struct Cell {
    long u, j;
    float x;
  };
  struct Case {
    const char* what;
    std::vector<Cell> cells;
    Reals row;  // LocMod, TSSj, ESSj, RSSj, RSQj in both variants
  };
  const Case cases[] = {
      {"no present cell", {}, {0, 0.0, 0.0, 0.0, 0.0}},
      {"the second member lacks genotype 2, whose mean (-1) it does not explain",
       {{1, 1, 1.0f}, {1, 2, -1.0f}, {2, 1, 3.0f}},
       {2, 11.0, 9.0, 2.0, 9.0 / 11.0}},
      {"a member without a present cell is not counted",
       {{2, 1, 3.0f}, {2, 2, -3.0f}},
       {1, 18.0, 18.0, 0.0, 1.0}},
      {"single present cells, centred to 0.0: the ratio is 0.0",
       {{1, 1, 0.0f}, {2, 2, 0.0f}},
       {2, 0.0, 0.0, 0.0, 0.0}},
  };
  for (const Case& c : cases) {
    Fit f(2, 2, 1, {{1, 2}}, {{}});
    for (const Cell& cell : c.cells) f.set(cell.u, cell.j, cell.x);
    f.TSS = f.ESS = f.RSS = {1.5, 1.5};
    f.form_means();
    f.fit(1);
    for (long v : {1, 2}) EXPECT_EQ(f.row(1, v), c.row) << c.what << ", variant " << v;
    EXPECT_EQ(f.TSS, (Reals(2, 1.5 + c.row[1]))) << c.what;
    EXPECT_EQ(f.ESS, (Reals(2, 1.5 + c.row[2]))) << c.what;
    EXPECT_EQ(f.RSS, (Reals(2, 1.5 + c.row[3]))) << c.what;
  }
}

TEST(FitYear, LocModCountsMembersWithAPresentCellOnceEach) {
  // Locations 1, 4 and 6 have no cell; 6 is allocated to group 1.
  Fit f(6, 3, 1, {{1, 2}, {3, 4, 5}}, {{6}, {}});
  f.set(2, 1, 1.0f);
  f.set_location(3, {1.0f, -1.0f});
  f.set_location(5, {2.0f, 0.0f, -2.0f});
  f.form_means();
  f.fit(1);
  EXPECT_EQ(f.LocMod()(1, 1), 3);
  EXPECT_EQ(f.LocMod()(1, 2), 3);
}

TEST(FitYear, AllocatedLocationChangesVariantTwoOnly) {
  // Location 3 is allocated to the group; location 4, eliminated but left
  // unallocated, enters neither variant.
  Fit f(4, 2, 1, {{1, 2}}, {{3}});
  f.set_location(1, {1.0f, -1.0f});
  f.set_location(2, {3.0f, -3.0f});
  f.set_location(3, {5.0f, -5.0f});
  f.set_location(4, {50.0f, -50.0f});
  f.form_means();
  f.fit(1);
  EXPECT_EQ(f.row(1, 1), (Reals{2, 20.0, 16.0, 4.0, 0.8}));
  // Means over three members: 3 and -3.
  EXPECT_EQ(f.row(1, 2), (Reals{3, 70.0, 54.0, 16.0, 54.0 / 70.0}));
  EXPECT_EQ(f.means, (std::vector<float>{3.0f, -3.0f}));
  EXPECT_EQ(f.counts, (Ints{3, 3}));
  EXPECT_EQ(f.TSS, (Reals{20.0, 70.0}));
}

TEST(FitYear, SumsOfSquaresAddUpOverRandomYears) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> value(-3.0f, 3.0f);
  // Seven locations in two groups, locations 6 and 7 allocated, 8 left out.
  Fit f(8, 5, 4, {{1, 4, 2}, {3, 5}}, {{7}, {6}});
  Reals tss(2, 0.0), ess(2, 0.0), rss(2, 0.0);
  for (std::int32_t y = 1; y <= 4; ++y) {
    f.x.assign(f.x.size(), 0.0f);
    f.n.assign(f.n.size(), 0);
    for (long u = 1; u <= 8; ++u) {
      for (long j = 1; j <= 5; ++j) {
        if (rng() % 4 != 0) f.set(u, j, value(rng));
      }
    }
    f.form_means();
    f.fit(y);
    for (long v : {1, 2}) {
      const std::size_t i = static_cast<std::size_t>(v - 1);
      const double t = f.TSSj()(y, v), e = f.ESSj()(y, v);
      EXPECT_EQ(f.RSSj()(y, v), t - e);
      EXPECT_GT(t, 0.0);
      EXPECT_EQ(f.RSQj()(y, v), e / t);
      EXPECT_GE(f.RSQj()(y, v), 0.0);
      EXPECT_LE(f.RSQj()(y, v), 1.0);
      EXPECT_LE(f.LocMod()(y, v), v == 1 ? 5 : 7);
      tss[i] += t;
      ess[i] += e;
      rss[i] += t - e;
    }
  }
  EXPECT_EQ(f.TSS, tss);
  EXPECT_EQ(f.ESS, ess);
  EXPECT_EQ(f.RSS, rss);
}

std::string blanks(std::size_t n) {
  return std::string(n, ' ');
}

TEST(ReportOverallFit, RatioOnlyAboveTheSinglePrecisionThreshold) {
  struct Case {
    double tss, ess, rsq;
    const char* shown;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {5.0e-7, 4.0e-7, 0.0, "      0.00"},
      {static_cast<double>(1.0e-6f), 5.0e-7, 0.0, "      0.00"},
      {1.0e-6, 5.0e-7, 0.5, "      0.50"},  // the 64-bit 1.0E-6 lies above the 32-bit one
      {0.0, 0.0, 0.0, "      0.00"},
      {nan, 1.0, 0.0, "      0.00"},
      {10.0, 8.0, 0.8, "      0.80"},
  };
  for (const Case& c : cases) {
    Tables t(1);
    t.set_row(1, 1, 1, c.tss, c.ess, 0.0);
    t.set_row(1, 2, 1, c.tss, c.ess, 0.0);
    t.TSS = {c.tss, 10.0};
    t.ESS = {c.ess, 5.0};
    t.RSS = {c.tss - c.ess, 5.0};
    t.report(1, 1);
    EXPECT_EQ(t.RSQ[0], c.rsq) << c.tss;
    EXPECT_EQ(t.RSQ[1], 0.5) << c.tss;
    std::istringstream cos(t.cos_out.str());
    std::string year_row, overall_row;
    std::getline(cos, year_row);
    std::getline(cos, overall_row);
    ASSERT_EQ(overall_row.size(), 60u) << c.tss;
    EXPECT_EQ(overall_row.substr(50), c.shown) << c.tss;
  }
}

TEST(ReportOverallFit, OverallRatioIsOfTheSumsNotTheMeanOfTheYears) {
  Tables t(2);
  t.set_row(1, 1, 3, 10.0, 8.0, 0.8);
  t.set_row(2, 1, 4, 30.0, 6.0, 0.2);
  t.set_row(1, 2, 5, 20.0, 10.0, 0.5);
  t.set_row(2, 2, 6, 20.0, 2.0, 0.1);
  t.TSS = {40.0, 40.0};
  t.ESS = {14.0, 12.0};
  t.RSS = {26.0, 28.0};
  t.report(1, 2);
  EXPECT_EQ(t.RSQ, (Reals{14.0 / 40.0, 12.0 / 40.0}));
  const std::string without =
      "      1         3    0.100E+02 0.800E+01 0.200E+01      0.80\n"
      "      2         4    0.300E+02 0.600E+01 0.240E+02      0.20\n" +
      blanks(20) + " 0.400E+02 0.140E+02 0.260E+02      0.35\n";
  const std::string with =
      "      1         5    0.200E+02 0.100E+02 0.100E+02      0.50\n"
      "      2         6    0.200E+02 0.200E+01 0.180E+02      0.10\n" +
      blanks(20) + " 0.400E+02 0.120E+02 0.280E+02      0.30\n";
  EXPECT_EQ(t.cos_out.str(), without + with);

  const std::string year_head = "   Year     LocMod        TSSj      ESSj      RSSj'      RSQj\n";
  const std::string overall_head =
      " Overall                   TSS       ESS       RSS'       RSQ\n";
  auto section = [&](const std::string& rows) {
    const std::size_t last = rows.rfind('\n', rows.size() - 2) + 1;
    return year_head + rows.substr(0, last) + overall_head + rows.substr(last);
  };
  EXPECT_EQ(t.sco_out.str(), " Model fit without eliminated locations\n" + section(without) +
                                 " Model fit with eliminated locations\n" + section(with));
}

TEST(ReportOverallFit, ThirdBlockFromYearTwoShowsYearsTwoToFour) {
  Tables t(5);
  for (long y = 1; y <= 5; ++y) {
    for (long v : {1, 2}) {
      t.set_row(y, v, static_cast<std::int32_t>(10 * y + v), static_cast<double>(y), 0.0, 0.0);
    }
  }
  t.report(2, 3);
  std::vector<std::string> cos;
  std::istringstream in(t.cos_out.str());
  for (std::string line; std::getline(in, line);) cos.push_back(line);
  ASSERT_EQ(cos.size(), 8u);
  const char* starts[] = {"      2        21", "      3        31", "      4        41", "    ",
                          "      2        22", "      3        32", "      4        42", "    "};
  for (std::size_t i = 0; i < cos.size(); ++i) {
    EXPECT_EQ(cos[i].substr(0, std::string(starts[i]).size()), starts[i]) << i;
  }
  // 2 x (title, heading, 3 years, heading, overall)
  const std::string sco = t.sco_out.str();
  EXPECT_EQ(std::count(sco.begin(), sco.end(), '\n'), 14);
}

TEST(ReportOverallFit, FirstBlockRepeatsItsYearInTheOverallRow) {
  Fit f(2, 2, 3, {{1, 2}}, {{}});
  f.set_location(1, {1.0f, -1.0f});
  f.set_location(2, {3.0f, -3.0f});
  f.form_means();
  f.fit(1);
  f.report(1, 1);
  const std::string numbers = " 0.200E+02 0.160E+02 0.400E+01      0.80\n";
  const std::string section = "      1         2   " + numbers + blanks(20) + numbers;
  EXPECT_EQ(f.cos_out.str(), section + section);
  EXPECT_EQ(f.RSQ, (Reals{0.8, 0.8}));
}

}  // namespace
}  // namespace locseq
