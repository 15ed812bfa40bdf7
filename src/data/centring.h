// Location centring and standardisation of one year's data.
#pragma once

#include "core/bundles.h"
#include "core/non_finite.h"

namespace locseq {

// Subtracts from every present cell of each location the mean of that
// location's present values (sums in 64 bits, each cell rounded once to 32).
// Returns false, with the year unchanged, when a centred value would lie
// beyond single precision (a value near the largest less a mean of the
// other sign); CentringOverflow then says where.
[[nodiscard]] bool CentreYear(const Year& year);

// The first cell, location by location, each in genotype order, whose
// centred value lies beyond single precision, after CentreYear returned
// false.
NonFinite CentringOverflow(const Year& year);

// Divides every present cell of each location by the sample standard
// deviation of its (centred) present values. A location with at most one
// present cell, or whose deviation is 0.0, keeps its centred values. A
// standardised value is at most the square root of the location's count
// in magnitude, so none can overflow.
void StandardiseYear(const Year& year);

}  // namespace locseq
