// What the results of a run say beyond their numbers, worked out once for
// every writer: how each step's groups relate to the previous step's, which
// step fits best and which least, what adding the allocated locations does,
// and how well each data year is explained.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/results.h"
#include "findings/lineage.h"
#include "findings/stability.h"

namespace locseq::findings {

// The overall fit of a variant adjusted for the number of groups. The data
// are centred per location, so a year's TSS has n(G - 1) degrees of freedom
// (n locations, G genotypes) and its RSS (n - k)(G - 1) with k groups: the
// adjusted RSQ is 1 - (1 - RSQ) n / (n - k), near 0 on noise whatever n and
// k. For the step's overall fit, n is the mean over its data years with a
// present cell of LocMod (the variant's locations with a present cell that
// year): the retained locations, or the retained and allocated ones, when
// each has data in every year, and the degrees of freedom of the pooled
// years whatever the gaps. k is the step's number of groups (CutLevel).
struct AdjustedFit {
  double locations = 0.0;       // n
  std::int32_t groups = 0;      // k
  std::optional<double> value;  // none where RSQ is undefined or n <= k
};

AdjustedFit adjusted_fit(const BlockResult& block, Variant v);
// The same for a variant's fit at `groups` groups (a level of a sweep).
AdjustedFit adjusted_fit(const VariantFit& fit, std::int32_t groups);

// The mean squared distance per shared cell of a group's i-th location
// (its retained members first, then the allocated ones, from 0) to the
// group's centroid over the step's years; none for a member without a
// present cell in them.
std::optional<double> distance_to_centroid(const Group& g, std::size_t i);

// The group's representative: the retained member nearest its centroid,
// the lower location number on a tie; 0 when no member has a distance.
std::int32_t representative(const Group& g);

// How clear an eliminated location's allocation is: the second-smallest
// mean distance to a group in reach (sharing a cell with it) over the
// smallest, minus 1; none with fewer than two groups in reach or a
// smallest distance of 0.
std::optional<double> allocation_margin(const EliminatedLocation& e);

// What a group shows besides its members.
struct GroupFindings {
  std::int32_t lineage = 0;         // see lineage.h
  std::int32_t retained = 0;        // its retained members; 1 makes a single-site group
  std::int32_t representative = 0;  // see representative()
};

// What one step shows besides its results.
struct StepFindings {
  Membership membership;                // location -> group, retained and allocated
  std::vector<GroupFindings> groups;    // group k at k - 1
  std::int32_t largest_lineage = 0;     // the largest lineage number so far
  std::int32_t allocated = 0;           // eliminated locations allocated to a group
  std::int32_t single_site = 0;         // groups with one retained member
  std::array<AdjustedFit, 2> adjusted;  // per Variant
  std::optional<double> stability;      // adjusted Rand index with the previous step (none
                                        // for the first step, or fewer than two shared locations)
  std::vector<Move> moves;              // locations whose lineage changed since the previous step

  // The lineage of each group, group k at k - 1.
  std::vector<std::int32_t> lineages() const;
  // The lineage of group k (from 1), 0 for none.
  std::int32_t lineage(std::int32_t k) const;
};

// The findings of a block, given those of the step before it (null for the
// first step).
StepFindings find_step(const BlockResult& block, const StepFindings* previous);

// How well one data year is explained as classified, over the steps whose
// RSQj of it is defined.
struct YearSummary {
  std::int32_t year = 0;   // data-year number
  double mean_rsq = 0.0;   // the mean of those RSQj
  std::int32_t steps = 0;  // how many there are
};

// The findings of a whole run. Step indices count from 0, in block order;
// on a tie the earlier step (or year) is named.
struct RunFindings {
  std::vector<StepFindings> steps;                 // one per block
  std::array<std::optional<std::size_t>, 2> best;  // per Variant: the highest defined
                                                   // adjusted RSQ
  std::optional<std::size_t> weakest;              // the lowest defined adjusted RSQ, classified
  std::optional<double> allocation_change;         // the mean change of the adjusted RSQ from
                                                   // adding the allocated locations, over the
                                                   // steps where both are defined
  std::optional<std::size_t> least_stable;         // the lowest stability index
  std::size_t moves = 0;                           // changes of lineage over the sequence
  std::size_t single_site_steps = 0;               // steps with a single-site group
  std::size_t eliminated = 0;                      // location-steps eliminated
  std::size_t allocated = 0;                       // of them allocated to a group
  std::vector<YearSummary> years;                  // classified, by ascending year
  std::optional<std::size_t> hardest_year;         // index in `years` of the lowest mean
  std::optional<std::size_t> easiest_year;         // and of the highest
  std::size_t undefined_year_fits = 0;             // RSQj undefined, both variants
};

RunFindings find_run(std::span<const BlockResult> blocks);

}  // namespace locseq::findings
