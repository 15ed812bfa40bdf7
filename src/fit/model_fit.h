// How well the groups explain one year's data.
#pragma once

#include <cstdint>
#include <optional>

#include "core/bundles.h"
#include "core/non_finite.h"

namespace locseq {

// The sums of one fit variant in one year.
struct VariantSums {
  double tss = 0.0;
  double ess = 0.0;
  std::int32_t members = 0;  // members with a present cell
  std::int64_t cells = 0;    // present cells
};

// Row y, column v of the fit tables from the sums of variant v: LocMod,
// TSSj, ESSj, RSSj = TSSj - ESSj, and RSQj = ESSj/TSSj when the variant had
// a present cell and TSSj > 0, else 0.0.
void StoreYearFit(const FitTables& fit, std::int32_t y, std::int32_t v, const VariantSums& s);

// Whether both sums are finite.
bool FiniteSums(const VariantSums& s);

// Fills row y of the fit tables for both variants: 1, the groups as
// classified with the group means of the year (`centroids` as FormGroupMeans
// left them); 2, the groups enlarged by the allocation, with means formed
// anew (overwriting `centroids`). TSSj sums the squares of the members'
// present values, ESSj those of their group means, RSSj = TSSj - ESSj; RSQj
// is ESSj/TSSj when the variant had a present cell and TSSj > 0, else 0.0;
// LocMod counts the members with a present cell. The sums are checked once
// per variant (and the means of the enlarged groups as MeansOfGroups checks
// them): the first that is not finite ends the work and its cell is
// returned. (From finite values and means none can be.)
[[nodiscard]] std::optional<NonFinite> FitYear(const Year& year, const Grouping& grouping,
                                               const Enlarged& enlarged, const Centroids& centroids,
                                               const FitTables& fit, std::int32_t y);

}  // namespace locseq
