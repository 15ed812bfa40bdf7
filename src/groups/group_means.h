// The matrix of group means of one year.
#pragma once

#include <cstdint>

#include "core/bundles.h"

namespace locseq {

// Forms, for every group of the block and every genotype, the mean of the
// present values of the group's members (MemberLocations, as the cut left
// them) and the number of those values. Running sums in 32 bits; a mean
// over no value is 0.0.
void FormGroupMeans(const Year& year, const Grouping& grouping, const Centroids& centroids);

// The means and counts of the NGP groups of `centroids`: group k has
// Sizes(k) members and member_of(k, i, p) is the location of its i-th member
// (p counting the members of all groups in turn, from 1). Each running sum
// adds the present values of the members in that order, rounded to 32 bits
// after every addition; a mean over no value is 0.0. Shared by the means of
// the groups as classified and as enlarged by the allocation. The work goes
// genotype by genotype, so that each column of the year is read where it
// lies.
template <class MemberOf>
void MeansOfGroups(const Year& year, const Centroids& centroids, Vec<const std::int32_t> Sizes,
                   MemberOf member_of) {
  const Mat<const float> YearData = year.YearData;
  const Mat<const std::int32_t> IncidenceMatrix = year.IncidenceMatrix;
  const long NGP = centroids.GroupMeans.rows();
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
      centroids.GroupCounts(k, j) = count;
      centroids.GroupMeans(k, j) = count > 0 ? sum / static_cast<float>(count) : 0.0f;
    }
  }
}

}  // namespace locseq
