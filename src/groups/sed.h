// Squared Euclidean distances of the eliminated locations to the group centroids.
#pragma once

#include <optional>

#include "core/bundles.h"
#include "core/non_finite.h"

namespace locseq {

// Adds, for the e-th eliminated location of the block (EliminatedLocations,
// as the cut left them) and every group k, this year's squared differences
// to the group means over the genotypes both have (SedSums, in 64 bits) and
// their number (SedCounts). Each sum is checked once a year, when the
// location's genotypes are added: the first that is not finite (location by
// location, group by group) ends the work and its cell is returned. (From
// finite values and means none can be: a term is at most (2 x 3.4e38)^2.)
[[nodiscard]] std::optional<NonFinite> AddYearDistances(const Year& year, const Grouping& grouping,
                                                        const Centroids& centroids,
                                                        const Distances& distances);

}  // namespace locseq
