// Which locations a step retains, eliminates or leaves out, under either
// proximity, from counts of the window's years.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "classify/pairwise_sums.h"
#include "core/arrays.h"

namespace locseq::classify {

// A year of the window that has data, as the retention sees it.
struct YearCounts {
  std::int32_t year = 0;             // the year number
  std::int32_t observed = 0;         // genotypes with a value at some location
  std::vector<std::int32_t> values;  // per location (MAXL): genotypes with a value
};

// The counts of year y (MAXL x MAXG presence, column by column).
YearCounts count_year(std::int32_t y, Mat<const std::int32_t> presence);

// The entries of a step, one per location: 1 retained, 0 eliminated (for
// the run to allocate), 2 left out (no value in any year of the window).
// `window` holds the window's years with data, in order.
//
// Complete: retained when present in every one of those years: with values
// for at least `min_share` of the genotypes observed that year.
std::vector<std::int32_t> complete_entries(std::span<const YearCounts> window, double min_share,
                                           std::int32_t MAXL);

// Pairwise: a candidate when present in at least `min_years` of those years
// (a share; so at least one); then, while two candidates share fewer than
// `min_cells` cells (`pairs`, over the same window), the candidate in the
// most such short pairs is eliminated (ties: the fewer cells with a value in
// the window, then the higher location number), and the short pairs are
// counted again for the others (a pass over its own pairs). The candidates
// left are retained.
std::vector<std::int32_t> pairwise_entries(std::span<const YearCounts> window,
                                           const PairwiseSums& pairs, double min_share,
                                           double min_years, std::int32_t min_cells,
                                           std::int32_t MAXL);

// The cells of the window (years `window` of the trial, each a MAXL x MAXG
// presence matrix) with a value at some retained location (ascending
// location numbers).
std::int64_t cells_with_a_value(std::span<const Mat<const std::int32_t>> window,
                                std::span<const std::int32_t> retained);

}  // namespace locseq::classify
