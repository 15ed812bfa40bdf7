// Location centring and standardisation of one year's data.
#pragma once

#include "core/bundles.h"

namespace locseq {

// Subtracts from every present cell of each location the mean of that
// location's present values (sums in 64 bits, each cell rounded once to 32).
void CentreYear(const Year& year);

// Divides every present cell of each location by the sample standard
// deviation of its (centred) present values. A location with at most one
// present cell, or whose deviation is 0.0, keeps its centred values.
void StandardiseYear(const Year& year);

}  // namespace locseq
