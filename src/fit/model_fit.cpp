#include "fit/model_fit.h"

#include "groups/group_means.h"

namespace locseq {

namespace {

// Adds member u of group k to column v of row y; returns its present cells.
std::int32_t add_member(Mat<const float> YearData, Mat<const std::int32_t> IncidenceMatrix,
                        Mat<const float> GroupMeans, Mat<double> TSSj, Mat<double> ESSj,
                        std::int32_t MAXG, std::int32_t y, std::int32_t v, std::int32_t k,
                        std::int32_t u) {
  std::int32_t m = 0;
  double tss = TSSj(y, v), ess = ESSj(y, v);
  for (std::int32_t j = 1; j <= MAXG; ++j) {
    const std::int32_t n = IncidenceMatrix(u, j);
    const double x = static_cast<double>(YearData(u, j));
    const double mean = static_cast<double>(GroupMeans(k, j));
    tss += n * (x * x);
    ess += n * (mean * mean);
    m += n;
  }
  TSSj(y, v) = tss;
  ESSj(y, v) = ess;
  return m;
}

void close_variant(Mat<double> TSSj, Vec<double> TSS, Mat<double> ESSj, Vec<double> ESS,
                   Mat<double> RSSj, Vec<double> RSS, Mat<double> RSQj, std::int32_t y,
                   std::int32_t v, std::int64_t cells) {
  RSSj(y, v) = TSSj(y, v) - ESSj(y, v);
  if (cells > 0 && TSSj(y, v) > 0.0) RSQj(y, v) = ESSj(y, v) / TSSj(y, v);
  TSS(v) += TSSj(y, v);
  ESS(v) += ESSj(y, v);
  RSS(v) += RSSj(y, v);
}

}  // namespace

void FitYear(Mat<const float> YearData, Mat<const std::int32_t> IncidenceMatrix,
             Mat<float> GroupMeans, Mat<std::int32_t> GroupCounts,
             Vec<const std::int32_t> GroupSizes, Vec<const std::int32_t> AllocatedGroupSizes,
             Vec<const std::int32_t> MemberLocations, Mat<const std::int32_t> AllocatedGroupMembers,
             Mat<std::int32_t> LocMod, Mat<double> TSSj, Vec<double> TSS, Mat<double> ESSj,
             Vec<double> ESS, Mat<double> RSSj, Vec<double> RSS, Mat<double> RSQj,
             std::int32_t MAXG, std::int32_t NGP, std::int32_t y) {
  for (std::int32_t v = 1; v <= 2; ++v) {
    LocMod(y, v) = 0;
    TSSj(y, v) = ESSj(y, v) = RSSj(y, v) = RSQj(y, v) = 0.0;
  }

  // One variant: every member of every group in list order, then the close.
  // member_of(k, i, p) is the i-th member of group k, the p-th of all.
  auto fit_variant = [&](std::int32_t v, Vec<const std::int32_t> Sizes, auto member_of) {
    std::int64_t cells = 0;
    std::int32_t p = 0;
    for (std::int32_t k = 1; k <= NGP; ++k) {
      for (std::int32_t i = 1; i <= Sizes(k); ++i) {
        const std::int32_t m = add_member(YearData, IncidenceMatrix, GroupMeans, TSSj, ESSj, MAXG,
                                          y, v, k, member_of(k, i, ++p));
        if (m > 0) {
          LocMod(y, v) += 1;
          cells += m;
        }
      }
    }
    close_variant(TSSj, TSS, ESSj, ESS, RSSj, RSS, RSQj, y, v, cells);
  };
  auto old_member = [&](std::int32_t, std::int32_t, std::int32_t q) { return MemberLocations(q); };
  auto any_member = [&](std::int32_t k, std::int32_t i, std::int32_t) {
    return AllocatedGroupMembers(k, i);
  };

  // Variant 1: the old members, with the means of the classified groups.
  fit_variant(1, GroupSizes, old_member);
  // Variant 2: every member after the allocation, with the means formed anew.
  MeansOfGroups(YearData, IncidenceMatrix, GroupMeans, GroupCounts, AllocatedGroupSizes, any_member,
                MAXG, NGP);
  fit_variant(2, AllocatedGroupSizes, any_member);
}

}  // namespace locseq
