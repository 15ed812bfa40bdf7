// The matrix of group means of one year.
#pragma once

#include <cstdint>

#include "setup/work_areas.h"

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

// The three steps of a mean, shared with the means of the enlarged groups:
// clear the sums and counts of the NGP groups; add location u's present
// values to group k (the running sum rounded to 32 bits after every
// addition); divide every sum with a positive count by it.
void ClearGroupMeans(Mat<float> GroupMeans, Mat<std::int32_t> GroupCounts, std::int32_t MAXG,
                     std::int32_t NGP);
void AddToGroup(Mat<const float> YearData, Mat<const std::int32_t> IncidenceMatrix,
                Mat<float> GroupMeans, Mat<std::int32_t> GroupCounts, std::int32_t k,
                std::int32_t u, std::int32_t MAXG);
void DivideGroupMeans(Mat<float> GroupMeans, Mat<const std::int32_t> GroupCounts, std::int32_t MAXG,
                      std::int32_t NGP);

}  // namespace locseq
