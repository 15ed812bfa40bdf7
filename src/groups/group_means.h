// The matrix of group means of one year.
#pragma once

#include <cstdint>

#include "core/arrays.h"

namespace locseq {

// Translates the member list into location numbers (MemberLocations: the
// r-th location whose EliminationVector entry is exactly 1) and forms, for
// every group and genotype, the mean of the members' present values
// (running sums in 32 bits) and the number of those values (GroupCounts).
// A mean over no value is 0.0.
void FormGroupMeans(Mat<const float> YearData, Mat<const std::int32_t> IncidenceMatrix,
                    Mat<float> GroupMeans, Mat<std::int32_t> GroupCounts,
                    Vec<const std::int32_t> GroupSizes, Vec<const std::int32_t> GroupMemberList,
                    Vec<std::int32_t> MemberLocations, Vec<const std::int32_t> EliminationVector,
                    std::int32_t MAXL, std::int32_t MAXG, std::int32_t NGP);

// The means and counts of NGP groups: group k has Sizes(k) members and
// member_of(k, i, p) is the location of its i-th member (p counting the
// members of all groups in turn, from 1). Each running sum adds the present
// values of the members in that order, rounded to 32 bits after every
// addition; a mean over no value is 0.0. Shared by the means of the groups
// as classified and as enlarged by the allocation. The work goes genotype by
// genotype, so that each column of the year is read where it lies.
template <class MemberOf>
void MeansOfGroups(Mat<const float> YearData, Mat<const std::int32_t> IncidenceMatrix,
                   Mat<float> GroupMeans, Mat<std::int32_t> GroupCounts,
                   Vec<const std::int32_t> Sizes, MemberOf member_of, std::int32_t MAXG,
                   std::int32_t NGP) {
  for (std::int32_t j = 1; j <= MAXG; ++j) {
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
      GroupCounts(k, j) = count;
      GroupMeans(k, j) = count > 0 ? sum / static_cast<float>(count) : 0.0f;
    }
  }
}

}  // namespace locseq
