// The cut of a block's fusion hierarchy into groups.
#pragma once

#include <cstdint>
#include <string>

#include "core/bundles.h"

namespace locseq {

// An applied hierarchy record that names a label which is not a current
// group, or the same group twice. `record` is its number within the block.
struct BadFusion {
  long record = 0;
  std::string why;
};

// Cuts the block's hierarchy into CutLevel groups and lists its locations:
// GroupMembership, then the member list as location numbers
// (MemberLocations: retained-location number r is the r-th location whose
// EliminationVector entry is exactly 1; 0 beyond the members) and the
// eliminated locations (entry exactly 0) in ascending order, with their
// count. Needs EliminationVector, FusionPairs, RetainedCount and CutLevel.
// Throws BadFusion for a record that cannot be applied.
void CutHierarchy(Grouping& g);

// Starts from every retained location alone and applies the first
// RetainedCount - CutLevel records of FusionPairs in file order. Fills
// GroupLabels, GroupSizes and GroupMemberList (group by group, in the order
// of GroupLabels). Throws BadFusion for a record that cannot be applied.
void GroupMembership(const Grouping& g);

// Joins the groups labelled gi and gj among the b current groups into one
// labelled new_label, placed last; its members are those of the group that
// stood later, then those of the one that stood earlier. Throws BadFusion
// (record 0) when gi or gj is not a current group, or when they are the
// same.
void Merge(const Grouping& g, std::int32_t gi, std::int32_t gj, std::int32_t b,
           std::int32_t new_label);

}  // namespace locseq
