#include "setup/carving.h"

#include <limits>
#include <stdexcept>

namespace locseq {

namespace {

// Non-negative 64-bit arithmetic that sticks at the largest value instead of
// wrapping.
std::int64_t add(std::int64_t a, std::int64_t b) {
  std::int64_t r = 0;
  return __builtin_add_overflow(a, b, &r) ? std::numeric_limits<std::int64_t>::max() : r;
}
std::int64_t mul(std::int64_t a, std::int64_t b) {
  std::int64_t r = 0;
  return __builtin_mul_overflow(a, b, &r) ? std::numeric_limits<std::int64_t>::max() : r;
}

// The row of the carving table of the array the analysis calls `holds`.
consteval std::size_t slot(std::string_view holds) {
  for (std::size_t i = 0; i < kCarving.size(); ++i) {
    if (kCarving[i].holds == holds) return i;
  }
  throw std::invalid_argument("no such carved array");
}

std::int64_t length(const CarvedArray& a, const RunParameters& p) {
  return mul(extent(a.rows, p), extent(a.cols, p));
}

// Hands out the arrays of the table as views into the areas.
class Carver {
 public:
  Carver(WorkAreas& areas, const RunParameters& p) : areas_(areas), p_(p) {
    std::array<std::int64_t, 4> next{};
    for (std::size_t i = 0; i < kCarving.size(); ++i) {
      std::int64_t& at = next[static_cast<std::size_t>(kCarving[i].area)];
      first_[i] = at;
      at += length(kCarving[i], p);
    }
  }

  template <class T>
  Mat<T> mat(std::size_t i) const {
    return {base<T>(kCarving[i].area) + first_[i], extent(kCarving[i].rows, p_),
            extent(kCarving[i].cols, p_)};
  }
  template <class T>
  Vec<T> vec(std::size_t i) const {
    return {base<T>(kCarving[i].area) + first_[i], extent(kCarving[i].rows, p_)};
  }

 private:
  template <class T>
  T* base(AreaName area) const {
    if constexpr (std::is_same_v<T, double>) {
      if (area == AreaName::DZ) return areas_.DZ.data();
    } else if constexpr (std::is_same_v<T, float>) {
      if (area == AreaName::Z) return areas_.Z.data();
    } else if constexpr (std::is_same_v<T, std::int32_t>) {
      if (area == AreaName::MZ) return areas_.MZ.data();
    } else if constexpr (std::is_same_v<T, Name8>) {
      if (area == AreaName::AZ) return areas_.AZ.data();
    }
    throw std::logic_error("carved array of the wrong element type");
  }

  WorkAreas& areas_;
  const RunParameters& p_;
  std::array<std::int64_t, kCarving.size()> first_{};  // first element of each array
};

}  // namespace

std::int64_t extent(Extent e, const RunParameters& p) {
  const std::int64_t L = p.MAXL, G = p.MAXG, Y = p.MAXY, N = p.NGP;
  switch (e) {
    case Extent::One:
      return 1;
    case Extent::Two:
      return 2;
    case Extent::L:
      return L;
    case Extent::G:
      return G;
    case Extent::Y:
      return Y;
    case Extent::N:
      return N;
    case Extent::LLessN:
      return L - N;
    case Extent::LLessOne:
      return L - 1;
    case Extent::TwiceLLessOne:
      return add(mul(2, L), -1);
  }
  return 0;
}

std::array<std::int64_t, 4> required_sizes(const RunParameters& p) {
  std::array<std::int64_t, 4> size = {1, 1, 1, 1};
  for (const CarvedArray& a : kCarving) {
    std::int64_t& s = size[static_cast<std::size_t>(a.area)];
    s = add(s, length(a, p));
  }
  return size;
}

Carved carve(WorkAreas& areas, const RunParameters& p) {
  const Carver c(areas, p);
  Carved a;
  a.distances.SedSums = c.mat<double>(slot("SedSums"));
  a.fit.TSSj = c.mat<double>(slot("TSSj"));
  a.fit.ESSj = c.mat<double>(slot("ESSj"));
  a.fit.RSSj = c.mat<double>(slot("RSSj"));
  a.fit.RSQj = c.mat<double>(slot("RSQj"));
  a.year.YearData = c.mat<float>(slot("YearData"));
  a.centroids.GroupMeans = c.mat<float>(slot("GroupMeans"));
  a.grouping.GroupLabels = c.vec<std::int32_t>(slot("GroupLabels"));
  a.grouping.GroupSizes = c.vec<std::int32_t>(slot("GroupSizes"));
  a.grouping.GroupMemberList = c.vec<std::int32_t>(slot("GroupMemberList"));
  a.grouping.MemberLocations = c.vec<std::int32_t>(slot("MemberLocations"));
  a.grouping.FusionPairs = c.mat<std::int32_t>(slot("FusionPairs"));
  a.grouping.EliminationVector = c.vec<std::int32_t>(slot("EliminationVector"));
  a.year.IncidenceMatrix = c.mat<std::int32_t>(slot("IncidenceMatrix"));
  a.centroids.GroupCounts = c.mat<std::int32_t>(slot("GroupCounts"));
  a.distances.SedCounts = c.mat<std::int32_t>(slot("SedCounts"));
  a.grouping.EliminatedLocations = c.vec<std::int32_t>(slot("EliminatedLocations"));
  a.enlarged.AllocatedGroupSizes = c.vec<std::int32_t>(slot("AllocatedGroupSizes"));
  a.fit.LocMod = c.mat<std::int32_t>(slot("LocMod"));
  a.names.YearNames = c.vec<Name8>(slot("YearNames"));
  a.names.LocationNames = c.vec<Name8>(slot("LocationNames"));
  a.names.GenotypeNames = c.vec<Name8>(slot("GenotypeNames"));

  const std::int64_t N = p.NGP, L = p.MAXL;
  areas.enlarged_membership.assign(static_cast<std::size_t>(N * L), 0);
  a.enlarged.AllocatedGroupMembers = Mat<std::int32_t>(areas.enlarged_membership.data(), N, L);
  return a;
}

}  // namespace locseq
