// The division of the work areas into the arrays of the analysis. One
// table gives every array its area, place and shape; the required sizes of
// the dimension check and the carved views are both computed from it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "core/bundles.h"
#include "core/run_parameters.h"
#include "setup/work_areas.h"

namespace locseq {

enum class AreaName : unsigned char { DZ, Z, MZ, AZ };

// A row or column count of a carved array, in terms of L = MAXL, G = MAXG,
// Y = MAXY and N = NGP.
enum class Extent : unsigned char { One, Two, L, G, Y, N, LLessN, LLessOne, TwiceLLessOne };

struct CarvedArray {
  AreaName area;           // the work area it is carved from
  std::string_view array;  // its carving name
  Extent rows;             // rows (the length of a vector)
  Extent cols;             // columns (One for a vector)
  std::string_view holds;  // the name the analysis gives it; empty when unused
};

// The arrays in carving order: within an area, one after the other from its
// first element, without gaps.
inline constexpr std::array<CarvedArray, 25> kCarving = {{
    {AreaName::DZ, "DZ1", Extent::LLessN, Extent::N, "SedSums"},
    {AreaName::DZ, "DZ2", Extent::Y, Extent::Two, "TSSj"},
    {AreaName::DZ, "DZ3", Extent::Y, Extent::Two, "ESSj"},
    {AreaName::DZ, "DZ4", Extent::Y, Extent::Two, "RSSj"},
    {AreaName::DZ, "DZ5", Extent::Y, Extent::Two, "RSQj"},
    {AreaName::Z, "Z1", Extent::L, Extent::G, "YearData"},
    {AreaName::Z, "Z2", Extent::N, Extent::G, "GroupMeans"},
    {AreaName::MZ, "MZ1", Extent::L, Extent::One, "GroupLabels"},
    {AreaName::MZ, "MZ2", Extent::TwiceLLessOne, Extent::One, ""},
    {AreaName::MZ, "MZ3", Extent::L, Extent::One, "GroupSizes"},
    {AreaName::MZ, "MZ4", Extent::L, Extent::One, "GroupMemberList"},
    {AreaName::MZ, "MZ5", Extent::L, Extent::One, "MemberLocations"},
    {AreaName::MZ, "MZ6", Extent::Two, Extent::LLessOne, "FusionPairs"},
    {AreaName::MZ, "MZ7", Extent::L, Extent::One, "EliminationVector"},
    {AreaName::MZ, "MZ8", Extent::L, Extent::G, "IncidenceMatrix"},
    {AreaName::MZ, "MZ9", Extent::N, Extent::G, "GroupCounts"},
    {AreaName::MZ, "MZ10", Extent::LLessN, Extent::N, "SedCounts"},
    {AreaName::MZ, "MZ11", Extent::L, Extent::One, "EliminatedLocations"},
    {AreaName::MZ, "MZ12", Extent::L, Extent::One, "AllocatedGroupSizes"},
    // Its place is kept; the enlarged membership itself lives beside the
    // areas (WorkAreas::enlarged_membership).
    {AreaName::MZ, "MZ13", Extent::N, Extent::LLessN, ""},
    {AreaName::MZ, "MZ14", Extent::Y, Extent::Two, "LocMod"},
    {AreaName::AZ, "AZ1", Extent::Y, Extent::One, "YearNames"},
    {AreaName::AZ, "AZ2", Extent::L, Extent::One, "LocationNames"},
    {AreaName::AZ, "AZ3", Extent::TwiceLLessOne, Extent::One, ""},
    {AreaName::AZ, "AZ4", Extent::G, Extent::One, "GenotypeNames"},
}};

// The value of an extent, in 64 bits.
std::int64_t extent(Extent e, const RunParameters& p);

// Required sizes of DZ, Z, MZ and AZ: one past the last element of each
// area's last array. Formed in 64 bits, saturating, so a huge head is
// reported as huge, never wrapped.
std::array<std::int64_t, 4> required_sizes(const RunParameters& p);

// Carves the areas (their sizes already checked) and sizes the enlarged
// membership.
Carved carve(WorkAreas& areas, const RunParameters& p);

}  // namespace locseq
