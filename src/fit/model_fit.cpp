#include "fit/model_fit.h"

#include <cmath>
#include <vector>

#include "core/vector_clones.h"
#include "groups/group_means.h"

namespace locseq {

namespace {

// Every member of every group in list order, each over its genotypes in
// order: TSSj and ESSj are each one running sum over all of them, as the
// terms come. An absent cell adds an exact +0.0 to both (the sums are
// never -0.0), so it adds nothing here. `square` holds the squared group
// means, group by group (group k of genotype j at (k - 1) * MAXG + j);
// member_of(k, i, p) is the i-th member of group k, the p-th of all. A
// member's cells are first gathered from the year, which holds them a
// column apart, so that the sums then run over cells side by side.
template <class MemberOf>
VariantSums fit_variant(const Year& year, const std::vector<double>& square,
                        Vec<const std::int32_t> Sizes, MemberOf member_of) {
  const long L = year.YearData.rows(), G = year.YearData.cols();
  const long NGP = static_cast<long>(square.size()) / G;
  const float* const X = year.YearData.data();
  const std::int32_t* const N = year.IncidenceMatrix.data();
  std::vector<double> x2(static_cast<std::size_t>(G));  // the member's squared values
  std::vector<double> m2(static_cast<std::size_t>(G));  // its group's squared means
  VariantSums s;
  std::int32_t p = 0;
  for (std::int32_t k = 1; k <= NGP; ++k) {
    const double* m = square.data() + (k - 1) * G;
    for (std::int32_t i = 1; i <= Sizes(k); ++i) {
      const long u = member_of(k, i, ++p) - 1;
      long present = 0;
      for (long j = 0; j < G; ++j) {
        const double x = static_cast<double>(X[j * L + u]);
        x2[static_cast<std::size_t>(present)] = x * x;
        m2[static_cast<std::size_t>(present)] = m[j];
        present += N[j * L + u] > 0;
      }
      double tss = s.tss, ess = s.ess;
      for (long c = 0; c < present; ++c) {
        tss += x2[static_cast<std::size_t>(c)];
        ess += m2[static_cast<std::size_t>(c)];
      }
      s.tss = tss;
      s.ess = ess;
      if (present > 0) {
        s.members += 1;
        s.cells += present;
      }
    }
  }
  return s;
}

// The squared means of the groups, in double, group by group.
LOCSEQ_VECTOR_CLONES void square_means(const Centroids& centroids, std::vector<double>& square) {
  const Mat<const float> M = centroids.GroupMeans;
  const long NGP = M.rows(), G = M.cols();
  square.resize(static_cast<std::size_t>(NGP * G));
  const float* m = M.data();
  for (long j = 0; j < G; ++j) {
    for (long k = 0; k < NGP; ++k) {
      const double mean = static_cast<double>(m[j * NGP + k]);
      square[static_cast<std::size_t>(k * G + j)] = mean * mean;
    }
  }
}

// The member cell whose square takes TSSj or ESSj of a variant beyond the
// finite numbers: the sums again, as fit_variant forms them.
template <class MemberOf>
NonFinite fit_overflow(const Year& year, const Centroids& centroids, Vec<const std::int32_t> Sizes,
                       MemberOf member_of) {
  double tss = 0.0, ess = 0.0;
  std::int32_t p = 0;
  for (std::int32_t k = 1; k <= centroids.GroupMeans.rows(); ++k) {
    for (std::int32_t i = 1; i <= Sizes(k); ++i) {
      const std::int32_t u = member_of(k, i, ++p);
      for (long j = 1; j <= year.YearData.cols(); ++j) {
        if (year.IncidenceMatrix(u, j) <= 0) continue;
        const auto x = static_cast<double>(year.YearData(u, j));
        const auto m = static_cast<double>(centroids.GroupMeans(k, j));
        tss += x * x;
        ess += m * m;
        if (!std::isfinite(tss) || !std::isfinite(ess)) {
          return {u, static_cast<std::int32_t>(j),
                  "the sums of squares of the fit are not finite at its centred value " +
                      number_text(year.YearData(u, j)) + " (group " + std::to_string(k) +
                      "'s mean " + number_text(centroids.GroupMeans(k, j)) + ")"};
        }
      }
    }
  }
  return {1, 1, "the sums of squares of the fit are not finite"};  // not met: see FitYear
}

}  // namespace

void StoreYearFit(const FitTables& fit, std::int32_t y, std::int32_t v, const VariantSums& s) {
  fit.LocMod(y, v) = s.members;
  fit.TSSj(y, v) = s.tss;
  fit.ESSj(y, v) = s.ess;
  fit.RSSj(y, v) = s.tss - s.ess;
  fit.RSQj(y, v) = s.cells > 0 && s.tss > 0.0 ? s.ess / s.tss : 0.0;
}

bool FiniteSums(const VariantSums& s) {
  return std::isfinite(s.tss) && std::isfinite(s.ess);
}

std::optional<NonFinite> FitYear(const Year& year, const Grouping& grouping,
                                 const Enlarged& enlarged, const Centroids& centroids,
                                 const FitTables& fit, std::int32_t y) {
  const Vec<const std::int32_t> MemberLocations = grouping.MemberLocations;
  const Mat<const std::int32_t> AllocatedGroupMembers = enlarged.AllocatedGroupMembers;
  auto old_member = [&](std::int32_t, std::int32_t, std::int32_t p) { return MemberLocations(p); };
  auto any_member = [&](std::int32_t k, std::int32_t i, std::int32_t) {
    return AllocatedGroupMembers(k, i);
  };
  std::vector<double> square;

  // Variant 1: the members as classified, with the means of the year.
  square_means(centroids, square);
  const VariantSums classified = fit_variant(year, square, grouping.GroupSizes, old_member);
  if (!FiniteSums(classified))
    return fit_overflow(year, centroids, grouping.GroupSizes, old_member);
  StoreYearFit(fit, y, 1, classified);
  // Variant 2: every member after the allocation, with the means formed anew.
  if (!MeansOfGroups(year, centroids, enlarged.AllocatedGroupSizes, any_member))
    return MeansOverflow(year, centroids, enlarged.AllocatedGroupSizes, any_member);
  square_means(centroids, square);
  const VariantSums with_allocated =
      fit_variant(year, square, enlarged.AllocatedGroupSizes, any_member);
  if (!FiniteSums(with_allocated))
    return fit_overflow(year, centroids, enlarged.AllocatedGroupSizes, any_member);
  StoreYearFit(fit, y, 2, with_allocated);
  return std::nullopt;
}

}  // namespace locseq
