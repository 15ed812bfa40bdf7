// The matrix of group means of one year.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>

#include "core/bundles.h"
#include "core/non_finite.h"

namespace locseq {

// Forms, for every group of the block and every genotype, the mean of the
// present values of the group's members (MemberLocations, as the cut left
// them) and the number of those values. Running sums in 32 bits; a mean
// over no value is 0.0. A running sum that is not finite is returned (see
// MeansOfGroups).
[[nodiscard]] std::optional<NonFinite> FormGroupMeans(const Year& year, const Grouping& grouping,
                                                      const Centroids& centroids);

// The member whose value takes the running sum of group k over genotype j
// beyond single precision (see MeansOfGroups; `first` is p before the
// group's first member).
template <class MemberOf>
NonFinite SumOverflow(const Year& year, std::int32_t k, long j, std::int32_t members,
                      std::int32_t first, MemberOf member_of) {
  float sum = 0.0f;
  std::int32_t u = 0;
  float x = 0.0f, before = 0.0f;
  for (std::int32_t i = 1; i <= members && std::isfinite(sum); ++i) {
    u = member_of(k, i, first + i);
    before = sum;
    x = year.YearData(u, j);
    sum = sum + static_cast<float>(year.IncidenceMatrix(u, j)) * x;
  }
  return {u, static_cast<std::int32_t>(j),
          "its centred value " + number_text(x) + " added to the sum " + number_text(before) +
              " of group " + std::to_string(k) + "'s members is beyond single precision"};
}

// The means and counts of the NGP groups of `centroids`: group k has
// Sizes(k) members and member_of(k, i, p) is the location of its i-th member
// (p counting the members of all groups in turn, from 1). Each running sum
// adds the present values of the members in that order, rounded to 32 bits
// after every addition; a mean over no value is 0.0. Shared by the means of
// the groups as classified and as enlarged by the allocation. The work goes
// genotype by genotype, so that each column of the year is read where it
// lies. Each sum is checked once, when complete: the first that is not
// finite (genotype by genotype, each group in turn) ends the work and its
// cell is returned.
template <class MemberOf>
[[nodiscard]] std::optional<NonFinite> MeansOfGroups(const Year& year, const Centroids& centroids,
                                                     Vec<const std::int32_t> Sizes,
                                                     MemberOf member_of) {
  const Mat<const float> YearData = year.YearData;
  const Mat<const std::int32_t> IncidenceMatrix = year.IncidenceMatrix;
  const long NGP = centroids.GroupMeans.rows();
  for (long j = 1; j <= YearData.cols(); ++j) {
    std::int32_t p = 0;
    for (std::int32_t k = 1; k <= NGP; ++k) {
      const std::int32_t first = p;
      std::int32_t count = 0;
      float sum = 0.0f;
      for (std::int32_t i = 1; i <= Sizes(k); ++i) {
        const std::int32_t u = member_of(k, i, ++p);
        const std::int32_t n = IncidenceMatrix(u, j);
        count += n;
        sum = sum + static_cast<float>(n) * YearData(u, j);
      }
      if (!std::isfinite(sum)) return SumOverflow(year, k, j, Sizes(k), first, member_of);
      centroids.GroupCounts(k, j) = count;
      centroids.GroupMeans(k, j) = count > 0 ? sum / static_cast<float>(count) : 0.0f;
    }
  }
  return std::nullopt;
}

}  // namespace locseq
