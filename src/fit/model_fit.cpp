#include "fit/model_fit.h"

#include "groups/group_means.h"

namespace locseq {

namespace {

// The sums of one variant in one year.
struct VariantSums {
  double tss = 0.0;
  double ess = 0.0;
  std::int32_t members = 0;  // members with a present cell
  std::int64_t cells = 0;    // present cells
};

// Adds member u of group k: its present values and its group's means.
void add_member(const Year& year, Mat<const float> GroupMeans, std::int32_t k, std::int32_t u,
                VariantSums& s) {
  const Mat<const float> YearData = year.YearData;
  const Mat<const std::int32_t> IncidenceMatrix = year.IncidenceMatrix;
  std::int32_t m = 0;
  for (long j = 1; j <= YearData.cols(); ++j) {
    const std::int32_t n = IncidenceMatrix(u, j);
    const double x = static_cast<double>(YearData(u, j));
    const double mean = static_cast<double>(GroupMeans(k, j));
    s.tss += n * (x * x);
    s.ess += n * (mean * mean);
    m += n;
  }
  if (m > 0) {
    s.members += 1;
    s.cells += m;
  }
}

// Every member of every group in list order; member_of(k, i, p) is the
// i-th member of group k, the p-th of all.
template <class MemberOf>
VariantSums fit_variant(const Year& year, const Centroids& centroids, Vec<const std::int32_t> Sizes,
                        MemberOf member_of) {
  VariantSums s;
  std::int32_t p = 0;
  for (std::int32_t k = 1; k <= centroids.GroupMeans.rows(); ++k) {
    for (std::int32_t i = 1; i <= Sizes(k); ++i) {
      add_member(year, centroids.GroupMeans, k, member_of(k, i, ++p), s);
    }
  }
  return s;
}

void store(const FitTables& fit, std::int32_t y, std::int32_t v, const VariantSums& s) {
  fit.LocMod(y, v) = s.members;
  fit.TSSj(y, v) = s.tss;
  fit.ESSj(y, v) = s.ess;
  fit.RSSj(y, v) = s.tss - s.ess;
  fit.RSQj(y, v) = s.cells > 0 && s.tss > 0.0 ? s.ess / s.tss : 0.0;
}

}  // namespace

void FitYear(const Year& year, const Grouping& grouping, const Enlarged& enlarged,
             const Centroids& centroids, const FitTables& fit, std::int32_t y) {
  const Vec<const std::int32_t> MemberLocations = grouping.MemberLocations;
  const Mat<const std::int32_t> AllocatedGroupMembers = enlarged.AllocatedGroupMembers;
  auto old_member = [&](std::int32_t, std::int32_t, std::int32_t p) { return MemberLocations(p); };
  auto any_member = [&](std::int32_t k, std::int32_t i, std::int32_t) {
    return AllocatedGroupMembers(k, i);
  };

  // Variant 1: the members as classified, with the means of the year.
  store(fit, y, 1, fit_variant(year, centroids, grouping.GroupSizes, old_member));
  // Variant 2: every member after the allocation, with the means formed anew.
  MeansOfGroups(year, centroids, enlarged.AllocatedGroupSizes, any_member);
  store(fit, y, 2, fit_variant(year, centroids, enlarged.AllocatedGroupSizes, any_member));
}

}  // namespace locseq
