// Location centring and standardisation of one year's data.
#pragma once

#include <cstdint>

#include "core/arrays.h"

namespace locseq {

// Subtracts from every present cell of each location the mean of that
// location's present values (sums in 64 bits, each cell rounded once to 32).
void CentreYear(Mat<float> YearData, Mat<const std::int32_t> IncidenceMatrix, std::int32_t MAXL,
                std::int32_t MAXG);

// Divides every present cell of each location by the sample standard
// deviation of its (centred) present values. A location with at most one
// present cell, or whose deviation is 0.0, keeps its centred values.
void StandardiseYear(Mat<float> YearData, Mat<const std::int32_t> IncidenceMatrix,
                     std::int32_t MAXL, std::int32_t MAXG);

}  // namespace locseq
