// Squared Euclidean distances between retained locations, year by year,
// over the genotypes present at all of them; each year's sums are kept and
// used again while that year's set of shared genotypes stays the same.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/arrays.h"

namespace locseq::classify {

class PairSums {
 public:
  explicit PairSums(std::int32_t MAXY) : years_(static_cast<std::size_t>(MAXY)) {}

  // Adds year y's squared distances between the locations `retained`
  // (ascending location numbers, n of them) to `d` (a strict upper triangle
  // of n items, as ward_hierarchy takes it), over the genotypes present at every retained location,
  // from the year's prepared values. Each pair's sum runs over the genotypes in ascending order, in
  // double precision. Returns the number of those genotypes. Sums kept from an earlier call are
  // used again when the retained locations are a subset of those they were formed for and the
  // shared genotypes are the same.
  std::int64_t add_year(std::int32_t y, std::span<const std::int32_t> retained,
                        Mat<const float> values, Mat<const std::int32_t> presence,
                        std::vector<double>& d);

  // Number of times a year's sums were formed (for the tests of reuse).
  std::int64_t formed() const { return formed_; }

 private:
  struct Year {
    std::vector<std::int32_t> genotypes;  // the shared genotypes the sums cover
    std::vector<std::int32_t> members;    // the locations they were formed for, ascending
    std::vector<double> pairs;            // strict upper triangle over members, row by row
    bool valid = false;                   // sums were formed
  };
  void form(Year& year, std::span<const std::int32_t> retained, Mat<const float> values);

  std::vector<Year> years_;           // MAXY entries
  std::vector<std::int32_t> shared_;  // scratch: the shared genotypes of a call
  std::vector<std::size_t> index_;    // scratch: each retained location's place among members
  std::vector<double> compact_;       // scratch: values of the shared cells, genotype by genotype
  std::int64_t formed_ = 0;
};

}  // namespace locseq::classify
