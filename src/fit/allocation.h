// Allocation of the eliminated locations to their nearest groups.
#pragma once

#include <cstdint>

#include "records/record_writer.h"
#include "core/arrays.h"

namespace locseq {

// Turns SedSums into mean distances, reports the numbers of terms and the
// means, allocates every eliminated location to the group of the smallest
// mean (the running minimum held in 32 bits; the lowest group on a tie;
// none when it shares no term with any group), builds the enlarged
// membership (AllocatedGroupSizes, AllocatedGroupMembers: old members, then
// the allocated locations) and reports it: tables and membership to .SCO,
// tables and allocation records to .COS, allocation records to .ALC.
void AllocateEliminatedLocations(
    Mat<double> SedSums, Mat<const std::int32_t> SedCounts, Vec<const std::int32_t> GroupLabels,
    Vec<const std::int32_t> GroupSizes, Vec<std::int32_t> AllocatedGroupSizes,
    Vec<const std::int32_t> MemberLocations, Mat<std::int32_t> AllocatedGroupMembers,
    Vec<const std::int32_t> EliminationVector, Vec<const std::int32_t> EliminatedLocations,
    Vec<const Name8> LocationNames, std::int32_t MAXL, std::int32_t NGP, records::Unit& sco,
    records::Unit& cos, records::Unit& alc);

}  // namespace locseq
