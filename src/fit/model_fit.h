// How well the groups explain one year's data.
#pragma once

#include <cstdint>

#include "core/bundles.h"

namespace locseq {

// Fills row y of the fit tables for both variants: 1, the groups as
// classified with the group means of the year (`centroids` as FormGroupMeans
// left them); 2, the groups enlarged by the allocation, with means formed
// anew (overwriting `centroids`). TSSj sums the squares of the members'
// present values, ESSj those of their group means, RSSj = TSSj - ESSj; RSQj
// is ESSj/TSSj when the variant had a present cell and TSSj > 0, else 0.0;
// LocMod counts the members with a present cell.
void FitYear(const Year& year, const Grouping& grouping, const Enlarged& enlarged,
             const Centroids& centroids, const FitTables& fit, std::int32_t y);

}  // namespace locseq
