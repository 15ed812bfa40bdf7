// The cut of a block's fusion hierarchy into groups.
#pragma once

#include <cstdint>
#include <string>

#include "core/arrays.h"

namespace locseq {

// An applied hierarchy record that names a label which is not a current
// group, or the same group twice. `record` is its number within the block.
struct BadFusion {
  long record = 0;
  std::string why;
};

// Cuts the hierarchy into CutLevel groups: starts from every retained
// location alone and applies the first RetainedCount - CutLevel records of
// FusionPairs in file order. Fills GroupLabels, GroupSizes and
// GroupMemberList (group by group, in the order of GroupLabels). Throws
// BadFusion for a record that cannot be applied.
void GroupMembership(Vec<std::int32_t> GroupLabels, Vec<std::int32_t> GroupSizes,
                     Vec<std::int32_t> GroupMemberList, Mat<const std::int32_t> FusionPairs,
                     std::int32_t RetainedCount, std::int32_t CutLevel);

// Joins the groups labelled gi and gj among the b current groups into one
// labelled new_label, placed last; its members are those of the group that
// stood later, then those of the one that stood earlier. n is the number of
// retained locations. Throws BadFusion (record 0) when gi or gj is not a
// current group, or when they are the same.
void Merge(Vec<std::int32_t> GroupLabels, Vec<std::int32_t> GroupSizes,
           Vec<std::int32_t> GroupMemberList, std::int32_t gi, std::int32_t gj, std::int32_t b,
           std::int32_t new_label, std::int32_t n);

}  // namespace locseq
