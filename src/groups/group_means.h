// The matrix of group means of one year.
#pragma once

#include <cmath>
#include <cstdint>

#include "core/bundles.h"
#include "core/non_finite.h"

namespace locseq {

// Forms, for every group of the block and every genotype, the mean of the
// present values of the group's members (MemberLocations, as the cut left
// them) and the number of those values. Running sums in 32 bits; a mean
// over no value is 0.0. Returns whether every sum is finite (see
// MeansOfGroups); GroupMeansOverflow then says where the first is not.
[[nodiscard]] bool FormGroupMeans(const Year& year, const Grouping& grouping,
                                  const Centroids& centroids);
NonFinite GroupMeansOverflow(const Year& year, const Grouping& grouping,
                             const Centroids& centroids);

// The means and counts of the NGP groups of `centroids`: group k has
// Sizes(k) members and member_of(k, i, p) is the location of its i-th member
// (p counting the members of all groups in turn, from 1). Each running sum
// adds the present values of the members in that order, rounded to 32 bits
// after every addition; a mean over no value is 0.0. Shared by the means of
// the groups as classified and as enlarged by the allocation. The work goes
// genotype by genotype, so that each column of the year is read where it
// lies. Each sum is checked once, when complete; returns whether all are
// finite (a mean that is not is stored as it came).
template <class MemberOf>
[[nodiscard]] bool MeansOfGroups(const Year& year, const Centroids& centroids,
                                 Vec<const std::int32_t> Sizes, MemberOf member_of) {
  const Mat<const float> YearData = year.YearData;
  const Mat<const std::int32_t> IncidenceMatrix = year.IncidenceMatrix;
  const long NGP = centroids.GroupMeans.rows();
  bool finite = true;
  for (long j = 1; j <= YearData.cols(); ++j) {
    std::int32_t p = 0;
    for (std::int32_t k = 1; k <= NGP; ++k) {
      std::int32_t count = 0;
      float sum = 0.0f;
      for (std::int32_t i = 1; i <= Sizes(k); ++i) {
        const std::int32_t u = member_of(k, i, ++p);
        const std::int32_t n = IncidenceMatrix(u, j);
        count += n;
        sum = sum + static_cast<float>(n) * YearData(u, j);
      }
      finite &= std::isfinite(sum);
      centroids.GroupCounts(k, j) = count;
      centroids.GroupMeans(k, j) = count > 0 ? sum / static_cast<float>(count) : 0.0f;
    }
  }
  return finite;
}

// After MeansOfGroups returned false: the member whose value took the
// first sum that is not finite (genotype by genotype, each group in turn)
// beyond single precision.
template <class MemberOf>
NonFinite MeansOverflow(const Year& year, const Centroids& centroids, Vec<const std::int32_t> Sizes,
                        MemberOf member_of) {
  for (long j = 1; j <= year.YearData.cols(); ++j) {
    std::int32_t first = 0;  // p before the group's first member
    for (std::int32_t k = 1; k <= centroids.GroupMeans.rows(); first += Sizes(k), ++k) {
      if (std::isfinite(centroids.GroupMeans(k, j))) continue;
      float sum = 0.0f, x = 0.0f, before = 0.0f;
      std::int32_t u = 0;
      for (std::int32_t i = 1; i <= Sizes(k) && std::isfinite(sum); ++i) {
        u = member_of(k, i, first + i);
        before = sum;
        x = year.YearData(u, j);
        sum = sum + static_cast<float>(year.IncidenceMatrix(u, j)) * x;
      }
      return {u, static_cast<std::int32_t>(j),
              "its centred value " + number_text(x) + " added to the sum " + number_text(before) +
                  " of group " + std::to_string(k) + "'s members is beyond single precision"};
    }
  }
  return {1, 1, "the group means are not finite"};  // not met: see MeansOfGroups
}

}  // namespace locseq
