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
#include "findings/stability.h"

namespace locseq::findings {

// What one step shows besides its results.
struct StepFindings {
  Membership membership;            // location -> group, retained and allocated
  std::int32_t allocated = 0;       // eliminated locations allocated to a group
  std::optional<double> stability;  // adjusted Rand index with the previous step (none
                                    // for the first step, or fewer than two shared locations)
  std::vector<Move> moves;          // locations that changed group since the previous step
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
                                                   // overall RSQ
  std::optional<std::size_t> weakest;              // the lowest defined overall RSQ, classified
  std::optional<double> allocation_change;         // the mean change of the overall RSQ from
                                                   // adding the allocated locations, over the
                                                   // steps where both are defined
  std::optional<std::size_t> least_stable;         // the lowest stability index
  std::size_t moves = 0;                           // changes of group over the sequence
  std::size_t eliminated = 0;                      // location-steps eliminated
  std::size_t allocated = 0;                       // of them allocated to a group
  std::vector<YearSummary> years;                  // classified, by ascending year
  std::optional<std::size_t> hardest_year;         // index in `years` of the lowest mean
  std::optional<std::size_t> easiest_year;         // and of the highest
  std::size_t undefined_year_fits = 0;             // RSQj undefined, both variants
};

RunFindings find_run(std::span<const BlockResult> blocks);

}  // namespace locseq::findings
