// Location centring and standardisation of one year's data.
#pragma once

#include <optional>

#include "core/bundles.h"
#include "core/non_finite.h"

namespace locseq {

// Subtracts from every present cell of each location the mean of that
// location's present values (sums in 64 bits, each cell rounded once to 32).
// A centred value beyond single precision (a value near the largest less a
// mean of the other sign) leaves the year unchanged and is returned: the
// first such cell, location by location, each in genotype order.
[[nodiscard]] std::optional<NonFinite> CentreYear(const Year& year);

// Divides every present cell of each location by the sample standard
// deviation of its (centred) present values. A location with at most one
// present cell, or whose deviation is 0.0, keeps its centred values. A
// standardised value is at most the square root of the location's count
// in magnitude, so none can overflow.
void StandardiseYear(const Year& year);

}  // namespace locseq
