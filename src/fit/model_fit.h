// How well the groups explain one year's data.
#pragma once

#include <cstdint>

#include "core/arrays.h"

namespace locseq {

// Fills row y of the fit tables for both variants: 1, the groups of the
// classification with the group means of the year; 2, the groups enlarged
// by the allocation, with means formed anew (GroupMeans and GroupCounts are
// overwritten with them). TSSj sums the squares of the members' present
// values, ESSj those of their group means, RSSj = TSSj - ESSj; RSQj is
// ESSj/TSSj when the variant had a present cell and TSSj > 0, else 0.0;
// LocMod counts the members with a present cell. Adds the year's sums to
// TSS, ESS and RSS (entry v for variant v).
void FitYear(Mat<const float> YearData, Mat<const std::int32_t> IncidenceMatrix,
             Mat<float> GroupMeans, Mat<std::int32_t> GroupCounts,
             Vec<const std::int32_t> GroupSizes, Vec<const std::int32_t> AllocatedGroupSizes,
             Vec<const std::int32_t> MemberLocations, Mat<const std::int32_t> AllocatedGroupMembers,
             Mat<std::int32_t> LocMod, Mat<double> TSSj, Vec<double> TSS, Mat<double> ESSj,
             Vec<double> ESS, Mat<double> RSSj, Vec<double> RSS, Mat<double> RSQj,
             std::int32_t MAXG, std::int32_t NGP, std::int32_t y);

}  // namespace locseq
