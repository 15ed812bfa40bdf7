// The carving of the work areas, against its closed forms, for the
// parameter sets of every golden job and of many generated jobs.
#include "setup/carving.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "setup/run_setup.h"

namespace locseq {
namespace {

using Sizes = std::array<std::int64_t, 4>;

RunParameters params(std::int32_t y, std::int32_t l, std::int32_t g, std::int32_t n) {
  return {.MAXY = y, .MAXL = l, .MAXG = g, .NGP = n};
}

// One array: its first element (from 1) in its area and its shape.
struct Place {
  std::int64_t first, rows, cols;
  bool operator==(const Place&) const = default;
};

struct Planned {
  const char* array;
  AreaName area;
  Place place;
};

// The 25 arrays in carving order, in closed form.
std::array<Planned, 25> planned(const RunParameters& p) {
  const std::int64_t L = p.MAXL, G = p.MAXG, Y = p.MAXY, N = p.NGP, V = (L - N) * N;
  const std::int64_t MZ9 = 9 * L - 2 + L * G;
  using enum AreaName;
  return {{
      {"DZ1", DZ, {1, L - N, N}},
      {"DZ2", DZ, {V + 1, Y, 2}},
      {"DZ3", DZ, {V + 2 * Y + 1, Y, 2}},
      {"DZ4", DZ, {V + 4 * Y + 1, Y, 2}},
      {"DZ5", DZ, {V + 6 * Y + 1, Y, 2}},
      {"Z1", Z, {1, L, G}},
      {"Z2", Z, {L * G + 1, N, G}},
      {"MZ1", MZ, {1, L, 1}},
      {"MZ2", MZ, {L + 1, 2 * L - 1, 1}},
      {"MZ3", MZ, {3 * L, L, 1}},
      {"MZ4", MZ, {4 * L, L, 1}},
      {"MZ5", MZ, {5 * L, L, 1}},
      {"MZ6", MZ, {6 * L, 2, L - 1}},
      {"MZ7", MZ, {8 * L - 2, L, 1}},
      {"MZ8", MZ, {9 * L - 2, L, G}},
      {"MZ9", MZ, {MZ9, N, G}},
      {"MZ10", MZ, {MZ9 + N * G, L - N, N}},
      {"MZ11", MZ, {MZ9 + N * G + V, L, 1}},
      {"MZ12", MZ, {10 * L - 2 + L * G + N * G + V, L, 1}},
      {"MZ13", MZ, {11 * L - 2 + L * G + N * G + V, N, L - N}},
      {"MZ14", MZ, {11 * L - 2 + L * G + N * G + 2 * V, Y, 2}},
      {"AZ1", AZ, {1, Y, 1}},
      {"AZ2", AZ, {Y + 1, L, 1}},
      {"AZ3", AZ, {Y + L + 1, 2 * L - 1, 1}},
      {"AZ4", AZ, {3 * L + Y, G, 1}},
  }};
}

Sizes closed_form_sizes(const RunParameters& p) {
  const std::int64_t L = p.MAXL, G = p.MAXG, Y = p.MAXY, N = p.NGP, V = (L - N) * N;
  return {V + 8 * Y + 1, L * G + N * G + 1, 11 * L - 2 + L * G + N * G + 2 * V + 2 * Y,
          3 * L + Y + G};
}

// Where a view starts in its area, and its shape.
template <class T>
Place place(Vec<T> v, const T* base) {
  return {v.data() - base + 1, v.size(), 1};
}
template <class T>
Place place(Mat<T> m, const T* base) {
  return {m.data() - base + 1, m.rows(), m.cols()};
}

// The carved arrays in carving order; none for the three that nothing uses.
std::array<std::optional<Place>, 25> carved(const WorkAreas& w, const Carved& a) {
  const double* dz = w.DZ.data();
  const float* z = w.Z.data();
  const std::int32_t* mz = w.MZ.data();
  const Name8* az = w.AZ.data();
  const Grouping& g = a.grouping;
  return {place(a.distances.SedSums, dz),
          place(a.fit.TSSj, dz),
          place(a.fit.ESSj, dz),
          place(a.fit.RSSj, dz),
          place(a.fit.RSQj, dz),
          place(a.year.YearData, z),
          place(a.centroids.GroupMeans, z),
          place(g.GroupLabels, mz),
          std::nullopt,
          place(g.GroupSizes, mz),
          place(g.GroupMemberList, mz),
          place(g.MemberLocations, mz),
          place(g.FusionPairs, mz),
          place(g.EliminationVector, mz),
          place(a.year.IncidenceMatrix, mz),
          place(a.centroids.GroupCounts, mz),
          place(a.distances.SedCounts, mz),
          place(g.EliminatedLocations, mz),
          place(a.enlarged.AllocatedGroupSizes, mz),
          std::nullopt,
          place(a.fit.LocMod, mz),
          place(a.names.YearNames, az),
          place(a.names.LocationNames, az),
          std::nullopt,
          place(a.names.GenotypeNames, az)};
}

struct ParameterSet {
  std::string source, name;
  RunParameters p;
};

std::vector<ParameterSet> parameter_sets() {
  std::ifstream in(LOCSEQ_TESTS_DIR "/setup/carving_cases.txt");
  std::vector<ParameterSet> sets;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    ParameterSet s;
    fields >> s.source >> s.name >> s.p.MAXY >> s.p.MAXL >> s.p.MAXG >> s.p.NGP;
    EXPECT_TRUE(fields) << line;
    sets.push_back(s);
  }
  return sets;
}

TEST(Carving, ClosedFormsForEveryJob) {
  const std::vector<ParameterSet> sets = parameter_sets();
  ASSERT_GE(sets.size(), 800u);
  // Areas of the required sizes are allocated (not touched) to carve them;
  // beyond this the refused sets are checked without carving.
  constexpr std::int64_t kBudget = std::int64_t{16} << 20;
  std::size_t carved_sets = 0, passing_sets = 0;
  for (const ParameterSet& s : sets) {
    const RunParameters& p = s.p;
    const std::string what = s.source + " " + s.name;
    const Sizes required = required_sizes(p);
    ASSERT_EQ(required, closed_form_sizes(p)) << what;

    // The table, row by row: within an area the arrays lie one after the
    // other, and the required size is the place just after the last.
    const std::array<Planned, 25> plan = planned(p);
    Sizes next = {1, 1, 1, 1};
    for (std::size_t i = 0; i < plan.size(); ++i) {
      const CarvedArray& row = kCarving[i];
      const Place& at = plan[i].place;
      ASSERT_EQ(row.array, plan[i].array) << what;
      ASSERT_EQ(row.area, plan[i].area) << what << " " << row.array;
      ASSERT_EQ(extent(row.rows, p) * extent(row.cols, p), at.rows * at.cols)
          << what << " " << row.array;
      std::int64_t& n = next[static_cast<std::size_t>(row.area)];
      ASSERT_EQ(at.first, n) << what << " " << row.array;
      n += at.rows * at.cols;
    }
    ASSERT_EQ(next, required) << what;

    const bool passes = required[0] <= kFixedCapacities[0] && required[1] <= kFixedCapacities[1] &&
                        required[2] <= kFixedCapacities[2] && required[3] <= kFixedCapacities[3];
    if (passes) ++passing_sets;
    const std::int64_t bytes = 8 * required[0] + 4 * required[1] + 4 * required[2] +
                               8 * required[3] + 4 * std::int64_t{p.NGP} * p.MAXL;
    if (bytes > kBudget) {
      ASSERT_FALSE(passes) << what;  // every set the program carves is carved here
      continue;
    }
    ++carved_sets;
    WorkAreas areas(required);
    const Carved a = carve(areas, p);
    const std::array<std::optional<Place>, 25> views = carved(areas, a);
    for (std::size_t i = 0; i < plan.size(); ++i) {
      if (views[i]) {
        ASSERT_EQ(*views[i], plan[i].place) << what << " " << plan[i].array;
      }
    }
    // The enlarged membership has room for every location in every group.
    ASSERT_EQ(a.enlarged.AllocatedGroupMembers.rows(), p.NGP) << what;
    ASSERT_EQ(a.enlarged.AllocatedGroupMembers.cols(), p.MAXL) << what;
  }
  EXPECT_GE(passing_sets, 600u);
  EXPECT_GE(carved_sets, passing_sets + 100);
}

TEST(Carving, WorkedExamples) {
  EXPECT_EQ(required_sizes(params(10, 100, 50, 10)), (Sizes{981, 5501, 8418, 360}));
  EXPECT_EQ(required_sizes(params(5, 300, 1000, 18)), (Sizes{5117, 318001, 331460, 1905}));
}

TEST(Carving, HugeHeadsSaturateInsteadOfWrapping) {
  const std::int32_t big = std::numeric_limits<std::int32_t>::max();
  for (std::int64_t s : required_sizes(params(big, big, big, square_root_rule(big)))) {
    EXPECT_GT(s, 10000000);
  }
  // L G + N G + 2 (L - N) N passes 2^63 for a typed NGP of three quarters of MAXL.
  EXPECT_EQ(required_sizes(params(big, big, big, big / 4 * 3))[2],
            std::numeric_limits<std::int64_t>::max());
}

}  // namespace
}  // namespace locseq
