// Squared Euclidean distances of the eliminated locations to the group centroids.
#pragma once

#include "core/bundles.h"
#include "core/non_finite.h"

namespace locseq {

// Adds, for the e-th eliminated location of the block (EliminatedLocations,
// as the cut left them) and every group k, this year's squared differences
// to the group means over the genotypes both have (SedSums, in 64 bits) and
// their number (SedCounts). Returns whether every sum is finite, each
// checked once a year; DistanceOverflow then says where the first is not.
// (From finite values and means none can fail: a term is at most
// (2 x 3.4e38)^2.)
[[nodiscard]] bool AddYearDistances(const Year& year, const Grouping& grouping,
                                    const Centroids& centroids, const Distances& distances);

// The cell behind the first sum that is not finite, location by location,
// group by group, after AddYearDistances returned false.
NonFinite DistanceOverflow(const Year& year, const Grouping& grouping, const Centroids& centroids,
                           const Distances& distances);

// Adds, for the p-th member of the member list (MemberLocations, group by
// group), this year's squared differences to its own group's means over
// its present genotypes (sums, in 64 bits, genotype by genotype) and their
// number. The distances of the eliminated locations are not touched.
// Returns whether every sum is finite, each checked once a year;
// MemberDistanceOverflow then says where the first is not. (From finite
// values and means none can fail.)
[[nodiscard]] bool AddMemberDistances(const Year& year, const Grouping& grouping,
                                      const Centroids& centroids, const MemberDistances& members);
NonFinite MemberDistanceOverflow(const Year& year, const Grouping& grouping,
                                 const Centroids& centroids, const MemberDistances& members);

}  // namespace locseq
