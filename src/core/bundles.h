// The arrays of the analysis, bundled as the stages use them: plain structs
// of views over the carved work areas (set-up carves them once per run).
// Dimensions come from the views: MAXL and MAXG are the shape of YearData,
// NGP the rows of GroupMeans, MAXY the rows of the fit tables.
#pragma once

#include <cstdint>

#include "core/arrays.h"

namespace locseq {

// One year of data, as read and then centred (and standardised) in place.
struct Year {
  Mat<float> YearData;                // MAXL x MAXG; 0.0 in absent cells
  Mat<std::int32_t> IncidenceMatrix;  // MAXL x MAXG; 1 present, 0 absent
};

// The grouping of the current block: what .CLS says of it and what the cut
// makes of it. The lists are made once per block, by the cut.
struct Grouping {
  Vec<std::int32_t> EliminationVector;    // MAXL: 1 retained, 0 eliminated, else left out
  Mat<std::int32_t> FusionPairs;          // 2 x (MAXL-1): Gpi, Gpj of each hierarchy record
  Vec<std::int32_t> GroupLabels;          // MAXL: hierarchy label of group k (1 to NGP)
  Vec<std::int32_t> GroupSizes;           // MAXL: members of group k as classified
  Vec<std::int32_t> GroupMemberList;      // MAXL: retained-location numbers, group by group
  Vec<std::int32_t> MemberLocations;      // MAXL: the same members as location numbers
  Vec<std::int32_t> EliminatedLocations;  // MAXL: eliminated locations, ascending
  std::int32_t RetainedCount = 0;         // n: locations with entry 1
  std::int32_t CutLevel = 0;              // groups after the cut
  std::int32_t EliminatedCount = 0;       // E: locations with entry 0
};

// The group centroids of one year.
struct Centroids {
  Mat<float> GroupMeans;          // NGP x MAXG; 0.0 where the count is 0
  Mat<std::int32_t> GroupCounts;  // NGP x MAXG: present cells behind each mean
};

// The squared distances of the eliminated locations to the group centroids,
// summed over the years of the SED pass.
struct Distances {
  Mat<double> SedSums;          // (MAXL-NGP) x NGP: eliminated location x group
  Mat<std::int32_t> SedCounts;  // (MAXL-NGP) x NGP: terms behind each sum
};

// The squared distances of the retained members to their own group's
// centroid, summed over the years of the SED pass. Held beside the work
// areas, whose dimensions it leaves as they are.
struct MemberDistances {
  Vec<double> sums;          // MAXL: member p of the member list at p
  Vec<std::int32_t> counts;  // MAXL: the terms behind each sum
};

// The groups after the allocation: the members as classified, then the
// eliminated locations allocated to each.
struct Enlarged {
  Vec<std::int32_t> AllocatedGroupSizes;    // MAXL: members of group k (1 to NGP)
  Mat<std::int32_t> AllocatedGroupMembers;  // NGP x MAXL: location numbers, row k for group k
};

// The fit of every data year of a MODFIT pass, one column per fit variant
// (1 as classified, 2 with the allocated locations).
struct FitTables {
  Mat<double> TSSj;          // MAXY x 2: total sum of squares
  Mat<double> ESSj;          // MAXY x 2: explained sum of squares
  Mat<double> RSSj;          // MAXY x 2: TSSj - ESSj
  Mat<double> RSQj;          // MAXY x 2: ESSj / TSSj, 0.0 where undefined
  Mat<std::int32_t> LocMod;  // MAXY x 2: member locations with a present cell
};

// The names of years, locations and genotypes.
struct NameLists {
  Vec<Name8> YearNames;      // MAXY
  Vec<Name8> LocationNames;  // MAXL
  Vec<Name8> GenotypeNames;  // MAXG
};

// Every array of the run, bundled as the stages take them.
struct Carved {
  Year year;
  Grouping grouping;
  Centroids centroids;
  Distances distances;
  Enlarged enlarged;
  FitTables fit;
  NameLists names;
};

}  // namespace locseq
