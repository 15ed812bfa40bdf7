// For every two locations of a trial, the sum of the squared differences of
// their prepared values over the cells (year and genotype) where both have
// a value, and the number of those cells, over the years added so far.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "classify/ward.h"
#include "core/arrays.h"

namespace locseq::classify {

class PairwiseSums {
 public:
  // For locations 1 to MAXL: 12 bytes a pair.
  explicit PairwiseSums(std::int32_t MAXL);

  // Forgets every year added.
  void clear();

  // Adds one year (MAXL x MAXG, column by column): for each two locations,
  // the squared differences of their values over the genotypes where both
  // have a value, in ascending genotype order, in double precision; the
  // year's sum is then added to the pair's sum of the earlier years. So a
  // pair's sum is the same, to the bit, as the sum over the same cells
  // formed year by year for any set of locations.
  void add_year(Mat<const float> values, Mat<const std::int32_t> presence);

  // The sum and the number of shared cells of locations a < b (1 to MAXL).
  double sum(std::int32_t a, std::int32_t b) const { return sums_[at(a, b)]; }
  std::int32_t cells(std::int32_t a, std::int32_t b) const { return cells_[at(a, b)]; }

 private:
  std::size_t at(std::int32_t a, std::int32_t b) const {
    return pair_index(static_cast<std::size_t>(a - 1), static_cast<std::size_t>(b - 1),
                      static_cast<std::size_t>(MAXL_));
  }

  std::int32_t MAXL_;
  std::vector<double> sums_;         // strict upper triangle over the locations
  std::vector<std::int32_t> cells_;  // likewise
  // Scratch of add_year: the year's values and presence (1.0 or 0.0) of the
  // locations with a value, genotype by genotype, and one row of sums.
  std::vector<std::int32_t> locations_;
  std::vector<double> x_, has_, row_sums_, row_cells_;
};

}  // namespace locseq::classify
