// The arrays of a small job for the unit tests of the stages: work areas of
// exactly the sizes the job requires (so that the sanitizers catch a stage
// that strays past an area), carved by the program's own carving, and
// builders that fill the bundles as the earlier stages would.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/bundles.h"
#include "setup/carving.h"
#include "setup/work_areas.h"

namespace locseq::testing {

using Ints = std::vector<std::int32_t>;

// One present cell of a year.
struct Cell {
  long u;   // location
  long j;   // genotype
  float x;  // value
  bool operator==(const Cell&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Cell& c) {
  return os << "(" << c.u << "," << c.j << ")=" << c.x;
}

inline Name8 name8(std::string_view s) {
  Name8 n;
  n.fill(' ');
  std::copy_n(s.begin(), std::min(s.size(), n.size()), n.begin());
  return n;
}

inline std::string str(const Name8& n) {
  return {n.data(), n.size()};
}

// Entries 1 to n of a vector view (all of them by default).
template <class T>
std::vector<std::remove_const_t<T>> head(Vec<T> v, long n = -1) {
  return {v.data(), v.data() + (n < 0 ? v.size() : n)};
}

// Row i of a matrix view.
template <class T>
std::vector<std::remove_const_t<T>> row(Mat<T> m, long i) {
  std::vector<std::remove_const_t<T>> out;
  for (long j = 1; j <= m.cols(); ++j) out.push_back(m(i, j));
  return out;
}

// All elements of a matrix view, column by column.
template <class T>
std::vector<std::remove_const_t<T>> all(Mat<T> m) {
  return {m.data(), m.data() + m.rows() * m.cols()};
}

class TestArrays {
 public:
  // The areas of a job of this shape, cleared as the set-up clears them.
  TestArrays(std::int32_t MAXY, std::int32_t MAXL, std::int32_t MAXG, std::int32_t NGP)
      : p{MAXY, MAXL, MAXG, 1, MAXY, MAXY, std::int64_t{MAXL} * (MAXL + 1) / 2, NGP},
        areas(std::make_unique<WorkAreas>(required_sizes(p))),
        a(carve(*areas, p)) {
    fill(0.0, 0.0f, 0, name8(""));
  }

  // Every element of every area and of the enlarged membership stale, as a
  // stage may find it after an earlier year or block.
  void fill_stale() { fill(-5.0, -5.0f, -5, name8("STALE")); }

  // The year as the reader leaves it: these cells present, all others
  // absent with 0.0.
  void set_year(const std::vector<Cell>& cells) const {
    std::fill_n(a.year.YearData.data(), p.MAXL * p.MAXG, 0.0f);
    std::fill_n(a.year.IncidenceMatrix.data(), p.MAXL * p.MAXG, 0);
    for (const Cell& c : cells) {
      a.year.YearData(c.u, c.j) = c.x;
      a.year.IncidenceMatrix(c.u, c.j) = 1;
    }
  }

  // The grouping of a block as the cut leaves it: the elimination vector and
  // the NGP groups, each its label and its members (location numbers) in
  // member-list order. GroupMemberList and FusionPairs are left alone.
  void set_groups(const Ints& elimination, const Ints& labels, const std::vector<Ints>& groups) {
    Grouping& g = a.grouping;
    std::copy(elimination.begin(), elimination.end(), g.EliminationVector.data());
    g.RetainedCount =
        static_cast<std::int32_t>(std::count(elimination.begin(), elimination.end(), 1));
    g.CutLevel = static_cast<std::int32_t>(groups.size());
    std::int32_t pos = 0;
    for (std::size_t k = 0; k < groups.size(); ++k) {
      g.GroupLabels(static_cast<long>(k) + 1) = labels[k];
      g.GroupSizes(static_cast<long>(k) + 1) = static_cast<std::int32_t>(groups[k].size());
      for (std::int32_t u : groups[k]) g.MemberLocations(++pos) = u;
    }
    g.EliminatedCount = 0;
    for (std::size_t u = 1; u <= elimination.size(); ++u) {
      if (elimination[u - 1] == 0)
        g.EliminatedLocations(++g.EliminatedCount) = static_cast<std::int32_t>(u);
    }
  }

  RunParameters p;                   // the shape; IYS 1, IYF MAXY
  std::unique_ptr<WorkAreas> areas;  // of exactly the required sizes
  Carved a;                          // the arrays, bundled as the stages take them

 private:
  void fill(double d, float z, std::int32_t m, const Name8& n) {
    const Capacities& c = areas->capacities;
    std::fill_n(areas->DZ.data(), c[0], d);
    std::fill_n(areas->Z.data(), c[1], z);
    std::fill_n(areas->MZ.data(), c[2], m);
    std::fill_n(areas->AZ.data(), c[3], n);
    std::fill(areas->enlarged_membership.begin(), areas->enlarged_membership.end(), m);
  }
};

}  // namespace locseq::testing
