// Squared Euclidean distances of the eliminated locations to the group centroids.
#pragma once

#include "core/bundles.h"

namespace locseq {

// Adds, for the e-th eliminated location of the block (EliminatedLocations,
// as the cut left them) and every group k, this year's squared differences
// to the group means over the genotypes both have (SedSums, in 64 bits) and
// their number (SedCounts).
void AddYearDistances(const Year& year, const Grouping& grouping, const Centroids& centroids,
                      const Distances& distances);

}  // namespace locseq
