// Squared Euclidean distances of the eliminated locations to the group centroids.
#pragma once

#include <cstdint>

#include "core/arrays.h"

namespace locseq {

// Lists the eliminated locations (EliminationVector entry exactly 0) in
// ascending order in EliminatedLocations and adds, for the e-th of them and
// every group k, this year's squared differences to the group means over
// the genotypes both have (SedSums, in 64 bits) and their number (SedCounts).
void AddYearDistances(Mat<const float> YearData, Mat<const std::int32_t> IncidenceMatrix,
                      Mat<const float> GroupMeans, Mat<const std::int32_t> GroupCounts,
                      Vec<const std::int32_t> EliminationVector, Mat<double> SedSums,
                      Mat<std::int32_t> SedCounts, Vec<std::int32_t> EliminatedLocations,
                      std::int32_t MAXL, std::int32_t MAXG, std::int32_t NGP);

}  // namespace locseq
