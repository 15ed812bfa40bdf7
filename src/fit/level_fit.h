// Group means and fits of one year for many groupings at once, for the
// sweep over truncation levels (run --sweep): the year is laid out location
// by location once, and every grouping reads it there. Each sum takes its
// terms in the order FormGroupMeans, MeansOfGroups and FitYear give them,
// so every value is the one a run at that level computes, to the bit.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/bundles.h"
#include "fit/model_fit.h"

namespace locseq {

// The prepared year location by location: row u holds location u's values
// and incidence in genotype order, and its number of present cells. Row 0
// is a location with no cell, which adds nothing to any sum.
class YearRows {
 public:
  // Lays out `year` (MAXL x MAXG, column by column) in rows.
  void fill(const Year& year);

  long genotypes() const { return genotypes_; }
  const float* values(std::int32_t u) const {
    return values_.data() + static_cast<std::size_t>(u) * static_cast<std::size_t>(genotypes_);
  }
  const std::int32_t* incidence(std::int32_t u) const {
    return incidence_.data() + static_cast<std::size_t>(u) * static_cast<std::size_t>(genotypes_);
  }
  std::int32_t present(std::int32_t u) const { return present_[static_cast<std::size_t>(u)]; }

 private:
  long genotypes_ = 0;
  std::vector<float> values_;            // (MAXL + 1) x MAXG, row by row
  std::vector<std::int32_t> incidence_;  // likewise
  std::vector<std::int32_t> present_;    // per row: its present cells
};

// The members of some groups: group k's sizes[k - 1] locations, group by
// group, each group's in its order.
struct GroupLists {
  std::vector<std::int32_t> sizes;
  std::vector<std::int32_t> locations;
};

// Group means and counts of `lists` over the year, group by group: group
// k's genotype j at (k - 1) x MAXG + j - 1. Each running sum adds the
// members' present values in list order, rounded to 32 bits after every
// addition, as MeansOfGroups does; a mean over no value is 0.0. Returns
// whether every sum is finite.
[[nodiscard]] bool MeansOfRows(const YearRows& rows, const GroupLists& lists,
                               std::vector<float>& means, std::vector<std::int32_t>& counts);

// The squares of means, in 64 bits, as the fit takes them.
void SquareMeans(const std::vector<float>& means, std::vector<double>& squares);

// One fit variant to work out: the members of the groups, and the squared
// means of each group laid out as MeansOfRows lays out the means.
struct RowFit {
  const GroupLists* lists = nullptr;
  const double* squares = nullptr;
};

// The sums of each fit over the year, as FitYear forms a variant's: TSSj
// the squares of the members' present values, ESSj the squares of their
// group's means, in one running sum each, member by member in list order,
// each over its genotypes in order. Several fits go side by side, each
// keeping its own order.
void FitRows(const YearRows& rows, std::span<const RowFit> fits, std::span<VariantSums> out);

}  // namespace locseq
