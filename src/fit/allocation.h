// Allocation of the eliminated locations to their nearest groups.
#pragma once

#include <vector>

#include "core/bundles.h"
#include "core/results.h"

namespace locseq {

// The mean distance of every eliminated location to every group (the sum
// over its number of terms, where there are terms) and the group it is
// allocated to: the group of the smallest mean, the running minimum held in
// 32 bits, the lowest group on a tie, none (0) when it shares no term with
// any group. Reads the distances of the SED pass; changes nothing.
std::vector<EliminatedLocation> AllocateEliminatedLocations(const Distances& distances,
                                                            const Grouping& grouping);

// Fills the enlarged membership: for every group, its members as classified,
// then the eliminated locations allocated to it, in allocation order.
void EnlargeGroups(const Grouping& grouping, const std::vector<EliminatedLocation>& eliminated,
                   const Enlarged& enlarged);

// The groups of the block as values: label, members as classified,
// allocated locations, and how far each lies from its group's centroid:
// a member's mean over its terms in `members` (the sums of the SED pass), an
// allocated location's mean distance to its group.
std::vector<Group> GroupsOfBlock(const Grouping& grouping, const MemberDistances& members,
                                 const std::vector<EliminatedLocation>& eliminated);

}  // namespace locseq
